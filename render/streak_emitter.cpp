#include "render/streak_emitter.h"

#include <algorithm>
#include <cmath>

#include "render/numeric.h"

namespace gw {

float StreakWidthBase(int32_t width) {
  return (static_cast<float>(width) / 320.0f + 1.0f) / 2.0f;
}

StreakColour ElementStreakColour(float factor, float elementBrightness,
                                 const RenderTarget& target, Rgb colour) {
  const float f = factor * elementBrightness;
  return {f * target.gainR * static_cast<float>(colour.r) / 255.0f,
          f * target.gainG * static_cast<float>(colour.g) / 255.0f,
          f * target.gainB * static_cast<float>(colour.b) / 255.0f};
}

Streak StreakBetween(float x0, float y0, float x1, float y1, StreakColour colour,
                     StreakAnchor anchor) {
  return Streak{x0, y0, x1, y1, colour.red, kStreakThickness, colour.green, colour.blue,
                anchor};
}

float SmoothNoise(float v) {
  const int32_t i = TruncToInt(v);
  const float f = v - static_cast<float>(i);
  // Beyond the 32-bit range (or NaN) there is nothing to interpolate.
  if (!(std::fabs(f) < 1.0f)) return Noise(i);
  const int32_t next = static_cast<int32_t>(static_cast<uint32_t>(i) + 1u);  // wraps
  return (1.0f - f) * Noise(i) + f * Noise(next);
}

void StreakFan(const StreakFanShape& fan, StreakColour colour, const RenderTarget& target,
               const StreakSink& sink) {
  const int16_t n = fan.count;
  if (n < 1) return;
  const float W = static_cast<float>(target.width);
  const float px = fan.origin.x, py = fan.origin.y;
  const float phi = fan.directionDeg;
  const float R = colour.red, G = colour.green, B = colour.blue;

  // Middle of the fan.
  const int32_t half = TruncToInt(n / 2.0f);
  const float hf = n / 2.0f;
  // Step between neighbours, and a phase that moves the jitter with the origin.
  const float q = fan.spacing * (fan.reach / n);
  const float psi = 600.0f * (px + py) / W;
  // Direction of the fan.
  const float a0 = phi / kDegreesPerRadian;
  const float cosA0 = CosF(a0);
  const float sinA0 = SinF(a0);
  const float L =
      static_cast<float>(TruncToInt(fan.length * 10.0f + fan.length * fan.lengthFactor));

  // The rays, each lengthened by the jitter.
  for (int32_t k = 0; k < n; ++k) {
    const float noiseAt = static_cast<float>(k - half + 1 + 800) + phi + psi;
    const float m = 1.0f + fan.jitter * SmoothNoise(noiseAt);
    const float t = 1.0f - std::fabs(static_cast<float>(n / 2 - k) / hf);
    const float fromMiddle = static_cast<float>(k) - hf;
    const float beta = fromMiddle * (m * 0.003f) + a0;
    const float Lk = L * (t * 0.75f + 0.25f);
    const float s = -fromMiddle * q * 0.5f;
    const PointF start{px + s * cosA0, py + s * sinA0};
    const PointF end{start.x - Lk * SinF(beta), start.y + Lk * CosF(beta)};
    const float fade = fan.lengthFactor * (t * t);
    const StreakColour c{ClampUnit(fade * (R * R) * m), ClampUnit(fade * (G * G) * m),
                         ClampUnit(fade * (B * B) * m)};
    sink(StreakBetween(start, end, c, StreakAnchor::Start));
  }
}

void PhotonFan(const PhotonFanShape& fan, StreakColour colour, const StreakSink& sink) {
  const int16_t n = fan.count;
  const float k = fan.strength;
  const float px = fan.origin.x, py = fan.origin.y;
  const float R = colour.red, G = colour.green, B = colour.blue;
  // Turns of the spiral and half the length of a spike.
  const float base = fan.turns * kTwoPi;
  const float Lh = static_cast<float>(TruncToInt(fan.length * 10.0f + fan.length * k) / 2);
  const int32_t half = n / 2;
  const float hn = n / 2.0f;
  // The spikes of one burst.
  for (int32_t i = 0; i < n; ++i) {
    const float theta = base + i / 255.0f;
    const float t = 1.0f - std::fabs((half - i) / hn);
    const float fade = k * (t * t);
    const PointF start{px, py};
    const PointF end{px + Lh * SinF(theta), py + Lh * CosF(theta)};
    const StreakColour c{ClampUnit(fade * (R * R)), ClampUnit(fade * (G * G)),
                         ClampUnit(fade * (B * B))};
    sink(StreakBetween(start, end, c, StreakAnchor::Start));
  }
}

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
