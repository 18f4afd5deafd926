#include "CTank.h"

#include "ShipFileIO.h"
#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/IntegrationRules.h"

void CTank::SetLoadVolume(double x) {
    const double volume = Volume();
    if (volume == 0) {
        m_load_volume = 0;
        m_filling_ratio = 0;
        return;
    }
    m_load_volume = x;
    if (volume < x)
        m_load_volume = volume;
    if (x <= 0)
        m_load_volume = 0;
    m_filling_ratio = m_load_volume / volume;
}

void CTank::SetFillingRatio(double x) {
    const double volume = Volume();
    if (volume <= 0) {
        SetLoadVolume(0);
        return;
    }
    m_filling_ratio = x > 1 ? 1 : (x < 0 ? 0 : x);
    m_load_volume = volume * m_filling_ratio;
}

void CTank::Load(CFile& file) {
    using namespace shipfile;
    m_specific_weight =
        ReadF64(file, {"the specific weight of a tank", "il peso specifico di una cassa"});
    m_load_volume =
        ReadF64(file, {"the load volume of a tank", "il volume di carico di una cassa"});
    m_filling_ratio =
        ReadF64(file, {"the filling ratio of a tank", "il grado di riempimento di una cassa"});
    CShipElement::Load(file);
}

void CTank::Store(CFile& file) const {
    using namespace shipfile;
    WriteF64(file, m_specific_weight);
    WriteF64(file, m_load_volume);
    WriteF64(file, m_filling_ratio);
    CShipElement::Store(file);
}

// The liquid: its level found for the load and its record, by the method's
// rule.

namespace {

// The tables' rule: each element's record filled whole, the compartment's
// volume alone scaled.
void OnePointLiquid(const CTank& tank, double load, double heel, double trim,
                    CHydroProperties& liquid, double& level, SearchStatus& status) {
    CRotationMatrix r;
    r.SetRotation(heel, trim, 0);
    status = tank.FindLevel(load, r, level, 4.0);
    liquid.SetCollect(true);
    tank.ImmersedProperties(liquid, level, r);
    if (liquid.m_volume == 0)
        status = SearchStatus::notConverged;
    else if (status != SearchStatus::notConverged)
        status = SearchStatus::converged;
}

} // namespace

SearchStatus CTank::LiquidOf(double load, double heel, double trim, CHydroProperties& liquid,
                             double& level, const CHydroMethod& method) const {
    liquid.Reset();
    level = 0;
    if (!method.IsExact()) {
        SearchStatus status = SearchStatus::converged;
        OnePointLiquid(*this, load, heel, trim, liquid, level, status);
        return status;
    }
    const double volume = VolumeBy<CExactRule>();
    if (!(load > 0) || !(load <= volume * (1 + 1e-9)))
        return SearchStatus::outOfRange;
    CRotationMatrix r;
    r.SetRotation(heel, trim, 0);
    SearchStatus status = SearchStatus::converged;
    if (load >= volume * (1 - 1e-9)) {
        // Pressed up: every panel under the level, the lid's sums cancel.
        double zmin = 0, zmax = 0;
        ZRange(r, zmin, zmax);
        level = zmax + 1;
    } else {
        status = FindLevel<CExactRule>(load, r, level, 1e-10 * load, volume);
    }
    CExactSums sums;
    ImmersedSums<CExactRule>(sums, level, r);
    sums.Finish(liquid);
    return status;
}

SearchStatus CTank::TankLiquidCentre(double heel, double trim, CVector3& centre,
                                     const CHydroMethod& method) const {
    centre.Zero();
    if (m_load_volume == 0)
        return SearchStatus::converged;
    thread_local CHydroProperties liquid;
    double level = 0;
    const SearchStatus status = Liquid(heel, trim, liquid, level, method);
    if (liquid.m_volume != 0)
        liquid.BuoyancyCentre(centre, level, heel, trim);
    return status;
}
