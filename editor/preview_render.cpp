#include "editor/preview_render.h"

#include <algorithm>
#include <cstring>

#include "render/draw_lens.h"
#include "render/profile_store.h"
#include "render/target.h"

namespace gw {
namespace {

constexpr int32_t kLargestSide = 32767;  // the target's sizes are 16-bit
constexpr float kDefaultLightPlace = 0.3f;

int32_t AskCancelled(void* context, int32_t, int32_t) {
  const auto& cancelled = *static_cast<const std::function<bool()>*>(context);
  return cancelled() ? 1 : 0;
}

// A frame coordinate at another size of the frame; itself at the same size.
float ToSize(float v, int32_t frameSide, int32_t side) {
  if (side == frameSide) return v;
  return v * static_cast<float>(side) / static_cast<float>(frameSide);
}

}  // namespace

PreviewSettings DefaultPreviewSettings(int32_t frameWidth, int32_t frameHeight) {
  PreviewSettings s;
  s.lightX = static_cast<float>(frameWidth) * kDefaultLightPlace;
  s.lightY = static_cast<float>(frameHeight) * kDefaultLightPlace;
  return s;
}

bool RenderPreview(const Lens& lens, const PreviewSettings& settings, int32_t frameWidth,
                   int32_t frameHeight, const RgbImage& background, const uint8_t* screenTable,
                   RgbImage& out, const std::function<bool()>& cancelled) {
  out.width = std::clamp(out.width, 0, kLargestSide);
  out.height = std::clamp(out.height, 0, kLargestSide);
  const size_t bytes = size_t{3} * static_cast<size_t>(out.width) * static_cast<size_t>(out.height);
  if (background.width == out.width && background.height == out.height &&
      background.rgb.size() == bytes) {
    out.rgb = background.rgb;
  } else {
    out.rgb.assign(bytes, 0);
  }
  if (bytes == 0 || frameWidth <= 0 || frameHeight <= 0) return true;

  ProfileStore profile(ProfileStore::ChannelSamplesFor(out.width, settings.scale));
  RenderTarget target{};
  const int32_t largest = std::max({settings.colour.r, settings.colour.g, settings.colour.b});
  SetFlareColour(settings.colour.r, settings.colour.g, settings.colour.b, largest,
                 settings.brightness, target);
  // The light where it stands in the frame, at this size.
  target.lightX = ToSize(settings.lightX, frameWidth, out.width);
  target.lightY = ToSize(settings.lightY, frameHeight, out.height);
  target.scale = settings.scale;
  target.anglePhase = settings.angle / 24.0f;
  target.screenTable = screenTable;
  target.pixels = out.rgb.data();
  target.rowBytes = out.width * 3;
  target.width = static_cast<int16_t>(out.width);
  target.height = static_cast<int16_t>(out.height);
  target.bytesPerPixel = 3;
  target.highQuality = 1;
  target.clip = WholeFrame(out.width, out.height);

  ProgressCallback progress;
  if (cancelled) progress = {&AskCancelled, const_cast<std::function<bool()>*>(&cancelled)};
  Scratch scratch{profile};
  return DrawLens(lens, target, scratch, 0, 1, progress) == 0;
}

}  // namespace gw
