// The test host's checker: the bookkeeping of the memory handles it hands
// out, their locks, and the parameter checkouts. After every command it
// records a problem for every leaked handle, double or unknown dispose, lock
// left held or unlock without a lock, and checkout never checked in.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "host/sdk/pf_api.h"
#include "testhost/image.h"

namespace gw::testhost {

class Checker {
 public:
  Checker() = default;
  ~Checker();
  Checker(const Checker&) = delete;
  Checker& operator=(const Checker&) = delete;

  // --- Handles. ---
  // A new handle of `size` bytes, not zeroed; null when memory is short.
  PF_Handle NewHandle(uint32_t size);
  bool IsLive(PF_Handle handle) const;
  // The plug-in's lock, unlock and dispose, each checked.
  void* Lock(PF_Handle handle);
  void Unlock(PF_Handle handle);
  void Dispose(PF_Handle handle);
  // The host itself lets go of a handle (no check: it is the owner).
  void Release(PF_Handle handle);
  // The bytes of a live handle; empty for any other.
  std::vector<uint8_t> Bytes(PF_Handle handle) const;

  // --- Parameter checkouts. ---
  // Records a checkout of `record`; `keep` holds a layer's pixels until the
  // checkin. Returns the token the record carries.
  int32_t Checkout(PF_ParamDef* record, std::shared_ptr<const Image> keep);
  // Ends the checkout of `record`; false (and a problem) when it has none.
  bool Checkin(const PF_ParamDef* record);

  // After a command: every handle but the two the host keeps must be gone,
  // no lock held, no checkout open. What is left over is recorded and
  // cleaned up, so one fault is reported once.
  void AfterCommand(PF_Cmd cmd, PF_Handle globalData, PF_Handle sequenceData);

  // --- What it saw. ---
  int32_t liveHandles() const;
  int32_t heldLocks() const;
  int32_t liveCheckouts() const { return static_cast<int32_t>(checkouts_.size()); }
  const std::vector<std::string>& problems() const { return problems_; }
  std::vector<std::string> TakeProblems();
  void Problem(std::string text);

 private:
  struct HandleBlock {
    void* data = nullptr;  // the master pointer: a PF_Handle points here
    uint32_t size = 0;
    int32_t locks = 0;
    bool live = true;
  };
  struct Open {
    int32_t token;
    const PF_ParamDef* record;
    std::shared_ptr<const Image> image;  // keeps a layer's pixels alive
  };

  HandleBlock* Find(PF_Handle handle);
  const HandleBlock* Find(PF_Handle handle) const;
  void Free(HandleBlock& block);

  std::deque<HandleBlock> blocks_;  // never shrinks: a disposed handle stays recognisable
  // The live blocks in the order they were made: a plug-in holds a few at a
  // time, so a long run (a fuzzer, a sequence of thousands of frames) costs
  // the same per command at its end as at its start. Only a fault (a handle
  // that is not live) looks through all the blocks.
  std::vector<HandleBlock*> live_;
  std::vector<Open> checkouts_;
  int32_t nextToken_ = 1;
  std::vector<std::string> problems_;
};

}  // namespace gw::testhost
