#include "testhost/ofx/suites.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "ofx/api/host_suites.h"
#include "ofx/api/image_effect.h"
#include "ofx/api/rect.h"
#include "testhost/ofx/host.h"
#include "testhost/ofx/objects.h"

namespace gw::ofxhost {
namespace {

std::mutex storeMutex;
std::map<OfxPropertySetHandle, Host*> hosts;
std::map<OfxPropertySetHandle, std::unique_ptr<FetchedImage>> images;

std::string Formatted(const char* format, va_list args) {
  if (!format) return {};
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

// Calls without a usable handle are told to the running action's sink.
ProblemSink& Sink(const char* call) { return SinkFor(StrayCalls(), call); }

OfxRectI ToPixels(const OfxRectD& r, double sx, double sy) {
  const auto low = [](double v) { return static_cast<int>(std::max(-1e9, std::floor(v))); };
  const auto high = [](double v) { return static_cast<int>(std::min(1e9, std::ceil(v))); };
  return OfxRectI{low(r.x1 * sx), low(r.y1 * sy), high(r.x2 * sx), high(r.y2 * sy)};
}

thread_local int threadIndex = 0;
thread_local bool spawnedThread = false;

}  // namespace

void RegisterHost(OfxPropertySetHandle props, Host* host) {
  const std::lock_guard lock(storeMutex);
  hosts[props] = host;
}

void UnregisterHost(OfxPropertySetHandle props) {
  const std::lock_guard lock(storeMutex);
  hosts.erase(props);
}

int ReleaseImagesOf(const ActionContext* action) {
  const std::lock_guard lock(storeMutex);
  int released = 0;
  for (auto it = images.begin(); it != images.end();) {
    if (it->second->action == action) {
      it = images.erase(it);
      ++released;
    } else {
      ++it;
    }
  }
  return released;
}

struct SuiteCalls {
  // --- Handles ---
  static EffectObject* Effect(const char* call, OfxImageEffectHandle handle) {
    EffectObject* effect = Registry<EffectObject>::Live(handle);
    if (!effect) Sink(call).Problem(std::string(call) + " on a handle that is no effect");
    return effect;
  }
  static ClipObject* Clip(const char* call, OfxImageClipHandle handle) {
    ClipObject* clip = Registry<ClipObject>::Live(handle);
    if (!clip) Sink(call).Problem(std::string(call) + " on a handle that is no clip");
    return clip;
  }
  static Param* ParamOf(const char* call, OfxParamHandle handle) {
    Param* param = Registry<Param>::Live(handle);
    if (!param) Sink(call).Problem(std::string(call) + " on a handle that is no parameter");
    return param;
  }
  static ParamSet* ParamSetOf(const char* call, OfxParamSetHandle handle) {
    ParamSet* set = Registry<ParamSet>::Live(handle);
    if (!set) Sink(call).Problem(std::string(call) + " on a handle that is no parameter set");
    return set;
  }
  static Host* HostOf(const ActionContext* action) { return action ? action->host : nullptr; }

  // --- Image effect suite ---
  static OfxStatus GetPropertySet(OfxImageEffectHandle h, OfxPropertySetHandle* props) {
    EffectObject* effect = Effect("getPropertySet", h);
    if (!effect || !props) return kOfxStatErrBadHandle;
    Sink("getPropertySet");
    *props = effect->props.handle();
    return kOfxStatOK;
  }

  static OfxStatus GetParamSet(OfxImageEffectHandle h, OfxParamSetHandle* params) {
    EffectObject* effect = Effect("getParamSet", h);
    if (!effect || !params) return kOfxStatErrBadHandle;
    Sink("getParamSet");
    *params = reinterpret_cast<OfxParamSetHandle>(&effect->params);
    return kOfxStatOK;
  }

  static OfxStatus ClipDefine(OfxImageEffectHandle h, const char* name,
                              OfxPropertySetHandle* props) {
    EffectObject* effect = Effect("clipDefine", h);
    if (!effect || !name) return kOfxStatErrBadHandle;
    ActionContext* action = CurrentAction();
    if (!action || !action->describing || effect->kind != EffectKind::ContextDescriptor) {
      Sink("clipDefine")
          .Problem(std::string("clipDefine of ") + name + " outside describe in context");
      return kOfxStatErrBadHandle;
    }
    if (effect->FindClip(name)) {
      action->sink->Problem(std::string("clip ") + name + " defined twice");
      return kOfxStatErrExists;
    }
    auto clip = std::make_unique<ClipObject>(name, false, *action->sink);
    if (props) *props = clip->props.handle();
    effect->clips.push_back(std::move(clip));
    return kOfxStatOK;
  }

  static OfxStatus ClipGetHandle(OfxImageEffectHandle h, const char* name, OfxImageClipHandle* clip,
                                 OfxPropertySetHandle* props) {
    EffectObject* effect = Effect("clipGetHandle", h);
    if (!effect || !name || !clip) return kOfxStatErrBadHandle;
    ProblemSink& sink = Sink("clipGetHandle");
    if (effect->kind != EffectKind::Instance) {
      sink.Problem("clipGetHandle on a descriptor");
      return kOfxStatErrBadHandle;
    }
    ClipObject* found = effect->FindClip(name);
    if (!found) {
      sink.Problem(std::string("clipGetHandle: no clip ") + name + " in the " + effect->context +
                   " context");
      return kOfxStatErrUnknown;
    }
    *clip = reinterpret_cast<OfxImageClipHandle>(found);
    if (props) *props = found->props.handle();
    return kOfxStatOK;
  }

  static OfxStatus ClipGetPropertySet(OfxImageClipHandle h, OfxPropertySetHandle* props) {
    ClipObject* clip = Clip("clipGetPropertySet", h);
    if (!clip || !props) return kOfxStatErrBadHandle;
    Sink("clipGetPropertySet");
    *props = clip->props.handle();
    return kOfxStatOK;
  }

  // Checks a fetch: its action, and its time for clips read at the render's
  // time only.
  static bool FetchAllowed(ClipObject& clip, double time, ActionContext* action) {
    ProblemSink& sink = Sink("clipGetImage");
    if (!action || !action->imagesAllowed) {
      sink.Problem("clipGetImage of " + clip.name + " during " +
                   (action ? action->action : "no action"));
      return false;
    }
    const bool temporal =
        clip.props.Int(kOfxImageEffectPropTemporalClipAccess) != 0 && clip.owner->temporalAccess;
    if (time != action->time && (!temporal || clip.name == kOfxImageEffectOutputClipName)) {
      sink.Problem("clipGetImage of " + clip.name + " at " + std::to_string(time) + " during " +
                   action->action + " at " + std::to_string(action->time) +
                   " without temporal access");
      return false;
    }
    return true;
  }

  static void DefineImage(FetchedImage& image, const ClipObject& clip, const ActionContext& action,
                          uint8_t* data, OfxRectI bounds, OfxRectI region, size_t rowBytes,
                          const std::string& depth, const std::string& components) {
    PropertySet& p = image.props;
    const auto text = [&](const char* n, const std::string& v) {
      p.Define(n, std::vector<std::string>{v}, 1, Access::HostOnly);
    };
    text(kOfxPropType, kOfxTypeImage);
    text(kOfxImageEffectPropPixelDepth, depth);
    text(kOfxImageEffectPropComponents, components);
    text(kOfxImageEffectPropPreMultiplication,
         clip.props.String(kOfxImageEffectPropPreMultiplication));
    text(kOfxImagePropField, kOfxImageFieldNone);
    text(kOfxImagePropUniqueIdentifier, clip.name);
    p.Define(kOfxImageEffectPropRenderScale,
             std::vector<double>{action.renderScale.x, action.renderScale.y}, 2, Access::HostOnly);
    p.Define(kOfxImagePropPixelAspectRatio,
             std::vector<double>{clip.props.Double(kOfxImagePropPixelAspectRatio, 1.0)}, 1,
             Access::HostOnly);
    p.Define(kOfxImagePropData, PropType::Pointer, 1, Access::HostOnly);
    p.SetPointer(kOfxImagePropData, data);
    p.Define(kOfxImagePropBounds, std::vector<int>{bounds.x1, bounds.y1, bounds.x2, bounds.y2}, 4,
             Access::HostOnly);
    p.Define(kOfxImagePropRegionOfDefinition,
             std::vector<int>{region.x1, region.y1, region.x2, region.y2}, 4, Access::HostOnly);
    p.Define(kOfxImagePropRowBytes, std::vector<int>{static_cast<int>(rowBytes)}, 1,
             Access::HostOnly);
  }

  static OfxStatus ClipGetImage(OfxImageClipHandle h, OfxTime time, const OfxRectD* region,
                                OfxPropertySetHandle* imageHandle) {
    ClipObject* clip = Clip("clipGetImage", h);
    if (!clip || !imageHandle) return kOfxStatErrBadHandle;
    *imageHandle = nullptr;
    ActionContext* action = CurrentAction();
    if (!clip->owner || !FetchAllowed(*clip, time, action)) return kOfxStatErrBadHandle;
    auto image = std::make_unique<FetchedImage>(*action->sink);
    image->action = action;
    OfxRectI pixels{};
    if (clip->name == kOfxImageEffectOutputClipName) {
      if (!action->output) {
        action->sink->Problem("the output clip's image fetched outside a render");
        return kOfxStatFailed;
      }
      HostImage& out = *action->output;
      pixels = action->outputWindow;
      DefineImage(*image, *clip, *action, out.Pixel(pixels.x1, pixels.y1), pixels, pixels,
                  out.rowBytes, out.depth, out.components);
    } else {
      if (!clip->props.Int(kOfxImageClipPropConnected) || !clip->images) return kOfxStatFailed;
      std::shared_ptr<const HostImage> source = clip->images(time);
      if (!source) return kOfxStatFailed;
      const double par = clip->props.Double(kOfxImagePropPixelAspectRatio, 1.0);
      const auto roi = action->regionsOfInterest.find(clip->name);
      const OfxRectD wanted = region                                   ? *region
                              : roi != action->regionsOfInterest.end() ? roi->second
                                                                       : clip->region;
      pixels = Intersection(ToPixels(wanted, action->renderScale.x / par, action->renderScale.y),
                         source->bounds);
      const bool whole = pixels.x1 == source->bounds.x1 && pixels.y1 == source->bounds.y1 &&
                         pixels.x2 == source->bounds.x2 && pixels.y2 == source->bounds.y2;
      if (whole || !action->host->options().cropImages) {
        image->shared = source;
        const OfxRectI all = source->bounds;
        DefineImage(*image, *clip, *action, const_cast<uint8_t*>(source->Pixel(all.x1, all.y1)),
                    all, all, source->rowBytes, source->depth, source->components);
      } else {
        const size_t row = static_cast<size_t>(pixels.x2 - pixels.x1) * source->PixelBytes();
        image->copy.resize(row * static_cast<size_t>(pixels.y2 - pixels.y1) + 1);
        for (int32_t y = pixels.y1; y < pixels.y2; ++y) {
          std::memcpy(image->copy.data() + static_cast<size_t>(y - pixels.y1) * row,
                      source->Pixel(pixels.x1, y), row);
        }
        DefineImage(*image, *clip, *action, image->copy.data(), pixels, source->bounds, row,
                    source->depth, source->components);
      }
    }
    if (action->instance) {
      const std::lock_guard lock(action->instance->mutex_);
      action->instance->fetches_.push_back(Fetch{clip->name, time, pixels});
    }
    *imageHandle = image->props.handle();
    const std::lock_guard lock(storeMutex);
    images[*imageHandle] = std::move(image);
    ++action->liveImages;
    return kOfxStatOK;
  }

  static OfxStatus ClipReleaseImage(OfxPropertySetHandle h) {
    std::unique_ptr<FetchedImage> image;
    {
      const std::lock_guard lock(storeMutex);
      const auto it = images.find(h);
      if (it != images.end()) {
        image = std::move(it->second);
        images.erase(it);
      }
    }
    if (!image) {
      Sink("clipReleaseImage").Problem("clipReleaseImage of a handle that is no image held");
      return kOfxStatErrBadHandle;
    }
    --image->action->liveImages;
    return kOfxStatOK;
  }

  static OfxStatus ClipGetRegionOfDefinition(OfxImageClipHandle h, OfxTime, OfxRectD* bounds) {
    ClipObject* clip = Clip("clipGetRegionOfDefinition", h);
    if (!clip || !bounds || !clip->owner) return kOfxStatErrBadHandle;
    Sink("clipGetRegionOfDefinition");
    const ClipObject* source = clip->name == kOfxImageEffectOutputClipName
                                   ? clip->owner->FindClip(kOfxImageEffectSimpleSourceClipName)
                                   : clip;
    const bool connected = source && source->props.Int(kOfxImageClipPropConnected) != 0;
    *bounds = connected ? source->region : OfxRectD{};
    return kOfxStatOK;
  }

  static int Abort(OfxImageEffectHandle h) {
    EffectObject* effect = Effect("abort", h);
    if (!effect || !effect->instance) return 0;
    Sink("abort");
    Instance& instance = *effect->instance;
    if (instance.abortWhen_ && instance.abortWhen_()) return 1;
    const int at = instance.abortAt_;
    return at > 0 && ++instance.abortCalls_ >= at ? 1 : 0;
  }

  static OfxStatus ImageMemoryAlloc(OfxImageEffectHandle, size_t bytes, OfxImageMemoryHandle* h) {
    ActionContext* action = CurrentAction();
    Sink("imageMemoryAlloc");
    if (!h) return kOfxStatErrBadHandle;
    *h = nullptr;
    Host* host = HostOf(action);
    if (host && host->failAllocationAt_ > 0 && --host->failAllocationAt_ == 0) {
      return kOfxStatErrMemory;
    }
    auto* memory = new ImageMemory{std::vector<uint8_t>(bytes), 0};
    Registry<ImageMemory>::Add(memory);
    *h = reinterpret_cast<OfxImageMemoryHandle>(memory);
    return kOfxStatOK;
  }
  static ImageMemory* Memory(const char* call, OfxImageMemoryHandle h) {
    ImageMemory* m = Registry<ImageMemory>::Live(h);
    if (!m) Sink(call).Problem(std::string(call) + " on a handle that is no image memory");
    return m;
  }
  static OfxStatus ImageMemoryFree(OfxImageMemoryHandle h) {
    ImageMemory* m = Memory("imageMemoryFree", h);
    if (!m) return kOfxStatErrBadHandle;
    Registry<ImageMemory>::Remove(m);
    delete m;
    return kOfxStatOK;
  }
  static OfxStatus ImageMemoryLock(OfxImageMemoryHandle h, void** data) {
    ImageMemory* m = Memory("imageMemoryLock", h);
    if (!m || !data) return kOfxStatErrBadHandle;
    ++m->locks;
    *data = m->bytes.data();
    return kOfxStatOK;
  }
  static OfxStatus ImageMemoryUnlock(OfxImageMemoryHandle h) {
    ImageMemory* m = Memory("imageMemoryUnlock", h);
    if (!m) return kOfxStatErrBadHandle;
    if (m->locks > 0) --m->locks;
    return kOfxStatOK;
  }

  // --- Parameter suite ---
  static OfxStatus ParamDefine(OfxParamSetHandle h, const char* type, const char* name,
                               OfxPropertySetHandle* props) {
    ParamSet* set = ParamSetOf("paramDefine", h);
    if (!set || !type || !name) return kOfxStatErrBadHandle;
    ActionContext* action = CurrentAction();
    if (!action || !action->describing) {
      Sink("paramDefine")
          .Problem(std::string("paramDefine of ") + name + " outside describe in context");
      return kOfxStatErrBadHandle;
    }
    if (set->Find(name)) {
      action->sink->Problem(std::string("parameter ") + name + " defined twice");
      return kOfxStatErrExists;
    }
    std::unique_ptr<Param> param = Param::Make(type, name, false, *action->sink);
    if (!param) {
      action->sink->Problem(std::string("paramDefine of ") + name + ": no parameter type " + type);
      return kOfxStatErrUnknown;
    }
    Registry<Param>::Add(param.get());
    if (props) *props = param->props().handle();
    set->params().push_back(std::move(param));
    return kOfxStatOK;
  }

  static OfxStatus ParamGetHandle(OfxParamSetHandle h, const char* name, OfxParamHandle* param,
                                  OfxPropertySetHandle* props) {
    ParamSet* set = ParamSetOf("paramGetHandle", h);
    if (!set || !name || !param) return kOfxStatErrBadHandle;
    Param* found = set->Find(name);
    if (!found) {
      Sink("paramGetHandle").Problem(std::string("paramGetHandle: no parameter ") + name);
      return kOfxStatErrUnknown;
    }
    Sink("paramGetHandle");
    *param = reinterpret_cast<OfxParamHandle>(found);
    if (props) *props = found->props().handle();
    return kOfxStatOK;
  }

  static OfxStatus ParamSetGetPropertySet(OfxParamSetHandle h, OfxPropertySetHandle* props) {
    ParamSet* set = ParamSetOf("paramSetGetPropertySet", h);
    if (!set || !props) return kOfxStatErrBadHandle;
    Sink("paramSetGetPropertySet");
    *props = set->props().handle();
    return kOfxStatOK;
  }

  static OfxStatus ParamGetPropertySet(OfxParamHandle h, OfxPropertySetHandle* props) {
    Param* param = ParamOf("paramGetPropertySet", h);
    if (!param || !props) return kOfxStatErrBadHandle;
    Sink("paramGetPropertySet");
    *props = param->props().handle();
    return kOfxStatOK;
  }

  // A value read into the plug-in's pointers, as many as the type has.
  static OfxStatus ReadValue(const char* call, Param& param, double time, va_list args) {
    ProblemSink& sink = Sink(call);
    if (param.props().String(kOfxPropType) != kOfxTypeParameterInstance) {
      sink.Problem(std::string(call) + " of " + param.name() + ", a descriptor");
      return kOfxStatErrBadHandle;
    }
    if (param.Dimensions() == 0) {
      sink.Problem(std::string(call) + " of " + param.name() + ", which has no value");
      return kOfxStatErrBadHandle;
    }
    if (param.Textual()) {
      char** out = va_arg(args, char**);
      if (!out) return kOfxStatErrBadHandle;
      *out = const_cast<char*>(param.TextAt(time));
      return kOfxStatOK;
    }
    const ParamValue v = param.At(time);
    for (int i = 0; i < param.Dimensions(); ++i) {
      const double n =
          i < static_cast<int>(v.numbers.size()) ? v.numbers[static_cast<size_t>(i)] : 0.0;
      if (param.Integral()) {
        int* out = va_arg(args, int*);
        if (!out) return kOfxStatErrBadHandle;
        *out = static_cast<int>(n);
      } else {
        double* out = va_arg(args, double*);
        if (!out) return kOfxStatErrBadHandle;
        *out = n;
      }
    }
    return kOfxStatOK;
  }

  static OfxStatus ParamGetValue(OfxParamHandle h, ...) {
    Param* param = ParamOf("paramGetValue", h);
    if (!param) return kOfxStatErrBadHandle;
    const ActionContext* action = CurrentAction();
    va_list args;
    va_start(args, h);
    const OfxStatus status = ReadValue("paramGetValue", *param, action ? action->time : 0.0, args);
    va_end(args);
    return status;
  }

  static OfxStatus ParamGetValueAtTime(OfxParamHandle h, OfxTime time, ...) {
    Param* param = ParamOf("paramGetValueAtTime", h);
    if (!param) return kOfxStatErrBadHandle;
    va_list args;
    va_start(args, time);
    const OfxStatus status = ReadValue("paramGetValueAtTime", *param, time, args);
    va_end(args);
    return status;
  }

  static OfxStatus ParamUnsupported(OfxParamHandle, OfxTime, ...) { return kOfxStatErrUnsupported; }
  static OfxStatus ParamIntegral(OfxParamHandle, OfxTime, OfxTime, ...) {
    return kOfxStatErrUnsupported;
  }

  // A value written from the plug-in's arguments: only where a plug-in may
  // change its parameters (creating an instance, or answering a change).
  static OfxStatus WriteValue(const char* call, Param& param, const double* time, va_list args) {
    ActionContext* action = CurrentAction();
    ProblemSink& sink = Sink(call);
    const std::string name = action ? action->action : "";
    if (name != kOfxActionInstanceChanged && name != kOfxActionCreateInstance &&
        name != kOfxActionBeginInstanceChanged && name != kOfxActionEndInstanceChanged) {
      sink.Problem(std::string(call) + " of " + param.name() + " during " +
                   (action ? action->action : "no action"));
      return kOfxStatErrBadHandle;
    }
    if (param.Dimensions() == 0) {
      sink.Problem(std::string(call) + " of " + param.name() + ", which has no value");
      return kOfxStatErrBadHandle;
    }
    // A change the user can take back, told to the plug-in afterwards as
    // the plug-in's own edit (not while the instance is being created).
    if (Instance* instance = action->instance; instance && name != kOfxActionCreateInstance) {
      instance->effect_->params.WillChange(param);
      instance->NotePluginEdit(param.name());
    }
    ParamValue v;
    if (param.Textual()) {
      const char* text = va_arg(args, const char*);
      v.text = text ? text : "";
    } else {
      for (int i = 0; i < param.Dimensions(); ++i) {
        v.numbers.push_back(param.Integral() ? va_arg(args, int) : va_arg(args, double));
      }
    }
    if (time) {
      param.SetKey(*time, v);
    } else {
      param.Set(v);
    }
    return kOfxStatOK;
  }

  static OfxStatus ParamSetValue(OfxParamHandle h, ...) {
    Param* param = ParamOf("paramSetValue", h);
    if (!param) return kOfxStatErrBadHandle;
    va_list args;
    va_start(args, h);
    const OfxStatus status = WriteValue("paramSetValue", *param, nullptr, args);
    va_end(args);
    return status;
  }

  static OfxStatus ParamSetValueAtTime(OfxParamHandle h, OfxTime time, ...) {
    Param* param = ParamOf("paramSetValueAtTime", h);
    if (!param) return kOfxStatErrBadHandle;
    va_list args;
    va_start(args, time);
    const OfxStatus status = WriteValue("paramSetValueAtTime", *param, &time, args);
    va_end(args);
    return status;
  }

  static OfxStatus ParamGetNumKeys(OfxParamHandle h, unsigned int* count) {
    Param* param = ParamOf("paramGetNumKeys", h);
    if (!param || !count) return kOfxStatErrBadHandle;
    Sink("paramGetNumKeys");
    *count = static_cast<unsigned int>(param->KeyTimes().size());
    return kOfxStatOK;
  }
  static OfxStatus ParamGetKeyTime(OfxParamHandle h, unsigned int nth, OfxTime* time) {
    Param* param = ParamOf("paramGetKeyTime", h);
    if (!param || !time) return kOfxStatErrBadHandle;
    Sink("paramGetKeyTime");
    const std::vector<double> times = param->KeyTimes();
    if (nth >= times.size()) return kOfxStatErrBadIndex;
    *time = times[nth];
    return kOfxStatOK;
  }
  static OfxStatus ParamGetKeyIndex(OfxParamHandle h, OfxTime time, int direction, int* index) {
    Param* param = ParamOf("paramGetKeyIndex", h);
    if (!param || !index) return kOfxStatErrBadHandle;
    Sink("paramGetKeyIndex");
    const std::vector<double> times = param->KeyTimes();
    for (size_t i = 0; i < times.size(); ++i) {
      const size_t k = direction < 0 ? times.size() - 1 - i : i;
      const bool match = direction == 0  ? times[k] == time
                         : direction < 0 ? times[k] < time
                                         : times[k] > time;
      if (match) {
        *index = static_cast<int>(k);
        return kOfxStatOK;
      }
    }
    return kOfxStatFailed;
  }
  static OfxStatus ParamDeleteKey(OfxParamHandle h, OfxTime time) {
    Param* param = ParamOf("paramDeleteKey", h);
    if (!param) return kOfxStatErrBadHandle;
    Sink("paramDeleteKey");
    param->DeleteKey(time);
    return kOfxStatOK;
  }
  static OfxStatus ParamDeleteAllKeys(OfxParamHandle h) {
    Param* param = ParamOf("paramDeleteAllKeys", h);
    if (!param) return kOfxStatErrBadHandle;
    Sink("paramDeleteAllKeys");
    param->DeleteAllKeys();
    return kOfxStatOK;
  }
  static OfxStatus ParamCopy(OfxParamHandle, OfxParamHandle, OfxTime, const OfxRangeD*) {
    return kOfxStatErrUnsupported;
  }
  // An edit block: one step of the application's undo. Only while the
  // plug-in answers a change, on an instance's own parameters, not nested.
  static ParamSet* EditableSet(const char* call, OfxParamSetHandle h) {
    ParamSet* set = ParamSetOf(call, h);
    if (!set) return nullptr;
    ProblemSink& sink = Sink(call);
    const ActionContext* action = CurrentAction();
    const std::string name = action ? action->action : "";
    if (name != kOfxActionInstanceChanged && name != kOfxActionBeginInstanceChanged &&
        name != kOfxActionEndInstanceChanged) {
      sink.Problem(std::string(call) + " during " + (action ? action->action : "no action"));
      return nullptr;
    }
    if (!action->instance || &action->instance->effect_->params != set) {
      sink.Problem(std::string(call) + " on parameters that are not the instance's");
      return nullptr;
    }
    return set;
  }
  static OfxStatus ParamEditBegin(OfxParamSetHandle h, const char* name) {
    ParamSet* set = EditableSet("paramEditBegin", h);
    if (!set) return kOfxStatErrBadHandle;
    if (!name) {
      Sink("paramEditBegin").Problem("paramEditBegin without a name for the undo history");
      return kOfxStatErrBadHandle;
    }
    if (!set->BeginEdit(name)) {
      Sink("paramEditBegin").Problem(std::string("paramEditBegin(\"") + name +
                                     "\") inside a block that is still open");
      return kOfxStatErrBadHandle;
    }
    return kOfxStatOK;
  }
  static OfxStatus ParamEditEnd(OfxParamSetHandle h) {
    ParamSet* set = EditableSet("paramEditEnd", h);
    if (!set) return kOfxStatErrBadHandle;
    if (!set->EndEdit()) {
      Sink("paramEditEnd").Problem("paramEditEnd without paramEditBegin");
      return kOfxStatErrBadHandle;
    }
    return kOfxStatOK;
  }

  // --- Memory suite ---
  static OfxStatus MemoryAlloc(void*, size_t bytes, void** data) {
    ActionContext* action = CurrentAction();
    ProblemSink& sink = Sink("memoryAlloc");
    if (!data) {
      sink.Problem("memoryAlloc without a result");
      return kOfxStatErrBadHandle;
    }
    *data = nullptr;
    Host* host = HostOf(action);
    if (!host) return kOfxStatErrBadHandle;
    *data = host->Allocate(bytes);
    return *data ? kOfxStatOK : kOfxStatErrMemory;
  }
  static OfxStatus MemoryFree(void* data) {
    ActionContext* action = CurrentAction();
    ProblemSink& sink = Sink("memoryFree");
    Host* host = HostOf(action);
    if (!host || !host->Free(data)) {
      sink.Problem("memoryFree of memory the host did not give");
      return kOfxStatErrBadHandle;
    }
    return kOfxStatOK;
  }

  // --- Message suites ---
  static bool KnownType(const char* type) {
    for (const char* t : {kOfxMessageFatal, kOfxMessageError, kOfxMessageWarning,
                          kOfxMessageMessage, kOfxMessageLog, kOfxMessageQuestion}) {
      if (type && std::strcmp(type, t) == 0) return true;
    }
    return false;
  }
  static OfxStatus Post(const char* call, void* handle, const char* type, const char* format,
                        va_list args, bool persistent) {
    ActionContext* action = CurrentAction();
    ProblemSink& sink = Sink(call);
    if (!KnownType(type)) {
      sink.Problem(std::string(call) + " of a message type " + (type ? type : "(null)"));
      return kOfxStatFailed;
    }
    EffectObject* effect = handle ? Registry<EffectObject>::Live(handle) : nullptr;
    if (persistent && (!effect || !effect->instance)) {
      sink.Problem(std::string(call) + " on a handle that is no instance");
      return kOfxStatErrBadHandle;
    }
    Host* host = HostOf(action);
    const std::string text = Formatted(format, args);
    if (persistent) {
      const std::lock_guard lock(effect->instance->mutex_);
      effect->instance->persistentMessage_ = text;
    }
    if (host) host->AddMessage(Message{type, text, persistent});
    return kOfxStatOK;
  }
  static OfxStatus MessageV1(void* handle, const char* type, const char*, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const OfxStatus status = Post("message", handle, type, format, args, false);
    va_end(args);
    return status;
  }
  static OfxStatus SetPersistentMessage(void* handle, const char* type, const char*,
                                        const char* format, ...) {
    va_list args;
    va_start(args, format);
    const OfxStatus status = Post("setPersistentMessage", handle, type, format, args, true);
    va_end(args);
    return status;
  }
  static OfxStatus ClearPersistentMessage(void* handle) {
    ProblemSink& sink = Sink("clearPersistentMessage");
    EffectObject* effect = Registry<EffectObject>::Live(handle);
    if (!effect || !effect->instance) {
      sink.Problem("clearPersistentMessage on a handle that is no instance");
      return kOfxStatErrBadHandle;
    }
    const std::lock_guard lock(effect->instance->mutex_);
    effect->instance->persistentMessage_.clear();
    return kOfxStatOK;
  }

  // --- Multi-thread suite ---
  static OfxStatus MultiThread(OfxThreadFunctionV1 func, unsigned int n, void* arg) {
    ActionContext* action = CurrentAction();
    Sink("multiThread");
    if (spawnedThread) return kOfxStatErrExists;
    if (!func || !action) return kOfxStatFailed;
    std::vector<std::thread> threads;
    for (unsigned int i = 0; i < std::max(n, 1u); ++i) {
      threads.emplace_back([=] {
        ActionContext inherited = *action;
        const ActionScope scope(inherited);
        threadIndex = static_cast<int>(i);
        spawnedThread = true;
        func(i, std::max(n, 1u), arg);
      });
    }
    for (std::thread& t : threads) t.join();
    return kOfxStatOK;
  }
  static OfxStatus NumCPUs(unsigned int* n) {
    Sink("multiThreadNumCPUs");
    if (!n) return kOfxStatFailed;
    *n = std::max(1u, std::thread::hardware_concurrency());
    return kOfxStatOK;
  }
  static OfxStatus ThreadIndex(unsigned int* i) {
    Sink("multiThreadIndex");
    if (!i) return kOfxStatFailed;
    *i = static_cast<unsigned int>(threadIndex);
    return kOfxStatOK;
  }
  static int IsSpawned() { return spawnedThread ? 1 : 0; }
  static OfxStatus MutexCreate(OfxMutexHandle* m, int locks) {
    Sink("mutexCreate");
    if (!m) return kOfxStatErrBadHandle;
    auto* mutex = new std::recursive_mutex;
    for (int i = 0; i < locks; ++i) mutex->lock();
    *m = reinterpret_cast<OfxMutexHandle>(mutex);
    return kOfxStatOK;
  }
  static OfxStatus MutexDestroy(const OfxMutexHandle m) {
    Sink("mutexDestroy");
    delete reinterpret_cast<std::recursive_mutex*>(m);
    return kOfxStatOK;
  }
  static OfxStatus MutexLock(const OfxMutexHandle m) {
    reinterpret_cast<std::recursive_mutex*>(m)->lock();
    return kOfxStatOK;
  }
  static OfxStatus MutexUnlock(const OfxMutexHandle m) {
    reinterpret_cast<std::recursive_mutex*>(m)->unlock();
    return kOfxStatOK;
  }
  static OfxStatus MutexTryLock(const OfxMutexHandle m) {
    return reinterpret_cast<std::recursive_mutex*>(m)->try_lock() ? kOfxStatOK : kOfxStatFailed;
  }

  // --- Progress suites ---
  static OfxStatus ProgressStart(void* instance, const char*) {
    Sink("progressStart");
    return Registry<EffectObject>::Live(instance) ? kOfxStatOK : kOfxStatErrBadHandle;
  }
  static OfxStatus ProgressStartV2(void* instance, const char* label, const char*) {
    return ProgressStart(instance, label);
  }
  static OfxStatus ProgressUpdate(void* instance, double) {
    Sink("progressUpdate");
    EffectObject* effect = Registry<EffectObject>::Live(instance);
    if (!effect) return kOfxStatErrBadHandle;
    return Abort(reinterpret_cast<OfxImageEffectHandle>(effect)) ? kOfxStatReplyNo : kOfxStatOK;
  }
  static OfxStatus ProgressEnd(void* instance) {
    Sink("progressEnd");
    return Registry<EffectObject>::Live(instance) ? kOfxStatOK : kOfxStatErrBadHandle;
  }
};

const void* FetchSuite(OfxPropertySetHandle host, const char* name, int version) {
  using C = SuiteCalls;
  static const OfxImageEffectSuiteV1 effect{&C::GetPropertySet,
                                            &C::GetParamSet,
                                            &C::ClipDefine,
                                            &C::ClipGetHandle,
                                            &C::ClipGetPropertySet,
                                            &C::ClipGetImage,
                                            &C::ClipReleaseImage,
                                            &C::ClipGetRegionOfDefinition,
                                            &C::Abort,
                                            &C::ImageMemoryAlloc,
                                            &C::ImageMemoryFree,
                                            &C::ImageMemoryLock,
                                            &C::ImageMemoryUnlock};
  static const OfxParameterSuiteV1 param{
      &C::ParamDefine,         &C::ParamGetHandle,  &C::ParamSetGetPropertySet,
      &C::ParamGetPropertySet, &C::ParamGetValue,   &C::ParamGetValueAtTime,
      &C::ParamUnsupported,    &C::ParamIntegral,   &C::ParamSetValue,
      &C::ParamSetValueAtTime, &C::ParamGetNumKeys, &C::ParamGetKeyTime,
      &C::ParamGetKeyIndex,    &C::ParamDeleteKey,  &C::ParamDeleteAllKeys,
      &C::ParamCopy,           &C::ParamEditBegin,  &C::ParamEditEnd};
  static const OfxMemorySuiteV1 memory{&C::MemoryAlloc, &C::MemoryFree};
  static const OfxMultiThreadSuiteV1 threads{&C::MultiThread, &C::NumCPUs,     &C::ThreadIndex,
                                             &C::IsSpawned,   &C::MutexCreate, &C::MutexDestroy,
                                             &C::MutexLock,   &C::MutexUnlock, &C::MutexTryLock};
  static const OfxMessageSuiteV1 messageV1{&C::MessageV1};
  static const OfxMessageSuiteV2 messageV2{&C::MessageV1, &C::SetPersistentMessage,
                                           &C::ClearPersistentMessage};
  static const OfxProgressSuiteV1 progressV1{&C::ProgressStart, &C::ProgressUpdate,
                                             &C::ProgressEnd};
  static const OfxProgressSuiteV2 progressV2{&C::ProgressStartV2, &C::ProgressUpdate,
                                             &C::ProgressEnd};
  Host* owner = nullptr;
  {
    const std::lock_guard lock(storeMutex);
    const auto it = hosts.find(host);
    if (it != hosts.end()) owner = it->second;
  }
  if (!owner || !name) {
    Sink("fetchSuite").Problem("fetchSuite with a handle that is not the host's");
    return nullptr;
  }
  const std::string suite = name;
  if (suite == kOfxPropertySuite && version == 1) return &PropertySet::Suite();
  if (suite == kOfxImageEffectSuite && version == 1) return &effect;
  if (suite == kOfxParameterSuite && version == 1) return &param;
  if (suite == kOfxMemorySuite && version == 1) return &memory;
  if (suite == kOfxMultiThreadSuite && version == 1) return &threads;
  if (suite == kOfxMessageSuite && version == 1) return &messageV1;
  if (suite == kOfxMessageSuite && version == 2 && owner->options().persistentMessages) {
    return &messageV2;
  }
  if (suite == kOfxProgressSuite && version == 1) return &progressV1;
  if (suite == kOfxProgressSuite && version == 2) return &progressV2;
  return nullptr;
}

}  // namespace gw::ofxhost
