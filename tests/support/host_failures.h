// Failures a test makes the legacy test host answer with, as a host short of
// memory or a user pressing Escape would: the nth call of a kind from now
// (1 = the next) answers with an error. Arming a kind again replaces what it
// was armed with; the other kinds stay armed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "testhost/test_host.h"

namespace gw::testing {

// What is armed: for each kind of call, the calls left until it fails and
// the answer then. One table on the host, so arming a host again for every
// input of a long run (a fuzzer) never builds a chain of hooks.
struct ArmedFailures {
  struct Armed {
    int32_t left = 0;
    PF_Err code = PF_Err_NONE;
  };
  std::array<Armed, static_cast<size_t>(testhost::HostCall::Progress) + 1> kinds{};

  PF_Err operator()(testhost::HostCall call) {
    Armed& armed = kinds[static_cast<size_t>(call)];
    return (armed.left > 0 && --armed.left == 0) ? armed.code : PF_Err_NONE;
  }
};

inline void FailNthCall(testhost::TestHost& host, testhost::HostCall kind, int32_t n,
                        PF_Err code) {
  if (!host.interceptCall.target<ArmedFailures>()) host.interceptCall = ArmedFailures{};
  host.interceptCall.target<ArmedFailures>()->kinds[static_cast<size_t>(kind)] = {n, code};
}

// The nth handle allocation fails (no handle).
inline void FailHandleAllocation(testhost::TestHost& host, int32_t n) {
  FailNthCall(host, testhost::HostCall::NewHandle, n, PF_Err_OUT_OF_MEMORY);
}
// The nth add_param answers `code`.
inline void FailAddParam(testhost::TestHost& host, int32_t n, PF_Err code) {
  FailNthCall(host, testhost::HostCall::AddParam, n, code);
}
// The nth checkout_param answers `code`.
inline void FailCheckout(testhost::TestHost& host, int32_t n, PF_Err code) {
  FailNthCall(host, testhost::HostCall::CheckoutParam, n, code);
}
// The nth progress call answers `code` (cancel).
inline void CancelAtProgress(testhost::TestHost& host, int32_t n,
                             PF_Err code = PF_Interrupt_CANCEL) {
  FailNthCall(host, testhost::HostCall::Progress, n, code);
}

}  // namespace gw::testing
