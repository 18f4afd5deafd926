// The stability report as brelund-calc writes it: the curve, the summary and
// the criteria as three tables of records.
#pragma once

#include "RecordText.h"

#include "calc/StabilityCurve.h"
#include "calc/WeatherCriterion.h"

// The report's tables: the curve, one point a row; the summary, one row;
// the criteria in the Code's order; and for a ship with openings, the
// openings as the inputs list them: name, weathertight ("yes", "no"),
// height above the upright waterline, immersion heel to starboard and to
// port (negative, as the curve's heels to port; none where not reached).
// With openings the summary ends with the flooding angle the criteria take
// (none without one), where it came from ("typed", "opening" or "none")
// and the opening's name.
struct CStabilityTables {
    CRecordTable curve, summary, criteria, openings;
};
CStabilityTables StabilityTables(const CStabilityResult& result);

// The report as the tables "curve", "summary" (one row), "criteria" and,
// for a ship with openings, "openings", written together
// (WriteRecordSections).
// With weather, the criteria end with the weather criterion's two and a
// table "weather" (one row) follows: A, Z, lw1, lw2, L, B, d, Cb, X1, X2,
// Ak, k, C, T, s, OG, r, theta1, theta0, the deck-edge immersion angle
// (none when not reached), theta0's limit, the intercepts of lw2, theta2
// and the areas a and b.
std::string WriteStabilityReport(const CStabilityResult& result, RecordFormat format, int digits,
                                 const CWeatherCalculation* weather = nullptr);
CRecordTable WeatherTable(const CWeatherCalculation& weather);
