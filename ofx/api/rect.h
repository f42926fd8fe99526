// Pixel rectangles of the API as both sides of it use them.
#pragma once

#include <algorithm>

#include "ofx/api/core.h"

namespace gw {

// The overlap of two rectangles; empty (x2 == x1 or y2 == y1) where they do
// not meet.
inline OfxRectI Intersection(const OfxRectI& a, const OfxRectI& b) {
  OfxRectI r{std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2),
             std::min(a.y2, b.y2)};
  if (r.x2 < r.x1) r.x2 = r.x1;
  if (r.y2 < r.y1) r.y2 = r.y1;
  return r;
}

}  // namespace gw
