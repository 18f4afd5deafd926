// The severe wind and rolling criterion (weather criterion) of the IMO 2008
// Intact Stability Code, Part A, 2.3, judged on a righting-lever curve, and
// the lateral areas of the hull above and below a waterline that give its
// wind heeling lever.
//
// The Code's figure: a steady wind heels the ship by the lever
//   lw1 = P A Z / (1000 g D)   [m]
// (P the wind pressure, 504 Pa unless another is typed; A the lateral area
// above the waterline [m^2]; Z the vertical distance from the centre of A
// to the centre of the underwater lateral area [m]; D the displacement
// [t]; g = 9.81 m/s^2), to the angle theta0 where GZ first reaches lw1. The
// ship rolls from theta0 to windward by
//   theta1 = 109 k X1 X2 sqrt(r s)   [deg]
// and a gust then heels it by lw2 = 1.5 lw1. Area a lies between lw2 and
// the curve from theta0 - theta1 to the first intercept of lw2 with GZ;
// area b between the curve and lw2 from that intercept to theta2, the
// least of 50 deg, the flooding angle and the second intercept (where GZ
// falls back below lw2). The criteria: area b >= area a, and theta0 at most
// 16 deg or 80 % of the deck-edge immersion angle, whichever is less.
// Factors, each from the Code's tables (below, in one place), linearly
// interpolated between their rows and held at the end rows beyond them:
//   X1 of B/d, X2 of the block coefficient Cb, k of the bilge keels'
//   total area Ak as Ak 100 / (L B) (1 for a round-bilged ship without
//   keels, 0.7 for a ship with sharp bilges), s of the rolling period
//   T = 2 C B / sqrt(GM) [s], C = 0.373 + 0.023 (B/d) - 0.043 (L/100),
//   r = 0.73 + 0.6 OG/d, OG = KG - d (positive when G is above the
//   waterline).
// L is the waterline length, B the moulded breadth, d the mean moulded
// draught, GM corrected for free surfaces; KG and d from the baseline.
// Angles in degrees on the curve's own heels, positive to leeward; the
// areas in m rad with the heels in radians as the engine takes them.
#pragma once

#include "IntactCriteria.h"
#include "StabilityCurve.h"

#include <optional>
#include <vector>

class CMatrixBase;
class CShipModel;

struct CWeatherParticulars {
    double displacement = 0; // D [t]
    double length = 0;       // L, of the waterline [m]
    double breadth = 0;      // B [m]
    double draught = 0;      // d, mean [m]
    double block = 0;        // Cb
    double kg = 0;           // [m] above the baseline
    double gm = 0;           // corrected for free surfaces [m]
    double wind_area = 0;    // A [m^2]
    double wind_lever = 0;   // Z [m]
};

struct CWeatherOptions {
    double pressure = 504;                // P [Pa]
    std::optional<double> bilge_keel_area; // Ak, both sides [m^2]; 0: none; none: the condition's
    bool sharp_bilges = false;            // k = 0.7 (or the condition's sharp bilges)
    std::optional<double> flooding;       // [deg]
    std::optional<double> deck_edge;      // immersion angle [deg]
};

struct CWeatherResult {
    double lw1 = 0, lw2 = 0;                  // [m]
    double bilge_keel_area = 0;               // Ak taken [m^2]
    double x1 = 0, x2 = 0, k = 0;             // the Code's factors
    double c = 0, period = 0, s = 0;          // C, T [s], s
    double og = 0, r = 0;                     // OG [m], r
    double roll = 0;                          // theta1 [deg]
    double heel = 0;                          // theta0 [deg], NaN when GZ never reaches lw1
    double intercept = 0;                     // first intercept of lw2 with GZ [deg], NaN when none
    double second_intercept = 0;              // theta c [deg], NaN when GZ stays above lw2
    double limit = 0;                         // theta2 [deg]
    double area_a = 0, area_b = 0;            // [m rad]
    std::optional<double> deck_edge;          // its immersion angle, when known [deg]
    double heel_limit = 16;                   // 16, or 80 % of the deck-edge angle [deg]
    std::vector<CIntactCriterion> criteria;   // area b >= area a; theta0 (as 'heel_limit - theta0 >= 0')
};

// One of the Code's tables: rows (argument, factor) with increasing
// arguments; Factor interpolates linearly and holds the end rows beyond.
struct CCodeTableRow {
    double argument, factor;
};
struct CCodeTable {
    const char* name;
    std::vector<CCodeTableRow> rows;
    double Factor(double argument) const;
};
// Tables 2.3.4-1 (X1 of B/d), 2.3.4-2 (X2 of Cb), 2.3.4-3 (k of Ak 100 /
// (L B)) and 2.3.4-4 (s of T).
const CCodeTable& WeatherTableX1();
const CCodeTable& WeatherTableX2();
const CCodeTable& WeatherTableK();
const CCodeTable& WeatherTableS();

// The criterion on curve, whose heels must reach from theta0 - theta1 (to
// windward, negative) to theta2; NaN figures (and failing criteria) where
// the curve does not reach what the Code asks.
CWeatherResult WeatherCriterion(const CWeatherParticulars& ship, const CWeatherOptions& options,
                                const CGzCurve& curve);

// The projections on a vertical fore-and-aft plane of the enabled hull
// elements, above and below the waterplane at height d of the frame r
// (upright, at the trim of equilibrium): the sum over the faces of each
// face's projected area, halved, which is the silhouette for a hull that
// every athwartship line crosses twice (inside and out), and the height of
// its centre above the waterplane [m, negative below].
struct CLateralAreas {
    double above = 0, above_centre = 0; // [m^2], [m]
    double below = 0, below_centre = 0;
};
CLateralAreas LateralAreas(const CShipModel& ship, const CMatrixBase& r, double d);

// The deck edge: the upper edge of the hull's side, taken at stations
// every twentieth of the enabled hull elements' length, at the middle of
// each twentieth (never on the ends). At each station the hull's section
// (the faces' edges cut there) gives, on each side, its outermost point
// and, where the side is upright, the highest of the points within 1 mm of
// the outermost breadth: the corner of side and deck. With flare that is
// the deck edge itself; with tumblehome it is the widest point under it,
// which goes under water no later. A station the hull does not cross gives
// nothing. Points in ship axes, starboard (+y) then port at each station.
std::vector<CVector3> DeckEdgePoints(const CShipModel& ship);

// The criterion for a condition whose intact curve is computed: the ship's
// figures at the upright equilibrium (L and B of its waterline, d the
// draught at the midship station, Cb = V / (L B d), KG and the fluid GM0 of
// the summary), the lateral areas there (A the windage: the hull's above
// the waterline plus the inputs' windage items; Z from the centre of A to
// the underwater area's centre, both measured square to the waterplane, an
// item's centre taken at its height above the baseline on the midship
// station's vertical), the inputs' bilge keel area and sharp bilges unless
// options give them, and
// the deck-edge immersion angle (unless options give one): the least heel
// on the curve's side at which a point of DeckEdgePoints goes under water,
// the ship heeled there at its trim of equilibrium, found as the openings'
// immersion heels are (LeastImmersionHeel), and
// the curve to leeward (the intact one, on its side) joined by the curve to
// windward: the same condition's curve on the other side (to the heel of
// roll-back and 5 deg more), its heels and levers turned negative. The
// flooding angle is the one the intact criteria took. May throw as
// ComputeStability does.
struct CWeatherCalculation {
    CWeatherParticulars ship;
    CLateralAreas areas;   // the hull's
    double items_area = 0; // the windage items' [m^2]
    double items_centre = 0; // their centre above the waterplane [m]
    CGzCurve curve; // heels positive to leeward
    CWeatherResult result;
};
CWeatherCalculation ComputeWeather(const CShipModel& ship, const CStabilityInputs& in,
                                   const CStabilityResult& intact, CWeatherOptions options,
                                   const CStopRequest* stop = nullptr);
