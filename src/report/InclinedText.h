// The inclined table ("Carene Inclinate") as the dialog and brelund-calc
// show it, and its trajectories as a drawing.
#pragma once

#include "CTextGrid.h"

#include "calc/InclinedTable.h"

class CDxfFile;

// The result grid as the dialog creates it.
inline constexpr int kInclinedGridRows = 10;
inline constexpr int kInclinedGridCols = 6;

// The grid as the dialog opens it: 10 x 6 cells, "Teta [°]" at (0, 1),
// "V [m^3]" at (1, 0) and "KZ [m]" at (1, 1).
void WriteInclinedHeaders(CTextGrid& grid);
// Choosing a calculation kind: "KZ [m]" or "GZ [m]" at (1, 1), nothing else.
void SetInclinedLeverHeader(CTextGrid& grid, CalculationKind kind);

// The grid's text of a heel angle (row 0: "%.4g" to 2 decimals) and of a
// volume (column 0: "%.3g"), which the dialog's chart names its curves by.
std::string InclinedAngleText(double angle);
std::string InclinedVolumeText(double volume);

// The table into grid, which takes nV + 3 rows and nA + 3 columns (cells that
// remain keep their text): the angles "%.4g" to 2 decimals across row 0, the
// volumes "%.3g" down column 0, each lever "%.4G", "-" for a cell without
// one; the cells a kind does not compute keep their text.
void WriteInclinedTable(CTextGrid& grid, const CInclinedTable& table);

// One 3D polyline per volume with a point per cell with a lever.
void DrawTrajectories(CDxfFile& drawing, const CInclinedTable& table);

// Why a cell shows "-", naming the cell, for the command line's warnings and
// the dialog's note.
std::string DescribeInclinedNote(const CInclinedCellNote& note);
