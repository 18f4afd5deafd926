// brelund-calc damage: the stability of a loading condition after damage,
// by lost buoyancy, for the damage cases of the conditions file or for
// compartments named on the command line, as TSV, CSV or JSON.
#include "CliCommon.h"

#include "calc/DamageStability.h"
#include "model/CShipModel.h"
#include "model/ConditionsFile.h"
#include "model/MeshCheck.h"
#include "platform/NumberText.h"
#include "report/DamageText.h"

#include <cstdio>
#include <memory>

namespace {

std::string Named(const std::string& name) {
    return "'" + EscapeText(name) + "'";
}

} // namespace

// The damage calculation's own problems, or the condition's in the words
// of stability. source names where the case came from: "damage case 'X'"
// or "--open".
std::string DescribeDamageProblem(const CCalcProblem& p, const CDamageInputs& in,
                                  const CInputNames& names, const std::string& source) {
    const std::string compartment = "compartment " + Named(p.element);
    if (p.input == "compartments" || p.input == "permeability") {
        switch (p.rule) {
        case CalcRule::unknownElement:
            return source + ": the ship has no " + compartment;
        case CalcRule::listedTwice:
            return source + " opens " + compartment + " twice";
        case CalcRule::notAtMost:
            return source + ": " + compartment +
                   FormatC(": permeability %g lies outside 0 to 1", p.value);
        case CalcRule::notAbove:
            return source + " opens no compartment";
        default:
            return source + ": " + compartment + ": its volume is not a number";
        }
    }
    if (p.input == "bulkhead_deck" || p.input == "openings")
        return source + ": a height of its deck or an opening that is not a number";
    return DescribeStabilityProblem(p, in.condition, names);
}

// The compartments of --open: names between commas, none of them empty.
CDamageCase DamageCaseOfOpenList(const std::string& list, std::optional<double> deck) {
    CDamageCase damage;
    damage.name = list;
    damage.bulkhead_deck = deck;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = list.find(',', from);
        const std::string name = list.substr(from, comma - from);
        if (name.empty())
            throw CUsageError("--open: a compartment's name is empty (--open NAME[,NAME...])");
        damage.compartments.push_back({name, std::nullopt});
        if (comma == std::string::npos)
            return damage;
        from = comma + 1;
    }
}

// An open compartment's surface leaves its volume undefined: said as for
// the enabled elements the calculation reads (which the model's checks
// already cover).
void WarnOfOpenCompartments(const CShipModel& ship, const std::vector<CDamageCase>& cases) {
    for (int i = 1; i <= ship.Compartments().GetCount(); ++i) {
        const CCompartment& c = *ship.Compartments().GetAt(i);
        if (c.IsEnabled() || c.GetFaceCount() == 0)
            continue;
        bool opened = false;
        for (const CDamageCase& d : cases)
            for (const CDamagedCompartment& open : d.compartments)
                opened = opened || open.compartment == c.GetName();
        if (!opened)
            continue;
        const CSurfaceCheck s = CheckElement(c, false).surface;
        if (s.boundary_edges > 0)
            std::fprintf(stderr,
                         "brelund-calc: warning: compartment %s is open (%lld boundary edges, "
                         "%.6g m of boundary): the space it loses is not the one it encloses\n",
                         Named(c.GetName()).c_str(), s.boundary_edges, s.boundary_length);
    }
}

namespace {

void AddDamage(CLI::App& app, int& status) {
    struct Args {
        std::string ship, condition, damage, open, criteria = DamageCriteriaSets()[0].key;
        std::string format = "tsv";
        CStabilityInputs in;
        double flooding = 0, deck = 0;
        int digits = 6;
        bool strict = false;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "damage", "Stability after damage by lost buoyancy: a loading condition with the "
                  "compartments of a damage case open to the sea, its equilibrium, GZ curve and "
                  "residual-stability criteria");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    auto* condition = cmd->add_option(
        "--condition", a->condition,
        "A loading condition of the ship's conditions file, by name, as stability takes it; an "
        "option given here overrides the condition's value");
    auto* damage = cmd->add_option("--case", a->damage,
                                   "A damage case of the conditions file, by name, or all of "
                                   "them in order (all)");
    auto* open =
        cmd->add_option("--open", a->open,
                        "A case of its own: the compartments open to the sea, by name, separated "
                        "by commas, at the model's permeability")
            ->excludes(damage);
    auto* deck = cmd->add_option("--bulkhead-deck", a->deck,
                                 "The --open case's bulkhead deck at side, z [m]: the deck edge "
                                 "and the margin line 0.076 m below it")
                     ->needs(open);
    CLI::Option* const lightship[] = {
        cmd->add_option("--lightship", a->in.lightship,
                        "Lightship weight [t] (required without --condition)"),
        cmd->add_option("--lcg", a->in.lcg,
                        "Lightship centre of gravity, x [m] (required without --condition)"),
        cmd->add_option("--vcg", a->in.vcg,
                        "Lightship centre of gravity, z [m] (required without --condition)")};
    cmd->add_option("--tcg", a->in.tcg, "Lightship centre of gravity, y [m] (default 0)");
    cmd->add_option("--density", a->in.density, "Density of the water [t/m^3] (default 1.025)");
    auto* flooding = cmd->add_option("--flooding-angle", a->flooding,
                                     "The angle at which progressive flooding occurs [deg]: the "
                                     "areas from upright stop there when it is smaller");
    auto* ap = AddDatumOptions(*cmd, a->in.baseline, a->in.ap, a->in.fp,
                               "the ends of the intact condition's upright waterline");
    std::string sets;
    for (const CDamageCriteriaSet& s : DamageCriteriaSets())
        sets += std::string(sets.empty() ? "" : ", ") + s.key + " (" + s.title.english + ")";
    cmd->add_option("--criteria", a->criteria, "The criteria after damage: " + sets);
    AddRecordOutputOptions(*cmd, a->format, a->digits);
    cmd->add_flag("--strict", a->strict,
                  "Exit 1 when a criterion fails, or the ship sinks or capsizes");
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        if (damage->count() == 0 && open->count() == 0)
            throw CUsageError("--case NAME|all or --open COMPARTMENT[,COMPARTMENT...] is required");
        if (!FindDamageCriteriaSet(a->criteria)) {
            std::string keys;
            for (const CDamageCriteriaSet& s : DamageCriteriaSets())
                keys += std::string(keys.empty() ? "" : ", ") + s.key;
            throw CUsageError("--criteria " + Named(a->criteria) + " is none of " + keys);
        }
        const bool fromCondition = condition->count() > 0;
        if (!fromCondition)
            for (const CLI::Option* option : lightship)
                if (option->count() == 0)
                    throw CUsageError(option->get_name() + " is required (or --condition NAME)");
        RefuseTypedValuesThatAreNotNumbers(*cmd);
        std::vector<CDamageCase> cases;
        if (open->count())
            cases.push_back(DamageCaseOfOpenList(
                a->open, deck->count() ? std::optional<double>(a->deck) : std::nullopt));
        CStabilityInputs in = a->in;
        in.perpendiculars = ap->count() > 0;
        if (flooding->count())
            in.flooding = a->flooding;
        CInputNames names{cmd, nullptr};
        if (!fromCondition)
            if (const CCalcCheck problem = CheckStabilityInputs(in))
                throw CRefusedError(DescribeStabilityProblem(*problem, in, names));
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        CLoadingConditions conditions;
        const std::string file = ConditionsPathOf(a->ship);
        bool haveFile = false;
        if (fromCondition) {
            const CLoadingCondition* c = FindCondition(a->ship, a->condition, conditions);
            haveFile = true;
            WarnOfUnknownTanks(ship, a->ship, *c);
            TakeCondition(ConditionStabilityInputs(ship, *c), *cmd, in);
            names.condition = c;
            if (const CCalcCheck problem = CheckStabilityInputs(in))
                throw CRefusedError(DescribeStabilityProblem(*problem, in, names));
        } else {
            haveFile = LoadConditionsFile(a->ship, conditions);
        }
        if (damage->count()) {
            if (a->damage == "all") {
                cases = conditions.DamageCases();
                if (cases.empty())
                    throw CRefusedError(
                        "no damage cases " +
                        (haveFile ? "in " + file : ": " + file + " does not exist"));
            } else if (const CDamageCase* d = conditions.FindDamageCase(a->damage)) {
                cases.push_back(*d);
            } else {
                throw CRefusedError("no damage case " + Named(a->damage) +
                                    (haveFile ? " in " + file : ": " + file + " does not exist"));
            }
        }
        RefuseValuesThatAreNotNumbers(ship, true, true);
        WarnOfSurfaceFaults(ship, true, true);
        WarnOfOpenCompartments(ship, cases);
        if (names.condition) {
            for (int i = 1; i <= ship.Tanks().GetCount(); ++i) {
                const CTank& tank = *ship.Tanks().GetAt(i);
                if (tank.IsEnabled() && tank.GetLoadVolume() > 0 &&
                    !names.condition->TankLoad(tank.GetName()))
                    WarnIfDensityUnset(tank);
            }
        } else {
            WarnOfUnsetDensities(ship, true);
        }
        // Every case checked before any is computed: a refusal prints
        // nothing.
        std::vector<CDamageInputs> inputs;
        for (const CDamageCase& d : cases) {
            CDamageInputs di{in, d, conditions.Openings(), a->criteria};
            const std::string source = open->count() ? "--open" : "damage case " + Named(d.name);
            if (CCalcCheck problem = CheckDamageInputs(di))
                throw CRefusedError(DescribeDamageProblem(*problem, di, names, source));
            if (CCalcCheck problem = CheckDamageShip(ship, di))
                throw CRefusedError(DescribeDamageProblem(*problem, di, names, source));
            inputs.push_back(std::move(di));
        }
        std::vector<CDamageResult> results;
        for (const CDamageInputs& di : inputs) {
            try {
                results.push_back(ComputeDamage(ship, di, stop));
            } catch (const CCalcFailure& e) {
                const std::string source =
                    open->count() ? "--open" : "damage case " + Named(di.damage.name);
                throw CRefusedError(source + ": " +
                                    DescribeStabilityProblem(e.Problem(), di.condition, names));
            }
            const CDamageResult& r = results.back();
            if (di.damage.bulkhead_deck && r.outcome == DamageOutcome::floats && !r.deck_edge)
                std::fprintf(stderr,
                             "brelund-calc: warning: damage case %s: the hull has no outline at "
                             "its bulkhead deck, z = %g m: the deck edge and the margin line are "
                             "not judged\n",
                             Named(r.name).c_str(), *di.damage.bulkhead_deck);
        }
        RecordFormat format = RecordFormat::tsv;
        ParseRecordFormat(a->format, format);
        const std::string text = WriteDamageReport(
            results, a->criteria, damage->count() && a->damage == "all", format, a->digits);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::string failed;
        for (const CDamageResult& r : results) {
            std::string what;
            if (r.outcome != DamageOutcome::floats)
                what = std::string("the ship ") + OutcomeWord(r.outcome);
            for (const CDamageCriterion& c : r.criteria)
                if (!c.Passes())
                    what += (what.empty() ? "" : ", ") + c.name.english;
            if (!what.empty())
                failed += (failed.empty() ? "" : "; ") + std::string("case ") + Named(r.name) +
                          ": " + what;
        }
        status = exitOk;
        if (a->strict && !failed.empty()) {
            std::fprintf(stderr, "brelund-calc: criteria not met: %s\n", failed.c_str());
            status = exitRefused;
        }
    });
}

} // namespace

void AddDamageCommand(CLI::App& app, int& status) {
    AddDamage(app, status);
}
