#include "TankTable.h"
#include "ParallelInOrder.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/ExactIntegrals.h"
#include "geometry/IntegrationRules.h"
#include "geometry/Scalar.h"
#include "model/CLoading.h"
#include "model/CShipModel.h"

#include <cmath>

namespace {

enum Column {
    colTank,
    colHeel,
    colTrim,
    colSounding,
    colUllage,
    colVolume,
    colFill,
    colWeight,
    colLcg,
    colTcg,
    colVcg,
    colFsmT,
    colFsmL,
    columnCount
};

const CRecordColumn kColumns[columnCount] = {
    {"tank", "tank"},          {"heel[deg]", "heel_deg"},
    {"trim[deg]", "trim_deg"}, {"sounding[m]", "sounding_m"},
    {"ullage[m]", "ullage_m"}, {"V[m^3]", "volume_m3"},
    {"fill", "filling_ratio"}, {"weight[t]", "weight_t"},
    {"LCG[m]", "LCG_m"},       {"TCG[m]", "TCG_m"},
    {"VCG[m]", "VCG_m"},       {"FSMt[t*m]", "FSMt_t_m"},
    {"FSMl[t*m]", "FSMl_t_m"},
};

// The pressed-up tolerance of a tank's load (CTank::LiquidOf): a volume
// this close above the tank's is the tank full.
inline constexpr double kOverfill = 1e-9;

const CTank* FindTank(const CShipModel& ship, const std::string& name) {
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
        if (ship.Tanks().GetAt(i)->GetName() == name)
            return ship.Tanks().GetAt(i);
    return nullptr;
}

// The tanks of the table, in its order; a name that is no tank gives null.
std::vector<const CTank*> TanksOf(const CShipModel& ship, const CTankTableInputs& in) {
    std::vector<const CTank*> tanks;
    if (in.tanks.empty())
        for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
            tanks.push_back(ship.Tanks().GetAt(i));
    for (const std::string& name : in.tanks)
        tanks.push_back(FindTank(ship, name));
    return tanks;
}

std::vector<double> TrimsOf(const CTankTableInputs& in) {
    return in.trims.empty() ? std::vector<double>{0} : in.trims;
}

// A tank at one attitude: the waterplane frame, the tank's extent in it
// and its pipe's.
struct CTankAttitude {
    CTankAttitude(const CTank& t, const CTankSounding& s, double heelDeg, double trimDeg)
        : tank(&t), sounding(s), heel(DegToRad(WithoutWholeTurns(heelDeg))),
          trim(DegToRad(WithoutWholeTurns(trimDeg))), trim_deg(WithoutWholeTurns(trimDeg)) {
        r.SetRotation(heel, trim, 0);
        t.ZRange(r, zmin, zmax);
        const auto along = [&](const CVector3& p) {
            return *r.Element(3, 1) * p.X() + *r.Element(3, 2) * p.Y() + *r.Element(3, 3) * p.Z();
        };
        base = along(s.point);
        rise = along(s.direction);
    }
    bool PipeReads() const { return rise > kLeastPipeRise; }
    // The surface's height z' in the frame at sounding s, and back.
    double Level(double s) const { return base + s * rise; }
    double SoundingAt(double level) const { return (level - base) / rise; }

    const CTank* tank;
    CTankSounding sounding;
    double heel, trim, trim_deg;
    CRotationMatrix r;
    double zmin = 0, zmax = 0; // the tank's lowest and highest z'
    double base = 0, rise = 0; // the pipe's end and direction along z'
};

// The level of the surface that holds volume [m^3] of a tank of volume
// total; false when the search does not settle.
bool LevelForVolume(const CTankAttitude& a, double volume, double total, double& level) {
    if (volume <= 0) {
        level = a.zmin;
        return true;
    }
    if (volume >= total) {
        level = a.zmax;
        return true;
    }
    // Searched until the volume is met, not only to a millimetre's bracket.
    return a.tank->FindLevel<CExactRule>(volume, a.r, level, 1e-10 * volume, total, 0) ==
           SearchStatus::converged;
}

// The row of the surface at level z' = level, read at sounding.
void LiquidRow(const CTankAttitude& a, double total, double density, double heelDeg, double level,
               double sounding, std::vector<CRecordCell>& row) {
    row.assign(columnCount, CRecordCell());
    row[colTank] = CRecordCell(a.tank->GetName());
    row[colHeel] = heelDeg;
    row[colTrim] = a.trim_deg;
    row[colSounding] = sounding;
    row[colUllage] = a.sounding.top - sounding;
    double volume = 0, it = 0, il = 0;
    CVector3 centre;
    bool hasCentre = false;
    if (level > a.zmin) {
        // Full: every panel under a level above the top, as a loading
        // condition presses a full tank up, and no free surface.
        const bool full = level >= a.zmax;
        const double at = full ? a.zmax + 1 : level;
        CExactSums sums;
        a.tank->ImmersedSums<CExactRule>(sums, at, a.r);
        CHydroProperties liquid;
        sums.Finish(liquid);
        if (liquid.m_volume > 0) {
            volume = liquid.m_volume;
            liquid.BuoyancyCentre(centre, at, a.heel, a.trim);
            hasCentre = true;
            if (!full)
                FreeSurfaceInertia(liquid, it, il);
        }
    }
    row[colVolume] = volume;
    row[colFill] = volume / total;
    row[colWeight] = volume * density;
    if (hasCentre) {
        row[colLcg] = centre.X();
        row[colTcg] = centre.Y();
        row[colVcg] = centre.Z();
    }
    row[colFsmT] = density * it;
    row[colFsmL] = density * il;
}

// One tank of the table: its sounding, volume, density and rows' values.
struct CTankRows {
    const CTank* tank = nullptr;
    CTankSounding sounding;
    double volume = 0, density = 0;
    std::vector<double> values; // soundings or volumes
};

std::vector<CTankRows> TankRowsOf(const CShipModel& ship, const CTankTableInputs& in) {
    std::vector<CTankRows> tanks;
    for (const CTank* tank : TanksOf(ship, in)) {
        CTankRows t;
        t.tank = tank;
        TankSoundingOf(*tank, in.pipes, t.sounding);
        t.volume = tank->VolumeBy<CExactRule>();
        t.density = in.density ? *in.density : tank->GetDensity();
        t.values = !in.volumes.empty()     ? in.volumes
                   : !in.soundings.empty() ? in.soundings
                                           : DefaultSoundings(t.sounding);
        tanks.push_back(std::move(t));
    }
    return tanks;
}

} // namespace

bool TankSoundingOf(const CTank& tank, const std::vector<CSoundingPipe>& pipes,
                    CTankSounding& sounding) {
    CRotationMatrix level;
    level.SetRotation(0, 0, 0);
    double zmin = 0, zmax = 0;
    if (!tank.ZRange(level, zmin, zmax))
        return false;
    CExactSums sums;
    tank.EnclosedSums(sums);
    CHydroProperties enclosed;
    sums.Finish(enclosed);
    if (!(enclosed.m_volume > 0))
        return false;
    const CSoundingPipe* pipe = nullptr;
    for (const CSoundingPipe& p : pipes)
        if (p.tank == tank.GetName()) {
            pipe = &p;
            break;
        }
    CTankSounding s;
    if (pipe) {
        s.point.Set(pipe->x, pipe->y, pipe->z);
        const double length =
            std::sqrt(pipe->dx * pipe->dx + pipe->dy * pipe->dy + pipe->dz * pipe->dz);
        s.direction.Set(pipe->dx / length, pipe->dy / length, pipe->dz / length);
    } else {
        const CVector3 centroid = enclosed.BuoyancyCentreInFrame();
        s.point.Set(centroid.X(), centroid.Y(), zmin);
        s.direction.Set(0, 0, 1);
    }
    // The tank's extent along the pipe: its "z'" in a frame whose last row
    // is the pipe's direction.
    CMatrix along(3, 3);
    *along.Element(3, 1) = s.direction.X();
    *along.Element(3, 2) = s.direction.Y();
    *along.Element(3, 3) = s.direction.Z();
    double lowest = 0, highest = 0;
    tank.ZRange(along, lowest, highest);
    s.top = highest - (s.point.X() * s.direction.X() + s.point.Y() * s.direction.Y() +
                       s.point.Z() * s.direction.Z());
    // Upright at even keel the surface is z = P.z + s u.z.
    if (s.direction.Z() > 0) {
        s.empty = (zmin - s.point.Z()) / s.direction.Z();
        s.full = (zmax - s.point.Z()) / s.direction.Z();
    }
    sounding = s;
    return true;
}

std::vector<double> DefaultSoundings(const CTankSounding& s) {
    const double height = s.full - s.empty;
    const double step = std::fmax(0.1, height / 20);
    std::vector<double> soundings{s.empty};
    // The steps counted from the empty tank, the last one within a
    // thousandth of a step of the full tank left to the full tank itself.
    for (int k = 1; k * step < height - 1e-3 * step; ++k)
        soundings.push_back(s.empty + k * step);
    if (height > 0)
        soundings.push_back(s.full);
    return soundings;
}

CCalcCheck CheckTankTableInputs(const CTankTableInputs& in) {
    if (!std::isfinite(in.heel))
        return Problem(CalcRule::notANumber, "heel", in.heel);
    if (!(std::fabs(WithoutWholeTurns(in.heel)) < 90))
        return Problem(CalcRule::notBelow, "heel", in.heel, 90);
    for (double t : in.trims) {
        if (!std::isfinite(t))
            return Problem(CalcRule::notANumber, "trims", t);
        if (!(std::fabs(WithoutWholeTurns(t)) < 90))
            return Problem(CalcRule::notBelow, "trims", t, 90);
    }
    if (in.density && !(std::isfinite(*in.density) && *in.density > 0))
        return Problem(CalcRule::notAbove, "density", *in.density);
    for (const auto& [name, values] :
         {std::pair{"soundings", &in.soundings}, std::pair{"volumes", &in.volumes}}) {
        if (values->size() > kMaxTankRows)
            return Problem(CalcRule::tooMany, name, static_cast<double>(values->size()),
                           kMaxTankRows);
        for (double v : *values)
            if (!std::isfinite(v))
                return Problem(CalcRule::notANumber, name, v);
    }
    for (double v : in.volumes)
        if (v < 0)
            return Problem(CalcRule::notAtLeast, "volumes", v, 0);
    return std::nullopt;
}

CCalcCheck CheckTankTableShip(const CShipModel& ship, const CTankTableInputs& in) {
    const std::vector<const CTank*> tanks = TanksOf(ship, in);
    if (tanks.empty())
        return Problem(CalcRule::unknownElement, "tanks");
    for (std::size_t k = 0; k < tanks.size(); ++k)
        if (!tanks[k]) {
            CCalcProblem p = Problem(CalcRule::unknownElement, "tanks");
            p.element = in.tanks[k];
            return p;
        }
    const std::vector<double> trims = TrimsOf(in);
    std::size_t rows = 0;
    for (const CTank* tank : tanks) {
        CCalcProblem p;
        p.element = tank->GetName();
        CTankSounding sounding;
        if (!TankSoundingOf(*tank, in.pipes, sounding)) {
            p.rule = CalcRule::noVolume;
            return p;
        }
        if (!in.density && !(tank->GetSpecificWeight() >= 0)) {
            p.rule = CalcRule::negativeDensity;
            p.value = tank->GetSpecificWeight();
            return p;
        }
        // The default soundings run from empty to full upright at even keel.
        const bool defaults = in.volumes.empty() && in.soundings.empty();
        std::vector<std::pair<double, double>> attitudes;
        if (defaults)
            attitudes.emplace_back(0, 0);
        for (double t : trims)
            attitudes.emplace_back(in.heel, t);
        for (const auto& [heel, trim] : attitudes)
            if (!CTankAttitude(*tank, sounding, heel, trim).PipeReads()) {
                p.rule = CalcRule::alongSurface;
                p.value = trim;
                p.limit = heel;
                return p;
            }
        const double volume = tank->VolumeBy<CExactRule>();
        for (double v : in.volumes)
            if (!(v <= volume * (1 + kOverfill))) {
                p.rule = CalcRule::tankOverfilled;
                p.value = v;
                p.limit = volume;
                return p;
            }
        const std::size_t values = !in.volumes.empty()     ? in.volumes.size()
                                   : !in.soundings.empty() ? in.soundings.size()
                                                           : DefaultSoundings(sounding).size();
        rows += values * trims.size();
        if (rows > kMaxTankRows)
            return Problem(CalcRule::tooMany, "rows", static_cast<double>(rows), kMaxTankRows);
    }
    return std::nullopt;
}

std::vector<CRecordColumn> TankTableColumns() {
    return {std::begin(kColumns), std::end(kColumns)};
}

CRecordTable ComputeTankTable(const CShipModel& ship, const CTankTableInputs& in,
                              const CStopRequest* stop, CProgress* progress) {
    const std::vector<CTankRows> tanks = TankRowsOf(ship, in);
    const std::vector<double> trims = TrimsOf(in);
    // The attitudes of every tank, then one job per row, in the table's order.
    std::vector<CTankAttitude> attitudes;
    struct CJob {
        std::size_t tank, attitude;
        double value;
    };
    std::vector<CJob> jobs;
    for (std::size_t t = 0; t < tanks.size(); ++t)
        for (double trim : trims) {
            attitudes.emplace_back(*tanks[t].tank, tanks[t].sounding, in.heel, trim);
            for (double v : tanks[t].values)
                jobs.push_back({t, attitudes.size() - 1, v});
        }
    const bool byVolume = !in.volumes.empty();
    CRecordTable table;
    table.columns = TankTableColumns();
    table.rows.resize(jobs.size());
    std::vector<char> settled(jobs.size(), 1);
    const int count = static_cast<int>(jobs.size());
    if (progress) {
        progress->SetRange(0, count);
        progress->SetPos(0);
    }
    ParallelInOrder(
        count,
        [&](int k) {
            const auto i = static_cast<std::size_t>(k);
            const CJob& job = jobs[i];
            const CTankRows& t = tanks[job.tank];
            const CTankAttitude& a = attitudes[job.attitude];
            double level = 0, sounding = job.value;
            if (byVolume) {
                if (!LevelForVolume(a, job.value, t.volume, level)) {
                    settled[i] = 0;
                    return;
                }
                sounding = a.SoundingAt(level);
            } else {
                level = a.Level(job.value);
            }
            LiquidRow(a, t.volume, t.density, WithoutWholeTurns(in.heel), level, sounding,
                      table.rows[i]);
        },
        [&](int k) {
            if (progress)
                progress->SetPos(k + 1);
        },
        stop);
    ThrowIfStopped(stop);
    for (std::size_t i = 0; i < jobs.size(); ++i)
        if (!settled[i]) {
            CCalcProblem p = Problem(CalcRule::notSettled, "volumes", jobs[i].value);
            p.element = tanks[jobs[i].tank].tank->GetName();
            throw CCalcFailure(p);
        }
    return table;
}

SearchStatus SoundingForVolume(const CTank& tank, const CTankSounding& sounding, double heel,
                               double trim, double volume, double& result) {
    const double total = tank.VolumeBy<CExactRule>();
    if (!(volume >= 0 && volume <= total * (1 + kOverfill)))
        return SearchStatus::outOfRange;
    const CTankAttitude a(tank, sounding, heel, trim);
    double level = 0;
    if (!a.PipeReads() || !LevelForVolume(a, volume, total, level))
        return SearchStatus::notConverged;
    result = a.SoundingAt(level);
    return SearchStatus::converged;
}
