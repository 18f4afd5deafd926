// The damage stability report as brelund-calc writes it and the "Stabilità
// in avaria" window shows it: per case the summary, the open compartments,
// the openings, the criteria and the GZ curve after damage, as tables of
// records.
#pragma once

#include "RecordText.h"

#include "calc/DamageStability.h"

// The words of an outcome: "floats", "sinks", "capsizes".
const char* OutcomeWord(DamageOutcome outcome);

// A case's tables. summary: one row (case, result, criteria set, the
// equilibrium after damage as stability's summary names it, T0, TA, TF,
// trim0 and equilibrium_heel at the equilibrium, GM0 upright after
// damage, the range, the heel where the curve found no trim of
// equilibrium, the deck edge and margin line, the datums); a ship that
// sinks or capsizes has its figures empty. The others are empty then:
// compartments (name, permeability, volume lost), openings (name, x, y,
// z, weathertight, height above the water, immersed), criteria (name,
// value, limit, margin, unit, result, source) and the curve as
// stability's.
struct CDamageTables {
    CRecordTable summary, compartments, openings, criteria, curve;
};
CDamageTables DamageTables(const CDamageResult& result, const std::string& criteriaSet);

// The cases' reports one after the other. TSV and CSV: each case's tables
// (the summary alone when it sinks or capsizes) as WriteRecordSections
// writes them, an empty line between two. JSON: one case as the object
// {"summary": {...}, "compartments": [...], "openings": [...], "criteria":
// [...], "curve": [...]} (the summary alone when it sinks or capsizes);
// several as an array of them.
std::string WriteDamageReport(const std::vector<CDamageResult>& results,
                              const std::string& criteriaSet, bool several, RecordFormat format,
                              int digits);
