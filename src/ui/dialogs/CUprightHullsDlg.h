// "Carene dritte": the upright hydrostatic table of the ship, one row per
// waterplane from Zmin to Zmax by dz at a fixed heel and trim, optionally with
// the waterlines drawn in a DXF drawing. The table is the one brelund-calc
// upright prints for the same inputs.
#pragma once

#include <QDialog>

class CMSFlexGrid;
class CShipModel;
struct CUprightInputs;
class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

class CUprightHullsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CUprightHullsDlg(QWidget* parent = nullptr);
    ~CUprightHullsDlg() override;

    // The ship the table is computed on; not owned. Set before the dialog shows.
    void SetModel(CShipModel* model) { m_pModel = model; }

    // The opening: the immersed body, the heights of the hull and the column
    // headers. Runs once, when the dialog is first shown.
    bool OnInitDialog();

    CMSFlexGrid* Grid() const { return m_grid; }
    QProgressBar* Progress() const { return m_progress; }
    bool IsRunning() const { return m_running; }

public slots:
    // "Chiudi", Escape and the window's close button; refused while a
    // calculation runs.
    void reject() override;
    // "Elabora tabella": checks the heights and computes the table.
    void Run();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnGridMouseDown(short button, short shift, int x, int y);
    // The fields as typed, or false after the message that refuses them.
    bool ReadInputs(CUprightInputs& inputs);

    CShipModel* m_pModel = nullptr;
    bool m_initialised = false;
    bool m_running = false;

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
