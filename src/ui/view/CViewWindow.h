// The camera's window onto the world: the client rectangle in pixels and the
// view volume in metres. Every zoom and pan is an edit of the volume; the
// arithmetic needs no window system, so it is tested on its own.
#pragma once

#include "CViewVolume.h"

#include "geometry/CVector3.h"

#include <cstdint>

// The client rectangle in pixels; left and top are 0, row 0 is the top.
struct CViewport {
    std::int32_t m_left = 0;
    std::int32_t m_top = 0;
    std::int32_t m_right = 0;
    std::int32_t m_bottom = 0;

    std::int32_t Width() const { return m_right - m_left; }
    std::int32_t Height() const { return m_bottom - m_top; }
    bool HasArea() const { return Width() > 0 && Height() > 0; }
};

class CViewWindow {
public:
    // The largest fraction ZoomIn takes: at 0.5 the window would collapse to
    // nothing and beyond it turn inside out, so a larger request (a wheel
    // message of 450 units or more) keeps a tenth of the window.
    static constexpr double kMaxZoomInFraction = 0.45;

    CViewWindow() = default;
    virtual ~CViewWindow() = default;

    CViewVolume& Volume() { return m_volume; }
    const CViewVolume& Volume() const { return m_volume; }
    const CViewport& Viewport() const { return m_viewport; }
    // The client rectangle (0, 0) - (width, height).
    void SetViewport(int width, int height);

    // Each side moves inwards by f times the width (height); the depth range
    // stays. f is limited to kMaxZoomInFraction.
    void ZoomIn(double f);
    // Each side moves outwards by f times the width (height) before the
    // change, and near and far by f times the depth.
    void ZoomOut(double f);
    // The wheel: delta in the window system's units (120 per notch, forward
    // positive) becomes a fraction of 0.001 per unit, in single precision.
    void ZoomByWheel(int delta);
    // The rectangle between two pixels becomes the volume's x and y range;
    // an axis on which the corners coincide keeps its bounds. Nothing while
    // the window has no area.
    void ZoomToRect(int x1, int y1, int x2, int y2);
    // Moves the volume by a fraction a of its width and b of its height.
    void PanByFraction(double a, double b);
    // Moves the volume by (dx, dy) metres.
    void PanBy(double dx, double dy);
    // Moves the volume by the world distance between two pixels, from the end
    // back to the start: the image follows a drag from start to end. Nothing
    // while the window has no area.
    void PanByDrag(int x1, int y1, int x2, int y2);
    // Widens or heightens the volume to the window's aspect, never shrinking
    // it, so that both axes get the larger scale. Nothing while the window
    // has no area.
    void FitAspect();
    // Whether the volume is still the one the window starts with, as
    // FitAspect widens it to the window (on one axis, both sides alike):
    // no zoom or pan has touched it yet.
    bool HasInitialVolume() const;
    // The world x and y under pixel (px, py); z is 0.
    CVector3 PixelToWorld(double px, double py) const;

private:
    CViewport m_viewport;
    CViewVolume m_volume;
};
