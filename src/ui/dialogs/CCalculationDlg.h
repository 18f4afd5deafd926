// What the four calculation dialogs share: the ship they work on, the
// opening done once when the dialog is first shown, and a run that can be
// stopped: "Interrompi", "Chiudi", Escape and the window's close button stop
// it, the last three closing the dialog once it has given up.
#pragma once

#include "calc/StopRequest.h"
#include "geometry/HydroMethod.h"

#include <QDialog>

#include <functional>
#include <initializer_list>

class CProgressBarLink;
class CShipModel;
class QHBoxLayout;
class QProgressBar;
class QPushButton;
class QCheckBox;

class CCalculationDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCalculationDlg(QWidget* parent = nullptr);

    // The ship the dialog computes on; not owned.
    void SetModel(CShipModel* model) { m_pModel = model; }
    bool IsRunning() const { return m_stopRequest != nullptr; }

public slots:
    // "Chiudi", Escape and the window's close button: while a calculation
    // runs, stops it and closes the dialog once it has returned.
    void reject() override;
    // "Interrompi": stops the calculation under way.
    void Stop();

protected:
    // The opening values from the ship; once, when the dialog is first shown.
    virtual bool OnInitDialog() = 0;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // Runs work (RunCalculation) with the stop it is to check, "Interrompi"
    // and "Chiudi" live, all other input dropped. False when the dialog is
    // to show nothing of the run: it was stopped (the work threw
    // CCalculationStopped) or the dialog closed meanwhile. Other exceptions
    // of the work reach the caller.
    bool RunStoppable(const std::function<void(const CStopRequest* stop)>& work,
                      std::initializer_list<CProgressBarLink*> progress);

    // "Interrompi", for each dialog to place beside its buttons; enabled
    // only while a calculation runs.
    QPushButton* StopButton() const { return m_stop; }
    // "Calcola" (the default button, object name "run"), "Interrompi" and
    // "Chiudi" ("close", the close button; rejects) in a row; run and close
    // receive the two made.
    QHBoxLayout* RunStopCloseButtons(QPushButton*& run, QPushButton*& close);
    // A bar without text, empty, for a run's progress ("progress").
    static QProgressBar* NewProgressBar();
    // The dialog's "Chiudi", which stays live during a run; none by default.
    void SetCloseButton(QPushButton* close) { m_closeButton = close; }

    // "Integrazione esatta": the exact rule instead of the tables' own, for
    // the dialogs whose tables take either. Made once; OnRuleChosen follows
    // every change.
    QCheckBox* ExactRuleBox();
    IntegrationRule Rule() const;
    virtual void OnRuleChosen() {}

    CShipModel* m_pModel = nullptr;

private:
    QPushButton* m_stop = nullptr;
    QPushButton* m_closeButton = nullptr;
    CStopRequest* m_stopRequest = nullptr; // the run's, while one runs
    bool m_closeAfterRun = false;
    QCheckBox* m_exact = nullptr;
    bool m_initialised = false;
};
