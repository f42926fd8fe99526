// RandomFan: pairs of opposite fans of fine streaks around the centre, each
// fan at a seeded direction with its own length, width and intensity.
#include <algorithm>

#include "render/elements/elements.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"

namespace gw {

void RandomFanStreaks(const LensElement& element, const RenderTarget& target,
                      const StreakSink& sink) {
  const float brightness = element.brightness;
  const float scale = element.scale;
  const float angle = element.angle;       // degrees, added to every fan
  const int32_t pairCount = element.iparam0;  // "Count"
  const int32_t seed = element.iparam3;    // "Random Seed 1": first noise index
  const int32_t W = target.width;

  // Centre.
  const PointF centre = ElementCentre(target, element.position);

  // The fans draw through a copy of the target carrying their colour.
  RenderTarget fanTarget = target;
  const float base = StreakWidthBase(W);
  const StreakColour c = ElementStreakColour(base, brightness, target, element.color1);
  fanTarget.colorR = c.red;
  fanTarget.colorG = c.green;
  fanTarget.colorB = c.blue;
  const float m = std::max({c.red, c.green, c.blue});

  // Size, count, base direction, seed offset.
  const float size = target.scale * scale;
  const int32_t count = std::clamp(pairCount, 1, kMaxFanPairs);
  const float a0 = angle - 15.0f;
  const int32_t s = seed - 4;

  // The loop runs over seed values, so the seed moves every fan.
  for (int32_t k = seed; k < seed + count; ++k) {
    const float jitter = Noise(k + 900) * target.anglePhase * 42.324f;
    const float dir = Noise(30 * k + s) * 180.0f + a0 + jitter;
    const float intensity = (AbsNoise(k + 175) + 0.25f) * 2.0f * m;
    const int32_t width = TruncToInt((AbsNoise(k + 850) + 0.2f) * 80.0f);
    const float length = (AbsNoise(k + 250) + 0.2f) * (size * static_cast<float>(W) / 20.0f);
    FanOfStreaks(fanTarget, length, width, intensity, centre.x, centre.y, dir, 0, sink);
    FanOfStreaks(fanTarget, length, width, intensity, centre.x, centre.y, dir + 180.0f, 0, sink);
  }
}

void RenderRandomFan(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  RandomFanStreaks(element, target, DrawStreaksInto(target, scratch.streakPositions));
}

}  // namespace gw
