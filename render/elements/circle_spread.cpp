// CircleSpread: the round sibling of the PolySpread: soft-edged discs
// scattered along the flare axis with seeded places, sizes, edge softness,
// brightness and tint. Places and visibility follow the PolySpread's rules
// exactly (the shared ghost layout); each disc is a disc profile stamped
// round, or twice as wide when anamorphic.
#include <algorithm>

#include "render/elements/elements.h"
#include "render/numeric.h"
#include "render/pixels.h"
#include "render/profiles.h"
#include "render/round_stamps.h"
#include "render/spread_layout.h"

namespace gw {
namespace {

// One of the eight seeded brightness or tint variants, picked by (n % 8).
float Variant(int32_t n, int32_t seed) { return AbsNoise(n % 8 + seed); }

// A channel of a disc's colour: lowered to 255 and truncated to a byte.
int16_t ChannelByte(float value) { return ClampToByte(TruncToInt(std::min(value, 255.0f))); }

}  // namespace

void RenderCircleSpread(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  const float brightness = element.brightness;  // "Brightness"
  const float scale = element.scale;            // "Scale"
  const int32_t count = element.iparam0;        // "Count"
  const int32_t s1 = element.iparam3;           // "Size Random Seed"
  const int32_t s2 = element.iparam4;           // "Brightness Random Seed"
  const int32_t s3 = element.iparam5;           // "Color Random Seed"
  const bool anamorphic = element.anamorphic != 0;
  const Rgb colour = element.color1;            // "Color"
  // "Position" and "Spread Width" place the span of the axis (MakeSpreadAxis).

  const int32_t width = target.width;
  const float W = static_cast<float>(width);

  // Once per element: the axis span and the light's distance, as the
  // PolySpread has them; channel factors; size.
  const SpreadAxis axis = MakeSpreadAxis(element, target);
  const float fR = target.gainR * brightness;
  const float fG = target.gainG * brightness;
  const float fB = target.gainB * brightness;
  const float B = target.brightness;
  const float size = target.scale * scale;

  for (int32_t k = 0; k < count; ++k) {
    // Visibility and place.
    const SpreadGhost ghost = PlaceSpreadGhost(axis, target, k, s1);
    if (!ghost.visible) continue;
    const float z = ghost.z;

    // Radius.
    const float radius = static_cast<float>(width * 3 / 100) * size * z * z +
                         AbsNoise(k + s1 + 920) * W * 3.0f / 100.0f * size;

    // Edge softness in samples, never under 8.
    const int32_t edge =
        TruncToInt(static_cast<float>(width * 10 / 100) * z * z * AbsNoise(k + s1 + 520) + 8.0f);

    // Colour: one of eight brightness variants and eight tints per channel.
    const float c = 1.0f - Variant(k + s1 + 920, s2);
    const Peaks peaks = {
        ChannelByte(fR * B * colour.r * c * Variant(k + s1 + 7200 + s3, s2)),
        ChannelByte(fG * B * colour.g * c * Variant(k + s1 + 7400 + 3 * s3, s2)),
        ChannelByte(fB * B * colour.b * c * Variant(k + s1 + 7500 + 5 * s3, s2))};

    // The disc.
    DiscProfile(radius, peaks, ProfileBlend::Replace, edge, target, scratch.profile);
    if (anamorphic) {
      WideRoundStamp(ghost.px, ghost.py, radius, target, scratch.profile);
    } else {
      RoundStamp(ghost.px, ghost.py, radius, target, scratch.profile);
    }
  }
}

}  // namespace gw
