#include "SubmergedTrim.h"

#include "geometry/Scalar.h"
#include "model/CShipModel.h"

#include <cmath>

const char* ComputeSubmergedTrim(const CShipModel& ship, CSubmergedTrimInputs& in,
                                 const CStopRequest* stop) {
    for (double v : {in.x, in.y, in.z, in.weight, in.tolerance, in.heel, in.trim})
        if (!std::isfinite(v))
            return "Immettere un numero.";
    const CHydroMethod method = CHydroMethod::For(in.rule);
    double area, volume;
    CVector3 centroid;
    ship.VolumeCentroid(area, volume, centroid, method);
    if (!(volume > 0))
        return "The ship has no enabled volume: enable a hull element or a compartment";
    if (in.weight < 0)
        return "The displacement without the liquid loads cannot be negative";
    if (!(in.weight + ship.TankLoadWeight() > 0))
        return "The body has no weight: give its displacement without the liquid loads, or load "
               "an enabled tank";
    const double heel = RadiansWithoutWholeTurns(in.heel);
    double trim = RadiansWithoutWholeTurns(in.trim);
    const SearchStatus status =
        ship.FindSubmergedTrim(CVector3(in.x, in.y, in.z), in.weight, heel, trim,
                               static_cast<float>(in.tolerance), method);
    // The search itself runs to its end: its steps weigh the tanks' liquids
    // only, the hull being summed once before it.
    ThrowIfStopped(stop);
    if (status != SearchStatus::converged || !std::isfinite(trim))
        return "The trim search did not settle: the lever does not come within the tolerance";
    in.heel = RoundTo(RadToDeg(heel), 5);
    in.trim = RoundTo(RadToDeg(trim), 5);
    return nullptr;
}
