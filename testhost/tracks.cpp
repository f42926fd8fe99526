#include "testhost/tracks.h"

#include <cmath>

namespace gw::testhost {
namespace {

int32_t Lerp(int32_t a, int32_t b, double t) {
  return static_cast<int32_t>(std::lround(a + (static_cast<double>(b) - a) * t));
}

uint8_t LerpByte(uint8_t a, uint8_t b, double t) { return static_cast<uint8_t>(Lerp(a, b, t)); }

}  // namespace

ParamValue Track::At(int32_t time) const {
  auto after = keys_.lower_bound(time);
  if (after == keys_.end()) return std::prev(after)->second;  // held after the last
  if (after->first == time || after == keys_.begin()) return after->second;
  auto before = std::prev(after);
  if (hold_) return before->second;
  const double t = static_cast<double>(time - before->first) / (after->first - before->first);
  const ParamValue& a = before->second;
  const ParamValue& b = after->second;
  ParamValue v;
  v.value = Lerp(a.value, b.value, t);
  v.y = Lerp(a.y, b.y, t);
  v.colour = PF_Pixel{LerpByte(a.colour.alpha, b.colour.alpha, t),
                      LerpByte(a.colour.red, b.colour.red, t),
                      LerpByte(a.colour.green, b.colour.green, t),
                      LerpByte(a.colour.blue, b.colour.blue, t)};
  return v;
}

}  // namespace gw::testhost
