// The stability report as brelund-calc writes it: the curve, the summary and
// the criteria as three tables of records.
#pragma once

#include "RecordText.h"

#include "calc/StabilityCurve.h"

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
std::string WriteStabilityReport(const CStabilityResult& result, RecordFormat format, int digits);
