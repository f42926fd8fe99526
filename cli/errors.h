// How the program reports a failure: one line on stderr, a nonzero exit.
#pragma once

#include <stdexcept>
#include <string>

#include "lensfile/messages.h"

namespace gw {

// Thrown by a subcommand; main prints "glarewright: <what>" and exits 1.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "<path>: <reason>".
inline CommandError FileError(const std::string& path, const std::string& reason) {
  return CommandError(path + ": " + reason);
}

}  // namespace gw
