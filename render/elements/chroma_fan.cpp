// ChromaFan: a narrow fan of lines through the element's centre, each line
// running both ways and broken into dashes that fade outward, with the red,
// green and blue parts of every dash shifted along the line like the colour
// fringes of diffraction.
#include <cmath>
#include <cstdint>

#include "render/elements/elements.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"

namespace gw {
namespace {

// Beyond these (far outside the editor's ranges) the same fan is drawn with
// fewer lines or dashes, so that a damaged file cannot ask for billions of
// streaks.
constexpr int32_t kMaxCycles = 1000;
constexpr int32_t kMaxLines = 3000;
constexpr int64_t kMaxDashes = 100000;  // lines x cycles

}  // namespace

void ChromaFanStreaks(const LensElement& element, const RenderTarget& target,
                      const StreakSink& sink) {
  const float brightness = element.brightness;
  const float scale = element.scale;
  const float angle = element.angle;
  const float chromaSpread = element.spread;
  const float position = element.position;
  int32_t cycles = element.iparam0 < kMaxCycles ? element.iparam0 : kMaxCycles;
  const int32_t density = element.iparam2;
  const int32_t fanSpread = element.iparam3;
  const int32_t radialOffset = element.iparam4;
  const int32_t noise = element.iparam5;
  const bool anamorphic = element.anamorphic != 0;
  const bool taper = element.option != 0;
  const Rgb colour = element.color1;

  const float W = static_cast<float>(target.width);

  // Centre and size.
  const PointF centre = ElementCentre(target, position);
  const float s = target.scale * scale;
  // Colour, stronger on wider frames.
  const float g = (W / 320.0f + 1.0f) / 2.0f;
  const float cR = g * brightness * target.gainR * colour.r / 255.0f;
  const float cG = g * brightness * target.gainG * colour.g / 255.0f;
  const float cB = g * brightness * target.gainB * colour.b / 255.0f;
  const float aR = ClampUnit(std::fabs(cR / 10.0f));
  const float aG = ClampUnit(std::fabs(cG / 10.0f));
  const float aB = ClampUnit(std::fabs(cB / 10.0f));
  // Starting angle in radians.
  const float a0 = angle / -kDegreesPerRadian;
  // Line count, at least one and at most the table holds.
  int32_t N = density * 30;
  if (N < 1) N = 1;
  if (N > kMaxLines) N = kMaxLines;
  if (cycles <= 0) return;
  if (int64_t{N} * cycles > kMaxDashes) cycles = static_cast<int32_t>(kMaxDashes / N);
  const float hN = N * 0.5f;
  const float dTheta = fanSpread / 11.1111111f / kDegreesPerRadian / N;
  const float jA = dTheta * (noise + 50.0f) / 1000.0f;
  // Radial offset and dash length.
  const float ro = (radialOffset - 1.0f) / 2000.0f * W * s;
  const float dl = W * s * 0.15f / cycles;

  // The lines, tapered toward the ends when asked.
  for (int32_t j = 0; j < N; ++j) {
    const float f = taper ? (hN - std::fabs(j - hN)) / hN : 1.0f;
    const float theta = Noise(j) * jA + ((j - hN) * dTheta + a0);
    const float sn = SinF(theta);
    const float cs = CosF(theta);
    PointF step{-dl * sn, dl * cs};
    PointF offset{-ro * sn, ro * cs};
    if (anamorphic) {
      step.x = step.x * 2.0f;
      offset.x = offset.x * 2.0f;
    }
    const PointF shift = PointTimes(step, chromaSpread / 100);

    for (int32_t c = 0; c < cycles; ++c) {
      const float w = static_cast<float>(cycles - c) / static_cast<float>(cycles);
      const PointF P0 = PointPlus(PointTimes(step, static_cast<float>(c)), offset);
      const PointF P1 = PointPlus(PointTimes(step, static_cast<float>(c + 1)), offset);
      // One colour of the dash on both sides of the centre. The forward dash is
      // the centre plus the dash, then shifted, in that order: grouping the
      // shift with the dash first changes the last bit of some end points.
      const PointF F0 = PointPlus(centre, P0);
      const PointF F1 = PointPlus(centre, P1);
      const float r = aR * f * w;
      const float gr = aG * f * w;
      const float b = aB * f * w;
      sink(StreakBetween(PointMinus(F0, shift), PointMinus(F1, shift), {r, 0.0f, 0.0f},
                         StreakAnchor::Middle));
      sink(StreakBetween(PointMinus(centre, PointMinus(P0, shift)),
                         PointMinus(centre, PointMinus(P1, shift)), {r, 0.0f, 0.0f},
                         StreakAnchor::Middle));
      sink(StreakBetween(F0, F1, {0.0f, gr, 0.0f}, StreakAnchor::Middle));
      sink(StreakBetween(PointMinus(centre, P0), PointMinus(centre, P1), {0.0f, gr, 0.0f},
                         StreakAnchor::Middle));
      sink(StreakBetween(PointPlus(F0, shift), PointPlus(F1, shift), {0.0f, 0.0f, b},
                         StreakAnchor::Middle));
      sink(StreakBetween(PointMinus(centre, PointPlus(P0, shift)),
                         PointMinus(centre, PointPlus(P1, shift)), {0.0f, 0.0f, b},
                         StreakAnchor::Middle));
    }
  }
}

void RenderChromaFan(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  ChromaFanStreaks(element, target, DrawStreaksInto(target, scratch.streakPositions));
}

}  // namespace gw
