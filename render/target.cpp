#include "render/target.h"

namespace gw {

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
