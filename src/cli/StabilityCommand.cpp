// brelund-calc stability: the GZ curve of a loading condition and the
// intact-stability criteria, as TSV, CSV or JSON.
#include "CliCommon.h"

#include "calc/NumberSeries.h"
#include "calc/RecordTable.h"
#include "calc/StabilityCurve.h"
#include "model/CShipModel.h"

#include <cstdio>
#include <memory>

namespace {

void AddStability(CLI::App& app, int& status) {
    struct Args {
        std::string ship, heels, format = "tsv";
        CStabilityInputs in;
        double flooding = 0;
        int digits = 6;
        bool strict = false;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "stability", "GZ curve of a loading condition, free to trim with its liquids moving, and "
                     "the intact-stability criteria of the IMO 2008 IS Code (Part A, 2.2)");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    cmd->add_option("--lightship", a->in.lightship, "Lightship weight [t]")->required();
    cmd->add_option("--lcg", a->in.lcg, "Lightship centre of gravity, x [m]")->required();
    cmd->add_option("--vcg", a->in.vcg, "Lightship centre of gravity, z [m]")->required();
    cmd->add_option("--tcg", a->in.tcg, "Lightship centre of gravity, y [m] (default 0)");
    auto* heels = cmd->add_option(
        "--heels", a->heels,
        "Heels [deg], 0 to below 90: FROM:TO:STEP or a list 0,10,20 (default 0:80:5); 0, 30, "
        "40 and the flooding angle are always added");
    cmd->add_option("--density", a->in.density, "Density of the water [t/m^3] (default 1.025)");
    auto* flooding = cmd->add_option("--flooding-angle", a->flooding,
                                     "Down-flooding angle [deg]: the areas stop there when it "
                                     "is below 40");
    AddRecordOutputOptions(*cmd, a->format, a->digits);
    cmd->add_flag("--strict", a->strict, "Exit 1 when a criterion fails");
    cmd->callback([=, &status] {
        const CStopRequest* const stop = StopOnInterrupt();
        RefuseTypedValuesThatAreNotNumbers(*cmd);
        CStabilityInputs in = a->in;
        if (flooding->count())
            in.flooding = a->flooding;
        if (heels->count()) {
            const std::string problem = ParseNumberSeries("--heels", a->heels, 1000, in.heels);
            if (!problem.empty())
                throw CRefusedError(problem);
        }
        if (const std::string problem = CheckStabilityInputs(in); !problem.empty())
            throw CRefusedError(problem);
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        RefuseValuesThatAreNotNumbers(ship, true, true);
        if (const std::string problem = CheckStabilityShip(ship, in); !problem.empty())
            throw CRefusedError(problem);
        const CStabilityResult result = ComputeStability(ship, in, stop);
        if (!result.failure.empty())
            throw CRefusedError(result.failure);
        RecordFormat format = RecordFormat::tsv;
        ParseRecordFormat(a->format, format);
        const std::string text = WriteStabilityReport(result, format, a->digits);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::string failed;
        for (const CIntactCriterion& c : result.criteria)
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
