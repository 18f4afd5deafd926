// brelund-calc's calculation commands: the same tables as the dialogs, from
// the same code, printed as TAB-separated text.
#include "CliCommon.h"

#include "calc/BonjeanTable.h"
#include "calc/InclinedTable.h"
#include "calc/SubmergedTrim.h"
#include "calc/UprightTable.h"
#include "geometry/CSectionContour.h"
#include "io/CDxfFile.h"
#include "model/CShipModel.h"
#include "platform/AtomicFile.h"
#include "platform/NumberText.h"
#include "report/BonjeanText.h"
#include "report/InclinedText.h"
#include "report/UprightText.h"

#include "geometry/CMatrix.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

// A progress line on stderr, redrawn in place, when stderr is a terminal.
class CStderrProgress : public CProgress {
public:
    explicit CStderrProgress(const char* what) : m_what(what) {}
    ~CStderrProgress() override {
        if (m_shown)
            std::fprintf(stderr, "\r%*s\r", 60, "");
    }
    void SetRange(int lower, int upper) override {
        m_lower = lower;
        m_upper = upper;
    }
    void SetPos(int pos) override {
        const int span = m_upper - m_lower;
        const int percent = span > 0 ? (pos - m_lower) * 100 / span : 100;
        if (percent == m_percent)
            return;
        m_percent = percent;
        m_shown = true;
        const int bar = percent * 30 / 100;
        std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", m_what, bar, "##############################",
                     30 - bar, "", percent);
        std::fflush(stderr);
    }

private:
    const char* m_what;
    int m_lower = 0, m_upper = 100, m_percent = -1;
    bool m_shown = false;
};

std::unique_ptr<CProgress> MakeProgress(const char* what) {
    if (isatty(STDERR_FILENO))
        return std::make_unique<CStderrProgress>(what);
    return nullptr;
}

// Two nested progress ranges (an outer loop, positions 1 .. its upper bound
// while each of its steps runs, and an inner loop, position k + 1 once step
// k is done) shown as one progress line.
class CNestedProgress {
public:
    explicit CNestedProgress(std::unique_ptr<CProgress> line)
        : m_line(std::move(line)), m_outer(*this), m_inner(*this) {}
    CProgress* Outer() { return m_line ? &m_outer : nullptr; }
    CProgress* Inner() { return m_line ? &m_inner : nullptr; }

private:
    struct CPart : CProgress {
        explicit CPart(CNestedProgress& owner) : m_owner(owner) {}
        void SetRange(int lower, int upper) override {
            m_lower = lower;
            m_upper = upper;
            m_owner.Update();
        }
        void SetPos(int pos) override {
            m_pos = pos;
            m_owner.Update();
        }
        CNestedProgress& m_owner;
        int m_lower = 0, m_upper = 0, m_pos = 0;
    };
    void Update() {
        const int outer = m_outer.m_upper - m_outer.m_lower;
        const int inner = m_inner.m_upper - m_inner.m_lower;
        if (outer <= 0 || inner <= 0)
            return;
        m_line->SetRange(0, outer * inner);
        m_line->SetPos(std::max(0, m_outer.m_pos - m_outer.m_lower - 1) * inner + m_inner.m_pos -
                       m_inner.m_lower);
    }
    std::unique_ptr<CProgress> m_line;
    CPart m_outer, m_inner;
};

// The grid as the clipboard text, but with LF line ends and a final LF.
void PrintGrid(const CTextGrid& grid) {
    const std::string text = GridToText(grid, 0, 0, "\n") + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace

// The upright table's problem in the words of the command line.
std::string DescribeUprightProblem(const CShipModel& ship, const CCalcProblem& p) {
    if (p.rule == CalcRule::notANumber)
        return "--" + p.input + " is not a number";
    // An empty ship opens on heights that refuse themselves.
    double zmin = 0, zmax = 0;
    CRotationMatrix identity;
    identity.SetRotation(0, 0, 0);
    if (!ship.ZRange(identity, zmin, zmax))
        return "the ship has no hull element with vertices to take the heights from";
    switch (p.rule) {
    case CalcRule::aboveOther:
        return FormatC("--zmin (%g) is above --zmax (%g)", p.value, p.limit);
    case CalcRule::notAbove:
        return FormatC("--dz (%g) is not above 0", p.value);
    case CalcRule::narrowerThanStep:
        return FormatC("the range from --zmin to --zmax (%g m) is narrower than --dz (%g)", p.value,
                       p.limit);
    default:
        return FormatC("--dz asks for %.0f waterplanes, more than %.0f", p.value, p.limit);
    }
}

// The inclined table's problem in the words of the command line.
std::string DescribeInclinedProblem(const CCalcProblem& p) {
    switch (p.rule) {
    case CalcRule::notANumber:
        return "--" + p.input + " is not a number";
    case CalcRule::tooMany:
        return FormatC("the table would have %.0f volume and angle cells, more than %.0f: choose "
                       "larger --dv or --da",
                       p.value, p.limit);
    default:
        return "the ship has no enabled volume: enable a hull element or a compartment";
    }
}

// The Bonjean tables' problem in the words of the command line.
std::string DescribeBonjeanProblem(const CCalcProblem& p) {
    switch (p.rule) {
    case CalcRule::notANumber:
        return "--" + p.input + " is not a number";
    case CalcRule::aboveOther:
        return FormatC("--zstart (%g) is above --zend (%g)", p.value, p.limit);
    case CalcRule::notAtLeast:
        return p.input == "station0"
                   ? FormatC("--station0 (%g) lies before the hull's first x (%g)", p.value,
                             p.limit)
                   : FormatC("--dz (%g) is negative", p.value);
    case CalcRule::narrowerThanStep:
        return FormatC("the range from --zstart to --zend (%g m) is narrower than --dz (%g)",
                       p.value, p.limit);
    case CalcRule::zeroStep:
        return FormatC("--dz is 0 over a range of %g m from --zstart to --zend", p.value);
    case CalcRule::tooMany:
        return p.input == "dz"
                   ? FormatC("--dz asks for %.0f waterlines, more than %.0f", p.value, p.limit)
                   : FormatC("the tables would have %.0f cells, more than %.0f: fewer waterlines "
                             "or stations",
                             p.value, p.limit);
    default:
        return "the ship has no hull element with vertices";
    }
}

// The submerged trim's problem in the words of the command line.
std::string DescribeTrimProblem(const CCalcProblem& p) {
    switch (p.rule) {
    case CalcRule::notANumber:
        return "--" +
               std::string(p.input == "x"   ? "xg"
                           : p.input == "y" ? "yg"
                           : p.input == "z" ? "zg"
                                            : p.input) +
               " is not a number";
    case CalcRule::noVolume:
        return "the ship has no enabled volume: enable a hull element or a compartment";
    case CalcRule::notAtLeast:
        return FormatC("--weight (%g t) cannot be negative", p.value);
    case CalcRule::noWeight:
        return "the body has no weight: give its --weight without the liquid loads, or load an "
               "enabled tank";
    default:
        return FormatC("the trim search did not settle: the lever does not come within "
                       "--tolerance (%g m)",
                       p.value);
    }
}

namespace {

void AddUpright(CLI::App& app, int& status) {
    struct Args {
        std::string ship, dxf;
        CUprightInputs in;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "upright", "Upright hydrostatic table (\"Carene dritte\"); inputs not given take the "
                   "dialog's opening values");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    auto* zmin = cmd->add_option("--zmin", a->in.zmin, "Lowest waterplane [m] (default: keel)");
    auto* zmax = cmd->add_option("--zmax", a->in.zmax, "Highest waterplane [m] (default: deck)");
    auto* dz = cmd->add_option("--dz", a->in.dz,
                               "Step [m] (default: a fifth of the hull's height, in whole cm)");
    auto* heel = cmd->add_option("--heel", a->in.heel, "Heel, Teta x [deg] (default 0)");
    auto* trim = cmd->add_option("--trim", a->in.trim, "Trim, Teta y [deg] (default 0)");
    RefuseEmptyFileName(
        cmd->add_option("--dxf", a->dxf, "Also draw the waterlines in this DXF drawing"));
    AddRuleOption(*cmd, a->in.rule);
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        RefuseValuesThatAreNotNumbers(ship, true, false);
        WarnOfSurfaceFaults(ship, true, false);
        if (!a->dxf.empty())
            RefuseSameFile(a->dxf, {{"ship", a->ship}});
        CUprightInputs in;
        in.rule = a->in.rule;
        CImmersedBody body;
        OpenUprightTable(ship, in, body);
        if (zmin->count())
            in.zmin = a->in.zmin;
        if (zmax->count())
            in.zmax = a->in.zmax;
        if (dz->count())
            in.dz = a->in.dz;
        if (heel->count())
            in.heel = a->in.heel;
        if (trim->count())
            in.trim = a->in.trim;
        if (const CCalcCheck problem = CheckUprightInputs(in))
            throw CRefusedError(DescribeUprightProblem(ship, *problem));
        const std::unique_ptr<CProgress> progress = MakeProgress("Carene dritte");
        const CCalcRun run{progress.get(), stop};
        CUprightTable table;
        // The last look at the stop comes before the drawing is put in place.
        if (a->dxf.empty()) {
            table = ComputeUprightTable(ship, in, run);
            ThrowIfStopped(stop);
        } else {
            WriteFileAtomically<CDxfFile>(a->dxf,
                                          [&](CDxfFile& drawing) {
                                              drawing.WriteHead();
                                              table = ComputeUprightTable(
                                                  ship, in, run,
                                                  [&](double z, const std::vector<CSegment>& w) {
                                                      DrawWaterline(drawing, z, w);
                                                  });
                                              drawing.WriteTail();
                                              ThrowIfStopped(stop);
                                          },
                                          {.kind = "drawing"});
        }
        PrintGrid(UprightGrid(table));
        status = exitOk;
    });
}

void AddInclined(CLI::App& app, int& status) {
    struct Args {
        std::string ship, kind = "kz", trajectories;
        CInclinedInputs in;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "inclined", "Cross curves KZ at even keel or righting levers GZ free to trim (\"Carene "
                    "Inclinate\"); inputs not given take the dialog's opening values");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    cmd->add_option("--kind", a->kind, "kz: even keel (KZ); gz: free to trim (GZ) (default kz)")
        ->check(CLI::IsMember({"kz", "gz"}));
    using Field = double CInclinedInputs::*;
    const struct {
        const char* name;
        Field field;
        const char* help;
    } fields[] = {
        {"--xg", &CInclinedInputs::xg, "Xg [m], for GZ (default: centroid of the immersed body)"},
        {"--yg", &CInclinedInputs::yg, "Yg [m], for GZ (default: centroid of the immersed body)"},
        {"--zg", &CInclinedInputs::zg, "Zg [m], for GZ (default: centroid of the immersed body)"},
        {"--precision", &CInclinedInputs::precision,
         "Precision of the volumes [m^3] (default 0.1)"},
        {"--vi", &CInclinedInputs::vi, "Initial volume [m^3] (default: half the immersed body)"},
        {"--vf", &CInclinedInputs::vf, "Final volume [m^3] (default: half the immersed body)"},
        {"--dv", &CInclinedInputs::dv, "Volume increment [m^3] (default 0)"},
        {"--ai", &CInclinedInputs::ai, "Initial angle [deg] (default 0)"},
        {"--af", &CInclinedInputs::af, "Final angle [deg] (default 45)"},
        {"--da", &CInclinedInputs::da, "Angle increment [deg] (default 15)"},
    };
    auto given = std::make_shared<std::vector<std::pair<CLI::Option*, Field>>>();
    for (const auto& f : fields)
        given->emplace_back(cmd->add_option(f.name, a->in.*f.field, f.help), f.field);
    RefuseEmptyFileName(
        cmd->add_option("--trajectories", a->trajectories,
                        "Also draw the paths of the centre of buoyancy in this DXF drawing"));
    AddRuleOption(*cmd, a->in.rule);
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        RefuseTypedValuesThatAreNotNumbers(*cmd);
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        RefuseValuesThatAreNotNumbers(ship, true, a->kind == "gz");
        WarnOfSurfaceFaults(ship, true, a->kind == "gz");
        if (!a->trajectories.empty())
            RefuseSameFile(a->trajectories, {{"ship", a->ship}});
        CInclinedInputs in;
        in.rule = a->in.rule;
        OpenInclinedTable(ship, in);
        // Options given replace the opening values, field by field.
        for (const auto& [option, field] : *given)
            if (option->count())
                in.*field = a->in.*field;
        in.kind = a->kind == "gz" ? FreeToTrimGZ : EvenKeelKZ;
        const CInclinedInputs typed = in;
        if (CorrectInclinedInputs(in))
            for (const auto& [option, field] : *given)
                if (typed.*field != in.*field)
                    std::fprintf(stderr,
                                 "brelund-calc: warning: %s %g was taken as %g, as the dialog "
                                 "corrects it\n",
                                 option->get_name().c_str(), typed.*field, in.*field);
        if (const CCalcCheck problem = CheckInclinedInputs(in))
            throw CRefusedError(DescribeInclinedProblem(*problem));
        CNestedProgress progress(
            MakeProgress(in.kind == EvenKeelKZ ? "Carene inclinate KZ" : "Carene inclinate GZ"));
        const CInclinedTable table =
            ComputeInclinedTable(ship, in, {progress.Inner(), stop, progress.Outer()});
        ThrowIfStopped(stop);
        if (!a->trajectories.empty())
            WriteFileAtomically<CDxfFile>(a->trajectories,
                                          [&](CDxfFile& drawing) {
                                              drawing.WriteHead();
                                              DrawTrajectories(drawing, table);
                                              drawing.WriteTail();
                                          },
                                          {.kind = "drawing"});
        const std::vector<CInclinedCellNote> notes = InclinedNotes(table);
        const std::size_t shown = 20;
        for (std::size_t k = 0; k < notes.size() && k < shown; ++k)
            std::fprintf(stderr, "brelund-calc: warning: %s\n",
                         DescribeInclinedNote(notes[k]).c_str());
        if (notes.size() > shown)
            std::fprintf(stderr, "brelund-calc: warning: %zu more cells show \"-\"\n",
                         notes.size() - shown);
        CTextGrid grid;
        WriteInclinedHeaders(grid);
        SetInclinedLeverHeader(grid, in.kind);
        WriteInclinedTable(grid, table);
        PrintGrid(grid);
        status = exitOk;
    });
}

void AddTrim(CLI::App& app, int& status) {
    auto in = std::make_shared<CSubmergedTrimInputs>();
    auto ship = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand(
        "trim", "Trim of a fully submerged body whose liquid loads move with it (\"Assetto "
                "corpo totalmente immerso\"); prints the heel and trim in degrees");
    cmd->add_option("SHIP", *ship, "Ship file (.nav)")->required();
    cmd->add_option("--xg", in->x, "x [m] of the centre of gravity without liquid loads")
        ->required();
    cmd->add_option("--yg", in->y, "y [m] of the centre of gravity without liquid loads")
        ->required();
    cmd->add_option("--zg", in->z, "z [m] of the centre of gravity without liquid loads")
        ->required();
    cmd->add_option("--weight", in->weight, "Displacement without the liquid loads [t]")
        ->required();
    cmd->add_option("--tolerance", in->tolerance, "Tolerance on the longitudinal lever [m]")
        ->required();
    cmd->add_option("--heel", in->heel, "Teta x [rad], places the liquid loads (default 0)");
    cmd->add_option("--trim", in->trim, "Teta y [rad], where the search starts (default 0)");
    AddRuleOption(*cmd, in->rule);
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        RefuseTypedValuesThatAreNotNumbers(*cmd);
        CShipModel model;
        LoadShip(model, *ship, false);
        RefuseValuesThatAreNotNumbers(model, true, true);
        WarnOfSurfaceFaults(model, true, true);
        if (const CCalcCheck problem = CheckSubmergedTrim(model, *in))
            throw CRefusedError(DescribeTrimProblem(*problem));
        CSubmergedTrim result;
        try {
            result = ComputeSubmergedTrim(model, *in, {nullptr, stop});
        } catch (const CCalcFailure& e) {
            throw CRefusedError(DescribeTrimProblem(e.Problem()));
        }
        if (!FloatsWhollySubmerged(result, in->tolerance))
            std::fprintf(stderr,
                         "brelund-calc: warning: the weight with the liquid loads (%.6g t) is not "
                         "that of the water the whole body displaces (%.6g t): at this weight it "
                         "would not float wholly submerged\n",
                         result.weight, result.displaced);
        const std::string text =
            FormatC("Teta x\t%.15g\nTeta y\t%.15g\n", result.heel, result.trim);
        std::fwrite(text.data(), 1, text.size(), stdout);
        status = exitOk;
    });
}

void AddBonjean(CLI::App& app, int& status) {
    struct Args {
        std::string ship, table = "areas", sections;
        std::vector<std::string> extra;
        CBonjeanInputs in;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "bonjean", "Bonjean tables (\"Tabelle del bonjean\"): section areas and their moments "
                   "about the base plane at 21 stations and any additional ones");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    cmd->add_option("--zstart", a->in.zstart, "Lowest waterline, Zstart [m]")->required();
    cmd->add_option("--zend", a->in.zend, "Highest waterline, Zend [m]")->required();
    cmd->add_option("--dz", a->in.dz, "Step between waterlines [m]")->required();
    cmd->add_option("--station0", a->in.station0, "x of station 0, Ord. 0 [m]")->required();
    cmd->add_option("--station20", a->in.station20, "x of station 20, Ord. 20 [m]")->required();
    cmd->add_option("--extra", a->extra,
                    "An additional station number (x = number times the station spacing); "
                    "repeat for more, in order; an empty one ends the list")
        ->allow_extra_args(false);
    cmd->add_option("--table", a->table,
                    "areas: \"Aree [m^2]\" (default); moments: \"Sxy - "
                    "My (m^3)\"")
        ->check(CLI::IsMember({"areas", "moments"}));
    RefuseEmptyFileName(cmd->add_option(
        "--sections", a->sections, "Also draw the outlines of the sections in this DXF drawing"));
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        RefuseTypedValuesThatAreNotNumbers(*cmd);
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        RefuseValuesThatAreNotNumbers(ship, false, false);
        WarnOfSurfaceFaults(ship, false, false);
        if (!a->sections.empty())
            RefuseSameFile(a->sections, {{"ship", a->ship}});
        CBonjeanInputs in = a->in;
        // The lines of the additional-sections box, CR LF between them.
        for (std::size_t k = 0; k < a->extra.size(); ++k)
            in.extra += (k ? "\r\n" : "") + a->extra[k];
        if (std::string entry; FindStationThatIsNotANumber(in.extra, entry))
            throw CRefusedError("--extra \"" + EscapeField(entry) + "\" is not a number");
        CBonjeanModelData data;
        if (!OpenBonjeanTables(ship, data))
            std::fprintf(stderr, "brelund-calc: warning: the ship has no hull element with "
                                 "vertices: its main dimensions are taken as 0\n");
        if (const CCalcCheck problem = CheckBonjeanInputs(&ship, in, data))
            throw CRefusedError(DescribeBonjeanProblem(*problem));
        CBonjeanTables tables;
        const auto compute = [&] {
            // The stations carry the work; the waterlines are only read off them.
            const std::unique_ptr<CProgress> progress = MakeProgress("Tabelle del bonjean");
            tables = ComputeBonjeanTables(ship, in, data, {progress.get(), stop});
            ThrowIfStopped(stop);
        };
        if (a->sections.empty()) {
            compute();
        } else {
            // The drawing is put in place once the tables are done too: a
            // stop during the tables leaves no drawing behind.
            WriteFileAtomically<CDxfFile>(
                a->sections,
                [&](CDxfFile& drawing) {
                    {
                        const std::unique_ptr<CProgress> progress =
                            MakeProgress("Sezioni verticali");
                        drawing.WriteHead();
                        ExtractBonjeanSections(
                            ship, in, data,
                            [&](const CSectionContour& contour) { drawing.WriteSection(contour); },
                            {progress.get(), stop});
                        drawing.WriteTail();
                    }
                    compute();
                },
                {.kind = "drawing"});
        }
        CTextGrid areas, moments;
        WriteBonjeanGrids(tables, areas, moments, {nullptr, stop});
        ThrowIfStopped(stop);
        PrintGrid(a->table == "moments" ? moments : areas);
        status = exitOk;
    });
}

} // namespace

void AddCalcCommands(CLI::App& app, int& status) {
    AddUpright(app, status);
    AddInclined(app, status);
    AddBonjean(app, status);
    AddTrim(app, status);
}
