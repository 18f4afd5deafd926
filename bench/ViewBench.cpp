// The cost of drawing the ship in the 3D view: one whole frame of the view
// (clear, camera, axes, the wireframe of every element filled into client
// arrays from the model, glFinish) on the sample Wigley ship and on
// ellipsoid hulls of 100k and 1M triangles, against a bare glDrawArrays of
// the same triangles' edges (GL_LINES) and of the triangles themselves
// (GL_TRIANGLES) from arrays built beforehand, and against the same
// wireframe drawn in immediate mode, one glBegin/glEnd per triangle.
//
// Needs an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb (Mesa's
// software renderer there). The view is 1024 x 768 pixels, auto zoomed and
// turned to 30 degrees about x and 40 about z. Each benchmark reports
// ns_per_tri and the triangle count.
#include "BenchHulls.h"

#include "ui/app/CBrelundDoc.h"
#include "ui/app/CBrelundView.h"

#include "model/MeshFaces.h"
#include "ui/view/CCoarseWireframe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSurfaceFormat>
#include <QTest>
#include <QTimer>

#include <GL/gl.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <vector>

namespace {

enum BenchShip { shipWigley = 0, ship100k = 1, ship1M = 2 };

struct CBenchView {
    CBrelundDoc doc;
    CBrelundView view{doc};
    long triangles = 0;
    bool exposed = false;
};

template <class Fn> void ForEachElement(const CShipModel& ship, Fn&& fn) {
    for (int i = 1; i <= ship.HullElements().GetCount(); ++i)
        fn(*ship.HullElements().GetAt(i));
    for (int i = 1; i <= ship.Compartments().GetCount(); ++i)
        fn(*ship.Compartments().GetAt(i));
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
        fn(*ship.Tanks().GetAt(i));
}

// Calls fn(a, b, c) for every fan triangle of every face of the ship.
template <class Fn> void ForEachTriangle(const CShipModel& ship, Fn&& fn) {
    ForEachElement(ship, [&fn](const CShipElement& element) {
        meshfaces::ForEachFaceInShipAxes(element, [&fn](const CVector3* p, int n) {
            for (int k = 1; k + 1 < n; ++k)
                fn(p[0], p[k], p[k + 1]);
        });
    });
}

// The views, built on first use; emptied before the application goes.
std::map<int, std::unique_ptr<CBenchView>>& Views() {
    static std::map<int, std::unique_ptr<CBenchView>> views;
    return views;
}

CBenchView& View(int which) {
    auto& v = Views()[which];
    if (v)
        return *v;
    v = std::make_unique<CBenchView>();
    if (which == shipWigley)
        v->doc.OnOpenDocument(QString(BRELUND_SOURCE_DIR) + "/samples/wigley.nav");
    else
        AddBenchHull(v->doc.GetModel(), which == ship100k ? 100000 : 1000000, benchPolyface);
    ForEachTriangle(v->doc.GetModel(),
                    [&v](const CVector3&, const CVector3&, const CVector3&) { ++v->triangles; });
    CBrelundView& view = v->view;
    view.resize(1024, 768);
    view.show();
    v->exposed = QTest::qWaitForWindowExposed(&view);
    view.OnInitialUpdate();
    view.AutoZoom();
    view.SetAngles(30, 0, 40);
    view.grabFramebuffer(); // the first frame, with the lights set
    return *v;
}

// The view of the benchmark's first argument, or null, the benchmark
// skipped, when it could not be shown.
CBenchView* ShownView(benchmark::State& state) {
    CBenchView& v = View(static_cast<int>(state.range(0)));
    if (v.exposed)
        return &v;
    state.SkipWithError("the view was not shown (no X server?)");
    return nullptr;
}

void Report(benchmark::State& state, long triangles) {
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["ns_per_tri"] = benchmark::Counter(
        static_cast<double>(triangles) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Frames of one kind, the first drawn before the timing (a moving frame's
// coarse pictures are built then: BM_CoarseBuild times that).
void TimeFrames(benchmark::State& state, COpenGLView::FrameKind kind) {
    CBenchView* shown = ShownView(state);
    if (!shown)
        return;
    CBenchView& v = *shown;
    v.view.makeCurrent();
    v.view.DrawFrame(kind);
    for (auto _ : state)
        v.view.DrawFrame(kind);
    v.view.doneCurrent();
    if (QString(v.view.LastErrorText()) != "No Error")
        state.SkipWithError(v.view.LastErrorText());
    Report(state, v.triangles);
    if (kind == COpenGLView::frameMoving)
        state.counters["segments"] = static_cast<double>(v.view.ModelSegmentsDrawn());
}

void BM_FullFrame(benchmark::State& state) {
    TimeFrames(state, COpenGLView::frameFull);
}

// The light frame drawn while the camera moves: the elements' coarse
// pictures. segments: the line segments of the elements in one frame.
void BM_MovingFrame(benchmark::State& state) {
    TimeFrames(state, COpenGLView::frameMoving);
}

// Building the coarse pictures of every element, each for its share, as the
// first moving frame after a change of the ship does.
void BM_CoarseBuild(benchmark::State& state) {
    CBenchView* shown = ShownView(state);
    if (!shown)
        return;
    const CShipModel& ship = shown->doc.GetModel();
    long long shipFaces = 0;
    ForEachElement(ship, [&shipFaces](const CShipElement& e) { shipFaces += e.GetFaceCount(); });
    long long segments = 0;
    for (auto _ : state) {
        segments = 0;
        ForEachElement(ship, [&](const CShipElement& e) {
            segments += BuildCoarseEdges(e, CoarseEdgeShare(e.GetFaceCount(), shipFaces)).Count();
        });
    }
    Report(state, shown->triangles);
    state.counters["segments"] = static_cast<double>(segments);
}

// The floor: the same primitives from arrays made beforehand, in the same
// context and camera, one draw call and glFinish per frame.
void BM_BareDrawArrays(benchmark::State& state) {
    CBenchView* shown = ShownView(state);
    if (!shown)
        return;
    CBenchView& v = *shown;
    const bool lines = state.range(1) == 0;
    std::vector<GLfloat> vertices;
    auto push = [&vertices](const CVector3& p) {
        vertices.insert(vertices.end(), {static_cast<GLfloat>(p.X()), static_cast<GLfloat>(p.Y()),
                                         static_cast<GLfloat>(p.Z())});
    };
    ForEachTriangle(v.doc.GetModel(), [&](const CVector3& a, const CVector3& b, const CVector3& c) {
        if (lines)
            for (const CVector3* p : {&a, &b, &b, &c, &c, &a})
                push(*p);
        else
            for (const CVector3* p : {&a, &b, &c})
                push(*p);
    });
    v.view.makeCurrent();
    v.view.DrawFrame(); // the camera's matrices
    glDisable(GL_LIGHTING);
    glColor3d(0.5, 0.5, 0.5);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    const GLsizei count = static_cast<GLsizei>(vertices.size() / 3);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawArrays(lines ? GL_LINES : GL_TRIANGLES, 0, count);
        glFinish();
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glEnable(GL_LIGHTING);
    v.view.doneCurrent();
    Report(state, v.triangles);
}

// For comparison, the wireframe as one glBegin/glEnd line loop per fan
// triangle (immediate mode), in the same context and camera.
void BM_ImmediateWireframe(benchmark::State& state) {
    CBenchView* shown = ShownView(state);
    if (!shown)
        return;
    CBenchView& v = *shown;
    const CShipModel& ship = v.doc.GetModel();
    v.view.makeCurrent();
    v.view.DrawFrame(); // the camera's matrices
    glDisable(GL_LIGHTING);
    glColor3d(0.5, 0.5, 0.5);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ForEachTriangle(ship, [](const CVector3& a, const CVector3& b, const CVector3& c) {
            glBegin(GL_LINE_LOOP);
            for (const CVector3* p : {&a, &b, &c})
                glVertex3d(p->X(), p->Y(), p->Z());
            glEnd();
        });
        glFinish();
    }
    glEnable(GL_LIGHTING);
    v.view.doneCurrent();
    Report(state, v.triangles);
}

// A turn with the right button as a person makes it: 20 moves of 5 pixels,
// one every 16 ms, handed to the view on the timetable of a window system
// that queues them while the view draws, then the release 300 ms after the
// last move. lag_ms: from the last move to the end of the first frame
// showing it; settle_ms: from the release to the end of the last frame
// drawn; frames: frames drawn from the press to the end.
void BM_RotationDrag(benchmark::State& state) {
    CBenchView* shown = ShownView(state);
    if (!shown)
        return;
    CBrelundView& view = shown->view;
    constexpr int kMoves = 20, kStepPixels = 5;
    constexpr qint64 kMoveMs = 16, kHoldMs = 300;
    const QPoint start(300, 300);
    auto post = [&view](QEvent::Type type, QPoint p) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::RightButton;
        QApplication::postEvent(
            &view, new QMouseEvent(type, p, view.mapToGlobal(p),
                                   type == QEvent::MouseMove ? Qt::NoButton : Qt::RightButton, held,
                                   Qt::NoModifier));
    };
    double lagTotal = 0, settleTotal = 0, framesTotal = 0;
    for (auto _ : state) {
        view.SetAngles(30, 0, 40);
        view.grabFramebuffer();
        QApplication::processEvents();
        const double finalAngle = 40 + kMoves * kStepPixels;
        QElapsedTimer clock;
        qint64 lastMoveAt = -1, releaseAt = -1, shownAt = -1, lastFrameAt = -1;
        const long long framesBefore = view.FramesDrawn();
        long long framesSeen = framesBefore;
        int posted = 0;
        QTimer feeder;
        feeder.setTimerType(Qt::PreciseTimer);
        feeder.setInterval(1);
        QObject::connect(&feeder, &QTimer::timeout, [&] {
            // Every event due by now, as the window system would have queued
            // them while the view was busy.
            while (posted <= kMoves && clock.elapsed() >= posted * kMoveMs) {
                if (posted == 0) {
                    post(QEvent::MouseButtonPress, start);
                } else {
                    post(QEvent::MouseMove, start + QPoint(posted * kStepPixels, 0));
                    lastMoveAt = posted * kMoveMs;
                }
                ++posted;
            }
            const qint64 releaseDue = kMoves * kMoveMs + kHoldMs;
            if (posted > kMoves && releaseAt < 0 && clock.elapsed() >= releaseDue) {
                post(QEvent::MouseButtonRelease, start + QPoint(kMoves * kStepPixels, 0));
                releaseAt = releaseDue;
            }
        });
        const QMetaObject::Connection swapped =
            QObject::connect(&view, &QOpenGLWidget::frameSwapped, [&] {
                if (view.FramesDrawn() == framesSeen)
                    return;
                framesSeen = view.FramesDrawn();
                lastFrameAt = clock.elapsed();
                if (shownAt < 0 && lastMoveAt >= 0 && view.AngleZ() == finalAngle)
                    shownAt = lastFrameAt;
            });
        clock.start();
        feeder.start();
        // Until released and nothing more drawn for half a second.
        while (releaseAt < 0 || clock.elapsed() - std::max(lastFrameAt, releaseAt) < 500)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        feeder.stop();
        QObject::disconnect(swapped);
        lagTotal += static_cast<double>(shownAt - lastMoveAt);
        settleTotal += static_cast<double>(std::max(lastFrameAt, releaseAt) - releaseAt);
        framesTotal += static_cast<double>(view.FramesDrawn() - framesBefore);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["lag_ms"] = lagTotal / n;
    state.counters["settle_ms"] = settleTotal / n;
    state.counters["frames"] = framesTotal / n;
    view.SetAngles(30, 0, 40);
}

} // namespace

BENCHMARK(BM_FullFrame)
    ->ArgName("ship")
    ->Arg(shipWigley)
    ->Arg(ship100k)
    ->Arg(ship1M)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_MovingFrame)
    ->ArgName("ship")
    ->Arg(shipWigley)
    ->Arg(ship100k)
    ->Arg(ship1M)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CoarseBuild)
    ->ArgName("ship")
    ->Arg(shipWigley)
    ->Arg(ship100k)
    ->Arg(ship1M)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_BareDrawArrays)
    ->ArgNames({"ship", "triangles"})
    ->ArgsProduct({{shipWigley, ship100k, ship1M}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(BM_ImmediateWireframe)
    ->ArgName("ship")
    ->Arg(shipWigley)
    ->Arg(ship100k)
    ->Arg(ship1M)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(BM_RotationDrag)
    ->ArgName("ship")
    ->Arg(shipWigley)
    ->Arg(ship1M)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QSurfaceFormat::setDefaultFormat(COpenGLView::RequestedFormat());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Views().clear();
    return 0;
}
