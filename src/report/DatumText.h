// The datums of a calculation as records: one table of one row that says
// from where its heights and draughts are read, for the reports of the
// curves of form and of a loading condition.
#pragma once

#include "RecordText.h"

#include "calc/ShipDatums.h"

// The columns baseline, AP, FP, Lpp, midship station and where the
// perpendiculars came from.
void AddDatumColumns(CRecordTable& table);
void AddDatumCells(const CShipDatums& datums, std::vector<CRecordCell>& row);

// The one row of datums that heads the curves of form: the datums, heel,
// trim and density.
CRecordTable HydrostaticsDatums(const CShipDatums& datums, double heel, double trim,
                                double density);

// The curves of form with their datums: the tables "datums" (one row:
// the datums, heel, trim and density) and "curves".
std::string WriteHydrostaticsReport(const CRecordTable& curves, const CShipDatums& datums,
                                    double heel, double trim, double density, RecordFormat format,
                                    int digits);
