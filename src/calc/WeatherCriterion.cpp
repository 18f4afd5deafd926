#include "WeatherCriterion.h"

#include "ShipDatums.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/CMatrixBase.h"
#include "geometry/RotationKernel.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"
#include "model/MeshFaces.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kGravity = 9.81; // [m/s^2], as the Code takes it

// The first heel in [from, to] where GZ - lever changes sign the way rising
// asks (from below to at least the lever when rising, from above to below
// it otherwise), to 1e-9 deg by bisection on the interpolant; NaN when
// there is none. The curve's own points bracket the crossing first.
double Crossing(const CGzCurve& curve, double lever, double from, double to, bool rising) {
    const auto past = [&](double heel) {
        const double g = GzAt(curve, heel);
        return rising ? g >= lever : g < lever;
    };
    if (!(from <= to))
        return kNaN;
    if (past(from))
        return from;
    double a = from;
    double b = kNaN;
    for (double h : curve.heels) {
        if (h <= from)
            continue;
        if (h >= to)
            break;
        if (past(h)) {
            b = h;
            break;
        }
        a = h;
    }
    if (std::isnan(b)) {
        if (!past(to))
            return kNaN;
        b = to;
    }
    while (b - a > 1e-9) {
        const double m = (a + b) / 2;
        (past(m) ? b : a) = m;
    }
    return b;
}

// Polygon p (n corners, in the plane's frame, z' measured from the
// waterplane) cut by z' = 0: the part on the side above (keepAbove) or
// below, into out; its corner count.
int Clip(const CVector3* p, int n, bool keepAbove, CVector3* out) {
    int m = 0;
    for (int i = 0; i < n; ++i) {
        const CVector3& a = p[i];
        const CVector3& b = p[(i + 1) % n];
        const bool inA = keepAbove ? a.Z() >= 0 : a.Z() <= 0;
        const bool inB = keepAbove ? b.Z() >= 0 : b.Z() <= 0;
        if (inA)
            out[m++] = a;
        if (inA != inB && a.Z() != b.Z()) {
            const double t = a.Z() / (a.Z() - b.Z());
            out[m++] = CVector3(a.X() + t * (b.X() - a.X()), a.Y() + t * (b.Y() - a.Y()), 0);
        }
    }
    return m;
}

// The area of polygon p projected on the x'z' plane and the first moment of
// that area about z' = 0, both of one sign (the projection's size).
void Projection(const CVector3* p, int n, double& area, double& moment) {
    double a = 0, m = 0;
    for (int i = 0; i < n; ++i) {
        const CVector3& u = p[i];
        const CVector3& v = p[(i + 1) % n];
        const double cross = u.X() * v.Z() - v.X() * u.Z();
        a += cross;
        m += (u.Z() + v.Z()) * cross;
    }
    area = std::fabs(a) / 2;
    moment = (a < 0 ? -m : m) / 6;
}

} // namespace

double CCodeTable::Factor(double argument) const {
    if (argument <= rows.front().argument)
        return rows.front().factor;
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (argument <= rows[i].argument) {
            const CCodeTableRow& a = rows[i - 1];
            const CCodeTableRow& b = rows[i];
            return a.factor + (b.factor - a.factor) * (argument - a.argument) /
                                  (b.argument - a.argument);
        }
    return rows.back().factor;
}

const CCodeTable& WeatherTableX1() {
    static const CCodeTable table{"X1 (Table 2.3.4-1, of B/d)",
                                  {{2.4, 1.00},
                                   {2.5, 0.98},
                                   {2.6, 0.96},
                                   {2.7, 0.95},
                                   {2.8, 0.93},
                                   {2.9, 0.91},
                                   {3.0, 0.90},
                                   {3.1, 0.88},
                                   {3.2, 0.86},
                                   {3.3, 0.84},
                                   {3.4, 0.82},
                                   {3.5, 0.80}}};
    return table;
}

const CCodeTable& WeatherTableX2() {
    static const CCodeTable table{"X2 (Table 2.3.4-2, of Cb)",
                                  {{0.45, 0.75},
                                   {0.50, 0.82},
                                   {0.55, 0.89},
                                   {0.60, 0.95},
                                   {0.65, 0.97},
                                   {0.70, 1.00}}};
    return table;
}

const CCodeTable& WeatherTableK() {
    static const CCodeTable table{"k (Table 2.3.4-3, of Ak 100 / (L B))",
                                  {{0.0, 1.00},
                                   {1.0, 0.98},
                                   {1.5, 0.95},
                                   {2.0, 0.88},
                                   {2.5, 0.79},
                                   {3.0, 0.74},
                                   {3.5, 0.72},
                                   {4.0, 0.70}}};
    return table;
}

const CCodeTable& WeatherTableS() {
    static const CCodeTable table{"s (Table 2.3.4-4, of T in s)",
                                  {{6, 0.100},
                                   {7, 0.098},
                                   {8, 0.093},
                                   {12, 0.065},
                                   {14, 0.053},
                                   {16, 0.044},
                                   {18, 0.038},
                                   {20, 0.035}}};
    return table;
}

CWeatherResult WeatherCriterion(const CWeatherParticulars& ship, const CWeatherOptions& options,
                                const CGzCurve& curve) {
    CWeatherResult w;
    w.lw1 = options.pressure * ship.wind_area * ship.wind_lever /
            (1000 * kGravity * ship.displacement);
    w.lw2 = 1.5 * w.lw1;
    const double bd = ship.breadth / ship.draught;
    w.x1 = WeatherTableX1().Factor(bd);
    w.x2 = WeatherTableX2().Factor(ship.block);
    w.bilge_keel_area = options.bilge_keel_area.value_or(0);
    w.k = options.sharp_bilges
              ? 0.7
              : WeatherTableK().Factor(w.bilge_keel_area * 100 / (ship.length * ship.breadth));
    w.c = 0.373 + 0.023 * bd - 0.043 * (ship.length / 100);
    w.period = ship.gm > 0 ? 2 * w.c * ship.breadth / std::sqrt(ship.gm) : kNaN;
    w.s = std::isnan(w.period) ? kNaN : WeatherTableS().Factor(w.period);
    w.og = ship.kg - ship.draught;
    w.r = 0.73 + 0.6 * w.og / ship.draught;
    w.roll = w.r * w.s >= 0 ? 109 * w.k * w.x1 * w.x2 * std::sqrt(w.r * w.s) : kNaN;

    const double first = curve.heels.empty() ? kNaN : curve.heels.front();
    const double last = curve.heels.empty() ? kNaN : curve.heels.back();
    w.heel = Crossing(curve, w.lw1, std::max(0.0, first), last, true);
    w.intercept = Crossing(curve, w.lw2, std::isnan(w.heel) ? last : w.heel, last, true);
    w.second_intercept = Crossing(curve, w.lw2, w.intercept, last, false);
    w.limit = 50;
    if (options.flooding)
        w.limit = std::min(w.limit, *options.flooding);
    if (!std::isnan(w.second_intercept))
        w.limit = std::min(w.limit, w.second_intercept);
    w.deck_edge = options.deck_edge;
    if (options.deck_edge)
        w.heel_limit = std::min(16.0, 0.8 * *options.deck_edge);

    const double start = w.heel - w.roll;
    if (std::isnan(w.intercept) || std::isnan(start) || start < first) {
        w.area_a = kNaN;
        w.area_b = kNaN;
    } else {
        w.area_a = w.lw2 * DegToRad(w.intercept - start) - GzArea(curve, start, w.intercept);
        w.area_b = w.limit > w.intercept && w.limit <= last
                       ? GzArea(curve, w.intercept, w.limit) -
                             w.lw2 * DegToRad(w.limit - w.intercept)
                       : (w.limit > last ? kNaN : 0);
    }
    w.criteria.push_back({"weather: area b >= area a", "m*rad", w.area_b, w.area_a});
    w.criteria.push_back(
        {"weather: heel under steady wind theta0", "deg", w.heel, w.heel_limit, true});
    return w;
}

CLateralAreas LateralAreas(const CShipModel& ship, const CMatrixBase& r, double d) {
    CLateralAreas out;
    const CRotationKernel kernel(r);
    double aboveMoment = 0, belowMoment = 0;
    for (int i = 1; i <= ship.HullElements().GetCount(); ++i) {
        const CShipElement& element = *ship.HullElements().GetAt(i);
        if (!element.IsEnabled())
            continue;
        meshfaces::ForEachFaceInWaterplane(
            element, kernel, d, [&](const CVector3* const* corners, int n) {
                CVector3 p[meshfaces::kMaxCorners], part[2 * meshfaces::kMaxCorners];
                for (int k = 0; k < n; ++k)
                    p[k] = *corners[k];
                double area, moment;
                Projection(part, Clip(p, n, true, part), area, moment);
                out.above += area;
                aboveMoment += moment;
                Projection(part, Clip(p, n, false, part), area, moment);
                out.below += area;
                belowMoment += moment;
            });
    }
    // Each athwartship line crosses the surface twice.
    out.above /= 2;
    out.below /= 2;
    out.above_centre = out.above > 0 ? aboveMoment / 2 / out.above : 0;
    out.below_centre = out.below > 0 ? belowMoment / 2 / out.below : 0;
    return out;
}

std::vector<CVector3> DeckEdgePoints(const CShipModel& ship) {
    std::vector<CVector3> points;
    CVector3 lo, hi;
    if (!ship.HullExtents(lo, hi))
        return points;
    constexpr int kStations = 20;
    constexpr double kSameBreadth = 1e-3; // [m]
    for (int i = 0; i < kStations; ++i) {
        const double x = lo.X() + (hi.X() - lo.X()) * (i + 0.5) / kStations;
        // The section's points on each side (0 starboard, 1 port).
        std::vector<CVector3> side[2];
        const auto take = [&](const CVector3& p) {
            if (p.Y() != 0)
                side[p.Y() > 0 ? 0 : 1].push_back(p);
        };
        for (int e = 1; e <= ship.HullElements().GetCount(); ++e) {
            const CShipElement& element = *ship.HullElements().GetAt(e);
            if (!element.IsEnabled())
                continue;
            meshfaces::ForEachFaceInShipAxes(element, [&](const CVector3* p, int n) {
                for (int k = 0; k < n; ++k) {
                    const CVector3& a = p[k];
                    const CVector3& b = p[(k + 1) % n];
                    if (a.X() == x)
                        take(a);
                    else if ((a.X() - x) * (b.X() - x) < 0) {
                        const double t = (x - a.X()) / (b.X() - a.X());
                        take(CVector3(x, a.Y() + t * (b.Y() - a.Y()), a.Z() + t * (b.Z() - a.Z())));
                    }
                }
            });
        }
        for (const std::vector<CVector3>& section : side) {
            if (section.empty())
                continue;
            double breadth = 0;
            for (const CVector3& p : section)
                breadth = std::max(breadth, std::fabs(p.Y()));
            const CVector3* edge = nullptr;
            for (const CVector3& p : section)
                if (std::fabs(p.Y()) >= breadth - kSameBreadth && (!edge || p.Z() > edge->Z()))
                    edge = &p;
            points.push_back(*edge);
        }
    }
    return points;
}

CWeatherCalculation ComputeWeather(const CShipModel& ship, const CStabilityInputs& in,
                                   const CStabilityResult& intact, CWeatherOptions options,
                                   const CStopRequest* stop) {
    CWeatherCalculation w;
    const CStabilitySummary& s = intact.summary;
    CRotationMatrix r;
    r.SetRotation(0, DegToRad(s.trim), 0);
    const double d = WaterplaneAt(r, s.draught, s.datums.Midship(), s.datums.baseline);
    CHydroProperties record;
    ship.ImmersedProperties(record, d, r, CHydroMethod::Exact());
    w.areas = LateralAreas(ship, r, d);
    CWeatherParticulars& p = w.ship;
    p.displacement = s.displacement;
    p.length = record.m_waterline_length;
    p.breadth = record.m_waterline_breadth;
    p.draught = s.draught;
    p.block = s.volume / (p.length * p.breadth * p.draught);
    p.kg = s.kg;
    p.gm = s.gm0;
    // The windage items' centres on the midship station's vertical, their
    // heights above the waterplane measured as the hull's are.
    double itemsMoment = 0;
    for (const CWindageItem& item : in.windage) {
        const double h = HeightAboveWaterplane(
            r, d, CVector3(s.datums.Midship(), 0, s.datums.baseline + item.height));
        w.items_area += item.area;
        itemsMoment += item.area * h;
    }
    w.items_centre = w.items_area > 0 ? itemsMoment / w.items_area : 0;
    p.wind_area = w.areas.above + w.items_area;
    const double centre =
        w.items_area > 0 ? (w.areas.above * w.areas.above_centre + itemsMoment) / p.wind_area
                         : w.areas.above_centre;
    p.wind_lever = centre - w.areas.below_centre;
    if (!options.bilge_keel_area)
        options.bilge_keel_area = in.bilge_keel_area;
    options.sharp_bilges = options.sharp_bilges || in.sharp_bilges;
    if (!options.flooding)
        options.flooding = s.flooding;
    if (!options.deck_edge)
        options.deck_edge = LeastImmersionHeel(ship, in, DeckEdgePoints(ship), s.side, stop);

    // To leeward, the intact curve by the size of its heels.
    for (const CStabilityPoint& point : intact.curve) {
        w.curve.heels.push_back(std::fabs(point.heel));
        w.curve.gz.push_back(point.gz);
    }
    // To windward as far as the ship rolls back, from a first reading of the
    // criterion on the leeward curve alone.
    const CWeatherResult first = WeatherCriterion(p, options, w.curve);
    const double back = std::isnan(first.heel) || std::isnan(first.roll)
                            ? 0
                            : first.roll - first.heel;
    if (back > 0) {
        CStabilityInputs windward = in;
        windward.side = s.side < 0 ? 1 : -1;
        windward.openings.clear();
        windward.flooding.reset();
        windward.heels.clear();
        for (double h = 5; h < std::min(back + 5, 85.0) + 5; h += 5)
            windward.heels.push_back(std::min(h, 85.0));
        windward.heel_limit = std::min(back + 10, 89.0);
        const CStabilityResult other = ComputeStability(ship, windward, stop);
        CGzCurve joined;
        for (auto it = other.curve.rbegin(); it != other.curve.rend(); ++it)
            if (it->heel != 0) {
                joined.heels.push_back(-std::fabs(it->heel));
                joined.gz.push_back(-it->gz);
            }
        joined.heels.insert(joined.heels.end(), w.curve.heels.begin(), w.curve.heels.end());
        joined.gz.insert(joined.gz.end(), w.curve.gz.begin(), w.curve.gz.end());
        w.curve = std::move(joined);
    }
    w.result = WeatherCriterion(p, options, w.curve);
    return w;
}
