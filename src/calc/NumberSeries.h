// A series of values typed on the command line, as a range FROM:TO:STEP or
// a comma-separated list: the draughts of the curves of form, the heels of
// a stability curve.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// "FROM:TO:STEP" gives FROM, FROM + STEP, ... up to TO (TO included when the
// steps reach it within 1e-9 of a step, and then TO exactly); "1.5,2,3" the
// values as listed. A STEP longer than a range that is not empty is refused:
// it is FROM:STEP:TO typed the other way round. At most limit values. Returns what is wrong with the
// text, naming option, or an empty text with the values in out.
std::string ParseNumberSeries(const char* option, const std::string& text, std::size_t limit,
                              std::vector<double>& out);
