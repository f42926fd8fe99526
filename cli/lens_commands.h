// `glarewright lens ...`: create, show and convert lens files.
#pragma once

#include <CLI/CLI.hpp>

namespace gw {

// Adds the `lens` subcommand and its own subcommands to the program.
void AddLensCommands(CLI::App& app);

}  // namespace gw
