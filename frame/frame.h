// The first steps of every frame, whatever the host: the size rendered, the
// profile storage, and the render target over the canvas the flare is drawn
// into.
#pragma once

#include <cstdint>
#include <optional>

#include "lens/lens.h"
#include "render/draw_lens.h"
#include "render/profile_store.h"
#include "render/target.h"

namespace gw {

// The largest frame side a render target can address.
inline constexpr int32_t kMaxFrameSide = 32767;

// The size actually rendered: the layer size after the host's downsampling.
struct FrameSize {
  int32_t width;
  int32_t height;

  bool Empty() const { return width == 0 || height == 0; }
  // A size a render target can address (an empty one included).
  bool Addressable() const {
    return width >= 0 && height >= 0 && width <= kMaxFrameSide && height <= kMaxFrameSide;
  }
};

// The profile store of one render: four channels of n = trunc(W x scale x
// 60) bytes. Empty when it cannot be allocated or would be absurdly large (a
// Scale far beyond its range).
std::optional<ProfileStore> AllocateProfileStore(int32_t width, float scale);

// Where the flare is drawn: pixels of 4 bytes (alpha, red, green, blue) or 3
// (red, green, blue), `pixels` at the window's top-left pixel, the window in
// frame coordinates.
struct Canvas {
  uint8_t* pixels;
  int32_t rowBytes;
  int16_t bytesPerPixel;
  PixelRect window;
};

// The effect's settings that hold for the whole frame.
struct FrameSettings {
  bool highQuality;
  float scale;       // the effect's Scale
  float anglePhase;  // the effect's Angle in degrees / 24
};

// The target of one frame and the profile storage its draws write.
struct FlareFrame {
  std::optional<ProfileStore> profile;
  RenderTarget target{};
};

// Makes the frame's profile store (unless `frame` already holds one of the
// size the frame needs) and fills its target: quality, Scale,
// angle phase, the frame's size and the canvas with its window as the clip
// rectangle; the light, colour and screen table are the caller's. False when
// the profile store cannot be had.
bool BeginFlare(FrameSize size, const Canvas& canvas, const FrameSettings& settings,
                FlareFrame& frame);

// The flare of one light: the lens drawn straight onto the canvas when the
// brightness is above 0. Returns 0, or the progress callback's nonzero code.
int32_t DrawFlare(const Lens& lens, const RenderTarget& target, ProfileStore& profile,
                  const ProgressCallback& progress);

}  // namespace gw
