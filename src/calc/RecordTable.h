// A table of records: one row per record, named columns with units, each
// cell a number, a word or no value. The front ends write it as text
// (report/RecordText.h).
#pragma once

#include <string>
#include <vector>

struct CRecordColumn {
    std::string header; // TSV and CSV header, units in brackets: "T[m]"
    std::string key;    // JSON key, unit-suffixed: "T_m"
};

class CRecordCell {
public:
    CRecordCell() = default; // no value
    CRecordCell(double value) : m_kind(kindNumber), m_number(value) {}
    CRecordCell(std::string text) : m_kind(kindText), m_text(std::move(text)) {}
    CRecordCell(const char* text) : CRecordCell(std::string(text)) {}

    bool IsNumber() const { return m_kind == kindNumber; }
    bool IsText() const { return m_kind == kindText; }
    double Number() const { return m_number; }
    const std::string& Text() const { return m_text; }

private:
    enum Kind { kindNone, kindNumber, kindText };
    Kind m_kind = kindNone;
    double m_number = 0;
    std::string m_text;
};

struct CRecordTable {
    std::vector<CRecordColumn> columns;
    std::vector<std::vector<CRecordCell>> rows; // each as long as columns
};
