// `glarewright presets ...`: list, show and export the Quick edition's
// built-in lenses, and draw a contact sheet of them.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

namespace gw {

// A preset as the user names it: its exact name ("Basic Lens") or its
// popup value ("4"). Throws CommandError naming `option` otherwise.
int16_t ResolvePresetOrThrow(const std::string& option, const std::string& text);

// One line per preset: value, name and element count, under a heading.
std::string FormatPresetList();

// Adds the `presets` subcommand and its own subcommands to the program.
void AddPresetsCommands(CLI::App& app);

}  // namespace gw
