// The words the windows and the booklet use for what the calculations
// report in English: the criteria's names, their units and a damaged
// ship's outcome, so both front ends say them alike.
#pragma once

#include "calc/DamageStability.h"

#include <cstddef>
#include <string>

// The criteria of a stability result in their order (the Code's six, then
// the weather criterion's two) as the "Stabilità" window names them; limit
// is the angle where the areas "to 40 deg" stop. Any other keeps fallback.
std::string CriterionNameIt(std::size_t k, double limit, const std::string& fallback);

// A criterion's unit as printed: "deg" as °, "m*rad" as m·rad.
std::string UnitNameIt(const std::string& unit);

// "galleggia", "affonda" or "si capovolge".
const char* OutcomeNameIt(DamageOutcome outcome);
