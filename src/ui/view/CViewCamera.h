// The orthographic camera: the window onto the world, turned by three angles
// (degrees) about x, y and z and shifted by a translation before it is
// projected.
#pragma once

#include "CViewWindow.h"

#include "geometry/CMatrix.h"
#include "geometry/CVector3.h"

class CViewCamera : public CViewWindow {
public:
    CViewCamera();
    ~CViewCamera() override = default;

    // R p + T: a model point in the camera's frame, R as SetAngles built it.
    virtual CVector3 ToEye(const CVector3& p) const;

    double AngleX() const { return m_angle_x; }
    double AngleY() const { return m_angle_y; }
    double AngleZ() const { return m_angle_z; }
    // Stores the angles (degrees) and rebuilds R = Rx(ax) Ry(ay) Rz(az), each
    // angle taken as angle / 180 * 3.1416 radians.
    void SetAngles(double ax, double ay, double az);
    const CRotationMatrix& Rotation() const { return m_rotation; }

    const CVector3& Translation() const { return m_translation; }
    void SetTranslation(const CVector3& t) { m_translation = t; }

    // The turn of a mouse moved by (dx, dy) pixels with the right button
    // held. e = R(angles) (0, 0, 1) for the current angles; the z angle grows
    // by cos(e.x) dx and the x angle by cos(e.y) dy, the moves taken modulo
    // 360 (truncated, so a negative move stays negative). R itself is not
    // rebuilt: only SetAngles does that.
    void TurnByMouse(int dx, int dy);

private:
    double m_angle_x = 0;
    double m_angle_y = 0;
    double m_angle_z = 0;
    CRotationMatrix m_rotation;
    CVector3 m_translation;
};
