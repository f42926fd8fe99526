// `glarewright inspect`: what a host sees of a plug-in module.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace gw {

void AddInspectCommand(CLI::App& app);

// The PiPL fields, the declared parameters and a fresh instance's stored
// sequence data (its first bytes in hex, then the decoded lens).
std::string InspectPlugin(const std::string& edition, const std::string& pluginDir);

}  // namespace gw
