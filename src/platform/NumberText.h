// Numbers as text with the C conventions (decimal point "."), whatever
// locale the process runs in. Every number the engine, the tables, the
// ship and DXF files format, and every number read from a text, goes
// through here; and names made safe to stand in a one-line message.
#pragma once

#include <string>
#include <string_view>

// printf-style formatting in the C locale.
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// What a text holds as a number.
enum class CNumberText {
    number,     // a finite number
    outOfRange, // a decimal number beyond the range of a double: +-inf
    notFinite,  // "inf", "infinity" or "nan", in any case, with or without a sign
    notNumber,  // anything else
};

// The one reading of a number typed by a person or written by a program
// (the dialogs' fields, the command line's options and series, DXF values,
// OBJ and ASCII STL coordinates, typed lists of stations, settings in the
// environment): a decimal number, that is an optional sign, digits with an
// optional decimal point "." (digits on one side of it at least) and an
// optional exponent (e or E, an optional sign, digits), with blanks (spaces,
// tabs) around it allowed, whatever the locale. It is rounded correctly; a
// magnitude too small for a double reads as the nearest one (0 or a
// subnormal, with its sign). value holds the number, also +-inf or nan when
// the text is out of range or not finite, and is left alone when the text
// is no number: hexadecimal numbers, "1,5", "12abc", "" or blanks alone.
CNumberText ReadNumberText(std::string_view text, double& value);

// An integer the same way: an optional sign and decimal digits, blanks
// around them allowed. Beyond the range of a long long it is outOfRange,
// value then the nearest limit; never notFinite.
CNumberText ReadIntegerText(std::string_view text, long long& value);

// One finite number (ReadNumberText) and nothing else; false, value
// untouched, otherwise.
bool ParseNumberC(std::string_view text, double& value);

// The finite number the text holds (ParseNumberC), or otherwise.
double NumberOr(std::string_view text, double otherwise);

// text as one line of a message or one TAB-separated field: backslash, TAB,
// CR, LF and NUL escaped as \\, \t, \r, \n and \0, so that a name can
// neither split the line nor cut it short.
std::string EscapeText(const std::string& text);
// The same in single quotes, as a message names a tank, an element or a
// condition: 'cassa 1'.
std::string QuotedText(const std::string& text);
