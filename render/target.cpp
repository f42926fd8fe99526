#include "render/target.h"

namespace gw {

void SetFlareColour(float r, float g, float b, int32_t largest, float brightness,
                    RenderTarget& target) {
  if (largest == 0) {
    r = g = b = 255.0f;
    largest = 255;
  }
  target.colorR = r / static_cast<float>(largest);
  target.colorG = g / static_cast<float>(largest);
  target.colorB = b / static_cast<float>(largest);
  target.brightness = brightness;
  target.gainR = brightness * target.colorR;
  target.gainG = brightness * target.colorG;
  target.gainB = brightness * target.colorB;
}

void BlendTargets(const RenderTarget& a, const RenderTarget& b, RenderTarget& out, float t) {
  out = a;
  auto blend = [t](float from, float to) { return from + (to - from) * t; };
  out.gainR = blend(a.gainR, b.gainR);
  out.gainG = blend(a.gainG, b.gainG);
  out.gainB = blend(a.gainB, b.gainB);
  out.brightness = blend(a.brightness, b.brightness);
  out.colorR = blend(a.colorR, b.colorR);
  out.colorG = blend(a.colorG, b.colorG);
  out.colorB = blend(a.colorB, b.colorB);
  out.lightX = blend(a.lightX, b.lightX);
  out.lightY = blend(a.lightY, b.lightY);
  out.scale = blend(a.scale, b.scale);
  out.anglePhase = blend(a.anglePhase, b.anglePhase);
}

}  // namespace gw
