// Usage errors in the program's own words: "glarewright: <what>" on one line
// of stderr, with where to find help, and exit status 2.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>

namespace gw {

inline constexpr int kUsageError = 2;

// Refuses a command word that names no command ("glarewright bogus",
// "glarewright lens bogus") or a missing one, listing those there are.
// Returns the exit status when it refused, nothing when the words are fine.
std::optional<int> CheckCommandWords(const CLI::App& app, int argc, char** argv);

// Says what CLI11 refused; --help and its kin print their text and exit 0.
int ReportParseError(const CLI::App& app, const CLI::ParseError& error);

}  // namespace gw
