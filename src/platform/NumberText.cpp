#include "NumberText.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>
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

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether text is word (lower case) in any case, letters taken as ASCII
// whatever the locale.
bool IsWord(std::string_view text, std::string_view word) {
    if (text.size() != word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != word[i])
            return false;
    }
    return true;
}

// The length of the digits at the start of text.
std::size_t Digits(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && IsDigit(text[n]))
        ++n;
    return n;
}

// Whether text is a decimal number without its sign: digits, a decimal
// point and an exponent as ReadNumberText takes them.
bool IsUnsignedDecimal(std::string_view text) {
    std::size_t i = Digits(text);
    std::size_t digits = i;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = Digits(text.substr(i + 1));
        digits += fraction;
        i += 1 + fraction;
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t exponent = Digits(text.substr(i));
        if (exponent == 0)
            return false;
        i += exponent;
    }
    return i == text.size();
}

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

CNumberText ReadNumberText(std::string_view text, double& value) {
    text = TrimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    const bool sign = negative || (!text.empty() && text.front() == '+');
    const std::string_view body = text.substr(sign ? 1 : 0);
    if (IsWord(body, "inf") || IsWord(body, "infinity")) {
        value = negative ? -HUGE_VAL : HUGE_VAL;
        return CNumberText::notFinite;
    }
    if (IsWord(body, "nan")) {
        value = std::copysign(std::numeric_limits<double>::quiet_NaN(), negative ? -1.0 : 1.0);
        return CNumberText::notFinite;
    }
    if (!IsUnsignedDecimal(body))
        return CNumberText::notNumber;
    // from_chars takes a '-' but no '+'; it reads the decimal in the C
    // conventions and rounds it correctly.
    const char* first = negative ? text.data() : body.data();
    const char* last = text.data() + text.size();
    double read = 0;
    const auto [end, error] = std::from_chars(first, last, read, std::chars_format::general);
    if (error == std::errc() && end == last) {
        value = read;
        return CNumberText::number;
    }
    // Beyond the range of a double either way: strtod gives the nearest
    // subnormal or zero, or an infinity.
    read = strtod_l(std::string(first, last).c_str(), nullptr, CLocale());
    value = read;
    return std::isinf(read) ? CNumberText::outOfRange : CNumberText::number;
}

CNumberText ReadIntegerText(std::string_view text, long long& value) {
    text = TrimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    const bool sign = negative || (!text.empty() && text.front() == '+');
    const std::string_view digits = text.substr(sign ? 1 : 0);
    if (digits.empty() || Digits(digits) != digits.size())
        return CNumberText::notNumber;
    const char* first = negative ? text.data() : digits.data();
    long long read = 0;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), read);
    if (error == std::errc::result_out_of_range) {
        value = negative ? std::numeric_limits<long long>::min()
                         : std::numeric_limits<long long>::max();
        return CNumberText::outOfRange;
    }
    value = read;
    return CNumberText::number;
}

bool ParseNumberC(std::string_view text, double& value) {
    double read = 0;
    if (ReadNumberText(text, read) != CNumberText::number)
        return false;
    value = read;
    return true;
}

double NumberOr(std::string_view text, double otherwise) {
    double value = otherwise;
    ParseNumberC(text, value);
    return value;
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

std::string QuotedText(const std::string& text) {
    // Appended in place: "'" + a temporary sets off a false -Wrestrict of
    // GCC 12 at -O3.
    std::string quoted = "'";
    quoted += EscapeText(text);
    quoted += '\'';
    return quoted;
}
