#include "cli/presets_sheet.h"

#include <unistd.h>

#include <algorithm>
#include <memory>

#include "cli/errors.h"
#include "cli/interrupts.h"
#include "cli/progress_bar.h"
#include "cli/worker_pool.h"
#include "cli/files.h"
#include "cli/image_io.h"
#include "cli/plugin_modules.h"
#include "cli/render_options.h"
#include "presets/presets.h"

namespace gw {
namespace {

// Frames larger than this are refused: 39 of them are rendered one by one.
constexpr int kMaxSheetFrameSide = 7680;
constexpr int kGap = 4;                       // pixels between tiles and around them
constexpr float kBackground[3] = {0.05f, 0.05f, 0.06f};
constexpr float kLabelColour[3] = {0.85f, 0.85f, 0.85f};

// Where everything goes on the sheet.
struct SheetLayout {
  int columns, rows;
  int tileWidth, tileHeight;
  int fontSize, labelHeight;
  int width, height;

  int TileLeft(int index) const { return kGap + (index % columns) * (tileWidth + kGap); }
  int TileTop(int index) const {
    return kGap + (index / columns) * (tileHeight + labelHeight + kGap);
  }
};

SheetLayout PlanSheet(const SheetOptions& o, FrameDimensions frame) {
  if (o.columns < 1 || o.columns > kPresetCount) {
    throw CommandError("--columns: " + OutsideRange(std::to_string(o.columns), "1",
                                                    std::to_string(kPresetCount)));
  }
  if (o.tileWidth < 32 || o.tileWidth > frame.width) {
    throw CommandError("--tile-width: " + OutsideRange(std::to_string(o.tileWidth), "32",
                                                       std::to_string(frame.width)) +
                       " (at most the frame's width)");
  }
  SheetLayout s{};
  s.columns = o.columns;
  s.rows = (kPresetCount + o.columns - 1) / o.columns;
  s.tileWidth = o.tileWidth;
  const int64_t scaled = int64_t{o.tileWidth} * frame.height;
  s.tileHeight = std::max<int>(1, static_cast<int>((scaled + frame.width / 2) / frame.width));
  s.fontSize = std::max(9, o.tileWidth / 20);
  s.labelHeight = s.fontSize + s.fontSize / 2 + 2;
  const int64_t width = kGap + int64_t{s.columns} * (s.tileWidth + kGap);
  const int64_t height = kGap + int64_t{s.rows} * (s.tileHeight + s.labelHeight + kGap);
  if (width > kMaxImageSide || height > kMaxImageSide) {
    throw CommandError("the sheet would be " + std::to_string(width) + " x " +
                       std::to_string(height) + " pixels, more than " +
                       std::to_string(kMaxImageSide) + " on a side");
  }
  s.width = static_cast<int>(width);
  s.height = static_cast<int>(height);
  return s;
}

// A plate of one colour.
Plate FilledPlate(int width, int height, const float colour[3]) {
  Plate plate;
  plate.width = width;
  plate.height = height;
  plate.channels = 3;
  plate.channelNames = {"R", "G", "B"};
  plate.samples.resize(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < plate.samples.size(); ++i) plate.samples[i] = colour[i % 3];
  return plate;
}

// Copies `part` into `sheet` with its top-left corner at (left, top).
void Paste(Plate& sheet, const Plate& part, int left, int top) {
  for (int y = 0; y < part.height; ++y) {
    for (int x = 0; x < part.width; ++x) {
      for (int c = 0; c < 3; ++c) sheet.at(left + x, top + y, c) = part.at(x, y, c);
    }
  }
}

// The label goes into a strip of its own first, so that a long name is cut
// at the tile's edge instead of running into its neighbour.
void DrawLabel(Plate& sheet, const SheetLayout& layout, int index, const std::string& text) {
  Plate strip = FilledPlate(layout.tileWidth, layout.labelHeight, kBackground);
  std::string reason;
  if (!Images().drawText(strip, layout.fontSize / 3, layout.fontSize + 1, text, layout.fontSize,
                         kLabelColour, reason)) {
    throw CommandError(reason);
  }
  Paste(sheet, strip, layout.TileLeft(index), layout.TileTop(index) + layout.tileHeight);
}

// A rendered frame shrunk to its tile.
Plate Tile(const testhost::Image& rendered, const SheetLayout& layout) {
  Frame frame;
  frame.argb = rendered;
  Plate tile;
  std::string reason;
  if (!Images().resize(FrameToPlate(frame), layout.tileWidth, layout.tileHeight, tile, reason)) {
    throw CommandError("the sheet: " + reason);
  }
  return tile;
}

// The Quick edition, set up once and rendering one preset after another.
class QuickRenderer {
 public:
  QuickRenderer(const std::string& pluginDir, const std::string& light, FrameDimensions frame)
      : host_(LoadPlugin(FindPluginModule("quick", pluginDir))) {
    CheckPluginCode(*host_, "global setup", host_->GlobalSetup());
    CheckPluginCode(*host_, "parameter setup", host_->ParamsSetup());
    CheckPluginCode(*host_, "sequence setup", host_->SequenceSetup());
    CheckPluginConduct(*host_);
    host_->SetValue(Index("Light Source Location"),
                    ParseLight("--light", light, frame.width, frame.height));
    flareType_ = Index("Flare Type");
  }
  ~QuickRenderer() { SetDown(); }

  testhost::Image Render(int16_t preset, const testhost::Image& input) {
    testhost::ParamValue v;
    v.value = preset;
    host_->SetValue(flareType_, v);
    testhost::Image output;
    CheckPluginCode(*host_, std::string(PresetName(preset)), host_->Render(0, input, output));
    CheckPluginConduct(*host_);
    return output;
  }

 private:
  void SetDown() {
    host_->SequenceSetdown();
    host_->GlobalSetdown();
  }

  int32_t Index(const std::string& name) const {
    const int32_t index = host_->IndexOf(name);
    if (index < 0) throw CommandError("the quick edition has no \"" + name + "\" parameter");
    return index;
  }

  std::unique_ptr<testhost::TestHost> host_;
  int32_t flareType_ = 0;
};

}  // namespace

void WriteContactSheet(const SheetOptions& o) {
  const FrameDimensions frame = ParseFrameSize("--size", o.size, 16, kMaxSheetFrameSide);
  const SheetLayout layout = PlanSheet(o, frame);
  ParseLight("--light", o.light, frame.width, frame.height);
  OutputTarget target = CheckOutputFormat(o.output, o.format);
  target.replaceReadOnly = o.force;
  CheckStandardOutputTakes(o.output, "an image");
  CheckWritableOrThrow(o.output, o.force);

  // Worker processes render and shrink the tiles; this one letters the sheet.
  const size_t tileSamples = static_cast<size_t>(layout.tileWidth) * layout.tileHeight * 3;
  SharedArray<float> tiles(tileSamples * kPresetCount);
  CancelScope scope;
  ProgressBar bar(kPresetCount, !o.quiet && isatty(STDERR_FILENO));
  const JobsOutcome outcome = RunJobs(
      kPresetCount, std::min<int>(o.jobs, kPresetCount),
      [&]() -> ItemWork {
        auto quick = std::make_shared<QuickRenderer>(o.pluginDir, o.light, frame);
        auto input = std::make_shared<Frame>(BuiltInFrame(frame.width, frame.height));
        return [quick, input, &layout, &tiles, tileSamples](int index, ItemContext& context) {
          if (context.cancelled()) throw ItemCancelled{};
          const Plate tile = Tile(quick->Render(static_cast<int16_t>(index + 1), input->argb), layout);
          std::copy(tile.samples.begin(), tile.samples.end(), &tiles[tileSamples * index]);
        };
      },
      bar);
  bar.Finish();
  if (outcome.interrupted) throw CommandError("interrupted: the sheet was not written");

  Plate sheet = FilledPlate(layout.width, layout.height, kBackground);
  Plate tile = FilledPlate(layout.tileWidth, layout.tileHeight, kBackground);
  for (int16_t value = 1; value <= kPresetCount; ++value) {
    const int index = value - 1;
    std::copy(&tiles[tileSamples * index], &tiles[tileSamples * index] + tileSamples,
              tile.samples.begin());
    Paste(sheet, tile, layout.TileLeft(index), layout.TileTop(index));
    DrawLabel(sheet, layout, index, std::to_string(value) + "  " + std::string(PresetName(value)));
  }
  WritePlate(o.output, sheet, SampleType::UInt8, target);
}

}  // namespace gw
