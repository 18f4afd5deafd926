// Damage stability by lost buoyancy: a loading condition with the
// compartments of a damage case open to the sea, its equilibrium after
// damage, the GZ curve from there and the residual-stability criteria.
//
// Lost buoyancy. Each compartment the case opens counts, whether or not it
// is enabled in the model, as lost buoyancy: its space below the outside
// waterline times the case's permeability (else the model's) is taken off
// the buoyancy, whatever the direction of its faces; this replaces the
// model's own count of that compartment. The compartments the case does not
// open count as the model has them. The weight and G of the condition do not
// change: the water that comes in belongs to the sea. The searches are the
// stability curve's (StabilityCurve.h: exact rule, free to trim, the liquids
// moving), run on the ship as it is with the compartments' counts handed
// with the method (geometry/HydroMethod.h): a lost space also takes its
// share of the waterplane, and so of BM, with it.
//
// Equilibrium after damage. Heels are signed, negative to port, and a lever
// R(heel) is signed as on a curve run to starboard: positive when it turns
// the ship towards port. The ship comes to rest where R is 0 and rises
// through 0 (a heel a little further to starboard turns it back to port).
// The search starts from the intact condition's own equilibrium, found the
// same way from upright: from there it steps 5 deg at a time the way the
// lever turns the ship until R changes sign, then closes the bracket by the
// Illinois rule to 1e-6 m of lever or 1e-6 deg. At a start where R is
// already 0 a probe 0.5 deg to starboard says whether the ship rests there
// or lolls away. The ship
// - sinks when its displacement is more than the damaged ship can float
//   (its whole volume, the open spaces taken off, times the water's density);
// - capsizes when no such heel lies within +-89 deg, or the heels stepped
//   through on the way come to one where it finds no trim of equilibrium
//   (it plunges there, still heeling).
// Both are results, never figures.
//
// After damage, at the equilibrium: the draughts at the midship station and
// at the perpendiculars (the datums of the intact condition upright: the
// marks do not move with the damage), heel, trim, G and B; GM0 the upright
// fluid GM of the damaged ship (StabilityCurve.h's GM0, with the lost
// waterplane); the volume each open compartment loses; each opening's height
// above the damaged waterplane, square to it (negative: immersed). The deck
// edge is the outline of the enabled hull elements cut by the plane z =
// bulkhead deck (ship axes), the margin line the same outline 0.076 m lower;
// each is immersed when any point of it lies below the damaged waterplane,
// and "not given" without a deck height (or where the hull has no outline at
// that height).
//
// The GZ curve after damage runs towards the side of the equilibrium heel
// (with the heel 0, the side G lies on, as StabilityCurve.h): the intact
// curve's heels (0 to 80 by 5), the equilibrium heel and the heels the
// criteria end at, refined as the intact curve is; its levers are righting
// when positive on that side. Where the damaged ship finds no trim of
// equilibrium at a heel beyond the equilibrium (it plunges by an end), the
// curve is computed again short of that heel, and stops there. With e the
// size of the equilibrium heel and the curve read by its size, the criteria
// measure:
// - heel: e;
// - range: from e to the first heel beyond it where the curve comes down to
//   0 (its end: the last heel computed, when it stays positive);
// - GZmax: the largest point from e to e + span, or to the range's end
//   (span 0), the window cut at the range's end;
// - area: under the curve from e to e + span, or to the criterion's heel
//   from upright (22 or 27 deg) or the condition's flooding angle when
//   smaller, cut at the range's end; 0 when that lies at or before e;
// - openings: the openings not weathertight (through which progressive
//   flooding may take place) that lie below the damaged waterplane.
// The sets, each rule with its source and limits, are one table
// (DamageStability.cpp); a set is added there.
#pragma once

#include "CProgress.h"
#include "CalcProblem.h"
#include "StabilityCurve.h"
#include "StopRequest.h"

#include "geometry/HydroMethod.h"
#include "model/CLoadingCondition.h"
#include "platform/Message.h"

#include <optional>
#include <string>
#include <vector>

class CShipModel;

// The margin line lies this far below the bulkhead deck at side [m].
inline constexpr double kMarginLineDepth = 0.076;

// A set of criteria after damage: its key (for --criteria) and title.
struct CDamageCriteriaSet {
    const char* key;
    CMessage title;
};
// Every set, the first the default.
const std::vector<CDamageCriteriaSet>& DamageCriteriaSets();
// The set of key, or null.
const CDamageCriteriaSet* FindDamageCriteriaSet(const std::string& key);

struct CDamageInputs {
    // The intact condition (its heels are not used: the curve after damage
    // takes its own).
    CStabilityInputs condition;
    CDamageCase damage;
    std::vector<COpening> openings;
    std::string criteria = "marpol"; // a set's key
};

enum class DamageOutcome { floats, sinks, capsizes };

// A criterion after damage: value, limit and pass or fail.
struct CDamageCriterion {
    CMessage name;
    std::string source; // the rule it comes from
    std::string unit;   // "deg", "m", "m*rad", "" for a count
    double value = 0;   // NaN when it cannot be formed (it then fails)
    double limit = 0;
    bool upper = false; // the limit is the most the value may be
    // The heels the value is taken over, by their size [deg]: the range,
    // GZmax's and the area's windows (0, 0 for the others).
    double from = 0, to = 0;
    bool Passes() const { return upper ? value <= limit : value >= limit; }
    // How far inside the limit the value lies (negative: outside).
    double Margin() const { return upper ? limit - value : value - limit; }
};

// An open compartment at the equilibrium.
struct CFloodedSpace {
    std::string name;
    int index = 0;           // 1-based, in the ship's compartments
    double permeability = 0; // the case's, else the model's
    double lost_volume = 0;  // below the damaged waterplane, times the permeability [m^3]
};

struct COpeningHeight {
    COpening opening;
    double height = 0; // above the damaged waterplane, square to it [m]; negative: immersed
};

struct CDamageResult {
    std::string name; // the case's
    DamageOutcome outcome = DamageOutcome::floats;
    double displacement = 0; // [t]
    // sinks: what the damaged ship floats at most (its whole volume) [m^3]
    double capacity = 0;
    double intact_heel = 0; // where the search started [deg]

    // floats: the equilibrium after damage.
    CStabilityFloat equilibrium;              // heel, trim, waterplane, B, G, T at midship
    double draught_aft = 0, draught_fore = 0; // at the perpendiculars [m]
    CShipDatums datums;                       // the intact condition's
    // The damaged ship's curve from upright on its side, and its summary
    // (GM0 and the rest, upright).
    CStabilityResult curve;
    int side = 1;     // +1 the curve runs to starboard, -1 to port
    double range = 0; // [deg], beyond the equilibrium
    double range_end = 0;
    bool range_to_end = false; // GZ stays positive to the last heel
    // The heel at which no trim of equilibrium was found, the curve stopping
    // short of it (the ship plunging by an end); none when it runs to 80 deg.
    std::optional<double> stopped_at;
    std::vector<CFloodedSpace> spaces;
    std::vector<COpeningHeight> openings;
    // The lowest point's height above the damaged waterplane [m]; none
    // when the case gives no deck height or the hull has no outline there.
    std::optional<double> deck_edge, margin_line;
    std::vector<CDamageCriterion> criteria;
};

// The compartments' counts of case on ship. Problems: a compartment the
// ship does not have (unknownElement "compartments", naming it as element),
// a permeability of the model not within 0 to 1 (notAtMost "permeability",
// naming the compartment), a compartment whose volume is not a number
// (notANumber "compartments", naming it).
CCalcCheck DamageCounts(const CShipModel& ship, const CDamageCase& damage,
                        CCompartmentCounts& counts);

// The inputs: those of the condition (CheckStabilityInputs), the case
// (DamageCaseFault: an empty name or list, a permeability outside 0 to 1,
// notAtMost "damage"), an unknown set (unknownElement "criteria").
CCalcCheck CheckDamageInputs(const CDamageInputs& in);
// What the ship cannot do for the condition intact (CheckStabilityShip),
// and DamageCounts.
CCalcCheck CheckDamageShip(const CShipModel& ship, const CDamageInputs& in);

// The case after damage; inputs and ship must pass the checks above. A
// search that does not settle throws CCalcFailure as ComputeStability does;
// a requested stop throws CCalculationStopped. progress counts the heels of
// the curve.
CDamageResult ComputeDamage(const CShipModel& ship, const CDamageInputs& in,
                            const CStopRequest* stop = nullptr, CProgress* progress = nullptr);

// The criteria of set on a damaged ship that floats as result (its curve,
// range, openings and deck edge filled in), with the case's compartment
// count and the condition's flooding angle.
std::vector<CDamageCriterion> DamageCriteria(const std::string& set, const CDamageResult& result,
                                             std::size_t compartments,
                                             std::optional<double> flooding);
