// The JSON text form of a lens, meant for people and version control.
#pragma once

#include <string>
#include <string_view>

#include "lens/lens.h"

namespace gw {

// {"elements": [ ... ]}, one object per element, keys named after the record
// fields. Floats read back bit for bit; names are Latin-1 bytes as UTF-8.
std::string LensToJson(const Lens& lens);

// Latin-1 bytes (a lens file's names) as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

// Checks everything; on the first problem returns false with `error` naming
// the element and key, and leaves `lens` unchanged.
bool LensFromJson(std::string_view text, Lens& lens, std::string& error);

}  // namespace gw
