#include "DamageText.h"
#include "DatumText.h"
#include "StabilityText.h"

#include <cmath>

namespace {

CRecordCell Value(double x) {
    return std::isfinite(x) ? CRecordCell(x) : CRecordCell();
}

CRecordCell Height(const std::optional<double>& h) {
    return h ? Value(*h) : CRecordCell();
}

const char* Immersion(const std::optional<double>& h) {
    return !h ? "not given" : *h < 0 ? "immersed" : "not immersed";
}

} // namespace

const char* OutcomeWord(DamageOutcome outcome) {
    switch (outcome) {
    case DamageOutcome::sinks:
        return "sinks";
    case DamageOutcome::capsizes:
        return "capsizes";
    default:
        return "floats";
    }
}

CDamageTables DamageTables(const CDamageResult& r, const std::string& set) {
    CDamageTables t;
    CRecordTable& summary = t.summary;
    summary.columns = {{"case", "case"},
                       {"result", "result"},
                       {"criteria", "criteria"},
                       {"Disp[t]", "displacement_t"},
                       {"capacity[m^3]", "capacity_m3"},
                       {"T0[m]", "T0_m"},
                       {"TA[m]", "TA_m"},
                       {"TF[m]", "TF_m"},
                       {"trim0[m]", "trim0_m"},
                       {"trim0[deg]", "trim0_deg"},
                       {"equilibrium[deg]", "equilibrium_heel_deg"},
                       {"intact[deg]", "intact_heel_deg"},
                       {"LCG[m]", "LCG_m"},
                       {"TCG[m]", "TCG_m"},
                       {"VCG[m]", "VCG_m"},
                       {"LCB[m]", "LCB_m"},
                       {"TCB[m]", "TCB_m"},
                       {"VCB[m]", "VCB_m"},
                       {"KG[m]", "KG_m"},
                       {"KMt[m]", "KMt_m"},
                       {"GM0solid[m]", "GM0_solid_m"},
                       {"FSC[m]", "FSC_m"},
                       {"GM0[m]", "GM0_m"},
                       {"GZmax[m]", "GZmax_m"},
                       {"heelGZmax[deg]", "heel_GZmax_deg"},
                       {"range[deg]", "range_deg"},
                       {"no trim at[deg]", "no_trim_at_deg"},
                       {"lost[m^3]", "lost_volume_m3"},
                       {"deck edge[m]", "deck_edge_m"},
                       {"deck edge", "deck_edge"},
                       {"margin line[m]", "margin_line_m"},
                       {"margin line", "margin_line"}};
    AddDatumColumns(summary);
    summary.columns.push_back({"side", "side"});
    std::vector<CRecordCell> row = {r.name, OutcomeWord(r.outcome), set, Value(r.displacement)};
    if (r.outcome != DamageOutcome::floats) {
        // Capsizing, it was found upright intact (or at its own list) first.
        const bool sinks = r.outcome == DamageOutcome::sinks;
        row.push_back(sinks ? Value(r.capacity) : CRecordCell());
        row.resize(summary.columns.size());
        if (!sinks)
            for (std::size_t k = 0; k < summary.columns.size(); ++k)
                if (summary.columns[k].key == "intact_heel_deg")
                    row[k] = Value(r.intact_heel);
        summary.rows.push_back(std::move(row));
        return t;
    }
    const CStabilityFloat& e = r.equilibrium;
    const CStabilitySummary& s = r.curve.summary;
    double lost = 0;
    for (const CFloodedSpace& space : r.spaces)
        lost += space.lost_volume;
    row.insert(row.end(), {CRecordCell(),
                           Value(e.point.draught),
                           Value(r.draught_aft),
                           Value(r.draught_fore),
                           Value(r.draught_aft - r.draught_fore),
                           Value(e.point.trim),
                           Value(e.point.heel),
                           Value(r.intact_heel),
                           Value(e.point.g.X()),
                           Value(e.point.g.Y()),
                           Value(e.point.g.Z()),
                           Value(e.b.X()),
                           Value(e.b.Y()),
                           Value(e.b.Z()),
                           Value(s.kg),
                           Value(s.kmt),
                           Value(s.gm_solid),
                           Value(s.fsc),
                           Value(s.gm0),
                           Value(s.features.max_gz),
                           Value(s.features.max_angle),
                           Value(r.range),
                           r.stopped_at ? Value(r.side * *r.stopped_at) : CRecordCell(),
                           Value(lost),
                           Height(r.deck_edge),
                           Immersion(r.deck_edge),
                           Height(r.margin_line),
                           Immersion(r.margin_line)});
    AddDatumCells(r.datums, row);
    row.push_back(r.side < 0 ? "port" : "starboard");
    summary.rows.push_back(std::move(row));

    t.compartments.columns = {{"compartment", "compartment"},
                              {"permeability", "permeability"},
                              {"lost[m^3]", "lost_volume_m3"}};
    for (const CFloodedSpace& space : r.spaces)
        t.compartments.rows.push_back(
            {space.name, Value(space.permeability), Value(space.lost_volume)});

    t.openings.columns = {{"opening", "opening"},
                          {"x[m]", "x_m"},
                          {"y[m]", "y_m"},
                          {"z[m]", "z_m"},
                          {"weathertight", "weathertight"},
                          {"height[m]", "height_m"},
                          {"immersed", "immersed"}};
    for (const COpeningHeight& o : r.openings)
        t.openings.rows.push_back({o.opening.name, Value(o.opening.x), Value(o.opening.y),
                                   Value(o.opening.z), o.opening.weathertight ? "yes" : "no",
                                   Value(o.height), o.height < 0 ? "yes" : "no"});

    t.criteria.columns = {{"criterion", "criterion"}, {"value", "value"}, {"limit", "limit"},
                          {"margin", "margin"},       {"unit", "unit"},   {"result", "result"},
                          {"source", "source"}};
    for (const CDamageCriterion& c : r.criteria)
        t.criteria.rows.push_back({c.name.english, Value(c.value), Value(c.limit),
                                   Value(c.Margin()), c.unit, c.Passes() ? "pass" : "fail",
                                   c.source});

    t.curve = StabilityTables(r.curve).curve;
    return t;
}

std::string WriteDamageReport(const std::vector<CDamageResult>& results, const std::string& set,
                              bool several, RecordFormat format, int digits) {
    const bool json = format == RecordFormat::json;
    std::string out = several && json ? "[\n" : "";
    for (std::size_t k = 0; k < results.size(); ++k) {
        const CDamageTables t = DamageTables(results[k], set);
        std::vector<CRecordSection> sections = {{"summary", &t.summary, true}};
        if (results[k].outcome == DamageOutcome::floats)
            sections.insert(sections.end(), {{"compartments", &t.compartments, false},
                                             {"openings", &t.openings, false},
                                             {"criteria", &t.criteria, false},
                                             {"curve", &t.curve, false}});
        std::string text = WriteRecordSections(sections, format, digits);
        if (k > 0)
            out += json ? ",\n" : format == RecordFormat::csv ? "\r\n" : "\n";
        if (json && several)
            text.pop_back(); // the object's line end; the array's separators follow
        out += text;
    }
    if (several && json)
        out += "\n]\n";
    return out;
}
