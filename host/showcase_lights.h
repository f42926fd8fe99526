// The Showcase edition's lights, found in the location layer that the legacy
// host checks out.
#pragma once

#include <cstdint>
#include <vector>

#include "frame/showcase_lights.h"
#include "host/host_calls.h"
#include "host/sdk/pf_api.h"

namespace gw {

inline std::vector<LightSource> FindLightsInLayer(const PF_LayerDef& layer) {
  return FindLightsInLayer(ViewOf(layer));
}

// Checks out the location layer at the current time and finds its lights.
PF_Err FindLightSources(const PF_InData& in, int32_t layerIndex, std::vector<LightSource>& list);

}  // namespace gw
