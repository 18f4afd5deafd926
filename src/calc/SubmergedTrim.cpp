#include "SubmergedTrim.h"

#include "geometry/Scalar.h"
#include "model/CShipModel.h"

#include <cmath>

CCalcCheck CheckSubmergedTrim(const CShipModel& ship, const CSubmergedTrimInputs& in) {
    for (const auto& [name, value] :
         {std::pair{"x", in.x}, std::pair{"y", in.y}, std::pair{"z", in.z},
          std::pair{"weight", in.weight}, std::pair{"tolerance", in.tolerance},
          std::pair{"heel", in.heel}, std::pair{"trim", in.trim}})
        if (!std::isfinite(value))
            return Problem(CalcRule::notANumber, name, value);
    double area, volume;
    CVector3 centroid;
    ship.VolumeCentroid(area, volume, centroid, CHydroMethod::For(in.rule));
    if (!(volume > 0))
        return Problem(CalcRule::noVolume, {}, volume);
    if (in.weight < 0)
        return Problem(CalcRule::notAtLeast, "weight", in.weight);
    if (!(in.weight + ship.TankLoadWeight() > 0))
        return Problem(CalcRule::noWeight, "weight", in.weight);
    return std::nullopt;
}

CSubmergedTrim ComputeSubmergedTrim(const CShipModel& ship, const CSubmergedTrimInputs& in,
                                    const CCalcRun& run) {
    const double heel = RadiansWithoutWholeTurns(in.heel);
    double trim = RadiansWithoutWholeTurns(in.trim);
    const SearchStatus status =
        ship.FindSubmergedTrim(CVector3(in.x, in.y, in.z), in.weight, heel, trim,
                               static_cast<float>(in.tolerance), CHydroMethod::For(in.rule));
    // The search itself runs to its end: its steps weigh the tanks' liquids
    // only, the hull being summed once before it.
    ThrowIfStopped(run.stop);
    if (status != SearchStatus::converged || !std::isfinite(trim))
        throw CCalcFailure(Problem(CalcRule::notSettled, "tolerance", in.tolerance));
    double area, volume;
    CVector3 centroid;
    ship.VolumeCentroid(area, volume, centroid, CHydroMethod::For(in.rule));
    // Newton's steps may carry the trim past whole turns (1347 degrees on a
    // floating barge): the attitude is the same less them.
    trim = RadiansWithoutWholeTurns(trim);
    return {RoundTo(RadToDeg(heel), 5), RoundTo(RadToDeg(trim), 5),
            in.weight + ship.TankLoadWeight(), ship.GetSeaDensity() * volume};
}

bool FloatsWhollySubmerged(const CSubmergedTrim& r, double tolerance) {
    return std::fabs(r.weight - r.displaced) <= std::fabs(tolerance) * r.displaced;
}
