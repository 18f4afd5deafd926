// Curves of form: the hydrostatics of the ship at a series of draughts, at a
// fixed heel and trim, by the exact integration rule, one record per draught.
//
// Frame and draught. The ship is carried into the frame of the inclined
// waterplane by SetRotation(heel, trim, 0). The keel is the lowest point of
// the hull elements in that frame, and the draught T is the height of the
// waterplane above it, measured square to the waterplane: upright, the
// draught from the keel; heeled or trimmed, the depth of the lowest point
// of the hull under the inclined waterplane.
//
// Columns (lengths in m, ship axes unless said otherwise):
//   T          draught from the keel, as above
//   V          immersed volume: hull elements, plus compartments times
//              their permeability (flooded compartments face inwards)
//   Disp       displacement rho V [t]
//   LCB, TCB   centre of buoyancy, x and y in ship axes
//   KB         height of the centre of buoyancy above the keel, square to
//              the waterplane
//   Awp        waterplane area
//   LCF, TCF   centre of flotation, x and y in ship axes
//   BMt, BMl   I / V, I the waterplane's second moment about the axis
//              through the centre of flotation along x' (BMt) or along y'
//              (BMl)
//   KMt, KMl   KB + BMt, KB + BMl
//   TPC        tonnes per centimetre immersion, rho Awp / 100 [t/cm]
//   MCT1cm     moment to change trim by 1 cm, Disp GMl / (100 Lpp)
//              [t m/cm], with GMl taken as BMl (no centre of gravity is
//              known to the curves of form; KB - KG is small beside BMl)
//   Lwl, Bwl   extent of the waterline along x' and along y'
//   S          wetted surface of the hull elements (compartment walls are
//              not part of it)
//   Am         immersed area of the midship section: the transverse plane
//              x = const through the middle of the waterline at the deepest
//              draught (through the middle of the hull's length when that
//              waterplane does not cut the hull), below the (inclined)
//              waterplane
//   Cb         V / (Lwl Bwl T)
//   Cm         Am / (Bwl T)
//   Cp         V / (Am Lwl) = Cb / Cm
//   Cwp        Awp / (Lwl Bwl)
// A waterplane that only touches the hull counts as none (Awp 0). A value
// that cannot be formed (no volume, no waterplane, a zero denominator) is
// left without a value.
#pragma once

#include "CalcProblem.h"

#include "RecordTable.h"
#include "StopRequest.h"

#include <string>
#include <vector>

class CShipModel;

struct CCurvesOfFormInputs {
    // Draughts T from the keel [m]; empty: ten equal steps from a tenth of
    // the depth (keel to the highest point of the hull) to the whole depth.
    std::vector<double> draughts;
    double heel = 0;        // [deg], taken less its whole turns
    double trim = 0;        // [deg], taken less its whole turns
    double density = 1.025; // sea water [t/m^3]
    double lpp = 0;         // [m]; 0: the waterline length at the deepest draught (the
                            // hull's length when that waterplane does not cut it)
};

// The depth of the hull in the attitude: keel to highest point, square to
// the waterplane. False when no hull element has a vertex.
bool HullDepth(const CShipModel& ship, double heel, double trim, double& depth);

// The typed values: heel or trim not a number (notANumber), a density not
// above 0 (notAbove), an Lpp below 0 (notAtLeast), more than kMaxDraughts
// draughts (tooMany), a draught that is not one from the keel (notAtLeast
// "draughts", the draught as the value).
CCalcCheck CheckCurvesOfFormInputs(const CCurvesOfFormInputs& in);
// The ship: no hull element with vertices (noHull), a draught more than
// kFarDraughts times the hull's depth (farOffHull "draughts": the draught,
// the factor, the depth as size), where the waterplane's height would swamp
// the hull's own coordinates in the moments, and nothing changes anyway.
inline constexpr double kFarDraughts = 1000;
// More draughts are refused rather than held in memory.
inline constexpr std::size_t kMaxDraughts = 100000;
CCalcCheck CheckCurvesOfFormShip(const CShipModel& ship, const CCurvesOfFormInputs& in);

// The records, one per draught in the order given; lpp receives the Lpp
// used. Rows are computed on all cores; the result is the same as a serial
// run, bit for bit. The ship must have a hull element with vertices. A
// requested stop throws CCalculationStopped between rows.
CRecordTable ComputeCurvesOfForm(const CShipModel& ship, const CCurvesOfFormInputs& in,
                                 double* lpp = nullptr, const CStopRequest* stop = nullptr);
