#include "cli/render_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <memory>

#include "cli/errors.h"
#include "cli/files.h"
#include "cli/frames_check.h"
#include "cli/image_io.h"
#include "cli/interrupts.h"
#include "cli/plugin_modules.h"
#include "cli/presets_commands.h"
#include "cli/progress_bar.h"
#include "cli/worker_pool.h"
#include "frame/showcase_lights.h"
#include "host/edition.h"
#include "lens/lens.h"

namespace gw {
namespace {

using testhost::ParamValue;
using testhost::TestHost;

// Time units per frame: frame f lies at time f x kTimeStep.
constexpr int32_t kTimeStep = 1000;

// A layer image as the frame logic reads it.
LayerView ImageView(const testhost::Image& image) {
  return {reinterpret_cast<const uint8_t*>(image.pixels.data()), image.width, image.height,
          static_cast<ptrdiff_t>(image.width) * kLayerBytesPerPixel};
}

const EditionTable& EditionNamed(const std::string& name) {
  if (name == "showcase") return ShowcaseEdition();
  if (name == "quick") return QuickEdition();
  return FullEdition();
}

// The parameter's name as any edition declares it, for messages.
std::string RoleName(ParamRole role) {
  for (const EditionTable* table : {&FullEdition(), &ShowcaseEdition(), &QuickEdition()}) {
    const int32_t index = table->IndexOf(role);
    if (index > 0) return table->params[static_cast<size_t>(index - 1)].name;
  }
  return "?";
}

// The host index of the parameter an option sets; throws when the edition
// has none.
int32_t RoleIndex(const std::string& edition, ParamRole role, const std::string& option) {
  const int32_t index = EditionNamed(edition).IndexOf(role);
  if (index < 0) {
    throw CommandError(option + ": the " + edition + " edition has no \"" + RoleName(role) +
                       "\" parameter");
  }
  return index;
}

// Refuses a value outside the parameter's declared range, as the host would.
void CheckRange(const TestHost& host, int32_t index, const std::string& option, double typed,
                int32_t value) {
  const PF_ParamDef& def = host.declarations()[static_cast<size_t>(index - 1)].def;
  if (def.param_type == PF_Param_FIX_SLIDER &&
      (value < def.u.fd.valid_min || value > def.u.fd.valid_max)) {
    throw CommandError(option + ": " + FixedRangeMessage(typed, def.u.fd.valid_min,
                                                         def.u.fd.valid_max));
  }
  if (def.param_type == PF_Param_SLIDER &&
      (value < def.u.sd.valid_min || value > def.u.sd.valid_max)) {
    throw CommandError(option + ": " + std::to_string(value) + " lies outside " +
                       std::to_string(def.u.sd.valid_min) + ".." +
                       std::to_string(def.u.sd.valid_max));
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

// One image or numbered sequence of a layer; a sequence holds its first and
// last frames outside the frames on disk.
class LayerFrames {
 public:
  explicit LayerFrames(std::string pattern)
      : pattern_(std::move(pattern)), onDisk_(FramesOnDisk(pattern_)) {}

  std::string FileAt(int frame) const {
    return FrameFileName(pattern_, onDisk_ ? HeldFrame(*onDisk_, frame) : frame);
  }

  std::shared_ptr<const testhost::Image> At(int frame) {
    const std::string path = FileAt(frame);
    if (path != path_) {
      image_ = std::make_shared<const testhost::Image>(ReadFrame(path).argb);
      path_ = path;
    }
    return image_;
  }

 private:
  std::string pattern_;
  std::optional<FrameRange> onDisk_;
  std::string path_;
  std::shared_ptr<const testhost::Image> image_;
};

// A layer option: each key chooses an image or sequence from its frame on.
class LayerOption {
 public:
  LayerOption(const std::string& option, const std::vector<std::string>& texts) {
    for (const KeyText& key : ParseKeys(option, texts)) sources_.emplace(key.frame, key.value);
  }
  bool empty() const { return sources_.empty(); }
  LayerFrames& At(int frame) {
    auto it = sources_.upper_bound(frame);
    if (it != sources_.begin()) --it;
    return it->second;
  }

 private:
  std::map<int, LayerFrames> sources_;
};

std::vector<uint8_t> StoredBytes(const Lens& lens) {
  const SequenceData data = StoredSequenceData(lens);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&data);
  return std::vector<uint8_t>(bytes, bytes + sizeof data);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// Every file the render will read, and the place it will write, checked
// before the first frame.
void CheckFilesBeforeRendering(const RenderOptions& o, const RenderPlan& plan) {
  const auto checkInput = [&](int frame) {
    const std::string path = FrameFileName(o.input, frame);
    if (!FileExists(path)) {
      throw FileError(path, IsSequencePattern(o.input)
                                ? "no such file (frame " + std::to_string(frame) +
                                      " of the input sequence)"
                                : "no such file");
    }
  };
  if (!o.input.empty()) {
    checkInput(plan.sequence.first);  // a chunk reads it too: it sets the frame size
    for (int frame = plan.range.first; frame <= plan.range.last; ++frame) checkInput(frame);
  }
  // Motion blur also reads the layers at the next frame's time.
  const int lastRead = plan.range.last + (plan.shutterAngle > 0.0 ? 1 : 0);
  const std::pair<const char*, const std::vector<std::string>*> layers[] = {
      {"--location-layer", &o.locationLayer}, {"--obscuration-layer", &o.obscurationLayer}};
  for (const auto& [option, texts] : layers) {
    LayerOption layer(option, *texts);
    for (int frame = plan.range.first; !layer.empty() && frame <= lastRead; ++frame) {
      const std::string path = layer.At(frame).FileAt(frame);
      if (!FileExists(path)) {
        throw CommandError(std::string(option) + ": " + path + ": no such file (needed for frame " +
                           std::to_string(frame) + ")");
      }
    }
  }
  if (!o.lens.empty()) LoadLensOrThrow(o.lens);
  CheckWritableOrThrow(FrameFileName(o.output, plan.range.first));
}

// What the Showcase edition met in its location layer, summed over frames
// (shared between worker processes).
struct ShowcaseNotes {
  std::atomic<int> framesOverCap;
  std::atomic<int> mostPatches;
  std::atomic<int> framesWithoutLight;
};

// One plug-in, set up for the whole run, rendering frame after frame.
class FrameRenderer {
 public:
  FrameRenderer(const RenderOptions& o, const RenderPlan& plan, ShowcaseNotes& notes)
      : o_(o), plan_(plan), notes_(notes),
        locationLayer_("--location-layer", o.locationLayer),
        obscurationLayer_("--obscuration-layer", o.obscurationLayer) {
    // The sequence's first input frame fixes the frame size (percent lights
    // refer to it), whichever chunk of it this run renders.
    const Plate first = PlateAt(plan.sequence.first);
    width_ = first.width;
    height_ = first.height;
    CheckDownsampledSize(width_, height_, plan.downsample);
    host_ = LoadPlugin(FindPluginModule(plan.edition, o.pluginDir));
    SetUp();
  }

  ~FrameRenderer() {
    if (host_) {
      host_->SequenceSetdown();
      host_->GlobalSetdown();
    }
  }

  void RenderAndWrite(int frame, ItemContext& context) {
    const Plate plate = PlateAt(frame);
    const bool direct = DrawsOverPlate(plate, plan_.blend, plan_.flareOnly);
    const testhost::Image input =
        direct ? PlateToFrame(plate).argb : BlackFrame(plate.width, plate.height);
    host_->cancelRequested = context.cancelled;
    host_->onProgress = [&](int32_t current, int32_t total) {
      if (total > 0) context.reportFraction(static_cast<double>(current) / total);
    };
    testhost::Image rendered;
    const PF_Err err = host_->Render(frame * kTimeStep, input, rendered);
    if (const std::string layerError = host_->TakeCallbackError(); !layerError.empty()) {
      throw CommandError(layerError);  // a layer image that could not be read
    }
    if (err == PF_Interrupt_CANCEL || context.cancelled()) throw ItemCancelled{};
    CheckPluginCode(*host_, "frame " + std::to_string(frame), err);
    CheckPluginConduct(*host_);
    NoteShowcaseLights(frame);

    Plate result;
    if (plan_.flareOnly) {
      result = FlareOnly(rendered);
    } else if (direct) {
      result = WithRenderedPixels(DownsamplePlate(plate, plan_.downsample), rendered);
    } else {
      result = CombineFlare(DownsamplePlate(plate, plan_.downsample), rendered, plan_.blend);
    }
    WritePlate(FrameFileName(o_.output, frame), result, plan_.depth.value_or(plate.type));
  }

 private:
  Plate PlateAt(int frame) const {
    if (!o_.input.empty()) return ReadPlate(FrameFileName(o_.input, frame));
    return FrameToPlate(BuiltInFrame(plan_.builtInSize.width, plan_.builtInSize.height));
  }

  void SetUp() {
    testhost::HostSettings& settings = host_->settings();
    settings.timeScale = static_cast<uint32_t>(std::lround(plan_.fps * kTimeStep));
    settings.timeStep = kTimeStep;
    settings.totalTime = (plan_.sequence.last + 1) * kTimeStep;
    settings.quality = plan_.highQuality ? PF_Quality_HI : PF_Quality_LO;
    settings.downsample = plan_.downsample;
    settings.shutterAngle =
        static_cast<PF_Fixed>(std::lround(plan_.shutterAngle / 360.0 * 65536.0));

    CheckPluginCode(*host_, "global setup", host_->GlobalSetup());
    CheckPluginCode(*host_, "parameter setup", host_->ParamsSetup());
    if (!o_.lens.empty()) {
      // The lens reaches the plug-in as a saved project hands it back.
      CheckPluginCode(*host_, "sequence resetup",
                      host_->SequenceResetup(StoredBytes(LoadLensOrThrow(o_.lens))));
    } else {
      CheckPluginCode(*host_, "sequence setup", host_->SequenceSetup());
    }
    CheckPluginConduct(*host_);
    ApplyParameters();
  }

  void ApplyFixed(const std::string& option, ParamRole role, const std::vector<std::string>& texts) {
    if (texts.empty()) return;
    const int32_t i = RoleIndex(plan_.edition, role, option);
    SetKeys(*host_, i, option, texts, [&](const std::string& text) {
      ParamValue v;
      const double typed = ParseNumber(option, text);
      v.value = ToFixed(option, typed);
      CheckRange(*host_, i, option, typed, v.value);
      return v;
    });
  }

  void ApplyParameters() {
    const std::string& edition = plan_.edition;
    ApplyFixed("--brightness", ParamRole::Brightness, o_.brightness);
    ApplyFixed("--scale", ParamRole::Scale, o_.scale);
    ApplyFixed("--angle", ParamRole::Angle, o_.angle);
    if (!o_.light.empty()) {
      SetKeys(*host_, RoleIndex(edition, ParamRole::LightPoint, "--light"), "--light", o_.light,
              [&](const std::string& text) { return ParseLight("--light", text, width_, height_); });
    }
    if (!o_.lightTrack.empty()) {
      const int32_t i = RoleIndex(edition, ParamRole::LightPoint, "--light-track");
      for (const auto& [frame, value] : ParseLightTrack(o_.lightTrack, ReadTextFile(o_.lightTrack),
                                                        height_, plan_.trackFromBottom)) {
        host_->SetKey(i, frame * kTimeStep, value);
      }
    }
    if (!o_.color.empty()) {
      SetKeys(*host_, RoleIndex(edition, ParamRole::Color, "--color"), "--color", o_.color,
              [](const std::string& text) { return ParseColour("--color", text); });
    }
    if (!o_.obscurationType.empty()) {
      SetKeys(*host_, RoleIndex(edition, ParamRole::ObscurationType, "--obscuration-type"),
              "--obscuration-type", o_.obscurationType, [](const std::string& text) {
                ParamValue v;
                v.value = ParseObscurationType("--obscuration-type", text);
                return v;
              });
    }
    if (!o_.sourceSize.empty()) {
      const int32_t i = RoleIndex(edition, ParamRole::SourceSize, "--source-size");
      SetKeys(*host_, i, "--source-size", o_.sourceSize, [&](const std::string& text) {
        ParamValue v;
        v.value = ParseInteger("--source-size", text);
        CheckRange(*host_, i, "--source-size", v.value, v.value);
        return v;
      });
    }
    SetLayer("--location-layer", ParamRole::LocationLayer, locationLayer_);
    SetLayer("--obscuration-layer", ParamRole::ObscurationLayer, obscurationLayer_);
    if (!o_.preset.empty()) {
      ParamValue v;
      v.value = ResolvePresetOrThrow("--preset", o_.preset);
      host_->SetValue(RoleIndex(edition, ParamRole::FlareType, "--preset"), v);
    }
  }

  void SetLayer(const std::string& option, ParamRole role, LayerOption& layer) {
    if (layer.empty()) return;
    host_->SetLayer(RoleIndex(plan_.edition, role, option), [&layer](int32_t time) {
      const int frame = time / kTimeStep;
      return layer.At(frame).At(frame);
    });
  }

  void NoteShowcaseLights(int frame) {
    if (plan_.edition != "showcase" || locationLayer_.empty()) return;
    const testhost::Image layer =
        testhost::Downsample(*locationLayer_.At(frame).At(frame), plan_.downsample);
    const int patches = CountOpaquePatches(ImageView(layer));
    if (patches == 0) notes_.framesWithoutLight.fetch_add(1);
    if (patches > kMaxLights) notes_.framesOverCap.fetch_add(1);
    int most = notes_.mostPatches.load();
    while (patches > most && !notes_.mostPatches.compare_exchange_weak(most, patches)) {
    }
  }

  const RenderOptions& o_;
  const RenderPlan& plan_;
  ShowcaseNotes& notes_;
  LayerOption locationLayer_, obscurationLayer_;
  int width_ = 0, height_ = 0;
  std::unique_ptr<TestHost> host_;
};

void TellShowcaseNotes(const RenderOptions& o, const RenderPlan& plan, ShowcaseNotes& notes) {
  if (plan.edition != "showcase") return;
  if (o.locationLayer.empty()) {
    std::cerr << "glarewright: no light found: the showcase edition places its lights with "
                 "--location-layer, and none was given\n";
    return;
  }
  if (notes.framesWithoutLight > 0) {
    std::cerr << "glarewright: no light found on " << notes.framesWithoutLight << " of "
              << plan.frameCount << " frames: the location layer has no opaque patch there\n";
  }
  if (notes.framesOverCap > 0) {
    std::cerr << "glarewright: the location layer holds up to " << notes.mostPatches
              << " opaque patches; only the first " << kMaxLights
              << " of each frame got a flare (" << notes.mostPatches - kMaxLights
              << " skipped" << (plan.frameCount > 1 ? " on the fullest frame" : "") << ")\n";
  }
}

}  // namespace

void RunRender(const RenderOptions& o) {
  const RenderPlan plan = CheckRenderOptions(o);
  CheckFilesBeforeRendering(o, plan);
  if (!o.lightTrack.empty()) ParseLightTrack(o.lightTrack, ReadTextFile(o.lightTrack), 0, false);

  CancelScope scope;
  SharedArray<ShowcaseNotes> notes(1);
  SharedArray<std::atomic<int>> kept(1);  // frames --skip-existing found whole
  // Slow single frames show their progress too (after a moment).
  ProgressBar bar(plan.frameCount, !o.quiet && isatty(STDERR_FILENO));
  const JobsOutcome outcome = RunJobs(
      plan.frameCount, plan.jobs,
      [&]() -> ItemWork {
        auto renderer = std::make_shared<FrameRenderer>(o, plan, notes[0]);
        return [renderer, &plan, &o, &kept](int item, ItemContext& context) {
          const int frame = plan.range.first + item;
          if (o.skipExisting && ReadsBackWhole(FrameFileName(o.output, frame))) {
            kept[0].fetch_add(1);
            return;
          }
          renderer->RenderAndWrite(frame, context);
        };
      },
      bar);
  bar.Finish();
  if (kept[0] > 0 && !o.quiet) {
    std::cerr << "glarewright: " << kept[0] << " of " << plan.frameCount
              << " frames were already written whole and were kept\n";
  }
  if (outcome.interrupted) {
    throw CommandError("interrupted: " + std::to_string(outcome.itemsDone) + " of " +
                       std::to_string(plan.frameCount) + " frames written");
  }
  TellShowcaseNotes(o, plan, notes[0]);
}

RenderPlan CheckRenderSetUp(const RenderOptions& o) {
  const RenderPlan plan = CheckRenderOptions(o);
  CheckFilesBeforeRendering(o, plan);
  if (!o.lightTrack.empty()) ParseLightTrack(o.lightTrack, ReadTextFile(o.lightTrack), 0, false);
  ShowcaseNotes notes{};
  FrameRenderer renderer(o, plan, notes);  // loads the plug-in and sets every parameter
  return plan;
}

void AddRenderOptions(CLI::App* render, const std::shared_ptr<RenderOptions>& o) {
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
  render->add_option("--light-track", o->lightTrack,
                     "Tracking data: 'frame x y' per line (text or CSV, # comments), in pixels; "
                     "keys --light at every frame it names");
  render->add_option("--track-origin", o->trackOrigin,
                     "top-left (default) or bottom-left: where the tracker's y counts from");
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
  render->add_option("--blend", o->blend,
                     "How the flare meets the plate: screen (default) or add (scene-linear plates)");
  render->add_option("--depth", o->depth,
                     "Output samples: uint8, uint16, half or float (default: the input's)");
  render->add_flag("--flare-only", o->flareOnly,
                   "Write the flare alone on transparent black, premultiplied, alpha from its "
                   "brightest channel");
  render->add_option("-j,--jobs", o->jobs,
                     "Worker processes for a sequence (default: one per core)");
  render->add_flag("-q,--quiet", o->quiet, "No progress bar");
  render->add_option("--plugin-dir", o->pluginDir, "Folder holding the plug-in modules");
}

void AddRenderCommand(CLI::App& app) {
  auto o = std::make_shared<RenderOptions>();
  CLI::App* render = app.add_subcommand(
      "render", "Render a flare over an image, a numbered sequence or the built-in frame");
  AddRenderOptions(render, o);
  render->add_option("--chunk", o->chunk,
                     "Render only chunk K/N of --frames: N contiguous chunks, the last takes "
                     "the remainder (for a render farm)");
  render->add_flag("--skip-existing", o->skipExisting,
                   "Keep the frames whose output already reads back whole; render the rest");
  render->callback([o] { RunRender(*o); });
}

}  // namespace gw
