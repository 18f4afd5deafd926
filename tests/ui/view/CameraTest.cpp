// The camera's arithmetic without a window: zooms, pans, the aspect fit, the
// pixel-to-world mapping, the mouse's turn and the auto zoom's framing.
#include "ui/view/CViewCamera.h"
#include "ui/view/ModelFraming.h"

#include "model/CGridMesh.h"
#include "model/CPolyfaceMesh.h"
#include "model/CShipModel.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

void ExpectVolume(const CViewVolume& v, double left, double right, double bottom, double top,
                  double near, double far) {
    EXPECT_DOUBLE_EQ(v.m_left, left);
    EXPECT_DOUBLE_EQ(v.m_right, right);
    EXPECT_DOUBLE_EQ(v.m_bottom, bottom);
    EXPECT_DOUBLE_EQ(v.m_top, top);
    EXPECT_DOUBLE_EQ(v.m_near, near);
    EXPECT_DOUBLE_EQ(v.m_far, far);
}

// A polyface mesh holding the points, as one triangle (points repeat when
// fewer than three are given).
std::unique_ptr<CPolyfaceMesh> PointsMesh(std::initializer_list<CVector3> points) {
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Allocate(static_cast<int>(points.size()), 1);
    int k = 1;
    for (const CVector3& p : points)
        *mesh->GetVertex(k++) = p;
    mesh->SetFace(1, 1, 1, 1);
    return mesh;
}

// A camera on a window of width x height pixels, volume -hw..hw by -hh..hh.
CViewCamera Camera(int width, int height, double hw, double hh) {
    CViewCamera camera;
    camera.SetViewport(width, height);
    CViewVolume& v = camera.Volume();
    v.m_left = -hw;
    v.m_right = hw;
    v.m_bottom = -hh;
    v.m_top = hh;
    return camera;
}

} // namespace

TEST(CViewCamera, StartsOnTenMetresSquareAtZeroAngles) {
    CViewCamera camera;
    ExpectVolume(camera.Volume(), -5, 5, -5, 5, -100, 100);
    EXPECT_EQ(camera.AngleX(), 0);
    EXPECT_EQ(camera.AngleZ(), 0);
    EXPECT_TRUE(camera.Translation().IsZero());
    const CVector3 p = camera.ToEye(CVector3(1, 2, 3));
    EXPECT_DOUBLE_EQ(p.X(), 1);
    EXPECT_DOUBLE_EQ(p.Y(), 2);
    EXPECT_DOUBLE_EQ(p.Z(), 3);
}

TEST(CViewWindow, ZoomInKeepsDepthAndZoomOutWidensIt) {
    CViewWindow in;
    in.ZoomIn(0.3); // 5 - 0.3 * 10 = 2
    ExpectVolume(in.Volume(), -2, 2, -2, 2, -100, 100);

    CViewWindow out;
    out.ZoomOut(0.3); // 5 + 0.3 * 10 = 8; 100 + 0.3 * 200 = 160
    ExpectVolume(out.Volume(), -8, 8, -8, 8, -160, 160);
}

TEST(CViewWindow, ZoomInOfHalfOrMoreKeepsAPositiveWindow) {
    for (double f : {0.5, 0.7, 3.0}) {
        CViewWindow window;
        window.ZoomIn(f);
        // Limited to 0.45: 10 - 2 * 0.45 * 10 = 1 metre left.
        EXPECT_NEAR(window.Volume().Width(), 1, 1e-12) << f;
        EXPECT_NEAR(window.Volume().Height(), 1, 1e-12) << f;
        EXPECT_LT(window.Volume().m_left, window.Volume().m_right) << f;
    }
}

TEST(CViewWindow, WheelZoomsByAThousandthPerUnitInSinglePrecision) {
    CViewWindow forward;
    forward.ZoomByWheel(120); // one notch: 0.12 of the width off each side
    const double f = static_cast<float>(0.12);
    EXPECT_DOUBLE_EQ(forward.Volume().m_right, 5 - f * 10);
    EXPECT_DOUBLE_EQ(forward.Volume().m_near, -100);

    CViewWindow back;
    back.ZoomByWheel(-240);
    const double g = static_cast<float>(0.24);
    EXPECT_DOUBLE_EQ(back.Volume().m_right, 5 + g * 10);
    EXPECT_DOUBLE_EQ(back.Volume().m_far, 100 + g * 200);

    // A flick of 600 units would turn the window inside out.
    CViewWindow flick;
    flick.ZoomByWheel(600);
    EXPECT_GT(flick.Volume().Width(), 0);
}

TEST(CViewWindow, FitAspectGrowsTheShortSideOnly) {
    CViewCamera square = Camera(300, 300, 5, 5);
    square.FitAspect();
    ExpectVolume(square.Volume(), -5, 5, -5, 5, -100, 100);

    // 200 x 100 pixels on 10 x 10 metres: 0.05 m/px across, 0.1 down; the
    // width grows to 0.1 * 200 = 20.
    CViewCamera wide = Camera(200, 100, 5, 5);
    wide.FitAspect();
    ExpectVolume(wide.Volume(), -10, 10, -5, 5, -100, 100);

    // 100 x 400 pixels on 10 x 10: the height grows to 0.1 * 400 = 40.
    CViewCamera tall = Camera(100, 400, 5, 5);
    tall.FitAspect();
    ExpectVolume(tall.Volume(), -5, 5, -20, 20, -100, 100);

    // No window yet: nothing to fit.
    CViewCamera none;
    none.FitAspect();
    ExpectVolume(none.Volume(), -5, 5, -5, 5, -100, 100);
}

TEST(CViewWindow, PixelToWorldPutsRowZeroAtTheTop) {
    const CViewCamera camera = Camera(200, 100, 10, 5);
    const CVector3 topLeft = camera.PixelToWorld(0, 0);
    EXPECT_DOUBLE_EQ(topLeft.X(), -10);
    EXPECT_DOUBLE_EQ(topLeft.Y(), 5);
    const CVector3 bottomRight = camera.PixelToWorld(200, 100);
    EXPECT_DOUBLE_EQ(bottomRight.X(), 10);
    EXPECT_DOUBLE_EQ(bottomRight.Y(), -5);
    // 20 m over 200 px and 10 m over 100 px: 0.1 m a pixel.
    const CVector3 p = camera.PixelToWorld(50, 20);
    EXPECT_DOUBLE_EQ(p.X(), -10 + 50 * 0.1);
    EXPECT_DOUBLE_EQ(p.Y(), 5 - 20 * 0.1);
}

TEST(CViewWindow, ZoomToRectTakesTheRectangleEitherWayAndAClickKeepsTheBounds) {
    // Pixels (50, 20) and (150, 70) at 0.1 m a pixel: x -5..5, y 5 - 7 = -2
    // .. 5 - 2 = 3.
    for (bool reversed : {false, true}) {
        CViewCamera camera = Camera(200, 100, 10, 5);
        if (reversed)
            camera.ZoomToRect(150, 70, 50, 20);
        else
            camera.ZoomToRect(50, 20, 150, 70);
        ExpectVolume(camera.Volume(), -5, 5, -2, 3, -100, 100);
    }

    CViewCamera click = Camera(200, 100, 10, 5);
    click.ZoomToRect(120, 40, 120, 40);
    ExpectVolume(click.Volume(), -10, 10, -5, 5, -100, 100);

    // A horizontal drag sets only x.
    CViewCamera flat = Camera(200, 100, 10, 5);
    flat.ZoomToRect(20, 40, 80, 40);
    ExpectVolume(flat.Volume(), -8, -2, -5, 5, -100, 100);
}

TEST(CViewWindow, PansMoveTheVolume) {
    // A left drag to the right by a quarter of the 200-pixel window moves the
    // volume left by a quarter of its 20 m: the image follows the pointer.
    CViewCamera drag = Camera(200, 100, 10, 5);
    drag.PanByDrag(100, 50, 150, 50);
    ExpectVolume(drag.Volume(), -15, 5, -5, 5, -100, 100);
    // Dragging down by 10 pixels (1 m) moves it up by 1 m.
    drag.PanByDrag(0, 0, 0, 10);
    ExpectVolume(drag.Volume(), -15, 5, -4, 6, -100, 100);

    CViewCamera fraction = Camera(200, 100, 10, 5);
    fraction.PanByFraction(0.1, -0.1); // 2 m right, 1 m down
    ExpectVolume(fraction.Volume(), -8, 12, -6, 4, -100, 100);

    CViewCamera metres = Camera(200, 100, 10, 5);
    metres.PanBy(3, -2);
    ExpectVolume(metres.Volume(), -7, 13, -7, 3, -100, 100);
}

TEST(CViewCamera, SetAnglesBuildsTheRotationWithTheViewsPi) {
    CViewCamera camera;
    camera.SetAngles(0, 0, 90);
    camera.SetTranslation(CVector3(1, 2, 3));
    // Rz(g) has rows (cos g, sin g, 0), (-sin g, cos g, 0), (0, 0, 1), with
    // g = 90 / 180 * 3.1416.
    const double g = 90.0 / 180 * 3.1416;
    const CVector3 p = camera.ToEye(CVector3(1, 0, 0));
    EXPECT_DOUBLE_EQ(p.X(), std::cos(g) + 1);
    EXPECT_DOUBLE_EQ(p.Y(), -std::sin(g) + 2);
    EXPECT_DOUBLE_EQ(p.Z(), 3);
}

TEST(CViewCamera, RightButtonMotionTurnsByDegreesPerPixel) {
    // At zero angles e = (0, 0, 1): 10 pixels across turn z by cos(0) 10.
    CViewCamera across;
    across.TurnByMouse(10, 0);
    EXPECT_DOUBLE_EQ(across.AngleZ(), 10);
    EXPECT_DOUBLE_EQ(across.AngleX(), 0);
    EXPECT_DOUBLE_EQ(across.AngleY(), 0);
    // The turn does not rebuild the rotation: ToEye still sees zero angles.
    const CVector3 p = across.ToEye(CVector3(1, 0, 0));
    EXPECT_DOUBLE_EQ(p.X(), 1);
    EXPECT_DOUBLE_EQ(p.Y(), 0);

    CViewCamera down;
    down.TurnByMouse(0, -10);
    EXPECT_DOUBLE_EQ(down.AngleX(), -10);

    // Moves are taken modulo 360, truncated: 370 -> 10, -370 -> -10.
    CViewCamera wrapped;
    wrapped.TurnByMouse(370, -370);
    EXPECT_DOUBLE_EQ(wrapped.AngleZ(), 10);
    EXPECT_DOUBLE_EQ(wrapped.AngleX(), -10);

    // At x = 90: e = Rx Ry Rz (0, 0, 1) = (-sin ay, sin ax cos ay, cos ax cos
    // ay) = (0, sin a, cos a) with a = 90 / 180 * 3.1416, and its components
    // are taken as radians: x grows by cos(sin a) dy, z by cos(0) dx.
    CViewCamera turned;
    turned.SetAngles(90, 0, 0);
    turned.TurnByMouse(4, 10);
    const double a = 90.0 / 180 * 3.1416;
    EXPECT_DOUBLE_EQ(turned.AngleX(), 90 + std::cos(std::sin(a)) * 10);
    EXPECT_DOUBLE_EQ(turned.AngleZ(), 4);
}

TEST(FrameModel, CentresTheShipAndGivesRoomAllRound) {
    // Vertices spanning x 0..100, y -5..5, z -2..8, spread over a hull
    // element, a compartment (grid) and a disabled tank.
    CShipModel ship;
    ship.AddElement(kindHull)->Append(PointsMesh({{0, -5, 0}, {50, 0, 0}, {20, 1, 1}}));
    auto grid = std::make_unique<CGridMesh>();
    grid->Resize(1, 2);
    grid->Item(0, 0)->Set(30, 5, -2);
    grid->Item(0, 1)->Set(40, 0, 3);
    ship.AddElement(kindCompartment)->Append(std::move(grid));
    CShipElement* tank = ship.AddElement(kindTank);
    tank->Append(PointsMesh({{100, 0, 8}}));
    tank->SetEnabled(false);

    CViewCamera camera;
    camera.SetAngles(30, 10, 45);
    ASSERT_TRUE(FrameModel(camera, ship));
    // T = -(min + max) / 2 = -((0 + 100) / 2, (-5 + 5) / 2, (-2 + 8) / 2)
    EXPECT_DOUBLE_EQ(camera.Translation().X(), -50);
    EXPECT_DOUBLE_EQ(camera.Translation().Y(), 0);
    EXPECT_DOUBLE_EQ(camera.Translation().Z(), -3);
    // Before the zoom out: x -50..50, y -5..5, eye z -5..5; near = -50 -
    // 2 * 50 = -150, far = 50 + 2 * 50 = 150. ZoomOut(0.3): 50 + 0.3 * 100 =
    // 80, 5 + 0.3 * 10 = 8, 150 + 0.3 * 300 = 240.
    ExpectVolume(camera.Volume(), -80, 80, -8, 8, -240, 240);
    // The angles come back, and with them the rotation.
    EXPECT_DOUBLE_EQ(camera.AngleX(), 30);
    EXPECT_DOUBLE_EQ(camera.AngleY(), 10);
    EXPECT_DOUBLE_EQ(camera.AngleZ(), 45);
    CViewCamera same;
    same.SetAngles(30, 10, 45);
    same.SetTranslation(camera.Translation());
    const CVector3 a = camera.ToEye(CVector3(1, 2, 3));
    const CVector3 b = same.ToEye(CVector3(1, 2, 3));
    EXPECT_DOUBLE_EQ(a.X(), b.X());
    EXPECT_DOUBLE_EQ(a.Y(), b.Y());
    EXPECT_DOUBLE_EQ(a.Z(), b.Z());
}

TEST(FrameModel, NothingToFrameKeepsTheCamera) {
    CShipModel empty;
    empty.AddElement(kindHull); // an element without meshes
    CShipModel point;
    point.AddElement(kindTank)->Append(PointsMesh({{3, 4, 5}}));
    CShipModel upright; // a line of sight: no width, no height
    upright.AddElement(kindHull)->Append(PointsMesh({{3, 4, 5}, {3, 4, 9}}));
    for (const CShipModel* ship : {&empty, &point, &upright}) {
        CViewCamera camera;
        camera.SetAngles(10, 20, 30);
        camera.SetTranslation(CVector3(1, 1, 1));
        camera.ZoomIn(0.1);
        EXPECT_FALSE(FrameModel(camera, *ship));
        ExpectVolume(camera.Volume(), -4, 4, -4, 4, -100, 100);
        EXPECT_DOUBLE_EQ(camera.Translation().X(), 1);
        EXPECT_DOUBLE_EQ(camera.AngleZ(), 30);
    }
}

TEST(CViewWindow, InitialVolumeSurvivesFitAspectButNoZoomOrPan) {
    CViewWindow window;
    EXPECT_TRUE(window.HasInitialVolume());
    // 200 x 100 pixels widen the 10 m square to 20 x 10 m: still untouched.
    window.SetViewport(200, 100);
    window.FitAspect();
    EXPECT_TRUE(window.HasInitialVolume());
    window.PanByFraction(0.1, 0);
    EXPECT_FALSE(window.HasInitialVolume());

    CViewWindow zoomed;
    zoomed.ZoomIn(0.1);
    EXPECT_FALSE(zoomed.HasInitialVolume());
    CViewWindow deeper;
    deeper.Volume().m_far = 50;
    EXPECT_FALSE(deeper.HasInitialVolume());
}
