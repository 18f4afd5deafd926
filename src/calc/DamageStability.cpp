// Damage stability by lost buoyancy: the compartments' counts of a case, the
// equilibrium search after damage, the curve from there, the openings and
// the deck edge, and the criteria sets' one table.
#include "DamageStability.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/IntegrationRules.h"
#include "geometry/Scalar.h"
#include "model/CLoading.h"
#include "model/CShipModel.h"
#include "platform/Message.h"

#include <algorithm>
#include <cmath>

namespace {

// What a rule measures (DamageStability.h).
enum class Measure {
    heelByDeckEdge,     // heel <= limit, other when the deck edge is not immersed
    heelByCompartments, // heel <= limit with one compartment, other with two or more
    range,              // range beyond equilibrium >= limit
    maxGz,              // GZmax from e to e + span (or the range's end) >= limit
    area,               // area from e to e + span, or to toOne / toMore from upright
    openings,           // openings immersed <= limit
};

struct CDamageRule {
    const char* set;
    Measure measure;
    const char* name;   // in English,
    const char* nameIt; // in Italian
    const char* source;
    const char* unit;
    double limit;
    double other = 0;  // the heel's second limit
    double span = 0;   // [deg] beyond equilibrium; 0: to the range's end
    double toOne = 0;  // [deg] from upright, one compartment open (area)
    double toMore = 0; // the same, two or more
};

const std::vector<CDamageCriteriaSet> kSets = {
    {"marpol",
     {"MARPOL Annex I, regulation 28 (oil tankers)", "MARPOL Annesso I, regola 28 (petroliere)"}},
    {"solas90",
     {"SOLAS 90 (passenger ships, deterministic)", "SOLAS 90 (navi passeggeri, deterministico)"}},
};

// Every rule of every set, in the order each set prints them.
const CDamageRule kRules[] = {
    {"marpol", Measure::heelByDeckEdge, "equilibrium heel", "Sbandamento di equilibrio",
     "MARPOL Annex I, reg. 28.6.2", "deg", 25, 30},
    {"marpol", Measure::range, "range of positive GZ beyond equilibrium",
     "Campo di GZ positivo oltre l'equilibrio", "MARPOL Annex I, reg. 28.6.3", "deg", 20},
    {"marpol", Measure::maxGz, "GZmax within 20 deg beyond equilibrium",
     "GZ massimo entro 20° oltre l'equilibrio", "MARPOL Annex I, reg. 28.6.3", "m", 0.1, 0, 20},
    {"marpol", Measure::area, "area within 20 deg beyond equilibrium",
     "Area entro 20° oltre l'equilibrio", "MARPOL Annex I, reg. 28.6.3", "m*rad", 0.0175, 0, 20},
    {"marpol", Measure::openings, "openings immersed (progressive flooding)",
     "Aperture immerse (allagamento progressivo)", "MARPOL Annex I, reg. 28.6.1", "", 0},
    {"solas90", Measure::heelByCompartments, "equilibrium heel", "Sbandamento di equilibrio",
     "SOLAS 90, reg. II-1/8 (final heel)", "deg", 7, 12},
    {"solas90", Measure::range, "range of positive GZ beyond equilibrium",
     "Campo di GZ positivo oltre l'equilibrio", "SOLAS 90, reg. II-1/8.2.3.1", "deg", 15},
    {"solas90", Measure::maxGz, "GZmax within the range", "GZ massimo entro il campo",
     "SOLAS 90, reg. II-1/8.2.3.3", "m", 0.1},
    {"solas90", Measure::area, "area from equilibrium to", "Area dall'equilibrio a",
     "SOLAS 90, reg. II-1/8.2.3.2", "m*rad", 0.015, 0, 0, 22, 27},
};

// The bracketing step of the equilibrium search [deg], and the heels it
// searches within (below 90, where the trim no longer moves the waterplane).
inline constexpr double kStep = 5;
inline constexpr double kMaxHeel = 89;
// A probe this far to starboard [deg] tells a ship at rest from one lolling.
inline constexpr double kProbe = 0.5;
inline constexpr double kLeverTolerance = 1e-6; // [m]
inline constexpr double kHeelTolerance = 1e-6;  // [deg]
inline constexpr int kMaxRefinements = 100;

// The lever of the condition in floating at heel [deg], its float kept.
class CLever {
public:
    CLever(const CShipModel& ship, const CStabilityInputs& in, const CShipDatums& datums,
           const CStopRequest* stop)
        : m_ship(ship), m_in(in), m_datums(datums), m_stop(stop) {}
    double operator()(double heel) {
        // Each float starts from the one before: the searches run in order.
        if (CCalcCheck failure = FloatStability(m_ship, m_in, m_datums, heel, m_last, m_stop,
                                                m_floated ? &m_last : nullptr)) {
            m_floated = false;
            ThrowIfStopped(m_stop);
            throw CCalcFailure(*failure);
        }
        m_floated = true;
        return m_last.point.gz;
    }
    const CStabilityFloat& Last() const { return m_last; }

private:
    const CShipModel& m_ship;
    const CStabilityInputs& m_in;
    const CShipDatums& m_datums;
    const CStopRequest* m_stop;
    CStabilityFloat m_last;
    bool m_floated = false; // m_last holds a float
};

// The heel where the condition comes to rest, searched from start; none
// when it capsizes.
std::optional<CStabilityFloat> RestingHeel(const CShipModel& ship, const CStabilityInputs& in,
                                           const CShipDatums& datums, double start,
                                           const CStopRequest* stop) {
    CLever lever(ship, in, datums, stop);
    double a = std::clamp(start, -kMaxHeel, kMaxHeel);
    double fa = lever(a);
    if (std::fabs(fa) <= kLeverTolerance) {
        const CStabilityFloat there = lever.Last();
        const double b = std::min(a + kProbe, kMaxHeel);
        const double fb = lever(b);
        if (fb > 0)
            return there;
        // Upright on an unstable or neutral point: the ship lolls to
        // starboard, the way the probe went.
        a = b;
        fa = fb;
    }
    // Step the way the lever turns the ship until it turns it back.
    const double direction = fa < 0 ? 1 : -1;
    double b = a, fb = fa;
    for (;;) {
        const double next = std::clamp(b + direction * kStep, -kMaxHeel, kMaxHeel);
        if (next == b)
            return std::nullopt;
        a = b;
        fa = fb;
        b = next;
        // A heel on the way with no trim of equilibrium: the ship, still
        // heeling further, plunges there before it could come to rest.
        try {
            fb = lever(b);
        } catch (const CCalcFailure& failure) {
            if (failure.Problem().rule != CalcRule::notSettled)
                throw;
            return std::nullopt;
        }
        if (std::fabs(fb) <= kLeverTolerance)
            return lever.Last();
        if (direction > 0 ? fb > 0 : fb < 0)
            break;
    }
    // lo below the rest, where the lever turns the ship to starboard; hi
    // beyond it. Illinois: when one end is kept twice running, the lever
    // at the other is halved.
    double lo = std::min(a, b), hi = std::max(a, b);
    double flo = lo == a ? fa : fb, fhi = hi == a ? fa : fb;
    int moved = 0; // the end moved last: -1 lo, +1 hi
    for (int k = 0; k < kMaxRefinements; ++k) {
        const double x = hi - fhi * (hi - lo) / (fhi - flo);
        const double fx = lever(x);
        if (std::fabs(fx) <= kLeverTolerance || !(x > lo && x < hi))
            break;
        if (fx < 0) {
            lo = x;
            flo = fx;
            if (moved == -1)
                fhi /= 2;
            moved = -1;
        } else {
            hi = x;
            fhi = fx;
            if (moved == 1)
                flo /= 2;
            moved = 1;
        }
        if (hi - lo <= kHeelTolerance)
            break;
    }
    return lever.Last();
}

// The lowest height above the waterplane (r, d) of the outline of the
// enabled hull elements cut by z = deck, lowered by drop; none when the
// hull has no outline there.
std::optional<double> LowestOfOutline(const CShipModel& ship, double deck, double drop,
                                      const CMatrixBase& r, double d) {
    CRotationMatrix upright;
    upright.SetRotation(0, 0, 0);
    CHydroProperties cut;
    cut.SetCollect(true);
    std::optional<double> lowest;
    for (int i = 1; i <= ship.HullElements().GetCount(); ++i) {
        const CShipElement& hull = *ship.HullElements().GetAt(i);
        if (!hull.IsEnabled())
            continue;
        hull.ImmersedProperties(cut, deck, upright);
        for (const CSegment& s : cut.m_waterline)
            for (const double t : {0.0, 1.0}) {
                const CVector3 p(s.Start().X() + t * s.Direction().X(),
                                 s.Start().Y() + t * s.Direction().Y(), deck - drop);
                const double h = HeightAboveWaterplane(r, d, p);
                if (!lowest || h < *lowest)
                    lowest = h;
            }
    }
    return lowest;
}

// The permeability compartment c is opened at in damage.
double PermeabilityOf(const CDamagedCompartment& open, const CCompartment& c) {
    return open.permeability ? *open.permeability : c.GetPermeability();
}

const CCompartment* FindCompartment(const CShipModel& ship, const std::string& name, int& index) {
    for (int i = 1; i <= ship.Compartments().GetCount(); ++i)
        if (ship.Compartments().GetAt(i)->GetName() == name) {
            index = i;
            return ship.Compartments().GetAt(i);
        }
    return nullptr;
}

// The curve read by the size of its heels.
CGzCurve SizeCurve(const std::vector<CStabilityPoint>& points) {
    CGzCurve curve;
    for (const CStabilityPoint& p : points) {
        curve.heels.push_back(std::fabs(p.heel));
        curve.gz.push_back(p.gz);
    }
    return curve;
}

} // namespace

const std::vector<CDamageCriteriaSet>& DamageCriteriaSets() {
    return kSets;
}

const CDamageCriteriaSet* FindDamageCriteriaSet(const std::string& key) {
    for (const CDamageCriteriaSet& s : kSets)
        if (key == s.key)
            return &s;
    return nullptr;
}

CCalcCheck DamageCounts(const CShipModel& ship, const CDamageCase& damage,
                        CCompartmentCounts& counts) {
    counts.clear();
    for (int i = 1; i <= ship.Compartments().GetCount(); ++i) {
        const CCompartment& c = *ship.Compartments().GetAt(i);
        counts.push_back({c.IsEnabled(), c.GetPermeability()});
    }
    std::vector<bool> opened(counts.size(), false);
    for (const CDamagedCompartment& open : damage.compartments) {
        int index = 0;
        const CCompartment* c = FindCompartment(ship, open.compartment, index);
        CCalcProblem p;
        p.input = "compartments";
        p.element = open.compartment;
        if (!c) {
            p.rule = CalcRule::unknownElement;
            return p;
        }
        const auto at = static_cast<std::size_t>(index - 1);
        if (opened[at]) {
            p.rule = CalcRule::listedTwice;
            return p;
        }
        opened[at] = true;
        const double mu = PermeabilityOf(open, *c);
        if (!(mu >= 0 && mu <= 1)) {
            p.rule = CalcRule::notAtMost;
            p.input = "permeability";
            p.value = mu;
            p.limit = 1;
            return p;
        }
        const double volume = c->VolumeBy<CExactRule>();
        if (!std::isfinite(volume)) {
            p.rule = CalcRule::notANumber;
            p.value = volume;
            return p;
        }
        // Lost buoyancy whichever way the faces point: an outward mesh's
        // sums are positive, an inward one's negative.
        const double sign = volume > 0 ? -1 : volume < 0 ? 1 : 0;
        counts[at] = {true, sign * mu};
    }
    return std::nullopt;
}

CCalcCheck CheckDamageInputs(const CDamageInputs& in) {
    if (CCalcCheck problem = CheckStabilityInputs(in.condition))
        return problem;
    if (in.damage.compartments.empty())
        return Problem(CalcRule::notAbove, "compartments", 0, 0);
    for (const CDamagedCompartment& open : in.damage.compartments)
        if (open.permeability && !(*open.permeability >= 0 && *open.permeability <= 1)) {
            CCalcProblem p = Problem(CalcRule::notAtMost, "permeability", *open.permeability, 1);
            p.element = open.compartment;
            return p;
        }
    if (in.damage.bulkhead_deck && !std::isfinite(*in.damage.bulkhead_deck))
        return Problem(CalcRule::notANumber, "bulkhead_deck", *in.damage.bulkhead_deck);
    for (const COpening& o : in.openings)
        for (double v : {o.x, o.y, o.z})
            if (!std::isfinite(v)) {
                CCalcProblem p = Problem(CalcRule::notANumber, "openings", v);
                p.element = o.name;
                return p;
            }
    if (!FindDamageCriteriaSet(in.criteria)) {
        CCalcProblem p = Problem(CalcRule::unknownElement, "criteria");
        p.element = in.criteria;
        return p;
    }
    return std::nullopt;
}

CCalcCheck CheckDamageShip(const CShipModel& ship, const CDamageInputs& in) {
    if (CCalcCheck problem = CheckStabilityShip(ship, in.condition))
        return problem;
    CCompartmentCounts counts;
    return DamageCounts(ship, in.damage, counts);
}

CDamageResult ComputeDamage(const CShipModel& ship, const CDamageInputs& in,
                            const CStopRequest* stop, CProgress* progress) {
    CDamageResult result;
    result.name = in.damage.name;
    CStabilityInputs intact = in.condition;
    intact.heels.clear();
    intact.compartments.clear();
    intact.side = 0;
    CStabilityInputs damaged = intact;
    if (CCalcCheck problem = DamageCounts(ship, in.damage, damaged.compartments))
        throw CCalcFailure(*problem);

    // The marks are the intact ship's: the datums of the condition
    // upright, intact, given to the damaged ship as its own.
    result.datums = StabilityDatums(ship, intact, stop);
    const CShipDatums& datums = result.datums;
    damaged.perpendiculars = true;
    damaged.ap = datums.ap;
    damaged.fp = datums.fp;
    damaged.baseline = datums.baseline;

    if (CCalcCheck sinks = CheckStabilityShip(ship, damaged)) {
        if (sinks->rule != CalcRule::sinks)
            throw CCalcFailure(*sinks);
        result.outcome = DamageOutcome::sinks;
        result.displacement = sinks->value;
        result.capacity = sinks->size;
        return result;
    }

    const std::optional<CStabilityFloat> intactRest = RestingHeel(ship, intact, datums, 0, stop);
    result.intact_heel = intactRest ? intactRest->point.heel : 0;
    const std::optional<CStabilityFloat> rest =
        RestingHeel(ship, damaged, datums, result.intact_heel, stop);
    if (!rest) {
        result.outcome = DamageOutcome::capsizes;
        result.displacement =
            CLoading(ship, in.condition.lightship,
                     CVector3(in.condition.lcg, in.condition.tcg, in.condition.vcg),
                     DeadweightOf(in.condition.items), in.condition.tank_loads)
                .Weight();
        return result;
    }
    result.equilibrium = *rest;
    const CStabilityFloat& e = result.equilibrium;
    CRotationMatrix r;
    r.SetRotation(e.heel, e.trim, 0);
    result.draught_aft = DraughtAt(r, e.waterplane, datums.ap, datums.baseline);
    result.draught_fore = DraughtAt(r, e.waterplane, datums.fp, datums.baseline);

    // The curve on the side the ship rests towards, with the heels the
    // criteria end at.
    const double heel = std::fabs(e.point.heel);
    damaged.side = e.point.heel > 0 ? 1 : e.point.heel < 0 ? -1 : 0;
    for (int k = 0; k <= 16; ++k)
        damaged.heels.push_back(5.0 * k);
    damaged.heels.push_back(heel);
    for (const CDamageRule& rule : kRules)
        if (rule.set == in.criteria)
            for (double h : {rule.span > 0 ? heel + rule.span : 0.0, rule.toOne, rule.toMore})
                if (h > 0 && h < 90)
                    damaged.heels.push_back(h);
    std::sort(damaged.heels.begin(), damaged.heels.end());
    damaged.heels.erase(std::unique(damaged.heels.begin(), damaged.heels.end()),
                        damaged.heels.end());
    // Where the damaged ship finds no trim of equilibrium at a heel (it
    // plunges by an end), the curve stops short of that heel.
    for (;;) {
        try {
            result.curve = ComputeStability(ship, damaged, stop, progress);
            break;
        } catch (const CCalcFailure& failure) {
            const CCalcProblem& p = failure.Problem();
            const double at = std::fabs(p.value);
            if (p.rule != CalcRule::notSettled || p.input != "heels" || !(at > heel))
                throw;
            if (!(at < damaged.heel_limit))
                throw;
            result.stopped_at = at;
            damaged.heel_limit = at;
        }
    }
    result.curve.summary.datums = datums;
    result.side = result.curve.summary.side;
    result.displacement = result.curve.summary.displacement;

    const CGzCurve curve = SizeCurve(result.curve.curve);
    const double zero = GzZeroAfter(curve, heel);
    result.range_to_end = std::isnan(zero);
    result.range_end = result.range_to_end ? curve.heels.back() : zero;
    result.range = result.range_end - heel;

    for (const CDamagedCompartment& open : in.damage.compartments) {
        int index = 0;
        const CCompartment& c = *FindCompartment(ship, open.compartment, index);
        CFloodedSpace space;
        space.name = c.GetName();
        space.index = index;
        space.permeability = PermeabilityOf(open, c);
        space.lost_volume =
            std::fabs(c.ImmersedVolumeBy<CExactRule>(r, e.waterplane)) * space.permeability;
        result.spaces.push_back(space);
    }
    for (const COpening& o : in.openings)
        result.openings.push_back(
            {o, HeightAboveWaterplane(r, e.waterplane, CVector3(o.x, o.y, o.z))});
    if (in.damage.bulkhead_deck) {
        result.deck_edge = LowestOfOutline(ship, *in.damage.bulkhead_deck, 0, r, e.waterplane);
        result.margin_line =
            LowestOfOutline(ship, *in.damage.bulkhead_deck, kMarginLineDepth, r, e.waterplane);
    }
    result.criteria =
        DamageCriteria(in.criteria, result, in.damage.compartments.size(), in.condition.flooding);
    return result;
}

std::vector<CDamageCriterion> DamageCriteria(const std::string& set, const CDamageResult& r,
                                             std::size_t compartments,
                                             std::optional<double> flooding) {
    const CGzCurve curve = SizeCurve(r.curve.curve);
    const double e = std::fabs(r.equilibrium.point.heel);
    const auto within = [&](double to) { return std::min(to, r.range_end); };
    std::vector<CDamageCriterion> out;
    for (const CDamageRule& rule : kRules) {
        if (rule.set != set)
            continue;
        CDamageCriterion c;
        c.name = {rule.name, rule.nameIt};
        c.source = rule.source;
        c.unit = rule.unit;
        c.limit = rule.limit;
        switch (rule.measure) {
        case Measure::heelByDeckEdge:
            c.upper = true;
            c.value = e;
            if (!r.deck_edge)
                c.name += {" (deck edge not given)", " (bordo del ponte non dato)"};
            else if (*r.deck_edge < 0)
                c.name += {" (deck edge immersed)", " (bordo del ponte immerso)"};
            else {
                c.name += {" (deck edge not immersed)", " (bordo del ponte non immerso)"};
                c.limit = rule.other;
            }
            break;
        case Measure::heelByCompartments:
            c.upper = true;
            c.value = e;
            if (compartments > 1) {
                c.name += {" (two or more compartments)", " (due o più compartimenti)"};
                c.limit = rule.other;
            } else {
                c.name += {" (one compartment)", " (un compartimento)"};
            }
            break;
        case Measure::range:
            c.value = r.range;
            c.from = e;
            c.to = r.range_end;
            break;
        case Measure::maxGz: {
            const double to = within(rule.span > 0 ? e + rule.span : r.range_end);
            double best = GzAt(curve, to);
            for (std::size_t k = 0; k < curve.heels.size(); ++k)
                if (curve.heels[k] >= e && curve.heels[k] <= to && !(best >= curve.gz[k]))
                    best = curve.gz[k];
            c.value = best;
            c.from = e;
            c.to = to;
            break;
        }
        case Measure::area: {
            double to = rule.span > 0 ? e + rule.span : compartments > 1 ? rule.toMore : rule.toOne;
            if (rule.span <= 0) {
                const bool flooded = flooding && *flooding < to;
                if (flooded)
                    to = *flooding;
                c.name += flooded ? BRELUND_SAY(" %g deg (flooding)", " %g° (allagamento)", to)
                                  : BRELUND_SAY(" %g deg", " %g°", to);
            }
            to = within(to);
            c.value = to > e ? GzArea(curve, e, to) : 0.0;
            c.from = e;
            c.to = std::max(to, e);
            break;
        }
        case Measure::openings: {
            c.upper = true;
            int immersed = 0;
            for (const COpeningHeight& o : r.openings)
                if (!o.opening.weathertight && o.height < 0)
                    ++immersed;
            c.value = immersed;
            break;
        }
        }
        out.push_back(c);
    }
    return out;
}
