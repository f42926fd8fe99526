// The light and its obscuration as the legacy host gives them: the layers
// and parameters checked out at a time, handed to the frame logic.
#pragma once

#include <cstdint>

#include "frame/light.h"
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

// The obscuration layer around the light at the current time, with the
// "Source size:" and "Obscuration Type" of the host's parameter array.
PF_Err MeasureObscuration(const EditionTable& edition, const PF_InData& in,
                          PF_ParamDef* params[], float x, float y, Obscuration& result);

inline LayerPixel ToLayerPixel(PF_Pixel p) { return {p.alpha, p.red, p.green, p.blue}; }

inline void PrepareFlareColor(PF_Pixel colour, PF_Pixel obscuration, ObscurationType type,
                              float brightness, RenderTarget& target) {
  PrepareFlareColor(ToLayerPixel(colour), ToLayerPixel(obscuration), type, brightness, target);
}

}  // namespace gw
