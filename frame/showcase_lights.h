// The Showcase edition's lights: one per 4-connected opaque patch of the
// location layer, and the lens drawn once per light.
#pragma once

#include <cstdint>
#include <vector>

#include "frame/layer.h"
#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/target.h"

namespace gw {

// At most this many lights are found in one frame.
inline constexpr int32_t kMaxLights = 1000;

// One light. While a patch is scanned the fields hold sums; once finished
// they hold averages (colour and alpha 0..1) and the alpha-weighted centre
// less one pixel, as a fraction of the layer size.
struct LightSource {
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
  float alpha = 0.0f;
  float x = 0.0f;
  float y = 0.0f;
  int64_t alphaWeight = 0;
  int64_t pixelCount = 0;
};

// Bit masks of a layer's size: rows of (width >> 3) + 1 bytes, pixel x at
// bit (x & 7) of byte (x >> 3).
class PixelMask {
 public:
  PixelMask(int32_t width, int32_t height);  // throws std::bad_alloc
  bool Test(int32_t x, int32_t y) const { return (bits_[Offset(x, y)] >> (x & 7)) & 1; }
  void Set(int32_t x, int32_t y) { bits_[Offset(x, y)] |= static_cast<uint8_t>(1 << (x & 7)); }

 private:
  size_t Offset(int32_t x, int32_t y) const {
    return static_cast<size_t>(y) * rowBytes_ + static_cast<size_t>(x >> 3);
  }
  size_t rowBytes_;
  std::vector<uint8_t> bits_;
};

// Adds the 4-connected region of nonzero alpha around the seed, pixels not
// yet in `region`, to `region` and to the light's sums. No recursion: a
// stack of pending runs, bounded by the layer.
void GrowRegion(int32_t seedX, int32_t seedY, PixelMask& region, const LayerView& layer,
                LightSource& light);

// Finds at most 1000 lights in a layer, in raster order of their first
// pixel, finished. Empty when the layer has no pixels or the masks cannot be
// allocated.
std::vector<LightSource> FindLightsInLayer(const LayerView& layer);

// The number of separate 4-connected patches of nonzero alpha, however many
// there are: what the Showcase edition meets in a layer.
int32_t CountOpaquePatches(const LayerView& layer);

// Aims the target at one light: its position in the frame (the layer is
// stretched over it), and its patch's colour and opacity tinted by the
// effect's colour and scaled by its brightness factor.
void AimAtLight(const LightSource& light, LayerPixel colour, float brightnessFactor,
                RenderTarget& target);

// Draws the lens once for each light that is brighter than 0, light j as
// pass j of the lights' count. Returns 0, or the progress callback's nonzero
// code, which ends the drawing at once.
int32_t DrawLensPerLight(const Lens& lens, const std::vector<LightSource>& lights,
                         LayerPixel colour, float brightnessFactor, RenderTarget& target,
                         ProfileStore& profile, const ProgressCallback& progress);

}  // namespace gw
