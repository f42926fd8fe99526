// `glarewright presets ...` run as a user runs it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "cli/image_io.h"
#include "cli/presets_commands.h"
#include "cli/errors.h"
#include "lensfile/lensfile.h"
#include "presets/presets.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

ProgramResult RunPresets(const std::string& arguments) { return RunProgram("presets " + arguments); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}

TEST(PresetsCli, NamesAndNumbersResolve) {
  EXPECT_EQ(ResolvePresetOrThrow("preset", "Basic Lens"), 4);
  EXPECT_EQ(ResolvePresetOrThrow("preset", "35mm"), 1);  // a name that starts with digits
  EXPECT_EQ(ResolvePresetOrThrow("preset", "105mm"), 36);
  EXPECT_EQ(ResolvePresetOrThrow("preset", "35"), 35);
  EXPECT_EQ(ResolvePresetOrThrow("preset", "39"), 39);
  EXPECT_EQ(ResolvePresetOrThrow("preset", "basic LENS"), 4);  // names match in any case
  for (const char* bad : {"0", "40", "-1", "4.5", "", "basic  lens", "99999999999", " 4", "4 "}) {
    EXPECT_THROW(ResolvePresetOrThrow("preset", bad), CommandError) << bad;
  }
}

TEST(PresetsCli, ListGivesValueNameAndElementCount) {
  const ProgramResult r = RunPresets("list");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 40u);  // a heading and the 39
  for (int16_t v = 1; v <= kPresetCount; ++v) {
    std::istringstream row(lines[v]);
    int value = 0;
    row >> value;
    EXPECT_EQ(value, v);
    std::string rest;
    std::getline(row, rest);
    const size_t countAt = rest.find_last_not_of(' ') + 1;
    const size_t countStart = rest.find_last_of(' ', countAt - 1) + 1;
    Lens lens{};
    BuildPreset(lens, v);
    EXPECT_EQ(rest.substr(countStart), std::to_string(lens.count)) << lines[v];
    const std::string name = rest.substr(0, countStart);
    EXPECT_EQ(name.substr(name.find_first_not_of(' '),
                          name.find_last_not_of(' ') - name.find_first_not_of(' ') + 1),
              PresetName(v));
  }
  EXPECT_NE(lines[36].find("105mm"), std::string::npos);
  EXPECT_NE(lines[36].find(" 23"), std::string::npos);
}

TEST(PresetsCli, ExportWritesTheLensAFullEditionUserStartsFrom) {
  const std::string path = TempPath("six_point_star.gwr");
  std::remove(path.c_str());
  ProgramResult r = RunPresets("export 'Six Point Star' -o '" + path + "'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Lens loaded{};
  ASSERT_EQ(LoadLensFile(path.c_str(), loaded, false), kLensFileOk);
  Lens built{};
  BuildPreset(built, 32);
  ASSERT_EQ(loaded.count, built.count);
  for (uint32_t i = 0; i < built.count; ++i) {
    const LensElement& a = loaded.elements[i];
    const LensElement& b = built.elements[i];
    // Every stored field up to the colours, then the colours and the name.
    EXPECT_EQ(std::memcmp(&a, &b, offsetof(LensElement, color1)), 0) << i;
    EXPECT_EQ(std::memcmp(&a.color1, &b.color1, sizeof(Rgb)), 0) << i;
    EXPECT_EQ(std::memcmp(&a.color2, &b.color2, sizeof(Rgb)), 0) << i;
    EXPECT_EQ(ElementName(a), ElementName(b)) << i;
  }

  // `presets show` prints what `lens show` prints for the exported file.
  const ProgramResult shown = RunPresets("show 32");
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  const ProgramResult table = RunProgram("lens show '" + path + "'");
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_EQ(shown.out, "32 Six Point Star: " + table.out);
}

TEST(PresetsCli, UnknownPresetsAreRefusedAndWriteNothing) {
  const std::string path = TempPath("never.gwr");
  std::remove(path.c_str());
  const struct {
    std::string arguments, message;
  } cases[] = {
      {"show 0", "preset: 0 lies outside 1..39"},
      {"show 40", "preset: 40 lies outside 1..39"},
      {"show 'No Such'", "preset: no preset is called 'No Such'"},
      {"export sunsets -o '" + path + "'", "preset: no preset is called 'sunsets'"},
      {"export 41 -o '" + path + "'", "41 lies outside 1..39"},
      {"sheet -o '" + TempPath("never.png") + "' --columns 0", "--columns"},
      {"sheet -o '" + TempPath("never.png") + "' --size 8x8", "--size"},
      {"sheet -o '" + TempPath("never.png") + "' --size 160x90 --tile-width 400", "--tile-width"},
      {"sheet -o '" + TempPath("never.png") + "' --light 1,2,3", "--light"},
  };
  for (const auto& c : cases) {
    const ProgramResult r = RunPresets(c.arguments);
    EXPECT_EQ(r.exitCode, 1) << c.arguments;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.arguments << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << c.arguments;
  }
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(Exists(TempPath("never.png")));
}

// The brightest channel value inside a rectangle of the sheet.
int Brightest(const Frame& sheet, int left, int top, int width, int height) {
  int most = 0;
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x) {
      const PF_Pixel& p = sheet.argb.at(x, y);
      most = std::max({most, int{p.red}, int{p.green}, int{p.blue}});
    }
  }
  return most;
}

TEST(PresetsCli, SheetHoldsEveryPresetInPopupOrder) {
  const std::string path = TempPath("sheet.png");
  std::remove(path.c_str());
  const ProgramResult r =
      RunPresets("sheet -o '" + path + "' --size 160x90 --tile-width 64 --columns 8");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Frame sheet = ReadFrame(path);
  // Tiles of 64 x 36 with a label strip under each (9-pixel text in 15
  // rows), 4 pixels apart: 8 columns, 5 rows.
  const int pitchX = 64 + 4, pitchY = 36 + 15 + 4;
  ASSERT_EQ(sheet.argb.width, 4 + 8 * pitchX);
  ASSERT_EQ(sheet.argb.height, 4 + 5 * pitchY);
  for (int i = 0; i < 40; ++i) {
    const int left = 4 + (i % 8) * pitchX, top = 4 + (i / 8) * pitchY;
    const int tile = Brightest(sheet, left, top, 64, 36);
    const int label = Brightest(sheet, left, top + 36, 64, 15);
    if (i < kPresetCount) {
      EXPECT_GE(tile, 160) << "no flare in the tile of " << PresetName(i + 1);
      EXPECT_GE(label, 128) << "no label under " << PresetName(i + 1);
    } else {  // the slot after the last preset stays empty
      EXPECT_LT(tile, 32);
      EXPECT_LT(label, 32);
    }
  }
  // Tiles differ as their presets do: Red Laser's tile is red, Green Refls's
  // reflections are green.
  const auto reddest = [&](int i) {
    const int left = 4 + (i % 8) * pitchX, top = 4 + (i / 8) * pitchY;
    long red = 0, green = 0;
    for (int y = top; y < top + 36; ++y) {
      for (int x = left; x < left + 64; ++x) {
        red += sheet.argb.at(x, y).red;
        green += sheet.argb.at(x, y).green;
      }
    }
    return red - green;
  };
  EXPECT_GT(reddest(25), 0);  // 26 "Red Laser"
  EXPECT_LT(reddest(17), 0);  // 18 "Green Refls"
}

}  // namespace
}  // namespace gw
