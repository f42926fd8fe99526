// `glarewright render` in a compositing pipeline: plates kept whole, the
// flare-only pass, layer sequences, tracking data and early checks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "cli/compositing.h"
#include "cli/image_io.h"
#include "cli/plugin_modules.h"
#include "lens/lens.h"
#include "lensfile/lensfile.h"
#include "tests/cli/float_plate.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

// A plate of `channels` channels whose every pixel differs; values scaled
// by `range` (above 1 for HDR).
Plate RampPlate(int width, int height, int channels, SampleType type, float range) {
  return FloatPlate(width, height, channels, type, [range](int x, int y, int c) {
    const float t = static_cast<float>((x * 7 + y * 13 + c * 29) % 997) / 996.0f;
    return c == 3 ? t : t * range;
  });
}

// The pixel where the default lens is brightest in a small frame: its light.
constexpr int kLightX = 40, kLightY = 30;

TEST(CompositingCli, HdrPlateKeepsItsValuesTypeAndChannels) {
  const std::string in = TempPath("hdr_in.exr"), out = TempPath("hdr_out.exr");
  Plate plate = RampPlate(160, 90, 5, SampleType::Float, 4.0f);
  plate.at(5, 80, 0) = 50.0f;  // far from the flare
  plate.at(kLightX, kLightY, 0) = 50.0f;  // under the light
  WritePlate(in, plate, SampleType::Float);
  const ProgramResult r = RunProgram("render " + Quote(in) + " -o " + Quote(out) + " --light " +
                                     std::to_string(kLightX) + "," + std::to_string(kLightY));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Plate result = ReadPlate(out);
  ASSERT_EQ(result.channels, 5);
  EXPECT_EQ(result.type, SampleType::Float);
  EXPECT_EQ(result.channelNames, plate.channelNames);
  EXPECT_EQ(result.at(5, 80, 0), 50.0f);
  EXPECT_EQ(result.at(kLightX, kLightY, 0), 50.0f);  // screen leaves values above 1 alone
  int changed = 0, kept = 0;
  for (int y = 0; y < plate.height; ++y) {
    for (int x = 0; x < plate.width; ++x) {
      for (int c = 0; c < 5; ++c) {
        const float a = plate.at(x, y, c), b = result.at(x, y, c);
        if (c >= 3) {
          ASSERT_EQ(a, b) << "alpha and Z are never touched";
        }
        if (a == b) ++kept;
        if (b != a) {
          ++changed;
          ASSERT_GT(b, a);  // a flare only brightens
          ASSERT_LE(b - a, 1.0f);
        }
      }
    }
  }
  EXPECT_GT(changed, 1000);
  EXPECT_GT(kept, 1000);
}

TEST(CompositingCli, AddBlendAndOutputDepth) {
  const std::string in = TempPath("linear.exr"), screen = TempPath("screen.exr"),
                    add = TempPath("add.exr"), half = TempPath("half.exr"),
                    flare = TempPath("flare_only.exr");
  WritePlate(in, RampPlate(160, 90, 3, SampleType::Half, 8.0f), SampleType::Half);
  const std::string light = " --light 40,30 -q";
  ASSERT_EQ(RunProgram("render " + Quote(in) + " -o " + Quote(add) + " --blend add --depth float" + light).exitCode, 0);
  ASSERT_EQ(RunProgram("render " + Quote(in) + " -o " + Quote(half) + light).exitCode, 0);
  ASSERT_EQ(RunProgram("render " + Quote(in) + " -o " + Quote(flare) + " --flare-only --depth float" + light).exitCode, 0);
  const Plate a = ReadPlate(add), h = ReadPlate(half), f = ReadPlate(flare), p = ReadPlate(in);
  EXPECT_EQ(a.type, SampleType::Float);
  EXPECT_EQ(h.type, SampleType::Half);
  // add: the plate plus the flare, exactly, everywhere.
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        ASSERT_FLOAT_EQ(a.at(x, y, c), p.at(x, y, c) + f.at(x, y, c)) << x << "," << y;
      }
    }
  }
  const ProgramResult bad = RunProgram("render -o " + Quote(half) + " --blend multiply");
  EXPECT_NE(bad.err.find("--blend: 'multiply' is not one of screen, add"), std::string::npos) << bad.err;
}

TEST(CompositingCli, SixteenBitRampKeepsEveryValue) {
  const std::string in = TempPath("ramp16.png"), out = TempPath("ramp16_out.png");
  Plate ramp = RampPlate(656, 4, 3, SampleType::UInt16, 1.0f);
  for (int x = 0; x < 656; ++x) {
    for (int c = 0; c < 3; ++c) ramp.at(x, 0, c) = static_cast<float>(x * 99) / 65535.0f;
  }
  WritePlate(in, ramp, SampleType::UInt16);
  // The light far outside the frame: the flare reaches only part of it.
  const ProgramResult r = RunProgram("render " + Quote(in) + " -o " + Quote(out) +
                                     " --light 600,3 --brightness 20");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Plate result = ReadPlate(out);
  EXPECT_EQ(result.type, SampleType::UInt16);
  std::set<float> distinct;
  for (int x = 0; x < 656; ++x) distinct.insert(result.at(x, 0, 0));
  EXPECT_GT(distinct.size(), 600u);
  const Plate stored = ReadPlate(in);
  EXPECT_EQ(result.at(0, 0, 1), stored.at(0, 0, 1));
  EXPECT_EQ(result.at(3, 0, 2), stored.at(3, 0, 2));
}

// The plug-in's own render of a frame, through the test host directly.
testhost::Image PluginRender(const testhost::Image& input, int lightX, int lightY) {
  auto host = LoadPlugin(FindPluginModule("full", ""));
  EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host->ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(host->SequenceSetup(), PF_Err_NONE);
  testhost::ParamValue light;
  light.value = lightX << 16;
  light.y = lightY << 16;
  host->SetValue(host->IndexOf("Light Source Location"), light);
  testhost::Image output;
  EXPECT_EQ(host->Render(0, input, output), PF_Err_NONE);
  host->SequenceSetdown();
  host->GlobalSetdown();
  return output;
}

TEST(CompositingCli, EightBitScreenIsThePluginsOwnRender) {
  const std::string in = TempPath("plate8.png"), out = TempPath("plate8_out.png");
  const Plate plate = RampPlate(200, 120, 4, SampleType::UInt8, 1.0f);
  WritePlate(in, plate, SampleType::UInt8);
  const ProgramResult r = RunProgram("render " + Quote(in) + " -o " + Quote(out) + " --light 70,40");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Frame expected{PluginRender(ReadFrame(in).argb, 70, 40), true};
  const Frame written = ReadFrame(out);
  ASSERT_EQ(written.argb.pixels.size(), expected.argb.pixels.size());
  EXPECT_EQ(std::memcmp(written.argb.pixels.data(), expected.argb.pixels.data(),
                        expected.argb.pixels.size() * sizeof(PF_Pixel)), 0);
}

TEST(CompositingCli, FlareOnlyIsPremultipliedWithAlphaFromItsColour) {
  const std::string in = TempPath("transparent.png"), out = TempPath("flare_pass.exr");
  Frame clear;
  clear.hasAlpha = true;
  clear.argb = testhost::Image(160, 90, PF_Pixel{0, 0, 0, 0});
  WriteFrame(in, clear);
  const ProgramResult r = RunProgram("render " + Quote(in) + " -o " + Quote(out) +
                                     " --flare-only --depth half --light 40,30");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Plate flare = ReadPlate(out);
  ASSERT_EQ(flare.channels, 4);
  EXPECT_EQ(flare.alphaChannel, 3);
  EXPECT_TRUE(flare.premultiplied);
  int lit = 0;
  for (int y = 0; y < flare.height; ++y) {
    for (int x = 0; x < flare.width; ++x) {
      const float alpha = flare.at(x, y, 3);
      const float most = std::max({flare.at(x, y, 0), flare.at(x, y, 1), flare.at(x, y, 2)});
      ASSERT_NEAR(alpha, most, 1e-3f);
      lit += alpha > 0.0f;
    }
  }
  EXPECT_GT(lit, 100);
  EXPECT_LT(lit, 160 * 90);  // transparent where the flare is black
}

TEST(CompositingCli, GreyPlatesStayGreyAndDepthIsChosen) {
  const std::string in = TempPath("grey16.png"), out = TempPath("grey16_out.png"),
                    deep = TempPath("deep.tif");
  Plate grey = RampPlate(160, 90, 1, SampleType::UInt16, 0.2f);
  grey.channelNames = {"Y"};
  WritePlate(in, grey, SampleType::UInt16);
  ProgramResult r = RunProgram("render " + Quote(in) + " -o " + Quote(out) + " --light 40,30");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Plate result = ReadPlate(out), stored = ReadPlate(in);
  ASSERT_EQ(result.channels, 1);
  EXPECT_EQ(result.type, SampleType::UInt16);
  EXPECT_GT(result.at(40, 30, 0), stored.at(40, 30, 0) + 0.5f);  // the flare's luminance
  r = RunProgram("render -o " + Quote(deep) + " --size 64x36 --depth uint16");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadPlate(deep).type, SampleType::UInt16);
}

TEST(CompositingCli, CombineRules) {
  // Screen for values in 0..1, brighter values left alone; add adds.
  Plate plate = RampPlate(2, 1, 3, SampleType::Float, 1.0f);
  plate.at(0, 0, 0) = 0.5f;
  plate.at(1, 0, 0) = 3.0f;
  testhost::Image flare(2, 1, PF_Pixel{255, 51, 0, 0});
  const Plate screen = CombineFlare(plate, flare, Blend::Screen);
  EXPECT_FLOAT_EQ(screen.at(0, 0, 0), 0.6f);  // 1 - 0.5 x 0.8
  EXPECT_FLOAT_EQ(screen.at(1, 0, 0), 3.0f);
  EXPECT_EQ(screen.at(0, 0, 1), plate.at(0, 0, 1));
  const Plate add = CombineFlare(plate, flare, Blend::Add);
  EXPECT_FLOAT_EQ(add.at(1, 0, 0), 3.2f);
  const Plate half = DownsamplePlate(RampPlate(5, 3, 3, SampleType::Float, 1.0f), 2);
  EXPECT_EQ(half.width, 2);
  EXPECT_EQ(half.height, 1);
}

}  // namespace
}  // namespace gw

namespace gw {
namespace {

TEST(StoredSequenceData, IsWhatAFreshInstanceStores) {
  auto host = LoadPlugin(FindPluginModule("full", ""));
  ASSERT_EQ(host->GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host->SequenceSetup(), PF_Err_NONE);
  Lens lens{};
  BuildDefaultLens(lens);
  const SequenceData stored = StoredSequenceData(lens);
  const std::vector<uint8_t> bytes = host->SequenceBytes();
  ASSERT_EQ(bytes.size(), sizeof stored);
  EXPECT_EQ(std::memcmp(bytes.data(), &stored, sizeof stored), 0);
  EXPECT_EQ(bytes[0], 0x00);  // the version word, big-endian
  EXPECT_EQ(bytes[1], 0x01);
  EXPECT_EQ(bytes[3], 0x02);
  host->SequenceSetdown();
  host->GlobalSetdown();
}

}  // namespace
}  // namespace gw
