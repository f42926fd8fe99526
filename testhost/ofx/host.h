// An OpenFX host of our own: it loads a plug-in binary and drives its
// plug-ins as an application does (load, describe, describe in context,
// create instance, the region and frame actions, render, instance changed,
// destroy, unload), strict about every suite call. What a plug-in does wrong
// (see property_set.h and the checks of each suite) is kept as a problem for
// the tests; the program can render through it too.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ofx/api/core.h"
#include "ofx/api/image_effect.h"
#include "testhost/ofx/params.h"
#include "testhost/ofx/problems.h"
#include "testhost/ofx/property_set.h"

namespace gw::ofxhost {

// Pixels the host hands out or gets back, in the host's pixel coordinates at
// one render scale: rows from the bottom, `rowBytes` apart, the first pixel
// `origin` bytes into `bytes` (a render's output keeps guard pixels around
// its window).
struct HostImage {
  OfxRectI bounds{};
  std::string depth = kOfxBitDepthFloat;
  std::string components = kOfxImageComponentRGBA;
  size_t rowBytes = 0;
  size_t origin = 0;
  size_t pixelBytes = 16;  // of the depth and components; Make sets it
  std::vector<uint8_t> bytes;

  // Pixels of 0 over `bounds`.
  static HostImage Make(OfxRectI bounds, std::string depth, std::string components);
  int32_t Width() const { return bounds.x2 - bounds.x1; }
  int32_t Height() const { return bounds.y2 - bounds.y1; }
  size_t SampleBytes() const;
  int32_t Channels() const;
  size_t PixelBytes() const { return pixelBytes; }
  uint8_t* Pixel(int32_t x, int32_t y) {
    return bytes.data() + origin + static_cast<size_t>(y - bounds.y1) * rowBytes +
           static_cast<size_t>(x - bounds.x1) * pixelBytes;
  }
  const uint8_t* Pixel(int32_t x, int32_t y) const {
    return const_cast<HostImage*>(this)->Pixel(x, y);
  }
};

// The images of a clip over time, at the render scale being rendered.
using ImageSource = std::function<std::shared_ptr<const HostImage>(double time)>;

struct HostOptions {
  bool offerRgb = true;            // kOfxImageComponentRGB among the host's components
  bool persistentMessages = true;  // the message suite's version 2
  // An input image holds only the region asked for (a copy), so that a read
  // beyond it is caught; otherwise the clip's whole image is handed out.
  bool cropImages = true;
  OfxPointD projectSize{1920.0, 1080.0};
  // kOfxPropHostOSHandle: the application's main window (an HWND on
  // Windows); null when the host names none.
  void* mainWindow = nullptr;
};

struct Message {
  std::string type;
  std::string text;
  bool persistent;
};

// A parameter's value, by name, as a project gives it.
using ParamValues = std::map<std::string, ParamValue>;

struct RenderRequest {
  double time = 0.0;
  OfxRectI window{};  // pixels
  OfxPointD renderScale{1.0, 1.0};
  bool draft = false;
};

// One image a plug-in fetched.
struct Fetch {
  std::string clip;
  double time;
  OfxRectI pixels;
};

class EffectObject;
class ClipObject;

class Instance {
 public:
  ~Instance();  // the destroy instance action
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // --- Parameters ---
  void SetValue(const std::string& name, ParamValue value);
  void SetKey(const std::string& name, double time, ParamValue value);
  ParamValue Value(const std::string& name, double time = 0.0) const;
  const PropertySet& ParamProps(const std::string& name) const;
  std::vector<std::string> ParamNames() const;

  // --- Clips ---
  void Connect(const std::string& clip, ImageSource images, OfxRectD region, std::string depth,
               std::string components, double pixelAspectRatio = 1.0);
  void Disconnect(const std::string& clip);
  std::vector<std::string> ClipNames() const;
  const PropertySet& ClipProps(const std::string& clip) const;

  // --- Actions: each returns the plug-in's status ---
  // Asks the regions of interest and frames needed, then renders the window
  // into `output` (a fresh image over the window).
  OfxStatus Render(const RenderRequest& request, HostImage& output);
  OfxStatus IsIdentity(const RenderRequest& request, std::string& clip, double& time);
  OfxStatus RegionOfDefinition(double time, OfxPointD renderScale, OfxRectD& region);
  OfxStatus FramesNeeded(double time, std::map<std::string, std::vector<double>>& ranges);
  OfxStatus BeginSequenceRender(double first, double last, OfxPointD renderScale) {
    return SequenceRender(kOfxImageEffectActionBeginSequenceRender, first, last, renderScale);
  }
  OfxStatus EndSequenceRender(double first, double last, OfxPointD renderScale) {
    return SequenceRender(kOfxImageEffectActionEndSequenceRender, first, last, renderScale);
  }
  // What an application asks when it runs short of memory.
  OfxStatus PurgeCaches();
  // Tells the plug-in that a parameter changed (between the begin and end
  // instance-changed actions), then tells it of every parameter it set
  // itself meanwhile, with the reason "plug-in edited", as applications do.
  OfxStatus InstanceChanged(const std::string& param, double time,
                            const char* reason = kOfxChangeUserEdited);
  // What a user does in the parameters panel: a value typed in (one step of
  // the undo history) or a push button pressed, each told to the plug-in.
  OfxStatus Edit(const std::string& name, ParamValue value, double time = 0.0);
  OfxStatus Press(const std::string& button, double time = 0.0);
  // The undo history, oldest first: each step is named after the edit block
  // the plug-in opened, or after the one parameter changed.
  std::vector<std::string> UndoHistory() const;
  // Edit > Undo: the last step taken back and its parameters told to the
  // plug-in; false when there is nothing to undo.
  bool Undo(double time = 0.0);

  // From the nth call of the effect suite's abort on, the render is to stop
  // (0: never).
  void AbortAtCall(int n) { abortAt_ = n, abortCalls_ = 0; }
  // The render is to stop whenever `check` says so (set between renders).
  void AbortWhen(std::function<bool()> check) { abortWhen_ = std::move(check); }
  // The images the plug-in fetched since last asked.
  std::vector<Fetch> TakeFetches();
  // The persistent message on the instance ("" when none).
  std::string PersistentMessage() const;

 private:
  friend class Host;
  friend struct SuiteCalls;
  Instance(Host& host, size_t plugin, std::unique_ptr<EffectObject> effect);
  ClipObject& Clip(const std::string& name) const;
  void UpdateClipPreferences();
  OfxStatus SequenceRender(const char* action, double first, double last, OfxPointD scale);
  OfxStatus Changed(const std::string& param, double time, const char* reason);
  // A parameter the plug-in set during an action, to be told back to it.
  void NotePluginEdit(const std::string& param);

  Host& host_;
  size_t plugin_;
  std::unique_ptr<EffectObject> effect_;
  std::vector<std::string> slaves_;  // parameters the clip preferences depend on
  std::atomic<int> abortAt_{0};
  std::atomic<int> abortCalls_{0};
  std::function<bool()> abortWhen_;
  mutable std::mutex mutex_;
  std::vector<Fetch> fetches_;
  std::string persistentMessage_;
  std::vector<std::string> pluginEdits_;
};

class Host {
 public:
  // Loads the binary (dlopen, LoadLibrary on Windows); throws
  // std::runtime_error when it cannot, or it lacks the two entry points.
  explicit Host(const std::string& binaryPath, HostOptions options = {});
  // A binary's entry points linked into the program.
  Host(OfxGetNumberOfPluginsFunction count, OfxGetPluginFunction get, HostOptions options = {});
  // Unloads every plug-in loaded (instances must be gone first).
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  std::vector<std::string> Identifiers() const;
  // Loads and describes the plug-in, the first time: its descriptor, and
  // the contexts it was described in.
  const PropertySet& Describe(const std::string& identifier);
  std::vector<std::string> Contexts(const std::string& identifier);
  // A context's descriptor: its clips' and parameters' properties.
  const PropertySet& ClipDescriptor(const std::string& identifier, const std::string& context,
                                    const std::string& clip);
  std::vector<std::string> ParamDescriptorNames(const std::string& identifier,
                                                const std::string& context);
  const PropertySet& ParamDescriptor(const std::string& identifier, const std::string& context,
                                     const std::string& param);

  // Creates an instance in a described context; `project` sets parameter
  // values before the plug-in sees the instance, as opening a project does.
  // Null when the plug-in refuses it.
  std::unique_ptr<Instance> CreateInstance(const std::string& identifier,
                                           const std::string& context,
                                           const ParamValues& project = {});

  // --- Memory ---
  // The nth allocation from now (memory suite or image memory) fails.
  void FailAllocation(int n) { failAllocationAt_ = n; }
  size_t LiveAllocations() const;

  std::vector<Message> TakeMessages();
  std::vector<std::string> TakeProblems();

  const HostOptions& options() const { return options_; }
  ProblemSink& sink() { return sink_; }

 private:
  friend class Instance;
  friend struct SuiteCalls;
  struct Plugin;
  struct Binary;

  void Start();
  Plugin& Find(const std::string& identifier);
  EffectObject& ContextDescriptor(const std::string& identifier, const std::string& context);
  void DefineHostProperties();
  OfxStatus Call(size_t plugin, const char* action, const void* handle, PropertySet* inArgs,
                 PropertySet* outArgs, ActionContext& context);
  void* Allocate(size_t bytes);
  bool Free(void* data);
  void AddMessage(Message message);

  HostOptions options_;
  ProblemSink sink_;
  std::unique_ptr<Binary> binary_;
  OfxHost ofxHost_{};
  PropertySet hostProps_;
  std::vector<Plugin> plugins_;
  std::atomic<int> failAllocationAt_{0};
  mutable std::mutex mutex_;
  std::map<void*, size_t> allocations_;
  std::vector<Message> messages_;
};

}  // namespace gw::ofxhost
