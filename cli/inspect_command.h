// `glarewright inspect`: what a host sees of a plug-in module.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace gw {

void AddInspectCommand(CLI::App& app);

// The PiPL fields, the declared parameters and a fresh instance's stored
// sequence data (its first bytes in hex, then the decoded lens).
std::string InspectPlugin(const std::string& edition, const std::string& pluginDir);

// What an OpenFX application sees of the binary (cli/inspect_ofx.cpp): each
// plug-in (or only the one of `identifier`), its contexts, clips and
// parameters with their defaults and ranges.
std::string InspectOfxBinary(const std::string& pluginDir, const std::string& identifier = "");

}  // namespace gw
