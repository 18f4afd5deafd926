// The stability report as brelund-calc writes it: the curve, the summary and
// the criteria as three tables of records.
#pragma once

#include "RecordText.h"

#include "calc/StabilityCurve.h"

// The report's three tables: the curve, one point a row; the summary, one
// row; the criteria in the Code's order.
struct CStabilityTables {
    CRecordTable curve, summary, criteria;
};
CStabilityTables StabilityTables(const CStabilityResult& result);

// The report as the three tables "curve", "summary" (one row) and
// "criteria", written together (WriteRecordSections).
std::string WriteStabilityReport(const CStabilityResult& result, RecordFormat format, int digits);
