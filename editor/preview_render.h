// The native editor's preview: the working lens drawn over a frame of any
// size, with the settings that stand for the effect's parameters. Drawn as
// the full edition draws a frame of that size (no obscuration, no motion
// blur), so what the preview shows is what `glarewright render` gives.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "lens/lens.h"

namespace gw {

// The effect's parameters as the preview stands them in: they belong to the
// preview alone, never to the lens.
struct PreviewSettings {
  float lightX = 0.0f;        // frame pixels from the left
  float lightY = 0.0f;        // frame pixels from the top
  Rgb colour{255, 255, 255};  // only its hue counts, as the effect's Color
  float brightness = 1.0f;    // 1.0 is 100 %
  float scale = 1.0f;
  float angle = 0.0f;  // degrees: the phase of the elements' animation

  friend bool operator==(const PreviewSettings&, const PreviewSettings&) = default;
};

// The settings a new preview starts from for a frame: the effect's defaults,
// the light at 30 % of the frame each way.
PreviewSettings DefaultPreviewSettings(int32_t frameWidth, int32_t frameHeight);

// A picture as rows of red, green, blue from the top.
struct RgbImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;
};

// Draws `lens` into `out` (its width and height say the size, at most 32767
// each way) over `background` (the frame scaled to that size; any other size
// means black), the light placed as in a frame of frameWidth x frameHeight.
// `screenTable` is the 65536-byte table of render/pixels.h. `cancelled` is
// asked before each element; false when it stopped the drawing (`out` then
// holds part of the flare).
bool RenderPreview(const Lens& lens, const PreviewSettings& settings, int32_t frameWidth,
                   int32_t frameHeight, const RgbImage& background, const uint8_t* screenTable,
                   RgbImage& out, const std::function<bool()>& cancelled = {});

}  // namespace gw
