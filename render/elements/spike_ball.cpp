// SpikeBall: a burst of many fine, faint spikes of random length through the
// centre. The effect's Angle jitters each spike by its own amount, so
// animating it makes the spikes shimmer.
#include <algorithm>
#include <cmath>

#include "render/elements/elements.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"

namespace gw {

void SpikeBallStreaks(const LensElement& element, const RenderTarget& target,
                      const StreakSink& sink) {
  const float brightness = element.brightness;
  const float scale = element.scale;
  const float angle = element.angle;          // degrees; counts in whole radians
  const int32_t spikeCount = element.iparam0;  // "Spike Count", times 4
  const int32_t seed = element.iparam3;       // "Random Seed 1"
  const bool anamorphic = element.anamorphic != 0;
  const int32_t W = target.width;

  // 1-3. Centre, colour, brightness and size.
  const PointF centre = ElementCentre(target, element.position);
  const float base = StreakWidthBase(W);
  const StreakColour c = ElementStreakColour(base, brightness, target, element.color1);
  const float bb = base * target.brightness;
  const float size = target.scale * scale;

  // Spikes and seed offset.
  const int32_t n = std::max(4 * spikeCount, 1);
  const int32_t s = seed - 4;

  // The base rotation is a whole number of radians.
  const int32_t a0 = TruncToInt(angle * kShortRadiansPerDegree);

  // Length unit.
  const float L = static_cast<float>(W * 20 / 100) * size;

  // Each spike is two streaks out from the centre in opposite directions.
  for (int32_t k = 0; k < n; ++k) {
    const float jitter = Noise(k + 900) * target.anglePhase * 0.640874f;
    const float a = static_cast<float>(k + s) / 0.125f + static_cast<float>(a0) + jitter;
    // A negative half-length reverses the spike.
    const float R =
        static_cast<float>(TruncToInt(L * 2.0f * bb * Noise(k + s + 54) + L));
    float hx = R * SinF(a);
    if (anamorphic) hx = hx * 0.5f;
    const float hy = R * CosF(a);
    const float g = Noise(k + s) / 25.0f + 0.01f;
    const StreakColour colour{std::fabs(g * c.red), std::fabs(g * c.green),
                              std::fabs(g * c.blue)};
    sink(StreakBetween(centre.x, centre.y, centre.x + hx, centre.y - hy, colour, StreakAnchor::Start));
    sink(StreakBetween(centre.x, centre.y, centre.x - hx, centre.y + hy, colour, StreakAnchor::Start));
  }
}

void RenderSpikeBall(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  SpikeBallStreaks(element, target, DrawStreaksInto(target, scratch.streakPositions));
}

}  // namespace gw
