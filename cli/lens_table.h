// `lens show`: a lens as a readable table.
#pragma once

#include <string>

#include "lens/lens.h"

namespace gw {

// One row per element (index, on/off, type, name, position, brightness,
// scale), then the parameters its type uses, by their panel labels. Names
// (Latin-1 in the file) are printed as UTF-8.
std::string FormatLensTable(const Lens& lens);

// The heading and one element's rows, as FormatLensTable prints them.
std::string FormatLensElement(const Lens& lens, uint32_t index);
// The same for an element no longer in the lens, under its old number.
std::string FormatLensElement(const LensElement& element, uint32_t number);

// A float as the shortest decimal that reads back to it.
std::string FormatReal(float v);

}  // namespace gw
