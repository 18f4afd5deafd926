// The ship's hydrostatics: sums over the element lists, the liquid loads,
// and the draught, trim and submerged-trim searches.
#include "CShipModel.h"
#include "FalsePosition.h"
#include "TrimSearch.h"
#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/IntegrationRules.h"
#include "geometry/Scalar.h"

#include <cmath>

void CCompartment::ImmersedProperties(CHydroProperties& result, double draught,
                                      const CMatrixBase& r) const {
    CShipElement::ImmersedProperties(result, draught, r);
    result.m_volume *= m_permeability;
}

SearchStatus CTank::TankLiquidCentre(double heel, double trim, CVector3& centre) const {
    centre.Zero();
    if (m_load_volume == 0)
        return SearchStatus::converged;
    CRotationMatrix r;
    r.SetRotation(heel, trim, 0);
    double draught = 0;
    const SearchStatus status = FindLevel(m_load_volume, r, draught, 4.0);
    CHydroProperties liquid;
    ImmersedProperties(liquid, draught, r);
    if (liquid.m_volume == 0)
        return SearchStatus::notConverged;
    liquid.BuoyancyCentre(centre, draught, heel, trim);
    return status == SearchStatus::notConverged ? status : SearchStatus::converged;
}

SearchStatus CTank::ExactLiquid(double heel, double trim, CExactProperties& liquid,
                                double& level) const {
    liquid.Reset();
    level = 0;
    const double volume = VolumeBy<CExactRule>();
    if (!(m_load_volume > 0) || !(m_load_volume <= volume * (1 + 1e-9)))
        return SearchStatus::outOfRange;
    CRotationMatrix r;
    r.SetRotation(heel, trim, 0);
    SearchStatus status = SearchStatus::converged;
    if (m_load_volume >= volume * (1 - 1e-9)) {
        // Pressed up: every panel under the level, the lid's sums cancel.
        double zmin = 0, zmax = 0;
        ZRange(r, zmin, zmax);
        level = zmax + 1;
    } else {
        status = FindLevel<CExactRule>(m_load_volume, r, level, 1e-10 * m_load_volume, volume);
    }
    ImmersedSums<CExactRule>(liquid, level, r);
    return status;
}

template <class Rule> double CShipModel::TotalVolume() const {
    double volume = 0;
    for (int i = 1; i <= m_hull.GetCount(); ++i)
        if (m_hull.GetAt(i)->IsEnabled())
            volume += m_hull.GetAt(i)->VolumeBy<Rule>();
    for (int i = 1; i <= m_compartments.GetCount(); ++i)
        if (const CCompartment& c = *m_compartments.GetAt(i); c.IsEnabled())
            volume += c.VolumeBy<Rule>() * c.GetPermeability();
    return volume;
}

thread_local long long CShipModel::s_evaluations = 0;

template <class Rule>
double CShipModel::ImmersedVolume(const CMatrixBase& r, double draught) const {
    ++s_evaluations;
    double volume = 0;
    for (int i = 1; i <= m_hull.GetCount(); ++i)
        if (m_hull.GetAt(i)->IsEnabled())
            volume += m_hull.GetAt(i)->ImmersedVolumeBy<Rule>(r, draught);
    for (int i = 1; i <= m_compartments.GetCount(); ++i)
        if (const CCompartment& c = *m_compartments.GetAt(i); c.IsEnabled())
            volume += c.ImmersedVolumeBy<Rule>(r, draught) * c.GetPermeability();
    return volume;
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

template <class Rule>
SearchStatus CShipModel::FindDraught(double volume, const CMatrixBase& r, double& draught,
                                     double tolerance) const {
    return FindDraught<Rule>(volume, r, draught, tolerance, TotalVolume<Rule>());
}

template <class Rule>
SearchStatus CShipModel::FindDraught(double volume, const CMatrixBase& r, double& draught,
                                     double tolerance, double totalVolume) const {
    double zmin = 0, zmax = 0;
    ZRange(r, zmin, zmax);
    return FalsePositionLevel(volume, zmin, zmax, totalVolume, draught, tolerance,
                              [&](double t) { return ImmersedVolume<Rule>(r, t); });
}

void CShipModel::VolumeCentroid(double& area, double& volume, CVector3& centroid) const {
    area = 0;
    volume = 0;
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
    for (int i = 1; i <= m_compartments.GetCount(); ++i)
        if (m_compartments.GetAt(i)->IsEnabled())
            add(*m_compartments.GetAt(i));
    centroid.Zero();
    if (volume != 0) {
        centroid = sum;
        centroid.Divide(volume);
    }
}

void CShipModel::ImmersedProperties(CHydroProperties& result, double draught,
                                    const CMatrixBase& r) const {
    ++s_evaluations;
    result.Reset();
    thread_local CHydroProperties part;
    part.SetCollect(true);
    for (int i = 1; i <= m_hull.GetCount(); ++i)
        if (m_hull.GetAt(i)->IsEnabled()) {
            m_hull.GetAt(i)->ImmersedProperties(part, draught, r);
            result.Accumulate(part);
        }
    for (int i = 1; i <= m_compartments.GetCount(); ++i)
        if (m_compartments.GetAt(i)->IsEnabled()) {
            m_compartments.GetAt(i)->ImmersedProperties(part, draught, r);
            result.Accumulate(part);
        }
}

void CShipModel::ImmersedProperties(CExactProperties& result, double draught,
                                    const CMatrixBase& r) const {
    ++s_evaluations;
    result.Reset();
    // Each element's sums are taken whole, then added: the hull's as they
    // are, a compartment's times its permeability.
    CExactProperties part;
    for (int i = 1; i <= m_hull.GetCount(); ++i)
        if (m_hull.GetAt(i)->IsEnabled()) {
            part.Reset();
            m_hull.GetAt(i)->ImmersedSums<CExactRule>(part, draught, r);
            result.Accumulate(part, 1, true);
        }
    for (int i = 1; i <= m_compartments.GetCount(); ++i)
        if (const CCompartment& c = *m_compartments.GetAt(i); c.IsEnabled()) {
            part.Reset();
            c.ImmersedSums<CExactRule>(part, draught, r);
            result.Accumulate(part, c.GetPermeability(), false);
        }
}

double CShipModel::TankLoadWeight() const {
    double weight = 0;
    for (int i = 1; i <= m_tanks.GetCount(); ++i)
        if (m_tanks.GetAt(i)->IsEnabled())
            weight += m_tanks.GetAt(i)->GetLoadWeight();
    return weight;
}

SearchStatus CShipModel::CentreOfGravity(CVector3& g, double weight, double heel,
                                         double trim) const {
    SearchStatus status = SearchStatus::converged;
    g.Scale(weight);
    for (int i = 1; i <= m_tanks.GetCount(); ++i) {
        const CTank& tank = *m_tanks.GetAt(i);
        if (!tank.IsEnabled() || tank.GetLoadVolume() == 0)
            continue;
        CVector3 centre;
        if (tank.TankLiquidCentre(heel, trim, centre) == SearchStatus::notConverged)
            status = SearchStatus::notConverged;
        centre.Scale(tank.GetLoadWeight());
        g.Add(centre);
    }
    g.Divide(weight + TankLoadWeight());
    return status;
}

double CShipModel::LongitudinalLever(const CVector3& b, const CVector3& g, double trim) {
    return std::cos(trim) * (b.X() - g.X()) - std::sin(trim) * (b.Z() - g.Z());
}

namespace {

// A record that the trim search fills: the one-point record collects its
// waterline, as the tables' records do.
void PrepareRecord(CHydroProperties& record) {
    record.SetCollect(true);
}
void PrepareRecord(CExactProperties&) {}

} // namespace

template <class Rule>
SearchStatus CShipModel::FindTrimEquilibrium(const CVector3& g0, double volume, double heel,
                                             double& trim, double& draught, double volumeTolerance,
                                             double leverTolerance) const {
    const double fixedWeight = volume * m_sea_specific_weight - TankLoadWeight();
    return FindTrimEquilibrium<Rule>(
        [&](double h, double t, CVector3& g) {
            g = g0;
            return CentreOfGravity(g, fixedWeight, h, t) != SearchStatus::notConverged;
        },
        volume, heel, trim, draught, volumeTolerance, leverTolerance);
}

template <class Rule>
SearchStatus CShipModel::FindTrimEquilibrium(const CCentreOfGravityAt& gravity, double volume,
                                             double heel, double& trim, double& draught,
                                             double volumeTolerance, double leverTolerance) const {
    const double totalVolume = TotalVolume<Rule>();
    // The trimming lever at trim t, with the draught for the volume (starting
    // from the last one) and the loads placed for this attitude.
    return FindLeverZero(trim, leverTolerance, [&](double t) {
        CRotationMatrix r;
        r.SetRotation(heel, t, 0);
        if (FindDraught<Rule>(volume, r, draught, volumeTolerance, totalVolume) ==
            SearchStatus::notConverged)
            return std::nan("");
        thread_local typename Rule::Record record;
        PrepareRecord(record);
        ImmersedProperties(record, draught, r);
        CVector3 g;
        if (!gravity(heel, t, g))
            return std::nan("");
        return record.TrimmingLever(g, draught, heel, t);
    });
}

SearchStatus CShipModel::FindSubmergedTrim(const CVector3& g0, double weight, double heel,
                                           double& trim, float tolerance) const {
    double area, volume;
    CVector3 b;
    VolumeCentroid(area, volume, b);
    const double h = 0.0001;
    for (int evaluations = 0; evaluations < kMaxSearchEvaluations; ++evaluations) {
        CVector3 g1 = g0, g2 = g0;
        const SearchStatus s1 = CentreOfGravity(g1, weight, heel, trim);
        const double f1 = LongitudinalLever(b, g1, trim);
        const SearchStatus s2 = CentreOfGravity(g2, weight, heel, trim + h);
        const double f2 = LongitudinalLever(b, g2, trim + h);
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

template double CShipModel::TotalVolume<COnePointRule>() const;
template double CShipModel::TotalVolume<CExactRule>() const;
template double CShipModel::ImmersedVolume<COnePointRule>(const CMatrixBase&, double) const;
template double CShipModel::ImmersedVolume<CExactRule>(const CMatrixBase&, double) const;
template SearchStatus CShipModel::FindDraught<COnePointRule>(double, const CMatrixBase&, double&,
                                                             double) const;
template SearchStatus CShipModel::FindDraught<CExactRule>(double, const CMatrixBase&, double&,
                                                          double) const;
template SearchStatus CShipModel::FindDraught<COnePointRule>(double, const CMatrixBase&, double&,
                                                             double, double) const;
template SearchStatus CShipModel::FindDraught<CExactRule>(double, const CMatrixBase&, double&,
                                                          double, double) const;
template SearchStatus CShipModel::FindTrimEquilibrium<COnePointRule>(const CVector3&, double,
                                                                     double, double&, double&,
                                                                     double, double) const;
template SearchStatus CShipModel::FindTrimEquilibrium<CExactRule>(const CVector3&, double, double,
                                                                  double&, double&, double,
                                                                  double) const;
template SearchStatus CShipModel::FindTrimEquilibrium<COnePointRule>(const CCentreOfGravityAt&,
                                                                     double, double, double&,
                                                                     double&, double, double) const;
template SearchStatus CShipModel::FindTrimEquilibrium<CExactRule>(const CCentreOfGravityAt&, double,
                                                                  double, double&, double&, double,
                                                                  double) const;
