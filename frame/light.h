// Where the light is, what covers it, and the flare colour that follows.
#pragma once

#include <cstdint>

#include "frame/layer.h"
#include "render/target.h"

namespace gw {

// The alpha-weighted centre of a layer's pixels, in its pixel grid; false
// (x and y untouched) when every alpha is 0 or the layer has no pixels.
bool FindLightInLayer(const LayerView& layer, float& x, float& y);

// How the obscuration layer acts on the flare: the "Obscuration Type" popup's
// values. A damaged project may hold any other value, which acts as None.
enum class ObscurationType : int16_t {
  None = 0,          // no obscuration layer
  Rgb = 1,           // the layer's colour tints the flare
  Alpha = 2,         // the layer's opacity dims the flare
  RgbAndAlpha = 3,   // both
  InverseAlpha = 4,  // the layer's transparency dims the flare
};

// The average obscuration layer pixel around the light, and the obscuration
// type (None without an obscuration layer).
struct Obscuration {
  LayerPixel pixel{255, 255, 255, 255};
  ObscurationType type = ObscurationType::None;
};

// Averages the layer over the square of `radius` pixels each way around the
// light (x and y in layer pixels), limited to the layer: a light outside it
// samples the nearest edge pixels. A layer without pixels is no obscuration.
Obscuration MeasureObscuration(const LayerView& layer, float x, float y, int16_t radius,
                               ObscurationType type);

// Fills the gain and colour fields of the target from the effect's colour
// (only its hue counts), the obscuration and the brightness factor.
void PrepareFlareColor(LayerPixel colour, LayerPixel obscuration, ObscurationType type,
                       float brightness, RenderTarget& target);

}  // namespace gw
