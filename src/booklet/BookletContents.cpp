#include "BookletContents.h"

#include "calc/CurvesOfForm.h"
#include "calc/TankTable.h"
#include "model/CShipModel.h"
#include "model/MeshFaces.h"
#include "platform/NumberText.h"
#include "report/DamageText.h"
#include "report/InclinedText.h"
#include "report/ItalianWords.h"
#include "report/RecordText.h"
#include "report/StabilityText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Significant digits of every figure, as the commands print by default.
constexpr int kDigits = 6;
constexpr double kRadianDeg = 180 / 3.14159265358979323846;

// A cell as the commands write it, less the rounding of a sum that should
// be 0 (a symmetric hull's TCB of 1e-17 m): printed 0.
std::string Tidy(const std::string& text) {
    if (text.find("e-") == std::string::npos)
        return text;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end && *end == '\0' && std::fabs(value) < 1e-9)
        return "0";
    return text;
}

std::string Figure(double value) {
    return std::isfinite(value) ? Tidy(FormatC("%.*g", kDigits, value)) : std::string("-");
}

// The words of the damage report's texts as the window says them.
std::string Italian(const std::string& text) {
    static const std::pair<const char*, const char*> words[] = {{"floats", "galleggia"},
                                                                {"sinks", "affonda"},
                                                                {"capsizes", "si capovolge"},
                                                                {"immersed", "immerso"},
                                                                {"not immersed", "non immerso"},
                                                                {"not given", "non dato"},
                                                                {"yes", "Sì"},
                                                                {"no", "No"}};
    for (const auto& [en, it] : words)
        if (text == en)
            return it;
    return text;
}

// The records as a booklet table: the commands' headers and cells.
CBookletTable TableOf(const CRecordTable& records, const std::vector<std::string>& skip = {}) {
    const CTextGrid grid = RecordGrid(records, kDigits);
    CBookletTable t;
    std::vector<int> columns;
    for (int c = 0; c < grid.GetCols(); ++c)
        if (std::find(skip.begin(), skip.end(), records.columns[static_cast<std::size_t>(c)].key) ==
            skip.end())
            columns.push_back(c);
    for (int c : columns)
        t.header.push_back(grid.GetText(0, c));
    for (int r = 1; r < grid.GetRows(); ++r) {
        std::vector<std::string> row;
        for (int c : columns)
            row.push_back(Tidy(grid.GetText(r, c)));
        t.rows.push_back(std::move(row));
    }
    return t;
}

// A one-row record table as two columns, quantity and value; labels gives
// the quantities named in words by their keys, the others keep their header.
CBookletTable Transposed(const CRecordTable& records,
                         const std::vector<std::pair<const char*, const char*>>& labels,
                         const std::vector<std::string>& skip = {}) {
    const CTextGrid grid = RecordGrid(records, kDigits);
    CBookletTable t;
    t.header = {"Grandezza", "Valore"};
    for (int c = 0; c < grid.GetCols(); ++c) {
        const std::string& key = records.columns[static_cast<std::size_t>(c)].key;
        if (std::find(skip.begin(), skip.end(), key) != skip.end())
            continue;
        std::string label = grid.GetText(0, c);
        for (const auto& [k, words] : labels)
            if (key == k)
                label = std::string(words) + "  (" + label + ")";
        t.rows.push_back({label, grid.GetRows() > 1 ? Italian(Tidy(grid.GetText(1, c))) : "-"});
    }
    return t;
}

int ColumnOf(const CRecordTable& t, const char* key) {
    for (std::size_t c = 0; c < t.columns.size(); ++c)
        if (t.columns[c].key == key)
            return static_cast<int>(c);
    return -1;
}

double NumberAt(const CRecordTable& t, std::size_t row, int column) {
    if (column < 0 || row >= t.rows.size())
        return NAN;
    const CRecordCell& cell = t.rows[row][static_cast<std::size_t>(column)];
    return cell.IsNumber() ? cell.Number() : NAN;
}

const std::vector<std::pair<const char*, const char*>> kEquilibriumLabels = {
    {"displacement_t", "Dislocamento"},
    {"volume_m3", "Volume di carena"},
    {"TA_m", "Immersione AP"},
    {"T0_m", "Immersione al mezzo"},
    {"TF_m", "Immersione FP"},
    {"trim0_m", "Assetto TA - TF"},
    {"trim0_deg", "Assetto"},
    {"equilibrium_heel_deg", "Sbandamento di equilibrio"},
    {"KG_m", "KG"},
    {"KMt_m", "KMt"},
    {"GM0_solid_m", "GM0 solido"},
    {"FSC_m", "Correzione superfici libere"},
    {"GM0_m", "GM0 fluido"},
    {"GMl_m", "GM longitudinale"},
    {"MCT1cm_t_m_per_cm", "Momento per variare l'assetto di 1 cm"},
    {"GZmax_m", "GZ massimo"},
    {"heel_GZmax_deg", "Sbandamento del GZ massimo"},
    {"vanishing_deg", "Angolo di stabilità nulla"},
    {"flooding_angle_deg", "Angolo di allagamento"},
    {"result", "Esito"},
    {"lost_volume_m3", "Volume perduto"},
    {"range_deg", "Ampiezza della curva positiva"},
    {"deck_edge_m", "Orlo del ponte sul galleggiamento"},
    {"margin_line_m", "Linea limite sul galleggiamento"},
    {"LCG_m", "Baricentro, x"},
    {"TCG_m", "Baricentro, y"},
    {"VCG_m", "Baricentro, z"},
    {"LCB_m", "Centro di carena, x"},
    {"TCB_m", "Centro di carena, y"},
    {"VCB_m", "Centro di carena, z"},
    {"FSCl_m", "Correzione superfici libere longitudinale"},
    {"area_0_30_m_rad", "Area 0-30°"},
    {"area_0_lim_m_rad", "Area 0-limite"},
    {"area_30_lim_m_rad", "Area 30-limite"},
    {"lim_deg", "Angolo limite delle aree"},
    {"capacity_m3", "Capacità"},
    {"intact_heel_deg", "Sbandamento integro"},
    {"no_trim_at_deg", "Nessun assetto di equilibrio da"},
    {"deck_edge", "Orlo del ponte"},
    {"margin_line", "Linea limite"},
};

// The datums are said once, in a paragraph; the booklet's tables leave them out.
const std::vector<std::string> kDatumKeys = {
    "baseline_m",     "AP_m", "FP_m",          "Lpp_m",           "midship_m",
    "perpendiculars", "side", "interpolation", "flooding_source", "flooding_opening"};

std::vector<std::string> Skip(std::vector<std::string> more) {
    more.insert(more.end(), kDatumKeys.begin(), kDatumKeys.end());
    return more;
}

const char* Verdict(bool passes) {
    return passes ? "superato" : "non superato";
}

CBookletTable CriteriaTable(const std::vector<CIntactCriterion>& criteria, double limitAngle,
                            std::size_t intact) {
    CRecordTable records;
    records.columns = {{"v", "v"}, {"l", "l"}, {"m", "m"}};
    for (const CIntactCriterion& c : criteria)
        records.rows.push_back({c.value, c.limit, c.Margin()});
    const CTextGrid grid = RecordGrid(records, kDigits);
    CBookletTable t;
    t.header = {"Criterio", "Valore", "Limite", "Margine", "Unità", "Esito"};
    for (std::size_t k = 0; k < criteria.size(); ++k) {
        const CIntactCriterion& c = criteria[k];
        const int row = static_cast<int>(k) + 1;
        t.rows.push_back({CriterionNameIt(k < intact ? k : 6 + (k - intact), limitAngle, c.name),
                          grid.GetText(row, 0), grid.GetText(row, 1), grid.GetText(row, 2),
                          UnitNameIt(c.unit), Verdict(c.Passes())});
        t.alarm.push_back(!c.Passes());
    }
    return t;
}

// The GZ curve with the GM0 slope and the areas up to 30 deg and from 30
// deg to the limit angle shaded.
CBookletChart GzChart(const CStabilityResult& r) {
    CBookletChart chart;
    chart.x_label = "Sbandamento [°]";
    chart.y_label = "GZ [m]";
    CBookletSeries gz{"GZ", {}, 0, false};
    for (const CStabilityPoint& p : r.curve)
        gz.points.emplace_back(std::fabs(p.heel), p.gz);
    std::sort(gz.points.begin(), gz.points.end());
    chart.series.push_back(gz);
    const CStabilitySummary& s = r.summary;
    if (std::isfinite(s.gm0))
        chart.series.push_back({"GM0 (a 1 rad)", {{0, 0}, {kRadianDeg, s.gm0}}, 4, true});
    const double from = std::isfinite(s.equilibrium) ? std::fabs(s.equilibrium) : 0;
    chart.shades.push_back({0, from, std::max(from, 30.0), 0, "Area 0-30°", 1});
    if (s.limit_angle > 30)
        chart.shades.push_back(
            {0, 30, s.limit_angle, 0, "Area 30-" + Figure(s.limit_angle) + "°", 2});
    if (s.flooding)
        chart.marks.push_back({*s.flooding, "Allagamento " + Figure(*s.flooding) + "°"});
    if (std::isfinite(s.features.vanishing))
        chart.marks.push_back(
            {s.features.vanishing, "Stabilità nulla " + Figure(s.features.vanishing) + "°"});
    return chart;
}

// The Code's figure of the weather criterion: the curve from the roll to
// windward to theta2, the levers lw1 and lw2, the areas a and b.
CBookletChart WeatherChart(const CWeatherCalculation& w) {
    const CWeatherResult& r = w.result;
    CBookletChart chart;
    chart.x_label = "Sbandamento [°]";
    chart.y_label = "Braccio [m]";
    CBookletSeries gz{"GZ", {}, 0, false};
    for (std::size_t k = 0; k < w.curve.heels.size(); ++k)
        gz.points.emplace_back(w.curve.heels[k], w.curve.gz[k]);
    chart.series.push_back(gz);
    if (gz.points.empty())
        return chart;
    const double lo = gz.points.front().first, hi = gz.points.back().first;
    if (std::isfinite(r.lw1))
        chart.series.push_back({"lw1", {{lo, r.lw1}, {hi, r.lw1}}, 3, true});
    if (std::isfinite(r.lw2))
        chart.series.push_back({"lw2", {{lo, r.lw2}, {hi, r.lw2}}, 5, true});
    const double start = r.heel - r.roll;
    if (std::isfinite(start) && std::isfinite(r.intercept) && std::isfinite(r.lw2)) {
        chart.shades.push_back({0, std::max(lo, start), r.intercept, r.lw2, "Area a", 2});
        if (std::isfinite(r.limit))
            chart.shades.push_back({0, r.intercept, std::min(hi, r.limit), r.lw2, "Area b", 1});
    }
    if (std::isfinite(r.heel))
        chart.marks.push_back({r.heel, "θ0 " + Figure(r.heel) + "°"});
    if (std::isfinite(start))
        chart.marks.push_back({start, "θ0 - θ1 " + Figure(start) + "°"});
    if (std::isfinite(r.limit))
        chart.marks.push_back({r.limit, "θ2 " + Figure(r.limit) + "°"});
    return chart;
}

CBookletChart DamageChart(const CDamageResult& r) {
    CBookletChart chart;
    chart.x_label = "Sbandamento [°]";
    chart.y_label = "GZ dopo avaria [m]";
    CBookletSeries gz{"GZ", {}, 0, false};
    for (const CStabilityPoint& p : r.curve.curve)
        gz.points.emplace_back(std::fabs(p.heel), p.gz);
    std::sort(gz.points.begin(), gz.points.end());
    chart.series.push_back(gz);
    const double eq = std::fabs(r.equilibrium.point.heel);
    chart.marks.push_back({eq, "Equilibrio " + Figure(eq) + "°"});
    if (r.range > 0)
        chart.shades.push_back({0, eq, eq + r.range, 0, "Ampiezza " + Figure(r.range) + "°", 1});
    return chart;
}

void Say(const CBookletProgress& progress, int step, int steps, const std::string& what) {
    if (progress)
        progress(step, steps, what);
}

} // namespace

CInclinedInputs CrossCurveInputs(const CShipModel& ship) {
    CInclinedInputs in;
    in.rule = IntegrationRule::exact;
    OpenInclinedTable(ship, in);
    const double tenth = in.vmax / 10;
    const double step =
        tenth > 0 ? std::stod(FormatC("%.3g", tenth)) : 1; // three significant digits
    in.kind = EvenKeelKZ;
    in.vi = step;
    in.dv = step;
    in.vf = step * std::max(1.0, std::floor(in.vmax * 0.95 / step));
    in.ai = 10;
    in.af = 80;
    in.da = 10;
    CorrectInclinedInputs(in);
    return in;
}

CBookletData ComputeBooklet(const CShipModel& ship, const std::string& shipName,
                            const CLoadingConditions& conditions, const CBookletRequest& request,
                            const CStopRequest* stop, const CBookletProgress& progress) {
    using What = CBookletFailure::What;
    // The names asked for, before anything is computed.
    std::vector<const CLoadingCondition*> chosen;
    if (request.all_conditions) {
        for (const CLoadingCondition& c : conditions.All())
            chosen.push_back(&c);
    } else {
        for (const std::string& name : request.conditions) {
            const CLoadingCondition* c = conditions.Find(name);
            if (!c)
                throw CBookletFailure(What::unknownCondition, name, std::nullopt,
                                      "no loading condition '" + EscapeText(name) + "'");
            chosen.push_back(c);
        }
    }
    std::vector<const CDamageCase*> cases;
    if (request.all_damage) {
        for (const CDamageCase& d : conditions.DamageCases())
            cases.push_back(&d);
    } else {
        for (const std::string& name : request.damage) {
            const CDamageCase* d = conditions.FindDamageCase(name);
            if (!d)
                throw CBookletFailure(What::unknownCase, name, std::nullopt,
                                      "no damage case '" + EscapeText(name) + "'");
            cases.push_back(d);
        }
    }
    const int steps = 3 + static_cast<int>(chosen.size() * (1 + cases.size()));
    int step = 0;

    CBookletData data;
    data.ship = shipName;
    data.criteria = request.criteria;
    static const char* const kinds[] = {"", "Scafo", "Compartimento", "Cassa"};
    auto check = [&](const CShipElement& e, int kind) {
        CBookletElement element{
            kinds[kind], e.GetName(), e.IsEnabled(), CheckElement(e, false), {}};
        element.problems = DescribeProblems(e, kind, element.check, "invert");
        data.elements.push_back(std::move(element));
    };
    for (int i = 1; i <= ship.HullElements().GetCount(); ++i)
        check(*ship.HullElements().GetAt(i), kindHull);
    for (int i = 1; i <= ship.Compartments().GetCount(); ++i)
        check(*ship.Compartments().GetAt(i), kindCompartment);
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
        check(*ship.Tanks().GetAt(i), kindTank);

    Say(progress, step++, steps, "curve idrostatiche");
    const CCurvesOfFormInputs hydro;
    if (const CCalcCheck problem = CheckCurvesOfFormShip(ship, hydro))
        throw CBookletFailure(What::ship, "", *problem, "the curves of form cannot be made");
    data.hydrostatics = ComputeCurvesOfForm(ship, hydro, &data.hydrostatics_datums, stop);
    ThrowIfStopped(stop);

    Say(progress, step++, steps, "carene inclinate");
    data.cross_inputs = CrossCurveInputs(ship);
    if (const CCalcCheck problem = CheckInclinedInputs(data.cross_inputs))
        throw CBookletFailure(What::ship, "", *problem, "the cross curves cannot be made");
    data.cross = ComputeInclinedTable(ship, data.cross_inputs, {nullptr, stop, nullptr});
    ThrowIfStopped(stop);

    Say(progress, step++, steps, "tabelle casse");
    CTankTableInputs tanks;
    tanks.pipes = conditions.SoundingPipes();
    if (ship.Tanks().GetCount() > 0) {
        if (const CCalcCheck problem = CheckTankTableShip(ship, tanks))
            throw CBookletFailure(What::ship, "", *problem, "the tank tables cannot be made");
        try {
            data.tanks = ComputeTankTable(ship, tanks, stop);
        } catch (const CCalcFailure& e) {
            throw CBookletFailure(What::ship, "", e.Problem(), "the tank tables cannot be made");
        }
    }

    for (const CLoadingCondition* c : chosen) {
        Say(progress, step++, steps, "stabilità: " + c->name);
        CBookletCondition out;
        out.condition = *c;
        CStabilityInputs in = ConditionStabilityInputs(ship, *c);
        in.openings = conditions.Openings();
        const auto fail = [&](const CCalcProblem& p, What what, const std::string& name) {
            throw CBookletFailure(what, name, p,
                                  what == What::damage
                                      ? "condition '" + EscapeText(c->name) + "', damage case '" +
                                            EscapeText(name) + "'"
                                      : "condition '" + EscapeText(c->name) + "'",
                                  c->name);
        };
        if (const CCalcCheck problem = CheckStabilityInputs(in))
            fail(*problem, What::condition, c->name);
        if (const CCalcCheck problem = CheckStabilityShip(ship, in))
            fail(*problem, What::condition, c->name);
        try {
            out.stability = ComputeStability(ship, in, stop);
        } catch (const CCalcFailure& e) {
            fail(e.Problem(), What::condition, c->name);
        }
        try {
            out.weather = ComputeWeather(ship, in, out.stability, request.weather, stop);
        } catch (const CCalcFailure& e) {
            out.weather_failure = "la curva sopravento non è stata trovata (sbandamento " +
                                  Figure(e.Problem().value) + "°)";
        }
        // Each loaded tank's liquid upright at even keel, as tanks gives it.
        const CLiquidLoads loads = LiquidLoadsOf(ship, *c);
        for (int i = 1; i <= ship.Tanks().GetCount(); ++i) {
            const CTank& tank = *ship.Tanks().GetAt(i);
            const CLiquidLoad& load = loads[static_cast<std::size_t>(i - 1)];
            if (!tank.IsEnabled() || !(load.volume > 0))
                continue;
            CTankTableInputs one;
            one.tanks = {tank.GetName()};
            one.volumes = {load.volume};
            one.density = load.Density();
            one.pipes = conditions.SoundingPipes();
            try {
                const CRecordTable row = ComputeTankTable(ship, one, stop);
                if (out.tanks.columns.empty())
                    out.tanks.columns = row.columns;
                out.tanks.rows.insert(out.tanks.rows.end(), row.rows.begin(), row.rows.end());
            } catch (const CCalcFailure& e) {
                fail(e.Problem(), What::condition, c->name);
            }
        }
        out.inputs = in;
        for (const CDamageCase* d : cases) {
            Say(progress, step++, steps, "avaria: " + d->name);
            CDamageInputs di{in, *d, conditions.Openings(), request.criteria};
            if (CCalcCheck problem = CheckDamageInputs(di))
                fail(*problem, What::damage, d->name);
            if (CCalcCheck problem = CheckDamageShip(ship, di))
                fail(*problem, What::damage, d->name);
            try {
                out.damage.push_back(ComputeDamage(ship, di, stop));
            } catch (const CCalcFailure& e) {
                fail(e.Problem(), What::damage, d->name);
            }
        }
        data.conditions.push_back(std::move(out));
    }
    Say(progress, steps, steps, "impaginazione");
    return data;
}

namespace {

CBookletSection Particulars(const CBookletData& data) {
    CBookletSection s;
    s.title = "Dati principali";
    s.blocks.push_back(BookletHeading(s.title));
    const CShipDatums& d = data.hydrostatics_datums;
    CBookletTable dims;
    dims.header = {"Grandezza", "Valore"};
    const int deepest = static_cast<int>(data.hydrostatics.rows.size()) - 1;
    const auto hydro = [&](const char* key) {
        return deepest >= 0 ? Figure(NumberAt(data.hydrostatics, static_cast<std::size_t>(deepest),
                                              ColumnOf(data.hydrostatics, key)))
                            : std::string("-");
    };
    dims.rows = {
        {"Lunghezza al galleggiamento  (Lwl[m])", hydro("Lwl_m")},
        {"Larghezza al galleggiamento  (Bwl[m])", hydro("Bwl_m")},
        {"Immersione più alta calcolata  (T[m])", hydro("T_m")},
        {"Perpendicolare addietro  (AP[m])", Figure(d.ap)},
        {"Perpendicolare avanti  (FP[m])", Figure(d.fp)},
        {"Lunghezza tra le perpendicolari  (Lpp[m])", Figure(d.Lpp())},
        {"Sezione maestra  (midship[m])", Figure(d.Midship())},
        {"Linea di base  (baseline[m])", Figure(d.baseline)},
    };
    s.blocks.push_back(BookletTable("Dimensioni principali (dallo scafo, al galleggiamento più "
                                    "alto delle curve idrostatiche)",
                                    dims));
    CBookletTable elements;
    elements.header = {"Tipo", "Nome", "Attivo", "Volume [m^3]", "Facce", "Superficie", "Verifica"};
    elements.keep = 2;
    for (const CBookletElement& e : data.elements) {
        const CSurfaceCheck& c = e.check.surface;
        std::string surface = c.faces == 0 ? "vuota" : c.IsClosed() ? "chiusa" : "aperta";
        if (c.faces > 0 && !c.IsConsistent())
            surface += ", versi misti";
        elements.rows.push_back({e.kind, e.name, e.enabled ? "Sì" : "No",
                                 FormatC("%.10g", c.volume), FormatC("%lld", c.faces), surface,
                                 e.problems.empty() ? "Nessun problema" : "problemi"});
        elements.alarm.push_back(!e.problems.empty());
    }
    s.blocks.push_back(BookletTable("Elementi della nave e verifica del modello", elements));
    for (const CBookletElement& e : data.elements)
        for (const std::string& p : e.problems)
            s.blocks.push_back(BookletParagraph(e.kind + " '" + e.name + "': " + p));
    return s;
}

CBookletSection Hydrostatics(const CBookletData& data) {
    CBookletSection s;
    s.title = "Curve idrostatiche";
    s.blocks.push_back(BookletHeading(s.title + " a chiglia pari"));
    const CShipDatums& d = data.hydrostatics_datums;
    s.blocks.push_back(BookletParagraph(
        "Nave diritta, assetto nullo, acqua di densità 1.025 t/m^3. Immersioni dalla linea di "
        "base (z = " +
        Figure(d.baseline) + " m) alla sezione maestra (x = " + Figure(d.Midship()) +
        " m), AP a x = " + Figure(d.ap) + " m, FP a x = " + Figure(d.fp) +
        " m, Lpp = " + Figure(d.Lpp()) + " m."));
    s.blocks.push_back(BookletTable("Tabella idrostatica", TableOf(data.hydrostatics)));
    CBookletChart chart;
    chart.own_scales = true;
    chart.x_label = "Ogni curva nella sua scala, da 0 al valore in legenda";
    chart.y_label = "Immersione T [m]";
    const int t = ColumnOf(data.hydrostatics, "T_m");
    const struct {
        const char* key;
        const char* name;
    } curves[] = {{"displacement_t", "Disp [t]"},
                  {"KB_m", "KB [m]"},
                  {"KMt_m", "KMt [m]"},
                  {"LCB_m", "LCB [m]"},
                  {"LCF_m", "LCF [m]"},
                  {"TPC_t_per_cm", "TPC [t/cm]"},
                  {"MCT1cm_t_m_per_cm", "MCT 1 cm [t·m/cm]"},
                  {"Awp_m2", "Awp [m^2]"},
                  {"Cb", "Cb"},
                  {"Cwp", "Cwp"}};
    int colour = 0;
    for (const auto& c : curves) {
        CBookletSeries series{c.name, {}, colour++, false};
        const int column = ColumnOf(data.hydrostatics, c.key);
        for (std::size_t r = 0; r < data.hydrostatics.rows.size(); ++r) {
            const double x = NumberAt(data.hydrostatics, r, column);
            const double y = NumberAt(data.hydrostatics, r, t);
            if (std::isfinite(x) && std::isfinite(y))
                series.points.emplace_back(x, y);
        }
        chart.series.push_back(std::move(series));
    }
    s.blocks.push_back(BookletChart("Curve idrostatiche", chart));
    return s;
}

CBookletSection CrossCurves(const CBookletData& data) {
    CBookletSection s;
    s.title = "Curve incrociate di stabilità (KN)";
    s.blocks.push_back(BookletHeading(s.title));
    s.blocks.push_back(BookletParagraph(
        "Bracci KN = KZ dalla linea di base z = 0, a chiglia pari (assetto nullo), per volumi di "
        "carena e sbandamenti dati, integrazione esatta. Dislocamento ad acqua di densità 1.025 "
        "t/m^3."));
    const CInclinedTable& x = data.cross;
    CBookletTable t;
    t.keep = 2;
    t.header = {"V [m^3]", "Disp [t]"};
    for (double a : x.angles)
        t.header.push_back("KN " + InclinedAngleText(a) + "° [m]");
    CBookletChart chart;
    chart.x_label = "Dislocamento [t]";
    chart.y_label = "KN [m]";
    for (std::size_t i = 0; i < x.angles.size(); ++i)
        chart.series.push_back(
            {InclinedAngleText(x.angles[i]) + "°", {}, static_cast<int>(i), false});
    for (std::size_t j = 0; j < x.volumes.size(); ++j) {
        std::vector<std::string> row = {InclinedVolumeText(x.volumes[j]),
                                        FormatC("%.4G", x.volumes[j] * 1.025)};
        for (std::size_t i = 0; i < x.angles.size(); ++i) {
            const CInclinedCell& c = x.At(i, j);
            row.push_back(c.computed && c.ok ? FormatC("%.4G", c.lever) : std::string("-"));
            if (c.computed && c.ok)
                chart.series[i].points.emplace_back(x.volumes[j] * 1.025, c.lever);
        }
        t.rows.push_back(std::move(row));
    }
    s.blocks.push_back(BookletTable("Tabella dei bracci KN", t));
    s.blocks.push_back(BookletChart("Curve incrociate di stabilità", chart));
    return s;
}

CBookletSection TankTables(const CBookletData& data) {
    CBookletSection s;
    s.title = "Tabelle casse";
    s.blocks.push_back(BookletHeading("Tabelle di taratura delle casse"));
    const int tankColumn = ColumnOf(data.tanks, "tank");
    if (data.tanks.rows.empty() || tankColumn < 0) {
        s.blocks.push_back(BookletParagraph("La nave non ha casse."));
        return s;
    }
    s.blocks.push_back(BookletParagraph(
        "Nave diritta, assetto nullo; sondaggi lungo il tubo di sonda della cassa o, senza, in "
        "verticale dal suo punto più basso. Peso alla densità propria del liquido della cassa; "
        "FSMt e FSMl i momenti delle superfici libere."));
    std::size_t from = 0;
    while (from < data.tanks.rows.size()) {
        const std::string name = data.tanks.rows[from][static_cast<std::size_t>(tankColumn)].Text();
        std::size_t to = from;
        while (to < data.tanks.rows.size() &&
               data.tanks.rows[to][static_cast<std::size_t>(tankColumn)].Text() == name)
            ++to;
        CRecordTable part;
        part.columns = data.tanks.columns;
        part.rows.assign(data.tanks.rows.begin() + static_cast<std::ptrdiff_t>(from),
                         data.tanks.rows.begin() + static_cast<std::ptrdiff_t>(to));
        s.blocks.push_back(
            BookletTable("Cassa '" + name + "'", TableOf(part, {"tank", "heel_deg", "trim_deg"})));
        from = to;
    }
    return s;
}

// The criteria of a condition, intact and weather; the weather criterion
// that could not be judged as failing.
CBookletTable ConditionCriteria(const CBookletCondition& c) {
    const CStabilityResult& r = c.stability;
    std::vector<CIntactCriterion> criteria = r.criteria;
    if (c.weather)
        criteria.insert(criteria.end(), c.weather->result.criteria.begin(),
                        c.weather->result.criteria.end());
    CBookletTable judged = CriteriaTable(criteria, r.summary.limit_angle, r.criteria.size());
    if (!c.weather) {
        judged.rows.push_back({"Vento e rollio", "-", "-", "-", "", Verdict(false)});
        judged.alarm.push_back(true);
    }
    return judged;
}

std::string Verdict(const CBookletTable& judged) {
    std::string failed;
    for (std::size_t k = 0; k < judged.rows.size(); ++k)
        if (judged.IsAlarm(k))
            failed += (failed.empty() ? "" : ", ") + judged.rows[k][0];
    return failed.empty() ? "Esito: tutti i criteri superati."
                          : "Esito: criteri NON superati: " + failed + ".";
}

CBookletSection Condition(const CBookletCondition& c) {
    CBookletSection s;
    s.title = "Condizione di carico: " + c.condition.name;
    s.blocks.push_back(BookletHeading(s.title));
    const CStabilityResult& r = c.stability;
    const CBookletTable judged = ConditionCriteria(c);
    const std::string verdict = Verdict(judged);
    s.blocks.push_back(BookletParagraph(verdict));

    // The weights.
    CBookletTable weights;
    weights.header = {"Voce", "Peso [t]", "LCG [m]", "TCG [m]", "VCG [m]", "FSMt [t·m]"};
    weights.rows.push_back({"Nave vuota", Figure(c.condition.lightship), Figure(c.condition.lcg),
                            Figure(c.condition.tcg), Figure(c.condition.vcg), ""});
    for (const CDeadweightItem& item : c.condition.items)
        weights.rows.push_back(
            {item.name, Figure(item.weight), Figure(item.x), Figure(item.y), Figure(item.z), ""});
    const CBookletTable tanks = TableOf(c.tanks, {"heel_deg", "trim_deg", "sounding_m", "ullage_m",
                                                  "volume_m3", "filling_ratio", "FSMl_t_m"});
    for (const auto& row : tanks.rows)
        if (row.size() == 6)
            weights.rows.push_back({row[0] + " (liquido)", row[1], row[2], row[3], row[4], row[5]});
    const CStabilitySummary& sum = r.summary;
    weights.rows.push_back({"Dislocamento", Figure(sum.displacement), Figure(sum.g.X()),
                            Figure(sum.g.Y()), Figure(sum.g.Z()), ""});
    s.blocks.push_back(BookletTable("Pesi", weights));
    s.blocks.push_back(BookletParagraph(
        "Le casse con il liquido a nave diritta, assetto nullo; il dislocamento con il "
        "baricentro all'equilibrio, i liquidi come vi si dispongono. Acqua di densità " +
        Figure(c.condition.water_density) + " t/m^3; angolo di allagamento " +
        (sum.flooding ? Figure(*sum.flooding) + "°" +
                            (sum.flooding_source == FloodingSource::opening
                                 ? " (apertura '" + sum.flooding_opening + "')"
                                 : std::string(" (della condizione)"))
                      : std::string("nessuno")) +
        "."));

    const CStabilityTables tables = StabilityTables(r);
    s.blocks.push_back(
        BookletTable("Equilibrio", Transposed(tables.summary, kEquilibriumLabels, Skip({}))));

    const CShipDatums& d = sum.datums;
    s.blocks.push_back(
        BookletParagraph("Immersioni dalla linea di base z = " + Figure(d.baseline) +
                         " m, alle perpendicolari AP "
                         "(x = " +
                         Figure(d.ap) + " m) e FP (x = " + Figure(d.fp) +
                         " m) e alla sezione maestra (x = " + Figure(d.Midship()) +
                         " m); curva GZ libera di assumere l'assetto, i liquidi delle casse "
                         "in movimento, sbandamenti verso " +
                         (sum.side < 0 ? "sinistra" : "dritta") +
                         "; aree sotto la curva interpolata con cubica monotona."));
    s.blocks.push_back(BookletChart("Curva dei bracci raddrizzanti GZ", GzChart(r)));
    s.blocks.push_back(BookletTable("Curva GZ", TableOf(tables.curve)));

    s.blocks.push_back(BookletHeading("Criteri di stabilità integra (IMO 2008 IS Code, parte A, "
                                      "2.2 e 2.3)"));
    s.blocks.push_back(BookletTable("Criteri", judged));
    s.blocks.push_back(BookletParagraph(verdict));
    if (c.weather) {
        s.blocks.push_back(BookletChart("Criterio del vento e del rollio (figura del Codice)",
                                        WeatherChart(*c.weather)));
        s.blocks.push_back(BookletTable("Criterio del vento e del rollio: le grandezze",
                                        Transposed(WeatherTable(*c.weather), {})));
    } else {
        s.blocks.push_back(BookletParagraph(
            "Criterio del vento e del rollio non valutato: " + c.weather_failure + "."));
    }
    if (!r.openings.empty()) {
        CBookletTable openings = TableOf(tables.openings);
        openings.header = {"Apertura", "Stagna", "Altezza [m]", "Dritta [°]", "Sinistra [°]"};
        for (auto& row : openings.rows)
            row[1] = row[1] == "yes" ? "Sì" : "No";
        s.blocks.push_back(BookletTable("Aperture", openings));
    } else {
        s.blocks.push_back(BookletParagraph(
            "Aperture: la nave non ne ha nel file delle condizioni; l'angolo di allagamento è "
            "quello della condizione, se dato."));
    }
    return s;
}

CBookletSection Damage(const CBookletData& data, const CBookletCondition& c,
                       const CDamageResult& r) {
    CBookletSection s;
    s.title = "Avaria: " + r.name + " (" + c.condition.name + ")";
    s.blocks.push_back(BookletHeading(s.title));
    const CDamageCriteriaSet* set = FindDamageCriteriaSet(data.criteria);
    bool pass = r.outcome == DamageOutcome::floats;
    for (const CDamageCriterion& k : r.criteria)
        pass = pass && k.Passes();
    s.blocks.push_back(
        BookletParagraph(std::string("Esito: la nave ") + OutcomeNameIt(r.outcome) +
                         (r.outcome == DamageOutcome::floats
                              ? std::string("; criteri ") + (pass ? "superati" : "NON superati")
                              : std::string("; criteri NON superati")) +
                         " (" + (set ? set->title.italian : data.criteria) + ")."));
    const CDamageTables t = DamageTables(r, data.criteria);
    CBookletTable summary = Transposed(t.summary, kEquilibriumLabels, Skip({"case", "criteria"}));
    if (r.outcome != DamageOutcome::floats) {
        // As the "Stabilità in avaria" window says it.
        s.blocks.push_back(BookletParagraph(
            r.outcome == DamageOutcome::sinks
                ? "La nave affonda: pesa " + Figure(r.displacement) +
                      " t, più di quanto disloca la nave avariata (" + Figure(r.capacity) + " m³)."
                : std::string("La nave si capovolge: nessuno sbandamento la raddrizza.")));
        // No equilibrium: the figures there are none of are left out.
        std::erase_if(summary.rows, [](const auto& row) { return row[1] == "-"; });
        s.blocks.push_back(BookletTable("Dopo l'avaria", summary));
        return s;
    }
    s.blocks.push_back(BookletTable("Equilibrio dopo l'avaria", summary));
    CBookletTable spaces = TableOf(t.compartments);
    spaces.header = {"Compartimento", "Permeabilità", "Volume perduto [m^3]"};
    s.blocks.push_back(BookletTable("Compartimenti allagati", spaces));
    CBookletTable criteria;
    criteria.header = {"Criterio", "Valore", "Limite", "Margine", "Unità", "Esito", "Fonte"};
    const CTextGrid grid = RecordGrid(t.criteria, kDigits);
    for (std::size_t k = 0; k < r.criteria.size(); ++k) {
        const CDamageCriterion& d = r.criteria[k];
        const int row = static_cast<int>(k) + 1;
        criteria.rows.push_back({d.name.italian, grid.GetText(row, 1), grid.GetText(row, 2),
                                 grid.GetText(row, 3), UnitNameIt(d.unit), Verdict(d.Passes()),
                                 d.source});
        criteria.alarm.push_back(!d.Passes());
    }
    s.blocks.push_back(BookletTable("Criteri dopo l'avaria", criteria));
    if (!t.openings.rows.empty()) {
        CBookletTable openings = TableOf(t.openings);
        for (auto& row : openings.rows)
            for (auto& cell : row)
                cell = Italian(cell);
        s.blocks.push_back(BookletTable("Aperture dopo l'avaria", openings));
    }
    s.blocks.push_back(BookletChart("Curva GZ dopo l'avaria", DamageChart(r)));
    return s;
}

} // namespace

CBooklet BuildBooklet(const CBookletData& data) {
    CBooklet b;
    b.title = "Relazione di stabilità";
    b.ship = data.ship;
    std::string names;
    for (const CBookletCondition& c : data.conditions)
        names += (names.empty() ? "" : ", ") + c.condition.name;
    b.title_notes = {"Condizioni di carico: " + (names.empty() ? std::string("nessuna") : names),
                     "Criteri: IMO 2008 IS Code, parte A, 2.2 e 2.3; in avaria: " +
                         std::string(FindDamageCriteriaSet(data.criteria)
                                         ? FindDamageCriteriaSet(data.criteria)->title.italian
                                         : data.criteria)};
    b.sections.push_back(Particulars(data));
    b.sections.push_back(Hydrostatics(data));
    b.sections.push_back(CrossCurves(data));
    b.sections.push_back(TankTables(data));
    for (const CBookletCondition& c : data.conditions) {
        b.sections.push_back(Condition(c));
        for (const CDamageResult& r : c.damage)
            b.sections.push_back(Damage(data, c, r));
    }
    return b;
}
