// Running another program (a farm manager's command) and collecting what it
// prints, with a time limit: no wait is unbounded.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace gw {

struct ChildResult {
  int startError = 0;     // errno when the program could not be started (ENOENT: not found)
  bool timedOut = false;  // killed when the time ran out
  int exitCode = -1;      // its exit status; -1 when it ended by a signal
  std::string out, err;   // what it printed
};

// Runs `argv` (argv[0] looked up on PATH) with no standard input, waits at
// most `limit` and then kills it.
ChildResult RunChild(const std::vector<std::string>& argv, std::chrono::milliseconds limit);

}  // namespace gw
