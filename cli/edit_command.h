// `glarewright edit`: the Lens Editor, a program of its own (it needs a window
// system, which no other command loads).
#pragma once

#include <CLI/CLI.hpp>

namespace gw {

void AddEditCommand(CLI::App& app);

}  // namespace gw
