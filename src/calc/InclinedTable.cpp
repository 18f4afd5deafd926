#include "InclinedTable.h"
#include "ParallelInOrder.h"
#include "StepCount.h"
#include "UprightTable.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/Scalar.h"
#include "io/CDxfFile.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"

#include <cmath>

namespace {

const std::string kNoValue = "-";

// One computed cell: its lever and the centre of buoyancy it floated at, or
// the reason it has none.
struct CCell {
    bool ok = false;
    CInclinedFault fault = CInclinedFault::noValue;
    double lever = 0;
    CVector3 b;
};

// The record's lever and centre, once the draught (and trim) are known.
void Finish(const CShipModel& ship, double draught, double heel, double trim, const CVector3* g,
            CCell& cell) {
    CRotationMatrix r;
    r.SetRotation(heel, trim, 0);
    thread_local CHydroProperties record;
    record.SetCollect(true);
    ship.ImmersedProperties(record, draught, r);
    if (record.m_volume == 0) {
        cell.fault = CInclinedFault::noValue;
        return;
    }
    cell.lever = g ? record.RightingLever(*g, draught, heel, trim)
                   : record.CrossCurveLever(draught, heel, trim);
    record.BuoyancyCentre(cell.b, draught, heel, trim);
    cell.ok = std::isfinite(cell.lever) && std::isfinite(cell.b.X()) && std::isfinite(cell.b.Y()) &&
              std::isfinite(cell.b.Z());
    if (!cell.ok)
        cell.fault = CInclinedFault::noValue;
}

// KZ: the ship upright in trim, heeled by heel, floating at volume; every
// cell searches its draught from 0.
void ComputeKZ(const CShipModel& ship, const CInclinedInputs& in, double total, double volume,
               double heel, CCell& cell) {
    if (!(volume > 0) || volume > total) {
        cell.fault = CInclinedFault::volumeOutOfRange;
        return;
    }
    CRotationMatrix r;
    r.SetRotation(heel, 0, 0);
    double draught = 0;
    if (ship.FindDraught(volume, r, draught, in.precision, total) != SearchStatus::converged) {
        cell.fault = CInclinedFault::notConverged;
        return;
    }
    Finish(ship, draught, heel, 0, nullptr, cell);
}

// GZ: the ship free to trim; trim and draught carry over from the cell
// before and are left as they were when this cell has no value.
void ComputeGZ(const CShipModel& ship, const CInclinedInputs& in, double total, double volume,
               double heel, const CVector3& g, double& trim, double& draught, CCell& cell) {
    if (!(volume > 0) || volume > total) {
        cell.fault = CInclinedFault::volumeOutOfRange;
        return;
    }
    double t = trim, d = draught;
    if (ship.FindTrimEquilibrium(g, volume, heel, t, d, in.precision, kInclinedLeverTolerance) !=
        SearchStatus::converged) {
        cell.fault = CInclinedFault::notConverged;
        return;
    }
    Finish(ship, d, heel, t, &g, cell);
    if (cell.ok) {
        trim = t;
        draught = d;
    }
}

} // namespace

void WriteInclinedHeaders(CTextGrid& grid) {
    grid.SetSize(kInclinedGridRows, kInclinedGridCols);
    grid.SetText(0, 1, "Teta [°]");
    grid.SetText(1, 0, "V [m^3]");
    SetInclinedLeverHeader(grid, EvenKeelKZ);
}

void SetInclinedLeverHeader(CTextGrid& grid, CalculationKind kind) {
    grid.SetText(1, 1, kind == EvenKeelKZ ? "KZ [m]" : "GZ [m]");
}

void OpenInclinedTable(const CShipModel& ship, CInclinedInputs& in) {
    in = CInclinedInputs();
    const CImmersedBody body = ImmersedBody(ship);
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

const char* CheckInclinedInputs(const CInclinedInputs& in) {
    for (double x :
         {in.xg, in.yg, in.zg, in.precision, in.vmax, in.vf, in.vi, in.dv, in.ai, in.af, in.da})
        if (!std::isfinite(x))
            return "Immettere un numero.";
    const double volumes = in.dv == 0 || in.vf == in.vi ? 0 : StepCount(in.vf - in.vi, in.dv);
    const double angles = in.da == 0 || in.af == in.ai ? 1 : StepCount(in.af - in.ai, in.da);
    if (!((volumes + 1) * (angles + 1) <= kMaxInclinedCells))
        return "The table would have more than a million volume and angle cells: "
               "choose larger increments";
    return nullptr;
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

std::string DescribeInclinedNote(const CInclinedCellNote& note) {
    const char* why = "";
    switch (note.fault) {
    case CInclinedFault::volumeOutOfRange:
        why = "the volume is not within the ship's total volume";
        break;
    case CInclinedFault::notConverged:
        why = "the search did not settle";
        break;
    case CInclinedFault::noValue:
        why = "the lever is not a number";
        break;
    }
    return FormatC("cell (%d, %d), V = %.10g m^3, Teta = %.10g deg, shows \"-\": %s", note.row,
                   note.col, note.volume, note.angle, why);
}

bool ComputeInclinedTable(const CShipModel& ship, const CInclinedInputs& in, CTextGrid& grid,
                          CDxfFile* trajectories, CProgress* volumes, CProgress* angles,
                          std::vector<CInclinedCellNote>* notes) {
    if (!(in.vmax > 0))
        return false;
    const int nV = InclinedVolumeCount(in), nA = InclinedAngleCount(in);
    const double total = ship.TotalVolume();
    const CVector3 g(in.xg, in.yg, in.zg);
    grid.SetSize(nV + 3, nA + 3);
    if (volumes)
        volumes->SetRange(0, nV + 1);
    if (angles)
        angles->SetRange(0, nA + 1);
    std::vector<std::vector<CVector3>> paths(trajectories ? nV + 1 : 0);

    const auto volumeAt = [&](int j) { return j * in.dv + in.vi; };
    // The angle as typed labels the column; the ship is heeled by it less
    // its whole turns.
    const auto typedHeelAt = [&](int i) { return DegToRad(i * in.da + in.ai); };
    const auto heelAt = [&](int i) { return DegToRad(WithoutWholeTurns(i * in.da + in.ai)); };
    // Hands a finished cell to the grid, the paths and the progress, in the
    // order of the loops: angles outside, volumes inside.
    const auto deliver = [&](int i, int j, const CCell* cell) {
        if (j == 0) {
            if (angles)
                angles->SetPos(i + 1);
            grid.SetText(0, i + 2, FormatC("%.4g", RoundTo(RadToDeg(typedHeelAt(i)), 2)));
        }
        if (volumes)
            volumes->SetPos(j + 1);
        grid.SetText(j + 2, 0, FormatC("%.3g", volumeAt(j)));
        if (!cell)
            return;
        if (cell->ok) {
            grid.SetText(j + 2, i + 2, FormatC("%.4G", cell->lever));
            if (trajectories)
                paths[static_cast<std::size_t>(j)].push_back(cell->b);
        } else {
            grid.SetText(j + 2, i + 2, kNoValue);
            if (notes)
                notes->push_back(
                    {j + 2, i + 2, volumeAt(j), RadToDeg(typedHeelAt(i)), cell->fault});
        }
    };

    if (in.kind == EvenKeelKZ) {
        // Every cell starts from draught 0 at trim 0: they run on all cores and
        // are handed over in order as soon as every cell before them is done.
        const long rows = nV + 1, count = rows * (nA + 1);
        std::vector<CCell> cells(static_cast<std::size_t>(count));
        ParallelInOrder(
            count,
            [&](long k) {
                ComputeKZ(ship, in, total, volumeAt(static_cast<int>(k % rows)),
                          heelAt(static_cast<int>(k / rows)), cells[static_cast<std::size_t>(k)]);
            },
            [&](long k) {
                deliver(static_cast<int>(k / rows), static_cast<int>(k % rows),
                        &cells[static_cast<std::size_t>(k)]);
            });
    } else {
        double trim = 0, draught = 0;
        for (int i = 0; i <= nA; ++i)
            for (int j = 0; j <= nV; ++j) {
                if (in.kind != FreeToTrimGZ) {
                    deliver(i, j, nullptr);
                    continue;
                }
                CCell cell;
                ComputeGZ(ship, in, total, volumeAt(j), heelAt(i), g, trim, draught, cell);
                deliver(i, j, &cell);
            }
    }

    if (trajectories)
        for (const std::vector<CVector3>& path : paths) {
            if (path.empty())
                continue;
            trajectories->BeginPolyline(0, 0, 0);
            for (const CVector3& p : path)
                trajectories->WriteVertex(p, 0, 0, 0, 0, 0);
            trajectories->EndPolyline();
        }
    return true;
}
