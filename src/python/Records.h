// Tables of records (calc/RecordTable.h) as Python values: a table as a
// dict of 1-D numpy arrays keyed as the command line's JSON keys them, a
// one-row table as a dict of numbers and texts, each with its "units".
#pragma once

#include "calc/RecordTable.h"

#include <pybind11/pybind11.h>

// Each column by its key: a float64 array when every cell is a number or
// has no value (NaN there, where the command line writes null), otherwise
// an object array of floats, texts and None. "units" maps each key to the
// unit in brackets of its header ("" for none).
pybind11::dict RecordColumns(const CRecordTable& table);
// The table's first row (none: every value None) as key -> float, str or
// None, with "units" as above.
pybind11::dict RecordRow(const CRecordTable& table);
