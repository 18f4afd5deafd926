#include "RecordText.h"

#include "platform/NumberText.h"

#include <cmath>

namespace {

const char* const kNoValue = "-";

std::string Number(double x, int digits) {
    // x + 0.0 turns -0 into 0.
    return FormatC("%.*g", digits, x + 0.0);
}

// A cell as plain text: its number, its text, or the marker.
std::string Plain(const CRecordCell& cell, int digits) {
    if (cell.IsNumber())
        return std::isfinite(cell.Number()) ? Number(cell.Number(), digits) : kNoValue;
    if (cell.IsText())
        return cell.Text();
    return kNoValue;
}

std::string TsvField(const std::string& field) {
    std::string text = field;
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return text;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20)
                out += FormatC("\\u%04x", c);
            else
                out += static_cast<char>(c);
        }
    }
    out += '"';
    return out;
}

std::string JsonValue(const CRecordCell& cell, int digits) {
    if (cell.IsNumber())
        return std::isfinite(cell.Number()) ? Number(cell.Number(), digits) : "null";
    if (cell.IsText())
        return JsonString(cell.Text());
    return "null";
}

std::string Delimited(const CRecordTable& t, int digits, char separator, const char* lineEnd,
                      std::string (*field)(const std::string&)) {
    const CTextGrid grid = RecordGrid(t, digits);
    std::string out;
    for (int r = 0; r < grid.GetRows(); ++r) {
        for (int c = 0; c < grid.GetCols(); ++c) {
            if (c)
                out += separator;
            out += field(grid.GetText(r, c));
        }
        out += lineEnd;
    }
    return out;
}

std::string JsonObject(const CRecordTable& t, std::size_t r, int digits) {
    std::string out = "{";
    for (std::size_t c = 0; c < t.columns.size(); ++c) {
        if (c)
            out += ", ";
        out += JsonString(t.columns[c].key);
        out += ": ";
        out += c < t.rows[r].size() ? JsonValue(t.rows[r][c], digits) : "null";
    }
    out += '}';
    return out;
}

// The rows as an array of objects, one a line, indent blanks before each.
std::string JsonArray(const CRecordTable& t, int digits, const std::string& indent) {
    std::string out = "[";
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        out += r ? ",\n" : "\n";
        out += indent;
        out += JsonObject(t, r, digits);
    }
    if (!t.rows.empty()) {
        out += '\n';
        out += indent.substr(0, indent.size() - 2);
    }
    out += ']';
    return out;
}

} // namespace

CTextGrid RecordGrid(const CRecordTable& t, int digits) {
    const int cols = static_cast<int>(t.columns.size());
    CTextGrid grid(static_cast<int>(t.rows.size()) + 1, cols);
    for (int c = 0; c < cols; ++c)
        grid.SetText(0, c, t.columns[static_cast<std::size_t>(c)].header);
    for (std::size_t r = 0; r < t.rows.size(); ++r)
        for (std::size_t c = 0; c < t.columns.size(); ++c)
            grid.SetText(static_cast<int>(r) + 1, static_cast<int>(c),
                         c < t.rows[r].size() ? Plain(t.rows[r][c], digits) : kNoValue);
    return grid;
}

bool ParseRecordFormat(const std::string& name, RecordFormat& format) {
    if (name == "tsv")
        format = RecordFormat::tsv;
    else if (name == "csv")
        format = RecordFormat::csv;
    else if (name == "json")
        format = RecordFormat::json;
    else
        return false;
    return true;
}

std::string WriteRecords(const CRecordTable& t, RecordFormat format, int digits) {
    if (format == RecordFormat::tsv)
        return Delimited(t, digits, '\t', "\n", TsvField);
    if (format == RecordFormat::csv)
        return Delimited(t, digits, ',', "\r\n", CsvField);
    std::string out = JsonArray(t, digits, "  ");
    out += '\n';
    return out;
}

std::string WriteRecordSections(const std::vector<CRecordSection>& sections, RecordFormat format,
                                int digits) {
    std::string out;
    if (format != RecordFormat::json) {
        for (std::size_t k = 0; k < sections.size(); ++k) {
            if (k)
                out += format == RecordFormat::csv ? "\r\n" : "\n";
            out += WriteRecords(*sections[k].table, format, digits);
        }
        return out;
    }
    out += '{';
    for (std::size_t k = 0; k < sections.size(); ++k) {
        const CRecordSection& s = sections[k];
        out += k ? ",\n  " : "\n  ";
        out += JsonString(s.name);
        out += ": ";
        if (!s.single)
            out += JsonArray(*s.table, digits, "    ");
        else if (s.table->rows.empty())
            out += "null";
        else
            out += JsonObject(*s.table, 0, digits);
    }
    out += sections.empty() ? "}\n" : "\n}\n";
    return out;
}
