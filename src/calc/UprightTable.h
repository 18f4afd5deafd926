// The upright hydrostatic table ("Carene dritte"): for equally spaced
// waterplanes at a fixed heel and trim, the immersed volume, metacentric
// radii, centre of buoyancy, waterplane area, centre of flotation,
// waterline length and breadth and wetted surface, one row per waterplane.
#pragma once

#include "CalcProblem.h"
#include "CalcRun.h"

#include "geometry/CSegment.h"
#include "geometry/HydroMethod.h"

#include <array>
#include <functional>
#include <vector>

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

// Zmin, Zmax, dz, heel or trim not a number (notANumber), Zmin above Zmax
// (aboveOther), a range narrower than dz (narrowerThanStep), a step that is
// not positive (notAbove) or so fine that the table could not be held
// (tooMany rows).
CCalcCheck CheckUprightInputs(const CUprightInputs& inputs);

// Number of data rows: StepCount(Zmax - Zmin, dz) + 1.
int UprightRowCount(const CUprightInputs& inputs);

// The columns, in order: Z, Z rel, V, Rx, Ry, XB, YB, ZB, Af, xf, yf, Lwl,
// Bwl, S. Each value is rounded as the table rounds it (the centres and
// radii taken from the rounded volume and waterplane area, 4 decimals); a
// value the table does not show ("-") is not a number.
using CUprightRow = std::array<double, kUprightColumns>;

struct CUprightTable {
    std::vector<CUprightRow> rows;
};

// Each waterline as it is finished, row after row: its height and its
// segments (x', y' in the plane), for a drawing.
using CWaterlineSink = std::function<void(double z, const std::vector<CSegment>& waterline)>;

// One row per waterplane for valid inputs. Rows are computed in parallel on
// all cores and delivered in order: waterlines and run.progress see them one
// at a time, row after row, possibly from a worker thread. A requested stop
// throws CCalculationStopped between rows.
CUprightTable ComputeUprightTable(const CShipModel& ship, const CUprightInputs& inputs,
                                  const CCalcRun& run = {},
                                  const CWaterlineSink& waterlines = nullptr);
