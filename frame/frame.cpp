#include "frame/frame.h"

#include <new>

namespace gw {
namespace {

// A profile block beyond what the largest frame needs at the largest Scale
// (5.0) is refused as memory that cannot be had.
constexpr int64_t kMaxProfileSamples = int64_t{kMaxFrameSide} * 5 * kProfileSamplesPerFrameWidth;

}  // namespace

std::optional<ProfileStore> AllocateProfileStore(int32_t width, float scale) {
  const int32_t n = ProfileStore::ChannelSamplesFor(width, scale);
  if (n > kMaxProfileSamples) return std::nullopt;
  try {
    return std::optional<ProfileStore>(std::in_place, n);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

bool BeginFlare(FrameSize size, const Canvas& canvas, const FrameSettings& settings,
                FlareFrame& frame) {
  RenderTarget& target = frame.target;
  target = RenderTarget{};
  target.highQuality = settings.highQuality ? 1 : 0;
  target.scale = settings.scale;
  // A store the caller had from a pool is used when its channels are of the
  // size this frame's profiles are built in.
  const int32_t samples = ProfileStore::ChannelSamplesFor(size.width, target.scale);
  if (!frame.profile || frame.profile->length() != samples - kProfileSpareSamples) {
    frame.profile = AllocateProfileStore(size.width, target.scale);
  }
  if (!frame.profile) return false;
  target.height = static_cast<int16_t>(size.height);
  target.width = static_cast<int16_t>(size.width);
  target.pixels = canvas.pixels;
  target.rowBytes = canvas.rowBytes;
  target.bytesPerPixel = canvas.bytesPerPixel;
  target.clip = canvas.window;
  target.anglePhase = settings.anglePhase;
  return true;
}

int32_t DrawFlare(const Lens& lens, const RenderTarget& target, ProfileStore& profile,
                  const ProgressCallback& progress) {
  if (!(target.brightness > 0.0f)) return 0;
  Scratch scratch{profile};
  return DrawLens(lens, target, scratch, 0, 1, progress);
}

}  // namespace gw
