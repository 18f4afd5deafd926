// Curves of form: the hydrostatics of the ship at a series of draughts, at a
// fixed heel and trim, by the exact integration rule, one record per draught.
//
// Datums (ShipDatums.h). Heights are measured from the baseline (z =
// baseline in ship axes, by default z = 0, the drawings' datum). The
// perpendiculars are given, or taken at the ends of the level waterline
// (upright, even keel) at the deepest draught asked for; with the default
// draughts, or when that waterplane does not cut the hull, at the ends of
// the hull. The midship station lies halfway between them. Every row
// depends only on its own draught, the attitude and these datums: the same
// draught gives the same row whatever else is asked.
//
// Frame and draught. The ship is carried into the frame of the inclined
// waterplane by SetRotation(heel, trim, 0). The draught T of a row is read
// as a draught mark is: the height above the baseline at which the
// waterplane crosses the ship's vertical at the midship station on the
// centreline. TA and TF are read the same way at the perpendiculars.
//
// Columns (lengths in m, ship axes unless said otherwise):
//   T          draught at the midship station, from the baseline
//   TA, TF     draughts at the aft and fore perpendiculars
//   trim       TA - TF [m], positive by the stern
//   V          immersed volume: hull elements, plus compartments times
//              their permeability (flooded compartments face inwards)
//   Disp       displacement rho V [t]
//   LCB, TCB   centre of buoyancy, x and y in ship axes
//   KB         height of the centre of buoyancy above the baseline point
//              K at the midship station on the centreline, square to the
//              waterplane
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
//   Am         immersed area of the midship section (the transverse plane
//              at the midship station) below the (inclined) waterplane
//   Cb         V / (Lwl Bwl T)
//   Cm         Am / (Bwl T)
//   Cp         V / (Am Lwl) = Cb / Cm
//   Cwp        Awp / (Lwl Bwl)
// A waterplane that only touches the hull counts as none (Awp 0). A value
// that cannot be formed (no volume, no waterplane, a zero denominator, a
// coefficient at a draught of 0 or less) is left without a value.
#pragma once

#include "CProgress.h"
#include "CalcProblem.h"

#include "RecordTable.h"
#include "ShipDatums.h"
#include "StopRequest.h"

#include <string>
#include <vector>

class CShipModel;

struct CCurvesOfFormInputs {
    // Draughts T at the midship station from the baseline [m]; empty: ten
    // waterplanes in equal steps from a tenth of the depth (lowest to
    // highest point of the hull, square to the waterplane) to the whole.
    std::vector<double> draughts;
    double heel = 0;             // [deg], taken less its whole turns; below 90 in size
    double trim = 0;             // [deg], taken less its whole turns; below 90 in size
    double density = 1.025;      // sea water [t/m^3]
    double baseline = 0;         // z of the baseline [m]
    bool perpendiculars = false; // ap and fp given
    double ap = 0, fp = 0;       // [m], x in ship axes
    // [m], without the perpendiculars: they stand lpp apart about the
    // middle of the default ones; 0: none given.
    double lpp = 0;
};

// The depth of the hull in the attitude: keel to highest point, square to
// the waterplane. False when no hull element has a vertex.
bool HullDepth(const CShipModel& ship, double heel, double trim, double& depth);

// The typed values: heel, trim, baseline or a perpendicular not a number
// (notANumber), heel or trim of 90 deg or more in size (notBelow: the
// ship's vertical would lie in the waterplane), a density not above 0
// (notAbove), an Lpp below 0 (notAtLeast), perpendiculars at one station
// (notAbove "lpp", 0), more than kMaxDraughts draughts (tooMany), a draught
// that is not a number (notANumber "draughts").
CCalcCheck CheckCurvesOfFormInputs(const CCurvesOfFormInputs& in);
// The datums of the table (see above); the ship must have a hull element.
CShipDatums CurvesOfFormDatums(const CShipModel& ship, const CCurvesOfFormInputs& in);
// The ship: no hull element with vertices (noHull), a draught that puts
// the waterplane below the hull's lowest point (belowHull "draughts": the
// draught, and as limit the draught at which the waterplane touches it), a
// draught more than kFarDraughts times the hull's depth above its lowest
// point (farOffHull "draughts": the draught, the factor, the depth as
// size), where the waterplane's height would swamp the hull's own
// coordinates in the moments, and nothing changes anyway.
inline constexpr double kFarDraughts = 1000;
// More draughts are refused rather than held in memory.
inline constexpr std::size_t kMaxDraughts = 100000;
CCalcCheck CheckCurvesOfFormShip(const CShipModel& ship, const CCurvesOfFormInputs& in);

// The columns of the records, for a front end to head an empty table.
std::vector<CRecordColumn> CurvesOfFormColumns();

// The records, one per draught in the order given; datums receives the
// datums used. Rows are computed on all cores; the result is the same as a serial
// run, bit for bit. The ship must have a hull element with vertices. A
// requested stop throws CCalculationStopped between rows; progress counts
// the rows done, in order, out of the draughts.
CRecordTable ComputeCurvesOfForm(const CShipModel& ship, const CCurvesOfFormInputs& in,
                                 CShipDatums* datums = nullptr, const CStopRequest* stop = nullptr,
                                 CProgress* progress = nullptr);
