#include "CViewCamera.h"

#include "geometry/Scalar.h"

#include <cmath>

namespace {

double ViewDegToRad(double degrees) {
    return degrees / 180 * kViewPi;
}

} // namespace

CViewCamera::CViewCamera() {
    SetAngles(0, 0, 0);
}

CVector3 CViewCamera::ToEye(const CVector3& p) const {
    CVector3 eye;
    eye.Transform(m_rotation, p);
    eye.Add(m_translation);
    return eye;
}

void CViewCamera::SetAngles(double ax, double ay, double az) {
    m_angle_x = ax;
    m_angle_y = ay;
    m_angle_z = az;
    m_rotation.SetRotation(ViewDegToRad(ax), ViewDegToRad(ay), ViewDegToRad(az));
}

void CViewCamera::TurnByMouse(int dx, int dy) {
    CRotationMatrix r;
    r.SetRotation(ViewDegToRad(m_angle_x), ViewDegToRad(m_angle_y), ViewDegToRad(m_angle_z));
    CVector3 e;
    e.Transform(r, CVector3(0, 0, 1));
    // The components of e are taken as angles in radians.
    m_angle_z += std::cos(e.X()) * (dx % 360);
    m_angle_x += std::cos(e.Y()) * (dy % 360);
}
