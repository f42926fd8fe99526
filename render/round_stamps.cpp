#include "render/round_stamps.h"

#include <algorithm>
#include <cmath>

#include "render/numeric.h"
#include "render/pixels.h"

namespace gw {
namespace {

// Stamps the profile over the box reaching halfWidth and halfHeight pixels
// from (cx, cy); a column step is `columnSamples` profile samples, a row step
// always four.
void StampProfile(float cx, float cy, float halfWidth, float halfHeight, int32_t columnSamples,
                  const RenderTarget& t) {
  const ProfileView profile = t.profile->ForStamp();
  if (std::isnan(cx) || std::isnan(cy) || std::isnan(halfWidth)) return;
  const int32_t x0 = std::max(TruncToInt(cx - halfWidth), int32_t{t.clip.left});
  const int32_t x1 = std::min(TruncToInt(cx + halfWidth), int32_t{t.clip.right});
  const int32_t y0 = std::max(TruncToInt(cy - halfHeight), int32_t{t.clip.top});
  const int32_t y1 = std::min(TruncToInt(cy + halfHeight), int32_t{t.clip.bottom});
  if (x0 >= x1 || y0 >= y1) return;

  // Quarter-pixel offsets of the centre from the box corner.
  const float fx = (cx - static_cast<float>(x0)) * static_cast<float>(columnSamples);
  const float fy = (cy - static_cast<float>(y0)) * 4.0f;
  const uint8_t* table = t.screenTable;
  for (int32_t j = 0; j < y1 - y0; ++j) {
    const int32_t dy = TruncToInt(fy - static_cast<float>(4 * j));
    uint8_t* c = ColourBytes(t, x0, y0 + j);
    for (int32_t i = 0; i < x1 - x0; ++i, c += t.bytesPerPixel) {
      const int32_t dx = TruncToInt(fx - static_cast<float>(columnSamples * i));
      const int32_t d = FastHypot(dx, dy);
      if (d >= profile.reach) continue;  // beyond the profile: intensity 0
      c[0] = Screen(table, c[0], profile.red[d]);
      c[1] = Screen(table, c[1], profile.green[d]);
      c[2] = Screen(table, c[2], profile.blue[d]);
    }
  }
}

}  // namespace

void RoundStamp(float cx, float cy, float radius, const RenderTarget& t) {
  const float r = radius + 2.0f;
  StampProfile(cx, cy, r, r, 4, t);
}

void WideRoundStamp(float cx, float cy, float radius, const RenderTarget& t) {
  const float r = radius + 2.0f;
  StampProfile(cx, cy, 2.0f * r, r, 2, t);
}

}  // namespace gw
