// The upright table ("Carene dritte") as the dialog and brelund-calc show
// it: the header row and one row of text per waterplane.
#pragma once

#include "CTextGrid.h"

#include "calc/UprightTable.h"

class CDxfFile;

// The header row of an empty table.
void WriteUprightHeaders(CTextGrid& grid);

// Headers and rows: Z and Z rel "%.4g", the rest "%g", "-" for no value.
CTextGrid UprightGrid(const CUprightTable& table);

// A waterline as LINE entities at its height z.
void DrawWaterline(CDxfFile& drawing, double z, const std::vector<CSegment>& waterline);
