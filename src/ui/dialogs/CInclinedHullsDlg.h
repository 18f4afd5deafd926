// "Carene Inclinate": the cross curves KZ of the ship at even keel, or the
// righting levers GZ of the ship free to trim with its liquid loads moving,
// for a series of displacement volumes and heel angles, with their chart
// (the cross curves, or the righting-lever curves); on request the path of
// the centre of buoyancy of every volume, drawn in a DXF file.
#pragma once

#include "calc/InclinedTable.h"

#include "CCalculationDlg.h"

class CChartPane;
class CMSFlexGrid;
class CShipModel;
class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

class CInclinedHullsDlg : public CCalculationDlg {
    Q_OBJECT
public:
    explicit CInclinedHullsDlg(QWidget* parent = nullptr);
    ~CInclinedHullsDlg() override;

    CMSFlexGrid* Grid() const { return m_grid; }
    CChartPane* Chart() const { return m_chart; }
    // The values as last read from or written to the fields.
    const CInclinedInputs& Inputs() const { return m_inputs; }

public slots:
    // "Calcola valori tabella": corrects the inputs and computes the table.
    void Run();

protected:
    // Headers of the grid and the values proposed for the model; once, when
    // the dialog is first shown.
    bool OnInitDialog() override;
    void OnRuleChosen() override;

private:
    void BuildLayout();
    void OnKindChosen(CalculationKind kind);
    void OnGridMouseDown(short button, short shift, int x, int y);
    // Fields into inputs; false (after "Immettere un numero.") when one of
    // them does not hold a number, inputs then partly read.
    bool ReadFields(CInclinedInputs& inputs);
    void ShowFields();
    // The chart of a table computed: KZ against the volume, a curve per
    // heel, or GZ against the heel, a curve per volume.
    void DrawChart(const CInclinedTable& table, CalculationKind kind);

    CInclinedInputs m_inputs;

    QLineEdit* m_xg = nullptr;
    QLineEdit* m_yg = nullptr;
    QLineEdit* m_zg = nullptr;
    QLineEdit* m_precision = nullptr;
    QLineEdit* m_vmax = nullptr;
    QLineEdit* m_vf = nullptr;
    QLineEdit* m_vi = nullptr;
    QLineEdit* m_dv = nullptr;
    QLineEdit* m_ai = nullptr;
    QLineEdit* m_af = nullptr;
    QLineEdit* m_da = nullptr;
    QRadioButton* m_kindKZ = nullptr;
    QRadioButton* m_kindXB = nullptr;
    QRadioButton* m_kindGZ = nullptr;
    QCheckBox* m_trajectories = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_close = nullptr;
    CMSFlexGrid* m_grid = nullptr;
    CChartPane* m_chart = nullptr;
    QProgressBar* m_volumeProgress = nullptr;
    QProgressBar* m_angleProgress = nullptr;
};
