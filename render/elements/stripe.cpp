// Stripe: the long streak through the light, a band of parallel streaks one
// pixel apart, brightest along its middle line and its length centre, with an
// optional short core in the second colour ("Center").
#include <algorithm>
#include <cmath>

#include "render/elements/elements.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"

namespace gw {

namespace {

// Bands wider than this many streaks are drawn this wide: beyond it a float
// no longer tells one streak of the band from the next.
constexpr float kMaxBandStreaks = 16777216.0f;

// Points of the stripe: u along it, v across it.
struct StripeFrame {
  float cx, cy;
  float s, c;  // sine and cosine of the rotation
  PointF At(float u, float v) const { return {cx + u * c - v * s, cy + u * s + v * c}; }
};

// The band streaks i = first..last are the only ones that can reach the clip
// rectangle: a streak at v across the stripe lights nothing farther than a
// few pixels from its line, so lines that pass the rectangle by more than
// that are left out. Empty (first > last) when nothing can reach it.
struct BandWindow {
  int64_t first, last;
};

BandWindow ReachableBand(const StripeFrame& f, float n, float halfLength,
                         const RenderTarget& target) {
  // v of the clip rectangle's corners.
  double vMin = INFINITY, vMax = -INFINITY;
  for (const int32_t x : {target.clip.left, target.clip.right}) {
    for (const int32_t y : {target.clip.top, target.clip.bottom}) {
      const double v = -(x - double{f.cx}) * f.s + (y - double{f.cy}) * f.c;
      vMin = std::min(vMin, v);
      vMax = std::max(vMax, v);
    }
  }
  if (!std::isfinite(vMin) || !std::isfinite(vMax)) return {0, -1};
  // The walk of a streak strays up to about 4 pixels from its line; floats
  // add a little with distance.
  const double margin =
      8.0 + 1e-6 * (std::fabs(f.cx) + std::fabs(f.cy) + std::fabs(halfLength) + n);
  const double half = double{n} / 2.0;
  const double first = std::max(0.0, std::ceil(vMin - margin + half));
  const double last = std::min(std::ceil(double{n}) - 1.0, std::floor(vMax + margin + half));
  if (first > last) return {0, -1};
  return {static_cast<int64_t>(first), static_cast<int64_t>(last)};
}

}  // namespace

void StripeStreaks(const LensElement& element, const RenderTarget& target,
                   const StreakSink& sink) {
  const float eB = element.brightness;
  const float length = element.scale;      // "Length", in frame widths each way
  const float angle = element.angle;       // degrees; 0 horizontal, 90 vertical
  const float softness = element.spread;   // "Softness": width of the band
  const bool core = element.option != 0;   // "Center"
  const int32_t W = target.width;
  const float B = target.brightness;

  // Centre.
  const PointF centre = ElementCentre(target, element.position);

  // 2-3. The gains hold the brightness once; below 1 it counts three times.
  const float bf = B < 1.0f ? B * B : 1.0f;
  const StreakColour outer = ElementStreakColour(bf, eB, target, element.color1);

  // Size and rotation.
  const float size = target.scale * length;
  const float theta = angle / -kDegreesPerRadian;
  const StripeFrame frame{centre.x, centre.y, SinF(theta), CosF(theta)};
  const float halfLength = static_cast<float>(W) * size;

  // The band: n streaks one pixel apart, brightest on its middle line.
  float n = static_cast<float>(W) / 50.0f * (softness / 10.0f);
  if (!(n >= 1.0f)) n = 1.0f;  // one streak at least, also for NaN
  n = std::min(n, kMaxBandStreaks);
  const int32_t rampLength = TruncToInt(n);
  const BandWindow window = ReachableBand(frame, n, halfLength, target);
  for (int64_t i = window.first; i <= window.last && static_cast<float>(i) < n; ++i) {
    const float f = CentreRamp(static_cast<int32_t>(i), rampLength);
    const StreakColour colour{AtMostOne(f * outer.red), AtMostOne(f * outer.green),
                              AtMostOne(f * outer.blue)};
    const float v = static_cast<float>(i) - n / 2.0f;
    const PointF from = frame.At(halfLength, v);
    const PointF to = frame.At(-halfLength, v);
    sink(StreakBetween(from.x, from.y, to.x, to.y, colour, StreakAnchor::Middle));
  }

  // The core grows in length with the brightness.
  if (core) {
    const float Lc = static_cast<float>(W / 3) * size * B;
    const StreakColour inner = ElementStreakColour(bf, eB, target, element.color2);
    for (const float v : {-0.25f, 0.25f}) {
      const PointF from = frame.At(Lc, v);
      const PointF to = frame.At(-Lc, v);
      sink(StreakBetween(from.x, from.y, to.x, to.y, inner, StreakAnchor::Middle));
    }
  }
}

void RenderStripe(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  StripeStreaks(element, target, DrawStreaksInto(target, scratch.streakPositions));
}

}  // namespace gw
