// brelund-calc tanks: the calibration tables of the ship's tanks, by
// sounding and trim or at given volumes, as TSV, CSV or JSON records.
#include "CliCommon.h"

#include "calc/NumberSeries.h"
#include "calc/TankTable.h"
#include "model/CShipModel.h"
#include "model/ConditionsFile.h"
#include "platform/NumberText.h"
#include "report/RecordText.h"

#include <algorithm>
#include <cstdio>
#include <memory>

// The tank table's problem in the words of the command line.
std::string DescribeTankTableProblem(const CCalcProblem& p) {
    const std::string tank = "tank " + QuotedText(p.element);
    switch (p.rule) {
    case CalcRule::notANumber:
        return p.input == "heel" ? "--heel is not a number"
                                 : FormatC("--%s: a value is not a number", p.input.c_str());
    case CalcRule::notBelow:
        return p.input == "heel"
                   ? FormatC("--heel %g deg must lie between -90 and 90 deg (both excluded)",
                             p.value)
                   : FormatC("the trim %g deg must lie between -90 and 90 deg (both excluded)",
                             p.value);
    case CalcRule::notAbove:
        return FormatC("--density (%g t/m^3) must be a number above 0", p.value);
    case CalcRule::notAtLeast:
        return FormatC("the volume %g m^3 is below 0", p.value);
    case CalcRule::tooMany:
        return p.input == "rows"
                   ? FormatC("the tables would have %.0f rows, more than %.0f", p.value, p.limit)
                   : FormatC("more than %.0f %s asked for", p.limit, p.input.c_str());
    case CalcRule::unknownElement:
        return p.element.empty() ? "the ship has no tanks" : "the ship has no " + tank;
    case CalcRule::noVolume:
        return tank + " encloses no volume (it has no vertices, or its faces point inwards)";
    case CalcRule::negativeDensity:
        return tank + FormatC(": its specific weight %g kg/m^3 is below 0 or not a number; give "
                              "--density",
                              p.value);
    case CalcRule::alongSurface:
        return tank + FormatC(": its sounding pipe lies in the free surface at heel %g deg and "
                              "trim %g deg, so no level is read along it",
                              p.limit, p.value);
    case CalcRule::tankOverfilled:
        return tank +
               FormatC(": the volume %g m^3 does not fit its volume %g m^3", p.value, p.limit);
    case CalcRule::notSettled:
        return tank + FormatC(": no level found for the volume %g m^3", p.value);
    default:
        return "the tables cannot be made";
    }
}

namespace {

void AddTanks(CLI::App& app, int& status) {
    struct Args {
        std::string ship, soundings, volumes, trims, format = "tsv";
        std::vector<std::string> tanks;
        double heel = 0, density = 0;
        int digits = 6;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "tanks", "Tank calibration tables by exact integrals: per tank, sounding and trim, the "
                 "ullage, volume, filling ratio, weight, centre of the liquid and free-surface "
                 "moments");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    cmd->add_option("TANK", a->tanks, "Tanks by name (default: every tank of the ship)");
    auto* soundings = cmd->add_option(
        "--soundings", a->soundings,
        "Soundings [m] along each tank's sounding pipe (SHIP.conditions.json) or, without one, "
        "up the vertical from the tank's lowest point: FROM:TO:STEP or a list 0,0.5,1 "
        "(default: every 0.1 m, or a twentieth of the tank's height if larger, from empty to "
        "full)");
    auto* volumes =
        cmd->add_option("--volumes", a->volumes,
                        "Volumes [m^3], FROM:TO:STEP or a list: rows at these volumes, each "
                        "with the sounding that holds it, in place of --soundings");
    volumes->excludes(soundings);
    auto* trims = cmd->add_option("--trims", a->trims,
                                  "Trims [deg], positive when the end towards +x rises: a "
                                  "list 0,1,2 or FROM:TO:STEP (default 0)");
    cmd->add_option("--heel", a->heel, "Heel [deg], positive to starboard (+y down; default 0)");
    auto* density =
        cmd->add_option("--density", a->density,
                        "Density of the liquid [t/m^3] (default: each tank's own specific weight)");
    AddRecordOutputOptions(*cmd, a->format, a->digits);
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        RefuseTypedValuesThatAreNotNumbers(*cmd);
        CTankTableInputs in;
        in.tanks = a->tanks;
        in.heel = a->heel;
        if (density->count())
            in.density = a->density;
        const struct {
            CLI::Option* option;
            const std::string& text;
            std::size_t limit;
            std::vector<double>& out;
        } series[] = {{soundings, a->soundings, kMaxTankRows, in.soundings},
                      {volumes, a->volumes, kMaxTankRows, in.volumes},
                      {trims, a->trims, kMaxTrims, in.trims}};
        for (const auto& s : series)
            if (s.option->count()) {
                const std::string problem =
                    ParseNumberSeries(s.option->get_name().c_str(), s.text, s.limit, s.out);
                if (!problem.empty())
                    throw CRefusedError(problem);
            }
        if (const CCalcCheck problem = CheckTankTableInputs(in))
            throw CRefusedError(DescribeTankTableProblem(*problem));
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        CLoadingConditions conditions;
        LoadConditionsFile(a->ship, conditions);
        in.pipes = conditions.SoundingPipes();
        RefuseValuesThatAreNotNumbers(ship, false, true);
        WarnOfSurfaceFaults(ship, false, true);
        if (const CCalcCheck problem = CheckTankTableShip(ship, in))
            throw CRefusedError(DescribeTankTableProblem(*problem));
        if (!in.density)
            for (int i = 1; i <= ship.Tanks().GetCount(); ++i) {
                const CTank& tank = *ship.Tanks().GetAt(i);
                if (in.tanks.empty() ||
                    std::find(in.tanks.begin(), in.tanks.end(), tank.GetName()) != in.tanks.end())
                    WarnIfDensityUnset(tank);
            }
        CRecordTable table;
        try {
            table = ComputeTankTable(ship, in, stop);
        } catch (const CCalcFailure& e) {
            throw CRefusedError(DescribeTankTableProblem(e.Problem()));
        }
        RecordFormat format = RecordFormat::tsv;
        ParseRecordFormat(a->format, format);
        const std::string text = WriteRecords(table, format, a->digits);
        std::fwrite(text.data(), 1, text.size(), stdout);
        status = exitOk;
    });
}

} // namespace

void AddTanksCommand(CLI::App& app, int& status) {
    AddTanks(app, status);
}
