#include "render/fan_of_streaks.h"

#include <algorithm>
#include <cmath>

#include "render/numeric.h"

namespace gw {

void FanOfStreaks(const RenderTarget& fanTarget, float length, int32_t width, float intensity,
                  float cx, float cy, float angleDeg, int32_t variant, const StreakSink& sink) {
  // Four streaks per unit of width.
  const int32_t n = std::clamp(width, 1, kMaxFanWidth) * 4;
  const int32_t half = n / 2;

  // Every streak of the fan has the same length.
  const float L = static_cast<float>(TruncToInt(length * 10.0f + length * intensity) / 2);

  // The noise pattern of the fan's strengths depends on its direction.
  const int64_t patternBase = 800 + int64_t{variant} * 100;

  for (int32_t j = 0; j < n; ++j) {
    const float a = angleDeg * 0.0174407959f + static_cast<float>(j - half) * 0.0043487549f;
    const float x1 = cx + L * SinF(a);
    const float y1 = cy + L * CosF(a);
    // 0 at the first streak, 1 in the middle.
    const float e =
        std::fabs(1.0f - std::fabs(static_cast<float>(half - j) / (static_cast<float>(n) / 2.0f)));
    const float v =
        AbsNoise(TruncToInt(static_cast<float>(j + patternBase) + angleDeg)) * intensity * e * e;
    const float w = (TriangleWave(Noise(j + 100) + fanTarget.anglePhase * 2.0f) + 0.1f) * v;
    const StreakColour colour{w * fanTarget.colorR, w * fanTarget.colorG, w * fanTarget.colorB};
    sink(StreakBetween(cx, cy, x1, y1, colour, StreakAnchor::Start));
  }
}

}  // namespace gw
