// An instance as the host drives it: its parameters and clips, and the
// actions around a render.
#include <algorithm>
#include <cstring>
#include <utility>
#include <stdexcept>

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

OfxRectD Canonical(const OfxRectI& r, OfxPointD scale) {
  return OfxRectD{r.x1 / scale.x, r.y1 / scale.y, r.x2 / scale.x, r.y2 / scale.y};
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
  clip.props.SetStrings(kOfxImageEffectPropPreMultiplication,
                        {components == kOfxImageComponentRGB ? kOfxImageOpaque
                                                             : kOfxImagePreMultiplied});
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
             std::vector<std::string>{source.props.String(kOfxImageEffectPropPreMultiplication)},
             1, Access::PluginToo);
  out.Define(kOfxImageEffectPropFrameRate, std::vector<double>{24.0}, 1, Access::PluginToo);
  out.Define(kOfxImageClipPropFieldOrder, std::vector<std::string>{kOfxImageFieldNone}, 1,
             Access::PluginToo);
  out.Define(kOfxImageClipPropContinuousSamples, std::vector<int>{0}, 1, Access::PluginToo);
  out.Define(kOfxImageEffectFrameVarying, std::vector<int>{0}, 1, Access::PluginToo);
  ActionContext context{kOfxImageEffectActionGetClipPreferences, &host_, &host_.sink(), this, 0.0,
                        false, false};
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
  const OfxRectD wanted = Canonical(window, scale);

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
  ActionContext roi{kOfxImageEffectActionGetRegionsOfInterest, &host_, &host_.sink(), this,
                    request.time, false, false};
  host_.Call(plugin_, kOfxImageEffectActionGetRegionsOfInterest, effect_.get(), &roiIn, &roiOut,
             roi);
  std::map<std::string, std::vector<double>> frames;
  FramesNeeded(request.time, frames);

  // The output over the window, with guard pixels around it.
  const OfxRectI padded{window.x1 - kGuardPixels, window.y1 - kGuardPixels,
                        window.x2 + kGuardPixels, window.y2 + kGuardPixels};
  const PropertySet& out = Clip(kOfxImageEffectOutputClipName).props;
  HostImage full = HostImage::Make(padded, out.String(kOfxImageEffectPropPixelDepth),
                                   out.String(kOfxImageEffectPropComponents));
  std::fill(full.bytes.begin(), full.bytes.end(), kGuardByte);

  ActionContext render{kOfxImageEffectActionRender, &host_, &host_.sink(), this, request.time,
                       false, true};
  render.renderScale = scale;
  render.output = &full;
  render.outputWindow = window;
  for (const auto& clip : effect_->clips) {
    if (clip->name == kOfxImageEffectOutputClipName) continue;
    const std::vector<double> r = roiOut.Doubles(std::string(kOfxImageClipPropRoIPrefix) + clip->name);
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

  // Nothing may change around the window; the window is what was rendered.
  output = HostImage::Make(window, full.depth, full.components);
  const size_t pixel = full.PixelBytes();
  bool outside = false;
  for (int32_t y = padded.y1; y < padded.y2; ++y) {
    for (int32_t x = padded.x1; x < padded.x2; ++x) {
      const uint8_t* p = full.Pixel(x, y);
      const bool inWindow = x >= window.x1 && x < window.x2 && y >= window.y1 && y < window.y2;
      if (inWindow) {
        std::memcpy(output.Pixel(x, y), p, pixel);
      } else {
        outside = outside || std::any_of(p, p + pixel, [](uint8_t b) { return b != kGuardByte; });
      }
    }
  }
  if (outside) host_.sink().Problem("the render wrote outside its render window");
  return status;
}

OfxStatus Instance::IsIdentity(const RenderRequest& request, std::string& clip, double& time) {
  PropertySet in("identity's arguments", host_.sink());
  In(in, kOfxPropTime, std::vector<double>{request.time});
  In(in, kOfxImageEffectPropFieldToRender, std::string(kOfxImageFieldNone));
  In(in, kOfxImageEffectPropRenderWindow, std::vector<int>{request.window.x1, request.window.y1,
                                                           request.window.x2, request.window.y2});
  In(in, kOfxImageEffectPropRenderScale,
     std::vector<double>{request.renderScale.x, request.renderScale.y});
  PropertySet out("identity's results", host_.sink());
  out.Define(kOfxPropName, std::vector<std::string>{""}, 1, Access::PluginToo);
  out.Define(kOfxPropTime, std::vector<double>{request.time}, 1, Access::PluginToo);
  ActionContext context{kOfxImageEffectActionIsIdentity, &host_, &host_.sink(), this,
                        request.time, false, false};
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
  ActionContext context{kOfxImageEffectActionGetRegionOfDefinition, &host_, &host_.sink(), this,
                        time, false, false};
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
  ActionContext context{kOfxImageEffectActionGetFramesNeeded, &host_, &host_.sink(), this, time,
                        false, false};
  const OfxStatus status = host_.Call(plugin_, kOfxImageEffectActionGetFramesNeeded,
                                      effect_.get(), &in, &out, context);
  ranges.clear();
  for (const auto& clip : effect_->clips) {
    if (clip->name == kOfxImageEffectOutputClipName) continue;
    ranges[clip->name] = out.Doubles(std::string(kOfxImageClipPropFrameRangePrefix) + clip->name);
  }
  return status;
}

OfxStatus Instance::BeginSequenceRender(double first, double last, OfxPointD scale) {
  PropertySet in("begin sequence render's arguments", host_.sink());
  In(in, kOfxImageEffectPropFrameRange, std::vector<double>{first, last});
  In(in, kOfxImageEffectPropFrameStep, std::vector<double>{1.0});
  In(in, kOfxPropIsInteractive, std::vector<int>{0});
  In(in, kOfxImageEffectPropRenderScale, std::vector<double>{scale.x, scale.y});
  In(in, kOfxImageEffectPropSequentialRenderStatus, std::vector<int>{0});
  In(in, kOfxImageEffectPropInteractiveRenderStatus, std::vector<int>{0});
  ActionContext context{kOfxImageEffectActionBeginSequenceRender, &host_, &host_.sink(), this,
                        first, false, false};
  return host_.Call(plugin_, kOfxImageEffectActionBeginSequenceRender, effect_.get(), &in,
                    nullptr, context);
}

OfxStatus Instance::EndSequenceRender(double first, double last, OfxPointD scale) {
  PropertySet in("end sequence render's arguments", host_.sink());
  In(in, kOfxImageEffectPropFrameRange, std::vector<double>{first, last});
  In(in, kOfxImageEffectPropFrameStep, std::vector<double>{1.0});
  In(in, kOfxPropIsInteractive, std::vector<int>{0});
  In(in, kOfxImageEffectPropRenderScale, std::vector<double>{scale.x, scale.y});
  In(in, kOfxImageEffectPropSequentialRenderStatus, std::vector<int>{0});
  In(in, kOfxImageEffectPropInteractiveRenderStatus, std::vector<int>{0});
  ActionContext context{kOfxImageEffectActionEndSequenceRender, &host_, &host_.sink(), this,
                        last, false, false};
  return host_.Call(plugin_, kOfxImageEffectActionEndSequenceRender, effect_.get(), &in, nullptr,
                    context);
}

OfxStatus Instance::InstanceChanged(const std::string& param, double time) {
  PropertySet reason("instance change's arguments", host_.sink());
  In(reason, kOfxPropChangeReason, std::string(kOfxChangeUserEdited));
  ActionContext begin{kOfxActionBeginInstanceChanged, &host_, &host_.sink(), this, time, false,
                      false};
  host_.Call(plugin_, kOfxActionBeginInstanceChanged, effect_.get(), &reason, nullptr, begin);
  PropertySet in("instance changed's arguments", host_.sink());
  In(in, kOfxPropType, std::string(kOfxTypeParameter));
  In(in, kOfxPropName, param);
  In(in, kOfxPropChangeReason, std::string(kOfxChangeUserEdited));
  In(in, kOfxPropTime, std::vector<double>{time});
  In(in, kOfxImageEffectPropRenderScale, std::vector<double>{1.0, 1.0});
  ActionContext changed{kOfxActionInstanceChanged, &host_, &host_.sink(), this, time, false, true};
  const OfxStatus status =
      host_.Call(plugin_, kOfxActionInstanceChanged, effect_.get(), &in, nullptr, changed);
  ActionContext end{kOfxActionEndInstanceChanged, &host_, &host_.sink(), this, time, false, false};
  host_.Call(plugin_, kOfxActionEndInstanceChanged, effect_.get(), &reason, nullptr, end);
  return status;
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
