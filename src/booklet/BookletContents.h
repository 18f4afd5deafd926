// What the stability booklet holds, computed by the same calculations as
// brelund-calc's commands (hydrostatics, inclined, tanks, check, stability,
// damage) and written as their text forms write the numbers, so that the
// booklet and the commands agree digit for digit.
#pragma once

#include "Booklet.h"

#include "calc/CalcProblem.h"
#include "calc/DamageStability.h"
#include "calc/InclinedTable.h"
#include "calc/StabilityCurve.h"
#include "calc/StopRequest.h"
#include "calc/WeatherCriterion.h"
#include "calc/RecordTable.h"
#include "calc/ShipDatums.h"
#include "model/CLoadingCondition.h"
#include "model/MeshCheck.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class CShipModel;

// Which conditions and damage cases go in: by name, in the conditions
// file's order; all of them when all is set.
struct CBookletRequest {
    bool all_conditions = true;
    std::vector<std::string> conditions;
    bool all_damage = true; // with no names and all_damage false: none
    std::vector<std::string> damage;
    std::string criteria = "marpol"; // the damage criteria set's key
    CWeatherOptions weather;         // the Code's wind pressure by default
};

// A condition or case named that the conditions file does not have, or a
// calculation that cannot be done for one of them: which one, and the
// calculation's problem when there is one.
class CBookletFailure : public std::runtime_error {
public:
    enum class What { unknownCondition, unknownCase, condition, damage, ship };
    CBookletFailure(What what, std::string name, std::optional<CCalcProblem> problem,
                    const std::string& message, std::string condition = {})
        : std::runtime_error(message), m_what(what), m_name(std::move(name)),
          m_condition(std::move(condition)), m_problem(std::move(problem)) {}
    What Kind() const { return m_what; }
    // The condition or case named; for a case, the condition it was computed on.
    const std::string& Name() const { return m_name; }
    const std::string& Condition() const { return m_condition; }
    const std::optional<CCalcProblem>& Problem() const { return m_problem; }

private:
    What m_what;
    std::string m_name;
    std::string m_condition;
    std::optional<CCalcProblem> m_problem;
};

struct CBookletElement {
    std::string kind, name;
    bool enabled = true;
    CElementCheck check;
    std::vector<std::string> problems;
};

struct CBookletCondition {
    CLoadingCondition condition;
    CStabilityInputs inputs;
    CRecordTable tanks; // each loaded tank's liquid, as tanks --volumes gives it
    CStabilityResult stability;
    std::optional<CWeatherCalculation> weather;
    std::string weather_failure; // why the weather criterion could not be judged
    std::vector<CDamageResult> damage;
};

// Every figure of the booklet.
struct CBookletData {
    std::string ship; // the ship's name, from its file
    std::vector<CBookletElement> elements;
    CRecordTable hydrostatics;
    CShipDatums hydrostatics_datums;
    CInclinedInputs cross_inputs;
    CInclinedTable cross;
    CRecordTable tanks;
    std::vector<CBookletCondition> conditions;
    std::string criteria; // the damage criteria set's key
};

// The steps of ComputeBooklet, for a progress line or bar.
using CBookletProgress = std::function<void(int step, int steps, const std::string& what)>;

// Checks the names asked for against conditions (CBookletFailure
// unknownCondition or unknownCase), then computes; a calculation that
// cannot be done throws CBookletFailure naming the condition or case with
// the problem. A stop asked for throws CCalculationStopped.
CBookletData ComputeBooklet(const CShipModel& ship, const std::string& shipName,
                            const CLoadingConditions& conditions, const CBookletRequest& request,
                            const CStopRequest* stop = nullptr,
                            const CBookletProgress& progress = {});

// The document: title page, particulars, hydrostatics, cross curves, tank
// tables, then each condition and its damage cases.
CBooklet BuildBooklet(const CBookletData& data);

// The cross curves' volumes and heels: a tenth of the immersed body's
// volume to nine tenths (three significant digits), 10 to 80 deg by 10.
CInclinedInputs CrossCurveInputs(const CShipModel& ship);
