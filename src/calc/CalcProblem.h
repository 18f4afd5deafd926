// What stops a calculation, without words: which input (the name of its
// field in the calculation's inputs, or none for the ship), which rule it
// breaks, and the figures. A check returns one for inputs that make no
// table; a compute throws one (CCalcFailure) for what only the run finds.
// The front ends word it: the dialogs in their Italian messages,
// brelund-calc in English naming its option.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

enum class CalcRule {
    notANumber,       // value is not a finite number
    notAbove,         // value must lie above limit
    notAtLeast,       // value must be limit or more
    notBelow,         // value must lie below limit
    notAtMost,        // value must be limit or less
    aboveOther,       // value lies above other's value, limit
    narrowerThanStep, // the range up to other, value, is narrower than the step, limit
    zeroStep,         // a step of 0 over the range value, which is not empty
    tooMany,          // the inputs ask for value items (rows, cells, heels), more than limit
    farOffHull,       // value lies more than limit hull sizes (size) off the hull
    noHull,           // the ship has no hull element with vertices
    belowHull,        // the draught value puts the waterplane below the hull; limit touches it
    noVolume,         // the ship has no enabled volume
    noWeight,         // the body has no weight
    sinks,            // the weight value [t] is more than the hull displaces, limit [t]
    tankOverfilled,   // element's load volume, value, does not fit its volume, limit
    negativeDensity,  // element's specific weight, value [kg/m^3], is negative
    notSettled,       // a search did not settle (at the heel value [deg], for the curve)
    alongSurface,     // element's sounding pipe lies in the free surface at trim value, heel limit
    unknownElement,   // element names nothing of the kind input lists (or no such choice)
    listedTwice,      // element is listed twice in input
};

struct CCalcProblem {
    CalcRule rule = CalcRule::notANumber;
    std::string input; // the inputs' field, empty for the ship itself
    double value = 0;
    double limit = 0;
    std::string other;   // a second field the rule relates
    std::string element; // the ship's element concerned
    double size = 0;     // a further figure some rules give (the hull's size)
};

using CCalcCheck = std::optional<CCalcProblem>;

inline CCalcProblem Problem(CalcRule rule, std::string input = {}, double value = 0,
                            double limit = 0, std::string other = {}) {
    CCalcProblem p;
    p.rule = rule;
    p.input = std::move(input);
    p.value = value;
    p.limit = limit;
    p.other = std::move(other);
    return p;
}

// A problem the compute meets on its way (a search that does not settle),
// thrown to the front end, which words it as it words a check's.
class CCalcFailure : public std::runtime_error {
public:
    explicit CCalcFailure(CCalcProblem problem)
        : std::runtime_error("calculation failure"), m_problem(std::move(problem)) {}
    const CCalcProblem& Problem() const { return m_problem; }

private:
    CCalcProblem m_problem;
};
