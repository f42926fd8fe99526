// Sparkle: a cloud of short glints in mirrored pairs around the centre at
// seeded distances; the effect's Angle moves them in and out ("One Way": a
// sweep outwards instead of a back-and-forth).
#include <algorithm>
#include <cmath>

#include "render/elements/elements.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"

namespace gw {

void SparkleStreaks(const LensElement& element, const RenderTarget& target,
                    const StreakSink& sink) {
  const float brightness = element.brightness;
  const float scale = element.scale;
  const int32_t hundreds = element.iparam0;  // "Count": hundreds of glint pairs
  const int32_t seed1 = element.iparam3;     // "Random Seed 1": distances
  const int32_t seed2 = element.iparam4;     // "Random Seed 2": motion and strength
  const bool anamorphic = element.anamorphic != 0;
  const bool oneWay = element.option != 0;   // "One Way"
  const int32_t W = target.width;
  const float tb = target.brightness;
  const float P = target.anglePhase;

  // Size, width factor and colour (the element's brightness alone).
  const float s = target.scale * scale;
  const float wf = static_cast<float>(W) / 320.0f;
  const StreakColour c = ElementStreakColour(1.0f, brightness, target, element.color1);
  const StreakColour c2{c.red * c.red, c.green * c.green, c.blue * c.blue};

  // Centre.
  const PointF centre = ElementCentre(target, element.position);

  // Pairs and reach.
  const int32_t N = std::clamp(hundreds * 100, 1, kMaxSparklePairs);
  const float R0 = static_cast<float>(W * 20 / 100) * s;

  for (int32_t i = 0; i < N; ++i) {
    // Directions step by 1/8 radian and wind round many times.
    const float sn = SinF(static_cast<float>(i) * 0.125f);
    const float cs = CosF(static_cast<float>(i) * 0.125f);
    float L = -static_cast<float>(TruncToInt(Noise(i + 54) * (R0 * tb) + R0));
    if (oneWay) {
      // A sawtooth in P.
      const float q = std::fabs((AbsNoise(i + seed2) + 0.5f) * P + AbsNoise(i + seed1));
      L = L * (q - std::trunc(q) + 0.2f);
    } else {
      const float q = (Noise(i + seed2) + 0.5f) * P + Noise(i + seed1);
      L = L * (TriangleWave(q) + 0.2f);
    }
    float ex = L * sn;
    const float ey = L * cs;
    if (anamorphic) ex = ex * 2.0f;
    const float z0 = Noise(i + seed2);
    const float z = std::fabs((z0 * z0 * z0 / 25.0f + 0.001f) * 2.0f) * wf;
    const StreakColour colour{z * c2.red, z * c2.green, z * c2.blue};
    // Each glint covers the outer half of its ray, on both sides.
    sink(StreakBetween(centre.x - ex / 2.0f, centre.y + ey / 2.0f, centre.x - ex,
                       centre.y + ey, colour, StreakAnchor::Middle));
    sink(StreakBetween(centre.x + ex / 2.0f, centre.y - ey / 2.0f, centre.x + ex,
                       centre.y - ey, colour, StreakAnchor::Middle));
  }
}

void RenderSparkle(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  SparkleStreaks(element, target, DrawStreaksInto(target, scratch.streakPositions));
}

}  // namespace gw
