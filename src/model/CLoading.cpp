#include "CLoading.h"

#include "CShipModel.h"
#include "geometry/CHydroProperties.h"

CLiquidLoads StoredLiquidLoads(const CShipModel& ship) {
    CLiquidLoads loads;
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i) {
        const CTank& tank = *ship.Tanks().GetAt(i);
        loads.push_back({tank.GetLoadVolume(), tank.GetSpecificWeight()});
    }
    return loads;
}

void FreeSurfaceInertia(CHydroProperties& liquid, double& transverse, double& longitudinal) {
    transverse = longitudinal = 0;
    liquid.ComputeWaterplane();
    const double area = liquid.WaterplaneArea();
    if (area > 0) {
        // About the surface's own axes: int y^2 dA - (int y dA)^2 / A along
        // x', the same in x along y'.
        const double sy = liquid.WaterplaneMomentY(), sx = liquid.WaterplaneMomentX();
        transverse = liquid.WaterplaneSecondY() - sy * sy / area;
        longitudinal = liquid.WaterplaneSecondX() - sx * sx / area;
    }
}

CLoading::CLoading(const CShipModel& ship, double weight, const CVector3& centre,
                   const CHydroMethod& method)
    : CLoading(ship, weight, centre, {}, {}, method) {}

CLoading::CLoading(const CShipModel& ship, double weight, const CVector3& centre,
                   const std::vector<CPointWeight>& others, const CLiquidLoads& liquids,
                   const CHydroMethod& method)
    : m_method(method), m_moment(centre) {
    m_moment.Scale(weight);
    for (const CPointWeight& w : others) {
        CVector3 moment = w.centre;
        moment.Scale(w.weight);
        m_moment.Add(moment);
        weight += w.weight;
    }
    double sum = 0;
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i) {
        const CTank& tank = *ship.Tanks().GetAt(i);
        const CLiquidLoad load = liquids.empty()
                                     ? CLiquidLoad{tank.GetLoadVolume(), tank.GetSpecificWeight()}
                                     : liquids.at(static_cast<std::size_t>(i - 1));
        if (!tank.IsEnabled())
            continue;
        sum += load.Weight();
        if (load.volume != 0)
            m_liquids.push_back({&tank, load.Weight(), load.volume, load.Density()});
    }
    m_weight = weight + sum;
}

SearchStatus CLoading::GravityAt(double heel, double trim, CVector3& g, CFreeSurface* fsc) const {
    SearchStatus status = SearchStatus::converged;
    g = m_moment;
    double sumT = 0, sumL = 0;
    thread_local CHydroProperties liquid;
    for (const CLiquid& l : m_liquids) {
        double level = 0;
        const SearchStatus s = l.tank->LiquidOf(l.volume, heel, trim, liquid, level, m_method);
        const bool found = m_method.IsExact() ? s == SearchStatus::converged && liquid.m_volume > 0
                                              : s != SearchStatus::notConverged;
        if (!found) {
            if (m_method.IsExact())
                return SearchStatus::notConverged;
            status = SearchStatus::notConverged;
        }
        CVector3 c;
        if (liquid.m_volume != 0)
            liquid.BuoyancyCentre(c, level, heel, trim);
        c.Scale(l.weight);
        g.Add(c);
        if (fsc) {
            double it = 0, il = 0;
            FreeSurfaceInertia(liquid, it, il);
            sumT += l.density * it;
            sumL += l.density * il;
        }
    }
    g.Divide(m_weight);
    if (fsc) {
        fsc->transverse = sumT / m_weight;
        fsc->longitudinal = sumL / m_weight;
    }
    return status;
}
