// Failures a test makes the legacy test host answer with, as a host short of
// memory or a user pressing Escape would: the nth call of a kind from now
// (1 = the next) answers with an error. Arming a kind again replaces what it
// was armed with; the other kinds stay armed.
#pragma once

#include <cstdint>
#include <utility>

#include "testhost/test_host.h"

namespace gw::testing {

inline void FailNthCall(testhost::TestHost& host, testhost::HostCall kind, int32_t n,
                        PF_Err code) {
  host.interceptCall = [kind, code, left = n, others = std::move(host.interceptCall)](
                           testhost::HostCall call) mutable -> PF_Err {
    if (call == kind) return (left > 0 && --left == 0) ? code : PF_Err_NONE;
    return others ? others(call) : PF_Err_NONE;
  };
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
