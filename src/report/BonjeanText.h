// The Bonjean tables ("Tabelle del bonjean") as the dialog and brelund-calc
// show them.
#pragma once

#include "CTextGrid.h"

#include "calc/BonjeanTable.h"

// Both grids: nz + 1 rows and m + 1 columns, the station numbers in row 0
// ("%i" for the regular ones, "%.3g" for the additional ones), the
// waterline heights "%.4g" in column 0, (0, 0) empty, the areas and moments
// "%.5g". run.progress counts the waterlines written (0 .. nz); a stop
// requested throws CCalculationStopped between them, since two million
// cells take a while to put into words.
void WriteBonjeanGrids(const CBonjeanTables& tables, CTextGrid& areas, CTextGrid& moments,
                       const CCalcRun& run = {});
