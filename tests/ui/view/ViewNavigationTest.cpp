// The mouse on the view, on the X server: the right button turns, the middle
// button's rubber band is inverted over the image and zooms on release, the
// left button's line pans on release, the wheel zooms; a dense hull is drawn
// coarse while the camera moves. Then pictures of the main window with the
// sample ship, and of the dense hull moving and at rest, for a person to
// look at.
#include "ViewNavigationTest.h"

#include "ScriptedDialogs.h"
#include "ViewTestSupport.h"

#include "ui/app/CBrelundApp.h"
#include "ui/app/CMainFrame.h"
#include "ui/app/CommandTable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGrey = qRgb(128, 128, 128); // the hull's colour, 0x808080

void Mouse(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPoint p) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, p, w.mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : button,
                      held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}
void Press(QWidget& w, Qt::MouseButton b, QPoint p) {
    Mouse(w, QEvent::MouseButtonPress, b, p);
}
void Move(QWidget& w, Qt::MouseButton held, QPoint p) {
    Mouse(w, QEvent::MouseMove, held, p);
}
void Release(QWidget& w, Qt::MouseButton b, QPoint p) {
    Mouse(w, QEvent::MouseButtonRelease, b, p);
}

void Wheel(QWidget& w, QPoint angleDelta) {
    const QPoint p(100, 100);
    QWheelEvent event(p, w.mapToGlobal(p), QPoint(), angleDelta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &event);
}

void CompareVolume(const CViewVolume& v, double left, double right, double bottom, double top) {
    QCOMPARE(v.m_left, left);
    QCOMPARE(v.m_right, right);
    QCOMPARE(v.m_bottom, bottom);
    QCOMPARE(v.m_top, top);
}

// The first row of column x in the colour, or -1.
int RowOf(const QImage& image, int x, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        if (image.pixel(x, y) == colour)
            return y;
    return -1;
}

// The first and last column holding the colour.
std::pair<int, int> ColumnsOf(const QImage& image, QRgb colour) {
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) == colour) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

// A Wigley hull 100 m long, 10 m wide, 6.25 m deep, open at the deck, as a
// grid of stations x 2 half-sections: y = B/2 (1 - (2x/L - 1)^2) (1 - (z/T)^2)
// on each side, keel to deck.
std::unique_ptr<CGridMesh> DenseWigley(int stations, int around) {
    const double length = 100, breadth = 10, draught = 6.25;
    auto grid = std::make_unique<CGridMesh>();
    grid->Resize(stations + 1, around + 1);
    for (int i = 0; i <= stations; ++i)
        for (int k = 0; k <= around; ++k) {
            const double x = length * i / stations, s = 2.0 * k / around - 1;
            const double z = -draught * (1 - std::abs(s));
            const double xi = 2 * x / length - 1, zeta = z / draught;
            const double y = (s < 0 ? -1 : 1) * breadth / 2 * (1 - xi * xi) * (1 - zeta * zeta);
            grid->Item(i, k)->Set(x, y, z);
        }
    return grid;
}

} // namespace

void ViewNavigationTest::theRightButtonTurnsADegreePerPixel() {
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    CBrelundView& view = t.View();
    Press(view, Qt::RightButton, {100, 100});
    Move(view, Qt::RightButton, {110, 100});
    Release(view, Qt::RightButton, {110, 100});
    // At zero angles e = (0, 0, 1): z grows by cos(0) 10, x by cos(0) 0.
    QCOMPARE(view.AngleZ(), 10.0);
    QCOMPARE(view.AngleX(), 0.0);
    // Released: moving no longer turns.
    Move(view, Qt::NoButton, {150, 150});
    QCOMPARE(view.AngleZ(), 10.0);
    // The x axis turned 10 degrees anticlockwise on the screen: (4, 0, 0)
    // shows at (4 cos 10, 4 sin 10).
    const double a = 10.0 / 180 * M_PI;
    const QImage image = t.Frame();
    QVERIFY(ColourNear(image, CViewUnderTest::Pixel(4 * std::cos(a), 4 * std::sin(a)), kRed));
    QVERIFY(!ColourNear(image, CViewUnderTest::Pixel(4, 0), kRed, 2));
}

void ViewNavigationTest::theMiddleButtonsBandInvertsPixelsAndZoomsOnRelease() {
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    CBrelundView& view = t.View();
    const QImage before = t.Frame();
    const int axisRow = RowOf(before, 30, kRed);
    QVERIFY(axisRow >= 98 && axisRow <= 101);
    const long long frames = view.FramesDrawn();

    Press(view, Qt::MiddleButton, {50, 50});
    Move(view, Qt::MiddleButton, {150, 120});
    const QImage band = t.Grab();
    // The outline inverted: white to black, the red axis to cyan.
    for (QPoint p : {QPoint(70, 50), QPoint(150, 80), QPoint(120, 120), QPoint(50, 70)})
        QVERIFY2(band.pixel(p) == kBlack, qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    QCOMPARE(band.pixel(50, axisRow), qRgb(0, 255, 255));
    QCOMPARE(band.pixel(70, 80), kWhite);
    QCOMPARE(band.pixel(30, axisRow), kRed);
    // Nothing else changed: the band was drawn over the kept image.
    int changed = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            changed += band.pixel(x, y) != before.pixel(x, y);
    QVERIFY2(changed >= 2 * (100 + 70) - 4 && changed <= 2 * (100 + 70) + 4,
             qPrintable(QString::number(changed)));

    // Moving the band erases the old outline and draws the new one.
    Move(view, Qt::MiddleButton, {120, 105});
    const QImage moved = t.Grab();
    QCOMPARE(moved.pixel(70, 120), kWhite); // old bottom side
    QCOMPARE(moved.pixel(135, 50), kWhite); // old top side beyond the new corner
    QCOMPARE(moved.pixel(150, 80), kWhite); // old right side
    QCOMPARE(moved.pixel(70, 105), kBlack); // new bottom side
    QCOMPARE(moved.pixel(120, 80), kBlack); // new right side
    QCOMPARE(view.FramesDrawn(), frames);
    QCOMPARE(view.AngleX(), 0.0);

    // Released: the pixels' rectangle becomes the volume, fitted to the
    // window. x -5 + 50 * 0.05 = -2.5 .. -5 + 120 * 0.05 = 1; y 5 - 105 *
    // 0.05 = -0.25 .. 5 - 50 * 0.05 = 2.5; 3.5 x 2.75 m on a square window:
    // the height grows to 3.5 m, 0.375 on each side.
    Release(view, Qt::MiddleButton, {120, 105});
    CompareVolume(view.Volume(), -2.5, 1, -0.625, 2.875);
    const QImage after = t.Grab();
    QVERIFY(view.FramesDrawn() > frames);
    QCOMPARE(CountColour(after, kBlack), 0);
}

void ViewNavigationTest::aMiddleClickWithoutMovementKeepsTheBounds() {
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    t.Frame();
    Press(t.View(), Qt::MiddleButton, {80, 60});
    Release(t.View(), Qt::MiddleButton, {80, 60});
    CompareVolume(t.View().Volume(), -5, 5, -5, 5);
    QCOMPARE(CountColour(t.Grab(), kBlack), 0);
}

void ViewNavigationTest::theLeftButtonsLinePansTheImageAfterThePointer() {
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    CBrelundView& view = t.View();
    const QImage before = t.Frame();
    QVERIFY(ColourNear(before, {100, 10}, qRgb(0, 255, 0)));
    const long long frames = view.FramesDrawn();

    Press(view, Qt::LeftButton, {100, 60});
    Move(view, Qt::LeftButton, {150, 60});
    const QImage line = t.Grab();
    QCOMPARE(line.pixel(125, 60), kBlack);
    // The ring of radius 5 about the end.
    int ring = 0;
    for (int y = 53; y <= 67; ++y)
        for (int x = 143; x <= 157; ++x)
            ring += y != 60 && line.pixel(x, y) == kBlack;
    QVERIFY2(ring >= 20, qPrintable(QString::number(ring)));
    QCOMPARE(view.FramesDrawn(), frames);
    QCOMPARE(view.Volume().m_left, -5.0); // nothing moves until the release

    // A quarter of the width to the right: the volume moves left by a
    // quarter of its 10 m, the image (the y axis at x = 0) right by 50 pixels.
    Release(view, Qt::LeftButton, {150, 60});
    CompareVolume(view.Volume(), -7.5, 2.5, -5, 5);
    const QImage after = t.Grab();
    QVERIFY(ColourNear(after, {150, 10}, qRgb(0, 255, 0)));
    QVERIFY(!ColourNear(after, {100, 10}, qRgb(0, 255, 0), 2));
    QCOMPARE(CountColour(after, kBlack), 0);
}

void ViewNavigationTest::theWheelZoomsAThousandthPerUnit() {
    CViewUnderTest t;
    QVERIFY(t.IsExposed());
    CBrelundView& view = t.View();
    Wheel(view, {0, 120}); // one notch forward: in by 0.12 (single precision)
    const double f = static_cast<float>(0.12);
    const double right = 5 - f * 10;
    QCOMPARE(view.Volume().m_right, right);
    QCOMPARE(view.Volume().m_far, 100.0);

    Wheel(view, {0, -240}); // two back: out by 0.24 of the width then
    const double g = static_cast<float>(0.24);
    QCOMPARE(view.Volume().m_right, right + g * (2 * right));
    QCOMPARE(view.Volume().m_far, 100 + g * 200);

    const CViewVolume kept = view.Volume();
    Wheel(view, {120, 0}); // sideways: no zoom
    QCOMPARE(view.Volume().m_right, kept.m_right);

    Wheel(view, {0, 1200}); // a flick of ten notches at once
    QVERIFY(view.Volume().Width() > 0);
    QVERIFY(view.Volume().Height() > 0);
}

void ViewNavigationTest::screenshotsOfTheSampleShip() {
    CBrelundApp app;
    QVERIFY(app.InitInstance({QString(BRELUND_SOURCE_DIR) + "/samples/wigley.nav"}));
    CMainFrame& frame = app.GetMainFrame();
    CBrelundView& view = app.GetView();
    frame.resize(1024, 720);
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QDir().mkpath(BRELUND_SCREENSHOT_DIR);

    frame.Action(Cmd::AutoZoom)->trigger();
    const QImage framed = view.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    QVERIFY(frame.grab().save(QString(BRELUND_SCREENSHOT_DIR) + "/view-autozoom.png"));
    QCOMPARE(QString(view.LastErrorText()), QString("No Error"));
    // The ship is 1 / 1.6 of the volume's width after the zoom out by 0.3,
    // centred (the window is wide: the width sets the scale).
    const auto [first, last] = ColumnsOf(framed, kGrey);
    const double width = framed.width();
    QVERIFY2(std::abs((last - first) - width / 1.6) <= 3,
             qPrintable(QString("%1..%2 of %3").arg(first).arg(last).arg(width)));
    QVERIFY(std::abs((first + last) / 2.0 - width / 2) <= 2);

    // Turned with the right button: 30 degrees about z, then 40 about x.
    const QPoint centre = view.rect().center();
    Press(view, Qt::RightButton, centre);
    Move(view, Qt::RightButton, centre + QPoint(30, 40));
    Release(view, Qt::RightButton, centre + QPoint(30, 40));
    QCOMPARE(view.AngleZ(), 30.0);
    QCOMPARE(view.AngleX(), 40.0);
    const QImage turned = view.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    QVERIFY(frame.grab().save(QString(BRELUND_SCREENSHOT_DIR) + "/view-rotated.png"));
    QVERIFY(CountColour(turned, kGrey) > 1000);
    QVERIFY(turned != framed);
}

void ViewNavigationTest::aDenseHullTurnsAndZoomsInItsCoarsePicture() {
    CScriptedDialogs dialogs;
    CViewUnderTest t(640, 480);
    QVERIFY(t.IsExposed());
    CBrelundView& view = t.View();
    CShipElement* hull = t.Model().AddElement(kindHull);
    hull->SetName("scafo");
    // 400 x 200 quads, 2 fan triangles of 3 segments each.
    hull->Append(DenseWigley(400, 200));
    const long long full = 400 * 200 * 2 * 3;
    view.AutoZoom();
    view.SetAngles(-60, 0, -25);
    view.ZoomIn(0.1);
    t.Frame();
    QCOMPARE(view.ModelSegmentsDrawn(), full);
    QDir().mkpath(BRELUND_SCREENSHOT_DIR);
    QVERIFY(view.grabFramebuffer().save(QString(BRELUND_SCREENSHOT_DIR) + "/dense-hull-full.png"));

    // Each drag draws the coarse picture on its own (no grab asks for a
    // frame), built once; the release draws the whole one.
    const QPoint centre = view.rect().center();
    const CCoarseWireframes& pictures = view.CoarsePictures();
    const auto drag = [&](int dx) {
        Press(view, Qt::RightButton, centre);
        long long frames = view.FramesDrawn();
        Move(view, Qt::RightButton, centre + QPoint(dx, 0));
        QTRY_VERIFY(view.FramesDrawn() > frames);
        QVERIFY(view.MovingFrame());
        QVERIFY(view.ModelSegmentsDrawn() > kCoarseEdgeBudget / 2);
        QVERIFY(view.ModelSegmentsDrawn() <= kCoarseEdgeBudget);
        frames = view.FramesDrawn();
        Release(view, Qt::RightButton, centre + QPoint(dx, 0));
        QTRY_VERIFY(view.FramesDrawn() > frames);
        QVERIFY(!view.MovingFrame());
        QCOMPARE(view.ModelSegmentsDrawn(), full);
    };
    drag(5);
    QCOMPARE(pictures.Builds(), 1);
    Press(view, Qt::RightButton, centre);
    Move(view, Qt::RightButton, centre - QPoint(5, 0));
    const QImage coarse = view.grabFramebuffer();
    QVERIFY(coarse.save(QString(BRELUND_SCREENSHOT_DIR) + "/dense-hull-coarse.png"));
    Release(view, Qt::RightButton, centre - QPoint(5, 0));
    const int coarsePixels = CountColour(coarse.convertToFormat(QImage::Format_RGB32), kGrey);
    QVERIFY2(coarsePixels > 2000, qPrintable(QString::number(coarsePixels)));
    drag(5);
    QCOMPARE(pictures.Builds(), 1);

    // Inverting the normals (and undoing it) is a change of the ship: the
    // next turn builds the picture again.
    const double volume = hull->Volume();
    dialogs.answers << IDYES;
    t.Preview(CBrelundView::previewNone, "scafo");
    view.ElementTree()->OnInvertNormals();
    QCOMPARE(hull->Volume(), -volume);
    drag(-5);
    QCOMPARE(pictures.Builds(), 2);
    view.GetDocument().UndoStack().undo();
    QCOMPARE(hull->Volume(), volume);
    drag(5);
    QCOMPARE(pictures.Builds(), 3);

    // The wheel: coarse while the notches come, whole after the pause.
    long long frames = view.FramesDrawn();
    Wheel(view, {0, 120});
    QTRY_VERIFY(view.FramesDrawn() > frames);
    QVERIFY(view.MovingFrame());
    QTRY_VERIFY(!view.MovingFrame());
    QCOMPARE(view.ModelSegmentsDrawn(), full);
}
