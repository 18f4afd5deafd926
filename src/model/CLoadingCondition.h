// Loading conditions: what a ship carries on a voyage (lightship, other
// deadweight, the tanks' loads) and the water it floats in, kept beside the
// ship in its conditions file (ConditionsFile.h), and their totals.
#pragma once

#include "CLoading.h"
#include "geometry/CVector3.h"
#include "platform/Message.h"

#include <optional>
#include <string>
#include <vector>

class CShipModel;
class CTank;

// A deadweight item other than the tanks' liquids: stores, crew, cargo.
struct CDeadweightItem {
    std::string name{};
    double weight = 0;          // [t]
    double x = 0, y = 0, z = 0; // its centre [m], ship axes
    bool operator==(const CDeadweightItem&) const = default;
};

// A tank's load in a condition, in place of the one stored with the tank:
// a filling ratio (0 to 1 of the tank's volume) or a volume [m^3], and the
// liquid's density [t/m^3].
struct CConditionTankLoad {
    enum class Given { filling, volume };
    std::string tank{}; // the tank's name
    Given given = Given::filling;
    double amount = 0;  // the filling ratio, or the volume [m^3]
    double density = 1; // [t/m^3]
    bool operator==(const CConditionTankLoad&) const = default;
};

// A superstructure, deck cargo or rigging the hull elements do not model,
// as the wind sees it: its lateral area projected on the centreplane and
// the height of that area's centre above the baseline.
struct CWindageItem {
    std::string name{};
    double area = 0;   // [m^2]
    double height = 0; // [m] above the baseline
    bool operator==(const CWindageItem&) const = default;
};

struct CLoadingCondition {
    std::string name{};
    double lightship = 0;             // [t]
    double lcg = 0, tcg = 0, vcg = 0; // the lightship's centre [m], ship axes
    std::vector<CDeadweightItem> items{};
    // A tank not listed keeps the load stored with it in the ship file.
    std::vector<CConditionTankLoad> tanks{};
    double water_density = 1.025;     // [t/m^3]
    std::optional<double> flooding{}; // down-flooding angle [deg]
    // For the weather criterion: the windage beyond the hull's, the bilge
    // keels' total area (both sides, 0: none) and whether the bilges are
    // sharp (no rounded bilge: the roll's factor k is 0.7).
    std::vector<CWindageItem> windage{};
    double bilge_keel_area = 0; // [m^2]
    bool sharp_bilges = false;
    bool operator==(const CLoadingCondition&) const = default;

    // The load listed for tank, null when it keeps its own.
    const CConditionTankLoad* TankLoad(const std::string& tank) const;
};

// What makes a condition impossible, in a line naming the value ("tank
// 'cassa 1': filling_ratio 1.5 lies outside 0 to 1"), or "" when nothing
// does: a value that is not a finite number, a negative weight, a filling
// ratio outside 0 to 1, a negative volume, a density not above 0, a
// flooding angle outside 0 to 90 (both excluded), an empty name, a tank
// listed twice, a windage item without a name, of negative area or listed
// twice, a negative bilge keel area. The conditions file refuses such a condition, reading it or
// writing it.
std::string ConditionFault(const CLoadingCondition& condition);
// The same in both tongues, the application's in Italian; empty when
// nothing makes the condition impossible.
CMessage ConditionFaultMessage(const CLoadingCondition& condition);

// A place where water can come into the ship when it reaches it: a door, an
// air pipe, a vent. Weathertight ones are closed at sea and do not limit
// the flooding angle.
struct COpening {
    std::string name{};
    double x = 0, y = 0, z = 0; // [m], ship axes
    bool weathertight = false;
    bool operator==(const COpening&) const = default;
};

// A compartment open to the sea in a damage case, at the model's
// permeability or the case's own.
struct CDamagedCompartment {
    std::string compartment{};            // the compartment's name
    std::optional<double> permeability{}; // 0 to 1; none: the model's
    bool operator==(const CDamagedCompartment&) const = default;
};

// A damage case: the compartments open to the sea together, and the height
// of the bulkhead deck at side that fixes the margin line (0.076 m below
// it), when given.
struct CDamageCase {
    std::string name{};
    std::vector<CDamagedCompartment> compartments{};
    std::optional<double> bulkhead_deck{}; // z in ship axes [m]
    bool operator==(const CDamageCase&) const = default;
};

// Where a tank is sounded: the pipe's lower end (the point soundings are
// measured from) and its direction, upward.
struct CSoundingPipe {
    std::string tank{};
    double x = 0, y = 0, z = 0;    // the lower end [m], ship axes
    double dx = 0, dy = 0, dz = 1; // upward; any length but 0
    bool operator==(const CSoundingPipe&) const = default;
};

// What makes an opening, a damage case or a sounding pipe impossible, in
// both tongues, or empty: an empty name, a value that is not a finite
// number, a case without compartments or listing one twice, a permeability
// outside 0 to 1, a pipe's direction of length 0 or pointing downward.
CMessage OpeningFault(const COpening& opening);
CMessage DamageCaseFault(const CDamageCase& damage);
CMessage SoundingPipeFault(const CSoundingPipe& pipe);

// The conditions of a ship, in order, no two of one name, and what belongs
// to the ship whatever it carries: its openings, damage cases and sounding
// pipes (no two openings or cases of one name, one pipe a tank).
class CLoadingConditions {
public:
    const std::vector<CLoadingCondition>& All() const { return m_conditions; }
    bool Empty() const { return m_conditions.empty(); }
    // The condition named name, or null.
    const CLoadingCondition* Find(const std::string& name) const;
    // Appends condition; false (nothing added) when its name is taken.
    bool Add(CLoadingCondition condition);
    // Replaces the condition at index (0-based) with condition; false
    // (nothing changed) when index is out of range or the new name is
    // another condition's.
    bool Replace(std::size_t index, CLoadingCondition condition);
    // Removes the condition named name; false when there is none.
    bool Remove(const std::string& name);
    bool operator==(const CLoadingConditions&) const = default;

    std::vector<COpening>& Openings() { return m_openings; }
    const std::vector<COpening>& Openings() const { return m_openings; }
    std::vector<CDamageCase>& DamageCases() { return m_damage_cases; }
    const std::vector<CDamageCase>& DamageCases() const { return m_damage_cases; }
    std::vector<CSoundingPipe>& SoundingPipes() { return m_sounding_pipes; }
    const std::vector<CSoundingPipe>& SoundingPipes() const { return m_sounding_pipes; }
    // The case named name, or null; the pipe of the tank named tank, or null.
    const CDamageCase* FindDamageCase(const std::string& name) const;
    const CSoundingPipe* FindSoundingPipe(const std::string& tank) const;
    // What makes the openings, cases and pipes together impossible: the
    // first one with a fault (naming it) or a name listed twice; empty when
    // nothing does.
    CMessage ShipDataFault() const;

private:
    std::vector<CLoadingCondition> m_conditions;
    std::vector<COpening> m_openings;
    std::vector<CDamageCase> m_damage_cases;
    std::vector<CSoundingPipe> m_sounding_pipes;
};

// The load of every tank of ship under condition, in the order of its
// tanks: the condition's where it lists the tank (a filling ratio taken of
// the tank's volume as CTank::SetFillingRatio takes it, a volume as given,
// the density kept as a specific weight in kg/m^3, as the ship file keeps
// it), the stored one elsewhere.
CLiquidLoads LiquidLoadsOf(const CShipModel& ship, const CLoadingCondition& condition);

// The tanks condition lists that ship does not have, by name, in the
// condition's order: their loads count nowhere.
std::vector<std::string> UnknownTanks(const CShipModel& ship, const CLoadingCondition& condition);

// The weights of items, as CLoading adds them.
std::vector<CPointWeight> DeadweightOf(const std::vector<CDeadweightItem>& items);

// What a condition weighs and where: displacement = lightship + items +
// the liquids of the enabled tanks [t]; g their centre of gravity [m], the
// liquids at upright even keel (found by the exact rule). centre_found is
// false when a liquid's level cannot be found (a load that does not fit its
// tank): the displacement stands, g does not.
struct CConditionTotals {
    double displacement = 0;
    CVector3 g;
    bool centre_found = false;
};
CConditionTotals ConditionTotals(const CShipModel& ship, const CLoadingCondition& condition);
