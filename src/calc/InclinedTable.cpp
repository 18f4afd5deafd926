#include "InclinedTable.h"
#include "ParallelInOrder.h"
#include "StepCount.h"
#include "UprightTable.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/Scalar.h"
#include "model/CLoading.h"
#include "model/CShipModel.h"

#include <cmath>

namespace {

// The record's lever and centre, once the draught (and trim) are known.
void Finish(const CShipModel& ship, const CHydroMethod& method, double draught, double heel,
            double trim, const CVector3* g, CInclinedCell& cell) {
    cell.computed = true;
    CRotationMatrix r;
    r.SetRotation(heel, trim, 0);
    thread_local CHydroProperties record;
    // The one-point rule's sums are those it gives collecting its waterline.
    record.SetCollect(!method.IsExact());
    ship.ImmersedProperties(record, draught, r, method);
    if (record.m_volume == 0) {
        cell.fault = CInclinedFault::noValue;
        return;
    }
    cell.lever = g ? record.RightingLever(*g, draught, heel, trim)
                   : record.CrossCurveLever(draught, heel, trim);
    record.BuoyancyCentre(cell.buoyancy, draught, heel, trim);
    cell.ok = std::isfinite(cell.lever) && std::isfinite(cell.buoyancy.X()) &&
              std::isfinite(cell.buoyancy.Y()) && std::isfinite(cell.buoyancy.Z());
    if (!cell.ok)
        cell.fault = CInclinedFault::noValue;
}

// KZ: the ship upright in trim, heeled by heel, floating at volume; every
// cell searches its draught from 0.
void ComputeKZ(const CShipModel& ship, const CInclinedInputs& in, double total, double volume,
               double heel, CInclinedCell& cell) {
    cell.computed = true;
    if (!(volume > 0) || volume > total) {
        cell.fault = CInclinedFault::volumeOutOfRange;
        return;
    }
    CRotationMatrix r;
    r.SetRotation(heel, 0, 0);
    double draught = 0;
    const CHydroMethod method = CHydroMethod::For(in.rule);
    if (ship.FindDraught(volume, r, draught, in.precision, total, method) !=
        SearchStatus::converged) {
        cell.fault = CInclinedFault::notConverged;
        return;
    }
    Finish(ship, method, draught, heel, 0, nullptr, cell);
}

// GZ: the ship free to trim; trim and draught carry over from the cell
// before and are left as they were when this cell has no value. A stop
// requested ends the search at its next attitude.
void ComputeGZ(const CShipModel& ship, const CInclinedInputs& in, double total, double volume,
               double heel, const CVector3& g, double& trim, double& draught, CInclinedCell& cell,
               const CStopRequest* stop) {
    cell.computed = true;
    if (!(volume > 0) || volume > total) {
        cell.fault = CInclinedFault::volumeOutOfRange;
        return;
    }
    double t = trim, d = draught;
    const CHydroMethod method = CHydroMethod::For(in.rule);
    // G without the liquids weighs what the water displaced weighs, less
    // the liquids.
    const CLoading loading(ship, volume * ship.GetSeaDensity() - ship.TankLoadWeight(), g, method);
    const SearchStatus found = ship.FindTrimEquilibrium(
        [&](double h, double tt, CVector3& at) {
            return !(stop && stop->Requested()) &&
                   loading.GravityAt(h, tt, at) != SearchStatus::notConverged;
        },
        volume, heel, t, d, in.precision, kInclinedLeverTolerance, method);
    ThrowIfStopped(stop);
    if (found != SearchStatus::converged) {
        cell.fault = CInclinedFault::notConverged;
        return;
    }
    Finish(ship, method, d, heel, t, &g, cell);
    if (cell.ok) {
        trim = t;
        draught = d;
    }
}

} // namespace

void OpenInclinedTable(const CShipModel& ship, CInclinedInputs& in) {
    const IntegrationRule rule = in.rule;
    in = CInclinedInputs();
    in.rule = rule;
    const CImmersedBody body = ImmersedBody(ship, CHydroMethod::For(rule));
    in.vmax = body.volume;
    in.xg = body.xb;
    in.yg = body.yb;
    in.zg = body.zb;
    in.vi = in.vmax * 0.5;
    in.vf = in.vi;
    in.dv = 0;
    in.precision = 0.1;
}

bool CorrectInclinedInputs(CInclinedInputs& in) {
    bool corrected = false;
    auto set = [&](double& field, double value) {
        field = value;
        corrected = true;
    };
    if (in.af > 360)
        set(in.af, 360);
    if (in.ai < 0)
        set(in.ai, 0);
    if (in.af <= 0)
        set(in.af, 15);
    if (in.ai > in.af)
        set(in.ai, in.af);
    if (in.af - in.ai < in.da || in.da < 0)
        set(in.da, in.af - in.ai);
    if (in.vi < 0)
        set(in.vi, 0);
    if (in.vf <= 0)
        set(in.vf, in.vmax / 2);
    if (in.vf > in.vmax)
        set(in.vf, in.vmax);
    if (in.vi > in.vf)
        set(in.vi, in.vf);
    if (in.vf - in.vi < in.dv || in.dv < 0)
        set(in.dv, in.vf - in.vi);
    return corrected;
}

CCalcCheck CheckInclinedInputs(const CInclinedInputs& in) {
    for (const auto& [name, value] :
         {std::pair{"xg", in.xg}, std::pair{"yg", in.yg}, std::pair{"zg", in.zg},
          std::pair{"precision", in.precision}, std::pair{"vmax", in.vmax}, std::pair{"vf", in.vf},
          std::pair{"vi", in.vi}, std::pair{"dv", in.dv}, std::pair{"ai", in.ai},
          std::pair{"af", in.af}, std::pair{"da", in.da}})
        if (!std::isfinite(value))
            return Problem(CalcRule::notANumber, name, value);
    const double volumes = in.dv == 0 || in.vf == in.vi ? 0 : StepCount(in.vf - in.vi, in.dv);
    const double angles = in.da == 0 || in.af == in.ai ? 1 : StepCount(in.af - in.ai, in.da);
    if (!((volumes + 1) * (angles + 1) <= kMaxInclinedCells))
        return Problem(CalcRule::tooMany, "dv", (volumes + 1) * (angles + 1), kMaxInclinedCells,
                       "da");
    if (!(in.vmax > 0))
        return Problem(CalcRule::noVolume, "vmax", in.vmax);
    return std::nullopt;
}

int InclinedVolumeCount(const CInclinedInputs& in) {
    if (in.dv == 0 || in.vf == in.vi)
        return 0;
    return static_cast<int>(StepCount(in.vf - in.vi, in.dv));
}

int InclinedAngleCount(const CInclinedInputs& in) {
    if (in.da == 0 || in.af == in.ai)
        return 1;
    return static_cast<int>(StepCount(in.af - in.ai, in.da));
}

std::vector<CInclinedCellNote> InclinedNotes(const CInclinedTable& table) {
    std::vector<CInclinedCellNote> notes;
    for (std::size_t i = 0; i < table.angles.size(); ++i)
        for (std::size_t j = 0; j < table.volumes.size(); ++j)
            if (const CInclinedCell& c = table.At(i, j); c.computed && !c.ok)
                notes.push_back({static_cast<int>(j) + 2, static_cast<int>(i) + 2, table.volumes[j],
                                 table.angles[i], c.fault});
    return notes;
}

std::vector<std::vector<CVector3>> InclinedTrajectories(const CInclinedTable& table) {
    std::vector<std::vector<CVector3>> paths(table.volumes.size());
    for (std::size_t i = 0; i < table.angles.size(); ++i)
        for (std::size_t j = 0; j < table.volumes.size(); ++j)
            if (const CInclinedCell& c = table.At(i, j); c.computed && c.ok)
                paths[j].push_back(c.buoyancy);
    return paths;
}

CInclinedTable ComputeInclinedTable(const CShipModel& ship, const CInclinedInputs& in,
                                    const CCalcRun& run) {
    const int nV = InclinedVolumeCount(in), nA = InclinedAngleCount(in);
    const double total = ship.TotalVolume(CHydroMethod::For(in.rule));
    const CVector3 g(in.xg, in.yg, in.zg);
    CProgress* const volumes = run.progress;
    CProgress* const angles = run.outer;
    if (volumes)
        volumes->SetRange(0, nV + 1);
    if (angles)
        angles->SetRange(0, nA + 1);
    CInclinedTable table;
    for (int j = 0; j <= nV; ++j)
        table.volumes.push_back(j * in.dv + in.vi);
    // The angle as typed labels the column; the ship is heeled by it less
    // its whole turns.
    for (int i = 0; i <= nA; ++i)
        table.angles.push_back(RadToDeg(DegToRad(i * in.da + in.ai)));
    const auto heelAt = [&](int i) { return DegToRad(WithoutWholeTurns(i * in.da + in.ai)); };
    const auto rows = static_cast<std::size_t>(nV + 1);
    table.cells.resize(rows * static_cast<std::size_t>(nA + 1));
    // Progress in the order of the loops: angles outside, volumes inside.
    const auto deliver = [&](int i, int j) {
        if (j == 0 && angles)
            angles->SetPos(i + 1);
        if (volumes)
            volumes->SetPos(j + 1);
    };
    const auto cellAt = [&](int i, int j) -> CInclinedCell& {
        return table.cells[static_cast<std::size_t>(i) * rows + static_cast<std::size_t>(j)];
    };

    if (in.kind == EvenKeelKZ) {
        // Every cell starts from draught 0 at trim 0: they run on all cores and
        // are handed over in order as soon as every cell before them is done.
        const long count = static_cast<long>(rows) * (nA + 1);
        ParallelInOrder(
            count,
            [&](long k) {
                const int i = static_cast<int>(k / static_cast<long>(rows));
                const int j = static_cast<int>(k % static_cast<long>(rows));
                ComputeKZ(ship, in, total, table.volumes[static_cast<std::size_t>(j)], heelAt(i),
                          cellAt(i, j));
            },
            [&](long k) {
                deliver(static_cast<int>(k / static_cast<long>(rows)),
                        static_cast<int>(k % static_cast<long>(rows)));
            },
            run.stop);
    } else {
        double trim = 0, draught = 0;
        for (int i = 0; i <= nA; ++i)
            for (int j = 0; j <= nV; ++j) {
                if (in.kind == FreeToTrimGZ) {
                    ThrowIfStopped(run.stop);
                    ComputeGZ(ship, in, total, table.volumes[static_cast<std::size_t>(j)],
                              heelAt(i), g, trim, draught, cellAt(i, j), run.stop);
                }
                deliver(i, j);
            }
    }
    return table;
}
