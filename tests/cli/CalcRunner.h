// Runs brelund-calc as a user would and captures what it prints.
#pragma once

#include "support/ByteBuilder.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

struct CalcResult {
    int status;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// args are passed through the shell unquoted: quote paths with ShellQuote.
// The command runs in folder when one is given, with the environment
// settings env ("NAME=value ...") when given.
inline CalcResult RunCalc(const std::string& args, const std::string& folder = "",
                          const std::string& env = "") {
    const std::string out = TestPath("calc.out"), err = TestPath("calc.err");
    const std::string cd = folder.empty() ? "" : "cd " + ShellQuote(folder) + " && ";
    const std::string cmd = cd + (env.empty() ? "" : env + " ") + std::string(BRELUND_CALC) + " " +
                            args + " >" + ShellQuote(out) + " 2>" + ShellQuote(err) + " </dev/null";
    const int raw = std::system(cmd.c_str());
    const auto text = [](const std::string& path) {
        const auto bytes = ReadBytes(path);
        return std::string(bytes.begin(), bytes.end());
    };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text(out), text(err)};
}
