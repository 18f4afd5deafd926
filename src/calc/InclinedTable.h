// The inclined hydrostatics ("Carene Inclinate"): for a series of
// displacement volumes and a series of heel angles, the cross-curve lever KZ
// of the ship held at even keel, or the righting lever GZ of the ship left
// free to trim with its liquid loads moving; one cell per (volume, angle).
// On request, the path of the centre of buoyancy of every volume as the heel
// grows, as 3D polylines of a DXF drawing.
#pragma once

#include "CalcProblem.h"
#include "CalcRun.h"

#include "geometry/CVector3.h"
#include "geometry/HydroMethod.h"

#include <vector>

class CShipModel;

enum CalculationKind {
    EvenKeelKZ = 0,   // "Even keel (KZ)": KZ at trim 0
    XBEqualsXG = 1,   // "XB == XG  (GZ)": offered disabled; computes nothing
    FreeToTrimGZ = 2, // "Free to trim (GZ)": GZ at the trim of longitudinal equilibrium
};

// The dialog's fields, with their values at construction.
struct CInclinedInputs {
    double xg = 0, yg = 0, zg = 0; // centre of gravity, for GZ only [m]
    double precision = 0.1;        // precision of the volume searches [m^3]
    double vmax = 0;               // volume of the body wholly immersed [m^3]
    double vf = 1;                 // final volume [m^3]
    double vi = 0;                 // initial volume [m^3]
    double dv = 1;                 // volume increment [m^3]
    double ai = 0;                 // initial heel [deg]
    double af = 45;                // final heel [deg]
    double da = 15;                // heel increment [deg]
    CalculationKind kind = EvenKeelKZ;
    bool trajectories = false; // "Memorizza traiettorie del baricentro \n (centro di carena)"
    // The tables' one-point rule, or the exact one ("Integrazione esatta").
    IntegrationRule rule = IntegrationRule::onePoint;
};

// The lever tolerance of the free-to-trim search [m].
inline constexpr double kInclinedLeverTolerance = 0.002;
// Larger tables are refused rather than held in memory for hours.
inline constexpr long kMaxInclinedCells = 1000000;

// The values the dialog sets on opening: the construction values, then the
// body wholly immersed (volume and centroid, to 3 decimals) for Vmax and G,
// Vi = Vf = Vmax / 2, dV = 0, precision 0.1.
void OpenInclinedTable(const CShipModel& ship, CInclinedInputs& inputs);

// The ten corrections of a run's inputs, in their order; true when any of
// them changed a value (the front ends then say so).
bool CorrectInclinedInputs(CInclinedInputs& inputs);

// A field that is not a finite number (notANumber), a table of more than
// kMaxInclinedCells cells (tooMany), or no body to float (noVolume: Vmax not
// above 0).
CCalcCheck CheckInclinedInputs(const CInclinedInputs& inputs);

// nV: the volumes are Vi + j dV for j = 0 .. nV.
int InclinedVolumeCount(const CInclinedInputs& inputs);
// nA: the angles are Ai + i dA for i = 0 .. nA (a zero increment gives 1,
// so two columns at Ai).
int InclinedAngleCount(const CInclinedInputs& inputs);

// Why a computed cell shows "-".
enum class CInclinedFault {
    volumeOutOfRange, // the volume is 0 or below, or above the ship's total volume
    notConverged,     // the draught or trim search stopped at its cap
    noValue,          // the lever came out as something other than a number
};

// One cell of the table.
struct CInclinedCell {
    bool computed = false; // XBEqualsXG computes none: the grid keeps its text
    bool ok = false;       // a lever, or the reason for "-"
    CInclinedFault fault = CInclinedFault::noValue;
    double lever = 0;  // KZ or GZ [m]
    CVector3 buoyancy; // the centre of buoyancy the ship floated at
};

struct CInclinedTable {
    std::vector<double> volumes; // Vi + j dV [m^3], j = 0 .. nV
    std::vector<double> angles;  // Ai + i dA [deg] as typed (through radians)
    // Angle by angle, the volumes of each: cells[i * volumes.size() + j].
    std::vector<CInclinedCell> cells;
    const CInclinedCell& At(std::size_t angle, std::size_t volume) const {
        return cells[angle * volumes.size() + volume];
    }
};

// A cell without a lever, where the grid shows it and why.
struct CInclinedCellNote {
    int row, col;  // the cell in the grid
    double volume; // [m^3]
    double angle;  // [deg]
    CInclinedFault fault;
};
std::vector<CInclinedCellNote> InclinedNotes(const CInclinedTable& table);

// Computes the table for corrected inputs that pass the check. KZ cells are
// independent and run on all cores, handed over in the serial order; GZ
// cells run in order, each search starting from the trim and draught of the
// one before. Progress goes to run.progress for the volumes (0 .. nV + 1)
// and run.outer for the angles (0 .. nA + 1). A requested stop throws
// CCalculationStopped between cells.
CInclinedTable ComputeInclinedTable(const CShipModel& ship, const CInclinedInputs& inputs,
                                    const CCalcRun& run = {});

// The path of the centre of buoyancy of each volume as the heel grows: the
// cells with a lever, angle by angle.
std::vector<std::vector<CVector3>> InclinedTrajectories(const CInclinedTable& table);
