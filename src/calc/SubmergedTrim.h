// The trim of a body wholly under water ("Assetto corpo totalmente
// immerso"): the trim at which the centre of gravity, with the liquid loads
// of the tanks moving as the body trims, lies vertically under the centre
// of buoyancy.
#pragma once

#include "StopRequest.h"
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

inline constexpr const char* kSubmergedTrimDone = "Calcolo eseguito";

// Runs the search from heel and trim, each less its whole turns, and, when
// it settles, writes both angles back in degrees rounded to 5 decimals and
// returns null. Otherwise returns the message that refuses the inputs and
// leaves them as they were: a field that is not a finite number, a ship
// with no enabled volume, a body with no weight to take a centre of gravity
// from (or a negative displacement), or a search that does not settle. A
// stop requested before the search ends throws CCalculationStopped, the
// inputs left as they were.
const char* ComputeSubmergedTrim(const CShipModel& ship, CSubmergedTrimInputs& inputs,
                                 const CStopRequest* stop = nullptr);
