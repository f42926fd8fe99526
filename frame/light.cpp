#include "frame/light.h"

#include <algorithm>

#include "render/numeric.h"

namespace gw {

bool FindLightInLayer(const LayerView& layer, float& x, float& y) {
  if (!layer.HasPixels()) return false;
  double xMoment = 0.0, yMoment = 0.0;
  int64_t weight = 0;  // a large opaque layer passes 2^31
  for (int32_t row = 0; row < layer.height; ++row) {
    const uint8_t* p = layer.Row(row) + kLayerAlpha;
    for (int32_t col = 0; col < layer.width; ++col, p += kLayerBytesPerPixel) {
      const int32_t a = *p;
      if (a == 0) continue;
      xMoment += static_cast<double>(col) * a;
      yMoment += static_cast<double>(row) * a;
      weight += a;
    }
  }
  if (weight < 1) return false;
  x = static_cast<float>(xMoment / static_cast<double>(weight));
  y = static_cast<float>(yMoment / static_cast<double>(weight));
  return true;
}

Obscuration MeasureObscuration(const LayerView& layer, float x, float y, int16_t radius,
                               ObscurationType type) {
  Obscuration result;
  if (!layer.HasPixels()) return result;
  result.type = type;
  const auto limit = [](int32_t v, int32_t size) { return std::clamp(v, 0, size - 1); };
  const int32_t y0 = limit(TruncToInt(y - radius), layer.height);
  const int32_t y1 = limit(TruncToInt(y + radius), layer.height);
  const int32_t x0 = limit(TruncToInt(x - radius), layer.width);
  const int32_t x1 = limit(TruncToInt(x + radius), layer.width);
  int64_t a = 0, red = 0, green = 0, blue = 0, count = 0;
  for (int32_t row = y0; row <= y1; ++row) {
    for (int32_t col = x0; col <= x1; ++col) {
      const LayerPixel p = layer.At(col, row);
      a += p.alpha;
      red += p.red;
      green += p.green;
      blue += p.blue;
      ++count;
    }
  }
  if (count >= 1) {
    result.pixel =
        LayerPixel{static_cast<uint8_t>(a / count), static_cast<uint8_t>(red / count),
                   static_cast<uint8_t>(green / count), static_cast<uint8_t>(blue / count)};
  }
  return result;
}

void PrepareFlareColor(LayerPixel colour, LayerPixel obscuration, ObscurationType type,
                       float brightness, RenderTarget& target) {
  using enum ObscurationType;
  int32_t r = colour.red, g = colour.green, b = colour.blue;
  if (type == Rgb || type == RgbAndAlpha) {
    r = (obscuration.red * r) >> 8;
    g = (obscuration.green * g) >> 8;
    b = (obscuration.blue * b) >> 8;
  }
  const float kInverse255 = 0.003921569f;
  float f = brightness;
  if (type == Alpha || type == RgbAndAlpha) {
    f = static_cast<float>(255 - obscuration.alpha) * kInverse255 * brightness;
  } else if (type == InverseAlpha) {
    f = static_cast<float>(obscuration.alpha) * kInverse255 * brightness;
  }
  SetFlareColour(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                 std::max({r, g, b}), f, target);
}

}  // namespace gw
