// Aperture Reflection: the glare that springs from a frame edge when the light
// approaches or crosses it. Each edge near the light gets a fan of streaks
// into the frame, and optionally a shorter, narrower core fan.
#include <cmath>
#include <cstdint>

#include "render/elements/elements.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"

namespace gw {

namespace {

// Streaks per fan beyond this (ten times what the editor's largest Spread
// gives) are not drawn, so that a damaged file cannot ask for 32767 streaks in
// each of eight frame-long fans.
constexpr int16_t kMaxFanStreaks = 2500;

// The fan's 16-bit streak count from the count c, bounded as above.
int16_t FanStreakCount(float c) {
  const int32_t n = TruncToInt(c);
  return static_cast<int16_t>(n < kMaxFanStreaks ? n : kMaxFanStreaks);
}

struct Edge {
  float distance;  // from the light, shifted by the aperture offset
  PointF origin;
  float directionDeg;
  bool coreJitters;
};

}  // namespace

void ApertureReflectionStreaks(const LensElement& element, const RenderTarget& target,
                               const StreakSink& sink) {
  const float brightness = element.brightness;
  const float fanScale = element.scale;  // the target's scale is not applied
  const float streaksPerFan = element.spread;
  const float position = element.position;
  const int32_t width = element.iparam0;
  const int32_t noise = element.iparam2;
  const int32_t size = element.iparam3;
  const int32_t apertureOffset = element.iparam4;
  const bool doCore = element.option != 0;
  const Rgb outer = element.color1;
  const Rgb inner = element.color2;

  const int32_t Wi = target.width;
  const float W = static_cast<float>(Wi);
  const float H = static_cast<float>(target.height);

  // Centre.
  const PointF centre = ElementCentre(target, position);
  // Outer colour, stronger on wider frames.
  const float g = (W / 320.0f + 1.0f) / 2.0f;
  const float oR = g * brightness * target.gainR * outer.r / 255.0f;
  const float oG = g * brightness * target.gainG * outer.g / 255.0f;
  const float oB = g * brightness * target.gainB * outer.b / 255.0f;
  const float iR = g * brightness * target.gainR * inner.r / 255.0f;
  const float iG = g * brightness * target.gainG * inner.g / 255.0f;
  const float iB = g * brightness * target.gainB * inner.b / 255.0f;
  // Fan length.
  const float len = static_cast<float>(Wi / 4) * fanScale;
  // Width, jitter and the distance within which an edge reflects.
  const float w = width / 20.0f;
  const float j = (noise - 3.0f) / 16.0f;
  float T = W * (size / 32000.0f + 0.05f);
  if (T <= 0.0f) T = 0.01f;
  const float o = (apertureOffset - 1000.0f) / 8000.0f * W;

  // Left, right, top, bottom.
  const Edge edges[4] = {
      {std::fabs(0.0f - o - target.lightX), {0.0f, centre.y}, -90.0f, false},
      {std::fabs(W + o - target.lightX), {W, centre.y}, 90.0f, true},
      {std::fabs(0.0f - o - target.lightY), {centre.x, 0.0f}, 0.0f, true},
      {std::fabs(H + o - target.lightY), {centre.x, H}, 180.0f, true},
  };

  // A fan for every frame edge near enough to the light.
  for (const Edge& edge : edges) {
    const float e = edge.distance;
    if (!(e < T)) continue;  // also skips a NaN light
    float v = 1.0f - e * e * e / (T * T * T);
    if (v < 0.0f) v = 0.0f;
    const float c = streaksPerFan * 5.0f * (v / 2.0f + 0.5f);
    const PointF p = edge.origin;
    StreakFan({len, FanStreakCount(c), 1.0f, p, edge.directionDeg, j, w, T},
              {oR * v, oG * v, oB * v}, target, sink);
    if (doCore) {
      StreakFan({len / 3.0f, FanStreakCount(c / 2.0f), 1.0f, p, edge.directionDeg,
                 edge.coreJitters ? j : 0.0f, w / 2.0f, T},
                {iR * v, iG * v, iB * v}, target, sink);
    }
  }
}

void RenderApertureReflection(const LensElement& element, const RenderTarget& target,
                              Scratch& scratch) {
  ApertureReflectionStreaks(element, target, DrawStreaksInto(target, scratch.streakPositions));
}

}  // namespace gw
