// A table of records as text in three formats: TSV (the default of the
// command line), CSV (RFC 4180) and JSON (an array of objects keyed by
// unit-suffixed names). A cell without a value is written "-" in TSV and
// CSV and null in JSON; a number that is not finite is written the same
// way, never as "nan" or "inf".
#pragma once

#include "CTextGrid.h"

#include "calc/RecordTable.h"

#include <string>
#include <vector>

enum class RecordFormat { tsv, csv, json };

// "tsv", "csv" or "json"; false for anything else.
bool ParseRecordFormat(const std::string& name, RecordFormat& format);

// The whole table as text. Numbers with digits significant digits (%.*g in
// the C locale, 1 to 17); -0 is written 0. TSV: a header line, then one line
// per row, TAB between cells, LF after every line; a TAB, CR or LF inside a
// text is written as a blank. CSV: the same with commas and CR LF, a field
// holding a comma, a double quote, CR or LF quoted with its quotes doubled.
// JSON: an array of one object per row, keys in column order.
std::string WriteRecords(const CRecordTable& table, RecordFormat format, int digits);

// The table as the dialogs' grids show it: the headers in row 0, then one
// row per record, each cell the text TSV and CSV write for it (the same
// digits, "-" for no value), before any quoting.
CTextGrid RecordGrid(const CRecordTable& table, int digits);

// One of several tables written together: a report made of parts.
struct CRecordSection {
    std::string name;                    // JSON key of the part
    const CRecordTable* table = nullptr; // not owned
    bool single = false;                 // JSON: its one row as an object, not an array
};

// Several tables as one text. TSV and CSV: each table as WriteRecords
// writes it, its own header line first, with an empty line between two
// tables. JSON: one object whose members, in order, are the parts by
// name, each an array of objects (or, for a single part, the object of
// its first row, null when it has none).
std::string WriteRecordSections(const std::vector<CRecordSection>& sections, RecordFormat format,
                                int digits);
