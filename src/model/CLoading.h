// The weights of a loaded ship and where their centre lies at any attitude:
// a fixed weight at a fixed centre (the lightship, or everything but the
// liquids) and the liquid of every enabled tank with a load, whose centre
// moves with the attitude. The one centre of gravity of every calculation.
#pragma once

#include "SearchStatus.h"
#include "geometry/CVector3.h"
#include "geometry/HydroMethod.h"

#include <vector>

class CHydroProperties;
class CShipModel;
class CTank;

// The free surfaces' corrections to GM [m]: sum of rho_i i_i / D, i_i the
// second moment of tank i's surface about its own axis along x'
// (transverse) or along y' (longitudinal).
struct CFreeSurface {
    double transverse = 0, longitudinal = 0;
};

// The second moments [m^4] of the free surface of a liquid whose record is
// liquid (the waterplane of its frame): about the surface's own axis along
// x' (transverse) and along y' (longitudinal), from its area and first and
// second moments; both 0 when it has no surface. The waterplane is formed
// first, for a record the one-point rule left as a waterline.
void FreeSurfaceInertia(CHydroProperties& liquid, double& transverse, double& longitudinal);

// A tank's liquid as a loading condition takes it: the two values a tank
// keeps, its load volume [m^3] and specific weight [kg/m^3], so that a load
// given here weighs, bit for bit, what the same load stored with the tank
// weighs.
struct CLiquidLoad {
    double volume = 0;
    double specific_weight = 0;

    // [t/m^3], as CTank::GetDensity.
    double Density() const { return specific_weight * 1e-3; }
    // [t], as CTank::GetLoadWeight.
    double Weight() const { return Density() * volume; }
};
// One load per tank of a ship, in the order of its tanks.
using CLiquidLoads = std::vector<CLiquidLoad>;
// The loads the tanks of ship keep.
CLiquidLoads StoredLiquidLoads(const CShipModel& ship);

// A fixed weight [t] at its centre, ship axes.
struct CPointWeight {
    double weight = 0;
    CVector3 centre;
};

class CLoading {
public:
    // weight [t] at centre, plus the ship's tank loads; the liquids found
    // by the method.
    CLoading(const CShipModel& ship, double weight, const CVector3& centre,
             const CHydroMethod& method = {});
    // The same with the fixed weights others added to weight at centre, and
    // the tanks loaded as liquids says (one per tank of the ship; empty:
    // as stored) instead of as they keep it: the ship is not changed.
    CLoading(const CShipModel& ship, double weight, const CVector3& centre,
             const std::vector<CPointWeight>& others, const CLiquidLoads& liquids,
             const CHydroMethod& method = {});

    // The whole weight [t].
    double Weight() const { return m_weight; }

    // G with every liquid's surface parallel to the waterplane of heel and
    // trim [rad]: (W g + sum of w_i c_i) / (W + sum of w_i). A liquid that
    // is not found (by the exact method, not found exactly) gives
    // notConverged. fsc, when given, receives the free surfaces'
    // corrections for that attitude.
    SearchStatus GravityAt(double heel, double trim, CVector3& g,
                           CFreeSurface* fsc = nullptr) const;

private:
    struct CLiquid {
        const CTank* tank;
        double weight;  // [t]
        double volume;  // [m^3]
        double density; // [t/m^3]
    };
    CHydroMethod m_method;
    CVector3 m_moment; // of the fixed weight [t m]
    double m_weight = 0;
    std::vector<CLiquid> m_liquids;
};
