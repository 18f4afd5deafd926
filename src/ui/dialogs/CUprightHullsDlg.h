// "Carene dritte": the upright hydrostatic table of the ship, one row per
// waterplane from Zmin to Zmax by dz at a fixed heel and trim, optionally with
// the waterlines drawn in a DXF drawing. The table is the one brelund-calc
// upright prints for the same inputs.
#pragma once

#include "CCalculationDlg.h"

class CMSFlexGrid;
class CShipModel;
struct CImmersedBody;
struct CUprightInputs;
class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

class CUprightHullsDlg : public CCalculationDlg {
    Q_OBJECT
public:
    explicit CUprightHullsDlg(QWidget* parent = nullptr);
    ~CUprightHullsDlg() override;

    // The opening: the immersed body, the heights of the hull and the column
    // headers. Runs once, when the dialog is first shown.
    bool OnInitDialog() override;

    CMSFlexGrid* Grid() const { return m_grid; }
    QProgressBar* Progress() const { return m_progress; }

public slots:
    // "Elabora tabella": checks the heights and computes the table.
    void Run();

protected:
    void OnRuleChosen() override;

private:
    void OnGridMouseDown(short button, short shift, int x, int y);
    void ShowBody(const CImmersedBody& body);
    // The fields as typed, or false after the message that refuses them.
    bool ReadInputs(CUprightInputs& inputs);

    QLineEdit* m_zmin = nullptr;
    QLineEdit* m_zmax = nullptr;
    QLineEdit* m_dz = nullptr;
    QLineEdit* m_heel = nullptr;
    QLineEdit* m_trim = nullptr;
    QLineEdit* m_volume = nullptr;
    QLineEdit* m_xb = nullptr;
    QLineEdit* m_yb = nullptr;
    QLineEdit* m_zb = nullptr;
    QCheckBox* m_drawing = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_close = nullptr;
    CMSFlexGrid* m_grid = nullptr;
    QProgressBar* m_progress = nullptr;
};
