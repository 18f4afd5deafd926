// A tank: an internal space holding a liquid load. The load is kept both as
// a volume and as the fraction of the tank it fills; the setters keep them
// consistent with the tank volume, which is computed from the meshes on
// every call.
#pragma once

#include "CShipElement.h"
#include "geometry/HydroMethod.h"

class CHydroProperties;

class CTank : public CShipElement {
public:
    CTank() : CShipElement(kTankColour) {}

    // Load volume x clamped to [0, V] and ratio x / V; both 0 when V = 0.
    void SetLoadVolume(double x);
    // Ratio x clamped to [0, 1] and load volume V * ratio; when V <= 0 both 0.
    void SetFillingRatio(double x);
    // Stores x, or 0 when x < 0.
    void SetSpecificWeight(double x) { m_specific_weight = x < 0 ? 0 : x; }

    // The three values stored as given, none derived from another, as the
    // ship file holds them: to put back values read from this tank.
    void SetStoredLoad(double specificWeight, double loadVolume, double fillingRatio) {
        m_specific_weight = specificWeight;
        m_load_volume = loadVolume;
        m_filling_ratio = fillingRatio;
    }

    double GetLoadVolume() const { return m_load_volume; }
    double GetFillingRatio() const { return m_filling_ratio; }
    double GetSpecificWeight() const { return m_specific_weight; }
    // The liquid's density [t/m^3]: the specific weight [kg/m^3] as the
    // engine takes it.
    double GetDensity() const { return m_specific_weight * 1e-3; }
    // Density times load volume [t].
    double GetLoadWeight() const { return GetDensity() * m_load_volume; }

    // The liquid, its free surface parallel to the waterplane of heel and
    // trim (radians): liquid receives its record in the frame of that
    // surface (level its height there), from which come its centre and the
    // free surface's area and moments. By the tables' method the level is
    // found to a volume tolerance of 4.0 and a liquid that found no volume
    // gives notConverged; by the exact one to within 1e-10 of the load, a
    // tank filled to within 1e-9 of its volume is pressed up (the level
    // above it, no free surface), and a load of 0 or above the tank's
    // volume gives outOfRange and an empty record.
    SearchStatus Liquid(double heel, double trim, CHydroProperties& liquid, double& level,
                        const CHydroMethod& method = {}) const {
        return LiquidOf(m_load_volume, heel, trim, liquid, level, method);
    }
    // The same for a load of loadVolume [m^3] in place of the one stored: a
    // loading condition's, which leaves the tank as it is.
    SearchStatus LiquidOf(double loadVolume, double heel, double trim, CHydroProperties& liquid,
                          double& level, const CHydroMethod& method = {}) const;
    // Centre of the liquid, in ship axes, as Liquid finds it. A tank with no
    // load gives the zero vector (its weight is 0, so its centre never
    // counts).
    SearchStatus TankLiquidCentre(double heel, double trim, CVector3& centre,
                                  const CHydroMethod& method = {}) const;

    // Specific weight, load volume and filling ratio as stored, then the
    // element body.
    void Load(CFile& file);
    void Store(CFile& file) const;

private:
    double m_load_volume = 0;
    double m_filling_ratio = 0;
    double m_specific_weight = 1.0;
};
