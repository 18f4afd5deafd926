#include "CTextTokenizer.h"

#include "platform/NumberText.h"

std::string CTextTokenizer::NextToken() {
    if (m_text == nullptr)
        return std::string();
    const std::string& text = *m_text;
    const std::size_t size = text.size();
    std::size_t pos = static_cast<std::size_t>(m_position);
    if (pos >= size) {
        // Stepping over the delimiter may have left the position past the end.
        return std::string();
    }
    const std::size_t start = pos;
    while (pos < size && text[pos] != '\t' && text[pos] != '\r')
        ++pos;
    std::string token = text.substr(start, pos - start);
    if (pos < size && text[pos] == '\r')
        ++pos;
    ++pos;
    m_position = static_cast<std::int32_t>(pos > size ? size : pos);
    return token;
}

std::int32_t CTextTokenizer::CountTokens() {
    Reset();
    std::int32_t count = 0;
    while (!NextToken().empty())
        ++count;
    return count;
}

bool CTextTokenizer::ReadDouble(double& value) {
    value = 0.0;
    return ParseNumberC(NextToken(), value);
}
