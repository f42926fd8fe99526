// `glarewright farm slurm`: a sequence as a Slurm job array, one array task
// per chunk of frames, each task running `render --chunk K/N --skip-existing`
// on the CPUs Slurm gives it; `--resume` submits again only the chunks whose
// frames are still missing or do not read back whole.
#pragma once

#include <CLI/CLI.hpp>

namespace gw {

void AddFarmCommands(CLI::App& app);

}  // namespace gw
