#include "NumberText.h"

#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {

// The C locale, made once per process; uselocale switches only this thread.
locale_t CLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

class CScopedCLocale {
public:
    CScopedCLocale() : m_old(uselocale(CLocale())) {}
    ~CScopedCLocale() { uselocale(m_old); }
    CScopedCLocale(const CScopedCLocale&) = delete;
    CScopedCLocale& operator=(const CScopedCLocale&) = delete;

private:
    locale_t m_old;
};

} // namespace

std::string FormatC(const char* format, ...) {
    CScopedCLocale c;
    char small[128];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0)
        return std::string();
    if (static_cast<std::size_t>(n) < sizeof small)
        return std::string(small, static_cast<std::size_t>(n));
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(out.data(), out.size(), format, args);
    va_end(args);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

double AtofC(const char* text) {
    return strtod_l(text, nullptr, CLocale());
}

double StrtodC(const char* text, char** end) {
    return strtod_l(text, end, CLocale());
}

bool ParseNumberC(const std::string& text, double& value) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return false;
    const char* start = text.c_str() + first;
    char* end = nullptr;
    const double parsed = StrtodC(start, &end);
    if (end == start || !std::isfinite(parsed))
        return false;
    for (; *end != '\0'; ++end)
        if (*end != ' ' && *end != '\t')
            return false;
    value = parsed;
    return true;
}

std::string EscapeText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            out += c;
        }
    }
    return out;
}
