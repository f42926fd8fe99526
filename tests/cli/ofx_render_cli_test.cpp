// `glarewright render --api ofx` and `inspect --api ofx`, run as a user runs
// them: frames rendered through the OpenFX edition equal the legacy
// plug-ins' frames byte for byte on 8-bit plates under Screen, deeper plates
// reach the plug-in as they are, and inspect shows what the tables declare.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/image_io.h"
#include "cli/render_options.h"
#include "cli/sequence_pattern.h"
#include "lens/lens.h"
#include "lensfile/lensfile.h"
#include "tests/cli/float_plate.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

// A plate whose pixels all differ, with a few bright ones above 1 when
// `range` is.
Plate GradientPlate(int width, int height, int channels, SampleType type, float range) {
  return FloatPlate(width, height, channels, type, [range](int x, int y, int c) {
    const float t = static_cast<float>((x * 5 + y * 11 + c * 37) % 251) / 250.0f;
    return c == 3 ? 0.25f + 0.75f * t : t * range;
  });
}

// Opaque patches on transparent black: lights for the Showcase edition, or
// something that covers the light.
void WriteLayer(const std::string& path, int width, int height,
                const std::vector<std::array<int, 4>>& boxes, float grey) {
  Plate layer = GradientPlate(width, height, 4, SampleType::UInt8, 0.0f);
  std::fill(layer.samples.begin(), layer.samples.end(), 0.0f);
  for (const auto& [x0, y0, x1, y1] : boxes) {
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        layer.at(x, y, 0) = grey;
        layer.at(x, y, 1) = grey * 0.8f;
        layer.at(x, y, 2) = grey * 0.6f;
        layer.at(x, y, 3) = 1.0f;
      }
    }
  }
  WritePlate(path, layer, SampleType::UInt8);
}

// Every element type that draws, each with its defaults.
void WriteEveryElementLens(const std::string& path) {
  Lens lens{};
  for (int16_t type = 0; type <= 20; ++type) {
    if (type == 7 || type == 8) continue;
    InitElement(type, lens.elements[lens.count++]);
  }
  ASSERT_EQ(SaveLensFile(path.c_str(), lens), 0);
}

// Renders through both interfaces; returns the two outputs' paths.
std::pair<std::string, std::string> RenderBoth(const std::string& name,
                                               const std::string& arguments,
                                               const std::string& extension = ".png") {
  const std::string legacy = TempPath("legacy_" + name + extension);
  const std::string ofx = TempPath("ofx_" + name + extension);
  for (const auto& [api, out] : {std::pair{"legacy", legacy}, std::pair{"ofx", ofx}}) {
    const ProgramResult r =
        RunProgram("render -q --api " + std::string(api) + " " + arguments + " -o " + Quote(out));
    EXPECT_EQ(r.exitCode, 0) << api << " " << arguments << "\n" << r.err;
  }
  return {legacy, ofx};
}

class OfxRenderCli : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    WritePlate(Plate8(), GradientPlate(320, 180, 3, SampleType::UInt8, 1.0f), SampleType::UInt8);
    WritePlate(PlateAlpha(), GradientPlate(320, 180, 4, SampleType::UInt8, 1.0f),
               SampleType::UInt8);
    WriteLayer(Lights(), 320, 180, {{40, 30, 60, 50}, {200, 120, 215, 140}, {250, 20, 262, 28}},
               1.0f);
    WriteLayer(Cover(), 320, 180, {{70, 20, 160, 90}}, 0.2f);
    WriteEveryElementLens(EveryElement());
  }
  static std::string Plate8() { return TempPath("ofx_plate.png"); }
  static std::string PlateAlpha() { return TempPath("ofx_plate_alpha.png"); }
  static std::string Lights() { return TempPath("ofx_lights.png"); }
  static std::string Cover() { return TempPath("ofx_cover.png"); }
  static std::string EveryElement() { return TempPath("ofx_every_element.gwr"); }
};

// The set of frames CI compares: every edition, keyframes and motion blur,
// layers, presets, a lens of every element type, proxy and draft renders,
// several jobs.
TEST_F(OfxRenderCli, EightBitScreenFramesEqualTheLegacyFramesByteForByte) {
  const std::string plate = Quote(Plate8());
  struct Case {
    const char* name;
    std::string arguments;
    int frames;
  };
  const Case cases[] = {
      {"default", "--size 320x180", 1},
      {"keyed", plate + " --light 10%,20% --brightness 70 --scale 1.4 --angle 25 --color ffa060",
       1},
      {"blur_jobs_####",
       plate + " --frames 1-3 -j 2 --shutter-angle 180 --light 40,40@1 --light 280,150@3 "
               "--brightness 60@1 --brightness 120@3",
       3},
      {"every_element", plate + " --lens " + Quote(EveryElement()) + " --light 30%,40%", 1},
      {"preset", plate + " --preset Sunset --light 70%,30%", 1},
      {"preset_number", plate + " --preset 22 --light 25%,60% --angle 40", 1},
      {"showcase", plate + " --edition showcase --location-layer " + Quote(Lights()), 1},
      {"obscured", plate + " --light 80,40 --obscuration-layer " + Quote(Cover()) +
                       " --obscuration-type rgb --source-size 30",
       1},
      {"located", plate + " --preset 3 --location-layer " + Quote(Lights()), 1},
      {"proxy", plate + " --downsample 2 --light 60%,35%", 1},
      {"draft", plate + " --quality draft --light 60%,35% --shutter-angle 90", 1},
      {"alpha", Quote(PlateAlpha()) + " --light 45%,45%", 1},
  };
  const Plate original = ReadPlate(Plate8());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto [legacy, ofx] = RenderBoth(c.name, c.arguments);
    for (int frame = 1; frame <= c.frames; ++frame) {
      const auto named = [&](const std::string& pattern) {
        return c.frames > 1 ? FrameFileName(pattern, frame) : pattern;
      };
      const Plate a = ReadPlate(named(legacy)), b = ReadPlate(named(ofx));
      ASSERT_EQ(a.width, b.width);
      ASSERT_EQ(a.height, b.height);
      ASSERT_EQ(a.channels, b.channels);
      EXPECT_EQ(b.type, SampleType::UInt8);
      size_t differing = 0;
      for (size_t i = 0; i < a.samples.size(); ++i) differing += a.samples[i] != b.samples[i];
      EXPECT_EQ(differing, 0u) << "frame " << frame;
      if (a.width == original.width && a.channels == original.channels) {
        EXPECT_NE(a.samples, original.samples) << "a flare was drawn";
      }
    }
  }
}

TEST_F(OfxRenderCli, FloatPlatesReachThePluginAsTheyAre) {
  const std::string in = TempPath("hdr_plate.exr");
  Plate plate = GradientPlate(320, 180, 5, SampleType::Float, 3.0f);
  plate.at(96, 54, 0) = 40.0f;  // under the light
  WritePlate(in, plate, SampleType::Float);
  for (const char* blend : {"screen", "add"}) {
    SCOPED_TRACE(blend);
    const auto [legacy, ofx] =
        RenderBoth(std::string("hdr_") + blend,
                   Quote(in) + " --light 96,54 --blend " + blend, ".exr");
    const Plate a = ReadPlate(legacy), b = ReadPlate(ofx);
    ASSERT_EQ(b.channels, 5);
    EXPECT_EQ(b.type, SampleType::Float);
    EXPECT_EQ(b.channelNames, plate.channelNames);
    // The plug-in combines in floating point as the program does.
    EXPECT_EQ(a.samples, b.samples);
    if (std::string(blend) == "screen") {
      EXPECT_EQ(b.at(96, 54, 0), 40.0f) << "screen keeps values above 1";
    } else {
      EXPECT_GT(b.at(96, 54, 0), 40.0f);
    }
    int brighter = 0, kept = 0;
    for (int y = 0; y < plate.height; ++y) {
      for (int x = 0; x < plate.width; ++x) {
        for (int c = 0; c < 5; ++c) {
          const float before = plate.at(x, y, c), after = b.at(x, y, c);
          if (c >= 3) {
            ASSERT_EQ(before, after) << "alpha and Z are never touched";
          }
          ASSERT_GE(after, before);
          (after == before ? kept : brighter) += 1;
        }
      }
    }
    EXPECT_GT(brighter, 1000);
    EXPECT_GT(kept, 1000);
  }
}

TEST_F(OfxRenderCli, SixteenBitPlatesStaySixteenBit) {
  const std::string in = TempPath("deep_plate.tif");
  const Plate plate = GradientPlate(320, 180, 3, SampleType::UInt16, 1.0f);
  WritePlate(in, plate, SampleType::UInt16);
  const auto [legacy, ofx] = RenderBoth("deep", Quote(in) + " --light 30%,30%", ".tif");
  const Plate a = ReadPlate(legacy), b = ReadPlate(ofx), stored = ReadPlate(in);
  EXPECT_EQ(b.type, SampleType::UInt16);
  ASSERT_EQ(a.samples.size(), b.samples.size());
  int changed = 0;
  for (size_t i = 0; i < b.samples.size(); ++i) {
    // The plug-in writes 16-bit samples; the program's combine rounds once
    // more: they may part by one step.
    ASSERT_LE(std::fabs(a.samples[i] - b.samples[i]), 1.0f / 65535.0f + 1e-7f) << i;
    if (b.samples[i] == stored.samples[i]) continue;
    ASSERT_GT(b.samples[i], stored.samples[i]);
    ++changed;
  }
  EXPECT_GT(changed, 1000);
}

TEST_F(OfxRenderCli, FlareOnlyIsTheLegacyPass) {
  const auto [legacy, ofx] = RenderBoth("flare_only", Quote(Plate8()) + " --flare-only");
  const Plate a = ReadPlate(legacy), b = ReadPlate(ofx);
  ASSERT_EQ(b.channels, 4);
  EXPECT_EQ(a.samples, b.samples);
}

TEST_F(OfxRenderCli, RefusesWhatTheOpenFxEditionCannotDo) {
  const std::string out = TempPath("ofx_refused.png");
  ProgramResult r = RunProgram("render --api ofx --shutter-angle 400 -o " + Quote(out));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("--shutter-angle: 400 lies outside 0..360"), std::string::npos) << r.err;
  r = RunProgram("render --api vst -o " + Quote(out));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("--api: 'vst' is not one of"), std::string::npos) << r.err;
  r = RunProgram("render --api ofx --plugin-dir " + Quote(GW_TEST_TMPDIR) + " -o " + Quote(out));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Glarewright.ofx.bundle: the OpenFX edition was not found in"),
            std::string::npos)
      << r.err;
  r = RunProgram("render --api ofx --edition showcase --light 10,10 -o " + Quote(out));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("--light: the showcase edition has no \"Light Source Location\""),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(Exists(out));
}

// A number as inspect prints it.
std::string Short(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

// The line of the parameter labelled `label` in inspect's output.
std::string LineOf(const std::string& text, const std::string& label) {
  const size_t at = text.find("\"" + label + "\"");
  if (at == std::string::npos) return {};
  const size_t start = text.rfind('\n', at) + 1;
  return text.substr(start, text.find('\n', at) - start);
}

TEST(OfxInspectCli, ShowsWhatAnApplicationSeesOfEachEdition) {
  const ProgramResult all = RunProgram("inspect --api ofx");
  ASSERT_EQ(all.exitCode, 0) << all.err;
  EXPECT_NE(all.out.find("(3 plug-ins)"), std::string::npos) << all.out;
  const std::pair<const char*, const char*> editions[] = {
      {"full", "org.glarewright.Glarewright  \"Glarewright\"  version 1.0"},
      {"showcase", "org.glarewright.GlarewrightShowcase  \"Glarewright Showcase\"  version 1.0"},
      {"quick", "org.glarewright.GlarewrightQuick  \"Glarewright Quick\"  version 1.0"}};
  for (const auto& [edition, heading] : editions) {
    SCOPED_TRACE(edition);
    EXPECT_NE(all.out.find(heading), std::string::npos);
    const ProgramResult r = RunProgram(std::string("inspect --api ofx --edition ") + edition);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(heading), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("org.glarewright", r.out.find(heading) + 1), std::string::npos)
        << "only the edition asked for";
    EXPECT_NE(r.out.find("contexts    Filter, General"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("depths      Byte, Short, Float"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("threads     FullySafe; tiles"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("    Source  RGBA, RGB; tiles"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("    Location  RGBA, RGB, Alpha; optional; whole images"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("    Obscuration  ") != std::string::npos,
              std::string(edition) != "showcase");

    // Every parameter of the edition's table, with its default and range.
    for (const ParamRow& row : EditionNamed(edition).params) {
      if (row.type == PF_Param_LAYER) continue;
      const std::string line = LineOf(r.out, row.name);
      ASSERT_FALSE(line.empty()) << row.name << "\n" << r.out;
      std::string expected;
      switch (row.type) {
        case PF_Param_FIX_SLIDER:
          expected = "Double  \"" + std::string(row.name) + "\"  default " +
                     Short(row.dephault / 65536.0) + "  range " + Short(row.validMin / 65536.0) +
                     ".." + Short(row.validMax / 65536.0);
          break;
        case PF_Param_SLIDER:
          expected = "Integer  \"" + std::string(row.name) + "\"  default " +
                     std::to_string(row.dephault) + "  range " + std::to_string(row.validMin) +
                     ".." + std::to_string(row.validMax);
          break;
        case PF_Param_POINT:
          expected = "Double2D  \"" + std::string(row.name) + "\"  default " +
                     Short(row.dephault / 65536.0 / 100.0) + "," +
                     Short(1.0 - row.dephaultY / 65536.0 / 100.0) + " of the project";
          break;
        case PF_Param_COLOR:
          expected = "RGB  \"" + std::string(row.name) + "\"  default " +
                     Short(row.colour.red / 255.0) + "," + Short(row.colour.green / 255.0) + "," +
                     Short(row.colour.blue / 255.0);
          break;
        case PF_Param_ANGLE:
          expected = "Double  \"" + std::string(row.name) + "\"  default " +
                     Short(row.dephault / 65536.0) + "  Angle";
          break;
        case PF_Param_POPUP: {
          expected = "Choice  \"" + std::string(row.name) + "\"  default " +
                     std::to_string(row.dephault - 1);
          const std::string choices = std::to_string(row.numChoices) + " choices: ";
          EXPECT_NE(r.out.find(choices), std::string::npos) << row.name;
          break;
        }
        default:
          break;
      }
      EXPECT_NE(line.find(expected), std::string::npos) << line << "\nexpected: " << expected;
    }
    EXPECT_NE(r.out.find("\"Blend\"  default 0 (\"Screen\")"), std::string::npos);
    EXPECT_NE(r.out.find("\"Output\"  default 0 (\"Comp\")"), std::string::npos);
    EXPECT_EQ(r.out.find("\"Lens\"") != std::string::npos, std::string(edition) != "quick");
    EXPECT_EQ(r.out.find("\"Shutter Angle\"  default 180  Angle  range 0..360") !=
                  std::string::npos,
              std::string(edition) != "showcase");
  }
  const ProgramResult quick = RunProgram("inspect --api ofx --edition quick");
  EXPECT_NE(quick.out.find("39 choices: 35mm | 85mm | Arc Welder"), std::string::npos);
}

}  // namespace
}  // namespace gw
