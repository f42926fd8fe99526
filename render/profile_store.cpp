#include "render/profile_store.h"

#include <algorithm>
#include <cstring>

#include "render/numeric.h"

namespace gw {

ProfileStore::ProfileStore(int32_t channelSamples)
    : bytes_(static_cast<size_t>(std::max(channelSamples, 0)) * 4, 0),
      channelSamples_(std::max(channelSamples, 0)),
      length_(channelSamples - kProfileSpareSamples),
      reach_(std::max(length_, 0)) {}

int32_t ProfileStore::ChannelSamplesFor(int32_t width, float scale) {
  return TruncToInt(static_cast<float>(width) * scale *
                    static_cast<float>(kProfileSamplesPerFrameWidth));
}

void ProfileStore::ClearFrom(int32_t from) {
  from = std::max(from, 0);
  if (from >= reach_) return;
  for (uint8_t* channel : {red(), green(), blue()}) {
    std::memset(channel + from, 0, static_cast<size_t>(reach_ - from));
  }
  reach_ = from;
}

void ProfileStore::Extend(int32_t end) {
  end = std::min(end, length_);
  if (end > reach_) reach_ = end;
}

}  // namespace gw
