#include "cli/render_command.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

#include "cli/errors.h"
#include "cli/files.h"
#include "cli/image_io.h"
#include "cli/plugin_modules.h"
#include "cli/presets_commands.h"
#include "cli/progress_bar.h"
#include "cli/render_options.h"
#include "cli/sequence_pattern.h"
#include "lens/lens.h"
#include "presets/presets.h"

namespace gw {
namespace {

using testhost::ParamValue;
using testhost::TestHost;

// Time units per frame: frame f lies at time f x kTimeStep.
constexpr int32_t kTimeStep = 1000;

std::atomic<bool> interrupted{false};

void OnInterrupt(int) { interrupted = true; }

// Ctrl-C cancels through the plug-in's progress check while this lives; a
// second Ctrl-C ends the program at once.
class InterruptGuard {
 public:
  InterruptGuard() {
    interrupted = false;
    struct sigaction action {};
    action.sa_handler = &OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptGuard() { sigaction(SIGINT, &previous_, nullptr); }

 private:
  struct sigaction previous_ {};
};

std::string ResolveEdition(const RenderOptions& o) {
  std::string edition = o.edition.empty() ? (o.preset.empty() ? "full" : "quick") : o.edition;
  if (edition != "full" && edition != "showcase" && edition != "quick") {
    throw CommandError("--edition: '" + edition + "' is not one of full, showcase, quick");
  }
  if (!o.lens.empty() && edition == "quick") {
    throw CommandError("--lens: the quick edition draws presets, not lens files");
  }
  if (!o.preset.empty() && edition != "quick") {
    throw CommandError("--preset: only the quick edition has presets");
  }
  return edition;
}

using FrameSize = FrameDimensions;

// The declared parameter an option sets; throws when the edition has none.
int32_t ParamIndex(const TestHost& host, const std::string& option, const std::string& name,
                   const std::string& edition) {
  const int32_t index = host.IndexOf(name);
  if (index < 0) {
    throw CommandError(option + ": the " + edition + " edition has no \"" + name +
                       "\" parameter");
  }
  return index;
}

// Refuses a value outside the parameter's declared range, as the host would.
void CheckRange(const TestHost& host, int32_t index, const std::string& option, int32_t value,
                bool fixed) {
  const PF_ParamDef& def = host.declarations()[index - 1].def;
  int32_t low = 0, high = 0;
  if (def.param_type == PF_Param_FIX_SLIDER) {
    low = def.u.fd.valid_min;
    high = def.u.fd.valid_max;
  } else if (def.param_type == PF_Param_SLIDER) {
    low = def.u.sd.valid_min;
    high = def.u.sd.valid_max;
  } else {
    return;
  }
  if (value < low || value > high) {
    const auto show = [fixed](int32_t v) {
      return fixed ? std::to_string(v / 65536.0).substr(0, std::to_string(v / 65536.0).find('.') + 3)
                   : std::to_string(v);
    };
    throw CommandError(option + ": " + show(value) + " lies outside " + show(low) + ".." +
                       show(high));
  }
}

// Keyframes of one numeric option into the host.
void SetKeys(TestHost& host, int32_t index, const std::string& option,
             const std::vector<std::string>& texts,
             const std::function<ParamValue(const std::string&)>& parse) {
  for (const KeyText& key : ParseKeys(option, texts)) {
    host.SetKey(index, key.frame * kTimeStep, parse(key.value));
  }
}

// Frames of one image or pattern, read on demand and kept while in use.
class ImageSource {
 public:
  explicit ImageSource(std::string pattern) : pattern_(std::move(pattern)) {}
  std::shared_ptr<const testhost::Image> At(int frame) {
    const std::string path = FrameFileName(pattern_, frame);
    if (path != path_) {
      image_ = std::make_shared<const testhost::Image>(ReadFrame(path).argb);
      path_ = path;
    }
    return image_;
  }

 private:
  std::string pattern_;
  std::string path_;
  std::shared_ptr<const testhost::Image> image_;
};

// A layer option: each key chooses an image or pattern from its frame on.
void SetLayerKeys(TestHost& host, int32_t index, const std::string& option,
                  const std::vector<std::string>& texts) {
  auto sources = std::make_shared<std::map<int, ImageSource>>();
  for (const KeyText& key : ParseKeys(option, texts)) sources->emplace(key.frame, key.value);
  host.SetLayer(index, [sources](int32_t time) {
    const int frame = time / kTimeStep;
    auto it = sources->upper_bound(frame);
    if (it != sources->begin()) --it;
    return it->second.At(frame);
  });
}

void ApplyParameters(TestHost& host, const RenderOptions& o, const std::string& edition,
                     const FrameSize& size) {
  const auto index = [&](const std::string& option, const std::string& name) {
    return ParamIndex(host, option, name, edition);
  };
  const auto fixedOption = [&](const std::string& option, const std::string& name,
                               const std::vector<std::string>& texts) {
    if (texts.empty()) return;
    const int32_t i = index(option, name);
    SetKeys(host, i, option, texts, [&](const std::string& text) {
      ParamValue v;
      v.value = ToFixed(option, ParseNumber(option, text));
      CheckRange(host, i, option, v.value, true);
      return v;
    });
  };
  fixedOption("--brightness", "Brightness", o.brightness);
  fixedOption("--scale", "Scale", o.scale);
  fixedOption("--angle", "Angle", o.angle);
  if (!o.light.empty()) {
    SetKeys(host, index("--light", "Light Source Location"), "--light", o.light,
            [&](const std::string& text) {
              return ParseLight("--light", text, size.width, size.height);
            });
  }
  if (!o.color.empty()) {
    SetKeys(host, index("--color", "Color"), "--color", o.color,
            [](const std::string& text) { return ParseColour("--color", text); });
  }
  if (!o.obscurationType.empty()) {
    SetKeys(host, index("--obscuration-type", "Obscuration Type"), "--obscuration-type",
            o.obscurationType, [](const std::string& text) {
              ParamValue v;
              v.value = ParseObscurationType("--obscuration-type", text);
              return v;
            });
  }
  if (!o.sourceSize.empty()) {
    const int32_t i = index("--source-size", "Source size:");
    SetKeys(host, i, "--source-size", o.sourceSize, [&](const std::string& text) {
      ParamValue v;
      v.value = ParseInteger("--source-size", text);
      CheckRange(host, i, "--source-size", v.value, false);
      return v;
    });
  }
  if (!o.locationLayer.empty()) {
    SetLayerKeys(host, index("--location-layer", "Location layer:"), "--location-layer",
                 o.locationLayer);
  }
  if (!o.obscurationLayer.empty()) {
    SetLayerKeys(host, index("--obscuration-layer", "Obscuration layer:"), "--obscuration-layer",
                 o.obscurationLayer);
  }
  if (!o.preset.empty()) {
    ParamValue v;
    v.value = ResolvePresetOrThrow("--preset", o.preset);
    host.SetValue(index("--preset", "Flare Type"), v);
  }
}

}  // namespace

void RunRender(const RenderOptions& o) {
  const std::string edition = ResolveEdition(o);
  const std::optional<FrameRange> range =
      o.frames.empty() ? FrameRange{0, 0} : ParseFrameRange(o.frames);
  if (!range) throw CommandError("--frames: '" + o.frames + "' is not A-B or N");
  const int frameCount = range->last - range->first + 1;
  if (IsSequencePattern(o.input) && o.frames.empty()) {
    throw CommandError(o.input + ": a numbered sequence needs --frames A-B");
  }
  if (frameCount > 1 && !IsSequencePattern(o.output)) {
    throw CommandError(o.output + ": several frames need a numbered output such as out.%04d.png");
  }
  if (!(o.fps > 0.0 && o.fps <= 1000.0)) throw CommandError("--fps: must be more than 0 and at most 1000");
  if (!(o.shutterAngle >= 0.0 && o.shutterAngle <= 720.0)) {
    throw CommandError("--shutter-angle: must lie within 0..720 degrees");
  }
  if (o.quality != "high" && o.quality != "draft") {
    throw CommandError("--quality: '" + o.quality + "' is not high or draft");
  }
  if (o.downsample < 1 || o.downsample > 64) {
    throw CommandError("--downsample: must lie within 1..64");
  }

  // The first input frame fixes the frame size (percent lights refer to it).
  const FrameSize builtIn = ParseFrameSize("--size", o.size, 1, kMaxImageSide);
  const auto inputAt = [&](int frame) -> Frame {
    if (o.input.empty()) return BuiltInFrame(builtIn.width, builtIn.height);
    return ReadFrame(FrameFileName(o.input, frame));
  };
  Frame first = inputAt(range->first);
  const FrameSize size{first.argb.width, first.argb.height};

  std::unique_ptr<TestHost> host = LoadPlugin(FindPluginModule(edition, o.pluginDir));
  testhost::HostSettings& settings = host->settings();
  settings.timeScale = static_cast<uint32_t>(std::lround(o.fps * kTimeStep));
  settings.timeStep = kTimeStep;
  settings.totalTime = (range->last + 1) * kTimeStep;
  settings.quality = o.quality == "high" ? PF_Quality_HI : PF_Quality_LO;
  settings.downsample = o.downsample;
  settings.shutterAngle = static_cast<PF_Fixed>(std::lround(o.shutterAngle / 360.0 * 65536.0));

  CheckPluginCode(*host, "global setup", host->GlobalSetup());
  CheckPluginCode(*host, "parameter setup", host->ParamsSetup());
  if (!o.lens.empty()) {
    // The lens reaches the plug-in as a saved project hands it back.
    auto data = std::make_unique<SequenceData>();
    std::memset(data.get(), 0, sizeof(SequenceData));
    data->version = kSequenceDataVersion;
    data->lens = LoadLensOrThrow(o.lens);
    Flatten(*data);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.get());
    CheckPluginCode(*host, "sequence resetup",
                    host->SequenceResetup(std::vector<uint8_t>(bytes, bytes + sizeof(SequenceData))));
  } else {
    CheckPluginCode(*host, "sequence setup", host->SequenceSetup());
  }
  CheckPluginConduct(*host);
  ApplyParameters(*host, o, edition, size);

  InterruptGuard guard;
  host->cancelRequested = [] { return interrupted.load(); };
  ProgressBar bar(frameCount, frameCount > 1 && !o.quiet && isatty(STDERR_FILENO));
  int written = 0;
  host->onProgress = [&](int32_t current, int32_t total) {
    bar.Update(written, total > 0 ? static_cast<double>(current) / total : 0.0);
  };
  for (int frame = range->first; frame <= range->last; ++frame) {
    Frame input = frame == range->first ? std::move(first) : inputAt(frame);
    Frame output;
    output.hasAlpha = input.hasAlpha;
    bar.Update(written, 0.0);
    const PF_Err err = host->Render(frame * kTimeStep, input.argb, output.argb);
    if (const std::string layerError = host->TakeCallbackError(); !layerError.empty()) {
      throw CommandError(layerError);  // a layer image that could not be read
    }
    if (err == PF_Interrupt_CANCEL || interrupted) {
      bar.Finish();
      throw CommandError("interrupted: " + std::to_string(written) + " of " +
                         std::to_string(frameCount) + " frames written");
    }
    CheckPluginCode(*host, "frame " + std::to_string(frame), err);
    CheckPluginConduct(*host);
    WriteFrame(FrameFileName(o.output, frame), output);
    ++written;
  }
  bar.Update(written, 0.0);
  bar.Finish();
  host->SequenceSetdown();
  host->GlobalSetdown();
  CheckPluginConduct(*host);
}

void AddRenderCommand(CLI::App& app) {
  auto o = std::make_shared<RenderOptions>();
  CLI::App* render = app.add_subcommand(
      "render", "Render a flare over an image, a numbered sequence or the built-in frame");
  render->add_option("input", o->input,
                     "Image or numbered sequence (shot.%04d.png, shot.####.png); "
                     "none: the built-in frame");
  render->add_option("-o,--output", o->output, "Image or numbered sequence to write")->required();
  render->add_option("--edition", o->edition, "full, showcase or quick (default: quick with "
                                              "--preset, else full)");
  render->add_option("--lens", o->lens, "Lens file (.gwr) for the full and Showcase editions");
  render->add_option("--preset", o->preset, "Quick edition preset, by name or number 1-39");
  const char* keyed = " (VALUE@FRAME for keyframes, repeatable)";
  render->add_option("--light", o->light, std::string("Light position X,Y in pixels or X%,Y%") + keyed);
  render->add_option("--brightness", o->brightness, std::string("Brightness in percent") + keyed);
  render->add_option("--scale", o->scale, std::string("Scale factor") + keyed);
  render->add_option("--color", o->color, std::string("Flare colour RRGGBB") + keyed);
  render->add_option("--angle", o->angle, std::string("Angle in degrees") + keyed);
  render->add_option("--location-layer", o->locationLayer,
                     std::string("Image or sequence whose opaque pixels place the light") + keyed);
  render->add_option("--obscuration-layer", o->obscurationLayer,
                     std::string("Image or sequence that covers the light") + keyed);
  render->add_option("--obscuration-type", o->obscurationType,
                     std::string("rgb, alpha, rgb+alpha or inverse-alpha") + keyed);
  render->add_option("--source-size", o->sourceSize,
                     std::string("Obscuration sample size 1-100") + keyed);
  render->add_option("--fps", o->fps, "Frames per second (default 24)");
  render->add_option("--shutter-angle", o->shutterAngle,
                     "Shutter angle in degrees; 0 (default) renders without motion blur");
  render->add_option("--quality", o->quality, "high (default) or draft");
  render->add_option("--downsample", o->downsample, "Render at 1/N of the size");
  render->add_option("--frames", o->frames, "Frame range A-B (or one frame N)");
  render->add_option("--size", o->size, "Size of the built-in frame (default 1920x1080)");
  render->add_flag("-q,--quiet", o->quiet, "No progress bar");
  render->add_option("--plugin-dir", o->pluginDir, "Folder holding the plug-in modules");
  render->callback([o] { RunRender(*o); });
}

}  // namespace gw
