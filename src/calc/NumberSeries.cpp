#include "NumberSeries.h"
#include "StepCount.h"

#include "platform/NumberText.h"

#include <cmath>

std::string ParseNumberSeries(const char* option, const std::string& text, std::size_t limit,
                              std::vector<double>& out) {
    out.clear();
    const std::string name = option;
    if (text.find_first_not_of(" \t") == std::string::npos)
        return name + " is empty: give FROM:TO:STEP or a list such as 1,2.5,4";
    std::string quoted = name;
    quoted += " \"";
    quoted += EscapeText(text);
    quoted += '"';
    const std::string tooMany = FormatC("%s: more than %zu values", quoted.c_str(), limit);
    if (text.find(':') != std::string::npos) {
        const std::size_t a = text.find(':'), b = text.find(':', a + 1);
        if (b == std::string::npos || text.find(':', b + 1) != std::string::npos)
            return quoted + ": a range is FROM:TO:STEP";
        double from, to, step;
        const struct {
            std::string part;
            const char* name;
            double* value;
        } parts[] = {{text.substr(0, a), "FROM", &from},
                     {text.substr(a + 1, b - a - 1), "TO", &to},
                     {text.substr(b + 1), "STEP", &step}};
        for (const auto& p : parts)
            if (!ParseNumberC(p.part, *p.value))
                return quoted + ": " + p.name + " is not a number";
        if (!(step > 0))
            return quoted + ": STEP must be above 0";
        if (from > to)
            return quoted + ": FROM is above TO";
        // FROM:STEP:TO, as some programs read a range, would give FROM alone.
        if (from < to && step > to - from)
            return quoted + FormatC(": STEP %g is longer than the range from %g to %g; a range is "
                                    "FROM:TO:STEP, as in %g:%g:%g",
                                    step, from, to, from, step, to);
        const double n = StepCount(to - from, step);
        if (!(n < static_cast<double>(limit)))
            return tooMany;
        for (int k = 0; k <= static_cast<int>(n); ++k)
            out.push_back(k == static_cast<int>(n) && std::fabs(from + k * step - to) < 1e-9 * step
                              ? to
                              : from + k * step);
        return "";
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma - start);
        double t;
        if (!ParseNumberC(item, t)) {
            out.clear();
            return quoted + ": \"" + EscapeText(item) + "\" is not a number";
        }
        out.push_back(t);
        if (out.size() > limit) {
            out.clear();
            return tooMany;
        }
        if (comma == std::string::npos)
            return "";
        start = comma + 1;
    }
}
