// "Tabelle casse": the calibration table of a tank of the ship, by sounding
// and trim, as brelund-calc tanks prints it for the same inputs (the same
// columns and digits), with the chart of the liquid's volume and VCG
// against the sounding, one pair of curves per trim. The tank is sounded
// along its pipe of the conditions file, or up the vertical.
#pragma once

#include "CCalculationDlg.h"

#include "calc/RecordTable.h"
#include "model/CLoadingCondition.h"

#include <vector>

class CChartPane;
class CMSFlexGrid;
struct CCalcProblem;
struct CTankTableInputs;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class CTankTablesDlg : public CCalculationDlg {
    Q_OBJECT
public:
    explicit CTankTablesDlg(QWidget* parent = nullptr);
    ~CTankTablesDlg() override;

    bool OnInitDialog() override;

    // The ship's sounding pipes (the conditions file's), by tank name.
    void SetSoundingPipes(std::vector<CSoundingPipe> pipes) { m_pipes = std::move(pipes); }

    QComboBox* TankChoice() const { return m_tank; }
    CMSFlexGrid* Grid() const { return m_grid; }
    CChartPane* Chart() const { return m_chart; }
    QProgressBar* Progress() const { return m_progress; }
    // The last table shown, as brelund-calc tanks computes it.
    const CRecordTable& Table() const { return m_table; }

public slots:
    // "Calcola": the chosen tank's table and chart.
    void Run();
    // "Esporta CSV...": the table shown as brelund-calc tanks --format csv
    // writes it, to a file asked for.
    void ExportCsv();

private:
    // The fields as typed, or false after the message that refuses them.
    bool ReadInputs(CTankTableInputs& in);
    void RefuseProblem(const CCalcProblem& problem);
    // The table's headers alone, the chart empty, the pipe's note for the
    // tank chosen.
    void Clear();
    void DrawChart();
    void OnGridMouseDown(short button, int x, int y);

    QComboBox* m_tank = nullptr;
    QLabel* m_pipe = nullptr;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QLineEdit* m_step = nullptr;
    QLineEdit* m_trimFrom = nullptr;
    QLineEdit* m_trimTo = nullptr;
    QLineEdit* m_trimStep = nullptr;
    QLineEdit* m_heel = nullptr;
    QLineEdit* m_density = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_export = nullptr;
    QProgressBar* m_progress = nullptr;
    CMSFlexGrid* m_grid = nullptr;
    CChartPane* m_chart = nullptr;
    std::vector<CSoundingPipe> m_pipes;
    CRecordTable m_table; // the last table shown
};
