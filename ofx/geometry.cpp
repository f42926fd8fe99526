#include "ofx/geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "render/numeric.h"

namespace gw::ofx {

PointF FrameGeometry::FromCanonical(OfxPointD p) const {
  return {static_cast<float>(p.x * pixelsPerUnitX - left),
          static_cast<float>(top - p.y * pixelsPerUnitY)};
}

PixelRect FrameGeometry::FrameWindow(const OfxRectI& window) const {
  const auto cut = [](int64_t v, int64_t low, int64_t high) {
    return static_cast<int32_t>(std::clamp(v, low, high));
  };
  const int32_t x1 = cut(int64_t{window.x1} - left, 0, size.width);
  const int32_t x2 = cut(int64_t{window.x2} - left, x1, size.width);
  const int32_t y1 = cut(int64_t{top} - window.y2, 0, size.height);
  const int32_t y2 = cut(int64_t{top} - window.y1, y1, size.height);
  return PixelRect{static_cast<int16_t>(y1), static_cast<int16_t>(y2), static_cast<int16_t>(x1),
                   static_cast<int16_t>(x2)};
}

FrameGeometry GeometryOf(const OfxRectD& sourceRegion, OfxPointD renderScale,
                         double pixelAspectRatio) {
  FrameGeometry g;
  const double par = pixelAspectRatio > 0.0 ? pixelAspectRatio : 1.0;
  g.pixelsPerUnitX = renderScale.x / par;
  g.pixelsPerUnitY = renderScale.y;
  g.size.width = TruncToInt((sourceRegion.x2 - sourceRegion.x1) * g.pixelsPerUnitX);
  g.size.height = TruncToInt((sourceRegion.y2 - sourceRegion.y1) * g.pixelsPerUnitY);
  g.left = TruncToInt(std::floor(sourceRegion.x1 * g.pixelsPerUnitX));
  g.top = static_cast<int32_t>(std::clamp<int64_t>(
      int64_t{TruncToInt(std::floor(sourceRegion.y1 * g.pixelsPerUnitY))} + g.size.height,
      INT32_MIN, INT32_MAX));
  return g;
}

}  // namespace gw::ofx
