// Single Poly: one soft regular polygon, the image of the aperture, on its
// point of the flare axis. With Center Fade on it dims (or brightens) as it
// moves a quarter frame width away from the frame centre.
#include "render/elements/elements.h"
#include "render/elements/polygon_elements.h"
#include "render/polygon_stamp.h"

namespace gw {

void RenderSinglePoly(const LensElement& element, const RenderTarget& target, Scratch&) {
  const float brightness = element.brightness;  // enters the gains and the fade factor
  const float scale = element.scale;
  const float angle = element.angle;            // rotation in degrees
  const float softness = element.spread;        // corner roundness, per cent of the radius
  const float position = element.position;
  const int32_t fadeRate = element.iparam0;     // Center Fade Rate: 50 = no fade
  const int32_t sides = element.iparam2;
  const uint8_t anamorphic = element.anamorphic;
  const bool centreFade = element.option != 0;
  const Rgb colour = element.color1;
  if (NothingToDraw(target)) return;

  const int32_t W = target.width;
  const PointF centre = ElementCentre(target, position);
  const float dx = static_cast<float>(W) / 2.0f - centre.x;
  const float dy = static_cast<float>(target.height) / 2.0f - centre.y;

  const float s = target.scale * scale;
  const float rho = static_cast<float>(W * 5 / 100) * s;

  const float kR = target.gainR * brightness;
  const float kG = target.gainG * brightness;
  const float kB = target.gainB * brightness;
  float kA = target.brightness * brightness;

  // 0 on the frame centre, 1 from a quarter frame width out.
  const float f = DoubledCentreDistance(dx, dy) / static_cast<float>(W);
  const float offAxis = f <= 0.5f ? 2.0f * f : 1.0f;

  float q = static_cast<float>(fadeRate - 50) / 50.0f;
  float fade;
  if (q < 0.0f) {
    q = -q;
    fade = offAxis * q + (1.0f - q);
  } else {
    fade = (1.0f - offAxis) * q + (1.0f - q);
  }
  if (centreFade) kA = kA * fade;

  const PolyColor polyColour{ColourByte(kR * kA * colour.r), ColourByte(kG * kA * colour.g),
                             ColourByte(kB * kA * colour.b), 255};
  PolygonStamp(softness, sides, rho, angle, centre.x, centre.y, polyColour, target, anamorphic);
}

}  // namespace gw
