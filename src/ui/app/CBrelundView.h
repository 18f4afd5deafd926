// The view of the ship: the OpenGL view drawing every enabled element of the
// document's model as a wireframe in its colour, the axes, and the preview of
// the element chosen in the element tree. It carries the view's commands.
#pragma once

#include "ui/view/COpenGLView.h"

#include <string>

class CBrelundDoc;
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

    // What the element tree asks to be previewed: the mode (Preview), the
    // length of the normals' arrows in metres, and the text of the item
    // selected in the tree, looked up as an element name when drawing.
    int PreviewMode() const { return m_preview_mode; }
    void SetPreviewMode(int mode) { m_preview_mode = mode; }
    float NormalLength() const { return m_normal_length; }
    void SetNormalLength(float length) { m_normal_length = length; }
    const std::string& SelectedItemText() const { return m_selected_item; }
    void SetSelectedItemText(std::string text) { m_selected_item = std::move(text); }
    // The element named by the selected item, or null.
    const CShipElement* SelectedElement() const;

    // After New and Open: the lights and the material, and a redraw.
    void OnInitialUpdate();
    // After a change of the ship: a redraw.
    void OnUpdate();

    // The camera framed on the whole ship (the angles are kept); a ship
    // without vertices leaves the camera as it was.
    void AutoZoom() override;
    // The axes, every enabled element, then the preview.
    bool DrawScene() override;

    // View commands.
    void OnViewAxes();
    void OnAutoZoom();
    void OnZoomIn();
    void OnZoomOut();
    void OnViewControl();
    void OnElementTree();

    // Printing: the view's rendered image on one page, scaled to fit, under
    // the ship's title.
    void OnFilePrint(QPrinter& printer);
    void OnFilePrintPreview(QPrinter& printer);
    void PrintPage(QPainter& painter, const QRect& page);

private:
    CBrelundDoc& m_doc;
    int m_preview_mode = previewNone;
    float m_normal_length = 1.0f;
    std::string m_selected_item;
};
