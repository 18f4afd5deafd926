// The ship's hydrostatics: sums over the element lists by the method's rule
// and compartment policy, and the draught, trim and submerged-trim
// searches.
#include "CLoading.h"
#include "CShipModel.h"
#include "FalsePosition.h"
#include "TrimSearch.h"
#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/IntegrationRules.h"
#include "geometry/Scalar.h"

#include <cmath>

namespace {

// Runs fn with the method's rule as a type, so that the face loops below
// it are compiled for each rule and never branch on it.
template <class Fn> decltype(auto) WithRule(const CHydroMethod& method, Fn&& fn) {
    if (method.IsExact())
        return fn(CExactRule{});
    return fn(COnePointRule{});
}

// Whether compartment i (1-based) of the ship counts, and its factor: as
// counts has it where given, else as the model has it (enabled, at its
// permeability). Once per compartment and evaluation, outside the face
// loops.
bool Counted(const CCompartmentCounts* counts, int i, const CCompartment& c, double& factor) {
    if (counts && static_cast<std::size_t>(i) <= counts->size()) {
        const CCompartmentCount& n = (*counts)[static_cast<std::size_t>(i - 1)];
        factor = n.factor;
        return n.counted;
    }
    factor = c.GetPermeability();
    return c.IsEnabled();
}

} // namespace

template <class Rule> double CShipModel::TotalVolumeBy(const CCompartmentCounts* counts) const {
    double volume = 0;
    for (int i = 1; i <= m_hull.GetCount(); ++i)
        if (m_hull.GetAt(i)->IsEnabled())
            volume += m_hull.GetAt(i)->VolumeBy<Rule>();
    double k = 0;
    for (int i = 1; i <= m_compartments.GetCount(); ++i)
        if (const CCompartment& c = *m_compartments.GetAt(i); Counted(counts, i, c, k))
            volume += c.VolumeBy<Rule>() * k;
    return volume;
}

double CShipModel::TotalVolume(const CHydroMethod& method) const {
    return WithRule(method,
                    [&](auto rule) { return TotalVolumeBy<decltype(rule)>(method.counts); });
}

thread_local long long CShipModel::s_evaluations = 0;

template <class Rule>
double CShipModel::ImmersedVolumeBy(const CMatrixBase& r, double draught,
                                    const CCompartmentCounts* counts) const {
    ++s_evaluations;
    double volume = 0;
    for (int i = 1; i <= m_hull.GetCount(); ++i)
        if (m_hull.GetAt(i)->IsEnabled())
            volume += m_hull.GetAt(i)->ImmersedVolumeBy<Rule>(r, draught);
    double k = 0;
    for (int i = 1; i <= m_compartments.GetCount(); ++i)
        if (const CCompartment& c = *m_compartments.GetAt(i); Counted(counts, i, c, k))
            volume += c.ImmersedVolumeBy<Rule>(r, draught) * k;
    return volume;
}

double CShipModel::ImmersedVolume(const CMatrixBase& r, double draught,
                                  const CHydroMethod& method) const {
    return WithRule(method, [&](auto rule) {
        return ImmersedVolumeBy<decltype(rule)>(r, draught, method.counts);
    });
}

bool CShipModel::ZRange(const CMatrixBase& r, double& zmin, double& zmax) const {
    bool any = false;
    for (int i = 1; i <= m_hull.GetCount(); ++i) {
        double lo, hi;
        if (!m_hull.GetAt(i)->ZRange(r, lo, hi))
            continue;
        if (!any || lo < zmin)
            zmin = lo;
        if (!any || hi > zmax)
            zmax = hi;
        any = true;
    }
    return any;
}

namespace {

// Newton's steps end after this many evaluations, and a step turns the
// ship by no more than this much [rad] (longer ones are shortened, their
// direction kept).
inline constexpr int kNewtonEvaluations = 12;
inline constexpr double kNewtonTrimStep = 0.0872664625997165; // 5 deg
// Each step must shrink the misfit (the volume's over the waterplane area,
// plus the lever's) to this share of the one before.
inline constexpr double kNewtonShrink = 0.5;
inline constexpr double kNewtonTrimRounding = 0.01;
// The sums over the panels round the volume by more than 1e-10 of it on
// some ships (the Wigley sample: by about 1e-6 m^3 of its 2094 m^3): a
// volume within a layer kNewtonLayer thick [m] over the waterplane is met,
// and where a step no longer shrinks the misfit, one within
// kNewtonStalledLayer.
inline constexpr double kNewtonLayer = 1e-9;
inline constexpr double kNewtonStalledLayer = 1e-8;

// Newton's steps on the draught by the exact rule, the volume's slope the
// waterplane area, inside the draughts that bracket the volume: converged
// with the draught; notConverged, draught untouched, when a step leaves
// the bracket or does not halve the misfit, or the steps run out.
SearchStatus NewtonDraught(const CShipModel& ship, double volume, const CMatrixBase& r,
                           double& draught, double tolerance, double totalVolume,
                           const CHydroMethod& method) {
    double lo = 0, hi = 0;
    if (!(volume > 0 && volume <= totalVolume) || !ship.ZRange(r, lo, hi))
        return SearchStatus::notConverged;
    double d = draught > lo && draught < hi ? draught : lo + (hi - lo) / totalVolume * volume;
    thread_local CHydroProperties p;
    p.SetCollect(false);
    double misfit = 0;
    for (int evaluation = 0; evaluation < kNewtonEvaluations; ++evaluation) {
        ship.ImmersedProperties(p, d, r, method);
        const double dv = p.Volume() - volume, area = p.WaterplaneArea();
        if (!std::isfinite(dv))
            return SearchStatus::notConverged;
        if (std::fabs(dv) <= tolerance) {
            draught = d;
            return SearchStatus::converged;
        }
        if (evaluation > 0 && !(std::fabs(dv) <= kNewtonShrink * misfit))
            return SearchStatus::notConverged;
        misfit = std::fabs(dv);
        (dv < 0 ? lo : hi) = d;
        const double next = d - dv / area;
        if (!(area > 0) || !(next > lo && next < hi))
            return SearchStatus::notConverged;
        d = next;
    }
    return SearchStatus::notConverged;
}

} // namespace

template <class Rule>
SearchStatus CShipModel::FindDraughtBy(double volume, const CMatrixBase& r, double& draught,
                                       double tolerance, double totalVolume,
                                       const CCompartmentCounts* counts) const {
    double zmin = 0, zmax = 0;
    ZRange(r, zmin, zmax);
    return FalsePositionLevel(volume, zmin, zmax, totalVolume, draught, tolerance,
                              [&](double t) { return ImmersedVolumeBy<Rule>(r, t, counts); });
}

SearchStatus CShipModel::FindDraught(double volume, const CMatrixBase& r, double& draught,
                                     double tolerance, const CHydroMethod& method) const {
    return FindDraught(volume, r, draught, tolerance, TotalVolume(method), method);
}

SearchStatus CShipModel::FindDraught(double volume, const CMatrixBase& r, double& draught,
                                     double tolerance, double totalVolume,
                                     const CHydroMethod& method) const {
    if (method.IsExact() && NewtonDraught(*this, volume, r, draught, tolerance, totalVolume,
                                          method) == SearchStatus::converged)
        return SearchStatus::converged;
    return WithRule(method, [&](auto rule) {
        return FindDraughtBy<decltype(rule)>(volume, r, draught, tolerance, totalVolume,
                                             method.counts);
    });
}

void CShipModel::VolumeCentroid(double& area, double& volume, CVector3& centroid,
                                const CHydroMethod& method) const {
    area = 0;
    volume = 0;
    centroid.Zero();
    if (method.IsExact()) {
        // Closed forms over every panel in ship axes: the enclosed volume
        // and its moments, each compartment's scaled by its permeability.
        CExactSums sums, part;
        auto add = [&](const CShipElement& e, double scale) {
            part.Reset();
            e.EnclosedSums(part);
            sums.Accumulate(part, scale, scale, true);
        };
        for (int i = 1; i <= m_hull.GetCount(); ++i)
            if (m_hull.GetAt(i)->IsEnabled())
                add(*m_hull.GetAt(i), 1);
        double k = 0;
        for (int i = 1; i <= m_compartments.GetCount(); ++i)
            if (const CCompartment& c = *m_compartments.GetAt(i); Counted(method.counts, i, c, k))
                add(c, k);
        CHydroProperties whole;
        sums.Finish(whole);
        area = whole.m_wetted_area;
        volume = whole.m_volume;
        if (volume != 0)
            centroid = whole.BuoyancyCentreInFrame();
        return;
    }
    CVector3 sum;
    auto add = [&](const CShipElement& e) {
        double a, v;
        CVector3 c;
        e.VolumeProperties(a, v, c);
        area += a;
        volume += v;
        c.Scale(v);
        sum.Add(c);
    };
    for (int i = 1; i <= m_hull.GetCount(); ++i)
        if (m_hull.GetAt(i)->IsEnabled())
            add(*m_hull.GetAt(i));
    double k = 0;
    for (int i = 1; i <= m_compartments.GetCount(); ++i)
        if (Counted(method.counts, i, *m_compartments.GetAt(i), k))
            add(*m_compartments.GetAt(i));
    if (volume != 0) {
        centroid = sum;
        centroid.Divide(volume);
    }
}

void CShipModel::ImmersedProperties(CHydroProperties& result, double draught, const CMatrixBase& r,
                                    const CHydroMethod& method) const {
    ++s_evaluations;
    result.Reset();
    if (method.IsExact()) {
        // Each element's sums are taken whole, then added: the hull's as
        // they are, a compartment's by the policy. The waterline's pieces
        // go straight to the record, to be drawn.
        CExactSums sums, part;
        part.CollectWaterline(result.m_collect ? &result.m_waterline : nullptr);
        const bool allSums = method.compartments == CompartmentPolicy::allSums;
        for (int i = 1; i <= m_hull.GetCount(); ++i)
            if (m_hull.GetAt(i)->IsEnabled()) {
                part.Reset();
                m_hull.GetAt(i)->ImmersedSums<CExactRule>(part, draught, r);
                sums.Accumulate(part, 1, 1, true);
            }
        double k = 0;
        for (int i = 1; i <= m_compartments.GetCount(); ++i)
            if (const CCompartment& c = *m_compartments.GetAt(i); Counted(method.counts, i, c, k)) {
                part.Reset();
                c.ImmersedSums<CExactRule>(part, draught, r);
                if (allSums)
                    sums.Accumulate(part, k, k, false);
                else
                    sums.Accumulate(part, k, 1, true);
            }
        sums.Finish(result);
        return;
    }
    // The tables' sums: a compartment's volume alone is scaled.
    thread_local CHydroProperties part;
    part.SetCollect(true);
    for (int i = 1; i <= m_hull.GetCount(); ++i)
        if (m_hull.GetAt(i)->IsEnabled()) {
            m_hull.GetAt(i)->ImmersedProperties(part, draught, r);
            result.Accumulate(part);
        }
    double k = 0;
    for (int i = 1; i <= m_compartments.GetCount(); ++i)
        if (const CCompartment& c = *m_compartments.GetAt(i); Counted(method.counts, i, c, k)) {
            c.ImmersedProperties(part, draught, r);
            part.m_volume *= k;
            result.Accumulate(part);
        }
}

double CShipModel::TankLoadWeight() const {
    double weight = 0;
    for (int i = 1; i <= m_tanks.GetCount(); ++i)
        if (m_tanks.GetAt(i)->IsEnabled())
            weight += m_tanks.GetAt(i)->GetLoadWeight();
    return weight;
}

SearchStatus CShipModel::CentreOfGravity(CVector3& g, double weight, double heel, double trim,
                                         const CHydroMethod& method) const {
    const CLoading loading(*this, weight, g, method);
    return loading.GravityAt(heel, trim, g);
}

SearchStatus CShipModel::FindTrimEquilibrium(const CVector3& g0, double volume, double heel,
                                             double& trim, double& draught, double volumeTolerance,
                                             double leverTolerance,
                                             const CHydroMethod& method) const {
    const CLoading loading(*this, volume * GetSeaDensity() - TankLoadWeight(), g0, method);
    return FindTrimEquilibrium(
        [&](double h, double t, CVector3& g) {
            return loading.GravityAt(h, t, g) != SearchStatus::notConverged;
        },
        volume, heel, trim, draught, volumeTolerance, leverTolerance, method);
}

namespace {

// Newton's steps on (draught, trim) at the heel: the volume's and the
// lever's slopes from the waterplane (CHydroProperties::TrimSlopes), G's
// movement with the trim (liquids) left to the next step. converged with
// record holding the sums at (trim, draught); notConverged, trim and
// draught untouched, when a step leaves the body, fails to shrink the
// misfit, meets no number or no G, or the steps run out.
SearchStatus NewtonTrimEquilibrium(const CShipModel& ship, const CCentreOfGravityAt& gravity,
                                   double volume, double heel, double& trim, double& draught,
                                   double volumeTolerance, double leverTolerance,
                                   double totalVolume, const CHydroMethod& method,
                                   CHydroProperties& record) {
    double t = trim, d = draught, misfit = 0;
    CRotationMatrix r;
    for (int evaluation = 0; evaluation < kNewtonEvaluations; ++evaluation) {
        r.SetRotation(heel, t, 0);
        ship.ImmersedProperties(record, d, r, method);
        if (evaluation == 0 && !(record.Volume() > 0 && record.Volume() < totalVolume)) {
            // A start outside the body: its share of the depth, as the
            // level search's first guess.
            double zmin = 0, zmax = 0;
            if (!ship.ZRange(r, zmin, zmax) || !(totalVolume > 0))
                return SearchStatus::notConverged;
            d = zmin + (zmax - zmin) / totalVolume * volume;
            ship.ImmersedProperties(record, d, r, method);
        }
        const double v = record.Volume(), area = record.WaterplaneArea();
        CVector3 g;
        if (!(v > 0 && area > 0) || !gravity(heel, t, g))
            return SearchStatus::notConverged;
        const double dv = v - volume, lever = record.TrimmingLever(g, d, heel, t);
        if (!std::isfinite(dv) || !std::isfinite(lever))
            return SearchStatus::notConverged;
        const double m = std::fabs(dv) / area + std::fabs(lever);
        // Met; or met but for the volume's rounding, which a step stops
        // shrinking.
        const bool stalled = evaluation > 0 && !(m <= kNewtonShrink * misfit);
        const double layer = area * (stalled ? kNewtonStalledLayer : kNewtonLayer);
        if (std::fabs(lever) <= leverTolerance &&
            (std::fabs(dv) <= volumeTolerance || std::fabs(dv) <= layer)) {
            trim = t;
            draught = d;
            return SearchStatus::converged;
        }
        if (stalled)
            return SearchStatus::notConverged;
        misfit = m;
        const CHydroProperties::CTrimSlopes s = record.TrimSlopes(g, d, heel, t);
        const double det = s.volume_draught * s.lever_trim - s.volume_trim * s.lever_draught;
        double stepD = (s.volume_trim * lever - s.lever_trim * dv) / det;
        double stepT = (s.lever_draught * dv - s.volume_draught * lever) / det;
        if (!std::isfinite(stepD) || !std::isfinite(stepT))
            return SearchStatus::notConverged;
        // A turn that moves the lever by a hundredth of its tolerance is
        // rounding: a trim that holds already (a symmetric ship at even
        // keel) is kept to the bit.
        if (std::fabs(stepT * s.lever_trim) <= kNewtonTrimRounding * leverTolerance)
            stepT = 0;
        if (std::fabs(stepT) > kNewtonTrimStep) {
            const double k = kNewtonTrimStep / std::fabs(stepT);
            stepD *= k;
            stepT *= k;
        }
        d += stepD;
        t += stepT;
    }
    return SearchStatus::notConverged;
}

} // namespace

SearchStatus CShipModel::FindTrimEquilibrium(const CCentreOfGravityAt& gravity, double volume,
                                             double heel, double& trim, double& draught,
                                             double volumeTolerance, double leverTolerance,
                                             const CHydroMethod& method, const CTrimStart* start,
                                             CHydroProperties* record, double knownTotal) const {
    const double totalVolume = knownTotal >= 0 ? knownTotal : TotalVolume(method);
    thread_local CHydroProperties sums;
    CHydroProperties& newton = record ? *record : sums;
    if (!record)
        newton.SetCollect(false);
    if (method.IsExact()) {
        double t = start ? start->trim : trim, d = start ? start->draught : draught;
        // Without a start, a draught outside the body (0 when nothing is
        // known) is the volume's share of the depth before any evaluation.
        CRotationMatrix r;
        r.SetRotation(heel, t, 0);
        double zmin = 0, zmax = 0;
        if (!start && ZRange(r, zmin, zmax) && !(d > zmin && d < zmax) && totalVolume > 0)
            d = zmin + (zmax - zmin) / totalVolume * volume;
        if (NewtonTrimEquilibrium(*this, gravity, volume, heel, t, d, volumeTolerance,
                                  leverTolerance, totalVolume, method,
                                  newton) == SearchStatus::converged) {
            trim = t;
            draught = d;
            return SearchStatus::converged;
        }
    }
    const SearchStatus found = FindLeverZeroFrom(gravity, volume, heel, trim, draught,
                                                 volumeTolerance, leverTolerance, totalVolume,
                                                 method);
    if (found != SearchStatus::converged)
        return found;
    // The bracketing search stops on a draught bracket 1 mm wide: Newton's
    // steps from its answer meet the volume's tolerance.
    if (method.IsExact() &&
        NewtonTrimEquilibrium(*this, gravity, volume, heel, trim, draught, volumeTolerance,
                              leverTolerance, totalVolume, method,
                              newton) == SearchStatus::converged)
        return found;
    if (record) {
        CRotationMatrix r;
        r.SetRotation(heel, trim, 0);
        ImmersedProperties(*record, draught, r, method);
    }
    return found;
}

SearchStatus CShipModel::FindLeverZeroFrom(const CCentreOfGravityAt& gravity, double volume,
                                           double heel, double& trim, double& draught,
                                           double volumeTolerance, double leverTolerance,
                                           double totalVolume, const CHydroMethod& method) const {
    // The trimming lever at trim t, with the draught for the volume (starting
    // from the last one) and the loads placed for this attitude.
    return FindLeverZero(trim, leverTolerance, [&](double t) {
        CRotationMatrix r;
        r.SetRotation(heel, t, 0);
        if (FindDraught(volume, r, draught, volumeTolerance, totalVolume, method) ==
            SearchStatus::notConverged)
            return std::nan("");
        thread_local CHydroProperties record;
        // The one-point rule's sums depend on whether it collects (a fan's
        // first vertex stays rounded once a waterline test has rounded it):
        // as the tables take them.
        record.SetCollect(!method.IsExact());
        ImmersedProperties(record, draught, r, method);
        CVector3 g;
        if (!gravity(heel, t, g))
            return std::nan("");
        return record.TrimmingLever(g, draught, heel, t);
    });
}

SearchStatus CShipModel::FindSubmergedTrim(const CVector3& g0, double weight, double heel,
                                           double& trim, float tolerance,
                                           const CHydroMethod& method) const {
    double area, volume;
    CVector3 b;
    VolumeCentroid(area, volume, b, method);
    const CLoading loading(*this, weight, g0, method);
    const double h = 0.0001;
    for (int evaluations = 0; evaluations < kMaxSearchEvaluations; ++evaluations) {
        CVector3 g1, g2;
        const SearchStatus s1 = loading.GravityAt(heel, trim, g1);
        const double f1 = TrimmingLeverOf(b, g1, trim);
        const SearchStatus s2 = loading.GravityAt(heel, trim + h, g2);
        const double f2 = TrimmingLeverOf(b, g2, trim + h);
        if (s1 == SearchStatus::notConverged || s2 == SearchStatus::notConverged ||
            std::isnan(f1) || std::isnan(f2))
            return SearchStatus::notConverged;
        // Newton step with a forward-difference slope; the test reads the
        // lever before the step, so one more step follows convergence.
        trim = trim - f1 * h / (f2 - f1);
        if (std::fabs(f1) <= tolerance)
            return std::isfinite(trim) ? SearchStatus::converged : SearchStatus::notConverged;
    }
    return SearchStatus::notConverged;
}
