// The window in which the ship is seen: an OpenGL 1.1 (fixed-function)
// context from Qt, the orthographic camera, and the mouse navigation. The
// right button turns the model about its origin, the middle button zooms to
// a rubber-band rectangle, the left button drags a rubber-band line and pans
// on release, and the wheel zooms. Each frame runs a fixed sequence of
// overridable steps; a derived view supplies the scene and the auto zoom.
// While the model turns or the wheel zooms, frames are drawn light (a
// derived view draws a thinner picture) so that they keep up with the mouse;
// the whole picture follows when the camera stops.
#pragma once

#include "CDragRect.h"
#include "CViewCamera.h"

#include <QOpenGLWidget>
#include <QTimer>

class QSurfaceFormat;

class COpenGLView : public QOpenGLWidget, public CViewCamera {
    Q_OBJECT
public:
    // Codes of LastErrorText, for the failures of the OpenGL set-up.
    enum GlError {
        errNone = 0,
        errNoSurface = 1,     // the widget has no complete framebuffer to draw into
        errNoFormat = 2,      // the context has no depth buffer
        errFormatRefused = 3, // the context cannot run the fixed-function pipeline
        errNoContext = 4,     // no rendering context could be created
        errNotCurrent = 5,    // the context could not be made current
        errDeleteContext = 6, // (Qt deletes the context itself and reports nothing)
        errFrame = 7,         // OpenGL reported an error at the end of a frame
    };

    // The surface format the view asks for: a compatibility-profile 2.1
    // context with a 16-bit depth buffer, so that the fixed-function pipeline
    // is there. Set it as the default before the QApplication is created.
    static QSurfaceFormat RequestedFormat();

    explicit COpenGLView(QWidget* parent = nullptr);
    ~COpenGLView() override;

    // The text of the first set-up failure, "No Error" while there is none.
    const char* LastErrorText() const;
    GlError LastError() const { return m_last_error; }

    // Frames the scene; nothing here.
    virtual void AutoZoom() {}

    // Frame steps; each returns true on success.
    // The client rectangle into the viewport, and the OpenGL viewport.
    virtual bool ApplyViewport();
    // FitAspect, then the orthographic projection of the volume; false (and
    // no projection) when the volume has no width, height or depth.
    virtual bool ApplyProjection();
    // Rx(ax) Ry(ay) Rz(az) (p + T), OpenGL's rotations in degrees.
    virtual bool ApplyModelView();
    virtual bool BeforeScene() { return true; }
    // The scene: the axes.
    virtual bool DrawScene();

    // The picture a frame draws: the whole one, or the light one that keeps
    // up with the mouse while the camera moves.
    enum FrameKind { frameFull = 0, frameMoving = 1 };
    // Wheel events closer than this are one zoom: the whole picture waits
    // for the pause after the last.
    static constexpr int kWheelQuietMs = 150;

    // One whole frame into the current context: clear, the frame steps,
    // then wait for OpenGL to finish. paintGL runs it (light while
    // CameraMoving); a benchmark may too, after makeCurrent().
    void DrawFrame(FrameKind kind = frameFull);
    // The frame being drawn, or else the last one drawn, is light.
    bool MovingFrame() const { return m_frame_kind == frameMoving; }
    // The right button is turning the model, or the wheel zoomed less than
    // kWheelQuietMs ago.
    bool CameraMoving() const { return m_rotating || m_wheel_quiet.isActive(); }

    // The ship drawn again at the next repaint.
    void Redraw();
    // The viewport, projection and model-view steps run now in the view's
    // context, for the camera just changed; nothing before the context is
    // there.
    void ApplyCamera();
    // Whole frames drawn so far (moving a rubber band draws none).
    long long FramesDrawn() const { return m_frames_drawn; }

    const CDragRect& DragRect() const { return m_drag_rect; }
    const CDragLine& DragLine() const { return m_drag_line; }

protected:
    // The lights and the material: two white directional lights, one from
    // the viewer's side and one from behind, both tilted a little towards +y
    // (fixed to the eye); flat shading, normals normalised, two-sided
    // lighting so that the back material shows. Applied in the context at
    // the next frame.
    void RequestLightsAndMaterial();

    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Checks the context Qt created; false, with the failure recorded, when
    // the view cannot draw.
    bool InitGL();
    // The format of the context: a depth buffer and the fixed-function
    // pipeline.
    bool InitPixelFormat();
    // The widget's framebuffer is there and complete.
    bool HasSurface();
    void SetLightsAndMaterial();
    // Only the first failure is kept.
    void RecordError(GlError code);
    // The rubber bands moved: invert them over the kept image at the next
    // repaint, without drawing the ship again.
    void UpdateFigures();
    // Makes the image show each figure as it now is: the figure as last
    // drawn is inverted again (erased), the current one drawn.
    void SyncFigures();
    // The camera came to rest: the whole picture replaces a light one.
    void CameraStopped();

    GlError m_last_error = errNone;
    long long m_frames_drawn = 0;
    bool m_gl_ready = false;
    bool m_lights_wanted = false;
    bool m_lights_pending = false;
    // The framebuffer holds the last frame (it is lost with a new context
    // or a new size).
    bool m_image_valid = false;
    bool m_scene_requested = true;
    bool m_figures_requested = false;

    FrameKind m_frame_kind = frameFull;
    bool m_rotating = false;
    // Runs from each wheel event until the pause after the last one.
    QTimer m_wheel_quiet;
    int m_last_x = 0;
    int m_last_y = 0;
    CDragRect m_drag_rect;
    CDragLine m_drag_line;
    // The figures as they are inverted into the image now (active when shown).
    CDragRect m_rect_shown;
    CDragLine m_line_shown;
};
