// The Bonjean tables ("Tabelle del bonjean"): for 21 equally spaced
// stations and any additional ones, the area of each transverse section
// below a series of waterlines ("Aree [m^2]") and the moment of that area
// about the base plane z = 0 ("Sxy - My (m^3)"); and the outlines of the
// same sections as a DXF drawing.
#pragma once

#include "CProgress.h"
#include "CTextGrid.h"

#include <string>
#include <vector>

class CDxfFile;
class CShipModel;

// The dialog's fields, all 0 at opening.
struct CBonjeanInputs {
    double zstart = 0, zend = 0, dz = 0; // waterlines [m]
    double station0 = 0;                 // x of "Ord. 0" [m]
    double station20 = 0;                // x of "Ord. 20" [m]
    // "Sezioni aggiuntive": station numbers one per line, lines ended by
    // CR LF (or TAB-separated).
    std::string extra;
};

// "Dati modello": the hull's box, 0 until it is known.
struct CBonjeanModelData {
    double xmin = 0, xmax = 0, zmin = 0, zmax = 0;
};

inline constexpr const char* kBonjeanNoHull =
    "C'è stato qualche problema nel calcolo delle dimensioni principali del modello 'scafo'! "
    "\n Si è sicuri di aver caricato la carena?";
inline constexpr int kBonjeanRegularStations = 21;
// Larger tables are refused rather than held in memory.
inline constexpr int kMaxBonjeanWaterlines = 100000;
inline constexpr long kMaxBonjeanCells = 2000000;

// The hull's box into data; false (data left at 0) when no hull element has
// a vertex, and the dialog then shows kBonjeanNoHull.
bool OpenBonjeanTables(const CShipModel& ship, CBonjeanModelData& data);

// The message refusing the inputs, or null; ship is null when the dialog
// has no model.
const char* CheckBonjeanInputs(const CShipModel* ship, const CBonjeanInputs& inputs,
                               const CBonjeanModelData& data);

// Number of waterlines: 1 when dz = 0, otherwise StepCount(Zend - Zstart, dz) + 1.
int BonjeanWaterlineCount(const CBonjeanInputs& inputs);

// The additional station numbers: the entries up to the first empty one (an
// empty line), each one number, blanks around it allowed; reading stops at
// an entry that is not one, which CheckBonjeanInputs refuses.
std::vector<double> ReadAdditionalStations(const std::string& text);
// The first of those entries that is not a number, when there is one.
bool FindStationThatIsNotANumber(const std::string& text, std::string& entry);

// The x of every station, regular and additional, for the tables or for
// the drawing (which nudge stations off the hull's ends differently).
std::vector<double> BonjeanStations(const CBonjeanInputs& inputs, const CBonjeanModelData& data,
                                    bool forDrawing);

// Fills both grids for accepted inputs: nz + 1 rows and m + 1 columns,
// station headers in row 0, waterline heights in column 0, (0, 0) empty.
// Stations are cut and integrated on all cores; progress reports stations
// (0 .. m) and waterlines (0 .. nz) in the serial order; either may be null.
void ComputeBonjeanTables(const CShipModel& ship, const CBonjeanInputs& inputs,
                          const CBonjeanModelData& data, CTextGrid& areas, CTextGrid& moments,
                          CProgress* stations, CProgress* waterlines);

// Writes the section outlines of every station, as LINE entities of colour
// 1, between the drawing's head and tail, which the caller writes.
void ExtractBonjeanSections(const CShipModel& ship, const CBonjeanInputs& inputs,
                            const CBonjeanModelData& data, CDxfFile& drawing, CProgress* stations);
