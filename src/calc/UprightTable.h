// The upright hydrostatic table ("Carene dritte"): for equally spaced
// waterplanes at a fixed heel and trim, the immersed volume, metacentric
// radii, centre of buoyancy, waterplane area, centre of flotation,
// waterline length and breadth and wetted surface, one row per waterplane.
#pragma once

#include "CProgress.h"
#include "CTextGrid.h"
#include "StopRequest.h"

#include "geometry/HydroMethod.h"

class CDxfFile;
class CShipModel;

struct CUprightInputs {
    double dz = 0.01; // step between waterplanes [m]
    double zmin = 0;  // lowest waterplane [m]
    double zmax = 0;  // highest waterplane [m]
    double heel = 0;  // "Teta x (Trasv)" [deg]
    double trim = 0;  // "Teta y (Longitud)" [deg]
    // The tables' one-point rule, or the exact one ("Integrazione esatta")
    // with its compartment policy: a compartment's permeability scales its
    // volume, moments and waterplane, the wetted surface is the hull's, and
    // a face lying in the waterplane is not wetted.
    IntegrationRule rule = IntegrationRule::onePoint;
};

// The body wholly immersed, as the dialog shows it: volume and centre,
// each rounded to 3 decimals.
struct CImmersedBody {
    double volume = 0;
    double xb = 0, yb = 0, zb = 0;
};

inline constexpr int kUprightColumns = 14;
inline constexpr int kMaxUprightRows = 100000;

// The values the dialog sets on opening: the immersed body (by the rule
// inputs holds), Zmin and Zmax from the hull elements, heel and trim 0, and
// dz one fifth of the range cut down to whole centimetres.
void OpenUprightTable(const CShipModel& ship, CUprightInputs& inputs, CImmersedBody& body);

// The body wholly immersed (VolumeCentroid by the method: the exact one
// takes the compartments at their permeability), each figure rounded to 3
// decimals, as the upright and inclined dialogs show it on opening.
CImmersedBody ImmersedBody(const CShipModel& ship, const CHydroMethod& method = {});

// The message that refuses the heights, or null: Zmin above Zmax, a range
// narrower than dz, or a step that is not positive.
const char* CheckUprightInputs(const CUprightInputs& inputs);

// Number of data rows: StepCount(Zmax - Zmin, dz) + 1.
int UprightRowCount(const CUprightInputs& inputs);

// The header row of an empty table.
void WriteUprightHeaders(CTextGrid& grid);

// Fills grid (headers and one row per waterplane) for valid inputs; with a
// drawing, writes every waterline as LINE entities between its head and
// tail, which the caller writes. Rows are computed in parallel on all cores
// and delivered in order: the grid, the drawing and progress->SetPos see
// them one at a time, row after row, possibly from a worker thread. A
// requested stop throws CCalculationStopped between rows, grid and drawing
// then partly written.
void ComputeUprightTable(const CShipModel& ship, const CUprightInputs& inputs, CTextGrid& grid,
                         CDxfFile* drawing, CProgress* progress,
                         const CStopRequest* stop = nullptr);
