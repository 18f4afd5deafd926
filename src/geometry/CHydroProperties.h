// The hydrostatic properties of one immersed body, in the frame of the
// waterplane (x', y' in the plane, z' = 0 on it, immersed side z' <= 0):
// the sums the engine fills face by face, and the results taken from them.
// It is the one record of every calculation, whichever integration rule
// filled it (geometry/HydroMethod.h): the one-point rule leaves the
// waterline's segments, from which ComputeWaterplane integrates the
// waterplane; the exact rule fills the waterplane itself.
#pragma once

#include "CSegmentList.h"
#include "CVector3.h"

class CMatrix;

class CHydroProperties {
public:
    CHydroProperties() = default;

    // V, S and Af to 0, the moments to zero, the waterline emptied; Lwl, Bwl
    // and the collect flag stay as they are.
    void Reset();
    void SetCollect(bool collect) { m_collect = collect; }
    bool GetCollect() const { return m_collect; }
    // Adds other's sums; appends other's waterline when other collects.
    void Accumulate(const CHydroProperties& other);

    // Af, the waterplane moments, Lwl and Bwl from the waterline (nothing
    // when the waterline is empty, or when the rule integrated the
    // waterplane itself).
    void ComputeWaterplane();

    // The record's sums under the names of what they are.
    double Volume() const { return m_volume; }                           // V  [m^3]
    double WettedArea() const { return m_wetted_area; }                  // S  [m^2]
    double WaterplaneArea() const { return m_waterplane_area; }          // Af [m^2]
    double WaterplaneMomentX() const { return m_waterplane_first.Y(); }  // int x dA [m^3]
    double WaterplaneMomentY() const { return m_waterplane_first.X(); }  // int y dA [m^3]
    double WaterplaneSecondX() const { return m_waterplane_second.Y(); } // int x^2 dA [m^4]
    double WaterplaneSecondY() const { return m_waterplane_second.X(); } // int y^2 dA [m^4]
    // The waterline's extent in the waterplane frame, once the waterplane
    // is known.
    bool HasWaterline() const { return m_waterline_xmin <= m_waterline_xmax; }
    // Middle of the waterline's extent along x' (0 without a waterline).
    double WaterlineMiddle() const {
        return HasWaterline() ? (m_waterline_xmin + m_waterline_xmax) / 2 : 0;
    }
    // Centre of buoyancy in the waterplane frame (z' below the waterplane
    // is negative): M / V. Only for V != 0.
    CVector3 BuoyancyCentreInFrame() const;

    // Centre of buoyancy in ship axes: M / V in the waterplane frame, moved
    // up by the draught and turned back. Only for V != 0.
    void BuoyancyCentre(CVector3& b, double draught, double heel, double trim) const;
    // Centre of flotation in ship axes. Only for Af != 0.
    void FloatationCentre(CVector3& f, double draught, double heel, double trim) const;
    // BMt and BMl [m]: the waterplane's second moments about its own centre
    // of flotation over V. Nothing is written when V = 0; both are 0 when
    // the record neither collected its waterline nor had its waterplane
    // integrated.
    void MetacentricRadii(double& transverse, double& longitudinal, double draught, double heel,
                          double trim) const;
    // Lever of the buoyancy about the ship's origin, at the heel.
    double CrossCurveLever(double draught, double heel, double trim) const;
    // GZ: lever of the buoyancy about G, at the heel.
    double RightingLever(const CVector3& g, double draught, double heel, double trim) const;
    // Longitudinal lever of the buoyancy about G; 0 at longitudinal equilibrium.
    double TrimmingLever(const CVector3& g, double draught, double heel, double trim) const;
    // With the heel held, how the volume and TrimmingLever(g, ...) change
    // with the draught [m] and the trim [rad], g held in ship axes: from
    // the waterplane's area, first and second moments. Only for a record
    // whose rule integrated the waterplane, and V != 0.
    struct CTrimSlopes {
        double volume_draught = 0, volume_trim = 0; // dV/dT [m^2], dV/dtrim [m^3]
        double lever_draught = 0, lever_trim = 0;   // dL/dT [-], dL/dtrim [m]
    };
    CTrimSlopes TrimSlopes(const CVector3& g, double draught, double heel, double trim) const;

    double m_volume = 0;          // V
    double m_wetted_area = 0;     // S
    double m_waterplane_area = 0; // Af
    bool m_collect = true;
    CVector3 m_moments;           // (integral of x dV, y dV, z dV)
    CVector3 m_waterplane_first;  // (integral of y dA, x dA, 0)
    CVector3 m_waterplane_second; // (integral of y^2 dA, x^2 dA, 0)
    CSegmentList m_waterline;
    double m_waterline_breadth = 0; // Bwl
    double m_waterline_length = 0;  // Lwl
    // Extent of the waterline along x' and y' (min above max: none).
    double m_waterline_xmin = 1, m_waterline_xmax = 0;
    double m_waterline_ymin = 1, m_waterline_ymax = 0;
    // Set by a rule that integrates the waterplane with the volume, whose
    // waterline segments are only drawn.
    bool m_waterplane_integrated = false;
};

// The levers of a centre of buoyancy b about a centre of gravity g, both in
// ship axes: GZ at the heel, (b.y - g.y) cos(heel) + (b.z - g.z) sin(heel),
// and the trimming lever (b.x - g.x) cos(trim) - (b.z - g.z) sin(trim).
double RightingLeverOf(const CVector3& b, const CVector3& g, double heel);
double TrimmingLeverOf(const CVector3& b, const CVector3& g, double trim);

// The rotation that carries a point from the frame of the waterplane heeled
// by heel and trimmed by trim back to ship axes: the transpose of
// SetRotation(heel, trim, 0), formed as the product Ry(-trim) * Rx(-heel).
// With either angle 0 it equals SetRotation(-heel, -trim, 0) bit for bit.
void SetBackRotation(CMatrix& m, double heel, double trim);
