// Tank calibration tables: per tank, by sounding and trim, the liquid the
// tank holds when its free surface stands at that sounding, and the inverse,
// the sounding of a given volume; by the exact integration rule.
//
// Sounding. A tank is sounded along its sounding pipe (the conditions
// file's: the pipe's lower end P and its upward direction u, made a unit
// vector), or, without one, along the ship's vertical (u = z) through the
// plan centre (x, y) of its volume's centroid, from the tank's lowest z (P).
// The sounding s puts the liquid's free surface through the point P + s u,
// parallel to the waterplane of the row's attitude, SetRotation(heel, trim,
// 0) as everywhere in the engine: heel positive when the side towards +y
// goes down, trim positive when the end towards +x rises. In the frame of
// that waterplane the surface is z' = r3 . (P + s u), r3 the rotation's
// last row; a pipe that rises less than kLeastPipeRise of its length
// through that surface lies in it and reads no level. Along the ship's
// vertical at even keel, the sounding is the height of the surface above
// the tank's lowest point.
//
// Ullage: the length along the pipe from P + s u to where the pipe's line
// leaves the tank's highest extent along it, max over the tank's vertices
// of u . p, less u . (P + s u); for the vertical pipe, zmax - zmin - s.
// Negative for a sounding above the tank's top.
//
// Empty and full. A surface at or below the tank's lowest point at the
// row's attitude leaves it empty: volume, filling ratio, weight and
// free-surface moments 0, and no centre (no value: "-" in TSV and CSV,
// null in JSON). A surface at or above its highest point fills it: its
// whole volume and centre, and no free surface (moments 0), as a tank
// pressed up holds its liquid in a loading condition.
//
// Default soundings: every 0.1 m, or a twentieth of the tank's height
// along the pipe if that is larger, from the sounding at which the surface
// upright at even keel touches the tank's lowest point (empty) to the one
// at which it touches its highest (full), both ends included.
//
// Columns, one record per tank, trim and sounding (in that order, each as
// given; lengths in m, ship axes):
//   tank        the tank's name
//   heel, trim  [deg], less their whole turns
//   sounding    s, as given or as found for a volume
//   ullage      as above
//   V           the liquid's volume [m^3]: the tank's part under the
//               surface, closed forms over its panels (geometry/
//               HydroMethod.h, the exact rule)
//   fill        V over the tank's volume
//   weight      V times the density [t]: the one given, or the tank's own
//               specific weight / 1000
//   LCG, TCG, VCG  the centre of the liquid, as a loading condition places
//               a tank's liquid at that attitude (CTank::LiquidOf)
//   FSMt, FSMl  the free-surface moments rho i [t m], i the second moment
//               of the surface about its own centroidal fore-and-aft axis
//               (x' of the waterplane frame: transverse) or athwartship
//               axis (y': longitudinal), as the stability curve takes them
//               (FreeSurfaceInertia)
//
// The inverse: rows at given volumes, the level found by the search the
// stability curve uses for a tank's load (FindLevel, to within 1e-10 of
// the volume), its sounding read back along the pipe; a volume of 0 gives
// the sounding at which the surface touches the lowest point, the tank's
// volume the one at which it touches the highest.
#pragma once

#include "CProgress.h"
#include "CalcProblem.h"
#include "RecordTable.h"
#include "StopRequest.h"

#include "geometry/CVector3.h"
#include "model/CLoadingCondition.h"
#include "model/SearchStatus.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class CShipModel;
class CTank;

struct CTankTableInputs {
    std::vector<std::string> tanks;   // by name, in this order; empty: every tank of the ship
    std::vector<double> soundings;    // [m]; empty: each tank's default
    std::vector<double> volumes;      // [m^3]; when given, the rows are at these instead
    std::vector<double> trims;        // [deg], less their whole turns; empty: 0 alone
    double heel = 0;                  // [deg], less its whole turns
    std::optional<double> density;    // [t/m^3]; none: each tank's own
    std::vector<CSoundingPipe> pipes; // the ship's sounding pipes, by tank name
};

// A pipe that rises less than this fraction of its length through the free
// surface lies in it.
inline constexpr double kLeastPipeRise = 1e-6;
// More rows (tanks x trims x soundings) are refused rather than held.
inline constexpr std::size_t kMaxTankRows = 1000000;

// Where a tank is sounded: the pipe's lower end and unit direction (ship
// axes), and the soundings at which the surface upright at even keel
// touches the tank's lowest and highest points, and at which the pipe's
// line leaves the tank's highest extent along it (ullage 0).
struct CTankSounding {
    CVector3 point, direction;
    double empty = 0, full = 0, top = 0;
};
// The sounding of tank along its pipe among pipes (by the tank's name), or
// the vertical one; false when the tank has no vertex or no volume.
bool TankSoundingOf(const CTank& tank, const std::vector<CSoundingPipe>& pipes,
                    CTankSounding& sounding);
// The default soundings of a tank sounded so (see above).
std::vector<double> DefaultSoundings(const CTankSounding& sounding);

// The typed values: heel or a trim not a number or, less its whole turns,
// of 90 deg or more in size (notANumber, notBelow "heel" or "trims", 90), a density not above 0
// (notAbove "density"), a sounding or volume not a number (notANumber
// "soundings" or "volumes"), a volume below 0 (notAtLeast "volumes", 0).
CCalcCheck CheckTankTableInputs(const CTankTableInputs& in);
// The ship: a name that is no tank of it (unknownElement "tanks", naming it),
// a tank of no volume (noVolume, naming it: no vertex, or its panels enclose
// none), a tank whose own specific weight is not a number or negative when
// no density is given (negativeDensity, naming it), a pipe that lies in the
// free surface at a trim (alongSurface, naming the tank, the trim as value
// and the heel as limit; upright at even keel too for the default
// soundings),
// a volume above a tank's by more than 1e-9 of it (tankOverfilled, naming
// it), more than kMaxTankRows rows (tooMany).
CCalcCheck CheckTankTableShip(const CShipModel& ship, const CTankTableInputs& in);

// The columns of the records, for a front end to head an empty table.
std::vector<CRecordColumn> TankTableColumns();

// The records, the inputs having passed both checks. Rows are computed on
// all cores, with a serial run's bits. A requested stop throws
// CCalculationStopped between rows; progress counts the rows done, in
// order. A volume whose level is not found throws CCalcFailure
// (notSettled "volumes", naming the tank, the volume as value).
CRecordTable ComputeTankTable(const CShipModel& ship, const CTankTableInputs& in,
                              const CStopRequest* stop = nullptr, CProgress* progress = nullptr);

// The sounding at which tank, sounded so, holds volume [m^3] with its
// surface parallel to the waterplane of heel and trim [deg]: the level
// found to within 1e-10 of the volume (converged), or outOfRange (sounding
// untouched) for a volume below 0 or above the tank's, notConverged when the
// search does not settle or the pipe lies in the surface.
SearchStatus SoundingForVolume(const CTank& tank, const CTankSounding& sounding, double heel,
                               double trim, double volume, double& result);
