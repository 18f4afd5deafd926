// brelund-calc report: the stability booklet of a ship as a PDF file, drawn
// with Qt on its offscreen platform, so that it runs without a display.
#include "CliCommon.h"

#include "booklet/BookletContents.h"
#include "booklet/BookletPainter.h"
#include "model/CShipModel.h"
#include "model/ConditionsFile.h"
#include "platform/AtomicFile.h"
#include "platform/NumberText.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

// NAME,NAME,... into names; "all" sets all (and "none", where allowed,
// leaves both empty).
void ReadNames(const std::string& option, const std::string& text, bool noneAllowed, bool& all,
               std::vector<std::string>& names) {
    all = text == "all";
    names.clear();
    if (all || (noneAllowed && text == "none"))
        return;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        const std::string name = text.substr(from, comma - from);
        if (name.empty())
            throw CUsageError(option + ": a name is empty (" + option + " all" +
                              (noneAllowed ? "|none" : "") + "|NAME[,NAME...])");
        names.push_back(name);
        if (comma == std::string::npos)
            return;
        from = comma + 1;
    }
}

// The problem of a condition or case in the words of stability and damage,
// the condition's values named by their keys in the conditions file.
std::string Describe(const CBookletFailure& e, const CShipModel& ship,
                     const CLoadingConditions& conditions) {
    if (!e.Problem())
        return e.what();
    const CCalcProblem& p = *e.Problem();
    if (p.input == "compartments" || p.input == "permeability")
        return std::string(e.what()) + ": compartment '" + EscapeText(p.element) +
               "' cannot be opened (no such compartment, listed twice, or a permeability "
               "outside 0 to 1)";
    const CLoadingCondition* c = conditions.Find(e.Condition());
    if (!c)
        return std::string(e.what()) + ": the calculation cannot be made";
    // The options a condition's values would be overridden by, so that the
    // messages name the condition's keys instead.
    CLI::App names("names");
    double unused = 0;
    for (const char* option :
         {"--lightship", "--lcg", "--tcg", "--vcg", "--density", "--flooding-angle"})
        names.add_option(option, unused);
    const CStabilityInputs in = ConditionStabilityInputs(ship, *c);
    return std::string(e.what()) + ": " + DescribeStabilityProblem(p, in, CInputNames{&names, c});
}

// Qt's own chatter (a runtime folder not set, and the like) is no concern
// of the booklet: its warnings and worse go to stderr as brelund-calc's.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg || text.contains("XDG_RUNTIME_DIR"))
        return;
    std::fprintf(stderr, "brelund-calc: warning: %s\n", text.toLocal8Bit().constData());
}

// A line on stderr for each step, redrawn in place, when stderr is a terminal.
CBookletProgress StderrProgress() {
    if (!isatty(STDERR_FILENO))
        return {};
    return [](int step, int steps, const std::string& what) {
        std::fprintf(stderr, "\rReport [%d/%d] %-50.50s", step, steps, what.c_str());
        if (step >= steps)
            std::fprintf(stderr, "\r%*s\r", 70, "");
        std::fflush(stderr);
    };
}

void AddReport(CLI::App& app, int& status) {
    struct Args {
        std::string ship, output, conditions = "all", damage = "all";
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "report", "The stability booklet as a PDF file (A4): particulars and model check, "
                  "hydrostatic table and curves of form, cross curves, tank tables, and per "
                  "loading condition its weights, equilibrium, GZ curve, intact and weather "
                  "criteria, openings and damage cases");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    cmd->add_option("--conditions", a->conditions,
                    "Loading conditions of the conditions file: all (the default) or "
                    "NAME[,NAME...]");
    cmd->add_option("--damage", a->damage,
                    "Damage cases computed on each condition: all (the default), none or "
                    "NAME[,NAME...]");
    RefuseEmptyFileName(
        cmd->add_option("-o,--output", a->output, "The PDF file to write")->required());
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        CBookletRequest request;
        ReadNames("--conditions", a->conditions, false, request.all_conditions,
                  request.conditions);
        ReadNames("--damage", a->damage, true, request.all_damage, request.damage);
        RefuseSameFile(a->output, {{"ship", a->ship}, {"conditions", ConditionsPathOf(a->ship)}});
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        CLoadingConditions conditions;
        const bool haveFile = LoadConditionsFile(a->ship, conditions);
        if (!haveFile && (!request.conditions.empty() || !request.damage.empty()))
            throw CRefusedError(ConditionsPathOf(a->ship) +
                                " does not exist: it has no loading conditions or damage cases");
        RefuseValuesThatAreNotNumbers(ship, true, true);
        WarnOfSurfaceFaults(ship, true, true);
        for (const CLoadingCondition& c : conditions.All())
            if (request.all_conditions || std::find(request.conditions.begin(),
                                                    request.conditions.end(),
                                                    c.name) != request.conditions.end())
                WarnOfUnknownTanks(ship, a->ship, c);
        const std::string name = std::filesystem::path(a->ship).stem().string();
        CBookletData data;
        try {
            data = ComputeBooklet(ship, name, conditions, request, stop, StderrProgress());
        } catch (const CBookletFailure& e) {
            if (e.Kind() == CBookletFailure::What::unknownCondition ||
                e.Kind() == CBookletFailure::What::unknownCase)
                throw CRefusedError(std::string(e.what()) + " in " + ConditionsPathOf(a->ship));
            throw CRefusedError(Describe(e, ship, conditions));
        }
        ThrowIfStopped(stop);
        // Qt draws the pages: on the offscreen platform unless one is named.
        if (std::getenv("QT_QPA_PLATFORM") == nullptr)
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        int argc = 1;
        char program[] = "brelund-calc";
        char* argv[] = {program, nullptr};
        qInstallMessageHandler(QtMessages);
        QGuiApplication qt(argc, argv);
        const CBooklet booklet = BuildBooklet(data);
        const QByteArray pdf = BookletPdf(booklet, LayOutBooklet(booklet));
        if (pdf.isEmpty())
            throw CRefusedError("the booklet could not be drawn");
        ThrowIfStopped(stop);
        WriteFileAtomically(
            a->output,
            [&](CFile& file) { file.Write(pdf.constData(), static_cast<std::size_t>(pdf.size())); },
            {.kind = "booklet"});
        status = exitOk;
    });
}

} // namespace

void AddReportCommand(CLI::App& app, int& status) {
    AddReport(app, status);
}
