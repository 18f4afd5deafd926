#include "CLoadingCondition.h"

#include "CShipModel.h"
#include "geometry/HydroMethod.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

const CConditionTankLoad* CLoadingCondition::TankLoad(const std::string& tank) const {
    for (const CConditionTankLoad& t : tanks)
        if (t.tank == tank)
            return &t;
    return nullptr;
}

namespace {

// The first value of a list of (key, value) that is not a finite number;
// the keys are the file's, in both tongues.
CMessage NotFinite(std::initializer_list<std::pair<const char*, double>> values) {
    for (const auto& [key, value] : values)
        if (!std::isfinite(value))
            return BRELUND_SAY("%s is not a finite number", "%s non è un numero finito", key);
    return {};
}

} // namespace

std::string ConditionFault(const CLoadingCondition& c) {
    return ConditionFaultMessage(c).english;
}

CMessage ConditionFaultMessage(const CLoadingCondition& c) {
    if (c.name.empty())
        return {"the name is empty", "il nome è vuoto"};
    if (CMessage f = NotFinite({{"lightship weight_t", c.lightship},
                                {"lightship lcg_m", c.lcg},
                                {"lightship tcg_m", c.tcg},
                                {"lightship vcg_m", c.vcg},
                                {"water_density_t_m3", c.water_density}});
        !f.english.empty())
        return f;
    if (c.lightship < 0)
        return BRELUND_SAY("the lightship weight_t %g is negative",
                           "il lightship weight_t %g è negativo", c.lightship);
    if (!(c.water_density > 0))
        return BRELUND_SAY("water_density_t_m3 %g is not above 0",
                           "water_density_t_m3 %g non è maggiore di 0", c.water_density);
    if (c.flooding && !(*c.flooding > 0 && *c.flooding < 90))
        return BRELUND_SAY("flooding_angle_deg %g lies outside 0 to 90 (both excluded)",
                           "flooding_angle_deg %g è fuori da 0 a 90 (entrambi esclusi)",
                           *c.flooding);
    for (const CDeadweightItem& item : c.items) {
        const CMessage label = BRELUND_SAY("item %s: ", "voce %s: ", QuotedText(item.name).c_str());
        if (CMessage f = NotFinite(
                {{"weight_t", item.weight}, {"x_m", item.x}, {"y_m", item.y}, {"z_m", item.z}});
            !f.english.empty())
            return label + f;
        if (item.weight < 0)
            return label +
                   BRELUND_SAY("weight_t %g is negative", "weight_t %g è negativo", item.weight);
    }
    if (CMessage f = NotFinite({{"bilge_keel_area_m2", c.bilge_keel_area}}); !f.english.empty())
        return f;
    if (c.bilge_keel_area < 0)
        return BRELUND_SAY("bilge_keel_area_m2 %g is negative", "bilge_keel_area_m2 %g è negativo",
                           c.bilge_keel_area);
    for (std::size_t i = 0; i < c.windage.size(); ++i) {
        const CWindageItem& w = c.windage[i];
        const CMessage label =
            BRELUND_SAY("windage item %s: ", "superficie al vento %s: ", QuotedText(w.name).c_str());
        if (w.name.empty())
            return label + CMessage("the name is empty", "il nome è vuoto");
        if (CMessage f = NotFinite({{"area_m2", w.area}, {"height_m", w.height}});
            !f.english.empty())
            return label + f;
        if (w.area < 0)
            return label + BRELUND_SAY("area_m2 %g is negative", "area_m2 %g è negativo", w.area);
        for (std::size_t j = 0; j < i; ++j)
            if (c.windage[j].name == w.name)
                return label + CMessage("listed twice", "elencata due volte");
    }
    for (std::size_t i = 0; i < c.tanks.size(); ++i) {
        const CConditionTankLoad& t = c.tanks[i];
        const CMessage label = BRELUND_SAY("tank %s: ", "cassa %s: ", QuotedText(t.tank).c_str());
        const bool filling = t.given == CConditionTankLoad::Given::filling;
        const char* key = filling ? "filling_ratio" : "volume_m3";
        if (CMessage f = NotFinite({{key, t.amount}, {"density_t_m3", t.density}});
            !f.english.empty())
            return label + f;
        if (filling && !(t.amount >= 0 && t.amount <= 1))
            return label + BRELUND_SAY("filling_ratio %g lies outside 0 to 1",
                                       "filling_ratio %g è fuori da 0 a 1", t.amount);
        if (!filling && t.amount < 0)
            return label +
                   BRELUND_SAY("volume_m3 %g is negative", "volume_m3 %g è negativo", t.amount);
        if (!(t.density > 0))
            return label + BRELUND_SAY("density_t_m3 %g is not above 0",
                                       "density_t_m3 %g non è maggiore di 0", t.density);
        // The ship file keeps a density as kg/m^3: one beyond a double then
        // would weigh as no number.
        if (!std::isfinite(t.density * 1000))
            return label + BRELUND_SAY("density_t_m3 %g is beyond the numbers a specific "
                                       "weight holds",
                                       "density_t_m3 %g va oltre i numeri che un peso "
                                       "specifico può contenere",
                                       t.density);
        for (std::size_t j = 0; j < i; ++j)
            if (c.tanks[j].tank == t.tank)
                return label + CMessage("listed twice", "elencata due volte");
    }
    return {};
}

CMessage OpeningFault(const COpening& o) {
    if (o.name.empty())
        return {"the name is empty", "il nome è vuoto"};
    return NotFinite({{"x_m", o.x}, {"y_m", o.y}, {"z_m", o.z}});
}

CMessage DamageCaseFault(const CDamageCase& d) {
    if (d.name.empty())
        return {"the name is empty", "il nome è vuoto"};
    if (d.compartments.empty())
        return {"no compartment is open", "nessun compartimento è aperto"};
    if (d.bulkhead_deck)
        if (CMessage f = NotFinite({{"bulkhead_deck_m", *d.bulkhead_deck}}); !f.english.empty())
            return f;
    for (std::size_t i = 0; i < d.compartments.size(); ++i) {
        const CDamagedCompartment& c = d.compartments[i];
        const CMessage label = BRELUND_SAY("compartment %s: ", "compartimento %s: ",
                                           QuotedText(c.compartment).c_str());
        if (c.compartment.empty())
            return label + CMessage("the name is empty", "il nome è vuoto");
        if (c.permeability && !(*c.permeability >= 0 && *c.permeability <= 1))
            return label + BRELUND_SAY("permeability %g lies outside 0 to 1",
                                       "permeability %g è fuori da 0 a 1", *c.permeability);
        for (std::size_t j = 0; j < i; ++j)
            if (d.compartments[j].compartment == c.compartment)
                return label + CMessage("listed twice", "elencato due volte");
    }
    return {};
}

CMessage SoundingPipeFault(const CSoundingPipe& p) {
    if (p.tank.empty())
        return {"the tank's name is empty", "il nome della cassa è vuoto"};
    if (CMessage f = NotFinite({{"x_m", p.x},
                                {"y_m", p.y},
                                {"z_m", p.z},
                                {"direction x", p.dx},
                                {"direction y", p.dy},
                                {"direction z", p.dz}});
        !f.english.empty())
        return f;
    if (!(p.dz > 0))
        return {"the direction does not point upward (its z is not above 0)",
                "la direzione non punta verso l'alto (la sua z non è maggiore di 0)"};
    return {};
}

const CDamageCase* CLoadingConditions::FindDamageCase(const std::string& name) const {
    for (const CDamageCase& d : m_damage_cases)
        if (d.name == name)
            return &d;
    return nullptr;
}

const CSoundingPipe* CLoadingConditions::FindSoundingPipe(const std::string& tank) const {
    for (const CSoundingPipe& p : m_sounding_pipes)
        if (p.tank == tank)
            return &p;
    return nullptr;
}

CMessage CLoadingConditions::ShipDataFault() const {
    for (std::size_t i = 0; i < m_openings.size(); ++i) {
        const COpening& o = m_openings[i];
        const CMessage label = BRELUND_SAY("opening %s: ", "apertura %s: ", QuotedText(o.name).c_str());
        if (CMessage f = OpeningFault(o); !f.english.empty())
            return label + f;
        for (std::size_t j = 0; j < i; ++j)
            if (m_openings[j].name == o.name)
                return label + CMessage("listed twice", "elencata due volte");
    }
    for (std::size_t i = 0; i < m_damage_cases.size(); ++i) {
        const CDamageCase& d = m_damage_cases[i];
        const CMessage label =
            BRELUND_SAY("damage case %s: ", "caso di avaria %s: ", QuotedText(d.name).c_str());
        if (CMessage f = DamageCaseFault(d); !f.english.empty())
            return label + f;
        for (std::size_t j = 0; j < i; ++j)
            if (m_damage_cases[j].name == d.name)
                return label + CMessage("listed twice", "elencato due volte");
    }
    for (std::size_t i = 0; i < m_sounding_pipes.size(); ++i) {
        const CSoundingPipe& p = m_sounding_pipes[i];
        const CMessage label = BRELUND_SAY("sounding pipe of tank %s: ", "tubo di sonda della cassa %s: ",
                                           QuotedText(p.tank).c_str());
        if (CMessage f = SoundingPipeFault(p); !f.english.empty())
            return label + f;
        for (std::size_t j = 0; j < i; ++j)
            if (m_sounding_pipes[j].tank == p.tank)
                return label + CMessage("listed twice", "elencato due volte");
    }
    return {};
}

const CLoadingCondition* CLoadingConditions::Find(const std::string& name) const {
    for (const CLoadingCondition& c : m_conditions)
        if (c.name == name)
            return &c;
    return nullptr;
}

bool CLoadingConditions::Add(CLoadingCondition condition) {
    if (Find(condition.name))
        return false;
    m_conditions.push_back(std::move(condition));
    return true;
}

bool CLoadingConditions::Replace(std::size_t index, CLoadingCondition condition) {
    if (index >= m_conditions.size())
        return false;
    const CLoadingCondition* same = Find(condition.name);
    if (same && same != &m_conditions[index])
        return false;
    m_conditions[index] = std::move(condition);
    return true;
}

bool CLoadingConditions::Remove(const std::string& name) {
    const auto at = std::find_if(m_conditions.begin(), m_conditions.end(),
                                 [&](const CLoadingCondition& c) { return c.name == name; });
    if (at == m_conditions.end())
        return false;
    m_conditions.erase(at);
    return true;
}

CLiquidLoads LiquidLoadsOf(const CShipModel& ship, const CLoadingCondition& condition) {
    CLiquidLoads loads = StoredLiquidLoads(ship);
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i) {
        const CTank& tank = *ship.Tanks().GetAt(i);
        const CConditionTankLoad* t = condition.TankLoad(tank.GetName());
        if (!t)
            continue;
        CLiquidLoad& load = loads[static_cast<std::size_t>(i - 1)];
        // As the tank's own setters and brelund-calc edit --density store
        // them, so that a condition loads a tank to the bit as editing the
        // ship would.
        load.specific_weight = t->density * 1000;
        if (t->given == CConditionTankLoad::Given::volume) {
            load.volume = t->amount;
        } else {
            const double volume = tank.Volume();
            load.volume = volume <= 0 ? 0 : volume * std::clamp(t->amount, 0.0, 1.0);
        }
    }
    return loads;
}

std::vector<std::string> UnknownTanks(const CShipModel& ship, const CLoadingCondition& condition) {
    std::vector<std::string> unknown;
    for (const CConditionTankLoad& t : condition.tanks) {
        bool found = false;
        for (int i = 1; i <= ship.Tanks().GetCount() && !found; ++i)
            found = ship.Tanks().GetAt(i)->GetName() == t.tank;
        if (!found)
            unknown.push_back(t.tank);
    }
    return unknown;
}

std::vector<CPointWeight> DeadweightOf(const std::vector<CDeadweightItem>& items) {
    std::vector<CPointWeight> weights;
    for (const CDeadweightItem& item : items)
        weights.push_back({item.weight, CVector3(item.x, item.y, item.z)});
    return weights;
}

CConditionTotals ConditionTotals(const CShipModel& ship, const CLoadingCondition& condition) {
    const CLoading loading(
        ship, condition.lightship, CVector3(condition.lcg, condition.tcg, condition.vcg),
        DeadweightOf(condition.items), LiquidLoadsOf(ship, condition), CHydroMethod::Exact());
    CConditionTotals totals;
    totals.displacement = loading.Weight();
    // Nothing aboard has no centre.
    totals.centre_found =
        totals.displacement > 0 && loading.GravityAt(0, 0, totals.g) == SearchStatus::converged;
    if (!totals.centre_found)
        totals.g = CVector3();
    return totals;
}
