// brelund-calc conditions: the loading conditions kept beside a ship, one
// line each with its displacement and centre of gravity; and the finding of
// a condition for the commands that take one.
#include "CliCommon.h"

#include "calc/RecordTable.h"
#include "geometry/IntegrationRules.h"
#include "model/CShipModel.h"
#include "model/ConditionsFile.h"
#include "platform/NumberText.h"
#include "report/RecordText.h"

#include <cstdio>
#include <memory>

namespace {

std::string Quoted(const std::string& name) {
    return "'" + EscapeField(name) + "'";
}

// Why condition has no centre of gravity: the first enabled tank whose
// load does not fit it, as a warning's line.
void WarnOfNoCentre(const CShipModel& ship, const CLoadingCondition& condition) {
    const CLiquidLoads loads = LiquidLoadsOf(ship, condition);
    std::string why = "a tank's liquid level was not found";
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i) {
        const CTank& tank = *ship.Tanks().GetAt(i);
        const double load = loads[static_cast<std::size_t>(i - 1)].volume;
        const double volume = tank.VolumeBy<CExactRule>();
        if (tank.IsEnabled() && load != 0 && !(load > 0 && load <= volume * (1 + 1e-9))) {
            why = ElementLabel(tank, kindTank) +
                  FormatC(": its load volume %g m^3 does not fit its volume %g m^3", load, volume);
            break;
        }
    }
    std::fprintf(stderr, "brelund-calc: warning: condition %s: no centre of gravity, as %s\n",
                 Quoted(condition.name).c_str(), why.c_str());
}

CRecordTable ConditionTable(const CShipModel& ship, const CLoadingConditions& conditions) {
    CRecordTable table;
    table.columns = {{"name", "name"},
                     {"Disp[t]", "displacement_t"},
                     {"LCG[m]", "LCG_m"},
                     {"TCG[m]", "TCG_m"},
                     {"VCG[m]", "VCG_m"}};
    for (const CLoadingCondition& c : conditions.All()) {
        const CConditionTotals totals = ConditionTotals(ship, c);
        std::vector<CRecordCell> row = {c.name, totals.displacement};
        if (totals.centre_found) {
            row.insert(row.end(), {totals.g.X(), totals.g.Y(), totals.g.Z()});
        } else {
            row.resize(5);
            if (totals.displacement > 0)
                WarnOfNoCentre(ship, c);
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

} // namespace

const CLoadingCondition* FindCondition(const std::string& shipPath, const std::string& name,
                                       CLoadingConditions& conditions) {
    const bool found = LoadConditionsFile(shipPath, conditions);
    if (const CLoadingCondition* c = conditions.Find(name))
        return c;
    const std::string path = ConditionsPathOf(shipPath);
    throw CRefusedError("no loading condition " + Quoted(name) +
                        (found ? " in " + path : ": " + path + " does not exist"));
}

void WarnOfUnknownTanks(const CShipModel& ship, const std::string& shipPath,
                        const CLoadingCondition& condition) {
    for (const std::string& tank : UnknownTanks(ship, condition))
        std::fprintf(stderr,
                     "brelund-calc: warning: %s: condition %s loads tank %s, which the ship "
                     "does not have: that load is left out\n",
                     ConditionsPathOf(shipPath).c_str(), Quoted(condition.name).c_str(),
                     Quoted(tank).c_str());
}

void AddConditionsCommand(CLI::App& app, int& status) {
    struct Args {
        std::string ship, format = "tsv";
        int digits = 6;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "conditions", "List the loading conditions kept beside a ship (SHIP.conditions.json), "
                      "one per line: name, displacement and centre of gravity, the liquids at "
                      "upright even keel");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    AddRecordOutputOptions(*cmd, a->format, a->digits);
    cmd->callback([a, &status] {
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        CLoadingConditions conditions;
        LoadConditionsFile(a->ship, conditions);
        for (const CLoadingCondition& c : conditions.All())
            WarnOfUnknownTanks(ship, a->ship, c);
        RecordFormat format = RecordFormat::tsv;
        ParseRecordFormat(a->format, format);
        // Built whole before anything is printed.
        const std::string text = WriteRecords(ConditionTable(ship, conditions), format, a->digits);
        std::fwrite(text.data(), 1, text.size(), stdout);
        status = exitOk;
    });
}
