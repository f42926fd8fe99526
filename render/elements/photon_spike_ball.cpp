// PhotonSpikeBall: a few thick wedges of light out of the element's centre,
// each a tight fan of streaks from one point. Directions, lengths and
// strengths come from seeded noise; the effect's Angle turns and flickers them.
#include <cmath>
#include <cstdint>

#include "render/elements/elements.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"

namespace gw {
namespace {

// Counts beyond this (three times the editor's largest) draw this many
// spikes, so that a damaged file cannot ask for millions of frame-long streaks.
constexpr int32_t kMaxSpikes = 300;

}  // namespace

void PhotonSpikeBallStreaks(const LensElement& element, const RenderTarget& target,
                            const StreakSink& sink) {
  const float brightness = element.brightness;
  const float scale = element.scale;
  const float position = element.position;
  const int32_t count = element.iparam0 < kMaxSpikes ? element.iparam0 : kMaxSpikes;
  const int32_t seed1 = element.iparam3;
  const Rgb colour = element.color1;  // the effect's Color does not tint it

  const float W = static_cast<float>(target.width);
  const float P = target.anglePhase;

  // Colour.
  const float R = colour.r / 255.0f;
  const float G = colour.g / 255.0f;
  const float B = colour.b / 255.0f;
  // Brightness, size and centre.
  const float kA = target.brightness * brightness;
  const float s = target.scale * scale;
  const PointF centre = ElementCentre(target, position);
  // Frame factor and noise seed.
  const float wf = W / 320.01f;
  const int32_t seed = seed1 - 200;

  // The bursts, each with its own spike count.
  for (int32_t k = 0; k < count; ++k) {
    const int16_t n =
        static_cast<int16_t>(TruncToInt(AbsNoise(k + seed + 400) * 250.0f + 20.0f));
    const float lengthNoise = AbsNoise(k + 420);
    const float len =
        (lengthNoise * lengthNoise * 250.0f + W / 400.0f) * (wf * (kA + 0.05f)) * s;
    const float u = Noise(k + seed + 400) + P * Noise(k + 400);
    const float turns =
        static_cast<float>(TruncToInt(AbsNoise(k + 845) * 7.7f + P * 4.1f)) / 3.0f + u;
    const float v = TriangleWave(AbsNoise(k + 845) * 5.7f + P * 1.1f) * (kA * 1.6f + 0.2f);
    PhotonFan({len, n, v * v, centre, turns}, {R, G, B}, sink);
  }
}

void RenderPhotonSpikeBall(const LensElement& element, const RenderTarget& target,
                           Scratch& scratch) {
  PhotonSpikeBallStreaks(element, target, DrawStreaksInto(target, scratch.streakPositions));
}

}  // namespace gw
