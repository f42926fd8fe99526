#include "render/profile_store.h"

#include <algorithm>
#include <cstring>
#include <new>

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

ProfileView ProfileStore::ForStamp() {
  const bool changed = changed_;
  changed_ = false;
  if (changed && mode_ != Mode::Replaying) TrimReach();
  switch (mode_) {
    case Mode::Live:
      break;
    case Mode::Recording:
      if (changed) AddSnapshot();
      break;
    case Mode::Replaying: {
      if (changed) ++nextSnapshot_;
      const auto& snapshots = replayed_->snapshots_;
      // A walk that stamps more than it recorded cannot happen: the walks
      // of one sample are the same in every tile. Draw nothing if it does.
      if (nextSnapshot_ == 0 || nextSnapshot_ > snapshots.size()) return {red(), green(), blue(), 0};
      const ProfileRecording::Snapshot& s = snapshots[nextSnapshot_ - 1];
      const uint8_t* base = replayed_->pool_.data() + s.offset;
      return {base, base + s.reach, base + 2 * static_cast<size_t>(s.reach), s.reach};
    }
  }
  return {red(), green(), blue(), reach_};
}

bool ProfileStore::BeginShape() {
  changed_ = true;
  return mode_ != Mode::Replaying;
}

void ProfileStore::StartRecording(ProfileRecording& recording) {
  recording.pool_.clear();
  recording.snapshots_.clear();
  recording.usable_ = true;
  recording_ = &recording;
  mode_ = Mode::Recording;
  changed_ = true;  // the first stamp always takes a snapshot
}

void ProfileStore::StartReplay(const ProfileRecording& recording) {
  replayed_ = &recording;
  nextSnapshot_ = 0;
  mode_ = Mode::Replaying;
  changed_ = true;  // the first stamp always reads the first snapshot
}

void ProfileStore::StopRecording() {
  mode_ = Mode::Live;
  recording_ = nullptr;
  replayed_ = nullptr;
}

void ProfileStore::AddSnapshot() {
  ProfileRecording& r = *recording_;
  const size_t samples = static_cast<size_t>(std::max(reach_, 0));
  const size_t offset = r.pool_.size();
  if (!r.usable_ || offset + 3 * samples > ProfileRecording::kMaxBytes) {
    r.usable_ = false;
    return;
  }
  try {
    r.pool_.resize(offset + 3 * samples);
    r.snapshots_.push_back({offset, reach_});
  } catch (const std::bad_alloc&) {
    r.usable_ = false;  // the profiles are built in every tile instead
    return;
  }
  if (samples == 0) return;
  uint8_t* to = r.pool_.data() + offset;
  std::memcpy(to, red(), samples);
  std::memcpy(to + samples, green(), samples);
  std::memcpy(to + 2 * samples, blue(), samples);
}

void ProfileStore::TrimReach() {
  const uint8_t* r = red();
  const uint8_t* g = green();
  const uint8_t* b = blue();
  while (reach_ > 0 && (r[reach_ - 1] | g[reach_ - 1] | b[reach_ - 1]) == 0) --reach_;
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
