#include "CViewWindow.h"

#include "geometry/Scalar.h"

void CViewWindow::SetViewport(int width, int height) {
    m_viewport.m_left = 0;
    m_viewport.m_top = 0;
    m_viewport.m_right = width;
    m_viewport.m_bottom = height;
}

void CViewWindow::ZoomIn(double f) {
    if (f > kMaxZoomInFraction)
        f = kMaxZoomInFraction;
    const double w = m_volume.Width();
    const double h = m_volume.Height();
    m_volume.m_right -= f * w;
    m_volume.m_left += f * w;
    m_volume.m_top -= f * h;
    m_volume.m_bottom += f * h;
}

void CViewWindow::ZoomOut(double f) {
    const double w = Abs(m_volume.Width());
    const double h = Abs(m_volume.Height());
    const double d = Abs(m_volume.Depth());
    m_volume.m_right += f * w;
    m_volume.m_left -= f * w;
    m_volume.m_top += f * h;
    m_volume.m_bottom -= f * h;
    m_volume.m_far += f * d;
    m_volume.m_near -= f * d;
}

void CViewWindow::ZoomByWheel(int delta) {
    if (delta > 0)
        ZoomIn(static_cast<float>(delta * 0.001));
    else
        ZoomOut(static_cast<float>(-delta * 0.001));
}

void CViewWindow::ZoomToRect(int x1, int y1, int x2, int y2) {
    if (!m_viewport.HasArea())
        return;
    const CVector3 a = PixelToWorld(x1, y1);
    const CVector3 b = PixelToWorld(x2, y2);
    if (a.X() != b.X()) {
        m_volume.m_left = Min(a.X(), b.X());
        m_volume.m_right = Max(a.X(), b.X());
    }
    if (a.Y() != b.Y()) {
        m_volume.m_bottom = Min(a.Y(), b.Y());
        m_volume.m_top = Max(a.Y(), b.Y());
    }
}

void CViewWindow::PanByFraction(double a, double b) {
    const double w = m_volume.Width();
    const double h = m_volume.Height();
    m_volume.m_right += w * a;
    m_volume.m_left += w * a;
    m_volume.m_top += h * b;
    m_volume.m_bottom += h * b;
}

void CViewWindow::PanBy(double dx, double dy) {
    m_volume.m_left += dx;
    m_volume.m_right += dx;
    m_volume.m_bottom += dy;
    m_volume.m_top += dy;
}

void CViewWindow::PanByDrag(int x1, int y1, int x2, int y2) {
    if (!m_viewport.HasArea())
        return;
    const CVector3 start = PixelToWorld(x1, y1);
    const CVector3 end = PixelToWorld(x2, y2);
    PanBy(start.X() - end.X(), start.Y() - end.Y());
}

void CViewWindow::FitAspect() {
    if (!m_viewport.HasArea())
        return;
    const int pw = m_viewport.Width();
    const int ph = m_viewport.Height();
    const double w = m_volume.Width();
    const double h = m_volume.Height();
    // Metres per pixel across and down.
    const double sx = w / pw;
    const double sy = h / ph;
    if (!(Abs(1 - sx / sy) > 0))
        return;
    if (sx < sy) {
        const double g = Abs(sy * pw - w) * 0.5;
        m_volume.m_right += g;
        m_volume.m_left -= g;
    } else {
        const double g = Abs(sx * ph - h) * 0.5;
        m_volume.m_top += g;
        m_volume.m_bottom -= g;
    }
}

bool CViewWindow::HasInitialVolume() const {
    const CViewVolume initial;
    const CViewVolume& v = m_volume;
    if (v.m_near != initial.m_near || v.m_far != initial.m_far)
        return false;
    const bool xKept = v.m_left == initial.m_left && v.m_right == initial.m_right;
    const bool yKept = v.m_bottom == initial.m_bottom && v.m_top == initial.m_top;
    return (xKept && yKept) || (xKept && v.m_bottom == -v.m_top && v.Height() > initial.Height()) ||
           (yKept && v.m_left == -v.m_right && v.Width() > initial.Width());
}

CVector3 CViewWindow::PixelToWorld(double px, double py) const {
    const double x = m_volume.m_left + (px - m_viewport.m_left) * m_volume.Width() /
                                           (m_viewport.m_right - m_viewport.m_left);
    const double y = m_volume.m_bottom + (py - m_viewport.m_bottom) * m_volume.Height() /
                                             (m_viewport.m_top - m_viewport.m_bottom);
    return {x, y, 0};
}
