// What every element renderer and drawing primitive reads: the flare's
// settings, the canvas and the screen table; and the scratch a draw writes.
#pragma once

#include <cstdint>

#include "render/profile_store.h"

namespace gw {

class StreakPositions;

// A window of the frame in pixels: rows top..bottom-1, columns left..right-1.
// The clip rectangle of a target and the tiles of a blurred draw.
struct PixelRect {
  int16_t top;
  int16_t bottom;
  int16_t left;
  int16_t right;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

// The whole of a W x H frame.
inline PixelRect WholeFrame(int32_t width, int32_t height) {
  return {0, static_cast<int16_t>(height), 0, static_cast<int16_t>(width)};
}

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
  const uint8_t* screenTable;  // 65536 bytes
  uint8_t* pixels;    // the pixel at (clip.left, clip.top)
  int32_t rowBytes;
  int16_t height;     // whole frame, even when the clip rectangle is smaller
  int16_t width;
  int16_t bytesPerPixel;  // 4: alpha, red, green, blue; 3: red, green, blue
  int16_t highQuality;
  PixelRect clip;      // the writable area
};

// What a draw writes as it goes besides the pixels, element after element,
// apart from the target it only reads.
struct Scratch {
  // The radial profile an element builds and then stamps.
  ProfileStore& profile;
  // Where the walks of streaks drawn before got to (render/streak.h), for a
  // draw that walks the same streaks again and again; none when null.
  StreakPositions* streakPositions = nullptr;
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

// Sets the flare's colour to (r, g, b) divided by `largest`, their largest
// component as a whole number, or to white when `largest` is 0; the
// brightness, and the gains as the colour times the brightness.
void SetFlareColour(float r, float g, float b, int32_t largest, float brightness,
                    RenderTarget& target);

// Copies `a` into `out`, then moves its eleven floating fields a fraction `t`
// of the way towards `b`. Buffers, clip rectangle and sizes come from `a`.
void BlendTargets(const RenderTarget& a, const RenderTarget& b, RenderTarget& out, float t);

}  // namespace gw
