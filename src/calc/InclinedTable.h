// The inclined hydrostatics ("Carene Inclinate"): for a series of
// displacement volumes and a series of heel angles, the cross-curve lever KZ
// of the ship held at even keel, or the righting lever GZ of the ship left
// free to trim with its liquid loads moving; one cell per (volume, angle).
// On request, the path of the centre of buoyancy of every volume as the heel
// grows, as 3D polylines of a DXF drawing.
#pragma once

#include "CProgress.h"
#include "CTextGrid.h"
#include "StopRequest.h"

#include "geometry/HydroMethod.h"

#include <string>
#include <vector>

class CDxfFile;
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

inline constexpr const char* kInclinedCorrected =
    "Alcuni dati sono stati corretti automaticamente \n premere ok per continuare";
// The lever tolerance of the free-to-trim search [m].
inline constexpr double kInclinedLeverTolerance = 0.002;
// The result grid as the dialog creates it.
inline constexpr int kInclinedGridRows = 10;
inline constexpr int kInclinedGridCols = 6;
// Larger tables are refused rather than held in memory for hours.
inline constexpr long kMaxInclinedCells = 1000000;

// The grid as the dialog opens it: 10 x 6 cells, "Teta [°]" at (0, 1),
// "V [m^3]" at (1, 0) and "KZ [m]" at (1, 1).
void WriteInclinedHeaders(CTextGrid& grid);
// Choosing a calculation kind: "KZ [m]" or "GZ [m]" at (1, 1), nothing else.
void SetInclinedLeverHeader(CTextGrid& grid, CalculationKind kind);

// The values the dialog sets on opening: the construction values, then the
// body wholly immersed (volume and centroid, to 3 decimals) for Vmax and G,
// Vi = Vf = Vmax / 2, dV = 0, precision 0.1.
void OpenInclinedTable(const CShipModel& ship, CInclinedInputs& inputs);

// The ten corrections of a run's inputs, in their order; true when any of
// them changed a value (the dialog then shows kInclinedCorrected).
bool CorrectInclinedInputs(CInclinedInputs& inputs);

// A message refusing the (corrected) inputs, or null: a field that is not a
// finite number, or a table of more than kMaxInclinedCells cells.
const char* CheckInclinedInputs(const CInclinedInputs& inputs);

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

struct CInclinedCellNote {
    int row, col;  // the cell in the grid
    double volume; // [m^3]
    double angle;  // [deg]
    CInclinedFault fault;
};

// Text of a note, naming the cell and the reason, for the command line.
std::string DescribeInclinedNote(const CInclinedCellNote& note);

// Computes the table for corrected inputs; does nothing and returns false
// when Vmax <= 0. The grid takes nV + 3 rows and nA + 3 columns (cells that
// remain keep their text); angles, volumes and levers are written as the
// dialog writes them, XBEqualsXG leaving the levers as they were. A drawing,
// whose head and tail the caller writes, receives one 3D polyline per volume
// with a point per computed cell. KZ cells are independent and run on all
// cores, handed over in the serial order; GZ cells run in order, each search
// starting from the trim and draught of the one before. Progress goes to
// volumes (0 .. nV + 1) and angles (0 .. nA + 1), either may be null, and a
// note per cell shown as "-" goes to notes when given. A requested stop
// throws CCalculationStopped between cells, grid, drawing and notes then
// partly written.
bool ComputeInclinedTable(const CShipModel& ship, const CInclinedInputs& inputs, CTextGrid& grid,
                          CDxfFile* trajectories, CProgress* volumes, CProgress* angles,
                          std::vector<CInclinedCellNote>* notes,
                          const CStopRequest* stop = nullptr);
