// A view of a ship of the test's own making, shown on the X server, and the
// reading of its pixels.
#pragma once

#include "ui/app/CBrelundDoc.h"
#include "ui/app/CBrelundView.h"
#include "ui/dialogs/CElementTreeDlg.h"

#include "model/CGridMesh.h"
#include "model/CPolyfaceMesh.h"

#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <cmath>
#include <memory>

// A view of width x height pixels on the initial 10 x 10 m volume, lit as
// after New.
class CViewUnderTest {
public:
    explicit CViewUnderTest(int width = 200, int height = 200) : m_view(m_doc) {
        m_view.resize(width, height);
        m_view.show();
        m_exposed = QTest::qWaitForWindowExposed(&m_view);
        m_view.OnInitialUpdate();
    }

    bool IsExposed() const { return m_exposed; }
    CShipModel& Model() { return m_doc.GetModel(); }
    CBrelundView& View() { return m_view; }

    // A preview chosen in the element tree, as a person does: the tree
    // rebuilt from the ship, the normals' length typed, the item named
    // selected (a category by its text, an element by its name; nothing
    // when no item has the name) and the preview's radio button pressed.
    void Preview(int mode, const std::string& name, double length = 1.0) {
        CElementTreeDlg& tree = *m_view.ElementTree();
        tree.RefreshTree();
        tree.findChild<QLineEdit*>("normalLength")->setText(QString::number(length));
        tree.Tree()->clearSelection();
        for (QTreeWidgetItemIterator it(tree.Tree()); *it; ++it) {
            const QVariant bytes = (*it)->data(0, Qt::UserRole);
            const bool named = bytes.isValid() ? bytes.toByteArray().toStdString() == name
                                               : (*it)->text(0).toStdString() == name;
            if (named) {
                (*it)->setSelected(true);
                break;
            }
        }
        const char* const radios[] = {"previewNone", "previewShaded", "previewNormals"};
        tree.findChild<QRadioButton*>(radios[mode])->click();
    }

    // The view drawn again and read back.
    QImage Frame() {
        m_view.Redraw();
        return Grab();
    }
    // What the view shows now (a pending rubber band included).
    QImage Grab() { return m_view.grabFramebuffer().convertToFormat(QImage::Format_RGB32); }

    // The pixel of world (x, y) at zero angles and translation, on the
    // initial square volume: 20 pixels a metre, row 0 at y = 5.
    static QPoint Pixel(double x, double y, int size = 200) {
        const double perMetre = size / 10.0;
        return QPoint(static_cast<int>(std::floor((x + 5) * perMetre)),
                      static_cast<int>(std::floor((5 - y) * perMetre)));
    }

private:
    CBrelundDoc m_doc;
    CBrelundView m_view;
    bool m_exposed = false;
};

// True when some pixel within radius (a square) of p has the colour.
inline bool ColourNear(const QImage& image, QPoint p, QRgb colour, int radius = 1) {
    for (int y = p.y() - radius; y <= p.y() + radius; ++y)
        for (int x = p.x() - radius; x <= p.x() + radius; ++x)
            if (image.valid(x, y) && (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
    return false;
}

inline int CountColour(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

// 0x00BBGGRR, the model's colour form.
constexpr Colour ModelColour(int r, int g, int b) {
    return static_cast<Colour>(r | g << 8 | b << 16);
}

// The square x0..x1 by y0..y1 in the plane z as one grid quad, corners
// P1 (x0, y0), P2 (x1, y0), P3 (x1, y1), P4 (x0, y1): counter-clockwise seen
// from +z.
inline std::unique_ptr<CGridMesh> SquareQuad(double x0, double y0, double x1, double y1,
                                             double z = 0) {
    auto grid = std::make_unique<CGridMesh>();
    grid->Resize(2, 2);
    grid->Item(0, 0)->Set(x0, y0, z);
    grid->Item(0, 1)->Set(x1, y0, z);
    grid->Item(1, 1)->Set(x1, y1, z);
    grid->Item(1, 0)->Set(x0, y1, z);
    return grid;
}

// Separate triangles, each given by three corners, in order.
inline std::unique_ptr<CPolyfaceMesh> Triangles(const std::vector<CVector3>& corners) {
    auto mesh = std::make_unique<CPolyfaceMesh>();
    const int n = static_cast<int>(corners.size());
    mesh->Allocate(n, n / 3);
    for (int k = 0; k < n; ++k)
        *mesh->GetVertex(k + 1) = corners[static_cast<std::size_t>(k)];
    for (int f = 1; f <= n / 3; ++f)
        mesh->SetFace(f, 3 * f - 2, 3 * f - 1, 3 * f);
    return mesh;
}
