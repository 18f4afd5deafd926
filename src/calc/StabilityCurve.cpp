#include "StabilityCurve.h"
#include "ParallelInOrder.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/IntegrationRules.h"
#include "geometry/Scalar.h"
#include "model/CLoading.h"
#include "model/CShipModel.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>

namespace {

inline constexpr std::size_t kMaxHeels = 1000;
// A trim search that wanders this far has lost the ship.
inline constexpr double kMaxTrimDeg = 60;

// The lightship's G this many times the hull's size off the hull is a
// typing error; much further on, its moments would overflow and every
// lever come out as no number.
inline constexpr double kFarSizes = 1000;

// G further than this off the centreline to port [m] heels the curve to
// port; rounding of a symmetric condition stays far below it.
inline constexpr double kListTolerance = 1e-9;

// The loading condition: its weights and how G follows the attitude.
class CCondition {
public:
    CCondition(const CShipModel& ship, const CStabilityInputs& in)
        : m_loading(ship, in.lightship, CVector3(in.lcg, in.tcg, in.vcg), DeadweightOf(in.items),
                    in.tank_loads, CHydroMethod::Exact()),
          m_volume(m_loading.Weight() / in.density),
          m_method(CHydroMethod::Exact().WithCounts(in.compartments.empty() ? nullptr
                                                                            : &in.compartments)),
          m_total(ship.TotalVolume(m_method)) {}
    double Weight() const { return m_loading.Weight(); }
    double Volume() const { return m_volume; }
    // The ship's whole volume by the method [m^3].
    double TotalVolume() const { return m_total; }
    // The ship's evaluations: the exact rule, the compartments as the
    // inputs count them (the inputs outlive the condition).
    const CHydroMethod& Method() const { return m_method; }

    // G with every liquid's surface parallel to the waterplane of (heel,
    // trim) [rad]; fsc, when given, receives the free surfaces' corrections.
    bool GravityAt(double heel, double trim, CVector3& g, CFreeSurface* fsc = nullptr) const {
        if (!(std::fabs(trim) <= DegToRad(kMaxTrimDeg)))
            return false;
        return m_loading.GravityAt(heel, trim, g, fsc) == SearchStatus::converged;
    }

private:
    CLoading m_loading;
    double m_volume;
    CHydroMethod m_method;
    double m_total;
};

// The floating ship at one heel: its trim, draught and immersed sums.
struct CFloating {
    double heel = 0, trim = 0, draught = 0; // [rad], [rad], [m] in the frame
    CRotationMatrix r;
    CHydroProperties p;
    CVector3 g;
};

// Where a heel's search starts: the trim of a waterplane already found and
// its centre of flotation [ship axes], about which a heel turns the
// waterplane keeping nearly its volume.
struct CSeed {
    double trim = 0;
    CVector3 flotation;
};

CSeed SeedOf(const CFloating& f) {
    CSeed seed;
    seed.trim = f.trim;
    f.p.FloatationCentre(seed.flotation, f.draught, f.heel, f.trim);
    return seed;
}

// A requested stop ends the search at its next attitude, as a failure that
// the caller, seeing the stop, does not report. Without a seed the search
// starts upright at even keel.
CCalcCheck FloatAt(const CShipModel& ship, const CCondition& c, double heelDeg, CFloating& f,
                   const CStopRequest* stop, const CSeed* seed = nullptr) {
    f.heel = DegToRad(heelDeg);
    f.trim = 0;
    f.draught = 0;
    CTrimStart start;
    if (seed) {
        CRotationMatrix r;
        r.SetRotation(f.heel, seed->trim, 0);
        const CVector3& p = seed->flotation;
        start.trim = seed->trim;
        start.draught = *r.Element(3, 1) * p.X() + *r.Element(3, 2) * p.Y() +
                        *r.Element(3, 3) * p.Z();
    }
    const double v = c.Volume();
    f.p.SetCollect(false);
    const SearchStatus s = ship.FindTrimEquilibrium(
        [&](double heel, double trim, CVector3& g) {
            return !(stop && stop->Requested()) && c.GravityAt(heel, trim, g);
        },
        v, f.heel, f.trim, f.draught, 1e-10 * v, 1e-6, c.Method(), seed ? &start : nullptr, &f.p,
        c.TotalVolume());
    if (s != SearchStatus::converged)
        return Problem(CalcRule::notSettled, "heels", heelDeg, kMaxTrimDeg);
    f.r.SetRotation(f.heel, f.trim, 0);
    c.GravityAt(f.heel, f.trim, f.g);
    return std::nullopt;
}

// Height of p above the waterplane, square to it [m].
double FrameZ(const CFloating& f, const CVector3& p) {
    return *f.r.Element(3, 1) * p.X() + *f.r.Element(3, 2) * p.Y() + *f.r.Element(3, 3) * p.Z() -
           f.draught;
}

// The horizontal athwartship distance from the vertical through g to the
// one through b, in earth axes: (b - g) along y' of the frame.
double EarthLever(const CFloating& f, const CVector3& b, const CVector3& g) {
    return *f.r.Element(2, 1) * (b.X() - g.X()) + *f.r.Element(2, 2) * (b.Y() - g.Y()) +
           *f.r.Element(2, 3) * (b.Z() - g.Z());
}

// The point of the heel heelDeg of the ship floating as f. side: +1 heels
// to starboard, -1 to port; the levers are signed so that a righting lever
// is positive on either side.
void Describe(const CFloating& f, const CShipDatums& datums, double heelDeg, int side,
              CStabilityPoint& point) {
    point.heel = side * heelDeg;
    point.trim = RadToDeg(f.trim);
    point.g = f.g;
    CVector3 b;
    f.p.BuoyancyCentre(b, f.draught, f.heel, f.trim);
    point.gz = side * EarthLever(f, b, f.g);
    point.kn = side * EarthLever(f, b, CVector3(f.g.X(), 0, datums.baseline));
    point.draught = DraughtAt(f.r, f.draught, datums.Midship(), datums.baseline);
}

// The point of the heel heelDeg, its search started from seed; found
// receives the seed its waterplane gives.
CCalcCheck ComputePoint(const CShipModel& ship, const CCondition& c, const CShipDatums& datums,
                        double heelDeg, int side, CStabilityPoint& point, const CSeed& seed,
                        CSeed& found, const CStopRequest* stop) {
    CFloating f;
    if (CCalcCheck failure = FloatAt(ship, c, side * heelDeg, f, stop, &seed))
        return failure;
    Describe(f, datums, heelDeg, side, point);
    found = SeedOf(f);
    return std::nullopt;
}

// The seed of the heel nearest heel among seeds (the lower of two as near).
const CSeed& NearestSeed(const std::map<double, CSeed>& seeds, double heel) {
    auto above = seeds.lower_bound(heel);
    if (above == seeds.end())
        return std::prev(above)->second;
    if (above == seeds.begin())
        return above->second;
    auto below = std::prev(above);
    return heel - below->first <= above->first - heel ? below->second : above->second;
}

// The condition upright at its trim, and the datums read from it.
void Upright(const CShipModel& ship, const CCondition& c, const CStabilityInputs& in, CFloating& f,
             CShipDatums& datums, const CStopRequest* stop) {
    if (CCalcCheck failure = FloatAt(ship, c, 0, f, stop)) {
        ThrowIfStopped(stop);
        throw CCalcFailure(*failure);
    }
    datums.baseline = in.baseline;
    if (in.perpendiculars) {
        datums.ap = in.ap;
        datums.fp = in.fp;
        datums.source = CShipDatums::Source::given;
    } else {
        if (!PerpendicularsAtWaterline(f.p, f.draught, f.heel, f.trim, datums))
            PerpendicularsAtHullEnds(ship, datums);
    }
    if (datums.source == CShipDatums::Source::waterline)
        datums.source_draught = DraughtAt(f.r, f.draught, datums.Midship(), datums.baseline);
}

// A batch of heels this long runs in two waves.
inline constexpr std::size_t kWaveBatch = 4;

// Where the openings are looked for under water [deg]: every 5 deg, and
// near 90, where the trim search mostly gives up.
std::vector<double> OpeningScanHeels() {
    std::vector<double> heels;
    for (int k = 1; k <= 17; ++k)
        heels.push_back(5.0 * k);
    heels.push_back(89);
    return heels;
}

// Immersion heels are found to this width [deg].
inline constexpr double kImmersionWidth = 1e-6;
// False position closes a bracket in far fewer steps; bisection after
// these many keeps the search finite whatever the heights do.
inline constexpr int kFalsePositionSteps = 40;

// The least height above the waterplane of f of the points p[0..n).
double LeastHeight(const CFloating& f, const CVector3* p, std::size_t n) {
    double least = HeightAboveWaterplane(f.r, f.draught, p[0]);
    for (std::size_t i = 1; i < n; ++i)
        least = std::min(least, HeightAboveWaterplane(f.r, f.draught, p[i]));
    return least;
}

// The heel within kImmersionWidth before the first of the points p[0..n)
// (an opening, or the deck edge's), all above water at lo (the least
// height hlo > 0) and one under it at hi (hhi <= 0), goes under with the
// ship heeled to side. Illinois: an end kept twice has its height halved,
// so that both ends close in. Each float starts from the one before, the
// first from seed.
double ImmersionHeel(const CShipModel& ship, const CCondition& c, CSeed seed, const CVector3* p,
                     std::size_t n, int side, double lo, double hlo, double hi, double hhi,
                     const CStopRequest* stop) {
    int kept = 0; // +1: lo kept last step, -1: hi kept
    for (int step = 0; hi - lo > kImmersionWidth; ++step) {
        double m = step < kFalsePositionSteps ? hi - hhi * (hi - lo) / (hhi - hlo) : std::nan("");
        if (!(m > lo && m < hi))
            m = (lo + hi) / 2;
        if (!(m > lo && m < hi))
            break;
        CFloating f;
        if (CCalcCheck failure = FloatAt(ship, c, side * m, f, stop, &seed)) {
            ThrowIfStopped(stop);
            throw CCalcFailure(*failure);
        }
        seed = SeedOf(f);
        const double h = LeastHeight(f, p, n);
        if (h > 0) {
            lo = m;
            hlo = h;
            if (kept == -1)
                hhi /= 2;
            kept = -1;
        } else {
            hi = m;
            hhi = h;
            if (kept == 1)
                hlo /= 2;
            kept = 1;
        }
    }
    return lo;
}

// The openings' heights above the upright waterplane of level and their
// immersion heels, each side's scan on all cores and then each bracket
// closed on all cores, so the bits are the serial run's. The scan's
// attitudes on the curve's side go to scanned, by the heel's size.
std::vector<COpeningImmersion> ImmerseOpenings(const CShipModel& ship, const CCondition& c,
                                               const std::vector<COpening>& openings,
                                               const CFloating& level, int curveSide,
                                               std::map<double, CFloating>& scanned,
                                               const CStopRequest* stop) {
    std::vector<COpeningImmersion> out(openings.size());
    std::vector<CVector3> at;
    for (std::size_t i = 0; i < openings.size(); ++i) {
        out[i].opening = openings[i];
        at.emplace_back(openings[i].x, openings[i].y, openings[i].z);
        out[i].height = HeightAboveWaterplane(level.r, level.draught, at[i]);
    }
    const std::vector<double> heels = OpeningScanHeels();
    const int sides[] = {1, -1};
    const std::size_t n = heels.size();
    std::vector<CFloating> floating(2 * n);
    std::vector<char> settled(2 * n, 0);
    const CSeed seed = SeedOf(level);
    ParallelInOrder(
        static_cast<int>(2 * n),
        [&](int k) {
            const auto i = static_cast<std::size_t>(k);
            settled[i] = !FloatAt(ship, c, sides[i / n] * heels[i % n], floating[i], stop, &seed);
        },
        [](int) {}, stop);
    ThrowIfStopped(stop);

    // The brackets still to close: opening, side, and the heels and heights
    // at their ends.
    struct CBracket {
        std::size_t opening;
        int side;
        double lo, hlo, hi, hhi;
    };
    std::vector<CBracket> brackets;
    for (std::size_t s = 0; s < 2; ++s) {
        std::size_t reach = 0; // the heels with an equilibrium, from the first
        while (reach < n && settled[s * n + reach])
            ++reach;
        if (sides[s] == curveSide)
            for (std::size_t k = 0; k < reach; ++k)
                scanned[heels[k]] = floating[s * n + k];
        for (std::size_t i = 0; i < openings.size(); ++i) {
            std::optional<double>& immersion = sides[s] > 0 ? out[i].starboard : out[i].port;
            if (!(out[i].height > 0)) {
                immersion = 0;
                continue;
            }
            double lo = 0, hlo = out[i].height;
            for (std::size_t k = 0; k < reach; ++k) {
                const CFloating& f = floating[s * n + k];
                const double h = HeightAboveWaterplane(f.r, f.draught, at[i]);
                if (!(h > 0)) {
                    brackets.push_back({i, sides[s], lo, hlo, heels[k], h});
                    break;
                }
                lo = heels[k];
                hlo = h;
            }
        }
    }
    std::vector<double> found(brackets.size());
    ParallelInOrder(
        static_cast<int>(brackets.size()),
        [&](int k) {
            const CBracket& b = brackets[static_cast<std::size_t>(k)];
            found[static_cast<std::size_t>(k)] =
                ImmersionHeel(ship, c, seed, &at[b.opening], 1, b.side, b.lo, b.hlo, b.hi, b.hhi,
                              stop);
        },
        [](int) {}, stop);
    ThrowIfStopped(stop);
    for (std::size_t k = 0; k < brackets.size(); ++k)
        (brackets[k].side > 0 ? out[brackets[k].opening].starboard
                              : out[brackets[k].opening].port) = found[k];
    return out;
}

// The flooding angle the criteria take: the typed one, else the least
// immersion heel on side of the openings not weathertight.
void ChooseFloodingAngle(const CStabilityInputs& in, int side, CStabilityResult& result) {
    CStabilitySummary& s = result.summary;
    if (in.flooding) {
        s.flooding = in.flooding;
        s.flooding_source = FloodingSource::typed;
        return;
    }
    for (const COpeningImmersion& o : result.openings) {
        if (o.opening.weathertight)
            continue;
        if (!(o.height > 0)) {
            CCalcProblem p = Problem(CalcRule::notAbove, "openings", o.height, 0);
            p.element = o.opening.name;
            throw CCalcFailure(p);
        }
        const std::optional<double>& heel = side > 0 ? o.starboard : o.port;
        if (heel && (!s.flooding || *heel < *s.flooding)) {
            s.flooding = heel;
            s.flooding_source = FloodingSource::opening;
            s.flooding_opening = o.opening.name;
        }
    }
}

void Summarise(const CCondition& c, const CFloating& f, const CStabilityInputs& in,
               CStabilityResult& result) {
    CStabilitySummary& s = result.summary;
    s.displacement = c.Weight();
    s.volume = c.Volume();
    CFreeSurface fsc;
    c.GravityAt(f.heel, f.trim, s.g, &fsc);
    s.fsc = fsc.transverse;
    s.fsc_long = fsc.longitudinal;
    const CShipDatums& d = s.datums;
    s.draught = DraughtAt(f.r, f.draught, d.Midship(), d.baseline);
    s.draught_aft = DraughtAt(f.r, f.draught, d.ap, d.baseline);
    s.draught_fore = DraughtAt(f.r, f.draught, d.fp, d.baseline);
    s.trim = RadToDeg(f.trim);
    double bmt = 0, bml = 0;
    f.p.MetacentricRadii(bmt, bml, f.draught, f.heel, f.trim);
    const double k = FrameZ(f, CVector3(s.g.X(), 0, d.baseline));
    const double kb = f.p.BuoyancyCentreInFrame().Z() - k;
    s.kg = FrameZ(f, s.g) - k;
    s.kmt = kb + bmt;
    s.gm_solid = s.kmt - s.kg;
    s.gm0 = s.gm_solid - s.fsc;
    s.gml = kb + bml - s.kg - s.fsc_long;
    s.mct = s.displacement * s.gml / (100 * d.Lpp());

    CGzCurve curve;
    for (const CStabilityPoint& p : result.curve) {
        curve.heels.push_back(std::fabs(p.heel));
        curve.gz.push_back(p.gz);
    }
    s.features = GzFeaturesOf(curve);
    const CGzAreas areas = GzAreasOf(curve, in.flooding);
    s.equilibrium = result.summary.side * areas.equilibrium;
    s.limit_angle = areas.limit_angle;
    s.area_30 = areas.area_30;
    s.area_limit = areas.area_limit;
    s.area_30_limit = areas.area_30_limit;
    result.criteria = IntactCriteria(curve, s.gm0, in.flooding);
}

} // namespace

CStabilityInputs ConditionStabilityInputs(const CShipModel& ship,
                                          const CLoadingCondition& condition) {
    CStabilityInputs in;
    in.lightship = condition.lightship;
    in.lcg = condition.lcg;
    in.tcg = condition.tcg;
    in.vcg = condition.vcg;
    in.items = condition.items;
    in.tank_loads = LiquidLoadsOf(ship, condition);
    in.density = condition.water_density;
    in.flooding = condition.flooding;
    in.windage = condition.windage;
    in.bilge_keel_area = condition.bilge_keel_area;
    in.sharp_bilges = condition.sharp_bilges;
    return in;
}

CCalcCheck CheckStabilityInputs(const CStabilityInputs& in) {
    if (!std::isfinite(in.lightship) || !(in.lightship > 0))
        return Problem(CalcRule::notAbove, "lightship", in.lightship);
    for (const auto& [name, value] :
         {std::pair{"lcg", in.lcg}, std::pair{"tcg", in.tcg}, std::pair{"vcg", in.vcg}})
        if (!std::isfinite(value))
            return Problem(CalcRule::notANumber, name, value);
    for (const CDeadweightItem& item : in.items) {
        CCalcProblem p;
        p.input = "items";
        p.element = item.name;
        for (double value : {item.weight, item.x, item.y, item.z})
            if (!std::isfinite(value)) {
                p.value = value;
                return p;
            }
        if (item.weight < 0) {
            p.rule = CalcRule::notAtLeast;
            p.value = item.weight;
            return p;
        }
    }
    if (!std::isfinite(in.density) || !(in.density > 0))
        return Problem(CalcRule::notAbove, "density", in.density);
    for (const auto& [name, value] :
         {std::pair{"baseline", in.baseline}, std::pair{"ap", in.ap}, std::pair{"fp", in.fp}})
        if (!std::isfinite(value))
            return Problem(CalcRule::notANumber, name, value);
    if (in.perpendiculars && in.ap == in.fp)
        return Problem(CalcRule::notAbove, "lpp", 0);
    if (in.flooding && !(*in.flooding > 0 && *in.flooding < 90))
        return Problem(CalcRule::notBelow, "flooding", *in.flooding, 90);
    if (in.side < -1 || in.side > 1)
        return Problem(CalcRule::notAtMost, "side", in.side, 1);
    if (in.heels.size() > kMaxHeels)
        return Problem(CalcRule::tooMany, "heels", static_cast<double>(in.heels.size()), kMaxHeels);
    for (double h : in.heels)
        if (!(h >= 0 && h < 90))
            return Problem(CalcRule::notBelow, "heels", h, 90);
    return std::nullopt;
}

CCalcCheck CheckStabilityShip(const CShipModel& ship, const CStabilityInputs& in) {
    CVector3 lo, hi;
    if (!ship.HullExtents(lo, hi))
        return Problem(CalcRule::noHull);
    const double size = std::max({hi.X() - lo.X(), hi.Y() - lo.Y(), hi.Z() - lo.Z()});
    const struct {
        const char* input;
        double value, lo, hi;
    } centre[] = {{"lcg", in.lcg, lo.X(), hi.X()},
                  {"tcg", in.tcg, lo.Y(), hi.Y()},
                  {"vcg", in.vcg, lo.Z(), hi.Z()}};
    const auto far = [&](double value, double from, double to) {
        return value < from - kFarSizes * size || value > to + kFarSizes * size;
    };
    for (const auto& c : centre)
        if (far(c.value, c.lo, c.hi)) {
            CCalcProblem p = Problem(CalcRule::farOffHull, c.input, c.value, kFarSizes);
            p.size = size;
            return p;
        }
    for (const CDeadweightItem& item : in.items) {
        const struct {
            const char* axis;
            double value, lo, hi;
        } at[] = {{"x", item.x, lo.X(), hi.X()},
                  {"y", item.y, lo.Y(), hi.Y()},
                  {"z", item.z, lo.Z(), hi.Z()}};
        for (const auto& c : at)
            if (far(c.value, c.lo, c.hi)) {
                CCalcProblem p = Problem(CalcRule::farOffHull, "items", c.value, kFarSizes, c.axis);
                p.element = item.name;
                p.size = size;
                return p;
            }
    }
    const CLiquidLoads loads = in.tank_loads.empty() ? StoredLiquidLoads(ship) : in.tank_loads;
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i) {
        const CTank& t = *ship.Tanks().GetAt(i);
        const CLiquidLoad& load = loads.at(static_cast<std::size_t>(i - 1));
        if (!t.IsEnabled() || load.volume == 0)
            continue;
        CCalcProblem p;
        p.element = t.GetName();
        if (!(load.specific_weight >= 0)) {
            p.rule = CalcRule::negativeDensity;
            p.value = load.specific_weight;
            return p;
        }
        const double volume = t.VolumeBy<CExactRule>();
        if (!(load.volume > 0 && load.volume <= volume * (1 + 1e-9))) {
            p.rule = CalcRule::tankOverfilled;
            p.value = load.volume;
            p.limit = volume;
            return p;
        }
    }
    const CCondition c(ship, in);
    const double total = c.TotalVolume();
    if (!(c.Volume() <= total)) {
        CCalcProblem p = Problem(CalcRule::sinks, "lightship", c.Weight(), total * in.density);
        p.size = total;
        return p;
    }
    return std::nullopt;
}

std::vector<double> StabilityHeels(const CStabilityInputs& in) {
    std::vector<double> heels = in.heels;
    if (heels.empty())
        for (int k = 0; k <= 16; ++k)
            heels.push_back(5.0 * k);
    std::vector<double> required = {0, 30, 40};
    if (in.flooding)
        required.push_back(*in.flooding);
    // A heel within 1e-9 deg of a required one is that one (0:0.1:40 gives
    // 30.000000000000004).
    for (double r : required) {
        std::erase_if(heels, [&](double h) { return std::fabs(h - r) < 1e-9; });
        heels.push_back(r);
    }
    std::sort(heels.begin(), heels.end());
    heels.erase(std::unique(heels.begin(), heels.end()), heels.end());
    std::erase_if(heels, [&](double h) { return h >= in.heel_limit; });
    return heels;
}

CStabilityResult ComputeStability(const CShipModel& ship, const CStabilityInputs& in,
                                  const CStopRequest* stop, CProgress* progress) {
    CStabilityResult result;
    const CCondition condition(ship, in);
    // The curve runs towards the side G lies on upright (starboard when on
    // the centreline): a listing condition is judged on its weaker side.
    CVector3 upright;
    if (!condition.GravityAt(0, 0, upright))
        throw CCalcFailure(Problem(CalcRule::notSettled, "tanks"));
    const int side = in.side != 0 ? in.side : upright.Y() < -kListTolerance ? -1 : 1;
    result.summary.side = side;
    // Upright first: the perpendiculars may come from its waterline.
    CFloating level;
    Upright(ship, condition, in, level, result.summary.datums, stop);
    const CShipDatums& datums = result.summary.datums;
    // The openings before the curve: they may give the flooding angle,
    // which the heels and the areas take.
    std::map<double, CFloating> scanned;
    if (!in.openings.empty())
        result.openings = ImmerseOpenings(ship, condition, in.openings, level, side, scanned, stop);
    ChooseFloodingAngle(in, side, result);
    CStabilityInputs taken = in;
    taken.flooding = result.summary.flooding;
    const std::vector<double> heels = StabilityHeels(taken);
    // The heels asked for, then those the refinement of the curve asks
    // for, each batch on all cores; the points kept by the size of the
    // heel. Upright the ship floats as already found, and at the openings'
    // scan as found there, the same bits as found anew.
    // Each heel's search starts from the waterplane of the nearest heel
    // found in the batches before, whatever the order the cores take a
    // batch in.
    std::map<double, CStabilityPoint> points;
    std::map<double, CSeed> seeds;
    Describe(level, datums, 0, side, points[0]);
    seeds[0] = SeedOf(level);
    for (const auto& [heel, f] : scanned) {
        Describe(f, datums, heel, side, points[heel]);
        seeds[heel] = SeedOf(f);
    }
    // Heels computed of those asked so far: the refinement's batches widen
    // the range as they come.
    int reported = 0;
    const CGzEvaluate evaluate = [&](const std::vector<double>& batch) {
        std::vector<double> missing;
        for (double h : batch)
            if (!points.count(h))
                missing.push_back(h);
        const int count = static_cast<int>(missing.size());
        if (progress && count > 0) {
            progress->SetRange(0, reported + count);
            progress->SetPos(reported);
        }
        // A long batch in two waves, every other heel first: the second
        // wave's searches start from the first wave's waterplanes nearby.
        std::sort(missing.begin(), missing.end());
        std::vector<double> waves[2];
        for (std::size_t i = 0; i < missing.size(); ++i)
            waves[missing.size() >= kWaveBatch ? i % 2 : 0].push_back(missing[i]);
        for (const std::vector<double>& wave : waves) {
            std::vector<CStabilityPoint> computed(wave.size());
            std::vector<CSeed> found(wave.size());
            std::vector<CCalcCheck> failures(wave.size());
            ParallelInOrder(
                static_cast<int>(wave.size()),
                [&](int k) {
                    const auto i = static_cast<std::size_t>(k);
                    failures[i] = ComputePoint(ship, condition, datums, wave[i], side,
                                               computed[i], NearestSeed(seeds, wave[i]),
                                               found[i], stop);
                },
                [&](int k) {
                    if (progress)
                        progress->SetPos(reported + k + 1);
                },
                stop);
            reported += static_cast<int>(wave.size());
            ThrowIfStopped(stop);
            for (const CCalcCheck& f : failures)
                if (f)
                    throw CCalcFailure(*f);
            for (std::size_t i = 0; i < wave.size(); ++i) {
                points[wave[i]] = computed[i];
                seeds[wave[i]] = found[i];
            }
        }
        std::vector<double> gz;
        for (double h : batch)
            gz.push_back(points.at(h).gz);
        return gz;
    };
    CGzCurve curve;
    curve.heels = heels;
    curve.gz = evaluate(heels);
    RefineGzCurve(curve, evaluate, AreaLimitAngle(taken.flooding));
    for (double h : curve.heels)
        result.curve.push_back(points.at(h));
    Summarise(condition, level, taken, result);
    ThrowIfStopped(stop);
    return result;
}

CShipDatums StabilityDatums(const CShipModel& ship, const CStabilityInputs& in,
                            const CStopRequest* stop) {
    const CCondition condition(ship, in);
    CFloating level;
    CShipDatums datums;
    Upright(ship, condition, in, level, datums, stop);
    return datums;
}

CCalcCheck FloatStability(const CShipModel& ship, const CStabilityInputs& in,
                          const CShipDatums& datums, double heelDeg, CStabilityFloat& out,
                          const CStopRequest* stop, const CStabilityFloat* from) {
    const CCondition condition(ship, in);
    CSeed seed;
    if (from) {
        seed.trim = from->trim;
        seed.flotation = from->flotation;
    }
    CFloating f;
    if (CCalcCheck failure = FloatAt(ship, condition, heelDeg, f, stop, from ? &seed : nullptr))
        return failure;
    Describe(f, datums, heelDeg, 1, out.point);
    out.heel = f.heel;
    out.trim = f.trim;
    out.waterplane = f.draught;
    f.p.BuoyancyCentre(out.b, f.draught, f.heel, f.trim);
    f.p.FloatationCentre(out.flotation, f.draught, f.heel, f.trim);
    return std::nullopt;
}

std::optional<double> LeastImmersionHeel(const CShipModel& ship, const CStabilityInputs& in,
                                         const std::vector<CVector3>& points, int side,
                                         const CStopRequest* stop) {
    if (points.empty())
        return std::nullopt;
    const CCondition condition(ship, in);
    CFloating level;
    CShipDatums datums;
    Upright(ship, condition, in, level, datums, stop);
    double lo = 0, hlo = LeastHeight(level, points.data(), points.size());
    if (!(hlo > 0))
        return 0.0;
    // The openings' scan, on one side, up to the first heel with a point
    // under water or without an equilibrium; each float starts from the
    // one before.
    CSeed seed = SeedOf(level);
    for (double heel : OpeningScanHeels()) {
        CFloating f;
        if (FloatAt(ship, condition, side * heel, f, stop, &seed)) {
            ThrowIfStopped(stop);
            return std::nullopt;
        }
        const double h = LeastHeight(f, points.data(), points.size());
        if (!(h > 0))
            return ImmersionHeel(ship, condition, seed, points.data(), points.size(), side, lo,
                                 hlo, heel, h, stop);
        seed = SeedOf(f);
        lo = heel;
        hlo = h;
    }
    return std::nullopt;
}
