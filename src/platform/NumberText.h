// Numbers as text with the C conventions (decimal point "."), whatever
// locale the process runs in. Every number the engine, the tables, the
// ship and DXF files format or parse goes through here; and names made safe
// to stand in a one-line message.
#pragma once

#include <string>

// printf-style formatting in the C locale.
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// atof in the C locale: leading blanks skipped, the longest numeric prefix
// taken, 0 when there is none.
double AtofC(const char* text);

// strtod in the C locale; end receives the first character not used.
double StrtodC(const char* text, char** end);

// One finite number and nothing else, blanks (spaces, tabs) around it
// allowed; false, value untouched, otherwise.
bool ParseNumberC(const std::string& text, double& value);

// text as one line of a message or one TAB-separated field: backslash, TAB,
// CR, LF and NUL escaped as \\, \t, \r, \n and \0, so that a name can
// neither split the line nor cut it short.
std::string EscapeText(const std::string& text);
