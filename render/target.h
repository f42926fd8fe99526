// What every element renderer and drawing primitive receives.
#pragma once

#include <cstdint>

namespace gw {

struct RenderTarget {
  float gainR;        // brightness x colorR
  float gainG;        // brightness x colorG
  float gainB;        // brightness x colorB
  float brightness;   // overall brightness, 1.0 nominal, after obscuration
  float colorR;       // the effect's colour, largest component 1.0
  float colorG;
  float colorB;
  float lightX;       // light source, frame pixels from the left edge
  float lightY;       // light source, frame pixels from the top edge
  float scale;        // the effect's Scale, 1.0 nominal
  float anglePhase;   // the effect's Angle / 24: an animation phase, not a rotation
  uint8_t* profileR;  // radial profile channels, sample i = radius i/4 px
  uint8_t* profileG;
  uint8_t* profileB;
  uint8_t* scratch;   // same length, used by the profile blur
  const uint8_t* screenTable;  // 65536 bytes
  uint8_t* pixels;    // the pixel at (clipLeft, clipTop)
  int32_t profileLength;  // usable samples per profile channel
  int32_t rowBytes;
  int16_t height;     // whole frame, even when the clip rectangle is smaller
  int16_t width;
  int16_t bytesPerPixel;  // 4: alpha, red, green, blue; 3: red, green, blue
  int16_t highQuality;
  int16_t clipTop;     // first writable row
  int16_t clipBottom;  // first row below the writable area
  int16_t clipLeft;    // first writable column
  int16_t clipRight;   // first column right of the writable area
};

struct PointF {
  float x, y;
};

// Where an element at `position` on the flare axis sits: 0 the frame centre,
// 1 the light, -1 the light mirrored through the centre.
inline PointF ElementCentre(const RenderTarget& t, float position) {
  const float halfW = static_cast<float>(t.width) * 0.5f;
  const float halfH = static_cast<float>(t.height) * 0.5f;
  return {halfW + position * (t.lightX - halfW), halfH + position * (t.lightY - halfH)};
}

// Copies `a` into `out`, then moves its eleven floating fields a fraction `t`
// of the way towards `b`. Buffers, clip rectangle and sizes come from `a`.
void BlendTargets(const RenderTarget& a, const RenderTarget& b, RenderTarget& out, float t);

}  // namespace gw
