// Where the light is, what covers it, and the flare colour that follows.
#pragma once

#include <cstdint>

#include "host/edition.h"
#include "host/sdk/pf_api.h"
#include "render/target.h"

namespace gw {

enum class TimeChoice : uint8_t { Current, Next };

// The light in frame pixels: the alpha-weighted centre of the location layer,
// or the "Light Source Location" point when there is no layer or it is empty.
// On a failed checkout of the layer the position is not written.
PF_Err FindLightSource(const EditionTable& edition, const PF_InData& in, PF_ParamDef* params[],
                       TimeChoice when, float& x, float& y);

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
  PF_Pixel pixel{255, 255, 255, 255};
  ObscurationType type = ObscurationType::None;
};
PF_Err MeasureObscuration(const EditionTable& edition, const PF_InData& in,
                          PF_ParamDef* params[], float x, float y, Obscuration& result);

// Fills the gain and colour fields of the target from the effect's colour
// (only its hue counts), the obscuration and the brightness factor.
void PrepareFlareColor(PF_Pixel colour, PF_Pixel obscuration, ObscurationType type,
                       float brightness, RenderTarget& target);

}  // namespace gw
