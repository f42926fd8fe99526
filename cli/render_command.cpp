#include "cli/render_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>

#include "cli/effect_driver.h"
#include "cli/errors.h"
#include "cli/files.h"
#include "cli/frames_check.h"
#include "cli/image_io.h"
#include "cli/interrupts.h"
#include "cli/plate_windows.h"
#include "cli/plugin_modules.h"
#include "cli/presets_commands.h"
#include "cli/progress_bar.h"
#include "cli/render_checks.h"
#include "cli/worker_pool.h"
#include "frame/showcase_lights.h"
#include "host/edition.h"
#include "lens/lens.h"

namespace gw {
namespace {

using testhost::ParamValue;

// A layer image as the frame logic reads it.
LayerView ImageView(const testhost::Image& image) {
  return {reinterpret_cast<const uint8_t*>(image.pixels.data()), image.width, image.height,
          static_cast<ptrdiff_t>(image.width) * kLayerBytesPerPixel};
}

// The parameter's name as any edition declares it, for messages.
std::string RoleName(ParamRole role) {
  for (const EditionTable* table : {&FullEdition(), &ShowcaseEdition(), &QuickEdition()}) {
    const int32_t index = table->IndexOf(role);
    if (index > 0) return table->params[static_cast<size_t>(index - 1)].name;
  }
  return "?";
}

// The edition's row of the parameter an option sets; throws when the
// edition has none.
const ParamRow& RowFor(const std::string& edition, ParamRole role, const std::string& option) {
  const EditionTable& table = EditionNamed(edition);
  const int32_t index = table.IndexOf(role);
  if (index < 0) {
    throw CommandError(option + ": the " + edition + " edition has no \"" + RoleName(role) +
                       "\" parameter");
  }
  return table.params[static_cast<size_t>(index - 1)];
}

// Refuses a value outside a fixed slider's declared range, as a host would
// (both interfaces declare the ranges of the edition's table).
void CheckFixedRange(const ParamRow& row, const std::string& option, double typed) {
  if (row.type != PF_Param_FIX_SLIDER) return;
  const double fixed = std::round(typed * 65536.0);
  if (!(fixed >= row.validMin && fixed <= row.validMax)) {
    throw CommandError(option + ": " + FixedRangeMessage(typed, row.validMin, row.validMax));
  }
}

// Keyframes of one option into the plug-in.
void SetKeys(EffectDriver& driver, ParamRole role, const std::string& option,
             const std::vector<std::string>& texts,
             const std::function<ParamValue(const std::string&)>& parse) {
  for (const KeyText& key : ParseKeys(option, texts)) {
    driver.SetKey(role, key.frame, parse(key.value));
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

// "2,2" or "50%,40%@12": a value of an option rather than a file name.
bool LooksLikeAValue(const std::string& text) {
  return text.find_first_of("0123456789") != std::string::npos &&
         text.find_first_not_of("0123456789.,%@+-") == std::string::npos;
}

// Throws unless the render can read `path`, saying why and what it is for.
void CheckInputFile(const std::string& prefix, const std::string& path,
                    const std::string& purpose) {
  try {
    CheckReadableFile(path);
  } catch (const CommandError& e) {
    throw CommandError(prefix + e.what() + (purpose.empty() ? "" : " (" + purpose + ")"));
  }
}

// Every output frame may be written (a read-only one only with --force), and
// none is a file the render reads: an output that named an input frame would
// replace it before a later frame or a motion-blurred one reads it.
void CheckOutputsBeforeRendering(const RenderOptions& o, const RenderPlan& plan,
                                 const RenderFiles& files) {
  std::map<FileIdentity, std::string> read;
  const auto note = [&read](const std::string& path) {
    if (const std::optional<FileIdentity> id = IdentityOf(path)) read.emplace(*id, path);
  };
  for (const std::string& input : files.inputs) note(input);
  for (const RenderFiles::Layer& layer : files.layers) note(layer.path);
  for (const std::string& other : {o.lens, o.lightTrack}) {
    if (!other.empty()) note(other);
  }
  for (int frame = plan.range.first; frame <= plan.range.last; ++frame) {
    const std::string output = FrameFileName(o.output, frame);
    if (const std::optional<FileIdentity> id = IdentityOf(output)) {
      if (const auto input = read.find(*id); input != read.end()) {
        throw FileError(output, std::string("this output is also ") +
                                    (input->second == output ? "an input of the render"
                                                             : "the input " + input->second) +
                                    ": write the output under another name");
      }
    }
    CheckWritableOrThrow(output, plan.output.replaceReadOnly);
    if (!IsSequencePattern(o.output)) break;
  }
}

// Every file the render will read, and the place it will write, checked
// before the first frame; the files named for the checks of their headers.
RenderFiles CheckFilesBeforeRendering(const RenderOptions& o, const RenderPlan& plan) {
  RenderFiles files;
  const auto checkInput = [&](int frame) {
    const std::string path = FrameFileName(o.input, frame);
    CheckInputFile("", path,
                   IsSequencePattern(o.input) ? "frame " + std::to_string(frame) +
                                                    " of the input sequence"
                   : LooksLikeAValue(o.input)
                       ? "taken as the input image: an option such as --light takes one value "
                         "each time it is given; repeat it, VALUE@FRAME, for keyframes"
                       : "");
    files.inputs.push_back(path);
  };
  if (!o.input.empty()) {
    // A chunk reads the sequence's first frame too: it sets the frame size
    // and the output's sample type.
    if (plan.sequence.first < plan.range.first) checkInput(plan.sequence.first);
    for (int frame = plan.range.first; frame <= plan.range.last; ++frame) checkInput(frame);
  }
  // Motion blur also reads the layers at the next frame's time.
  const int lastRead = plan.range.last + (plan.shutterAngle > 0.0 ? 1 : 0);
  const std::pair<const char*, const std::vector<std::string>*> layers[] = {
      {"--location-layer", &o.locationLayer}, {"--obscuration-layer", &o.obscurationLayer}};
  for (const auto& [option, texts] : layers) {
    LayerOption layer(option, *texts);
    std::set<std::string> named;
    for (int frame = plan.range.first; !layer.empty() && frame <= lastRead; ++frame) {
      const std::string path = layer.At(frame).FileAt(frame);
      if (!named.contains(path)) {
        CheckInputFile(std::string(option) + ": ", path,
                       "needed for frame " + std::to_string(frame));
      }
      if (named.insert(path).second) files.layers.push_back({option, path});
    }
  }
  if (!o.lens.empty()) WarnOfBytesAfterLens(o.lens, LoadLensOrThrow(o.lens));
  CheckOutputsBeforeRendering(o, plan, files);
  return files;
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
  FrameRenderer(const RenderOptions& o, const RenderPlan& plan, const ImageFacts& facts,
                ShowcaseNotes& notes)
      : o_(o), plan_(plan), facts_(facts), notes_(notes),
        locationLayer_("--location-layer", o.locationLayer),
        obscurationLayer_("--obscuration-layer", o.obscurationLayer) {
    // The sequence's first input frame fixes the picture's size (percent
    // lights refer to it), whichever chunk of it this run renders.
    const Plate first = o.input.empty()
                            ? PlateAt(plan.sequence.first)
                            : ReadPlateHeader(FrameFileName(o.input, plan.sequence.first));
    const ImageWindow display = first.DisplayWindow(), frame = FrameWindow(first);
    width_ = display.width;
    height_ = display.height;
    CheckDownsampledSize(frame.width, frame.height, plan.downsample);
    EffectSetUp setUp{plan, o.pluginDir, std::nullopt, frame.width, frame.height};
    if (!o.lens.empty()) setUp.lens = LoadLensOrThrow(o.lens);
    driver_ = plan.ofx ? MakeOfxDriver(setUp) : MakeLegacyDriver(setUp);
    ApplyParameters();
    ApplyLight(DisplayOffset(first));
  }

  void RenderAndWrite(int frame, ItemContext& context) {
    const Plate read = PlateAt(frame);
    // The plug-in draws over the data and display windows together; light
    // positions count from the display window's corner.
    const ImageWindow data = read.DataWindow(), frameWindow = FrameWindow(read);
    if (const FrameOffset offset = DisplayOffset(read); !(offset == lightOffset_)) {
      ApplyLight(offset);
    }
    Plate result = driver_->Render(frame, OverFrameWindow(read), context);
    NoteShowcaseLights(frame);
    if (plan_.flareOnly) {
      result.header = read.header;
      result.format = read.format;
    }
    // Back to the plate's own windows, at the rendered size.
    result.display = read.display.width > 0
                         ? DownsampledWindow(read.display, plan_.downsample)
                         : ImageWindow{};
    result = CutToWindow(std::move(result), DownsampledWindow(frameWindow, plan_.downsample),
                         DownsampledWindow(data, plan_.downsample));
    WritePlate(FrameFileName(o_.output, frame), result, facts_.outputType, plan_.output);
  }

 private:
  Plate PlateAt(int frame) const {
    if (!o_.input.empty()) return ReadPlate(FrameFileName(o_.input, frame));
    return FrameToPlate(BuiltInFrame(plan_.builtInSize.width, plan_.builtInSize.height));
  }

  void ApplyFixed(const std::string& option, ParamRole role, const std::vector<std::string>& texts) {
    if (texts.empty()) return;
    const ParamRow& row = RowFor(plan_.edition, role, option);
    SetKeys(*driver_, role, option, texts, [&](const std::string& text) {
      ParamValue v;
      const double typed = ParseNumber(option, text);
      CheckFixedRange(row, option, typed);
      v.value = ToFixed(option, typed);
      return v;
    });
  }

  void ApplyParameters() {
    const std::string& edition = plan_.edition;
    ApplyFixed("--brightness", ParamRole::Brightness, o_.brightness);
    ApplyFixed("--scale", ParamRole::Scale, o_.scale);
    ApplyFixed("--angle", ParamRole::Angle, o_.angle);
    if (!o_.color.empty()) {
      RowFor(edition, ParamRole::Color, "--color");
      SetKeys(*driver_, ParamRole::Color, "--color", o_.color,
              [](const std::string& text) { return ParseColour("--color", text); });
    }
    if (!o_.obscurationType.empty()) {
      RowFor(edition, ParamRole::ObscurationType, "--obscuration-type");
      SetKeys(*driver_, ParamRole::ObscurationType, "--obscuration-type", o_.obscurationType, [](const std::string& text) {
                ParamValue v;
                v.value = ParseObscurationType("--obscuration-type", text);
                return v;
              });
    }
    if (!o_.sourceSize.empty()) {
      const ParamRow& row = RowFor(edition, ParamRole::SourceSize, "--source-size");
      SetKeys(*driver_, ParamRole::SourceSize, "--source-size", o_.sourceSize,
              [&](const std::string& text) {
        ParamValue v;
        v.value = ParseIntegerWithin("--source-size", text, row.validMin, row.validMax);
        return v;
      });
    }
    SetLayer("--location-layer", ParamRole::LocationLayer, locationLayer_);
    SetLayer("--obscuration-layer", ParamRole::ObscurationLayer, obscurationLayer_);
    if (!o_.preset.empty()) {
      RowFor(edition, ParamRole::FlareType, "--preset");
      ParamValue v;
      v.value = ResolvePresetOrThrow("--preset", o_.preset);
      driver_->SetValue(ParamRole::FlareType, v);
    }
  }

  // The light's keys, from the display window's corner into the frame's
  // pixels; set again whenever a frame's windows move that corner.
  void ApplyLight(FrameOffset offset) {
    lightOffset_ = offset;
    const auto shifted = [&](const std::string& option, ParamValue v) {
      if (offset == FrameOffset{}) return v;
      v.value = ToFixed(option, v.value / 65536.0 + offset.x);
      v.y = ToFixed(option, v.y / 65536.0 + offset.y);
      return v;
    };
    if (!o_.light.empty()) {
      RowFor(plan_.edition, ParamRole::LightPoint, "--light");
      SetKeys(*driver_, ParamRole::LightPoint, "--light", o_.light, [&](const std::string& text) {
                return shifted("--light", ParseLight("--light", text, width_, height_));
              });
    }
    if (!o_.lightTrack.empty()) {
      RowFor(plan_.edition, ParamRole::LightPoint, "--light-track");
      for (const auto& [frame, value] : ParseLightTrack(o_.lightTrack, ReadTextFile(o_.lightTrack),
                                                        height_, plan_.trackFromBottom)) {
        driver_->SetKey(ParamRole::LightPoint, frame, shifted("--light-track", value));
      }
    }
  }

  void SetLayer(const std::string& option, ParamRole role, LayerOption& layer) {
    if (layer.empty()) return;
    RowFor(plan_.edition, role, option);
    driver_->SetLayer(role, [&layer](int32_t frame) { return layer.At(frame).At(frame); });
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
  const ImageFacts& facts_;
  ShowcaseNotes& notes_;
  FrameOffset lightOffset_;
  LayerOption locationLayer_, obscurationLayer_;
  int width_ = 0, height_ = 0;
  std::unique_ptr<EffectDriver> driver_;
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
  const RenderFiles files = CheckFilesBeforeRendering(o, plan);
  if (!o.lightTrack.empty()) ParseLightTrack(o.lightTrack, ReadTextFile(o.lightTrack), 0, false);

  // A signal from here on stops the work and keeps what is finished.
  CancelScope scope;
  const ImageFacts facts = CheckImagesBeforeRendering(o, plan, files, MemoryCheck::Made);
  SharedArray<ShowcaseNotes> notes(1);
  SharedArray<std::atomic<int>> kept(1);  // frames --skip-existing found whole
  // Slow single frames show their progress too (after a moment).
  ProgressBar bar(plan.frameCount, !o.quiet && isatty(STDERR_FILENO));
  const JobsOutcome outcome = RunJobs(
      plan.frameCount, facts.jobs,
      [&]() -> ItemWork {
        auto renderer = std::make_shared<FrameRenderer>(o, plan, facts, notes[0]);
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
  const RenderFiles files = CheckFilesBeforeRendering(o, plan);
  if (!o.lightTrack.empty()) ParseLightTrack(o.lightTrack, ReadTextFile(o.lightTrack), 0, false);
  // The machines that render may have more memory than this one: only a
  // limit the user gives is checked here.
  const ImageFacts facts =
      CheckImagesBeforeRendering(o, plan, files, plan.memory.given ? MemoryCheck::Made : MemoryCheck::Skipped);
  ShowcaseNotes notes{};
  FrameRenderer renderer(o, plan, facts, notes);  // loads the plug-in and sets every parameter
  return plan;
}

void AddRenderOptions(CLI::App* render, const std::shared_ptr<RenderOptions>& o) {
  render->add_option("input", o->input,
                     "Image or numbered sequence (shot.%04d.png, shot.####.png); "
                     "none: the built-in frame");
  render->add_option("-o,--output", o->output, "Image or numbered sequence to write (- for standard output)")->required();
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
  render->add_option("--memory-limit", o->memoryLimit,
                     "Memory the work may use, such as 16G or 800M (default: what the machine "
                     "has free); a frame that needs more is refused before any work");
  render->add_flag("-q,--quiet", o->quiet, "No progress bar");
  render->add_option("--plugin-dir", o->pluginDir,
                     "Folder holding the plug-in modules (or the OpenFX bundle)");
  render->add_option("--api", o->api,
                     "legacy (default): the plug-in modules; ofx: the OpenFX edition, which "
                     "takes 16-bit and float plates as they are");
  // A keyed option takes one value each time it is given, so that the
  // input after it is never taken for a second value.
  for (const char* keyedOption : {"--light", "--brightness", "--scale", "--color", "--angle",
                                  "--location-layer", "--obscuration-layer", "--obscuration-type",
                                  "--source-size"}) {
    render->get_option(keyedOption)->allow_extra_args(false);
  }
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
  render->add_option("--format", o->format,
                     "The output's format by its extension (png, exr, tif, jpg ...): for -o -, "
                     "standard output, which is PNG without it");
  render->add_flag("--force", o->force, "Replace read-only output files, as cp -f does");
  render->callback([o] {
    o->output = OutputName(o->output);
    RunRender(*o);
  });
}

}  // namespace gw
