// Small, safe wrappers around the host's callbacks and records.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/layer.h"
#include "frame/values.h"
#include "host/sdk/pf_api.h"

namespace gw {

// What our commands return when memory is short.
inline constexpr PF_Err kErrOutOfMemory = -108;

// Copies a NUL-terminated string with the host's ANSI strcpy.
void HostStrcpy(const PF_InData& in, char* dest, const char* src);

// The data of a host handle (null for a null handle).
inline void* HandleData(PF_Handle handle) { return handle ? *handle : nullptr; }

// A layer whose pixels can be read: pixel data, a positive size and rows at
// least as long as its width. Anything else counts as no layer.
bool HasPixels(const PF_LayerDef& layer);

// The layer as the frame logic reads it; without pixels when !HasPixels.
inline LayerView ViewOf(const PF_LayerDef& layer) {
  if (!HasPixels(layer)) return {};
  return {static_cast<const uint8_t*>(layer.data), layer.width, layer.height, layer.rowbytes};
}

// The size the host renders at: the layer size reduced by a downsampling
// fraction whose denominator exceeds its numerator. Any other fraction, a
// zero denominator included, counts as 1/1.
int32_t Downsampled(int32_t size, const PF_RationalScale& ratio);
// The same factor applied to a coordinate.
float DownsampledCoordinate(float value, const PF_RationalScale& ratio);

// A parameter checked out from the host at some time. Check it in with
// Checkin(), which returns the host's code; one still out when this object
// goes away (an early return, an exception) is checked in then.
class CheckedOutParam {
 public:
  CheckedOutParam(const PF_InData& in, int32_t index, int32_t time);
  ~CheckedOutParam();
  CheckedOutParam(const CheckedOutParam&) = delete;
  CheckedOutParam& operator=(const CheckedOutParam&) = delete;

  PF_Err checkoutError() const { return checkoutError_; }
  const PF_ParamDef& def() const { return def_; }
  PF_Err Checkin();

 private:
  const PF_InData& in_;
  PF_ParamDef def_{};
  PF_Err checkoutError_;
  bool out_ = false;
};

// A handle locked for the life of this object.
class LockedHandle {
 public:
  LockedHandle(const PF_InData& in, PF_Handle handle);
  ~LockedHandle();
  LockedHandle(const LockedHandle&) = delete;
  LockedHandle& operator=(const LockedHandle&) = delete;
  void* data() const { return data_; }

 private:
  const PF_InData& in_;
  PF_Handle handle_;
  void* data_;
};

// The host's time after the current frame, never beyond the composition.
int32_t NextTime(const PF_InData& in);

// A popup or integer slider: its low 16 bits, signed.
inline int16_t LowWord(int32_t v) { return static_cast<int16_t>(v); }

}  // namespace gw
