#include "testhost/test_host.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace gw::testhost {
namespace {

// The handle callbacks carry no effect reference: they reach the host that
// is running a command through this.
TestHost* runningHost = nullptr;

constexpr uint8_t kUnwrittenByte = 0x5A;    // output pixels before a render
constexpr int32_t kGuardPixels = 4;         // beyond each output row, and one row below
constexpr int32_t kParamsArraySlots = 32;   // entries past the declared ones are null

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", v);
  return text;
}

}  // namespace

struct TestHost::Callbacks {
  static TestHost& Host(PF_ProgPtr ref) { return *static_cast<TestHost*>(ref); }

  static PF_Err CheckoutParam(PF_ProgPtr ref, PF_ParamIndex index, int32_t time, int32_t,
                              uint32_t, PF_ParamDef* param) {
    return Host(ref).CheckoutParam(index, time, param);
  }
  static PF_Err CheckinParam(PF_ProgPtr ref, PF_ParamDef* param) {
    return Host(ref).CheckinParam(param);
  }
  static PF_Err AddParam(PF_ProgPtr ref, PF_ParamIndex index, PF_ParamDef* def) {
    return Host(ref).AddParam(index, def);
  }
  static PF_Err Abort(PF_ProgPtr) { return PF_Err_NONE; }
  static PF_Err Progress(PF_ProgPtr ref, int32_t current, int32_t total) {
    return Host(ref).Progress(current, total);
  }
  static PF_Handle NewHandle(uint32_t size) {
    return runningHost ? runningHost->HostNewHandle(size) : nullptr;
  }
  static void* LockHandle(PF_Handle handle) {
    return runningHost ? runningHost->HostLockHandle(handle) : nullptr;
  }
  static void UnlockHandle(PF_Handle handle) {
    if (runningHost) runningHost->HostUnlockHandle(handle);
  }
  static void DisposeHandle(PF_Handle handle) {
    if (runningHost) runningHost->HostDisposeHandle(handle);
  }
  static PF_Err GetPlatformData(PF_ProgPtr ref, PF_PlatDataID which, void* data) {
    return Host(ref).GetPlatformData(which, data);
  }
  static char* Strcpy(char* dest, const char* src) { return std::strcpy(dest, src); }
  static int Sprintf(char* buffer, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = std::vsprintf(buffer, format, args);
    va_end(args);
    return n;
  }
};

TestHost::TestHost(const std::string& modulePath)
    : modulePath_(modulePath), module_(std::make_unique<PluginModule>(modulePath)) {
  entry_ = reinterpret_cast<PF_EntryPoint>(module_->Symbol("main"));
  if (!entry_) throw std::runtime_error("exports no main");
  if (auto bytes = module_->PiplBytes(piplError_)) pipl_ = ReadPipl(*bytes, piplError_);
  InstallCallbacks();
}

TestHost::TestHost(PF_EntryPoint entry, const std::string& name)
    : modulePath_(name), entry_(entry), checkPipl_(false) {
  InstallCallbacks();
}

void TestHost::InstallCallbacks() {
  utils_.host_new_handle = &Callbacks::NewHandle;
  utils_.host_lock_handle = &Callbacks::LockHandle;
  utils_.host_unlock_handle = &Callbacks::UnlockHandle;
  utils_.host_dispose_handle = &Callbacks::DisposeHandle;
  utils_.get_platform_data = &Callbacks::GetPlatformData;
  utils_.ansi.strcpy = &Callbacks::Strcpy;
  utils_.ansi.sprintf = &Callbacks::Sprintf;
}

TestHost::~TestHost() = default;

// ---------------------------------------------------------------------------
// Commands

void TestHost::PrepareInData(int32_t time) {
  in_ = PF_InData{};
  in_.inter.checkout_param = &Callbacks::CheckoutParam;
  in_.inter.checkin_param = &Callbacks::CheckinParam;
  in_.inter.add_param = &Callbacks::AddParam;
  in_.inter.abort = &Callbacks::Abort;
  in_.inter.progress = &Callbacks::Progress;
  in_.utils = &utils_;
  in_.effect_ref = this;
  in_.quality = settings_.quality;
  in_.version = PF_SpecVersion{11, 0};
  in_.num_params = static_cast<int32_t>(declarations_.size()) + 1;
  in_.current_time = time;
  in_.time_step = settings_.timeStep;
  in_.local_time_step = settings_.timeStep;
  in_.total_time = settings_.totalTime;
  in_.time_scale = settings_.timeScale;
  in_.shutter_angle = settings_.shutterAngle;
  in_.width = settings_.width;
  in_.height = settings_.height;
  in_.extent_hint = PF_Rect{0, 0, static_cast<int16_t>(settings_.height),
                            static_cast<int16_t>(settings_.width)};
  const PF_RationalScale ratio{1, static_cast<uint32_t>(Factor())};
  in_.downsample_x = settings_.downsampleX.value_or(ratio);
  in_.downsample_y = settings_.downsampleY.value_or(ratio);
  in_.pixel_aspect_ratio = PF_RationalScale{1, 1};
  in_.global_data = globalData_;
  in_.sequence_data = sequenceData_;

  out_ = PF_OutData{};
  out_.global_data = globalData_;
  out_.sequence_data = sequenceData_;
}

PF_Err TestHost::Run(PF_Cmd cmd, PF_ParamDef** params, PF_LayerDef* output) {
  TestHost* previous = runningHost;
  runningHost = this;
  currentCommand_ = cmd;
  inCommand_ = true;
  const PF_Err err = entry_(cmd, &in_, &out_, params, output, nullptr);
  inCommand_ = false;
  runningHost = previous;
  AfterCommand(cmd, err);
  return err;
}

void TestHost::AfterCommand(PF_Cmd cmd, PF_Err err) {
  if (cmd == PF_Cmd_GLOBAL_SETUP && err == PF_Err_NONE) {
    reportedVersion_ = out_.my_version;
    reportedOutFlags_ = out_.out_flags;
    reportedName_.assign(out_.name, strnlen(out_.name, sizeof out_.name));
    if (!checkPipl_) {
      // an entry point linked in: no PiPL to compare with
    } else if (pipl_) {
      if (pipl_->version != reportedVersion_) {
        Problem("global setup reports version " + Hex(reportedVersion_) + ", the PiPL " +
                Hex(pipl_->version));
      }
      if (pipl_->outFlags != static_cast<uint32_t>(reportedOutFlags_)) {
        Problem("global setup reports out flags " + Hex(reportedOutFlags_) + ", the PiPL " +
                Hex(pipl_->outFlags));
      }
      if (reportedName_.empty()) Problem("global setup reports no name");
    } else {
      Problem("no usable PiPL: " + piplError_);
    }
  }
  if (cmd == PF_Cmd_PARAMS_SETUP) reportedNumParams_ = out_.num_params;

  // The host keeps what the plug-in hands back, and forgets what it set down.
  globalData_ = cmd == PF_Cmd_GLOBAL_SETDOWN ? nullptr : out_.global_data;
  sequenceData_ = cmd == PF_Cmd_SEQUENCE_SETDOWN ? nullptr : out_.sequence_data;
  checker_.AfterCommand(cmd, globalData_, sequenceData_);
}

PF_Err TestHost::Command(PF_Cmd cmd) {
  PrepareInData(0);
  return Run(cmd, nullptr, nullptr);
}

PF_Err TestHost::About() { return Command(PF_Cmd_ABOUT); }
PF_Err TestHost::GlobalSetup() { return Command(PF_Cmd_GLOBAL_SETUP); }
PF_Err TestHost::GlobalSetdown() { return Command(PF_Cmd_GLOBAL_SETDOWN); }
PF_Err TestHost::SequenceSetup() { return Command(PF_Cmd_SEQUENCE_SETUP); }
PF_Err TestHost::SequenceFlatten() { return Command(PF_Cmd_SEQUENCE_FLATTEN); }
PF_Err TestHost::SequenceSetdown() { return Command(PF_Cmd_SEQUENCE_SETDOWN); }
PF_Err TestHost::DoDialog() { return Command(PF_Cmd_DO_DIALOG); }
PF_Err TestHost::FrameSetup() { return Command(PF_Cmd_FRAME_SETUP); }

PF_Err TestHost::ParamsSetup() {
  declarations_.clear();
  tracks_.clear();
  return Command(PF_Cmd_PARAMS_SETUP);
}

PF_Err TestHost::SequenceResetup(std::optional<std::vector<uint8_t>> stored) {
  if (stored) {
    // A project being opened: the host's own handle holding the stored bytes
    // replaces whatever the instance had.
    if (sequenceData_) checker_.Release(sequenceData_);
    sequenceData_ = checker_.NewHandle(static_cast<uint32_t>(stored->size()));
    if (sequenceData_) std::memcpy(*sequenceData_, stored->data(), stored->size());
  }
  return Command(PF_Cmd_SEQUENCE_RESETUP);
}

PF_Err TestHost::Render(int32_t time, const Image& input, Image& output) {
  settings_.width = input.width;
  settings_.height = input.height;
  PrepareInData(time);
  // The output has the size the host renders at, by its own fractions.
  const auto reduced = [](int32_t size, const PF_RationalScale& r) {
    return r.den > static_cast<uint32_t>(r.num)
               ? static_cast<int32_t>(static_cast<int64_t>(size) * r.num / r.den)
               : size;
  };
  const int32_t w = reduced(input.width, in_.downsample_x);
  const int32_t h = reduced(input.height, in_.downsample_y);
  // At full size the plug-in reads the caller's image itself: it outlives
  // the command, and every checkout of it ends with the command.
  const std::shared_ptr<const Image> scaledInput =
      Factor() == 1 ? std::shared_ptr<const Image>(std::shared_ptr<const Image>(), &input)
                    : std::make_shared<const Image>(Downsample(input, Factor()));

  // Parameters at this time; the input layer at index 0.
  std::vector<PF_ParamDef> defs(kParamsArraySlots);
  std::vector<PF_ParamDef*> params(kParamsArraySlots, nullptr);
  std::vector<std::shared_ptr<const Image>> keepAlive(kParamsArraySlots);
  defs[0].param_type = PF_Param_LAYER;
  defs[0].u.ld = LayerDef(scaledInput.get());
  params[0] = &defs[0];
  const int32_t count = std::min<int32_t>(static_cast<int32_t>(declarations_.size()) + 1,
                                          kParamsArraySlots);
  for (int32_t i = 1; i < count; ++i) {
    FillParam(i, time, true, defs[i], keepAlive[i]);
    params[i] = &defs[i];
  }
  currentInput_ = scaledInput;

  // The output: unwritten bytes, guard pixels right of every row and a
  // guard row below (without strict checks only the guard row). It is laid
  // out in the caller's image, whose pixels are then moved together in
  // place; an output that is the input itself gets pixels of its own.
  const bool strict = settings_.strictOutput;
  const int32_t stride = w + (strict ? kGuardPixels : 0);
  const size_t framePixels = static_cast<size_t>(w) * h;
  std::vector<PF_Pixel> own;
  std::vector<PF_Pixel>& buffer = &output == &input ? own : output.pixels;
  buffer.resize(static_cast<size_t>(stride) * (h + 1));
  const auto markUnwritten = [](PF_Pixel* from, size_t count) {
    std::memset(from, kUnwrittenByte, count * sizeof(PF_Pixel));
  };
  if (strict) {
    markUnwritten(buffer.data(), buffer.size());
  } else {
    markUnwritten(buffer.data() + framePixels, static_cast<size_t>(stride));
  }
  PF_LayerDef outDef{};
  outDef.data = buffer.data();
  outDef.rowbytes = stride * 4;
  outDef.width = w;
  outDef.height = h;
  outDef.extent_hint = PF_Rect{0, 0, static_cast<int16_t>(h), static_cast<int16_t>(w)};

  const PF_Err err = Run(PF_Cmd_RENDER, params.data(), &outDef);
  currentInput_.reset();

  const auto unwritten = [](const PF_Pixel* from, size_t count) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(from);
    return std::all_of(bytes, bytes + count * sizeof(PF_Pixel),
                       [](uint8_t b) { return b == kUnwrittenByte; });
  };
  bool guardsIntact = unwritten(buffer.data() + static_cast<size_t>(h) * stride, stride);
  for (int32_t y = 0; strict && y < h && guardsIntact; ++y) {
    guardsIntact = unwritten(buffer.data() + static_cast<size_t>(y) * stride + w, kGuardPixels);
  }
  if (!guardsIntact) Problem("the render wrote outside the output frame");

  // Rows side by side, the guards dropped.
  for (int32_t y = 1; y < h && stride != w; ++y) {
    std::memmove(buffer.data() + static_cast<size_t>(y) * w,
                 buffer.data() + static_cast<size_t>(y) * stride,
                 static_cast<size_t>(w) * sizeof(PF_Pixel));
  }
  buffer.resize(framePixels);
  // A failed render hands back no pixels of an earlier frame.
  if (!strict && err != PF_Err_NONE) markUnwritten(buffer.data(), framePixels);
  if (&buffer == &own) output.pixels = std::move(own);
  output.width = w;
  output.height = h;
  return err;
}

// ---------------------------------------------------------------------------
// Parameters

int32_t TestHost::IndexOf(const std::string& name) const {
  for (size_t i = 0; i < declarations_.size(); ++i) {
    if (name == declarations_[i].def.name) return static_cast<int32_t>(i) + 1;
  }
  return -1;
}

const Declaration* TestHost::Declared(int32_t index) const {
  if (index < 1 || index > static_cast<int32_t>(declarations_.size())) return nullptr;
  return &declarations_[index - 1];
}

void TestHost::SetValue(int32_t index, const ParamValue& v) {
  Track& track = tracks_[index];
  track.Clear();
  track.SetKey(0, v);
}

void TestHost::SetKey(int32_t index, int32_t time, const ParamValue& v) {
  const Declaration* d = Declared(index);
  const bool hold = d && (d->def.param_type == PF_Param_POPUP ||
                          (d->def.flags & PF_ParamFlag_CANNOT_INTERP));
  auto it = tracks_.try_emplace(index, Track(hold)).first;
  it->second.SetKey(time, v);
}

void TestHost::SetLayer(int32_t index, LayerSource source) { layers_[index] = std::move(source); }

void TestHost::SetLayer(int32_t index, std::shared_ptr<const Image> image) {
  layers_[index] = [image](int32_t) { return image; };
}

ParamValue TestHost::ValueAt(int32_t index, int32_t time) const {
  if (auto it = tracks_.find(index); it != tracks_.end() && !it->second.empty()) {
    return it->second.At(time);
  }
  // A new instance takes the declared defaults.
  ParamValue v;
  const Declaration* d = Declared(index);
  if (!d) return v;
  const PF_ParamDefUnion& u = d->def.u;
  switch (d->def.param_type) {
    case PF_Param_SLIDER: v.value = u.sd.dephault; break;
    case PF_Param_FIX_SLIDER: v.value = u.fd.dephault; break;
    case PF_Param_ANGLE: v.value = u.ad.dephault; break;
    case PF_Param_POPUP: v.value = u.pd.dephault; break;
    case PF_Param_COLOR: v.colour = u.cd.dephault; break;
    case PF_Param_POINT:
      // Defaults are percentages of the layer.
      v.value = static_cast<int32_t>(static_cast<int64_t>(u.td.x_dephault) * settings_.width / 100);
      v.y = static_cast<int32_t>(static_cast<int64_t>(u.td.y_dephault) * settings_.height / 100);
      break;
    default: break;
  }
  return v;
}

std::shared_ptr<const Image> TestHost::LayerAt(int32_t index, int32_t time) const {
  if (index == 0) return currentInput_;
  auto it = layers_.find(index);
  if (it == layers_.end() || !it->second) return nullptr;
  std::shared_ptr<const Image> image = it->second(time);
  if (!image || Factor() == 1) return image;
  return std::make_shared<const Image>(Downsample(*image, Factor()));
}

PF_LayerDef TestHost::LayerDef(const Image* image) const {
  PF_LayerDef def{};
  if (!image) return def;  // no layer chosen: no pixel data
  def.data = const_cast<PF_Pixel*>(image->pixels.data());
  def.rowbytes = image->width * 4;
  def.width = image->width;
  def.height = image->height;
  def.extent_hint = PF_Rect{0, 0, static_cast<int16_t>(image->height),
                            static_cast<int16_t>(image->width)};
  return def;
}

void TestHost::FillParam(int32_t index, int32_t time, bool forParamsArray, PF_ParamDef& def,
                         std::shared_ptr<const Image>& keepAlive) const {
  if (index == 0) {
    def = PF_ParamDef{};
    def.param_type = PF_Param_LAYER;
    keepAlive = currentInput_;
    def.u.ld = LayerDef(keepAlive.get());
    return;
  }
  const Declaration& d = *Declared(index);
  def = d.def;
  def.u.pd.namesptr = def.param_type == PF_Param_POPUP ? d.choices.c_str() : def.u.pd.namesptr;
  const ParamValue v = ValueAt(index, time);
  switch (def.param_type) {
    case PF_Param_LAYER:
      // The array carries no layer pixels: layers are checked out.
      keepAlive = forParamsArray ? nullptr : LayerAt(index, time);
      def.u.ld = LayerDef(keepAlive.get());
      break;
    case PF_Param_SLIDER: def.u.sd.value = v.value; break;
    case PF_Param_FIX_SLIDER: def.u.fd.value = v.value; break;
    case PF_Param_ANGLE: def.u.ad.value = v.value; break;
    case PF_Param_POPUP: def.u.pd.value = v.value; break;
    case PF_Param_COLOR: def.u.cd.value = v.colour; break;
    case PF_Param_POINT: {
      // The array holds points in the pixels of the frame being rendered; a
      // checkout gives them in pixels of the full-size layer.
      int64_t x = v.value, y = v.y;
      if (forParamsArray) {
        const auto scale = [](int64_t value, const PF_RationalScale& r) {
          return r.den > static_cast<uint32_t>(r.num) ? value * r.num / r.den : value;
        };
        x = scale(x, in_.downsample_x);
        y = scale(y, in_.downsample_y);
      }
      def.u.td.x_value = static_cast<PF_Fixed>(x);
      def.u.td.y_value = static_cast<PF_Fixed>(y);
      break;
    }
    default: break;
  }
}

// ---------------------------------------------------------------------------
// Callbacks

PF_Err TestHost::CheckoutParam(PF_ParamIndex index, int32_t time, PF_ParamDef* param) {
  if (!inCommand_) Problem("checkout_param outside a command");
  if (!param) {
    Problem("checkout_param without a record");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  if (const PF_Err e = Intercepted(HostCall::CheckoutParam)) return e;
  if (index < 0 || index > static_cast<int32_t>(declarations_.size())) {
    Problem("checkout_param of index " + std::to_string(index) + ", which is not declared");
    return PF_Err_INVALID_INDEX;
  }
  std::shared_ptr<const Image> keep;
  try {
    FillParam(index, time, false, *param, keep);
  } catch (const std::exception& e) {
    if (callbackError_.empty()) callbackError_ = e.what();
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  param->uu.id = checker_.Checkout(param, std::move(keep));
  return PF_Err_NONE;
}

PF_Err TestHost::CheckinParam(PF_ParamDef* param) {
  return checker_.Checkin(param) ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err TestHost::AddParam(PF_ParamIndex index, PF_ParamDef* def) {
  if (currentCommand_ != PF_Cmd_PARAMS_SETUP) Problem("add_param outside parameter setup");
  if (const PF_Err e = Intercepted(HostCall::AddParam)) return e;
  if (!def || index != -1) {
    Problem("add_param with index " + std::to_string(index) + " (only -1 appends)");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  Declaration d{*def, {}};
  if (def->param_type == PF_Param_POPUP && def->u.pd.namesptr) d.choices = def->u.pd.namesptr;
  declarations_.push_back(std::move(d));
  return PF_Err_NONE;
}

PF_Err TestHost::Progress(int32_t current, int32_t total) {
  progress_.push_back({current, total});
  if (current < 0 || current >= total) {
    Problem("progress " + std::to_string(current) + " of " + std::to_string(total));
  }
  if (onProgress) onProgress(current, total);
  if (const PF_Err e = Intercepted(HostCall::Progress)) return e;
  if (cancelRequested && cancelRequested()) return PF_Interrupt_CANCEL;
  return PF_Err_NONE;
}

PF_Handle TestHost::HostNewHandle(uint32_t size) {
  if (!inCommand_) Problem("host_new_handle outside a command");
  ++handleAllocations_;
  if (Intercepted(HostCall::NewHandle) != PF_Err_NONE) return nullptr;
  return checker_.NewHandle(size);
}

void* TestHost::HostLockHandle(PF_Handle handle) { return checker_.Lock(handle); }
void TestHost::HostUnlockHandle(PF_Handle handle) { checker_.Unlock(handle); }
void TestHost::HostDisposeHandle(PF_Handle handle) { checker_.Dispose(handle); }

PF_Err TestHost::GetPlatformData(PF_PlatDataID which, void* data) {
  if (which != PF_PlatData_MAIN_WND || !data) return PF_Err_BAD_CALLBACK_PARAM;
  std::memcpy(data, &mainWindow_, sizeof mainWindow_);
  return PF_Err_NONE;
}

// ---------------------------------------------------------------------------
// What the plug-in left

std::vector<uint8_t> TestHost::SequenceBytes() const {
  if (!sequenceData_) return {};
  return checker_.Bytes(sequenceData_);
}

std::string TestHost::TakeCallbackError() {
  std::string taken;
  taken.swap(callbackError_);
  return taken;
}

}  // namespace gw::testhost
