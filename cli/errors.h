// How the program reports a failure: one line on stderr, a nonzero exit.
#pragma once

#include <stdexcept>
#include <string>

namespace gw {

// Thrown by a subcommand; main prints "glarewright: <what>" and exits 1.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "<value> lies outside <low>..<high>": every range is told so.
inline std::string OutsideRange(const std::string& value, const std::string& low,
                                const std::string& high) {
  return value + " lies outside " + low + ".." + high;
}

// "<path>: <reason>".
inline CommandError FileError(const std::string& path, const std::string& reason) {
  return CommandError(path + ": " + reason);
}

}  // namespace gw
