#include "testhost/ofx/host.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "testhost/ofx/objects.h"
#include "testhost/ofx/suites.h"

namespace gw::ofxhost {
namespace {

// The byte an output image is filled with around the window it hands out;
// any other value there afterwards is a write outside the image.
constexpr uint8_t kGuardByte = 0xa5;
constexpr int32_t kGuardPixels = 2;

bool Contains(const std::vector<std::string>& values, const std::string& value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

void DefineEffectProperties(PropertySet& p, const std::string& type) {
  const auto text = [&](const char* n, std::string v) {
    p.Define(n, std::vector<std::string>{std::move(v)}, 1, Access::PluginToo);
  };
  const auto flag = [&](const char* n, int v) {
    p.Define(n, std::vector<int>{v}, 1, Access::PluginToo);
  };
  p.Define(kOfxPropType, std::vector<std::string>{type}, 1, Access::HostOnly);
  text(kOfxPropLabel, "");
  text(kOfxPropShortLabel, "");
  text(kOfxPropLongLabel, "");
  p.Define(kOfxPropVersion, PropType::Int, kAnyDimension, Access::PluginToo);
  text(kOfxPropVersionLabel, "");
  text(kOfxPropPluginDescription, "");
  p.Define(kOfxPropIcon, std::vector<std::string>{"", ""}, 2, Access::PluginToo);
  p.Define(kOfxImageEffectPropSupportedContexts, PropType::String, kAnyDimension,
           Access::PluginToo);
  text(kOfxImageEffectPluginPropGrouping, "");
  flag(kOfxImageEffectPluginPropSingleInstance, 0);
  text(kOfxImageEffectPluginRenderThreadSafety, kOfxImageEffectRenderInstanceSafe);
  flag(kOfxImageEffectPluginPropHostFrameThreading, 1);
  flag(kOfxImageEffectPropSupportsMultiResolution, 1);
  flag(kOfxImageEffectPropSupportsTiles, 1);
  flag(kOfxImageEffectPropTemporalClipAccess, 0);
  p.Define(kOfxImageEffectPropSupportedPixelDepths, PropType::String, kAnyDimension,
           Access::PluginToo);
  flag(kOfxImageEffectPluginPropFieldRenderTwiceAlways, 1);
  flag(kOfxImageEffectPropSupportsMultipleClipDepths, 0);
  flag(kOfxImageEffectPropSupportsMultipleClipPARs, 0);
  p.Define(kOfxImageEffectPropClipPreferencesSlaveParam, PropType::String, kAnyDimension,
           Access::PluginToo);
  p.Define(kOfxImageEffectPluginPropOverlayInteractV1, PropType::Pointer, 1, Access::PluginToo);
  p.Define(kOfxPluginPropFilePath, std::vector<std::string>{""}, 1, Access::HostOnly);
}

void DefineInstanceProperties(PropertySet& p, const std::string& context, const HostOptions& o) {
  p.Define(kOfxPropType, std::vector<std::string>{kOfxTypeImageEffectInstance}, 1,
           Access::HostOnly);
  p.Define(kOfxImageEffectPropContext, std::vector<std::string>{context}, 1, Access::HostOnly);
  p.Define(kOfxPropInstanceData, PropType::Pointer, 1, Access::PluginToo);
  p.Define(kOfxImageEffectPropProjectSize, std::vector<double>{o.projectSize.x, o.projectSize.y}, 2,
           Access::HostOnly);
  p.Define(kOfxImageEffectPropProjectExtent, std::vector<double>{o.projectSize.x, o.projectSize.y},
           2, Access::HostOnly);
  p.Define(kOfxImageEffectPropProjectOffset, std::vector<double>{0.0, 0.0}, 2, Access::HostOnly);
  p.Define(kOfxImageEffectPropProjectPixelAspectRatio, std::vector<double>{1.0}, 1,
           Access::HostOnly);
  p.Define(kOfxImageEffectInstancePropEffectDuration, std::vector<double>{100.0}, 1,
           Access::HostOnly);
  p.Define(kOfxImageEffectInstancePropSequentialRender, std::vector<int>{0}, 1, Access::PluginToo);
  p.Define(kOfxImageEffectPropSupportsTiles, std::vector<int>{1}, 1, Access::PluginToo);
  p.Define(kOfxImageEffectPropFrameRate, std::vector<double>{24.0}, 1, Access::HostOnly);
  p.Define(kOfxPropIsInteractive, std::vector<int>{0}, 1, Access::HostOnly);
}

void DefineClipProperties(PropertySet& p, const std::string& name, bool instance) {
  p.Define(kOfxPropType, std::vector<std::string>{kOfxTypeClip}, 1, Access::HostOnly);
  p.Define(kOfxPropName, std::vector<std::string>{name}, 1, Access::HostOnly);
  for (const char* label : {kOfxPropLabel, kOfxPropShortLabel, kOfxPropLongLabel}) {
    p.Define(label, std::vector<std::string>{name}, 1, Access::PluginToo);
  }
  p.Define(kOfxImageEffectPropSupportedComponents, PropType::String, kAnyDimension,
           Access::PluginToo);
  p.Define(kOfxImageEffectPropTemporalClipAccess, std::vector<int>{0}, 1, Access::PluginToo);
  p.Define(kOfxImageClipPropOptional, std::vector<int>{0}, 1, Access::PluginToo);
  p.Define(kOfxImageClipPropFieldExtraction, std::vector<std::string>{kOfxImageFieldDoubled}, 1,
           Access::PluginToo);
  p.Define(kOfxImageClipPropIsMask, std::vector<int>{0}, 1, Access::PluginToo);
  p.Define(kOfxImageEffectPropSupportsTiles, std::vector<int>{1}, 1, Access::PluginToo);
  if (!instance) return;
  const auto fixed = [&](const char* n, std::vector<std::string> v) {
    p.Define(n, std::move(v), 1, Access::HostOnly);
  };
  fixed(kOfxImageEffectPropPixelDepth, {kOfxBitDepthNone});
  fixed(kOfxImageEffectPropComponents, {kOfxImageComponentNone});
  fixed(kOfxImageClipPropUnmappedPixelDepth, {kOfxBitDepthNone});
  fixed(kOfxImageClipPropUnmappedComponents, {kOfxImageComponentNone});
  fixed(kOfxImageEffectPropPreMultiplication, {kOfxImagePreMultiplied});
  fixed(kOfxImageClipPropFieldOrder, {kOfxImageFieldNone});
  p.Define(kOfxImagePropPixelAspectRatio, std::vector<double>{1.0}, 1, Access::HostOnly);
  p.Define(kOfxImageEffectPropFrameRate, std::vector<double>{24.0}, 1, Access::HostOnly);
  p.Define(kOfxImageEffectPropUnmappedFrameRate, std::vector<double>{24.0}, 1, Access::HostOnly);
  p.Define(kOfxImageEffectPropFrameRange, std::vector<double>{0.0, 100.0}, 2, Access::HostOnly);
  p.Define(kOfxImageEffectPropUnmappedFrameRange, std::vector<double>{0.0, 100.0}, 2,
           Access::HostOnly);
  p.Define(kOfxImageClipPropConnected, std::vector<int>{0}, 1, Access::HostOnly);
  p.Define(kOfxImageClipPropContinuousSamples, std::vector<int>{0}, 1, Access::HostOnly);
}

}  // namespace

// ---------------------------------------------------------------------------
// Images and objects

HostImage HostImage::Make(OfxRectI bounds, std::string depth, std::string components) {
  HostImage image;
  image.bounds = bounds;
  image.depth = std::move(depth);
  image.components = std::move(components);
  image.pixelBytes = image.SampleBytes() * static_cast<size_t>(image.Channels());
  image.rowBytes = static_cast<size_t>(std::max(image.Width(), 0)) * image.pixelBytes;
  image.bytes.assign(image.rowBytes * static_cast<size_t>(std::max(image.Height(), 0)), 0);
  return image;
}

size_t HostImage::SampleBytes() const {
  if (depth == kOfxBitDepthByte) return 1;
  if (depth == kOfxBitDepthShort || depth == kOfxBitDepthHalf) return 2;
  return 4;
}

int32_t HostImage::Channels() const {
  if (components == kOfxImageComponentRGB) return 3;
  if (components == kOfxImageComponentAlpha) return 1;
  return 4;
}

ClipObject::ClipObject(const std::string& clipName, bool instance, ProblemSink& sink)
    : name(clipName), props("the " + clipName + " clip", sink) {
  DefineClipProperties(props, name, instance);
  Registry<ClipObject>::Add(this);
}

ClipObject::~ClipObject() { Registry<ClipObject>::Remove(this); }

EffectObject::EffectObject(EffectKind k, size_t p, std::string c, ProblemSink& sink)
    : kind(k),
      plugin(p),
      context(std::move(c)),
      props(k == EffectKind::Instance ? "the instance" : "the descriptor", sink),
      params(k == EffectKind::Instance ? "the instance's parameters" : "the parameters", sink) {
  Registry<EffectObject>::Add(this);
  Registry<ParamSet>::Add(&params);
}

EffectObject::~EffectObject() {
  for (const auto& param : params.params()) Registry<Param>::Remove(param.get());
  Registry<ParamSet>::Remove(&params);
  Registry<EffectObject>::Remove(this);
}

ClipObject* EffectObject::FindClip(const std::string& name) const {
  for (const auto& clip : clips) {
    if (clip->name == name) return clip.get();
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// The binary

struct Host::Binary {
  Binary(OfxGetNumberOfPluginsFunction c, OfxGetPluginFunction g) : count(c), get(g) {}
  explicit Binary(const std::string& path) {
#if defined(_WIN32)
    module = LoadLibraryA(path.c_str());
    if (!module) throw std::runtime_error(path + ": cannot be loaded");
    count = reinterpret_cast<OfxGetNumberOfPluginsFunction>(
        GetProcAddress(static_cast<HMODULE>(module), kOfxGetNumberOfPluginsSymbol));
    get = reinterpret_cast<OfxGetPluginFunction>(
        GetProcAddress(static_cast<HMODULE>(module), kOfxGetPluginSymbol));
#else
    module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) throw std::runtime_error(path + ": " + dlerror());
    count = reinterpret_cast<OfxGetNumberOfPluginsFunction>(
        dlsym(module, kOfxGetNumberOfPluginsSymbol));
    get = reinterpret_cast<OfxGetPluginFunction>(dlsym(module, kOfxGetPluginSymbol));
#endif
    if (!count || !get) {
      Close();
      throw std::runtime_error(path +
                               ": not an OpenFX binary (no OfxGetNumberOfPlugins or "
                               "OfxGetPlugin)");
    }
  }
  ~Binary() { Close(); }
  Binary(const Binary&) = delete;
  Binary& operator=(const Binary&) = delete;
  void Close() {
    if (!module) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(module));
#else
    dlclose(module);
#endif
    module = nullptr;
  }
  void* module = nullptr;
  OfxGetNumberOfPluginsFunction count = nullptr;
  OfxGetPluginFunction get = nullptr;
};

struct Host::Plugin {
  OfxPlugin* plugin = nullptr;
  bool loaded = false;
  std::unique_ptr<EffectObject> descriptor;
  std::vector<std::unique_ptr<EffectObject>> contexts;
};

// ---------------------------------------------------------------------------
// The host

Host::Host(const std::string& binaryPath, HostOptions options)
    : options_(options),
      binary_(std::make_unique<Binary>(binaryPath)),
      hostProps_("the host", sink_) {
  Start();
}

Host::Host(OfxGetNumberOfPluginsFunction count, OfxGetPluginFunction get, HostOptions options)
    : options_(options),
      binary_(std::make_unique<Binary>(count, get)),
      hostProps_("the host", sink_) {
  Start();
}

void Host::Start() {
  DefineHostProperties();
  ofxHost_.host = hostProps_.handle();
  ofxHost_.fetchSuite = &FetchSuite;
  RegisterHost(ofxHost_.host, this);
  const int count = binary_->count();
  if (count < 0) sink_.Problem("OfxGetNumberOfPlugins answered " + std::to_string(count));
  for (int i = 0; i < count; ++i) {
    Plugin plugin;
    plugin.plugin = binary_->get(i);
    if (!plugin.plugin) {
      sink_.Problem("OfxGetPlugin(" + std::to_string(i) + ") answered null");
      continue;
    }
    if (std::strcmp(plugin.plugin->pluginApi, kOfxImageEffectPluginApi) != 0 ||
        plugin.plugin->apiVersion != kOfxImageEffectPluginApiVersion) {
      sink_.Problem(std::string(plugin.plugin->pluginIdentifier) + " implements " +
                    plugin.plugin->pluginApi + " version " +
                    std::to_string(plugin.plugin->apiVersion));
    }
    plugins_.push_back(std::move(plugin));
  }
}

Host::~Host() {
  for (size_t i = 0; i < plugins_.size(); ++i) {
    if (!plugins_[i].loaded) continue;
    ActionContext context{kOfxActionUnload, this, &sink_, nullptr, 0.0, false, false};
    Call(i, kOfxActionUnload, nullptr, nullptr, nullptr, context);
  }
  plugins_.clear();
  UnregisterHost(ofxHost_.host);
  if (!allocations_.empty()) {
    sink_.Problem(std::to_string(allocations_.size()) + " blocks of memory never freed");
    for (auto& [data, size] : allocations_) std::free(data);
  }
}

void Host::DefineHostProperties() {
  PropertySet& p = hostProps_;
  const auto flag = [&](const char* n, int v) {
    p.Define(n, std::vector<int>{v}, 1, Access::HostOnly);
  };
  p.Define(kOfxPropType, std::vector<std::string>{kOfxTypeImageEffectHost}, 1, Access::HostOnly);
  p.Define(kOfxPropName, std::vector<std::string>{"org.glarewright.testhost"}, 1, Access::HostOnly);
  p.Define(kOfxPropLabel, std::vector<std::string>{"Glarewright test host"}, 1, Access::HostOnly);
  p.Define(kOfxPropAPIVersion, std::vector<int>{1, 4}, 2, Access::HostOnly);
  p.Define(kOfxPropVersion, std::vector<int>{1, 0}, 2, Access::HostOnly);
  p.Define(kOfxPropVersionLabel, std::vector<std::string>{"1.0"}, 1, Access::HostOnly);
  p.Define(kOfxPropHostOSHandle, PropType::Pointer, 1, Access::HostOnly);
  p.SetPointer(kOfxPropHostOSHandle, options_.mainWindow);
  flag(kOfxImageEffectHostPropIsBackground, 1);
  flag(kOfxImageEffectPropSupportsOverlays, 0);
  flag(kOfxImageEffectPropSupportsMultiResolution, 1);
  flag(kOfxImageEffectPropSupportsTiles, 1);
  flag(kOfxImageEffectPropTemporalClipAccess, 1);
  flag(kOfxImageEffectPropSupportsMultipleClipDepths, 0);
  flag(kOfxImageEffectPropSupportsMultipleClipPARs, 0);
  flag(kOfxImageEffectPropSetableFrameRate, 0);
  flag(kOfxImageEffectPropSetableFielding, 0);
  flag(kOfxParamHostPropSupportsCustomInteract, 0);
  flag(kOfxParamHostPropSupportsStringAnimation, 0);
  flag(kOfxParamHostPropSupportsChoiceAnimation, 1);
  flag(kOfxParamHostPropSupportsBooleanAnimation, 1);
  flag(kOfxParamHostPropSupportsCustomAnimation, 0);
  flag(kOfxParamHostPropMaxParameters, -1);
  flag(kOfxParamHostPropMaxPages, 0);
  p.Define(kOfxParamHostPropPageRowColumnCount, std::vector<int>{0, 0}, 2, Access::HostOnly);
  p.Define(kOfxImageEffectPropSupportedContexts,
           std::vector<std::string>{kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral},
           kAnyDimension, Access::HostOnly);
  p.Define(kOfxImageEffectPropSupportedPixelDepths,
           std::vector<std::string>{kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat},
           kAnyDimension, Access::HostOnly);
  std::vector<std::string> components{kOfxImageComponentRGBA, kOfxImageComponentAlpha};
  if (options_.offerRgb) components.insert(components.begin() + 1, kOfxImageComponentRGB);
  p.Define(kOfxImageEffectPropSupportedComponents, components, kAnyDimension, Access::HostOnly);
}

std::vector<std::string> Host::Identifiers() const {
  std::vector<std::string> ids;
  for (const Plugin& p : plugins_) ids.push_back(p.plugin->pluginIdentifier);
  return ids;
}

Host::Plugin& Host::Find(const std::string& identifier) {
  for (Plugin& p : plugins_) {
    if (identifier == p.plugin->pluginIdentifier) return p;
  }
  throw std::runtime_error("no plug-in " + identifier);
}

OfxStatus Host::Call(size_t plugin, const char* action, const void* handle, PropertySet* inArgs,
                     PropertySet* outArgs, ActionContext& context) {
  OfxStatus status = kOfxStatOK;
  {
    const ActionScope scope(context);
    status = plugins_[plugin].plugin->mainEntry(action, handle, inArgs ? inArgs->handle() : nullptr,
                                                outArgs ? outArgs->handle() : nullptr);
  }
  const int unreleased = ReleaseImagesOf(&context);
  if (unreleased > 0) {
    sink_.Problem(std::string(action) + " returned with " + std::to_string(unreleased) +
                  " images not released");
  }
  return status;
}

const PropertySet& Host::Describe(const std::string& identifier) {
  Plugin& p = Find(identifier);
  if (p.descriptor) return p.descriptor->props;
  const size_t index = static_cast<size_t>(&p - plugins_.data());
  p.plugin->setHost(&ofxHost_);
  ActionContext load{kOfxActionLoad, this, &sink_, nullptr, 0.0, false, false};
  const OfxStatus loaded = Call(index, kOfxActionLoad, nullptr, nullptr, nullptr, load);
  if (loaded != kOfxStatOK && loaded != kOfxStatReplyDefault) {
    throw std::runtime_error(identifier + " refused to load (" + std::to_string(loaded) + ")");
  }
  p.loaded = true;
  p.descriptor = std::make_unique<EffectObject>(EffectKind::Descriptor, index, "", sink_);
  DefineEffectProperties(p.descriptor->props, kOfxTypeImageEffect);
  ActionContext describe{kOfxActionDescribe, this, &sink_, nullptr, 0.0, false, false};
  const OfxStatus status =
      Call(index, kOfxActionDescribe, p.descriptor.get(), nullptr, nullptr, describe);
  if (status != kOfxStatOK) {
    throw std::runtime_error(identifier + " refused to describe itself (" + std::to_string(status) +
                             ")");
  }
  const std::vector<std::string> hostContexts =
      hostProps_.Strings(kOfxImageEffectPropSupportedContexts);
  for (const std::string& context :
       p.descriptor->props.Strings(kOfxImageEffectPropSupportedContexts)) {
    if (!Contains(hostContexts, context)) continue;
    auto inContext =
        std::make_unique<EffectObject>(EffectKind::ContextDescriptor, index, context, sink_);
    inContext->props.CopyFrom(p.descriptor->props, {});
    PropertySet inArgs("describe in context's arguments", sink_);
    inArgs.Define(kOfxImageEffectPropContext, std::vector<std::string>{context}, 1,
                  Access::HostOnly);
    ActionContext scope{
        kOfxImageEffectActionDescribeInContext, this, &sink_, nullptr, 0.0, true, false};
    if (Call(index, kOfxImageEffectActionDescribeInContext, inContext.get(), &inArgs, nullptr,
             scope) == kOfxStatOK) {
      p.contexts.push_back(std::move(inContext));
    }
  }
  return p.descriptor->props;
}

std::vector<std::string> Host::Contexts(const std::string& identifier) {
  Describe(identifier);
  std::vector<std::string> contexts;
  for (const auto& c : Find(identifier).contexts) contexts.push_back(c->context);
  return contexts;
}

EffectObject& Host::ContextDescriptor(const std::string& identifier, const std::string& context) {
  Describe(identifier);
  for (const auto& c : Find(identifier).contexts) {
    if (c->context == context) return *c;
  }
  throw std::runtime_error(identifier + " was not described in " + context);
}

const PropertySet& Host::ClipDescriptor(const std::string& identifier, const std::string& context,
                                        const std::string& clip) {
  const ClipObject* c = ContextDescriptor(identifier, context).FindClip(clip);
  if (!c) throw std::runtime_error(identifier + " has no clip " + clip + " in " + context);
  return c->props;
}

std::vector<std::string> Host::ParamDescriptorNames(const std::string& identifier,
                                                    const std::string& context) {
  std::vector<std::string> names;
  for (const auto& p : ContextDescriptor(identifier, context).params.params()) {
    names.push_back(p->name());
  }
  return names;
}

const PropertySet& Host::ParamDescriptor(const std::string& identifier, const std::string& context,
                                         const std::string& param) {
  const Param* p = ContextDescriptor(identifier, context).params.Find(param);
  if (!p) throw std::runtime_error(identifier + " has no parameter " + param);
  return p->props();
}

std::unique_ptr<Instance> Host::CreateInstance(const std::string& identifier,
                                               const std::string& context,
                                               const ParamValues& project) {
  EffectObject& described = ContextDescriptor(identifier, context);
  auto effect =
      std::make_unique<EffectObject>(EffectKind::Instance, described.plugin, context, sink_);
  DefineInstanceProperties(effect->props, context, options_);
  effect->temporalAccess = described.props.Int(kOfxImageEffectPropTemporalClipAccess) != 0;
  for (const auto& param : described.params.params()) {
    std::unique_ptr<Param> copy = param->Instantiate(sink_);
    Registry<Param>::Add(copy.get());
    // A default in normalised coordinates is a fraction of the project.
    const PropertySet& p = copy->props();
    if (p.Defines(kOfxParamPropDefaultCoordinateSystem) &&
        p.String(kOfxParamPropDefaultCoordinateSystem) == kOfxParamCoordinatesNormalised) {
      ParamValue v = copy->At(0.0);
      const double size[2] = {options_.projectSize.x, options_.projectSize.y};
      for (size_t i = 0; i < v.numbers.size() && i < 2; ++i) v.numbers[i] *= size[i];
      copy->Set(v);
    }
    effect->params.params().push_back(std::move(copy));
  }
  for (const auto& [name, value] : project) {
    Param* param = effect->params.Find(name);
    if (!param) throw std::runtime_error(identifier + " has no parameter " + name);
    param->Set(value);
  }
  for (const auto& clip : described.clips) {
    auto copy = std::make_unique<ClipObject>(clip->name, true, sink_);
    copy->props.CopyFrom(clip->props, {kOfxPropType});
    copy->owner = effect.get();
    if (clip->name == kOfxImageEffectOutputClipName) {
      copy->props.SetInts(kOfxImageClipPropConnected, {1});
    }
    effect->clips.push_back(std::move(copy));
  }
  std::unique_ptr<Instance> instance(new Instance(*this, described.plugin, std::move(effect)));
  instance->slaves_ = described.props.Strings(kOfxImageEffectPropClipPreferencesSlaveParam);
  ActionContext create{kOfxActionCreateInstance, this, &sink_, instance.get(), 0.0, false, false};
  const OfxStatus created = Call(instance->plugin_, kOfxActionCreateInstance,
                                 instance->effect_.get(), nullptr, nullptr, create);
  if (created != kOfxStatOK && created != kOfxStatReplyDefault) {
    instance->effect_->instance = nullptr;  // never created: nothing to destroy
    return nullptr;
  }
  instance->UpdateClipPreferences();
  return instance;
}

void* Host::Allocate(size_t bytes) {
  if (failAllocationAt_ > 0 && --failAllocationAt_ == 0) return nullptr;
  void* data = std::malloc(bytes ? bytes : 1);
  if (!data) return nullptr;
  const std::lock_guard lock(mutex_);
  allocations_[data] = bytes;
  return data;
}

bool Host::Free(void* data) {
  {
    const std::lock_guard lock(mutex_);
    if (allocations_.erase(data) == 0) return false;
  }
  std::free(data);
  return true;
}

size_t Host::LiveAllocations() const {
  const std::lock_guard lock(mutex_);
  return allocations_.size();
}

void Host::AddMessage(Message message) {
  const std::lock_guard lock(mutex_);
  messages_.push_back(std::move(message));
}

std::vector<Message> Host::TakeMessages() {
  const std::lock_guard lock(mutex_);
  return std::exchange(messages_, {});
}

std::vector<std::string> Host::TakeProblems() {
  std::vector<std::string> problems = sink_.Take();
  for (std::string& stray : StrayCalls().Take()) problems.push_back(std::move(stray));
  return problems;
}

}  // namespace gw::ofxhost
