#include "host/light.h"

#include <algorithm>

#include "host/host_calls.h"
#include "render/numeric.h"

namespace gw {
namespace {

// The alpha-weighted centre of a layer's pixels; false when every alpha is 0.
bool AlphaCentroid(const PF_LayerDef& layer, float& x, float& y) {
  double xMoment = 0.0, yMoment = 0.0;
  int64_t weight = 0;  // a large opaque layer passes 2^31
  for (int32_t row = 0; row < layer.height; ++row) {
    const PF_Pixel* p = LayerRow(layer, row);
    for (int32_t col = 0; col < layer.width; ++col) {
      const int32_t a = p[col].alpha;
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

}  // namespace

PF_Err FindLightSource(const EditionTable& edition, const PF_InData& in, PF_ParamDef* params[],
                       TimeChoice when, float& x, float& y) {
  const int32_t time = when == TimeChoice::Current ? in.current_time : NextTime(in);
  CheckedOutParam layer(in, edition.IndexOf(ParamRole::LocationLayer), time);
  if (layer.checkoutError()) return layer.checkoutError();

  PF_Err err = PF_Err_NONE;
  if (!(HasPixels(layer.def().u.ld) && AlphaCentroid(layer.def().u.ld, x, y))) {
    const int32_t pointIndex = edition.IndexOf(ParamRole::LightPoint);
    if (when == TimeChoice::Current) {
      // The host's array holds the point of this frame in frame pixels.
      const PF_PointDef& point = params[pointIndex]->u.td;
      x = FixedToFloat(point.x_value);
      y = FixedToFloat(point.y_value);
    } else {
      // A checked-out point is in pixels of the full-size layer: the host's
      // downsampling brings it into frame pixels.
      CheckedOutParam point(in, pointIndex, time);
      err = point.checkoutError();
      if (!err) {
        x = DownsampledCoordinate(FixedToFloat(point.def().u.td.x_value), in.downsample_x);
        y = DownsampledCoordinate(FixedToFloat(point.def().u.td.y_value), in.downsample_y);
        err = point.Checkin();
      }
    }
  }
  const PF_Err checkin = layer.Checkin();
  return err ? err : checkin;
}

PF_Err MeasureObscuration(const EditionTable& edition, const PF_InData& in,
                          PF_ParamDef* params[], float x, float y, Obscuration& result) {
  result = Obscuration{};
  const int16_t r = LowWord(params[edition.IndexOf(ParamRole::SourceSize)]->u.sd.value - 1);
  CheckedOutParam layer(in, edition.IndexOf(ParamRole::ObscurationLayer), in.current_time);
  if (layer.checkoutError()) return layer.checkoutError();

  const PF_LayerDef& l = layer.def().u.ld;
  if (HasPixels(l)) {
    result.type = static_cast<ObscurationType>(
        LowWord(params[edition.IndexOf(ParamRole::ObscurationType)]->u.pd.value));
    // The sample square, limited to the layer: a light outside it samples
    // the nearest edge pixels.
    const auto limit = [](int32_t v, int32_t size) { return std::clamp(v, 0, size - 1); };
    const int32_t y0 = limit(TruncToInt(y - r), l.height);
    const int32_t y1 = limit(TruncToInt(y + r), l.height);
    const int32_t x0 = limit(TruncToInt(x - r), l.width);
    const int32_t x1 = limit(TruncToInt(x + r), l.width);
    int64_t a = 0, red = 0, green = 0, blue = 0, count = 0;
    for (int32_t row = y0; row <= y1; ++row) {
      const PF_Pixel* p = LayerRow(l, row);
      for (int32_t col = x0; col <= x1; ++col) {
        a += p[col].alpha;
        red += p[col].red;
        green += p[col].green;
        blue += p[col].blue;
        ++count;
      }
    }
    if (count >= 1) {
      result.pixel = PF_Pixel{static_cast<uint8_t>(a / count), static_cast<uint8_t>(red / count),
                              static_cast<uint8_t>(green / count),
                              static_cast<uint8_t>(blue / count)};
    }
  }
  return layer.Checkin();
}

void PrepareFlareColor(PF_Pixel colour, PF_Pixel obscuration, ObscurationType type,
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
