// The trim of a body wholly under water ("Assetto corpo totalmente
// immerso"): the trim at which the centre of gravity, with the liquid loads
// of the tanks moving as the body trims, lies vertically under the centre
// of buoyancy.
#pragma once

#include "CalcProblem.h"
#include "CalcRun.h"
#include "geometry/HydroMethod.h"

class CShipModel;

// The dialog's fields, all 0 at construction.
struct CSubmergedTrimInputs {
    double x = 0, y = 0, z = 0; // centre of gravity without the liquid loads [m]
    double weight = 0;          // displacement without the liquid loads [t]
    double tolerance = 0;       // on the longitudinal lever [m]
    double heel = 0;            // "Teta x" [rad]: places the liquids
    double trim = 0;            // "Teta y" [rad]: where the search starts
    // The tables' one-point rule, or the exact one ("Integrazione esatta"):
    // the body's centre, the liquids and the compartments by it.
    IntegrationRule rule = IntegrationRule::onePoint;
};

// The tolerance the dialog opens with [m]: a search held to a lever of
// exactly 0 never settles.
inline constexpr double kSubmergedTrimTolerance = 1e-4;

// Where the body rests: the heel it was given and the trim found [deg],
// each rounded to 5 decimals; and the weights that decide whether it can
// rest there at all [t].
struct CSubmergedTrim {
    double heel = 0, trim = 0;
    double weight = 0;    // without the liquid loads, plus the enabled tanks' loads
    double displaced = 0; // the sea water the whole body displaces (the ship's density)
};

// Whether weight and displaced agree within tolerance, taken relative to the
// displaced weight: otherwise the body would rise to the surface or sink,
// and the trim found holds only for a body kept wholly under water.
bool FloatsWhollySubmerged(const CSubmergedTrim& result, double tolerance);

// A field that is not a finite number (notANumber), a ship with no enabled
// volume (noVolume), a negative displacement (notAtLeast "weight"), or a
// body with no weight to take a centre of gravity from (noWeight).
CCalcCheck CheckSubmergedTrim(const CShipModel& ship, const CSubmergedTrimInputs& inputs);

// Runs the search from heel and trim, each less its whole turns, for inputs
// that pass the check. A search that does not settle throws CCalcFailure
// (notSettled); a stop requested before it ends throws
// CCalculationStopped.
CSubmergedTrim ComputeSubmergedTrim(const CShipModel& ship, const CSubmergedTrimInputs& inputs,
                                    const CCalcRun& run = {});
