// A host of our own. It loads a plug-in module, finds `main` and drives it
// as the compositing host does: the callbacks, the handles, parameter values
// and layers per time, quality, downsampling and shutter angle.
//
// Its checker (testhost/checker.h) keeps the books of handles, locks and
// checkouts; the host adds the problems only a driver sees (a PiPL that
// disagrees with global setup, writes outside the output, misplaced calls).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/sdk/pf_api.h"
#include "testhost/checker.h"
#include "testhost/image.h"
#include "testhost/pipl_reader.h"
#include "testhost/plugin_module.h"
#include "testhost/tracks.h"

namespace gw::testhost {

// A parameter as the plug-in declared it, with its popup items copied.
struct Declaration {
  PF_ParamDef def;
  std::string choices;
};

// Where a layer parameter's image comes from, per time; null for none.
using LayerSource = std::function<std::shared_ptr<const Image>(int32_t time)>;

// The callbacks whose answer a test may choose (tests/support/host_failures.h).
enum class HostCall : uint8_t { NewHandle, AddParam, CheckoutParam, Progress };

// Host settings that hold for every command.
struct HostSettings {
  int32_t width = 1920;      // the layer's full size
  int32_t height = 1080;
  int32_t quality = PF_Quality_HI;
  int32_t downsample = 1;    // render at 1/downsample in both axes
  PF_Fixed shutterAngle = 0; // fraction of the frame interval, 1.0 = 360 degrees
  int32_t timeStep = 1;      // one frame
  uint32_t timeScale = 24;   // time units per second
  int32_t totalTime = 1;     // the composition's duration, in time units
  // Raw downsampling fractions; when set they replace `downsample`.
  std::optional<PF_RationalScale> downsampleX, downsampleY;
  // Checks of the module's conduct that cost a pass over the frame each:
  // the output starts as unwritten bytes, so that a pixel the module leaves
  // shows, and every row is followed by guard pixels. Off (the program),
  // rows lie side by side with only a guard row below, and only a failed
  // render's output is marked unwritten.
  bool strictOutput = true;
};

class TestHost {
 public:
  // Loads the module; throws std::runtime_error when it cannot be loaded or
  // has no `main`. The PiPL is read as the platform keeps it (see
  // PluginModule); its absence is a problem at global setup.
  explicit TestHost(const std::string& modulePath);
  // Drives an entry point linked into the program (no module, no PiPL).
  TestHost(PF_EntryPoint entry, const std::string& name);
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  HostSettings& settings() { return settings_; }
  const std::optional<PiplInfo>& pipl() const { return pipl_; }
  const std::string& piplError() const { return piplError_; }
  const std::string& modulePath() const { return modulePath_; }

  // --- Commands. Each returns the plug-in's code. ---
  PF_Err About();
  PF_Err GlobalSetup();
  PF_Err GlobalSetdown();
  PF_Err ParamsSetup();
  PF_Err SequenceSetup();
  // Hands back stored sequence data, as opening a saved project does; with
  // nothing, the plug-in is asked to resetup without data.
  PF_Err SequenceResetup(std::optional<std::vector<uint8_t>> stored);
  PF_Err SequenceFlatten();
  PF_Err SequenceSetdown();
  PF_Err DoDialog();
  PF_Err FrameSetup();
  // Renders one frame at `time`: `input` is the full-size layer; `output`
  // receives the rendered (downsampled) frame.
  PF_Err Render(int32_t time, const Image& input, Image& output);
  // Any command code with the host's current records.
  PF_Err Command(PF_Cmd cmd);

  // --- Parameter values (host indexes; 0 is the input layer). ---
  const std::vector<Declaration>& declarations() const { return declarations_; }
  // The host index of the declared parameter with this name, or -1.
  int32_t IndexOf(const std::string& name) const;
  void SetValue(int32_t index, const ParamValue& v);            // constant
  void SetKey(int32_t index, int32_t time, const ParamValue& v);  // keyframe
  void SetLayer(int32_t index, LayerSource source);
  void SetLayer(int32_t index, std::shared_ptr<const Image> image);  // at every time
  // The value the host gives at `time` (points in full-size layer pixels).
  ParamValue ValueAt(int32_t index, int32_t time) const;

  // --- What the plug-in reported. ---
  const PF_OutData& lastOut() const { return out_; }
  uint32_t reportedVersion() const { return reportedVersion_; }
  PF_OutFlags reportedOutFlags() const { return reportedOutFlags_; }
  const std::string& reportedName() const { return reportedName_; }
  int32_t reportedNumParams() const { return reportedNumParams_; }
  bool hasGlobalData() const { return globalData_ != nullptr; }
  bool hasSequenceData() const { return sequenceData_ != nullptr; }
  // The bytes of the instance's sequence handle as they stand.
  std::vector<uint8_t> SequenceBytes() const;
  // The window the host names as its main window (a token of its own unless
  // a real one is set, before global setup, where the module asks for it).
  void* mainWindow() { return mainWindow_; }
  void SetMainWindow(void* window) { mainWindow_ = window; }

  // --- Progress and cancel. ---
  struct ProgressCall {
    int32_t current, total;
  };
  const std::vector<ProgressCall>& progressCalls() const { return progress_; }
  void ClearProgress() { progress_.clear(); }
  // Asked at every progress call; true cancels (the program's Ctrl-C).
  std::function<bool()> cancelRequested;
  // Called at every progress call after the checks (the program's bar).
  std::function<void(int32_t current, int32_t total)> onProgress;

  // Asked as one of the HostCall callbacks begins its work, once its own
  // checks are done: a nonzero code answers the call instead (a new handle:
  // none). Null: every call is served.
  std::function<PF_Err(HostCall)> interceptCall;

  // A layer source that threw (an unreadable file, say) during a checkout:
  // the checkout answered PF_Err_BAD_CALLBACK_PARAM and this keeps the
  // reason, since no exception may cross into the plug-in. Empty when none.
  std::string TakeCallbackError();

  // --- The checker. ---
  int32_t liveHandles() const { return checker_.liveHandles(); }
  int32_t heldLocks() const { return checker_.heldLocks(); }
  int32_t liveCheckouts() const { return checker_.liveCheckouts(); }
  int32_t handleAllocations() const { return handleAllocations_; }
  const std::vector<std::string>& problems() const { return checker_.problems(); }
  std::vector<std::string> TakeProblems() { return checker_.TakeProblems(); }

  // Callback entry points (C functions reach the host through these).
  struct Callbacks;

 private:
  void InstallCallbacks();
  PF_Err Run(PF_Cmd cmd, PF_ParamDef** params, PF_LayerDef* output);
  void PrepareInData(int32_t time);
  void AfterCommand(PF_Cmd cmd, PF_Err err);
  void Problem(std::string text) { checker_.Problem(std::move(text)); }
  const Declaration* Declared(int32_t index) const;
  std::shared_ptr<const Image> LayerAt(int32_t index, int32_t time) const;
  PF_LayerDef LayerDef(const Image* image) const;
  void FillParam(int32_t index, int32_t time, bool forParamsArray, PF_ParamDef& def,
                 std::shared_ptr<const Image>& keepAlive) const;
  int32_t Factor() const { return settings_.downsample > 1 ? settings_.downsample : 1; }
  PF_Err Intercepted(HostCall call) const {
    return interceptCall ? interceptCall(call) : PF_Err_NONE;
  }

  // Callbacks.
  PF_Err CheckoutParam(PF_ParamIndex index, int32_t time, PF_ParamDef* param);
  PF_Err CheckinParam(PF_ParamDef* param);
  PF_Err AddParam(PF_ParamIndex index, PF_ParamDef* def);
  PF_Err Progress(int32_t current, int32_t total);
  PF_Handle HostNewHandle(uint32_t size);
  void* HostLockHandle(PF_Handle handle);
  void HostUnlockHandle(PF_Handle handle);
  void HostDisposeHandle(PF_Handle handle);
  PF_Err GetPlatformData(PF_PlatDataID which, void* data);

  std::string modulePath_;
  std::unique_ptr<PluginModule> module_;
  PF_EntryPoint entry_ = nullptr;
  std::optional<PiplInfo> pipl_;
  std::string piplError_;
  bool checkPipl_ = true;

  HostSettings settings_;
  PF_UtilCallbacks utils_{};
  PF_InData in_{};
  PF_OutData out_{};
  PF_Handle globalData_ = nullptr;
  PF_Handle sequenceData_ = nullptr;
  PF_Cmd currentCommand_ = PF_Cmd_ABOUT;
  bool inCommand_ = false;
  int32_t mainWindowToken_ = 0;
  void* mainWindow_ = &mainWindowToken_;

  Checker checker_;
  int32_t handleAllocations_ = 0;

  std::shared_ptr<const Image> currentInput_;  // the input layer while rendering
  std::vector<Declaration> declarations_;
  std::map<int32_t, Track> tracks_;
  std::map<int32_t, LayerSource> layers_;

  uint32_t reportedVersion_ = 0;
  PF_OutFlags reportedOutFlags_ = 0;
  std::string reportedName_;
  int32_t reportedNumParams_ = 0;

  std::vector<ProgressCall> progress_;
  std::string callbackError_;
};

}  // namespace gw::testhost
