// "Controllo visualizzazione": the modeless window in which the view is set
// exactly. The three angles are typed in degrees or stepped by 5, the view
// zoomed by a tenth, panned by a tenth of the window, framed on the ship,
// and the near and far bounds of the view volume typed.
//
// The fields are copied from the view when the window is shown or hidden
// and by "AutoZoom" only: turning or zooming the view with the mouse leaves
// them as they are, and the next Apply puts them back.
#pragma once

#include <QDialog>

class COpenGLView;
class QLineEdit;
class QPushButton;

class CViewControlDlg : public QDialog {
    Q_OBJECT
public:
    explicit CViewControlDlg(COpenGLView* view, QWidget* parent = nullptr);
    ~CViewControlDlg() override;

    COpenGLView* View() const { return m_pView; }

    // The fields, as last read from the boxes or copied from the view.
    double AngleX() const { return m_angle_x; }
    double AngleY() const { return m_angle_y; }
    double AngleZ() const { return m_angle_z; }
    double Near() const { return m_near; }
    double Far() const { return m_far; }

    // "Applica/ Ridisegna": the boxes read (up to the first one refused),
    // the angles and the depth bounds given to the view, the view redrawn.
    void OnApply();
    // "+" and "-" beside an angle (0 x, 1 y, 2 z): 5 degrees, wrapping at
    // a whole turn; the fields are written to the boxes, then applied.
    void OnStep(int axis, double degrees);
    void OnZoomIn();
    void OnZoomOut();
    // The pans: a fraction of the volume's width (a) and height (b).
    void OnPan(double a, double b);
    void OnAutoZoom();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The view's angles and depth bounds into the fields, the fields into
    // the boxes.
    void CopyFromView();
    void WriteFields();
    // False at the first box refused; the fields before it are read, and a
    // box refused for its range keeps the value read.
    bool ReadFields();
    double* Angle(int axis);

    COpenGLView* m_pView = nullptr;
    double m_angle_x = 0;
    double m_angle_y = 0;
    double m_angle_z = 0;
    double m_near = 0;
    double m_far = 0;

    QLineEdit* m_angle_x_box = nullptr;
    QLineEdit* m_angle_y_box = nullptr;
    QLineEdit* m_angle_z_box = nullptr;
    QLineEdit* m_near_box = nullptr;
    QLineEdit* m_far_box = nullptr;
};
