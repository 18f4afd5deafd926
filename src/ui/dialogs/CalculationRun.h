// A long calculation run from a dialog: the work goes to a thread of its own
// while the dialog's thread keeps the windows painted and the progress bars
// moving. Meanwhile input reaches only the widgets left live (the dialog's
// "Interrompi" and "Chiudi") and the Escape key; every other click or key is
// dropped, not kept to be played after the run. The busy cursor shows for
// the whole run. Exceptions of the work reach the caller.
#pragma once

#include "calc/CProgress.h"

#include <atomic>
#include <functional>
#include <initializer_list>

class CShipModel;
class QProgressBar;
class QString;
class QWidget;

// Progress reported from any thread, shown on a bar by the dialog's thread.
class CProgressBarLink final : public CProgress {
public:
    explicit CProgressBarLink(QProgressBar* bar) : m_bar(bar) {}
    void SetRange(int lower, int upper) override;
    void SetPos(int pos) override;
    // Copies the last range and position to the bar (dialog's thread only).
    void Show();

private:
    QProgressBar* m_bar;
    std::atomic<int> m_lower{0};
    std::atomic<int> m_upper{100};
    std::atomic<int> m_pos{0};
};

void RunCalculation(const std::function<void()>& work,
                    std::initializer_list<CProgressBarLink*> progress,
                    std::initializer_list<QWidget*> live = {});

// Before a calculation: an enabled element it would read (hull elements, and
// compartments and tanks as asked) holding a value that is not a number
// would make every result a non-number, so the calculation is refused with a
// message naming the element. True when refused.
bool RefuseShipValuesThatAreNotNumbers(const CShipModel& ship, bool compartments, bool tanks);

// The ship file the application has open, so that no drawing replaces it.
void SetOpenShipFile(const QString& path);

// Asks where to write a DXF drawing ("File DXF(*.dxf)", ".dxf" added to a
// name without an extension). Empty when the person cancels, or, after
// saying so, when the name is the open ship file (through any link).
QString AskDrawingFile(QWidget* parent);

// The same question for any output: filters in Qt's form, extension (".png")
// added to a name without one, and the first line of the message that
// refuses the open ship file ("Impossibile scrivere il disegno DXF.").
QString AskOutputFile(QWidget* parent, const QString& filters, const QString& extension,
                      const QString& refusal);
