// The Bonjean tables ("Tabelle del bonjean"): for 21 equally spaced
// stations and any additional ones, the area of each transverse section
// below a series of waterlines ("Aree [m^2]") and the moment of that area
// about the base plane z = 0 ("Sxy - My (m^3)"); and the outlines of the
// same sections as a DXF drawing.
#pragma once

#include "CalcProblem.h"
#include "CalcRun.h"

#include <functional>

#include <string>
#include <vector>

class CSectionContour;
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

inline constexpr int kBonjeanRegularStations = 21;
// Larger tables are refused rather than held in memory.
inline constexpr int kMaxBonjeanWaterlines = 100000;
inline constexpr long kMaxBonjeanCells = 2000000;

// The hull's box into data; false (data left at 0) when no hull element has
// a vertex, which the front ends then say.
bool OpenBonjeanTables(const CShipModel& ship, CBonjeanModelData& data);

// What refuses the inputs: no ship (noHull, ship null when the dialog has
// no model), a field that is not a number, Zstart above Zend (aboveOther),
// station 0 before the hull's first x (notAtLeast), a range narrower than
// dz (narrowerThanStep), dz 0 over a range that is not (zeroStep), dz
// negative (notAtLeast) or so fine that the waterlines could not be held
// (tooMany "dz"), or more than kMaxBonjeanCells cells (tooMany "extra").
CCalcCheck CheckBonjeanInputs(const CShipModel* ship, const CBonjeanInputs& inputs,
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

// The tables: for each waterline (rows) and station (columns) the area of
// the section below the waterline and its moment about the base plane.
struct CBonjeanTables {
    std::vector<double> waterlines; // z [m], accumulated by adding dz
    std::vector<double> extra;      // the additional station numbers
    // [k * stations + j] for waterline k and station j: the 21 regular
    // stations, then the additional ones.
    std::vector<double> areas, moments;
    int Stations() const { return kBonjeanRegularStations + static_cast<int>(extra.size()); }
};

// The tables for accepted inputs. Stations are cut and integrated on all
// cores; run.progress reports stations (0 .. m) in the serial order. A
// requested stop throws CCalculationStopped between stations.
CBonjeanTables ComputeBonjeanTables(const CShipModel& ship, const CBonjeanInputs& inputs,
                                    const CBonjeanModelData& data, const CCalcRun& run = {});

// Hands the section outline of every station, in order, to sections, for
// a drawing. A requested stop throws CCalculationStopped between stations.
using CSectionSink = std::function<void(const CSectionContour& contour)>;
void ExtractBonjeanSections(const CShipModel& ship, const CBonjeanInputs& inputs,
                            const CBonjeanModelData& data, const CSectionSink& sections,
                            const CCalcRun& run = {});
