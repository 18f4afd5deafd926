#include "CliCommon.h"

#include "calc/StopRequest.h"
#include "model/CShipModel.h"
#include "model/ElementEditing.h"
#include "model/LoadNotes.h"
#include "model/MeshCheck.h"
#include "model/ShipFile.h"
#include "platform/NumberText.h"
#include "platform/ShipLock.h"

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <sys/stat.h>

namespace {

CStopRequest g_interrupted;

void OnInterrupt(int) {
    g_interrupted.Request();
}

} // namespace

const CStopRequest* StopOnInterrupt() {
    struct sigaction old {};
    if (::sigaction(SIGINT, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
        return &g_interrupted;
    struct sigaction on {};
    on.sa_handler = OnInterrupt;
    sigemptyset(&on.sa_mask);
    on.sa_flags = SA_RESTART | SA_RESETHAND;
    ::sigaction(SIGINT, &on, nullptr);
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    ::pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
    return &g_interrupted;
}

std::string EscapeField(const std::string& text) {
    return EscapeText(text);
}

const char* const kElementListHeader =
    "kind\tname\tenabled\tmeshes\tfaces\tvolume\tcolour\tpermeability\tdensity_t_m3\t"
    "load_volume\tfilling_ratio\n";

std::string ElementLine(int kind, const CShipElement& e) {
    static const char* const kinds[] = {"", "hull", "compartment", "tank"};
    std::string line = std::string(kinds[kind]) + '\t' + EscapeField(e.GetName()) + '\t' +
                       (e.IsEnabled() ? "1" : "0") + '\t' + FormatC("%d", e.GetCount()) + '\t' +
                       FormatC("%lld", e.GetFaceCount()) + '\t' + FormatC("%.10g", e.Volume()) +
                       '\t' + FormatC("%u", static_cast<unsigned>(e.GetColour()));
    if (kind == kindCompartment) {
        const auto& c = static_cast<const CCompartment&>(e);
        line += '\t' + FormatC("%.10g", c.GetPermeability()) + "\t\t\t\n";
    } else if (kind == kindTank) {
        const auto& t = static_cast<const CTank&>(e);
        line += "\t\t" + FormatC("%.10g", t.GetDensity()) + '\t' +
                FormatC("%.10g", t.GetLoadVolume()) + '\t' + FormatC("%.10g", t.GetFillingRatio()) +
                '\n';
    } else {
        line += "\t\t\t\t\n";
    }
    return line;
}

void LoadShip(CShipModel& ship, const std::string& path, bool allowNew) {
    struct stat st {};
    if (allowNew && !path.empty() && ::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
        ship.Clear();
        return;
    }
    std::vector<CMessage> notes;
    {
        const loadnotes::Collect collect(notes);
        LoadShipFile(ship, path);
    }
    for (const CMessage& note : notes)
        std::fprintf(stderr, "brelund-calc: warning: %s: %s\n", path.c_str(),
                     EscapeField(note.english).c_str());
}

void SayWhatTheLockRepaired(const CShipLock& lock, const std::string& path) {
    for (const CMessage& note : lock.Notes())
        std::fprintf(stderr, "brelund-calc: warning: %s: %s\n", path.c_str(), note.english.c_str());
}

void RefuseEmptyFileName(CLI::Option* option) {
    option->check(CLI::Validator(
        [](std::string& value) {
            return value.empty() ? std::string("a file name is needed, not an empty value")
                                 : std::string();
        },
        "", "NOT_EMPTY"));
}

void AddRuleOption(CLI::App& command, IntegrationRule& rule) {
    command
        .add_option_function<std::string>(
            "--rule",
            [&rule](const std::string& value) {
                rule = value == "exact" ? IntegrationRule::exact : IntegrationRule::onePoint;
            },
            "one-point: the tables' rule (default); exact: closed forms over the immersed "
            "panels, compartments' permeability scaling their volume, moments and waterplane, "
            "the wetted surface the hull's alone")
        ->check(CLI::IsMember({"one-point", "exact"}));
}

CLI::Option* AddDatumOptions(CLI::App& command, double& baseline, double& ap, double& fp,
                             const std::string& defaults) {
    command.add_option("--baseline", baseline,
                       "Height of the baseline, z in ship axes [m], from which draughts and "
                       "heights are read (default 0)");
    CLI::Option* aft = command.add_option("--ap", ap, "Aft perpendicular, x [m] (with --fp)");
    CLI::Option* fore = command.add_option(
        "--fp", fp, "Fore perpendicular, x [m] (with --ap; default for both: " + defaults + ")");
    aft->needs(fore);
    fore->needs(aft);
    return aft;
}

void AddRecordOutputOptions(CLI::App& command, std::string& format, int& digits) {
    command.add_option("--format", format, "tsv (default), csv or json")
        ->check(CLI::IsMember({"tsv", "csv", "json"}));
    command
        .add_option("--digits", digits, "Significant digits of every number, 1 to 17 (default 6)")
        ->check(CLI::Range(1, 17));
}

namespace {

// Why a value typed for a number is refused: empty (it would read as 0) or
// not a number at all.
std::string NotANumber(const std::string& value, const char* what) {
    if (value.find_first_not_of(" \t") == std::string::npos)
        return std::string("a number is needed, not an empty value");
    return "\"" + EscapeText(value) + "\" is not " + what;
}

} // namespace

void ReadNumbersStrictly(CLI::App& app) {
    // Each value is read here and handed on in a form CLI11's own reading
    // (strtold, strtoll with any base) gives back exactly: a finite number
    // with every digit, "inf" or "nan" for the commands to refuse by name,
    // an integer in plain decimal.
    const CLI::Validator real(
        [](std::string& value) {
            double read = 0;
            switch (ReadNumberText(value, read)) {
            case CNumberText::number:
                value = FormatC("%.17g", read);
                return std::string();
            case CNumberText::outOfRange:
            case CNumberText::notFinite:
                value = FormatC("%g", read);
                return std::string();
            case CNumberText::notNumber:
                break;
            }
            return NotANumber(value, "a number");
        },
        "", "NUMBER");
    const CLI::Validator integer(
        [](std::string& value) {
            long long read = 0;
            if (ReadIntegerText(value, read) != CNumberText::number)
                return NotANumber(value, "a whole number");
            value = FormatC("%lld", read);
            return std::string();
        },
        "", "INTEGER");
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; }))
        for (CLI::Option* option : command->get_options()) {
            // The type, less the checks the option has (":INT in [1 - 17]").
            const std::string full = option->get_type_name();
            const std::string type = full.substr(0, full.find(':'));
            if (type == "FLOAT")
                option->transform(real);
            else if (type == "INT" || type == "UINT")
                option->transform(integer);
        }
}

namespace {

template <class Fn> void ForEachElement(const CShipModel& ship, Fn&& fn) {
    for (int i = 1; i <= ship.HullElements().GetCount(); ++i)
        fn(*ship.HullElements().GetAt(i), int{kindHull});
    for (int i = 1; i <= ship.Compartments().GetCount(); ++i)
        fn(*ship.Compartments().GetAt(i), int{kindCompartment});
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
        fn(*ship.Tanks().GetAt(i), int{kindTank});
}

} // namespace

std::string ElementLabel(const CShipElement& element, int kind) {
    static const char* const kinds[] = {"", "hull element", "compartment", "tank"};
    return std::string(kinds[kind]) + " '" + EscapeField(element.GetName()) + "'";
}

void RefuseValuesThatAreNotNumbers(const CShipModel& ship, bool compartments, bool tanks) {
    int kind = 0;
    CValueProblem problem;
    if (const CShipElement* element =
            FindValueThatIsNotANumber(ship, compartments, tanks, kind, problem))
        throw CRefusedError(ElementLabel(*element, kind) + ": " + problem.text +
                            ": the results would not be numbers");
}

void WarnOfSurfaceFaults(const CShipModel& ship, bool compartments, bool tanks) {
    static const char* const kinds[] = {"", "hull", "compartment", "tank"};
    for (const CSurfaceFault& f : FindSurfaceFaults(ship, compartments, tanks)) {
        const std::string label =
            std::string(kinds[f.kind]) + " '" + EscapeField(f.element->GetName()) + "'";
        if (f.IsOpen())
            std::fprintf(stderr,
                         "brelund-calc: warning: %s is open (%lld boundary edges, %.6g m of "
                         "boundary): its volume is not the one it encloses\n",
                         label.c_str(), f.surface.boundary_edges, f.surface.boundary_length);
        else
            std::fprintf(stderr,
                         "brelund-calc: warning: %s faces inwards (its volume is %.6g m^3): "
                         "invert it with invert\n",
                         label.c_str(), f.surface.volume);
    }
}

void WarnOfValueProblems(const CShipModel& ship) {
    ForEachElement(ship, [&](const CShipElement& element, int kind) {
        for (const CValueProblem& p : FindValueProblems(element, kind))
            std::fprintf(stderr, "brelund-calc: warning: %s: %s\n",
                         ElementLabel(element, kind).c_str(), p.text.c_str());
    });
}

bool WarnIfDensityUnset(const CTank& tank) {
    // NaN and negative values are value problems of their own.
    const double weight = tank.GetSpecificWeight();
    if (!(weight >= 0 && weight < kLeastLiquidSpecificWeight))
        return false;
    std::fprintf(stderr,
                 "brelund-calc: warning: %s has a density of %g t/m^3 (%g kg/m^3), below %g "
                 "t/m^3, lighter than any liquid: most likely never set (a new tank's is %g "
                 "kg/m^3); set it with edit --density\n",
                 ElementLabel(tank, kindTank).c_str(), tank.GetDensity(), weight,
                 kLeastLiquidSpecificWeight / 1000, CTank().GetSpecificWeight());
    return true;
}

void WarnOfUnsetDensities(const CShipModel& ship, bool loadedOnly) {
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i) {
        const CTank& tank = *ship.Tanks().GetAt(i);
        if (!loadedOnly || (tank.IsEnabled() && tank.GetLoadVolume() > 0))
            WarnIfDensityUnset(tank);
    }
}

void RefuseTypedValuesThatAreNotNumbers(const CLI::App& command) {
    for (const CLI::Option* option : command.get_options()) {
        if (option->count() == 0 || option->get_type_name() != "FLOAT")
            continue;
        if (const double value = option->as<double>(); !std::isfinite(value))
            throw CRefusedError(option->get_name() +
                                FormatC(" (%g) is not a finite number", value));
    }
}

int ThreadsFromEnvironment() {
    const char* text = std::getenv("BRELUND_THREADS");
    if (text == nullptr || *text == '\0')
        return 0;
    long long n = 0;
    if (ReadIntegerText(text, n) != CNumberText::number || n < 1 || n > kMaxThreads)
        throw CUsageError(FormatC("BRELUND_THREADS (%s) must be a whole number from 1 to %d",
                                  EscapeText(text).c_str(), kMaxThreads));
    return static_cast<int>(n);
}
