// `lens show`: a lens as a readable table.
#pragma once

#include <string>

#include "lens/lens.h"

namespace gw {

// One row per element (index, on/off, type, name, position, brightness,
// scale), then the parameters its type uses, by their panel labels.
std::string FormatLensTable(const Lens& lens);

// The heading and one element's rows, as FormatLensTable prints them.
std::string FormatLensElement(const Lens& lens, uint32_t index);

// A float as the shortest decimal that reads back to it.
std::string FormatReal(float v);

}  // namespace gw
