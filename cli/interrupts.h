// Ctrl-C, SIGTERM and SIGHUP.
//
// While a CancelScope lives, the first such signal only asks the work to
// stop (Interrupted() turns true) so that finished frames are kept; outside
// one, or at a second signal, the program ends as the signal would, after
// removing the temporary file it was writing, if any.
#pragma once

#include <string>

namespace gw {

class CancelScope {
 public:
  CancelScope();
  ~CancelScope();
  CancelScope(const CancelScope&) = delete;
  CancelScope& operator=(const CancelScope&) = delete;
};

// True once a signal asked the current CancelScope's work to stop.
bool Interrupted();

// Names the temporary file being written, so that a signal removes it.
class PartialFileGuard {
 public:
  explicit PartialFileGuard(const std::string& path);
  ~PartialFileGuard();
  PartialFileGuard(const PartialFileGuard&) = delete;
  PartialFileGuard& operator=(const PartialFileGuard&) = delete;
};

}  // namespace gw
