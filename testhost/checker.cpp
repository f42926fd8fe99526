#include "testhost/checker.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace gw::testhost {
namespace {

constexpr uint8_t kFreshHandleByte = 0xA5;  // new handles are not zeroed

}  // namespace

Checker::~Checker() {
  for (HandleBlock* block : live_) std::free(block->data);
}

Checker::HandleBlock* Checker::Find(PF_Handle handle) {
  for (HandleBlock* block : live_) {
    if (&block->data == handle) return block;
  }
  for (HandleBlock& block : blocks_) {  // a disposed handle, or none of ours
    if (&block.data == handle) return &block;
  }
  return nullptr;
}

const Checker::HandleBlock* Checker::Find(PF_Handle handle) const {
  return const_cast<Checker*>(this)->Find(handle);
}

void Checker::Free(HandleBlock& block) {
  std::free(block.data);
  block.data = nullptr;
  block.live = false;
  block.locks = 0;
  live_.erase(std::find(live_.begin(), live_.end(), &block));
}

PF_Handle Checker::NewHandle(uint32_t size) {
  HandleBlock& block = blocks_.emplace_back();
  block.size = size;
  block.data = std::malloc(size > 0 ? size : 1);
  if (!block.data) {
    block.live = false;
    return nullptr;  // memory is short: the plug-in hears it as a null handle
  }
  std::memset(block.data, kFreshHandleByte, size);
  live_.push_back(&block);
  return &block.data;
}

bool Checker::IsLive(PF_Handle handle) const {
  const HandleBlock* block = Find(handle);
  return block && block->live;
}

void* Checker::Lock(PF_Handle handle) {
  HandleBlock* block = Find(handle);
  if (!block || !block->live) {
    Problem("lock of a handle that is not live");
    return nullptr;
  }
  ++block->locks;
  return block->data;
}

void Checker::Unlock(PF_Handle handle) {
  HandleBlock* block = Find(handle);
  if (!block || !block->live) {
    Problem("unlock of a handle that is not live");
  } else if (block->locks == 0) {
    Problem("unlock of a handle that is not locked");
  } else {
    --block->locks;
  }
}

void Checker::Dispose(PF_Handle handle) {
  HandleBlock* block = Find(handle);
  if (!block) {
    Problem("dispose of an unknown handle");
    return;
  }
  if (!block->live) {
    Problem("a handle disposed twice");
    return;
  }
  if (block->locks > 0) Problem("a handle disposed while locked");
  Free(*block);
}

void Checker::Release(PF_Handle handle) {
  if (HandleBlock* block = Find(handle); block && block->live) Free(*block);
}

std::vector<uint8_t> Checker::Bytes(PF_Handle handle) const {
  const HandleBlock* block = Find(handle);
  if (!block || !block->live || !block->data) return {};
  const auto* p = static_cast<const uint8_t*>(block->data);
  return std::vector<uint8_t>(p, p + block->size);
}

int32_t Checker::Checkout(PF_ParamDef* record, std::shared_ptr<const Image> keep) {
  const int32_t token = nextToken_++;
  checkouts_.push_back({token, record, std::move(keep)});
  return token;
}

bool Checker::Checkin(const PF_ParamDef* record) {
  for (auto it = checkouts_.begin(); it != checkouts_.end(); ++it) {
    if (record && it->record == record && it->token == record->uu.id) {
      checkouts_.erase(it);
      return true;
    }
  }
  Problem("checkin_param of a record that is not checked out");
  return false;
}

void Checker::AfterCommand(PF_Cmd cmd, PF_Handle globalData, PF_Handle sequenceData) {
  for (PF_Handle kept : {globalData, sequenceData}) {
    if (kept && !IsLive(kept)) Problem("the plug-in handed back a handle that is not live");
  }
  for (size_t i = 0; i < live_.size();) {
    HandleBlock& block = *live_[i];
    if (block.locks > 0) {
      Problem("a handle is still locked after command " + std::to_string(cmd));
      block.locks = 0;
    }
    const PF_Handle handle = &block.data;
    if (handle != globalData && handle != sequenceData) {
      Problem("a handle of " + std::to_string(block.size) + " bytes leaked by command " +
              std::to_string(cmd));
      Free(block);  // leaves the live list: the next one moves to i
    } else {
      ++i;
    }
  }
  if (!checkouts_.empty()) {
    Problem(std::to_string(checkouts_.size()) + " checkout(s) not checked in by command " +
            std::to_string(cmd));
    checkouts_.clear();
  }
}

int32_t Checker::liveHandles() const { return static_cast<int32_t>(live_.size()); }

int32_t Checker::heldLocks() const {
  int32_t n = 0;
  for (const HandleBlock* block : live_) n += block->locks;
  return n;
}

void Checker::Problem(std::string text) { problems_.push_back(std::move(text)); }

std::vector<std::string> Checker::TakeProblems() {
  std::vector<std::string> taken;
  taken.swap(problems_);
  return taken;
}

}  // namespace gw::testhost
