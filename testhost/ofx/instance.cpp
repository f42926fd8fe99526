// An instance as the host drives it: its parameters and clips, and the
// actions around a render.
#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "testhost/ofx/host.h"
#include "testhost/ofx/objects.h"

namespace gw::ofxhost {
namespace {

constexpr uint8_t kGuardByte = 0xa5;
constexpr int32_t kGuardPixels = 2;

void In(PropertySet& p, const char* name, std::vector<double> v) {
  const int n = static_cast<int>(v.size());
  p.Define(name, std::move(v), n, Access::HostOnly);
}
void In(PropertySet& p, const char* name, std::vector<int> v) {
  const int n = static_cast<int>(v.size());
  p.Define(name, std::move(v), n, Access::HostOnly);
}
void In(PropertySet& p, const char* name, std::string v) {
  p.Define(name, std::vector<std::string>{std::move(v)}, 1, Access::HostOnly);
}

// The output image of a render over `window`: guard pixels all around it
// hold kGuardByte; the window holds whatever the plug-in writes.
void PrepareOutput(const OfxRectI& window, const std::string& depth, const std::string& components,
                   HostImage& output) {
  const bool reuse = output.bounds.x1 == window.x1 && output.bounds.y1 == window.y1 &&
                     output.bounds.x2 == window.x2 && output.bounds.y2 == window.y2 &&
                     output.depth == depth && output.components == components && output.origin != 0;
  if (!reuse) {
    const OfxRectI padded{window.x1 - kGuardPixels, window.y1 - kGuardPixels,
                          window.x2 + kGuardPixels, window.y2 + kGuardPixels};
    output = HostImage::Make(padded, depth, components);
    output.bounds = window;
    output.origin = kGuardPixels * (output.rowBytes + output.pixelBytes);
  }
  // The guard rows below and above, and the guard columns of every row.
  const size_t guardColumns = kGuardPixels * output.pixelBytes;
  const size_t rows = static_cast<size_t>(output.Height()) + 2 * kGuardPixels;
  uint8_t* first = output.bytes.data();
  for (size_t row = 0; row < rows; ++row) {
    uint8_t* r = first + row * output.rowBytes;
    if (row < kGuardPixels || row >= rows - kGuardPixels) {
      std::memset(r, kGuardByte, output.rowBytes);
    } else {
      std::memset(r, kGuardByte, guardColumns);
      std::memset(r + output.rowBytes - guardColumns, kGuardByte, guardColumns);
    }
  }
}

bool GuardsIntact(const HostImage& output) {
  const size_t guardColumns = kGuardPixels * output.pixelBytes;
  const size_t rows = static_cast<size_t>(output.Height()) + 2 * kGuardPixels;
  const auto guarded = [](const uint8_t* p, size_t n) {
    return std::all_of(p, p + n, [](uint8_t b) { return b == kGuardByte; });
  };
  for (size_t row = 0; row < rows; ++row) {
    const uint8_t* r = output.bytes.data() + row * output.rowBytes;
    const bool intact =
        row < kGuardPixels || row >= rows - kGuardPixels
            ? guarded(r, output.rowBytes)
            : guarded(r, guardColumns) && guarded(r + output.rowBytes - guardColumns, guardColumns);
    if (!intact) return false;
  }
  return true;
}

// Pixels of the render scale as canonical coordinates; a pixel is `par`
// units wide.
OfxRectD Canonical(const OfxRectI& r, OfxPointD scale, double par) {
  return OfxRectD{r.x1 * par / scale.x, r.y1 / scale.y, r.x2 * par / scale.x, r.y2 / scale.y};
}

}  // namespace

Instance::Instance(Host& host, size_t plugin, std::unique_ptr<EffectObject> effect)
    : host_(host), plugin_(plugin), effect_(std::move(effect)) {
  effect_->instance = this;
}

Instance::~Instance() {
  if (!effect_->instance) return;
  ActionContext context{kOfxActionDestroyInstance, &host_, &host_.sink(), this, 0.0, false, false};
  host_.Call(plugin_, kOfxActionDestroyInstance, effect_.get(), nullptr, nullptr, context);
}

ClipObject& Instance::Clip(const std::string& name) const {
  ClipObject* clip = effect_->FindClip(name);
  if (!clip) throw std::runtime_error("the instance has no clip " + name);
  return *clip;
}

void Instance::SetValue(const std::string& name, ParamValue value) {
  Param* param = effect_->params.Find(name);
  if (!param) throw std::runtime_error("the instance has no parameter " + name);
  param->Set(value);
  // The application asks the clip preferences again when a parameter they
  // depend on changes.
  if (std::find(slaves_.begin(), slaves_.end(), name) != slaves_.end()) UpdateClipPreferences();
}

void Instance::SetKey(const std::string& name, double time, ParamValue value) {
  Param* param = effect_->params.Find(name);
  if (!param) throw std::runtime_error("the instance has no parameter " + name);
  param->SetKey(time, value);
}

ParamValue Instance::Value(const std::string& name, double time) const {
  const Param* param = effect_->params.Find(name);
  if (!param) throw std::runtime_error("the instance has no parameter " + name);
  return param->At(time);
}

const PropertySet& Instance::ParamProps(const std::string& name) const {
  const Param* param = effect_->params.Find(name);
  if (!param) throw std::runtime_error("the instance has no parameter " + name);
  return param->props();
}

std::vector<std::string> Instance::ParamNames() const {
  std::vector<std::string> names;
  for (const auto& p : effect_->params.params()) names.push_back(p->name());
  return names;
}

void Instance::Connect(const std::string& name, ImageSource images, OfxRectD region,
                       std::string depth, std::string components, double pixelAspectRatio) {
  ClipObject& clip = Clip(name);
  clip.images = std::move(images);
  clip.region = region;
  const auto describe = [&](ClipObject& c) {
    c.props.SetStrings(kOfxImageEffectPropPixelDepth, {depth});
    c.props.SetStrings(kOfxImageClipPropUnmappedPixelDepth, {depth});
    c.props.SetStrings(kOfxImageEffectPropComponents, {components});
    c.props.SetStrings(kOfxImageClipPropUnmappedComponents, {components});
    c.props.SetDoubles(kOfxImagePropPixelAspectRatio, {pixelAspectRatio});
  };
  describe(clip);
  clip.props.SetInts(kOfxImageClipPropConnected, {1});
  clip.props.SetStrings(
      kOfxImageEffectPropPreMultiplication,
      {components == kOfxImageComponentRGB ? kOfxImageOpaque : kOfxImagePreMultiplied});
  if (name == kOfxImageEffectSimpleSourceClipName) {
    describe(Clip(kOfxImageEffectOutputClipName));  // one depth and layout for both
    UpdateClipPreferences();
  }
}

void Instance::Disconnect(const std::string& name) {
  ClipObject& clip = Clip(name);
  clip.images = nullptr;
  clip.props.SetInts(kOfxImageClipPropConnected, {0});
}

std::vector<std::string> Instance::ClipNames() const {
  std::vector<std::string> names;
  for (const auto& c : effect_->clips) names.push_back(c->name);
  return names;
}

const PropertySet& Instance::ClipProps(const std::string& clip) const { return Clip(clip).props; }

void Instance::UpdateClipPreferences() {
  PropertySet out("clip preferences' results", host_.sink());
  for (const auto& clip : effect_->clips) {
    out.Define(std::string(kOfxImageClipPropComponentsPrefix) + clip->name,
               std::vector<std::string>{clip->props.String(kOfxImageEffectPropComponents)}, 1,
               Access::PluginToo);
    out.Define(std::string(kOfxImageClipPropDepthPrefix) + clip->name,
               std::vector<std::string>{clip->props.String(kOfxImageEffectPropPixelDepth)}, 1,
               Access::PluginToo);
    out.Define(std::string(kOfxImageClipPropPARPrefix) + clip->name,
               std::vector<double>{clip->props.Double(kOfxImagePropPixelAspectRatio, 1.0)}, 1,
               Access::PluginToo);
  }
  const ClipObject& source = Clip(kOfxImageEffectSimpleSourceClipName);
  out.Define(kOfxImageEffectPropPreMultiplication,
             std::vector<std::string>{source.props.String(kOfxImageEffectPropPreMultiplication)}, 1,
             Access::PluginToo);
  out.Define(kOfxImageEffectPropFrameRate, std::vector<double>{24.0}, 1, Access::PluginToo);
  out.Define(kOfxImageClipPropFieldOrder, std::vector<std::string>{kOfxImageFieldNone}, 1,
             Access::PluginToo);
  out.Define(kOfxImageClipPropContinuousSamples, std::vector<int>{0}, 1, Access::PluginToo);
  out.Define(kOfxImageEffectFrameVarying, std::vector<int>{0}, 1, Access::PluginToo);
  ActionContext context{
      kOfxImageEffectActionGetClipPreferences, &host_, &host_.sink(), this, 0.0, false, false};
  const OfxStatus status = host_.Call(plugin_, kOfxImageEffectActionGetClipPreferences,
                                      effect_.get(), nullptr, &out, context);
  const std::string premultiplication =
      status == kOfxStatOK ? out.String(kOfxImageEffectPropPreMultiplication)
                           : source.props.String(kOfxImageEffectPropPreMultiplication);
  Clip(kOfxImageEffectOutputClipName)
      .props.SetStrings(kOfxImageEffectPropPreMultiplication, {premultiplication});
}

OfxStatus Instance::Render(const RenderRequest& request, HostImage& output) {
  const OfxPointD scale = request.renderScale;
  const OfxRectI window = request.window;
  const OfxRectD wanted = Canonical(
      window, scale,
      Clip(kOfxImageEffectOutputClipName).props.Double(kOfxImagePropPixelAspectRatio, 1.0));

  // The regions of interest first, as an application asks before rendering.
  PropertySet roiIn("regions of interest's arguments", host_.sink());
  In(roiIn, kOfxPropTime, std::vector<double>{request.time});
  In(roiIn, kOfxImageEffectPropRenderScale, std::vector<double>{scale.x, scale.y});
  In(roiIn, kOfxImageEffectPropRegionOfInterest,
     std::vector<double>{wanted.x1, wanted.y1, wanted.x2, wanted.y2});
  PropertySet roiOut("regions of interest's results", host_.sink());
  for (const auto& clip : effect_->clips) {
    if (clip->name == kOfxImageEffectOutputClipName) continue;
    roiOut.Define(std::string(kOfxImageClipPropRoIPrefix) + clip->name,
                  std::vector<double>{wanted.x1, wanted.y1, wanted.x2, wanted.y2}, 4,
                  Access::PluginToo);
  }
  ActionContext roi{kOfxImageEffectActionGetRegionsOfInterest,
                    &host_,
                    &host_.sink(),
                    this,
                    request.time,
                    false,
                    false};
  host_.Call(plugin_, kOfxImageEffectActionGetRegionsOfInterest, effect_.get(), &roiIn, &roiOut,
             roi);
  std::map<std::string, std::vector<double>> frames;
  FramesNeeded(request.time, frames);

  // The output over the window, with guard pixels around it: the caller's
  // image again when it has the window's layout (as an application reuses
  // its buffers), else a new one.
  const PropertySet& out = Clip(kOfxImageEffectOutputClipName).props;
  PrepareOutput(window, out.String(kOfxImageEffectPropPixelDepth),
                out.String(kOfxImageEffectPropComponents), output);

  ActionContext render{
      kOfxImageEffectActionRender, &host_, &host_.sink(), this, request.time, false, true};
  render.renderScale = scale;
  render.output = &output;
  render.outputWindow = window;
  for (const auto& clip : effect_->clips) {
    if (clip->name == kOfxImageEffectOutputClipName) continue;
    const std::vector<double> r =
        roiOut.Doubles(std::string(kOfxImageClipPropRoIPrefix) + clip->name);
    render.regionsOfInterest[clip->name] = OfxRectD{r[0], r[1], r[2], r[3]};
  }
  PropertySet in("render's arguments", host_.sink());
  In(in, kOfxPropTime, std::vector<double>{request.time});
  In(in, kOfxImageEffectPropFieldToRender, std::string(kOfxImageFieldNone));
  In(in, kOfxImageEffectPropRenderWindow,
     std::vector<int>{window.x1, window.y1, window.x2, window.y2});
  In(in, kOfxImageEffectPropRenderScale, std::vector<double>{scale.x, scale.y});
  In(in, kOfxImageEffectPropSequentialRenderStatus, std::vector<int>{0});
  In(in, kOfxImageEffectPropInteractiveRenderStatus, std::vector<int>{0});
  In(in, kOfxImageEffectPropRenderQualityDraft, std::vector<int>{request.draft ? 1 : 0});
  const OfxStatus status =
      host_.Call(plugin_, kOfxImageEffectActionRender, effect_.get(), &in, nullptr, render);

  if (!GuardsIntact(output)) host_.sink().Problem("the render wrote outside its render window");
  return status;
}

OfxStatus Instance::IsIdentity(const RenderRequest& request, std::string& clip, double& time) {
  PropertySet in("identity's arguments", host_.sink());
  In(in, kOfxPropTime, std::vector<double>{request.time});
  In(in, kOfxImageEffectPropFieldToRender, std::string(kOfxImageFieldNone));
  In(in, kOfxImageEffectPropRenderWindow,
     std::vector<int>{request.window.x1, request.window.y1, request.window.x2, request.window.y2});
  In(in, kOfxImageEffectPropRenderScale,
     std::vector<double>{request.renderScale.x, request.renderScale.y});
  PropertySet out("identity's results", host_.sink());
  out.Define(kOfxPropName, std::vector<std::string>{""}, 1, Access::PluginToo);
  out.Define(kOfxPropTime, std::vector<double>{request.time}, 1, Access::PluginToo);
  ActionContext context{
      kOfxImageEffectActionIsIdentity, &host_, &host_.sink(), this, request.time, false, false};
  const OfxStatus status =
      host_.Call(plugin_, kOfxImageEffectActionIsIdentity, effect_.get(), &in, &out, context);
  clip = out.String(kOfxPropName);
  time = out.Double(kOfxPropTime);
  return status;
}

OfxStatus Instance::RegionOfDefinition(double time, OfxPointD scale, OfxRectD& region) {
  PropertySet in("region of definition's arguments", host_.sink());
  In(in, kOfxPropTime, std::vector<double>{time});
  In(in, kOfxImageEffectPropRenderScale, std::vector<double>{scale.x, scale.y});
  const OfxRectD source = Clip(kOfxImageEffectSimpleSourceClipName).region;
  PropertySet out("region of definition's results", host_.sink());
  out.Define(kOfxImageEffectPropRegionOfDefinition,
             std::vector<double>{source.x1, source.y1, source.x2, source.y2}, 4, Access::PluginToo);
  ActionContext context{
      kOfxImageEffectActionGetRegionOfDefinition, &host_, &host_.sink(), this, time, false, false};
  const OfxStatus status = host_.Call(plugin_, kOfxImageEffectActionGetRegionOfDefinition,
                                      effect_.get(), &in, &out, context);
  const std::vector<double> r = out.Doubles(kOfxImageEffectPropRegionOfDefinition);
  region = OfxRectD{r[0], r[1], r[2], r[3]};
  return status;
}

OfxStatus Instance::FramesNeeded(double time, std::map<std::string, std::vector<double>>& ranges) {
  PropertySet in("frames needed's arguments", host_.sink());
  In(in, kOfxPropTime, std::vector<double>{time});
  PropertySet out("frames needed's results", host_.sink());
  for (const auto& clip : effect_->clips) {
    if (clip->name == kOfxImageEffectOutputClipName) continue;
    out.Define(std::string(kOfxImageClipPropFrameRangePrefix) + clip->name,
               std::vector<double>{time, time}, kAnyDimension, Access::PluginToo);
  }
  ActionContext context{
      kOfxImageEffectActionGetFramesNeeded, &host_, &host_.sink(), this, time, false, false};
  const OfxStatus status =
      host_.Call(plugin_, kOfxImageEffectActionGetFramesNeeded, effect_.get(), &in, &out, context);
  ranges.clear();
  for (const auto& clip : effect_->clips) {
    if (clip->name == kOfxImageEffectOutputClipName) continue;
    ranges[clip->name] = out.Doubles(std::string(kOfxImageClipPropFrameRangePrefix) + clip->name);
  }
  return status;
}

OfxStatus Instance::SequenceRender(const char* action, double first, double last, OfxPointD scale) {
  PropertySet in("sequence render's arguments", host_.sink());
  In(in, kOfxImageEffectPropFrameRange, std::vector<double>{first, last});
  In(in, kOfxImageEffectPropFrameStep, std::vector<double>{1.0});
  In(in, kOfxPropIsInteractive, std::vector<int>{0});
  In(in, kOfxImageEffectPropRenderScale, std::vector<double>{scale.x, scale.y});
  In(in, kOfxImageEffectPropSequentialRenderStatus, std::vector<int>{0});
  In(in, kOfxImageEffectPropInteractiveRenderStatus, std::vector<int>{0});
  ActionContext context{action, &host_, &host_.sink(), this, first, false, false};
  return host_.Call(plugin_, action, effect_.get(), &in, nullptr, context);
}

OfxStatus Instance::PurgeCaches() {
  ActionContext context{kOfxActionPurgeCaches, &host_, &host_.sink(), this, 0.0, false, false};
  return host_.Call(plugin_, kOfxActionPurgeCaches, effect_.get(), nullptr, nullptr, context);
}

OfxStatus Instance::InstanceChanged(const std::string& param, double time, const char* reason) {
  PropertySet why("instance change's arguments", host_.sink());
  In(why, kOfxPropChangeReason, std::string(reason));
  ActionContext begin{
      kOfxActionBeginInstanceChanged, &host_, &host_.sink(), this, time, false, false};
  host_.Call(plugin_, kOfxActionBeginInstanceChanged, effect_.get(), &why, nullptr, begin);
  const OfxStatus status = Changed(param, time, reason);
  // The plug-in's own edits, told back to it; an edit answering an edit
  // answering an edit ... is a loop.
  constexpr int kRounds = 8;
  for (int round = 0;; ++round) {
    std::vector<std::string> edited;
    {
      const std::lock_guard lock(mutex_);
      edited = std::exchange(pluginEdits_, {});
    }
    if (edited.empty()) break;
    if (round == kRounds) {
      host_.sink().Problem("the plug-in keeps setting " + edited.front() +
                           " in answer to its own changes");
      break;
    }
    for (const std::string& name : edited) Changed(name, time, kOfxChangePluginEdited);
  }
  ActionContext end{kOfxActionEndInstanceChanged, &host_, &host_.sink(), this, time, false, false};
  host_.Call(plugin_, kOfxActionEndInstanceChanged, effect_.get(), &why, nullptr, end);
  return status;
}

OfxStatus Instance::Changed(const std::string& param, double time, const char* reason) {
  PropertySet in("instance changed's arguments", host_.sink());
  In(in, kOfxPropType, std::string(kOfxTypeParameter));
  In(in, kOfxPropName, param);
  In(in, kOfxPropChangeReason, std::string(reason));
  In(in, kOfxPropTime, std::vector<double>{time});
  In(in, kOfxImageEffectPropRenderScale, std::vector<double>{1.0, 1.0});
  ActionContext changed{kOfxActionInstanceChanged, &host_, &host_.sink(), this, time, false, true};
  const OfxStatus status =
      host_.Call(plugin_, kOfxActionInstanceChanged, effect_.get(), &in, nullptr, changed);
  if (effect_->params.Editing()) {
    host_.sink().Problem(std::string(kOfxActionInstanceChanged) + " of " + param +
                         " returned with an edit block open");
    effect_->params.EndEdit();
  }
  return status;
}

void Instance::NotePluginEdit(const std::string& param) {
  const std::lock_guard lock(mutex_);
  if (std::find(pluginEdits_.begin(), pluginEdits_.end(), param) == pluginEdits_.end()) {
    pluginEdits_.push_back(param);
  }
}

OfxStatus Instance::Edit(const std::string& name, ParamValue value, double time) {
  Param* param = effect_->params.Find(name);
  if (!param) throw std::runtime_error("the instance has no parameter " + name);
  if (param->Dimensions() == 0) throw std::runtime_error(name + " holds no value to edit");
  effect_->params.WillChange(*param);
  SetValue(name, std::move(value));
  return InstanceChanged(name, time);
}

OfxStatus Instance::Press(const std::string& button, double time) {
  const Param* param = effect_->params.Find(button);
  if (!param || param->type() != kOfxParamTypePushButton) {
    throw std::runtime_error("the instance has no push button " + button);
  }
  return InstanceChanged(button, time);
}

std::vector<std::string> Instance::UndoHistory() const { return effect_->params.UndoNames(); }

bool Instance::Undo(double time) {
  const std::vector<Param*> restored = effect_->params.Undo();
  for (const Param* param : restored) InstanceChanged(param->name(), time);
  return !restored.empty();
}

std::vector<Fetch> Instance::TakeFetches() {
  const std::lock_guard lock(mutex_);
  return std::exchange(fetches_, {});
}

std::string Instance::PersistentMessage() const {
  const std::lock_guard lock(mutex_);
  return persistentMessage_;
}

}  // namespace gw::ofxhost
