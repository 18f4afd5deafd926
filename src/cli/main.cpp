// brelund-calc: the command-line front end of the hydrostatic engine.
#include "CliCommon.h"

#include "calc/StopRequest.h"
#include "platform/CFileException.h"
#include "platform/NumberText.h"

#include <tbb/global_control.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <malloc.h>

#ifndef BRELUND_VERSION
#define BRELUND_VERSION "unknown"
#endif

int main(int argc, char** argv) {
    // A command lives for one calculation: the large arrays of a mesh are
    // taken from the heap and their memory kept for the next, instead of
    // mapping fresh pages (each one faulted in and cleared) for every array.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    CLI::App app("Brelund: hydrostatics and intact stability of a ship or a submersible "
                 "from a panelled hull model.",
                 "brelund-calc");
    app.set_version_flag("--version", std::string("brelund-calc ") + BRELUND_VERSION);
    app.require_subcommand(1);
    // --threads may follow the command, as its other options do.
    app.fallthrough();
    int threads = 0;
    app.add_option("--threads", threads,
                   "Threads the calculations run on (default: BRELUND_THREADS, else every "
                   "core); 1 runs them serially. The output is the same for any number")
        ->check(CLI::Range(1, kMaxThreads));
    // Alive until main returns, so that every command's calculation runs
    // under it: the commands run at the end of the parse.
    std::unique_ptr<tbb::global_control> parallelism;
    app.parse_complete_callback([&] {
        if (threads == 0)
            threads = ThreadsFromEnvironment();
        if (threads > 0)
            parallelism = std::make_unique<tbb::global_control>(
                tbb::global_control::max_allowed_parallelism, static_cast<std::size_t>(threads));
    });

    int status = exitOk;
    AddListCommand(app, status);
    AddModelCommands(app, status);
    AddCalcCommands(app, status);
    AddCheckCommand(app, status);
    AddHydrostaticsCommand(app, status);
    AddStabilityCommand(app, status);
    AddConditionsCommand(app, status);
    AddTanksCommand(app, status);
    AddDamageCommand(app, status);
#ifdef BRELUND_WITH_REPORT
    AddReportCommand(app, status);
#endif
    ReadNumbersStrictly(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return exitUsage;
    } catch (const CUsageError& e) {
        std::fprintf(stderr, "brelund-calc: %s\n", e.what());
        return exitUsage;
    } catch (const CRefusedError& e) {
        std::fprintf(stderr, "brelund-calc: %s\n", e.what());
        return exitRefused;
    } catch (const CFileException& e) {
        std::fprintf(stderr, "brelund-calc: %s\n", e.what());
        return exitRefused;
    } catch (const CCalculationStopped&) {
        std::fprintf(stderr, "brelund-calc: interrupted; nothing was written\n");
        return exitInterrupted;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "brelund-calc: out of memory\n");
        return exitRefused;
    } catch (const std::exception& e) {
        // Whatever a command did not foresee still ends in one line and
        // exit 1, never in an abort.
        std::fprintf(stderr, "brelund-calc: %s\n", e.what());
        return exitRefused;
    } catch (...) {
        std::fprintf(stderr, "brelund-calc: an unexpected error ended the command\n");
        return exitRefused;
    }
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "brelund-calc: cannot write the output\n");
        return exitRefused;
    }
    return status;
}
