// Shared pieces of brelund-calc's commands: exit statuses and output helpers.
#pragma once

#include <CLI/CLI.hpp>

#include "geometry/HydroMethod.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// Exit statuses of every command; a calculation stopped by SIGINT exits as
// a shell reports a command killed by it.
enum ExitStatus { exitOk = 0, exitRefused = 1, exitUsage = 2, exitInterrupted = 130 };

// Refused input: one line on stderr, exit 1, nothing written.
class CRefusedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A usage error found after parsing (an option that does not apply): exit 2.
class CUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The most threads the calculations may be given.
inline constexpr int kMaxThreads = 1024;
// The threads BRELUND_THREADS asks for, 0 when it is unset or empty;
// CUsageError naming it when it is not a whole number from 1 to kMaxThreads.
int ThreadsFromEnvironment();

// A name as one TAB-separated field or within a one-line message (EscapeText).
std::string EscapeField(const std::string& text);

class CShipElement;
class CShipModel;
class CStopRequest;

// Makes SIGINT (Ctrl-C) stop the calculation of the command instead of
// killing it: the handler raises the flag returned, the compute gives up at
// its next check with CCalculationStopped, main says so and exits with
// exitInterrupted, and since every output is put in place only after the
// last check, nothing is written. A second SIGINT kills at once. A command
// started with SIGINT ignored (in the background of a script) keeps ignoring
// it; one started with it blocked gets it unblocked.
const CStopRequest* StopOnInterrupt();

// An element as messages name it: its kind and its escaped name in quotes.
std::string ElementLabel(const CShipElement& element, int kind);

// The header of the element listing and one element's line (LF-terminated).
extern const char* const kElementListHeader;
std::string ElementLine(int kind, const CShipElement& element);

// Loads a ship file; a file that does not exist gives an empty model when
// allowNew is set.
void LoadShip(CShipModel& ship, const std::string& path, bool allowNew);

class CShipLock;
// Warnings on stderr of what taking the ship's lock repaired (an
// interrupted save undone).
void SayWhatTheLockRepaired(const CShipLock& lock, const std::string& path);

// An option naming a file to write refuses an empty value as a usage error.
void RefuseEmptyFileName(CLI::Option* option);

// Refuses a calculation on a ship one of whose enabled elements taking part
// (hull elements, and the compartments and tanks when asked) holds a value
// that is not a number: every figure would come out as one.
void RefuseValuesThatAreNotNumbers(const CShipModel& ship, bool compartments, bool tanks);
// Warnings on stderr, one line per enabled element taking part whose
// surface is open or faces inwards (FindSurfaceFaults): its volume, and so
// every figure, is not the one drawn.
void WarnOfSurfaceFaults(const CShipModel& ship, bool compartments, bool tanks);
// Warnings on stderr, one line per problem of every element's values.
void WarnOfValueProblems(const CShipModel& ship);

// A tank's liquid lighter than this [kg/m^3] was most likely never set: a
// new tank's is 1 kg/m^3, and the lightest liquids carried weigh some 600.
inline constexpr double kLeastLiquidSpecificWeight = 100;
class CTank;
// A warning on stderr when tank's density lies below that (or at 0, as a
// negative value is taken); whether it warned.
bool WarnIfDensityUnset(const CTank& tank);
// The same for every tank of ship, or with loadedOnly for the enabled tanks
// with a load alone, the only ones that weigh in a loading condition.
void WarnOfUnsetDensities(const CShipModel& ship, bool loadedOnly);

// Refuses a number typed for one of command's options that is not finite
// ("nan", "inf", "1e999"), naming the option.
void RefuseTypedValuesThatAreNotNumbers(const CLI::App& command);

// --rule one-point|exact: the integration rule of the tables (the one-point
// rule by default).
void AddRuleOption(CLI::App& command, IntegrationRule& rule);

// --format tsv|csv|json and --digits N, the output options of the commands
// that print records (calc/RecordTable.h).
void AddRecordOutputOptions(CLI::App& command, std::string& format, int& digits);
// --baseline, and --ap with --fp (each needs the other), whose default
// perpendiculars are as defaults says; the --ap option is returned, given
// when both are.
CLI::Option* AddDatumOptions(CLI::App& command, double& baseline, double& ap, double& fp,
                             const std::string& defaults);

// Every option of every command that takes a number reads it with
// ReadNumberText (a real) or ReadIntegerText (an integer), in the C
// conventions: an empty value (which would read as 0) or one that is not a
// decimal number is a usage error naming the option; "nan", "inf" and
// numbers beyond a double's range reach the command, which refuses them.
void ReadNumbersStrictly(CLI::App& app);

struct CLoadingCondition;
class CLoadingConditions;
// The condition named name in the conditions file of the ship at shipPath,
// read into conditions (which owns it); a CRefusedError naming it and the
// file when there is none.
const CLoadingCondition* FindCondition(const std::string& shipPath, const std::string& name,
                                       CLoadingConditions& conditions);
// Warnings on stderr, one line per tank condition loads that ship does not
// have.
void WarnOfUnknownTanks(const CShipModel& ship, const std::string& shipPath,
                        const CLoadingCondition& condition);

struct CCalcProblem;
struct CStabilityInputs;
// How the messages of a calculation on a loading condition (stability,
// damage) name an input: by its option of command, or by its key in the
// conditions file when condition gave it and no option overrode it.
struct CInputNames {
    const CLI::App* command = nullptr;
    const CLoadingCondition* condition = nullptr;
    std::string operator()(const std::string& input) const;
};
// The stability calculation's problem in the words of the command line.
std::string DescribeStabilityProblem(const CCalcProblem& p, const CStabilityInputs& in,
                                     const CInputNames& names);
// The inputs of condition into in, less those the options of command given
// override (--lightship, --lcg, --tcg, --vcg, --density, --flooding-angle,
// which command must have). The heels and datums are the command line's
// alone.
void TakeCondition(const CStabilityInputs& condition, const CLI::App& command,
                   CStabilityInputs& in);

// The curves of form's problem in the words of hydrostatics.
std::string DescribeCurvesOfFormProblem(const CCalcProblem& p);

// The problems of the tables of upright, inclined, bonjean and trim in the
// words of those commands.
std::string DescribeUprightProblem(const CShipModel& ship, const CCalcProblem& p);
std::string DescribeInclinedProblem(const CCalcProblem& p);
std::string DescribeBonjeanProblem(const CCalcProblem& p);
std::string DescribeTrimProblem(const CCalcProblem& p);

// The tank tables' problem in the words of tanks; more trims than a table
// of a tank is ever read by are refused.
std::string DescribeTankTableProblem(const CCalcProblem& p);
inline constexpr std::size_t kMaxTrims = 1000;

struct CDamageInputs;
struct CDamageCase;
// The damage calculation's problem in the words of damage (source: "damage
// case 'X'" or "--open"); the case of --open's list of compartments; the
// warnings of the open surfaces of the disabled compartments cases open.
std::string DescribeDamageProblem(const CCalcProblem& p, const CDamageInputs& in,
                                  const CInputNames& names, const std::string& source);
CDamageCase DamageCaseOfOpenList(const std::string& list, std::optional<double> deck);
void WarnOfOpenCompartments(const CShipModel& ship, const std::vector<CDamageCase>& cases);

// Each command adds its subcommand; its callback runs the command and sets
// the exit status through the returned reference.
void AddListCommand(CLI::App& app, int& status);
void AddModelCommands(CLI::App& app, int& status);
void AddCalcCommands(CLI::App& app, int& status);
void AddCheckCommand(CLI::App& app, int& status);
void AddHydrostaticsCommand(CLI::App& app, int& status);
void AddStabilityCommand(CLI::App& app, int& status);
void AddConditionsCommand(CLI::App& app, int& status);
void AddTanksCommand(CLI::App& app, int& status);
void AddDamageCommand(CLI::App& app, int& status);
// In brelund-calc when it is built with Qt (the booklet's drawing).
void AddReportCommand(CLI::App& app, int& status);
