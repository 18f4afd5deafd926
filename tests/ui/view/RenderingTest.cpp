// What the view draws, read back from its framebuffer on the X server
// (Mesa's software renderer): elements in their colours, the axes, the
// shaded and normals previews, and the client arrays giving the very image
// of one glBegin/glEnd per triangle.
#include "RenderingTest.h"

#include "ViewTestSupport.h"

#include "geometry/CTriangle.h"
#include "ui/dialogs/CModelCheckDlg.h"
#include "ui/view/ModelDrawing.h"
#include "ui/view/ModelFraming.h"

#include <GL/gl.h>

#include <QApplication>
#include <QDir>

#include <functional>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

// A view whose scene is whatever the test draws.
class CSceneView : public COpenGLView {
public:
    std::function<void()> m_scene;
    void Light() { RequestLightsAndMaterial(); }
    bool DrawScene() override {
        if (m_scene)
            m_scene();
        return true;
    }
};

// The drawing as one glBegin/glEnd per fan triangle, immediate mode.
void ImmediateWireframe(const CShipElement& element) {
    const Colour c = element.GetColour();
    glDisable(GL_LIGHTING);
    glColor3d((c & 0xFF) / 255.0, (c >> 8 & 0xFF) / 255.0, (c >> 16 & 0xFF) / 255.0);
    CPointList face;
    for (int m = 1; m <= element.GetCount(); ++m)
        for (int i = 1; i <= element.GetAt(m)->GetFaceCount(); ++i) {
            element.GetAt(m)->GetFace(i, face);
            for (int k = 2; k + 1 <= face.GetCount(); ++k) {
                glBegin(GL_LINE_LOOP);
                for (int v : {1, k, k + 1})
                    glVertex3d(face.GetAt(v)->X(), face.GetAt(v)->Y(), face.GetAt(v)->Z());
                glEnd();
            }
        }
    glEnable(GL_LIGHTING);
}

// One batch of triangles, each with its normal first, immediate mode.
void ImmediateShaded(const CShipElement& element) {
    const Colour c = element.GetColour();
    const GLfloat diffuse[4] = {(c & 0xFF) / 255.0f, (c >> 8 & 0xFF) / 255.0f,
                                (c >> 16 & 0xFF) / 255.0f, 1};
    const GLfloat black[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_BACK, GL_AMBIENT, black);
    glMaterialfv(GL_BACK, GL_DIFFUSE, black);
    CPointList face;
    CTriangle t;
    CVector3 n;
    glBegin(GL_TRIANGLES);
    for (int m = 1; m <= element.GetCount(); ++m)
        for (int i = 1; i <= element.GetAt(m)->GetFaceCount(); ++i) {
            element.GetAt(m)->GetFace(i, face);
            for (int k = 2; k + 1 <= face.GetCount(); ++k) {
                t.V(1) = *face.GetAt(1);
                t.V(2) = *face.GetAt(k);
                t.V(3) = *face.GetAt(k + 1);
                t.Normal(n);
                glNormal3d(n.X(), n.Y(), n.Z());
                for (int v = 1; v <= 3; ++v)
                    glVertex3d(t.V(v).X(), t.V(v).Y(), t.V(v).Z());
            }
        }
    glEnd();
}

// A lit channel of a face turned to the viewer: the global ambient 0.2 times
// the material's ambient, plus the diffuse light of the light in front,
// cos = 1 / |(0, 0.1, 1)|, times the element's component k / 255.
int LitChannel(double materialAmbient, int k) {
    const double value = 0.2 * materialAmbient + k / 255.0 / std::sqrt(1.01);
    return static_cast<int>(std::lround(std::min(1.0, value) * 255));
}

bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// The box -x..x by -y..y by z0..z1 as triangles counter-clockwise from
// outside, three corners each; without its deck (z = z1) when asked.
std::vector<CVector3> BoxCorners(double x, double y, double z0, double z1, bool deck) {
    const auto corner = [&](int k) {
        return CVector3(k & 1 ? x : -x, k & 2 ? y : -y, k & 4 ? z1 : z0);
    };
    const int quads[6][4] = {{0, 2, 3, 1}, {0, 1, 5, 4}, {2, 6, 7, 3},
                             {0, 4, 6, 2}, {1, 3, 7, 5}, {4, 5, 7, 6}};
    std::vector<CVector3> corners;
    for (int q = 0; q < (deck ? 6 : 5); ++q)
        for (int k : {0, 1, 2, 0, 2, 3})
            corners.push_back(corner(quads[q][k]));
    return corners;
}

QString Hex(QRgb c) {
    return QString::number(c & 0xFFFFFF, 16);
}

} // namespace

void RenderingTest::anElementIsDrawnInItsColourWithItsFanDiagonal() {
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    t.View().ShowAxes = false;
    CShipElement* hull = t.Model().AddElement(kindHull);
    hull->SetColour(ModelColour(192, 64, 32));
    hull->Append(SquareQuad(-2.5, -2.5, 2.5, 2.5));
    const QImage image = t.Frame();
    QCOMPARE(QString(t.View().LastErrorText()), QString("No Error"));
    const QRgb colour = qRgb(192, 64, 32);
    // The four sides.
    QVERIFY(ColourNear(image, CViewUnderTest::Pixel(-2.5, 1), colour));
    QVERIFY(ColourNear(image, CViewUnderTest::Pixel(2.5, -1), colour));
    QVERIFY(ColourNear(image, CViewUnderTest::Pixel(1, 2.5), colour));
    QVERIFY(ColourNear(image, CViewUnderTest::Pixel(-1, -2.5), colour));
    // The fan's diagonal P1 (-2.5, -2.5) - P3 (2.5, 2.5), not P2 - P4.
    QVERIFY(ColourNear(image, CViewUnderTest::Pixel(1, 1), colour));
    QVERIFY(!ColourNear(image, CViewUnderTest::Pixel(1, -1), colour, 3));
    // Outside the square and inside its halves: the white background.
    QCOMPARE(image.pixel(CViewUnderTest::Pixel(4, 4)), kWhite);
    QCOMPARE(image.pixel(CViewUnderTest::Pixel(1.5, -1)), kWhite);
}

void RenderingTest::aDisabledElementIsNotDrawn() {
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    t.View().ShowAxes = false;
    CShipElement* hull = t.Model().AddElement(kindHull);
    hull->SetColour(ModelColour(0, 0, 192));
    hull->Append(SquareQuad(-4, -4, -1, -1));
    CShipElement* tank = t.Model().AddElement(kindTank);
    tank->SetColour(ModelColour(0, 160, 0));
    tank->Append(Triangles({{1, 1, 0}, {4, 1, 0}, {1, 4, 0}}));
    tank->SetEnabled(false);
    const QImage disabled = t.Frame();
    QVERIFY(CountColour(disabled, qRgb(0, 0, 192)) > 100);
    QCOMPARE(CountColour(disabled, qRgb(0, 160, 0)), 0);

    tank->SetEnabled(true);
    const QImage enabled = t.Frame();
    QVERIFY(ColourNear(enabled, CViewUnderTest::Pixel(2.5, 1), qRgb(0, 160, 0)));
    // The tank's three sides, each 3 m (60 pixels) along its longer axis.
    QVERIFY(CountColour(enabled, qRgb(0, 160, 0)) >= 3 * 60 - 3);
}

void RenderingTest::theAxesSpanTheVolumeInRedGreenAndBlue() {
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    const QImage top = t.Frame();
    // Seen from above, x runs across and y up the window from edge to edge;
    // z points at the viewer.
    for (double s : {-4.9, -2.0, 3.0, 4.9}) {
        QVERIFY2(ColourNear(top, CViewUnderTest::Pixel(s, 0), kRed),
                 qPrintable(QString::number(s)));
        QVERIFY2(ColourNear(top, CViewUnderTest::Pixel(0, s), kGreen),
                 qPrintable(QString::number(s)));
    }
    QCOMPARE(CountColour(top, kBlue) <= 1, true);

    // Turned by 90 degrees about x, z runs down the window.
    t.View().SetAngles(90, 0, 0);
    const QImage side = t.Frame();
    for (double s : {-4.0, 3.0})
        QVERIFY2(ColourNear(side, CViewUnderTest::Pixel(0, s), kBlue),
                 qPrintable(QString::number(s)));
    QVERIFY(ColourNear(side, CViewUnderTest::Pixel(-4, 0), kRed));
    QCOMPARE(CountColour(side, kGreen) <= 1, true);

    t.View().OnViewAxes();
    QCOMPARE(CountColour(t.Frame(), kWhite), 200 * 200);
}

void RenderingTest::aShipWithEveryElementDisabledShowsOnlyTheAxes() {
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    for (int kind : {kindHull, kindCompartment, kindTank}) {
        CShipElement* e = t.Model().AddElement(kind);
        e->Append(SquareQuad(-3, -3, 3, 3, kind));
        e->SetColour(ModelColour(10 * kind, 20, 30));
        e->SetEnabled(false);
    }
    const QImage image = t.Frame();
    const int red = CountColour(image, kRed), green = CountColour(image, kGreen);
    const int blue = CountColour(image, kBlue), white = CountColour(image, kWhite);
    // One line of 200 pixels each way (where they cross, one of them).
    QVERIFY2(red >= 199 && green >= 199, qPrintable(QString("%1 %2").arg(red).arg(green)));
    QCOMPARE(red + green + blue + white, 200 * 200);
}

void RenderingTest::theShadedPreviewIsLitAndItsBackFacesDark() {
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    t.View().ShowAxes = false;
    CShipElement* hull = t.Model().AddElement(kindHull);
    hull->SetName("scafo");
    hull->SetColour(ModelColour(100, 50, 200));
    // Counter-clockwise seen from the viewer (+z) on the left, clockwise on
    // the right.
    hull->Append(Triangles(
        {{-4.5, -2, 0}, {-0.5, -2, 0}, {-2.5, 2, 0}, {0.5, -2, 0}, {2.5, 2, 0}, {4.5, -2, 0}}));
    const QPoint front = CViewUnderTest::Pixel(-2.5, -0.5);
    const QPoint back = CViewUnderTest::Pixel(2.5, -0.5);
    QCOMPARE(t.Frame().pixel(front), kWhite); // no preview yet

    t.Preview(CBrelundView::previewShaded, "scafo");
    const QImage image = t.Frame();
    // Ambient material (0.1, 1, 1).
    const QRgb lit = qRgb(LitChannel(0.1, 100), LitChannel(1, 50), LitChannel(1, 200));
    QVERIFY2(Near(image.pixel(front), lit, 1),
             qPrintable(Hex(image.pixel(front)) + " expected " + Hex(lit)));
    QCOMPARE(image.pixel(back), qRgb(0, 0, 0));

    // A tree root or nothing selected: no preview.
    for (const char* item : {"Elementi Scafo", ""}) {
        t.Preview(CBrelundView::previewShaded, item);
        QCOMPARE(t.Frame().pixel(front), kWhite);
    }
    // The selected item's element renamed since the tree was built: the
    // item names no element.
    t.Preview(CBrelundView::previewShaded, "scafo");
    hull->SetName("scafo2");
    QCOMPARE(t.Frame().pixel(front), kWhite);
    hull->SetName("scafo");
    QVERIFY(Near(t.Frame().pixel(front), lit, 1));
    // A disabled element: none either.
    hull->SetEnabled(false);
    QCOMPARE(CountColour(t.Frame(), kWhite), 200 * 200);
}

void RenderingTest::theNormalsPreviewSamplesFourFacesOfEachMesh() {
    const QRgb yellow = qRgb(242, 242, 0); // 0.95 * 255 = 242.25
    const QRgb arrow = qRgb(204, 0, 0);    // 0.8 * 255
    // Faces 1 m apart along x: face i centred on x = -4.5 + (i - 1).
    auto row = [](int faces) {
        std::vector<CVector3> corners;
        for (int i = 1; i <= faces; ++i) {
            const double c = -4.5 + (i - 1);
            corners.insert(corners.end(), {{c - 0.4, -0.4, 0}, {c + 0.4, -0.4, 0}, {c, 0.4, 0}});
        }
        return Triangles(corners);
    };
    // 10 faces: n = 2, faces 2, 4, 6, 8; 12 faces: n = 2 again.
    for (int faces : {10, 12}) {
        CViewUnderTest t;
        QVERIFY(t.IsExposed());
        t.View().ShowAxes = false;
        CShipElement* hull = t.Model().AddElement(kindHull);
        hull->SetName("row");
        hull->Append(row(faces));
        t.Preview(CBrelundView::previewNormals, "row", 0); // the arrows collapse to points
        const QImage flat = t.Frame();
        for (int i = 1; i <= 10; ++i) {
            const bool sampled = i == 2 || i == 4 || i == 6 || i == 8;
            const QRgb expected = sampled ? yellow : kWhite;
            const QRgb found = flat.pixel(CViewUnderTest::Pixel(-4.5 + (i - 1) + 0.1, -0.25));
            QVERIFY2(
                found == expected,
                qPrintable(QString("%1 faces, face %2: %3").arg(faces).arg(i).arg(Hex(found))));
        }

        // Turned by 90 degrees about x, the normals (+z) point down the
        // window: arrows 2 m long from the sampled faces' centroids.
        t.Preview(CBrelundView::previewNormals, "row", 2);
        t.View().SetAngles(90, 0, 0);
        const QImage side = t.Frame();
        for (int i = 1; i <= 10; ++i) {
            const bool sampled = i == 2 || i == 4 || i == 6 || i == 8;
            const QPoint shaft = CViewUnderTest::Pixel(-4.5 + (i - 1), -1);
            QVERIFY2(ColourNear(side, shaft, arrow) == sampled,
                     qPrintable(QString("%1 faces, face %2").arg(faces).arg(i)));
        }
    }

    // Fewer than five faces: face 0 asked four times, nothing drawn.
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    CShipElement* hull = t.Model().AddElement(kindHull);
    hull->SetName("few");
    hull->Append(row(4));
    t.Preview(CBrelundView::previewNormals, "few");
    QCOMPARE(CountColour(t.Frame(), yellow), 0);
}

void RenderingTest::clientArraysDrawTheImageOfOneBeginEndPerTriangle() {
    CBrelundDoc doc;
    QVERIFY(doc.OnOpenDocument(QString(BRELUND_SOURCE_DIR) + "/samples/wigley.nav"));
    const CShipModel& ship = doc.GetModel();
    QVERIFY(ship.GetElementCount() == 4);
    CSceneView view;
    view.resize(320, 240);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.Light();
    QVERIFY(FrameModel(view, ship));
    view.SetAngles(35, 0, 50);
    view.ZoomIn(0.2); // lines running off the edges too

    auto render = [&view](std::function<void()> scene) {
        view.m_scene = std::move(scene);
        view.Redraw();
        return view.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    };
    const CShipElement& hull = *ship.HullElements().GetAt(1);
    const QImage arrays = render([&ship] { DrawModel(ship); });
    const QImage immediate = render([&ship] {
        for (int i = 1; i <= ship.HullElements().GetCount(); ++i)
            ImmediateWireframe(*ship.HullElements().GetAt(i));
        for (int i = 1; i <= ship.Compartments().GetCount(); ++i)
            ImmediateWireframe(*ship.Compartments().GetAt(i));
        for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
            ImmediateWireframe(*ship.Tanks().GetAt(i));
    });
    QVERIFY(CountColour(arrays, qRgb(128, 128, 128)) > 2000);
    QVERIFY(arrays == immediate);

    const QImage shadedArrays = render([&hull] { DrawShaded(hull); });
    const QImage shadedImmediate = render([&hull] { ImmediateShaded(hull); });
    // The hull covers a tenth of the window or so.
    QVERIFY(CountColour(shadedArrays, kWhite) < 320 * 240 * 19 / 20);
    QVERIFY(shadedArrays == shadedImmediate);
    QCOMPARE(QString(view.LastErrorText()), QString("No Error"));
}

void RenderingTest::theModelCheckDrawsTheOpenEdgesOverTheShipWhileShown() {
    CViewUnderTest t(400, 400);
    QVERIFY(t.IsExposed());
    t.View().ShowAxes = false;
    // A box without its deck (z = 0), and a closed lid nearer the viewer,
    // shaded: the deck's outline must show through it.
    CShipElement* open = t.Model().AddElement(kindHull);
    open->SetColour(ModelColour(0, 0, 160));
    open->Append(Triangles(BoxCorners(3, 2, -1, 0, false)));
    CShipElement* lid = t.Model().AddElement(kindHull);
    lid->SetName("coperchio");
    lid->SetColour(ModelColour(0, 128, 0));
    lid->Append(Triangles(BoxCorners(4, 3, 1, 2, true)));
    t.Preview(CBrelundView::previewShaded, "coperchio");
    const QRgb magenta = qRgb(255, 0, 255);
    QCOMPARE(CountColour(t.Frame(), magenta), 0);

    t.View().ModelCheck()->show();
    QApplication::processEvents();
    const QImage shown = t.Frame();
    QCOMPARE(QString(t.View().LastErrorText()), QString("No Error"));
    for (const QPointF& p : {QPointF(-3, 0), QPointF(3, 1), QPointF(0, 2), QPointF(-1, -2)})
        QVERIFY2(ColourNear(shown, CViewUnderTest::Pixel(p.x(), p.y(), 400), magenta),
                 qPrintable(QString("%1 %2").arg(p.x()).arg(p.y())));
    QVERIFY(!ColourNear(shown, CViewUnderTest::Pixel(0, 0, 400), magenta, 20));
    // Three pixels wide: the outline is 2 (6 + 4) m at 40 pixels a metre.
    const int pixels = CountColour(shown, magenta);
    QVERIFY2(pixels > 3 * 800 - 100 && pixels < 3 * 800 + 100, qPrintable(QString::number(pixels)));

    t.View().SetAngles(-60, 0, -30);
    t.View().AutoZoom();
    QDir().mkpath(BRELUND_SCREENSHOT_DIR);
    QVERIFY(t.Frame().save(BRELUND_SCREENSHOT_DIR "/view-model-check.png"));

    t.View().ModelCheck()->hide();
    QCOMPARE(CountColour(t.Frame(), magenta), 0);
}

void RenderingTest::aConditionTurnsTheShipAndDrawsItsWaterplaneAndCentres() {
    CViewUnderTest t(400, 400);
    QVERIFY(t.IsExposed());
    t.View().ShowAxes = false;
    CShipElement* hull = t.Model().AddElement(kindHull);
    hull->Append(Triangles(BoxCorners(3, 2, -1, 1, true)));
    const QRgb red = qRgb(220, 0, 0), green = qRgb(0, 160, 0);
    // Beside the hull, inside the plane's margin of a twentieth.
    const QPoint margin = CViewUnderTest::Pixel(3.15, 0, 400);
    QCOMPARE(t.Frame().pixel(margin), kWhite);

    CConditionPicture picture;
    picture.low = CVector3(-3, -2, -1);
    picture.high = CVector3(3, 2, 1);
    picture.b = CVector3(1, 0, -0.5);
    picture.g = CVector3(-1, 1, 1);
    t.View().ShowCondition(picture);
    QImage image = t.Frame();
    // White under a light blue of alpha 0.35.
    const QRgb tinted = image.pixel(margin);
    QVERIFY2(qAbs(qRed(tinted) - 194) <= 3 && qAbs(qGreen(tinted) - 222) <= 3 && qBlue(tinted) == 255,
             qPrintable(Hex(tinted)));
    QCOMPARE(image.pixel(CViewUnderTest::Pixel(1, 0, 400)), green);
    QCOMPARE(image.pixel(CViewUnderTest::Pixel(-1, 1, 400)), red);
    // The letters beside the points: more of each colour than a 9-pixel point.
    QVERIFY(CountColour(image, red) > 81 + 10);
    QVERIFY(CountColour(image, green) > 81 + 10);

    // Heeled 60 degrees to starboard (+y goes down): G at y = 1, z = 1
    // comes to y' = cos 60 + sin 60 in the plan.
    picture.heel = 60;
    t.View().ShowCondition(picture);
    image = t.Frame();
    QCOMPARE(image.pixel(CViewUnderTest::Pixel(-1, 0.5 + std::sqrt(0.75), 400)), red);
    QDir().mkpath(BRELUND_SCREENSHOT_DIR);
    t.View().SetAngles(-60, 0, -30);
    t.View().AutoZoom();
    QVERIFY(t.Frame().save(BRELUND_SCREENSHOT_DIR "/view-condition.png"));
    QCOMPARE(QString(t.View().LastErrorText()), QString("No Error"));

    t.View().OnUpdate();
    QVERIFY(!t.View().ShownCondition());
}
