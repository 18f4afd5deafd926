// brelund-calc hydrostatics: the curves of form by the exact integration
// rule, as TSV, CSV or JSON records.
#include "CliCommon.h"

#include "calc/CurvesOfForm.h"
#include "calc/NumberSeries.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"
#include "report/DatumText.h"

#include <cstdio>
#include <memory>

// The curves of form's problem in the words of the command line.
std::string DescribeCurvesOfFormProblem(const CCalcProblem& p) {
    switch (p.rule) {
    case CalcRule::notANumber:
        return p.input == "draughts" ? "a draught is not a number"
                                     : "--" + p.input + " is not a number";
    case CalcRule::notBelow:
        return FormatC("--%s %g deg: the draughts are read on the ship's vertical, which lies "
                       "in the waterplane at 90 deg; the curves of form take less than 90 deg",
                       p.input.c_str(), p.value);
    case CalcRule::notAbove:
        return p.input == "lpp" ? "--ap and --fp must be two stations, not one"
                                : FormatC("--density (%g t/m^3) must be a number above 0", p.value);
    case CalcRule::notAtLeast:
        return FormatC("--lpp (%g m) must be a number above 0", p.value);
    case CalcRule::tooMany:
        return FormatC("more than %.0f draughts asked for", p.limit);
    case CalcRule::belowHull:
        return FormatC("the draught %g m puts the waterplane below the hull's lowest point (it "
                       "touches it at a draught of %g m)",
                       p.value, p.limit);
    case CalcRule::farOffHull:
        return FormatC("draught %g m is more than %g times the hull's depth (%g m)", p.value,
                       p.limit, p.size);
    default:
        return "the ship has no hull element with vertices";
    }
}

namespace {

void AddHydrostatics(CLI::App& app, int& status) {
    struct Args {
        std::string ship, draughts, format = "tsv";
        CCurvesOfFormInputs in;
        int digits = 6;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "hydrostatics", "Curves of form by exact integrals: displacement, centres, KM, TPC, "
                        "MCT 1 cm and the form coefficients at a series of draughts");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    auto* draughts = cmd->add_option(
        "--draughts", a->draughts,
        "Draughts at the midship station from the baseline [m]: FROM:TO:STEP or a list "
        "1,2.5,4 (default: ten, from a tenth of the hull's depth to the deck)");
    cmd->add_option("--heel", a->in.heel, "Heel [deg] (default 0)");
    cmd->add_option("--trim", a->in.trim, "Trim [deg] (default 0)");
    cmd->add_option("--density", a->in.density, "Density of the water [t/m^3] (default 1.025)");
    auto* ap = AddDatumOptions(*cmd, a->in.baseline, a->in.ap, a->in.fp,
                               "the ends of the level waterline at the deepest draught asked "
                               "for, or of the hull");
    auto* lpp = cmd->add_option("--lpp", a->in.lpp,
                                "Length between perpendiculars [m], placed about the middle of "
                                "the default ones");
    lpp->excludes(ap);
    lpp->excludes("--fp");
    AddRecordOutputOptions(*cmd, a->format, a->digits);
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        RefuseTypedValuesThatAreNotNumbers(*cmd);
        CCurvesOfFormInputs in = a->in;
        in.perpendiculars = ap->count() > 0;
        if (lpp->count() && !(in.lpp > 0))
            throw CRefusedError("--lpp must be above 0");
        if (draughts->count()) {
            const std::string problem =
                ParseNumberSeries("--draughts", a->draughts, kMaxDraughts, in.draughts);
            if (!problem.empty())
                throw CRefusedError(problem);
        }
        if (const CCalcCheck problem = CheckCurvesOfFormInputs(in))
            throw CRefusedError(DescribeCurvesOfFormProblem(*problem));
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        RefuseValuesThatAreNotNumbers(ship, true, false);
        WarnOfSurfaceFaults(ship, true, false);
        if (const CCalcCheck problem = CheckCurvesOfFormShip(ship, in))
            throw CRefusedError(DescribeCurvesOfFormProblem(*problem));
        RecordFormat format = RecordFormat::tsv;
        ParseRecordFormat(a->format, format);
        CShipDatums datums;
        const CRecordTable records = ComputeCurvesOfForm(ship, in, &datums, stop);
        ThrowIfStopped(stop);
        const std::string text =
            WriteHydrostaticsReport(records, datums, WithoutWholeTurns(in.heel),
                                    WithoutWholeTurns(in.trim), in.density, format, a->digits);
        std::fwrite(text.data(), 1, text.size(), stdout);
        status = exitOk;
    });
}

} // namespace

void AddHydrostaticsCommand(CLI::App& app, int& status) {
    AddHydrostatics(app, status);
}
