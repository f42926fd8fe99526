// Parameter values over time: keyframes, linear between them and held
// before the first and after the last.
#pragma once

#include <cstdint>
#include <map>

#include "host/sdk/pf_api.h"

namespace gw::testhost {

// One parameter value. `value` holds sliders, fixed sliders, angles and
// popups (and a point's x), `y` a point's y, `colour` a colour.
struct ParamValue {
  int32_t value = 0;
  int32_t y = 0;
  PF_Pixel colour{};
};

class Track {
 public:
  // Popups and anything that cannot interpolate hold their value until the
  // next key.
  explicit Track(bool hold = false) : hold_(hold) {}
  void SetKey(int32_t time, const ParamValue& v) { keys_[time] = v; }
  void Clear() { keys_.clear(); }
  bool empty() const { return keys_.empty(); }
  ParamValue At(int32_t time) const;  // the track must not be empty

 private:
  bool hold_;
  std::map<int32_t, ParamValue> keys_;
};

}  // namespace gw::testhost
