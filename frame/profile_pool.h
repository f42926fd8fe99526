// Profile stores kept from one render to the next of an effect instance, so
// that the tiles of a frame (rendered one after another, or by several
// threads at once) and the frames after it find the profiles the renders
// before them built. A store is had by one render at a time; only taking
// and giving back are shared, under a lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "render/profile_store.h"

namespace gw {

class ProfilePool {
 public:
  // Idle stores kept at most: one for each of the threads a host usually
  // renders with at once. Giving back one more lets the longest idle go.
  static constexpr size_t kMaxIdle = 4;

  // An idle store whose channels hold `channelSamples` samples, restarted
  // (as made, with the profiles it kept), or none.
  std::optional<ProfileStore> Take(int32_t channelSamples);
  // Keeps a store that a render is done with.
  void Give(ProfileStore&& store);
  // Lets every idle store go (a host short of memory asks for this).
  void Purge();

 private:
  std::mutex mutex_;
  std::vector<ProfileStore> idle_;  // the longest idle first
};

}  // namespace gw
