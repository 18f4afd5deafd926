// Tokens of a text separated by TAB or by a CR LF line end: a list of
// numbers typed by the user, one a line. The text is held
// by reference: the caller's string must outlive every call that reads it.
#pragma once

#include <cstdint>
#include <string>

class CTextTokenizer {
public:
    CTextTokenizer() = default;
    explicit CTextTokenizer(const std::string& text) : m_text(&text) {}

    void SetText(const std::string& text) {
        m_text = &text;
        m_position = 0;
    }
    void Reset() { m_position = 0; }
    // 0-based offset of the next character to read.
    std::int32_t GetPosition() const { return m_position; }
    void SetPosition(std::int32_t position) { m_position = position < 0 ? 0 : position; }

    // The characters up to the next TAB, CR or the end of the text. A CR is
    // taken as the start of a CR LF pair, so the character after it goes too.
    // An empty result means no token.
    std::string NextToken();
    // Tokens from the start of the text up to the first empty one (two
    // delimiters in a row end the count). Leaves the position after them.
    std::int32_t CountTokens();
    // The next token as one finite number (ParseNumberC: blanks around it
    // allowed, nothing else); false and 0 when the token is empty or holds
    // anything else.
    bool ReadDouble(double& value);

private:
    const std::string* m_text = nullptr;
    std::int32_t m_position = 0;
};
