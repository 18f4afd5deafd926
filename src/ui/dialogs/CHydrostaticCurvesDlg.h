// "Curve idrostatiche": the curves of form of the ship at a series of
// draughts, at a fixed heel and trim, by the exact integrals: the table
// brelund-calc hydrostatics prints for the same inputs (its datums and its
// curves, with the same digits), and the chart of the curves chosen.
#pragma once

#include "CCalculationDlg.h"

#include "calc/RecordTable.h"

class CChartPane;
class CMSFlexGrid;
struct CCalcProblem;
struct CCurvesOfFormInputs;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

class CHydrostaticCurvesDlg : public CCalculationDlg {
    Q_OBJECT
public:
    explicit CHydrostaticCurvesDlg(QWidget* parent = nullptr);
    ~CHydrostaticCurvesDlg() override;

    bool OnInitDialog() override;

    CMSFlexGrid* DatumsGrid() const { return m_datums; }
    CMSFlexGrid* Grid() const { return m_grid; }
    CChartPane* Chart() const { return m_chart; }
    QListWidget* CurveList() const { return m_curveList; }
    QProgressBar* Progress() const { return m_progress; }

public slots:
    // "Calcola": reads and checks the inputs, computes the table and shows
    // it with its chart.
    void Run();

private:
    // The fields as typed, or false after the message that refuses them.
    bool ReadInputs(CCurvesOfFormInputs& in);
    void RefuseProblem(const CCalcProblem& problem);
    // The chart of the curves ticked in the list, from the last table.
    void DrawChart();
    void OnGridMouseDown(CMSFlexGrid& grid, short button, int x, int y);

    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QLineEdit* m_step = nullptr;
    QLineEdit* m_heel = nullptr;
    QLineEdit* m_trim = nullptr;
    QLineEdit* m_density = nullptr;
    QLineEdit* m_baseline = nullptr;
    QLineEdit* m_ap = nullptr;
    QLineEdit* m_fp = nullptr;
    QListWidget* m_curveList = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_close = nullptr;
    QProgressBar* m_progress = nullptr;
    CMSFlexGrid* m_datums = nullptr;
    CMSFlexGrid* m_grid = nullptr;
    CChartPane* m_chart = nullptr;
    CRecordTable m_table; // the last table shown
};
