// brelund-calc hydrostatics: the curves of form by the exact integration
// rule, as TSV, CSV or JSON records.
#include "CliCommon.h"

#include "calc/CurvesOfForm.h"
#include "calc/RecordTable.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"

#include <cstdio>
#include <memory>

namespace {

// The highest draught taken, in depths of the hull.
constexpr double kFarDraughts = 1000;

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
        "Draughts from the keel [m]: FROM:TO:STEP or a list 1,2.5,4 (default: ten, from a "
        "tenth of the depth to the deck)");
    cmd->add_option("--heel", a->in.heel, "Heel [deg] (default 0)");
    cmd->add_option("--trim", a->in.trim, "Trim [deg] (default 0)");
    cmd->add_option("--density", a->in.density, "Density of the water [t/m^3] (default 1.025)");
    auto* lpp = cmd->add_option("--lpp", a->in.lpp,
                                "Length between perpendiculars [m], for MCT 1 cm (default: the "
                                "waterline length at the deepest draught)");
    AddRecordOutputOptions(*cmd, a->format, a->digits);
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        RefuseTypedValuesThatAreNotNumbers(*cmd);
        CCurvesOfFormInputs in = a->in;
        if (lpp->count() && !(in.lpp > 0))
            throw CRefusedError("--lpp must be above 0");
        if (draughts->count()) {
            const std::string problem = ParseDraughts(a->draughts, in.draughts);
            if (!problem.empty())
                throw CRefusedError(problem);
        }
        if (const std::string problem = CheckCurvesOfFormInputs(in); !problem.empty())
            throw CRefusedError(problem);
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        RefuseValuesThatAreNotNumbers(ship, true, false);
        double depth = 0;
        if (!HullDepth(ship, in.heel, in.trim, depth))
            throw CRefusedError("the ship has no hull element with vertices");
        // Far above the deck the waterplane's height swamps the hull's own
        // coordinates in the moments, and nothing changes there anyway.
        for (double t : in.draughts)
            if (t > kFarDraughts * depth)
                throw CRefusedError(FormatC("draught %g m is more than %g times the hull's "
                                            "depth (%g m)",
                                            t, kFarDraughts, depth));
        RecordFormat format = RecordFormat::tsv;
        ParseRecordFormat(a->format, format);
        const CRecordTable records = ComputeCurvesOfForm(ship, in, nullptr, stop);
        ThrowIfStopped(stop);
        const std::string text = WriteRecords(records, format, a->digits);
        std::fwrite(text.data(), 1, text.size(), stdout);
        status = exitOk;
    });
}

} // namespace

void AddHydrostaticsCommand(CLI::App& app, int& status) {
    AddHydrostatics(app, status);
}
