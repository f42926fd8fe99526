// Wording shared by every reader of user input: lens files, the JSON form and
// the program's options.
#pragma once

#include <string>

namespace gw {

// "<value> lies outside <low>..<high>": every range is told so.
inline std::string OutsideRange(const std::string& value, const std::string& low,
                                const std::string& high) {
  return value + " lies outside " + low + ".." + high;
}

}  // namespace gw
