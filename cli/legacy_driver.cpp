// Rendering through the legacy plug-in modules in the test host, exactly as
// the compositing host drives them: the plug-in draws on 8-bit frames, and
// the program lays its flare over plates of other depths.
#include <cmath>

#include "cli/compositing.h"
#include "cli/effect_driver.h"
#include "cli/errors.h"
#include "cli/image_io.h"
#include "cli/plugin_modules.h"

namespace gw {
namespace {

using testhost::ParamValue;
using testhost::TestHost;

// Time units per frame: frame f lies at time f x kTimeStep.
constexpr int32_t kTimeStep = 1000;

std::vector<uint8_t> StoredBytes(const Lens& lens) {
  const SequenceData data = StoredSequenceData(lens);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&data);
  return std::vector<uint8_t>(bytes, bytes + sizeof data);
}

class LegacyDriver final : public EffectDriver {
 public:
  explicit LegacyDriver(const EffectSetUp& s)
      : plan_(s.plan), host_(LoadPlugin(FindPluginModule(s.plan.edition, s.pluginDir))) {
    testhost::HostSettings& settings = host_->settings();
    settings.timeScale = static_cast<uint32_t>(std::lround(plan_.fps * kTimeStep));
    settings.timeStep = kTimeStep;
    settings.totalTime = (plan_.sequence.last + 1) * kTimeStep;
    settings.quality = plan_.highQuality ? PF_Quality_HI : PF_Quality_LO;
    settings.downsample = plan_.downsample;
    settings.shutterAngle =
        static_cast<PF_Fixed>(std::lround(plan_.shutterAngle / 360.0 * 65536.0));
    // The modules write every pixel of a frame they render: the program pays
    // for no pass over the frame that only checks that.
    settings.strictOutput = false;

    CheckPluginCode(*host_, "global setup", host_->GlobalSetup());
    CheckPluginCode(*host_, "parameter setup", host_->ParamsSetup());
    if (s.lens) {
      // The lens reaches the plug-in as a saved project hands it back.
      CheckPluginCode(*host_, "sequence resetup", host_->SequenceResetup(StoredBytes(*s.lens)));
    } else {
      CheckPluginCode(*host_, "sequence setup", host_->SequenceSetup());
    }
    CheckPluginConduct(*host_);
  }

  ~LegacyDriver() override {
    host_->SequenceSetdown();
    host_->GlobalSetdown();
  }

  void SetKey(ParamRole role, int frame, const ParamValue& value) override {
    host_->SetKey(IndexOf(role), frame * kTimeStep, value);
  }
  void SetValue(ParamRole role, const ParamValue& value) override {
    host_->SetValue(IndexOf(role), value);
  }
  void SetLayer(ParamRole role, testhost::LayerSource frames) override {
    host_->SetLayer(IndexOf(role),
                    [frames](int32_t time) { return frames(time / kTimeStep); });
  }

  Plate Render(int frame, const Plate& plate, ItemContext& context) override {
    const bool direct = DrawsOverPlate(plate, plan_.blend, plan_.flareOnly);
    const testhost::Image input =
        direct ? PlateToFrame(plate).argb : BlackFrame(plate.width, plate.height);
    host_->cancelRequested = context.cancelled;
    host_->onProgress = [&](int32_t current, int32_t total) {
      if (total > 0) context.reportFraction(static_cast<double>(current) / total);
    };
    const PF_Err err = host_->Render(frame * kTimeStep, input, rendered_);
    if (const std::string layerError = host_->TakeCallbackError(); !layerError.empty()) {
      throw CommandError(layerError);  // a layer image that could not be read
    }
    if (err == PF_Interrupt_CANCEL || context.cancelled()) throw ItemCancelled{};
    CheckPluginCode(*host_, "frame " + std::to_string(frame), err);
    CheckPluginConduct(*host_);

    if (plan_.flareOnly) return FlareOnly(rendered_);
    if (direct) return WithRenderedPixels(DownsamplePlate(plate, plan_.downsample), rendered_);
    return CombineFlare(DownsamplePlate(plate, plan_.downsample), rendered_, plan_.blend);
  }

 private:
  // The host's index of a parameter: its place in the edition's table.
  int32_t IndexOf(ParamRole role) const { return EditionNamed(plan_.edition).IndexOf(role); }

  const RenderPlan& plan_;
  std::unique_ptr<TestHost> host_;
  testhost::Image rendered_;  // the host's output, its pixels kept from frame to frame
};

}  // namespace

std::unique_ptr<EffectDriver> MakeLegacyDriver(const EffectSetUp& setUp) {
  return std::make_unique<LegacyDriver>(setUp);
}

}  // namespace gw
