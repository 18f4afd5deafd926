// A message for the user in both of the tool's tongues: English on the
// command line (and in logs and what()), Italian in the application. Both
// are written side by side where the message is made, so neither can fall
// behind the other, and the core needs no catalogue and no Qt.
#pragma once

#include "NumberText.h"

#include <string>
#include <utility>

struct CMessage {
    std::string english;
    std::string italian;

    CMessage() = default;
    CMessage(std::string en, std::string it) : english(std::move(en)), italian(std::move(it)) {}

    CMessage& operator+=(const CMessage& more) {
        english += more.english;
        italian += more.italian;
        return *this;
    }
    friend CMessage operator+(CMessage a, const CMessage& b) { return a += b; }
};

// Text taken as it stands in both tongues: a name, a token quoted from a
// file, a path.
inline CMessage Verbatim(const std::string& text) {
    return {text, text};
}

// The two formats of one message with the same arguments, each checked by
// the compiler against them; the Italian may take them in another order
// with "%2$s" and the like.
#define BRELUND_SAY(english, italian, ...)                                                         \
    CMessage(FormatC(english, __VA_ARGS__), FormatC(italian, __VA_ARGS__))

// The system's description of errno value err: the C library's in English,
// ours in Italian for the errors files meet (the C library's otherwise).
CMessage ErrnoText(int err);
