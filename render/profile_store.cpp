#include "render/profile_store.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "render/numeric.h"

namespace gw {

void ProfileChannels::ClearFrom(int32_t from) {
  from = std::max(from, 0);
  if (from >= reach) return;
  for (uint8_t* channel : {red, green, blue}) {
    std::memset(channel + from, 0, static_cast<size_t>(reach - from));
  }
  reach = from;
}

void ProfileChannels::Extend(int32_t end) {
  end = std::min(end, length);
  if (end > reach) reach = end;
}

void ProfileChannels::TrimReach() {
  while (reach > 0 && (red[reach - 1] | green[reach - 1] | blue[reach - 1]) == 0) --reach;
}

void PackProfile(const ProfileView& profile, std::vector<uint32_t>& packed) {
  // The distance of two magnitudes below the reach is at most the diagonal
  // of the larger one.
  const auto limit = static_cast<size_t>(HypotFromRatio(
      static_cast<uint32_t>(std::max(profile.reach - 1, 0)),
      static_cast<uint32_t>(kHypotTable.size() - 1)));
  packed.assign(limit + 1, 0);
  for (int32_t d = 0; d < profile.reach; ++d) {
    packed[static_cast<size_t>(d)] = uint32_t{profile.red[d]} |
                                     uint32_t{profile.green[d]} << 8 |
                                     uint32_t{profile.blue[d]} << 16;
  }
}

ProfileStore::ProfileStore(int32_t channelSamples)
    : bytes_(static_cast<size_t>(std::max(channelSamples, 0)) * 4, 0),
      length_(channelSamples - kProfileSpareSamples) {
  PointChannels();
}

void ProfileStore::PointChannels() {
  const size_t n = bytes_.size() / 4;
  uint8_t* base = bytes_.data();
  live_ = {base, base + n, base + 2 * n, base + 3 * n, length_, std::max(length_, 0)};
}

ProfileStore::ProfileStore(const ProfileStore& other)
    : bytes_(other.bytes_),
      length_(other.length_),
      live_(other.live_),
      applied_(other.applied_),
      steps_(other.steps_),
      written_(other.written_),
      changed_(true),  // the other's last view is not ours
      trim_(other.trim_),
      kept_(other.kept_),
      keptBytes_(other.keptBytes_),
      built_(other.built_),
      reused_(other.reused_) {
  const ptrdiff_t shift = bytes_.data() - other.bytes_.data();
  live_.red += shift;
  live_.green += shift;
  live_.blue += shift;
  live_.scratch += shift;
}

void ProfileStore::Restart() {
  std::fill(bytes_.begin(), bytes_.end(), uint8_t{0});
  PointChannels();
  applied_ = 0;
  steps_.clear();
  written_ = false;
  changed_ = true;
  trim_ = false;
  last_ = {};
  current_ = nullptr;
  packedCurrent_ = false;
}

int32_t ProfileStore::ChannelSamplesFor(int32_t width, float scale) {
  return TruncToInt(static_cast<float>(width) * scale *
                    static_cast<float>(kProfileSamplesPerFrameWidth));
}

const ProfileChannels& ProfileStore::Built() const {
  for (; applied_ < steps_.size(); ++applied_) ApplyProfileStep(steps_[applied_], live_);
  return live_;
}

ProfileChannels& ProfileStore::Written() {
  Built();
  written_ = true;
  changed_ = true;
  return live_;
}

void ProfileStore::AddStep(const ProfileStep& step) {
  changed_ = true;
  trim_ = true;
  if (step.Replaces()) {
    // What the channels held before no longer matters.
    steps_.clear();
    applied_ = 0;
    written_ = false;
  }
  try {
    steps_.push_back(step);
  } catch (const std::bad_alloc&) {
    // No room to note it: worked out at once, and this profile is not kept.
    Built();
    ApplyProfileStep(step, live_);
    written_ = true;
  }
}

std::string ProfileStore::KeyOfSteps() const {
  return std::string(reinterpret_cast<const char*>(steps_.data()),
                     steps_.size() * sizeof(ProfileStep));
}

ProfileStore::Kept* ProfileStore::Keep(std::string key) {
  const auto reach = static_cast<size_t>(std::max(live_.reach, 0));
  // The samples, and room for their packed form (up to 1.5 words a sample).
  const size_t bytes = 3 * reach + 6 * reach;
  if (bytes > kMaxKeptBytes) return nullptr;
  if (keptBytes_ + bytes > kMaxKeptBytes) {
    kept_.clear();
    keptBytes_ = 0;
  }
  Kept kept{std::vector<uint8_t>(3 * reach), live_.reach, {}};
  if (reach > 0) {  // a profile without samples has no arrays to copy from
    std::memcpy(kept.samples.data(), live_.red, reach);
    std::memcpy(kept.samples.data() + reach, live_.green, reach);
    std::memcpy(kept.samples.data() + 2 * reach, live_.blue, reach);
  }
  Kept& entry = kept_.emplace(std::move(key), std::move(kept)).first->second;
  keptBytes_ += bytes;
  return &entry;
}

const std::vector<uint32_t>& StampedProfile::Packed() { return store_->PackedForStamp(); }

const std::vector<uint32_t>& ProfileStore::PackedForStamp() {
  if (current_ != nullptr) {
    if (current_->packed.empty()) PackProfile(last_, current_->packed);
    return current_->packed;
  }
  if (!packedCurrent_) {
    PackProfile(last_, packed_);
    packedCurrent_ = true;
  }
  return packed_;
}

StampedProfile ProfileStore::ForStamp() {
  if (!changed_) return {last_, *this};
  changed_ = false;
  current_ = nullptr;
  packedCurrent_ = false;

  // Channels written directly, or never shaped at all, are stamped as they
  // stand.
  const bool keepable = !written_ && !steps_.empty();
  std::string key;
  if (keepable) {
    try {
      key = KeyOfSteps();
      if (const auto it = kept_.find(key); it != kept_.end()) {
        ++reused_;
        trim_ = false;
        current_ = &it->second;
        const Kept& kept = it->second;
        const uint8_t* base = kept.samples.data();
        const auto reach = static_cast<size_t>(kept.reach);
        last_ = {base, base + reach, base + 2 * reach, kept.reach};
        return {last_, *this};
      }
    } catch (const std::bad_alloc&) {
      key.clear();
    }
  }
  Built();
  if (trim_) live_.TrimReach();
  trim_ = false;
  ++built_;
  if (!key.empty()) {
    try {
      current_ = Keep(std::move(key));
    } catch (const std::bad_alloc&) {
      // Not kept: built again when it comes back.
    }
  }
  last_ = {live_.red, live_.green, live_.blue, live_.reach};
  return {last_, *this};
}

}  // namespace gw
