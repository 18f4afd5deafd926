// Numbers as text with the C conventions (decimal point "."), whatever
// locale the process runs in. Every number the engine, the tables, the
// ship and DXF files format or parse goes through here.
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
