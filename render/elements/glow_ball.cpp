// GlowBall: the soft central glow of a flare, usually on the light itself.
// Layered quadratic falloffs of the outer and inner colours, a white core and
// a hot spot, softened by box blurs, optionally with a red-heavy ring, reshaped
// by a gamma curve and stamped round (twice as wide when anamorphic). A
// brighter light gives a bigger glow.
#include "render/elements/elements.h"
#include "render/elements/round_layout.h"
#include "render/numeric.h"
#include "render/profiles.h"
#include "render/round_stamps.h"

namespace gw {
namespace {

// How far the blurs, and finally the stamp, reach beyond the running extent
// of the layers: the softened edge of every layer lies within it.
constexpr float kSoftReach = 1.3f;

// Raises the running extent to a layer's radius.
void Reach(float& extent, float radius) {
  if (radius > extent) extent = radius;
}

Peaks Grey(int16_t level) { return {level, level, level}; }

}  // namespace

void RenderGlowBall(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  const float rampScale = element.scale;            // "Ramp Scale"
  const float ringBrightness = element.brightness;  // "Ring Brightness"
  const float ringTaper = element.angle;            // "Taper": the ring's radius
  const float ringSoftness = element.spread;        // "Ring Softness"
  const int16_t rampGamma = element.iparam5;        // "Ramp Gamma", 300 neutral
  const bool anamorphic = element.anamorphic != 0;
  const bool doRing = element.option != 0;          // "Do Ring"
  const Rgb outer = element.color1;                 // "Outer Color"
  const Rgb inner = element.color2;                 // "Inner Color"

  const int32_t width = target.width;
  const float W = static_cast<float>(width);
  const float B = target.brightness;
  const float gR = target.gainR, gG = target.gainG, gB = target.gainB;
  const float size = target.scale * rampScale;

  // Centre.
  const PointF centre = ElementCentre(target, element.position);

  // Main radius; the running extent starts there.
  const float R0 = GlowMainRadius(W, size, B);
  float ext = R0;

  // Main glow in the outer colour, the gains squared.
  GlowProfile(
      R0, {PeakFrom(gR * gR * outer.r), PeakFrom(gG * gG * outer.g), PeakFrom(gB * gB * outer.b)},
      ProfileBlend::Replace, target, scratch.profile);

  // Soften it twice.
  const int32_t wideBlur = TruncToInt(W * 0.025f);
  BlurProfile(wideBlur, R0 * kSoftReach, target, scratch.profile);
  BlurProfile(wideBlur, R0 * kSoftReach, target, scratch.profile);

  // Inner halo in the inner colour, three layers.
  const Peaks halo = {PeakFrom(inner.r * gR * 0.25f), PeakFrom(inner.g * gG * 0.25f),
                      PeakFrom(inner.b * gB * 0.25f)};
  const float r1 = W * size * 0.3f;
  Reach(ext, r1);
  GlowProfile(r1, halo, ProfileBlend::Screen, target, scratch.profile);
  GlowProfile(W * size * 0.2f, halo, ProfileBlend::Screen, target, scratch.profile);
  GlowProfile(W * size * 0.1f, halo, ProfileBlend::Screen, target, scratch.profile);

  // Soften the halo into the glow.
  BlurProfile(wideBlur, ext * kSoftReach, target, scratch.profile);

  // White core.
  const float core = B + 0.04f;
  const float coreRadii[3] = {W * 0.25f * size * core, W * 0.15f * size * core,
                              W * 0.06f * size * core};
  const int16_t coreLevels[3] = {64, 64, 280};
  for (int layer = 0; layer < 3; ++layer) {
    Reach(ext, coreRadii[layer]);
    GlowProfile(coreRadii[layer], Grey(coreLevels[layer]), ProfileBlend::Screen, target,
                scratch.profile);
  }

  // Soften the core a little.
  BlurProfile(TruncToInt(W * 0.005f), ext * kSoftReach, target, scratch.profile);

  // Hot spot: a fraction of a pixel, which the glow raises to 2 pixels.
  const float hotSpot = core * 0.05f + 0.05f;
  Reach(ext, hotSpot);
  GlowProfile(hotSpot, Grey(280), ProfileBlend::Screen, target, scratch.profile);

  // The stamp reaches past the outermost layer.
  ext = ext * kSoftReach;

  // Ring: a red-heavy tint that ignores the element's colours; its radius
  // follows the effect's Scale but not the element's.
  if (doRing) {
    float taper = ringTaper / 25.0f;
    if (taper < 0.0f) taper = -taper;
    if (!(taper >= 0.01f)) taper = 0.01f;
    const float ringRadius = target.scale * taper * W / 10.0f;
    Reach(ext, ringRadius);
    const Peaks ring = {PeakFrom(gR * 45.0f * ringBrightness), PeakFrom(gG * 6.0f * ringBrightness),
                        PeakFrom(gB * ringBrightness)};
    const int32_t ringWidth = TruncToInt(static_cast<float>(width / 50) * ringSoftness);
    RingProfile(ringRadius, ring, ProfileBlend::Screen, ringWidth, target, scratch.profile);
  }

  // Gamma; 300 leaves the profile as built.
  if (rampGamma != 300) GammaProfile(rampGamma, 300, target, scratch.profile);

  // Stamp.
  if (anamorphic) {
    WideRoundStamp(centre.x, centre.y, ext, target, scratch.profile);
  } else {
    RoundStamp(centre.x, centre.y, ext, target, scratch.profile);
  }
}

}  // namespace gw
