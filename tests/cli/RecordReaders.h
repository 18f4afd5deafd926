// Readers of what the record commands print, strict enough to fail on text
// that is not well-formed: RFC 4180 CSV, and JSON.
#pragma once

#include <cctype>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// RFC 4180 records: fields split on commas outside quotes, "" inside quotes
// a quote, CR LF after every record.
inline std::vector<std::vector<std::string>> ParseCsv(const std::string& text, bool& wellFormed) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    wellFormed = true;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                records.back().back() += text[++i];
            else if (c == '"')
                quoted = false;
            else
                records.back().back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            records.emplace_back(1);
        } else if (c == '\r' || c == '\n') {
            wellFormed = false; // a bare line end outside quotes
        } else {
            records.back().back() += c;
        }
    }
    // After the final CR LF an empty record is left open.
    wellFormed = wellFormed && !quoted && records.back() == std::vector<std::string>(1);
    records.pop_back();
    return records;
}

// A JSON value: a scalar kept as its text (strings unescaped only for \" and
// \\), an array of items or an object of members in order.
struct CJsonValue {
    enum Kind { scalar, array, object } kind = scalar;
    std::string text;
    std::vector<CJsonValue> items;
    std::vector<std::pair<std::string, CJsonValue>> members;
    // The member named key; null when there is none.
    const CJsonValue* Member(const std::string& key) const {
        for (const auto& m : members)
            if (m.first == key)
                return &m.second;
        return nullptr;
    }
};

// A strict JSON reader: the whole text must be one value.
class CJsonReader {
public:
    explicit CJsonReader(const std::string& text) : m_t(text) {}
    bool Read(CJsonValue& out) {
        Blank();
        if (!Value(out))
            return false;
        Blank();
        return m_i == m_t.size();
    }
    // A top-level array of flat objects, each object's members as text.
    bool ReadArrayOfObjects(std::vector<std::vector<std::pair<std::string, std::string>>>& out) {
        CJsonValue v;
        if (!Read(v) || v.kind != CJsonValue::array)
            return false;
        for (const CJsonValue& item : v.items) {
            if (item.kind != CJsonValue::object)
                return false;
            out.emplace_back();
            for (const auto& [key, value] : item.members) {
                if (value.kind != CJsonValue::scalar)
                    return false;
                out.back().emplace_back(key, value.text);
            }
        }
        return true;
    }

private:
    bool Value(CJsonValue& v) {
        if (Eat('[')) {
            v.kind = CJsonValue::array;
            Blank();
            if (Eat(']'))
                return true;
            do {
                Blank();
                v.items.emplace_back();
                if (!Value(v.items.back()))
                    return false;
                Blank();
            } while (Eat(','));
            return Eat(']');
        }
        if (Eat('{')) {
            v.kind = CJsonValue::object;
            Blank();
            if (Eat('}'))
                return true;
            do {
                Blank();
                std::string key;
                if (!String(key))
                    return false;
                Blank();
                if (!Eat(':'))
                    return false;
                Blank();
                v.members.emplace_back(key, CJsonValue());
                if (!Value(v.members.back().second))
                    return false;
                Blank();
            } while (Eat(','));
            return Eat('}');
        }
        return Scalar(v.text);
    }
    bool Scalar(std::string& value) {
        if (m_i < m_t.size() && m_t[m_i] == '"')
            return String(value);
        for (const char* word : {"null", "true", "false"})
            if (m_t.compare(m_i, std::strlen(word), word) == 0) {
                m_i += std::strlen(word);
                value = word;
                return true;
            }
        // -?(0|[1-9]d*)(.d+)?([eE][+-]?d+)?
        const std::size_t start = m_i;
        Eat('-');
        if (Eat('0')) {
        } else if (!Digits()) {
            return false;
        }
        if (Eat('.') && !Digits())
            return false;
        if (Eat('e') || Eat('E')) {
            if (!Eat('+'))
                Eat('-');
            if (!Digits())
                return false;
        }
        value = m_t.substr(start, m_i - start);
        return true;
    }
    bool String(std::string& out) {
        if (!Eat('"'))
            return false;
        while (m_i < m_t.size() && m_t[m_i] != '"') {
            if (static_cast<unsigned char>(m_t[m_i]) < 0x20)
                return false;
            if (m_t[m_i] == '\\')
                ++m_i;
            out += m_t[m_i++];
        }
        return Eat('"');
    }
    bool Digits() {
        const std::size_t start = m_i;
        while (m_i < m_t.size() && std::isdigit(static_cast<unsigned char>(m_t[m_i])))
            ++m_i;
        return m_i > start;
    }
    void Blank() {
        while (m_i < m_t.size() && std::strchr(" \t\r\n", m_t[m_i]) && m_t[m_i])
            ++m_i;
    }
    bool Eat(char c) {
        if (m_i < m_t.size() && m_t[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    std::string m_t;
    std::size_t m_i = 0;
};

// The text split at its empty lines (blank: two line ends, LF or CR LF),
// each part keeping its last line end.
inline std::vector<std::string> Blocks(const std::string& text, const std::string& blank) {
    std::vector<std::string> blocks;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(blank, start);
        blocks.push_back(
            text.substr(start, at == std::string::npos ? at : at - start + blank.size() / 2));
        if (at == std::string::npos)
            return blocks;
        start = at + blank.size();
    }
}
