// The righting-lever (GZ) curve of a loading condition, free to trim with its
// liquids moving, and the intact-stability criteria judged on it, by the
// exact integration rule.
//
// The condition. A lightship weight W [t] at (LCG, TCG, VCG) in ship axes,
// other deadweight items at their centres, plus every enabled tank's liquid,
// of weight load volume times specific weight (kept in kg/m^3, so / 1000
// for tonnes), as the tank keeps it or as the condition loads it.
// Displacement D = W + the items + the liquids; displaced volume V = D /
// rho.
//
// At each heel phi the ship floats at V, at the trim where the buoyancy and
// the centre of gravity lie on one vertical (the engine's trim search,
// starting from even keel). G is formed at every attitude the search tries:
// each tank's free surface lies parallel to that waterplane, at the level
// that holds the load (to 1e-10 of it), and its liquid's centre enters G
// with its weight; so the liquids' shift, the free-surface effect, is in GZ
// itself, and at the trim found G and the attitude agree (no further
// iteration). Tolerances: the displaced volume to 1e-10 V, the trimming
// lever to 1e-6 m. Each heel starts afresh, so the heels are independent
// and run on all cores, with the serial run's bits.
//
// Side. The curve runs towards the side on which G lies upright, so that a
// listing condition is judged on its weaker side: to starboard (+y down)
// when G is on the centreline or to starboard, to port when it is to port.
// Heels to port are printed negative; GZ and KN are signed so that a
// righting lever is positive on either side, and the areas and criteria
// take the heels' size.
//
// Datums (ShipDatums.h): heights from the baseline (z = baseline, by
// default 0); the perpendiculars given, or at the ends of the condition's
// upright waterline; draughts read on the ship's vertical at the midship
// station (halfway between them) and at the perpendiculars.
//
// Levers in earth axes: GZ is the horizontal distance between the vertical
// lines through B and G at the heel and its trim of equilibrium, the
// component of B - G along y' of the frame SetRotation(heel, trim, 0)
// (along x' it is 0: that is the equilibrium); KN the same about the
// baseline's point K on the centreline under G, so GZ = KN - (G - K).y'.
//
// Per heel (lengths in m, ship axes):
//   heel    [deg], positive to starboard, negative to port
//   GZ, KN  as above
//   T       draught at the midship station
//   trim    [deg], positive when the end towards +x rises (by the stern
//           when x runs forward)
//   LCG, TCG, VCG   G with the liquids as they lie at this attitude
// Summary, at the upright equilibrium (heel 0 at its trim), heights
// measured square to that waterplane from the baseline's point K under G:
//   T0, TA, TF the draughts at midship and the perpendiculars, trim0 in
//   degrees and TA - TF in metres (positive by the stern); KG the height of
//   G (liquids as they lie upright); KMt = KB + BMt; GM0solid = KMt - KG;
//   FSC = sum of rho_liquid i / D over the tanks, i the second moment of
//   the tank's free surface about its own fore-and-aft axis; GM0 =
//   GM0solid - FSC (the fluid GM, which is also the slope of the curve at
//   upright); GMl = KB + BMl - KG - FSCl (FSCl the same sum about the
//   surfaces' athwartship axes); MCT 1 cm = D GMl / (100 Lpp); the maximum
//   GZ, its heel and the angle of vanishing stability, the equilibrium heel
//   and the areas from it (IntactCriteria.h: the curve is the monotone
//   cubic through the points, refined where it is not yet the curve; every
//   heel computed is in the curve).
//
// Openings (doors, air pipes, vents: the ship's, wherever it is loaded).
// Each one's height above the upright equilibrium waterplane, square to
// it, and its immersion heel on either side: the heel at which the
// waterplane of the ship heeled there, at its trim of equilibrium (the
// search above, liquids moving), passes through it. Looked for at 5, 10,
// ..., 85 and 89 deg on each side (on one side no further than the first
// heel where no equilibrium is found), the first of these where it lies
// under water bracketing it with the one before; then found by false
// position (Illinois) to 1e-6 deg, and given as the heel just before it
// goes under. An opening under water upright immerses at 0 on both sides;
// one that does not go under by the last heel looked at has no immersion
// heel there. The down-flooding angle the areas stop at and the heels
// include: the one typed, when given; else the least immersion heel on the
// curve's side of the openings that are not weathertight (one of them
// under water upright stops the calculation); else none.
#pragma once

#include "CProgress.h"
#include "CalcProblem.h"
#include "IntactCriteria.h"
#include "StopRequest.h"

#include "ShipDatums.h"

#include "geometry/CVector3.h"
#include "model/CLoadingCondition.h"

#include <optional>
#include <string>
#include <vector>

class CShipModel;

struct CStabilityInputs {
    double lightship = 0;               // [t]
    double lcg = 0, tcg = 0, vcg = 0;   // [m], ship axes
    std::vector<CDeadweightItem> items; // other fixed weights
    CLiquidLoads tank_loads;            // one per tank; empty: as the tanks keep them
    std::vector<double> heels;          // [deg]; empty: 0 to 80 by 5
    double density = 1.025;             // of the water [t/m^3]
    std::optional<double> flooding;     // down-flooding angle [deg]
    double baseline = 0;                // z of the baseline [m]
    bool perpendiculars = false;        // ap and fp given
    double ap = 0, fp = 0;              // [m], x in ship axes
    std::vector<COpening> openings;     // where water comes in
    // The compartments as a damage case counts them (DamageStability.h),
    // one per compartment of the ship; empty: as the model has them.
    CCompartmentCounts compartments;
    // The side the heels run to: +1 starboard, -1 port; 0: the side G lies
    // on upright (below).
    int side = 0;
    // No heel from this one on is computed, whether asked or required [deg].
    double heel_limit = 90;
    // What the weather criterion takes besides the curve (WeatherCriterion.h):
    // windage not modelled by the hull, the bilge keels' total area [m^2],
    // sharp bilges. The curve itself does not use them.
    std::vector<CWindageItem> windage;
    double bilge_keel_area = 0;
    bool sharp_bilges = false;
};

struct CStabilityPoint {
    double heel = 0;    // [deg], negative to port
    double gz = 0;      // [m], righting positive
    double kn = 0;      // [m], righting positive
    double draught = 0; // [m], at the midship station
    double trim = 0;    // [deg]
    CVector3 g;         // with the liquids at this attitude
};

// One of the openings at the upright equilibrium and along the curve.
struct COpeningImmersion {
    COpening opening;
    double height = 0; // [m] above the upright waterplane, negative under it
    // The immersion heel on each side [deg, by its size]; none when it is
    // not reached.
    std::optional<double> starboard, port;
};

// Where the down-flooding angle the criteria take came from.
enum class FloodingSource { none, typed, opening };

struct CStabilitySummary {
    double displacement = 0, volume = 0; // [t], [m^3]
    CVector3 g;                          // liquids as they lie upright
    CShipDatums datums;
    double draught = 0, trim = 0;             // upright: [m] at midship, [deg]
    double draught_aft = 0, draught_fore = 0; // [m] at the perpendiculars
    int side = 1;                             // the heels: +1 to starboard, -1 to port
    double kg = 0, kmt = 0, gm_solid = 0, fsc = 0, gm0 = 0;
    double fsc_long = 0, gml = 0, mct = 0; // [m], [m], [t m/cm]
    CGzFeatures features;
    double equilibrium = 0;  // [deg], the heel the condition floats at (negative to port)
    double limit_angle = 40; // where the areas "to 40 deg" stop [deg]
    double area_30 = 0, area_limit = 0, area_30_limit = 0; // [m rad]
    std::optional<double> flooding;                        // the down-flooding angle [deg]
    FloodingSource flooding_source = FloodingSource::none;
    std::string flooding_opening; // the opening's name, when it gives the angle
};

struct CStabilityResult {
    std::vector<CStabilityPoint> curve; // every heel computed, asked or refined, increasing
    CStabilitySummary summary;
    std::vector<CIntactCriterion> criteria;
    std::vector<COpeningImmersion> openings; // as the inputs list them
};

// The condition floating at one heel, free to trim, as each point of the
// curve is found.
struct CStabilityFloat {
    // heel as asked (negative to port); GZ and KN signed as on a curve run
    // to starboard, so that a positive lever turns the ship towards port.
    CStabilityPoint point;
    double heel = 0, trim = 0; // [rad]
    // The waterplane's height in the frame SetRotation(heel, trim, 0) [m].
    double waterplane = 0;
    CVector3 b; // the centre of buoyancy, ship axes
    CVector3 flotation; // the centre of flotation, ship axes
};

// The inputs of a loading condition on ship: its lightship, items, water
// density and flooding angle, the load of every tank (LiquidLoadsOf), and
// its windage items, bilge keels and bilges for the weather criterion;
// the rest as a default CStabilityInputs. The openings are the ship's, not
// the condition's: the caller gives them (CLoadingConditions::Openings).
CStabilityInputs ConditionStabilityInputs(const CShipModel& ship,
                                          const CLoadingCondition& condition);

// The typed inputs: a lightship weight or density not above 0 (notAbove),
// an item of weight below 0 (notAtLeast "items", naming it as element),
// a centre, baseline or perpendicular that is not a number (an item's
// "items", naming it), perpendiculars
// at one station (notAbove "lpp", 0), a flooding angle or a heel outside 0 to 90
// (notBelow 90: the flooding angle above 0, the heels from 0, 90
// excluded), more than 1000 heels (tooMany), a side other than -1, 0 or 1
// (notAtMost "side").
CCalcCheck CheckStabilityInputs(const CStabilityInputs& in);
// What the ship cannot do for this condition: no hull element with
// vertices (noHull), a lightship centre of gravity or an item's centre
// ("items", naming it, other its axis "x", "y" or "z") more than 1000 times
// the hull's size off the hull (farOffHull), a tank whose values cannot be
// loaded (negativeDensity, tankOverfilled, naming it), a displacement
// beyond what the whole hull can float (sinks: the weight, the hull's
// displacement, its volume as size; the compartments counted as the
// inputs count them).
CCalcCheck CheckStabilityShip(const CShipModel& ship, const CStabilityInputs& in);
// The heels computed: those asked for (by default 0 to 80 by 5) and 0,
// 30, 40 and the flooding angle, increasing, each once, those below the
// heel limit.
std::vector<double> StabilityHeels(const CStabilityInputs& in);

// The curve, summary and criteria; the inputs and ship must pass the checks
// above. A heel where no equilibrium is found stops the calculation with
// CCalcFailure (notSettled "heels", the heel and the trim searched to; the
// first such heel, whatever the cores; "tanks" when a tank's level is not
// found upright). An opening not weathertight that lies under water
// upright, when no flooding angle is typed, stops it too (notAbove
// "openings", naming it as element, its height as value, limit 0). A
// requested stop throws CCalculationStopped within the search of a heel.
// progress, when given, counts the heels computed; the range grows with
// each batch the refinement asks for.
CStabilityResult ComputeStability(const CShipModel& ship, const CStabilityInputs& in,
                                  const CStopRequest* stop = nullptr,
                                  CProgress* progress = nullptr);

// The datums the curve of in reads its draughts by (those given, else the
// ends of the upright waterline, else the hull's ends): one float upright.
// Throws as ComputeStability does when the ship does not settle upright.
CShipDatums StabilityDatums(const CShipModel& ship, const CStabilityInputs& in,
                            const CStopRequest* stop = nullptr);
// The condition of in floating at heelDeg [deg], free to trim with its
// liquids moving, as at a point of the curve (its draught at the midship
// station of datums); what ComputeStability would throw for that heel is
// returned (notSettled "heels"). For searches over the heel: the search
// starts from the waterplane of from when given (which may be out).
CCalcCheck FloatStability(const CShipModel& ship, const CStabilityInputs& in,
                          const CShipDatums& datums, double heelDeg, CStabilityFloat& out,
                          const CStopRequest* stop = nullptr,
                          const CStabilityFloat* from = nullptr);

// The least heel to side (+1 starboard, -1 port) [deg, by its size] at
// which one of points (ship axes) goes under the waterplane of the
// condition of in heeled there at its trim of equilibrium, found as the
// openings' immersion heels are (the same scan on that side, then false
// position to 1e-6 deg): 0 when one is under water upright, none when
// none goes under by the last heel scanned or when no points are given.
// Throws as ComputeStability does when the ship does not settle upright.
std::optional<double> LeastImmersionHeel(const CShipModel& ship, const CStabilityInputs& in,
                                         const std::vector<CVector3>& points, int side,
                                         const CStopRequest* stop = nullptr);
