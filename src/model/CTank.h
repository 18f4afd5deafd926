// A tank: an internal space holding a liquid load. The load is kept both as
// a volume and as the fraction of the tank it fills; the setters keep them
// consistent with the tank volume, which is computed from the meshes on
// every call.
#pragma once

#include "CShipElement.h"

class CExactProperties;

class CTank : public CShipElement {
public:
    CTank() : CShipElement(kTankColour) {}

    // Load volume x clamped to [0, V] and ratio x / V; both 0 when V = 0.
    void SetLoadVolume(double x);
    // Ratio x clamped to [0, 1] and load volume V * ratio; when V <= 0 both 0.
    void SetFillingRatio(double x);
    // Stores x, or 0 when x < 0.
    void SetSpecificWeight(double x) { m_specific_weight = x < 0 ? 0 : x; }

    double GetLoadVolume() const { return m_load_volume; }
    double GetFillingRatio() const { return m_filling_ratio; }
    double GetSpecificWeight() const { return m_specific_weight; }
    // Specific weight times load volume.
    double GetLoadWeight() const { return m_specific_weight * m_load_volume; }

    // Centre of the liquid, in ship axes, with its free surface parallel to
    // the waterplane of heel and trim (radians): the level is found to a
    // volume tolerance of 4.0. A tank with no load gives the zero vector
    // (its weight is 0, so its centre never counts).
    SearchStatus TankLiquidCentre(double heel, double trim, CVector3& centre) const;
    // The liquid by the exact rule, its free surface parallel to the
    // waterplane of heel and trim: liquid receives its sums in the frame of
    // that surface (level its height there), from which come its centre and
    // the free surface's area and moments. The level is found to a volume
    // within 1e-10 of the load. A tank filled to within 1e-9 of its volume
    // is pressed up: the level lies above it, and there is no free surface.
    // A load of 0, or above the tank's volume, gives outOfRange and empty
    // sums.
    SearchStatus ExactLiquid(double heel, double trim, CExactProperties& liquid,
                             double& level) const;

    // Specific weight, load volume and filling ratio as stored, then the
    // element body.
    void Load(CFile& file);
    void Store(CFile& file) const;

private:
    double m_load_volume = 0;
    double m_filling_ratio = 0;
    double m_specific_weight = 1.0;
};
