#include "host/host_calls.h"

#include <algorithm>

#include "render/numeric.h"

namespace gw {

void HostStrcpy(const PF_InData& in, char* dest, const char* src) {
  in.utils->ansi.strcpy(dest, src);
}

bool HasPixels(const PF_LayerDef& layer) {
  return layer.data != nullptr && layer.width > 0 && layer.height > 0 &&
         static_cast<int64_t>(layer.rowbytes) >= static_cast<int64_t>(layer.width) * 4;
}

namespace {
bool Reduces(const PF_RationalScale& ratio) {
  return ratio.den > static_cast<uint32_t>(ratio.num);
}
}  // namespace

int32_t Downsampled(int32_t size, const PF_RationalScale& ratio) {
  if (!Reduces(ratio)) return size;
  return TruncToInt(static_cast<double>(size) * static_cast<uint32_t>(ratio.num) / ratio.den);
}

float DownsampledCoordinate(float value, const PF_RationalScale& ratio) {
  if (!Reduces(ratio)) return value;
  return static_cast<float>(static_cast<double>(value) * static_cast<uint32_t>(ratio.num) /
                            ratio.den);
}

CheckedOutParam::CheckedOutParam(const PF_InData& in, int32_t index, int32_t time) : in_(in) {
  checkoutError_ = in.inter.checkout_param(in.effect_ref, index, time, in.local_time_step,
                                           in.time_scale, &def_);
  out_ = checkoutError_ == PF_Err_NONE;
}

CheckedOutParam::~CheckedOutParam() {
  if (out_) in_.inter.checkin_param(in_.effect_ref, &def_);
}

PF_Err CheckedOutParam::Checkin() {
  if (!out_) return PF_Err_NONE;
  out_ = false;
  return in_.inter.checkin_param(in_.effect_ref, &def_);
}

LockedHandle::LockedHandle(const PF_InData& in, PF_Handle handle)
    : in_(in), handle_(handle), data_(in.utils->host_lock_handle(handle)) {}

LockedHandle::~LockedHandle() { in_.utils->host_unlock_handle(handle_); }

int32_t NextTime(const PF_InData& in) {
  const int64_t next = static_cast<int64_t>(in.current_time) + in.local_time_step;
  return static_cast<int32_t>(std::clamp<int64_t>(std::min<int64_t>(next, in.total_time),
                                                  INT32_MIN, INT32_MAX));
}

}  // namespace gw
