// brelund-calc stability: the GZ curve of a loading condition and the
// intact-stability criteria, as TSV, CSV or JSON.
#include "CliCommon.h"

#include "calc/NumberSeries.h"
#include "calc/RecordTable.h"
#include "calc/StabilityCurve.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"
#include "report/StabilityText.h"

#include <cstdio>
#include <memory>

namespace {

// The stability calculation's problem in the words of the command line.
std::string DescribeProblem(const CCalcProblem& p, const CStabilityInputs& in) {
    const std::string option = p.input == "flooding" ? "--flooding-angle" : "--" + p.input;
    // One line whatever a tank's name holds: a line end would split the
    // message and a NUL cut it short.
    const std::string tank = "tank '" + EscapeText(p.element) + "'";
    switch (p.rule) {
    case CalcRule::notANumber:
        return option + " is not a number";
    case CalcRule::notAbove:
        if (p.input == "lpp")
            return "--ap and --fp must be two stations, not one";
        return p.input == "lightship"
                   ? FormatC("--lightship (%g t) must be a weight above 0", p.value)
                   : FormatC("--density (%g t/m^3) must be a number above 0", p.value);
    case CalcRule::notBelow:
        return p.input == "flooding"
                   ? FormatC("--flooding-angle (%g deg) must lie above 0 and below 90", p.value)
                   : FormatC("the heel %g deg lies outside 0 to 90 (90 excluded): heels are "
                             "counted from upright towards the side G lies on, and at 90 deg "
                             "the trim no longer moves the waterplane",
                             p.value);
    case CalcRule::tooMany:
        return FormatC("more than %.0f heels asked for", p.limit);
    case CalcRule::farOffHull:
        return FormatC("%s (%g m) lies more than %g times the hull's size (%g m) off the hull",
                       option.c_str(), p.value, p.limit, p.size);
    case CalcRule::negativeDensity:
        return tank + FormatC(": its specific weight %g kg/m^3 is negative", p.value);
    case CalcRule::tankOverfilled:
        return tank +
               FormatC(": its load volume %g m^3 does not fit its volume %g m^3", p.value, p.limit);
    case CalcRule::sinks:
        return FormatC("the condition weighs %g t, more than the whole hull displaces (%g m^3 at "
                       "%g t/m^3, %g t): the ship sinks",
                       p.value, p.size, in.density, p.limit);
    case CalcRule::notSettled:
        if (p.input == "tanks")
            return "a tank's level was not found upright";
        return FormatC("no trim of equilibrium found at heel %g deg (the search went beyond %g "
                       "deg of trim, or a tank's level was not found)",
                       p.value, p.limit);
    default:
        return "the ship has no hull element with vertices";
    }
}

void AddStability(CLI::App& app, int& status) {
    struct Args {
        std::string ship, heels, format = "tsv";
        CStabilityInputs in;
        double flooding = 0;
        int digits = 6;
        bool strict = false;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "stability", "GZ curve of a loading condition, free to trim with its liquids moving, and "
                     "the intact-stability criteria of the IMO 2008 IS Code (Part A, 2.2)");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    cmd->add_option("--lightship", a->in.lightship, "Lightship weight [t]")->required();
    cmd->add_option("--lcg", a->in.lcg, "Lightship centre of gravity, x [m]")->required();
    cmd->add_option("--vcg", a->in.vcg, "Lightship centre of gravity, z [m]")->required();
    cmd->add_option("--tcg", a->in.tcg, "Lightship centre of gravity, y [m] (default 0)");
    auto* heels = cmd->add_option(
        "--heels", a->heels,
        "Heels [deg], 0 to below 90: FROM:TO:STEP or a list 0,10,20 (default 0:80:5); 0, 30, "
        "40 and the flooding angle are always added");
    cmd->add_option("--density", a->in.density, "Density of the water [t/m^3] (default 1.025)");
    auto* ap = AddDatumOptions(*cmd, a->in.baseline, a->in.ap, a->in.fp,
                               "the ends of the condition's upright waterline");
    auto* flooding = cmd->add_option("--flooding-angle", a->flooding,
                                     "Down-flooding angle [deg]: the areas stop there when it "
                                     "is below 40");
    AddRecordOutputOptions(*cmd, a->format, a->digits);
    cmd->add_flag("--strict", a->strict, "Exit 1 when a criterion fails");
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        RefuseTypedValuesThatAreNotNumbers(*cmd);
        CStabilityInputs in = a->in;
        in.perpendiculars = ap->count() > 0;
        if (flooding->count())
            in.flooding = a->flooding;
        if (heels->count()) {
            const std::string problem = ParseNumberSeries("--heels", a->heels, 1000, in.heels);
            if (!problem.empty())
                throw CRefusedError(problem);
        }
        if (const CCalcCheck problem = CheckStabilityInputs(in))
            throw CRefusedError(DescribeProblem(*problem, in));
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        RefuseValuesThatAreNotNumbers(ship, true, true);
        WarnOfSurfaceFaults(ship, true, true);
        WarnOfUnsetDensities(ship, true);
        if (const CCalcCheck problem = CheckStabilityShip(ship, in))
            throw CRefusedError(DescribeProblem(*problem, in));
        CStabilityResult result;
        try {
            result = ComputeStability(ship, in, stop);
        } catch (const CCalcFailure& e) {
            throw CRefusedError(DescribeProblem(e.Problem(), in));
        }
        RecordFormat format = RecordFormat::tsv;
        ParseRecordFormat(a->format, format);
        const std::string text = WriteStabilityReport(result, format, a->digits);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::string failed;
        for (const CIntactCriterion& c : result.criteria)
            if (!c.Passes())
                failed += (failed.empty() ? "" : ", ") + c.name;
        status = exitOk;
        if (a->strict && !failed.empty()) {
            std::fprintf(stderr, "brelund-calc: criteria not met: %s\n", failed.c_str());
            status = exitRefused;
        }
    });
}

} // namespace

void AddStabilityCommand(CLI::App& app, int& status) {
    AddStability(app, status);
}
