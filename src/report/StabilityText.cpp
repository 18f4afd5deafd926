#include "StabilityText.h"
#include "DatumText.h"

#include <cmath>
#include <optional>

namespace {

CRecordCell Value(double x) {
    return std::isfinite(x) ? CRecordCell(x) : CRecordCell();
}

CRecordCell Value(const std::optional<double>& x) {
    return x ? Value(*x) : CRecordCell();
}

const char* SourceName(FloodingSource source) {
    switch (source) {
    case FloodingSource::typed:
        return "typed";
    case FloodingSource::opening:
        return "opening";
    default:
        return "none";
    }
}

} // namespace

CStabilityTables StabilityTables(const CStabilityResult& r) {
    CStabilityTables tables;
    CRecordTable& curve = tables.curve;
    curve.columns = {{"heel[deg]", "heel_deg"}, {"GZ[m]", "GZ_m"},         {"KN[m]", "KN_m"},
                     {"T[m]", "T_m"},           {"trim[deg]", "trim_deg"}, {"LCG[m]", "LCG_m"},
                     {"TCG[m]", "TCG_m"},       {"VCG[m]", "VCG_m"}};
    for (const CStabilityPoint& p : r.curve)
        curve.rows.push_back({Value(p.heel), Value(p.gz), Value(p.kn), Value(p.draught),
                              Value(p.trim), Value(p.g.X()), Value(p.g.Y()), Value(p.g.Z())});

    const CStabilitySummary& s = r.summary;
    CRecordTable& summary = tables.summary;
    summary.columns = {{"Disp[t]", "displacement_t"},
                       {"V[m^3]", "volume_m3"},
                       {"LCG[m]", "LCG_m"},
                       {"TCG[m]", "TCG_m"},
                       {"VCG[m]", "VCG_m"},
                       {"T0[m]", "T0_m"},
                       {"TA[m]", "TA_m"},
                       {"TF[m]", "TF_m"},
                       {"trim0[m]", "trim0_m"},
                       {"trim0[deg]", "trim0_deg"},
                       {"KG[m]", "KG_m"},
                       {"KMt[m]", "KMt_m"},
                       {"GM0solid[m]", "GM0_solid_m"},
                       {"FSC[m]", "FSC_m"},
                       {"GM0[m]", "GM0_m"},
                       {"FSCl[m]", "FSCl_m"},
                       {"GMl[m]", "GMl_m"},
                       {"MCT1cm[t*m/cm]", "MCT1cm_t_m_per_cm"},
                       {"GZmax[m]", "GZmax_m"},
                       {"heelGZmax[deg]", "heel_GZmax_deg"},
                       {"vanishing[deg]", "vanishing_deg"},
                       {"equilibrium[deg]", "equilibrium_heel_deg"},
                       {"area0-30[m*rad]", "area_0_30_m_rad"},
                       {"area0-lim[m*rad]", "area_0_lim_m_rad"},
                       {"area30-lim[m*rad]", "area_30_lim_m_rad"},
                       {"lim[deg]", "lim_deg"}};
    AddDatumColumns(summary);
    summary.columns.push_back({"interpolation", "interpolation"});
    summary.columns.push_back({"side", "side"});
    summary.rows.push_back({Value(s.displacement),
                            Value(s.volume),
                            Value(s.g.X()),
                            Value(s.g.Y()),
                            Value(s.g.Z()),
                            Value(s.draught),
                            Value(s.draught_aft),
                            Value(s.draught_fore),
                            Value(s.draught_aft - s.draught_fore),
                            Value(s.trim),
                            Value(s.kg),
                            Value(s.kmt),
                            Value(s.gm_solid),
                            Value(s.fsc),
                            Value(s.gm0),
                            Value(s.fsc_long),
                            Value(s.gml),
                            Value(s.mct),
                            Value(s.features.max_gz),
                            Value(s.features.max_angle),
                            Value(s.features.vanishing),
                            Value(s.equilibrium),
                            Value(s.area_30),
                            Value(s.area_limit),
                            Value(s.area_30_limit),
                            Value(s.limit_angle)});
    AddDatumCells(s.datums, summary.rows.back());
    summary.rows.back().push_back("monotone cubic through the points");
    summary.rows.back().push_back(s.side < 0 ? "port" : "starboard");
    // Ships without openings keep the report they always had.
    if (!r.openings.empty()) {
        summary.columns.push_back({"flooding[deg]", "flooding_angle_deg"});
        summary.columns.push_back({"floodingFrom", "flooding_source"});
        summary.columns.push_back({"floodingOpening", "flooding_opening"});
        summary.rows.back().push_back(Value(s.flooding));
        summary.rows.back().push_back(SourceName(s.flooding_source));
        summary.rows.back().push_back(s.flooding_source == FloodingSource::opening
                                          ? CRecordCell(s.flooding_opening)
                                          : CRecordCell());
        CRecordTable& openings = tables.openings;
        openings.columns = {{"opening", "opening"},
                            {"weathertight", "weathertight"},
                            {"height[m]", "height_m"},
                            {"immersionSB[deg]", "immersion_starboard_deg"},
                            {"immersionPS[deg]", "immersion_port_deg"}};
        for (const COpeningImmersion& o : r.openings)
            openings.rows.push_back({o.opening.name, o.opening.weathertight ? "yes" : "no",
                                     Value(o.height), Value(o.starboard),
                                     o.port ? Value(-*o.port) : CRecordCell()});
    }

    CRecordTable& criteria = tables.criteria;
    criteria.columns = {{"criterion", "criterion"}, {"value", "value"}, {"limit", "limit"},
                        {"margin", "margin"},       {"unit", "unit"},   {"result", "result"}};
    for (const CIntactCriterion& c : r.criteria)
        criteria.rows.push_back({c.name, Value(c.value), Value(c.limit), Value(c.Margin()),
                                 c.unit, c.Passes() ? "pass" : "fail"});
    return tables;
}

CRecordTable WeatherTable(const CWeatherCalculation& w) {
    const CWeatherResult& r = w.result;
    const CWeatherParticulars& p = w.ship;
    CRecordTable t;
    t.columns = {{"A[m^2]", "A_m2"},
                 {"Z[m]", "Z_m"},
                 {"lw1[m]", "lw1_m"},
                 {"lw2[m]", "lw2_m"},
                 {"L[m]", "L_m"},
                 {"B[m]", "B_m"},
                 {"d[m]", "d_m"},
                 {"Cb", "Cb"},
                 {"X1", "X1"},
                 {"X2", "X2"},
                 {"Ak[m^2]", "Ak_m2"},
                 {"k", "k"},
                 {"C", "C"},
                 {"T[s]", "T_s"},
                 {"s", "s"},
                 {"OG[m]", "OG_m"},
                 {"r", "r"},
                 {"theta1[deg]", "theta1_deg"},
                 {"theta0[deg]", "theta0_deg"},
                 {"deckEdge[deg]", "deck_edge_immersion_deg"},
                 {"theta0max[deg]", "theta0_limit_deg"},
                 {"lw2first[deg]", "lw2_first_intercept_deg"},
                 {"lw2second[deg]", "lw2_second_intercept_deg"},
                 {"theta2[deg]", "theta2_deg"},
                 {"areaA[m*rad]", "area_a_m_rad"},
                 {"areaB[m*rad]", "area_b_m_rad"}};
    t.rows.push_back({Value(p.wind_area), Value(p.wind_lever), Value(r.lw1), Value(r.lw2),
                      Value(p.length), Value(p.breadth), Value(p.draught), Value(p.block),
                      Value(r.x1), Value(r.x2), Value(r.bilge_keel_area), Value(r.k), Value(r.c),
                      Value(r.period), Value(r.s), Value(r.og), Value(r.r), Value(r.roll),
                      Value(r.heel), Value(r.deck_edge), Value(r.heel_limit), Value(r.intercept), Value(r.second_intercept), Value(r.limit),
                      Value(r.area_a), Value(r.area_b)});
    return t;
}

std::string WriteStabilityReport(const CStabilityResult& r, RecordFormat format, int digits,
                                 const CWeatherCalculation* weather) {
    CStabilityResult with = r;
    if (weather)
        with.criteria.insert(with.criteria.end(), weather->result.criteria.begin(),
                             weather->result.criteria.end());
    const CStabilityTables t = StabilityTables(with);
    std::vector<CRecordSection> sections = {{"curve", &t.curve, false},
                                            {"summary", &t.summary, true},
                                            {"criteria", &t.criteria, false}};
    if (!r.openings.empty())
        sections.push_back({"openings", &t.openings, false});
    CRecordTable table;
    if (weather) {
        table = WeatherTable(*weather);
        sections.push_back({"weather", &table, true});
    }
    return WriteRecordSections(sections, format, digits);
}
