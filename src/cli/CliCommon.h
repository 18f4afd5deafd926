// Shared pieces of brelund-calc's commands: exit statuses and output helpers.
#pragma once

#include <CLI/CLI.hpp>

#include <stdexcept>
#include <string>

// Exit statuses of every command.
enum ExitStatus { exitOk = 0, exitRefused = 1, exitUsage = 2 };

// Refused input: one line on stderr, exit 1, nothing written.
class CRefusedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A name as one TAB-separated field: backslash, TAB, CR and LF escaped.
std::string EscapeField(const std::string& text);

// Each command adds its subcommand; its callback runs the command and sets
// the exit status through the returned reference.
void AddListCommand(CLI::App& app, int& status);
