// The lens as text, for hosts that keep an effect's state in text
// parameters: a first line "glarewright-lens <version> <count>", then one line
// per element holding its 120-byte stored record (big-endian, as a project
// stores it) in hexadecimal. The text gives the stored lens back byte for
// byte, and the same lens always gives the same text.
#pragma once

#include <string>
#include <string_view>

#include "lens/lens.h"

namespace gw {

std::string LensToText(const Lens& lens);

// Reads the text into `lens` (working order). On failure returns false with
// a reason in `error` and leaves the lens as it was. Line ends may be CR LF;
// blanks at the ends of lines are ignored.
bool LensFromText(std::string_view text, Lens& lens, std::string& error);

}  // namespace gw
