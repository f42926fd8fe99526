#include "host/showcase_lights.h"

namespace gw {

PF_Err FindLightSources(const PF_InData& in, int32_t layerIndex, std::vector<LightSource>& list) {
  list.clear();
  CheckedOutParam layer(in, layerIndex, in.current_time);
  if (layer.checkoutError()) return layer.checkoutError();
  list = FindLightsInLayer(layer.def().u.ld);
  return layer.Checkin();
}

}  // namespace gw
