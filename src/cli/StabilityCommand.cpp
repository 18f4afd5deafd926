// brelund-calc stability: the GZ curve of a loading condition and the
// intact-stability criteria, as TSV, CSV or JSON.
#include "CliCommon.h"

#include "calc/NumberSeries.h"
#include "calc/RecordTable.h"
#include "calc/StabilityCurve.h"
#include "calc/WeatherCriterion.h"
#include "model/CShipModel.h"
#include "model/ConditionsFile.h"
#include "platform/NumberText.h"
#include "report/StabilityText.h"

#include <cstdio>
#include <memory>

std::string CInputNames::operator()(const std::string& input) const {
    const std::string option = input == "flooding" ? "--flooding-angle" : "--" + input;
    static const struct {
        const char* input;
        const char* key;
    } keys[] = {{"lightship", "lightship weight_t"}, {"lcg", "lightship lcg_m"},
                {"tcg", "lightship tcg_m"},          {"vcg", "lightship vcg_m"},
                {"density", "water_density_t_m3"},   {"flooding", "flooding_angle_deg"}};
    if (condition)
        for (const auto& k : keys)
            if (input == k.input && command->get_option(option)->count() == 0)
                return std::string(k.key) + " of condition '" + EscapeText(condition->name) + "'";
    return option;
}

std::string DescribeStabilityProblem(const CCalcProblem& p, const CStabilityInputs& in,
                                     const CInputNames& names) {
    const std::string option = names(p.input);
    // One line whatever a tank's name holds: a line end would split the
    // message and a NUL cut it short.
    const std::string tank = "tank '" + EscapeText(p.element) + "'";
    const std::string item = "deadweight item '" + EscapeText(p.element) + "'";
    if (p.input == "openings")
        return "opening '" + EscapeText(p.element) +
               FormatC("' lies %g m under the waterline upright: the ship floods before it "
                       "heels (an opening closed at sea is weathertight; --flooding-angle "
                       "gives the angle instead)",
                       -p.value);
    if (p.input == "items") {
        switch (p.rule) {
        case CalcRule::farOffHull:
            return item + FormatC(": its %s (%g m) lies more than %g times the hull's size (%g m) "
                                  "off the hull",
                                  p.other.c_str(), p.value, p.limit, p.size);
        case CalcRule::notAtLeast:
            return item + FormatC(" (%g t) must weigh 0 t or more", p.value);
        default:
            return item + ": a weight or centre that is not a number";
        }
    }
    switch (p.rule) {
    case CalcRule::notANumber:
        return option + " is not a number";
    case CalcRule::notAbove:
        if (p.input == "lpp")
            return "--ap and --fp must be two stations, not one";
        return p.input == "lightship"
                   ? option + FormatC(" (%g t) must be a weight above 0", p.value)
                   : option + FormatC(" (%g t/m^3) must be a number above 0", p.value);
    case CalcRule::notBelow:
        return p.input == "flooding"
                   ? option + FormatC(" (%g deg) must lie above 0 and below 90", p.value)
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

void TakeCondition(const CStabilityInputs& condition, const CLI::App& command,
                   CStabilityInputs& in) {
    const auto given = [&](const char* option) { return command.get_option(option)->count() > 0; };
    if (!given("--lightship"))
        in.lightship = condition.lightship;
    if (!given("--lcg"))
        in.lcg = condition.lcg;
    if (!given("--tcg"))
        in.tcg = condition.tcg;
    if (!given("--vcg"))
        in.vcg = condition.vcg;
    if (!given("--density"))
        in.density = condition.density;
    if (!given("--flooding-angle"))
        in.flooding = condition.flooding;
    in.items = condition.items;
    in.tank_loads = condition.tank_loads;
    in.windage = condition.windage;
    in.bilge_keel_area = condition.bilge_keel_area;
    in.sharp_bilges = condition.sharp_bilges;
}

namespace {

void AddStability(CLI::App& app, int& status) {
    struct Args {
        std::string ship, heels, format = "tsv", condition;
        CStabilityInputs in;
        double flooding = 0;
        int digits = 6;
        bool strict = false;
        bool weather = false;
        CWeatherOptions wind;
        double bilge_keel_area = 0;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "stability", "GZ curve of a loading condition, free to trim with its liquids moving, and "
                     "the intact-stability criteria of the IMO 2008 IS Code (Part A, 2.2)");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    auto* condition = cmd->add_option(
        "--condition", a->condition,
        "A loading condition of the ship's conditions file (SHIP.conditions.json beside "
        "SHIP.nav), by name: its lightship, deadweight items, tank loads, water density and "
        "flooding angle; an option given here overrides the condition's value. The ship's "
        "openings in that file, with or without a condition, give the flooding angle when none "
        "is typed: the least heel at which one that is not weathertight goes under water");
    // Required without --condition, which gives them otherwise.
    CLI::Option* const lightship[] = {
        cmd->add_option("--lightship", a->in.lightship,
                        "Lightship weight [t] (required without --condition)"),
        cmd->add_option("--lcg", a->in.lcg,
                        "Lightship centre of gravity, x [m] (required without --condition)"),
        cmd->add_option("--vcg", a->in.vcg,
                        "Lightship centre of gravity, z [m] (required without --condition)")};
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
                                     "is below 40; it overrides the one the openings give");
    AddRecordOutputOptions(*cmd, a->format, a->digits);
    cmd->add_flag("--weather", a->weather,
                  "Also judge the severe wind and rolling criterion (IMO 2008 IS Code, Part A, "
                  "2.3): the windage from the hull above the upright waterline and the "
                  "condition's windage items, the curve to "
                  "windward computed as well");
    cmd->add_option("--wind-pressure", a->wind.pressure,
                    "Wind pressure for --weather [Pa] (default 504)");
    auto* bilgeKeels = cmd->add_option(
        "--bilge-keel-area", a->bilge_keel_area,
        "Total area of the bilge keels for --weather [m^2] (0: none; default: the condition's, "
        "else none)");
    cmd->add_flag("--strict", a->strict, "Exit 1 when a criterion fails");
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        const bool fromCondition = condition->count() > 0;
        if (!fromCondition)
            for (const CLI::Option* option : lightship)
                if (option->count() == 0)
                    throw CUsageError(option->get_name() + " is required (or --condition NAME)");
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
        CInputNames names{cmd, nullptr};
        if (!fromCondition)
            if (const CCalcCheck problem = CheckStabilityInputs(in))
                throw CRefusedError(DescribeStabilityProblem(*problem, in, names));
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        CLoadingConditions conditions;
        if (fromCondition) {
            const CLoadingCondition* c = FindCondition(a->ship, a->condition, conditions);
            WarnOfUnknownTanks(ship, a->ship, *c);
            TakeCondition(ConditionStabilityInputs(ship, *c), *cmd, in);
            names.condition = c;
            if (const CCalcCheck problem = CheckStabilityInputs(in))
                throw CRefusedError(DescribeStabilityProblem(*problem, in, names));
        } else {
            // The openings are the ship's, whatever it carries.
            LoadConditionsFile(a->ship, conditions);
        }
        in.openings = conditions.Openings();
        RefuseValuesThatAreNotNumbers(ship, true, true);
        WarnOfSurfaceFaults(ship, true, true);
        if (names.condition) {
            // The tanks the condition loads have the density it gives.
            for (int i = 1; i <= ship.Tanks().GetCount(); ++i) {
                const CTank& tank = *ship.Tanks().GetAt(i);
                if (tank.IsEnabled() && tank.GetLoadVolume() > 0 &&
                    !names.condition->TankLoad(tank.GetName()))
                    WarnIfDensityUnset(tank);
            }
        } else {
            WarnOfUnsetDensities(ship, true);
        }
        if (const CCalcCheck problem = CheckStabilityShip(ship, in))
            throw CRefusedError(DescribeStabilityProblem(*problem, in, names));
        CStabilityResult result;
        try {
            result = ComputeStability(ship, in, stop);
        } catch (const CCalcFailure& e) {
            throw CRefusedError(DescribeStabilityProblem(e.Problem(), in, names));
        }
        RecordFormat format = RecordFormat::tsv;
        ParseRecordFormat(a->format, format);
        std::optional<CWeatherCalculation> weather;
        if (a->weather) {
            if (!(a->wind.pressure > 0))
                throw CRefusedError(FormatC("--wind-pressure (%g Pa) must be a number above 0",
                                            a->wind.pressure));
            CWeatherOptions wind = a->wind;
            if (bilgeKeels->count()) {
                if (!(a->bilge_keel_area >= 0))
                    throw CRefusedError(FormatC("--bilge-keel-area (%g m^2) must be 0 or more",
                                                a->bilge_keel_area));
                wind.bilge_keel_area = a->bilge_keel_area;
            }
            try {
                weather = ComputeWeather(ship, in, result, wind, stop);
            } catch (const CCalcFailure& e) {
                throw CRefusedError("the curve to windward for --weather: " +
                                    DescribeStabilityProblem(e.Problem(), in, names));
            }
        }
        const std::string text =
            WriteStabilityReport(result, format, a->digits, weather ? &*weather : nullptr);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::string failed;
        std::vector<CIntactCriterion> judged = result.criteria;
        if (weather)
            judged.insert(judged.end(), weather->result.criteria.begin(),
                          weather->result.criteria.end());
        for (const CIntactCriterion& c : judged)
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
