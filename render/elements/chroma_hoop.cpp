// Chroma Hoop: a rainbow-fringed arc round the light through the element's
// point, made of short radial dashes, each split into red, green and blue
// copies at slightly different distances from the light.
#include <cmath>
#include <cstdint>

#include "render/elements/elements.h"
#include "render/elements/streak_elements.h"
#include "render/numeric.h"

namespace gw {
namespace {

// Density beyond this (five times the editor's largest) draws the same full
// arc with this many dashes, so that a damaged file cannot ask for millions.
constexpr int32_t kMaxDensity = 500;

}  // namespace

void ChromaHoopStreaks(const LensElement& element, const RenderTarget& target,
                       const StreakSink& sink) {
  const float brightness = element.brightness;
  const float apogeeScale = element.scale;
  const float chromaSpread = element.angle;
  const float softness = element.spread;
  const float position = element.position;
  const int32_t density = element.iparam0 < kMaxDensity ? element.iparam0 : kMaxDensity;
  const int32_t noise = element.iparam2;
  const int32_t arcCompleteness = element.iparam3;
  const bool anamorphic = element.anamorphic != 0;
  const Rgb colour = element.color1;

  const float W = static_cast<float>(target.width);
  const float H = static_cast<float>(target.height);
  const PointF light{target.lightX, target.lightY};

  // Centre and frame factor.
  const PointF centre = ElementCentre(target, position);
  const float wf = W / 320.0f;
  // Stronger the farther the light is from the frame centre.
  const float dx0 = W * 0.5f - light.x;
  const float dy0 = H * 0.5f - light.y;
  float f = static_cast<float>(FastHypot(TruncToInt(2.0 * TruncToInt(dx0)),
                                         TruncToInt(2.0 * TruncToInt(dy0)))) /
            (2.0f * W);
  if (f < 1.0f) f = f * f;
  const float k = wf * f;
  // Colour.
  const float cR = k * brightness * target.gainR * colour.r / 255.0f;
  const float cG = k * brightness * target.gainG * colour.g / 255.0f;
  const float cB = k * brightness * target.gainB * colour.b / 255.0f;
  const float sc = apogeeScale * target.scale;
  // Dash length and the spacing of the colour copies.
  const float e = softness / 10.0f;
  const float c = (chromaSpread + 90.0f) / 600.0f;
  const float m = e * c + (1.0f - c);
  // Line count.
  if (density <= 0) return;
  const int32_t N = density * 25;
  float hN = N / 2.0f;
  if (hN < 1.0f) hN = 1.0f;
  const PointF toPoint = PointMinus(centre, light);
  // Angular step, first angle and noise strength.
  const float dTheta = arcCompleteness / 2000.0f * 3.141592626891544f / N;
  const float theta0 = dTheta / 2.0f;
  const float z = (noise - 2) / 15.0f;

  // The three copies of one dash at angle phi from the element's direction,
  // from the light outward along v.
  const auto drawDash = [&](float phi, float a, float G) {
    const float exG = toPoint.x * G;
    const float eyG = toPoint.y * G;
    const float cosPhi = CosF(phi);
    const float sinPhi = SinF(phi);
    const float rx = exG * cosPhi + eyG * sinPhi;
    const float ry = eyG * cosPhi - exG * sinPhi;
    // The dash's offset from the light: the arc is centred on the light.
    PointF v{rx, ry};
    if (anamorphic) v.x = v.x * 2.0f;
    const PointF ve = PointTimes(v, e);
    sink(StreakBetween(PointPlus(light, v), PointPlus(light, ve), {0.0f, a * cG, 0.0f},
                       StreakAnchor::Middle));
    sink(StreakBetween(PointPlus(light, PointOver(v, m)), PointPlus(light, PointOver(ve, m)),
                       {a * cR, 0.0f, 0.0f}, StreakAnchor::Middle));
    sink(StreakBetween(PointPlus(light, PointTimes(v, m)), PointPlus(light, PointTimes(ve, m)),
                       {0.0f, 0.0f, a * cB}, StreakAnchor::Middle));
  };

  // The lines of the hoop.
  for (int32_t i = 0; i < N; ++i) {
    float b = 0.2f;
    if (static_cast<float>(i) > hN) {
      const float r = (N - i) / hN;
      b = r * r * 0.2f;
    }
    const float iN = static_cast<float>(i) / static_cast<float>(N);
    const float G = (1.0f - iN * iN) * sc + 1.0f;
    const float base = static_cast<float>(i) * dTheta + theta0;
    drawDash(base + Noise(2 * i + 1000) * theta0 * z, (Noise(i) * z + 1.0f) * b, G);
    drawDash(-(base + Noise(2 * i + 1001) * theta0 * z), (Noise(i + 6000) * z + 1.0f) * b, G);
  }
}

void RenderChromaHoop(const LensElement& element, const RenderTarget& target, Scratch& scratch) {
  ChromaHoopStreaks(element, target, DrawStreaksInto(target, scratch.streakPositions));
}

}  // namespace gw
