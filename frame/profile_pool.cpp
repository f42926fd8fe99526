#include "frame/profile_pool.h"

#include <new>
#include <utility>

namespace gw {

std::optional<ProfileStore> ProfilePool::Take(int32_t channelSamples) {
  std::optional<ProfileStore> store;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    // The most recently given back first: its profiles are the likeliest
    // to be asked for again.
    for (size_t i = idle_.size(); i-- > 0;) {
      if (idle_[i].length() == channelSamples - kProfileSpareSamples) {
        store.emplace(std::move(idle_[i]));
        idle_.erase(idle_.begin() + static_cast<ptrdiff_t>(i));
        break;
      }
    }
  }
  if (store) store->Restart();
  return store;
}

void ProfilePool::Give(ProfileStore&& store) {
  const std::lock_guard<std::mutex> lock(mutex_);
  try {
    if (idle_.size() >= kMaxIdle) idle_.erase(idle_.begin());
    idle_.push_back(std::move(store));
  } catch (const std::bad_alloc&) {
    // Not kept: the next render builds its profiles afresh.
  }
}

void ProfilePool::Purge() {
  std::vector<ProfileStore> idle;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    idle.swap(idle_);
  }
}  // the stores go here, outside the lock

}  // namespace gw
