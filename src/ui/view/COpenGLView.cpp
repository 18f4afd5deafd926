#include "COpenGLView.h"

#include "ModelDrawing.h"

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>
#include <QWheelEvent>

#include <cmath>

namespace {

const char* const kErrorTexts[] = {
    "No Error",
    "Unable to get a DC",
    "ChoosePixelFormat failed",
    "SelectPixelFormat failed",
    "wglCreateContext failed",
    "wglMakeCurrent failed",
    "wglDeleteContext failed",
    "SwapBuffers failed",
};

bool SameFigure(const CDragRect& a, const CDragRect& b) {
    return a.GetStart().X() == b.GetStart().X() && a.GetStart().Y() == b.GetStart().Y() &&
           a.GetEnd().X() == b.GetEnd().X() && a.GetEnd().Y() == b.GetEnd().Y();
}

// Pixels of a mouse event, as the window system reports them.
int PixelX(const QMouseEvent* event) {
    return static_cast<int>(std::lround(event->position().x()));
}
int PixelY(const QMouseEvent* event) {
    return static_cast<int>(std::lround(event->position().y()));
}

} // namespace

QSurfaceFormat COpenGLView::RequestedFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(16);
    format.setStencilBufferSize(0);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    return format;
}

COpenGLView::COpenGLView(QWidget* parent) : QOpenGLWidget(parent) {
    // The image stays in the framebuffer between repaints, so that the
    // rubber bands can be inverted over it without drawing the ship again.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    setFormat(RequestedFormat());
    setMinimumSize(200, 150);
    m_wheel_quiet.setSingleShot(true);
    m_wheel_quiet.setInterval(kWheelQuietMs);
    connect(&m_wheel_quiet, &QTimer::timeout, this, &COpenGLView::CameraStopped);
}

COpenGLView::~COpenGLView() = default;

const char* COpenGLView::LastErrorText() const {
    return kErrorTexts[m_last_error];
}

void COpenGLView::RecordError(GlError code) {
    if (m_last_error == errNone)
        m_last_error = code;
}

void COpenGLView::initializeGL() {
    m_image_valid = false;
    m_gl_ready = InitGL();
    if (!m_gl_ready)
        return;
    glClearColor(1, 1, 1, 1);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    SetViewport(width(), height());
    // A new context has none of the old one's state.
    m_lights_pending = m_lights_wanted;
}

bool COpenGLView::InitGL() {
    QOpenGLContext* ctx = context();
    if (ctx == nullptr || !ctx->isValid()) {
        RecordError(errNoContext);
        return false;
    }
    if (QOpenGLContext::currentContext() != ctx) {
        RecordError(errNotCurrent);
        return false;
    }
    return InitPixelFormat();
}

bool COpenGLView::HasSurface() {
    // Qt makes the widget's framebuffer after initializeGL: it is checked
    // when drawing.
    if (defaultFramebufferObject() == 0 || context()->functions()->glCheckFramebufferStatus(
                                               GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        RecordError(errNoSurface);
        return false;
    }
    return true;
}

bool COpenGLView::InitPixelFormat() {
    const QSurfaceFormat format = context()->format();
    if (format.depthBufferSize() < 1) {
        RecordError(errNoFormat);
        return false;
    }
    if (format.profile() == QSurfaceFormat::CoreProfile) {
        RecordError(errFormatRefused);
        return false;
    }
    return true;
}

void COpenGLView::RequestLightsAndMaterial() {
    m_lights_wanted = true;
    m_lights_pending = true;
    Redraw();
}

void COpenGLView::SetLightsAndMaterial() {
    const GLfloat ambient[4] = {0, 0, 0, 1};
    const GLfloat white[4] = {1, 1, 1, 1};
    // Directional (w = 0): one from the viewer's side, one from behind.
    const GLfloat front[4] = {0, 0.1f, 1, 0};
    const GLfloat back[4] = {0, 0.1f, -1, 0};
    const GLfloat material[4] = {0.1f, 1, 1, 1};
    // Light positions are taken through the model-view matrix: the identity
    // fixes them to the eye.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1}) {
        glLightfv(light, GL_AMBIENT, ambient);
        glLightfv(light, GL_DIFFUSE, white);
        glLightfv(light, GL_SPECULAR, white);
    }
    glLightfv(GL_LIGHT0, GL_POSITION, front);
    glLightfv(GL_LIGHT1, GL_POSITION, back);
    glPopMatrix();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_FLAT);
    // The back material (dark in the shaded preview) takes effect only with
    // two-sided lighting.
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material);
}

void COpenGLView::resizeGL(int width, int height) {
    // A new size is a new framebuffer: its old image is gone.
    m_image_valid = false;
    if (!m_gl_ready || width <= 0 || height <= 0)
        return;
    ApplyViewport();
    ApplyProjection();
    ApplyModelView();
}

bool COpenGLView::ApplyViewport() {
    SetViewport(width(), height());
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, static_cast<GLsizei>(std::lround(width() * ratio)),
               static_cast<GLsizei>(std::lround(height() * ratio)));
    return true;
}

bool COpenGLView::ApplyProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    FitAspect();
    const CViewVolume& v = Volume();
    // glOrtho refuses an empty box.
    if (v.Width() == 0 || v.Height() == 0 || v.Depth() == 0)
        return false;
    glOrtho(v.m_left, v.m_right, v.m_bottom, v.m_top, v.m_near, v.m_far);
    return true;
}

bool COpenGLView::ApplyModelView() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotated(AngleX(), 1, 0, 0);
    glRotated(AngleY(), 0, 1, 0);
    glRotated(AngleZ(), 0, 0, 1);
    const CVector3& t = Translation();
    glTranslated(t.X(), t.Y(), t.Z());
    return true;
}

bool COpenGLView::DrawScene() {
    DrawAxes(Volume());
    return true;
}

void COpenGLView::DrawFrame(FrameKind kind) {
    m_frame_kind = kind;
    // Errors left by others are not this frame's.
    while (glGetError() != GL_NO_ERROR) {
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyViewport();
    ApplyProjection();
    ApplyModelView();
    BeforeScene();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    DrawScene();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glFinish();
    if (glGetError() != GL_NO_ERROR)
        RecordError(errFrame);
    ++m_frames_drawn;
}

void COpenGLView::Redraw() {
    m_scene_requested = true;
    update();
}

void COpenGLView::ApplyCamera() {
    if (!m_gl_ready)
        return;
    makeCurrent();
    ApplyViewport();
    ApplyProjection();
    ApplyModelView();
    doneCurrent();
}

void COpenGLView::UpdateFigures() {
    m_figures_requested = true;
    update();
}

void COpenGLView::paintGL() {
    if (!m_gl_ready || !HasSurface())
        return;
    if (m_lights_pending) {
        SetLightsAndMaterial();
        m_lights_pending = false;
    }
    // Every repaint draws the whole frame, except one asked for only
    // because a rubber band moved while the image is still there.
    const bool figuresOnly = m_figures_requested && !m_scene_requested && m_image_valid;
    m_scene_requested = false;
    m_figures_requested = false;
    if (!figuresOnly) {
        DrawFrame(CameraMoving() ? frameMoving : frameFull);
        m_image_valid = true;
        m_rect_shown.Stop();
        m_line_shown.Stop();
    }
    SyncFigures();
}

void COpenGLView::CameraStopped() {
    if (!CameraMoving() && MovingFrame())
        Redraw();
}

void COpenGLView::SyncFigures() {
    const bool rectChanged =
        m_rect_shown.IsActive() != m_drag_rect.IsActive() || !SameFigure(m_rect_shown, m_drag_rect);
    const bool lineChanged =
        m_line_shown.IsActive() != m_drag_line.IsActive() || !SameFigure(m_line_shown, m_drag_line);
    if (!rectChanged && !lineChanged)
        return;
    // One unit per pixel, row 0 at the top.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width(), height(), 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (rectChanged) {
        if (m_rect_shown.IsActive())
            m_rect_shown.Draw();
        if (m_drag_rect.IsActive())
            m_drag_rect.Draw();
        m_rect_shown = m_drag_rect;
    }
    if (lineChanged) {
        if (m_line_shown.IsActive())
            m_line_shown.Draw();
        if (m_drag_line.IsActive())
            m_drag_line.Draw();
        m_line_shown = m_drag_line;
    }
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void COpenGLView::mousePressEvent(QMouseEvent* event) {
    const int x = PixelX(event), y = PixelY(event);
    switch (event->button()) {
    case Qt::RightButton:
        m_rotating = true;
        m_last_x = x;
        m_last_y = y;
        break;
    case Qt::MiddleButton:
        m_drag_rect.Start(x, y);
        UpdateFigures();
        break;
    case Qt::LeftButton:
        m_drag_line.Start(x, y);
        UpdateFigures();
        break;
    default:
        QOpenGLWidget::mousePressEvent(event);
    }
}

void COpenGLView::mouseMoveEvent(QMouseEvent* event) {
    const int x = PixelX(event), y = PixelY(event);
    if (m_rotating && !(event->buttons() & Qt::RightButton)) {
        // The release went elsewhere (another window took the mouse): the
        // turn is over, and the light picture must not stay.
        m_rotating = false;
        CameraStopped();
    }
    if (m_rotating) {
        TurnByMouse(x - m_last_x, y - m_last_y);
        m_last_x = x;
        m_last_y = y;
        Redraw();
    }
    // With both bands out at once, neither follows.
    if (m_drag_rect.IsActive() != m_drag_line.IsActive()) {
        if (m_drag_rect.IsActive())
            m_drag_rect.SetEnd(x, y);
        else
            m_drag_line.SetEnd(x, y);
        UpdateFigures();
    }
}

void COpenGLView::mouseReleaseEvent(QMouseEvent* event) {
    const int x = PixelX(event), y = PixelY(event);
    switch (event->button()) {
    case Qt::RightButton:
        m_rotating = false;
        CameraStopped();
        break;
    case Qt::MiddleButton:
        if (!m_drag_rect.IsActive())
            break;
        m_drag_rect.SetEnd(x, y);
        m_drag_rect.Stop();
        ZoomToRect(static_cast<int>(m_drag_rect.GetStart().X()),
                   static_cast<int>(m_drag_rect.GetStart().Y()),
                   static_cast<int>(m_drag_rect.GetEnd().X()),
                   static_cast<int>(m_drag_rect.GetEnd().Y()));
        ApplyCamera();
        Redraw();
        break;
    case Qt::LeftButton:
        if (!m_drag_line.IsActive())
            break;
        m_drag_line.SetEnd(x, y);
        m_drag_line.Stop();
        PanByDrag(static_cast<int>(m_drag_line.GetStart().X()),
                  static_cast<int>(m_drag_line.GetStart().Y()),
                  static_cast<int>(m_drag_line.GetEnd().X()),
                  static_cast<int>(m_drag_line.GetEnd().Y()));
        Redraw();
        break;
    default:
        QOpenGLWidget::mouseReleaseEvent(event);
    }
}

void COpenGLView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        // A sideways scroll is not a zoom.
        event->ignore();
        return;
    }
    ZoomByWheel(delta);
    m_wheel_quiet.start();
    Redraw();
}
