// The rubber-band figures of the mouse: the rectangle of the middle button's
// zoom and the line of the left button's pan. They are drawn inverting the
// pixels over the finished image, so drawing a figure twice restores the
// image and moving one never redraws the ship.
#pragma once

#include "geometry/CVector3.h"

class CDragRect {
public:
    CDragRect() = default;
    virtual ~CDragRect() = default;

    // Active, with start and end at the pixel.
    void Start(double x, double y);
    void SetEnd(double x, double y) { m_end.SetXY(x, y); }
    void Stop() { m_active = false; }
    bool IsActive() const { return m_active; }
    const CVector3& GetStart() const { return m_start; }
    const CVector3& GetEnd() const { return m_end; }

    // Inverts the pixels of the outline start -> (end.x, start.y) -> end ->
    // (start.x, end.y) -> start. The caller has set a projection of one unit
    // per pixel, y down, with row 0 at the top.
    virtual void Draw() const;

protected:
    CVector3 m_start;
    CVector3 m_end;
    bool m_active = false;
};

class CDragLine : public CDragRect {
public:
    // Inverts the pixels of the line start -> end and of a circle of radius 5
    // pixels about the end.
    void Draw() const override;
};

// OpenGL set to invert what it draws (the XOR logic operation with white,
// alpha untouched; no depth test, no lighting) for the life of the object;
// the normal copy mode comes back after it.
class CInvertingMode {
public:
    CInvertingMode();
    ~CInvertingMode();
    CInvertingMode(const CInvertingMode&) = delete;
    CInvertingMode& operator=(const CInvertingMode&) = delete;
};
