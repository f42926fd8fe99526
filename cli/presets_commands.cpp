#include "cli/presets_commands.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/errors.h"
#include "cli/files.h"
#include "cli/lens_table.h"
#include "cli/presets_sheet.h"
#include "cli/render_options.h"
#include "lens/lens.h"
#include "presets/presets.h"

namespace gw {
namespace {

Lens PresetLens(int16_t value) {
  Lens lens{};
  BuildPreset(lens, value);
  return lens;
}

// The sheet's numeric options as written, read in one style with render's.
struct SheetNumbers {
  std::string tileWidth = "320", columns = "6", jobs;
};

struct PresetOptions {
  std::string preset;
  std::string output;
  bool force = false;
};

}  // namespace

namespace {

// A preset whose name is `text` without regard to case; 0 for none.
int16_t FindPresetAnyCase(const std::string& text) {
  const auto lower = [](std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  const std::string wanted = lower(text);
  for (int16_t value = 1; value <= kPresetCount; ++value) {
    if (lower(PresetName(value)) == wanted) return value;
  }
  return 0;
}

}  // namespace

int16_t ResolvePresetOrThrow(const std::string& option, const std::string& text) {
  if (const int16_t byName = FindPresetAnyCase(text)) return byName;
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error == std::errc::invalid_argument || stop != end) {
    throw CommandError(option + ": no preset is called '" + text + "'");
  }
  if (error == std::errc::result_out_of_range || value < 1 || value > kPresetCount) {
    throw CommandError(option + ": " + OutsideRange(text, "1", std::to_string(kPresetCount)) +
                       " (the presets' numbers)");
  }
  return static_cast<int16_t>(value);
}

std::string FormatPresetList() {
  std::string out = "value  name                 elements\n";
  for (int16_t value = 1; value <= kPresetCount; ++value) {
    const std::string name(PresetName(value));
    char line[96];
    std::snprintf(line, sizeof line, "%5d  %-20s %8u\n", value, name.c_str(),
                  static_cast<unsigned>(PresetLens(value).count));
    out += line;
  }
  return out;
}

void AddPresetsCommands(CLI::App& app) {
  CLI::App* presets =
      app.add_subcommand("presets", "List, show and export the Quick edition's built-in lenses");
  presets->require_subcommand(1);
  auto options = std::make_shared<PresetOptions>();
  const char* presetHelp = "A preset's name (quoted when it has blanks) or its number 1-39";

  CLI::App* list = presets->add_subcommand("list", "List the presets: value, name, element count");
  list->callback([] { std::cout << FormatPresetList(); });

  CLI::App* show = presets->add_subcommand("show", "Print a preset's lens as a table");
  show->add_option("preset", options->preset, presetHelp)->required();
  show->callback([options] {
    const int16_t value = ResolvePresetOrThrow("preset", options->preset);
    std::cout << value << " " << PresetName(value) << ": " << FormatLensTable(PresetLens(value));
  });

  CLI::App* save = presets->add_subcommand(
      "export", "Write a preset's lens to a lens file, to start a lens of the full edition");
  save->add_option("preset", options->preset, presetHelp)->required();
  save->add_option("-o,--output", options->output,
                   "The lens file to write (.gwr; - for standard output)")->required();
  save->add_flag("--force", options->force, "Replace a read-only file, as cp -f does");
  save->callback([options] {
    const std::string output = OutputName(options->output);
    CheckStandardOutputTakes(output, "a lens file");
    SaveLensOrThrow(output, PresetLens(ResolvePresetOrThrow("preset", options->preset)),
                    options->force);
  });

  auto sheet = std::make_shared<SheetOptions>();
  CLI::App* draw = presets->add_subcommand(
      "sheet", "Render every preset over the built-in frame into one labelled image");
  draw->add_option("-o,--output", sheet->output, "The image to write (- for standard output)")
      ->required();
  draw->add_option("--format", sheet->format,
                   "The image's format by its extension (png, exr, tif, jpg ...): for -o -, "
                   "standard output, which is PNG without it");
  draw->add_flag("--force", sheet->force, "Replace a read-only file, as cp -f does");
  draw->add_option("--size", sheet->size, "Frame each preset is rendered at (default 960x540)");
  draw->add_option("--light", sheet->light,
                   "Light position X,Y in pixels or X%,Y% (default 30%,30%)");
  auto numbers = std::make_shared<SheetNumbers>();
  draw->add_option("--tile-width", numbers->tileWidth, "Width of each tile (default 320)");
  draw->add_option("--columns", numbers->columns, "Tiles per row (default 6)");
  draw->add_option("-j,--jobs", numbers->jobs, "Worker processes (default: one per core)");
  draw->add_flag("-q,--quiet", sheet->quiet, "No progress bar");
  draw->add_option("--plugin-dir", sheet->pluginDir, "Folder holding the plug-in modules");
  draw->callback([sheet, numbers] {
    sheet->tileWidth = ParseInteger("--tile-width", numbers->tileWidth);
    sheet->columns = ParseInteger("--columns", numbers->columns);
    sheet->jobs = numbers->jobs.empty() ? DefaultJobs()
                                        : ParseIntegerWithin("--jobs", numbers->jobs, 1, 64);
    sheet->output = OutputName(sheet->output);
    WriteContactSheet(*sheet);
  });
}

}  // namespace gw
