// The view of the ship: the OpenGL view drawing every enabled element of the
// document's model as a wireframe in its colour (thinned while the camera
// moves), the axes, and the preview of the element chosen in the element
// tree. It carries the view's commands.
#pragma once

#include "ui/view/CCoarseWireframe.h"
#include "ui/view/COpenGLView.h"
#include "ui/view/ConditionDrawing.h"

#include <optional>

class CBrelundDoc;
class CConditionsDlg;
class CDamageDlg;
class CElementTreeDlg;
class CModelCheckDlg;
class CStabilityDlg;
class CViewControlDlg;
class CShipElement;
class QPainter;
class QPrinter;

class CBrelundView : public COpenGLView {
    Q_OBJECT
public:
    // The previews of the element selected in the element tree.
    enum Preview { previewNone = 0, previewShaded = 1, previewNormals = 2 };

    explicit CBrelundView(CBrelundDoc& doc, QWidget* parent = nullptr);

    CBrelundDoc& GetDocument() { return m_doc; }

    // Draw the axes.
    bool ShowAxes = true;

    // The tool windows, created hidden with the view and destroyed with it.
    CElementTreeDlg* ElementTree() const { return m_element_tree; }
    CViewControlDlg* ViewControl() const { return m_view_control; }
    CModelCheckDlg* ModelCheck() const { return m_model_check; }
    CConditionsDlg* Conditions() const { return m_conditions_window; }
    // "Stabilità", whose condition the view shows while it is open.
    CStabilityDlg* Stability() const { return m_stability; }
    // "Stabilità in avaria", whose case the view shows while it is open.
    CDamageDlg* DamageStability() const { return m_damage; }

    // What the element tree asks to be previewed: the mode (Preview), the
    // length of the normals' arrows in metres, and the element of the item
    // selected there (null for none, a category, or an element gone).
    int PreviewMode() const;
    float NormalLength() const;
    const CShipElement* SelectedElement() const;

    // After New and Open: the lights and the material; the element tree
    // given the ship and this view, and hidden.
    void OnInitialUpdate();
    // After a change of the ship: a redraw, and the element tree hidden.
    void OnUpdate();

    // The camera framed on the whole ship (the angles are kept); a ship
    // without vertices leaves the camera as it was.
    void AutoZoom() override;
    // The axes, every enabled element, the preview, then the faults the
    // model check shows. A moving frame draws the elements' coarse pictures
    // and leaves out the shaded preview of an element of more faces than
    // the coarse pictures' budget.
    bool DrawScene() override;
    // A loading condition shown at an equilibrium: the ship turned to its
    // attitude, the waterplane, B and G (ConditionDrawing.h), the
    // compartments open to the sea shaded; none: the ship in its own axes.
    // Redraws.
    void ShowCondition(const std::optional<CConditionPicture>& picture);
    const std::optional<CConditionPicture>& ShownCondition() const { return m_condition; }
    // Line segments of the elements in the last frame drawn.
    long long ModelSegmentsDrawn() const { return m_model_segments; }
    // The elements' coarse pictures, kept from one move of the camera to the
    // next and dropped at every change of the ship.
    const CCoarseWireframes& CoarsePictures() const { return m_coarse; }

    // View commands.
    void OnViewAxes();
    void OnAutoZoom();
    void OnZoomIn();
    void OnZoomOut();
    void OnViewControl();
    void OnElementTree();
    void OnModelCheck();
    void OnConditions();
    void OnStability();
    void OnDamageStability();

    // Printing: the view's rendered image on one page, scaled to fit, under
    // the ship's title.
    void OnFilePrint(QPrinter& printer);
    void OnFilePrintPreview(QPrinter& printer);
    void PrintPage(QPainter& painter, const QRect& page);

private:
    CBrelundDoc& m_doc;
    std::optional<CConditionPicture> m_condition;
    CElementTreeDlg* m_element_tree = nullptr;
    CViewControlDlg* m_view_control = nullptr;
    CModelCheckDlg* m_model_check = nullptr;
    CStabilityDlg* m_stability = nullptr;
    CDamageDlg* m_damage = nullptr;
    CConditionsDlg* m_conditions_window = nullptr;
    CCoarseWireframes m_coarse;
    long long m_model_segments = 0;
};
