// Which frames of a rendered sequence are there and whole: the check behind
// `glarewright frames check`, `render --skip-existing` and resuming a farm job.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/sequence_pattern.h"

namespace gw {

// A frame that is not there whole.
struct FrameFault {
  int frame = 0;
  bool missing = true;  // no file; else it is there but does not read back whole
  std::string reason;   // why it does not read back: "<file>: <reason>"
};

// True when the file exists and reads back whole as an image; else false and
// the fault in `reason` (when given).
bool ReadsBackWhole(const std::string& path, std::string* reason = nullptr);

// The frames of `range` whose file of `pattern` is missing or does not read
// back whole, in frame order. Reads the files in `jobs` worker processes;
// the progress bar shows when `progress` and stderr is a terminal. Throws
// CommandError when interrupted.
std::vector<FrameFault> FindFrameFaults(const std::string& pattern, FrameRange range, int jobs,
                                        bool progress);

// Adds `frames` and its subcommand `check`.
void AddFramesCommands(CLI::App& app);

}  // namespace gw
