// `glarewright render` and `glarewright inspect` run as a user runs them.
#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli/image_io.h"
#include "lensfile/lensfile.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

// An RGBA image with every pixel different and alpha varying.
Frame PatternRgba(int width, int height) {
  Frame frame;
  frame.hasAlpha = true;
  frame.argb = testhost::Image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      frame.argb.at(x, y) = PF_Pixel{static_cast<uint8_t>((x * 5 + y) % 256),
                                     static_cast<uint8_t>(x % 256), static_cast<uint8_t>(y % 256),
                                     static_cast<uint8_t>((x + y) % 90)};
    }
  }
  return frame;
}

std::string EmptyLensFile() {
  const std::string path = TempPath("empty.gwr");
  Lens lens{};
  EXPECT_EQ(SaveLensFile(path.c_str(), lens), kLensFileOk);
  return path;
}

bool SameColours(const Frame& a, const Frame& b) {
  if (a.argb.width != b.argb.width || a.argb.height != b.argb.height) return false;
  for (size_t i = 0; i < a.argb.pixels.size(); ++i) {
    const PF_Pixel& p = a.argb.pixels[i];
    const PF_Pixel& q = b.argb.pixels[i];
    if (p.red != q.red || p.green != q.green || p.blue != q.blue) return false;
  }
  return true;
}

TEST(RenderCli, DefaultLensOverTheBuiltInFrame) {
  const std::string out = TempPath("flare.png");
  std::remove(out.c_str());
  const ProgramResult r = RunProgram("render -o '" + out + "' --size 320x180");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Frame frame = ReadFrame(out);
  EXPECT_EQ(frame.argb.width, 320);
  EXPECT_EQ(frame.argb.height, 180);
  EXPECT_FALSE(frame.hasAlpha);
  // The flare brightens the dark gradient around the light (30 %, 30 %).
  const Frame plain = BuiltInFrame(320, 180);
  EXPECT_GT(frame.argb.at(96, 54).red, plain.argb.at(96, 54).red);
}

TEST(RenderCli, NothingDrawnGivesTheInputBackWithItsAlpha) {
  const std::string in = TempPath("rgba_in.png"), out = TempPath("rgba_out.png");
  const Frame input = PatternRgba(90, 50);
  WriteFrame(in, input);
  ProgramResult r = RunProgram("render '" + in + "' -o '" + out + "' --lens '" +
                               EmptyLensFile() + "'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Frame output = ReadFrame(out);
  ASSERT_TRUE(output.hasAlpha);
  EXPECT_EQ(output.argb.pixels.size(), input.argb.pixels.size());
  EXPECT_EQ(std::memcmp(output.argb.pixels.data(), input.argb.pixels.data(),
                        input.argb.pixels.size() * 4), 0);

  // With the default lens the colours change but alpha does not.
  r = RunProgram("render '" + in + "' -o '" + out + "' --light 40,20");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  output = ReadFrame(out);
  EXPECT_FALSE(SameColours(output, input));
  for (size_t i = 0; i < input.argb.pixels.size(); ++i) {
    ASSERT_EQ(output.argb.pixels[i].alpha, input.argb.pixels[i].alpha);
  }
}

TEST(RenderCli, DownsamplingRendersAFraction) {
  const std::string in = TempPath("ntsc.png"), out = TempPath("half.png");
  WriteFrame(in, PatternRgba(720, 486));
  const ProgramResult r = RunProgram("render '" + in + "' -o '" + out + "' --downsample 2 -q");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Frame output = ReadFrame(out);
  EXPECT_EQ(output.argb.width, 360);
  EXPECT_EQ(output.argb.height, 243);
}

TEST(RenderCli, NumberedSequenceInAndOut) {
  for (int f = 1; f <= 3; ++f) {
    WriteFrame(TempPath("shot." + std::to_string(1000 + f).substr(0) + ".png"),
               PatternRgba(40, 30));
  }
  const ProgramResult r =
      RunProgram("render '" + TempPath("shot.####.png") + "' -o '" + TempPath("out.%04d.png") +
                 "' --frames 1001-1003 -q --lens '" + EmptyLensFile() + "'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (int f = 1001; f <= 1003; ++f) {
    EXPECT_TRUE(Exists(TempPath("out." + std::to_string(f) + ".png"))) << f;
  }
  EXPECT_FALSE(Exists(TempPath("out.1004.png")));
  EXPECT_TRUE(r.err.empty());  // no bar when stderr is not a terminal
}

TEST(RenderCli, KeyframesAreLinearAndHeld) {
  const std::string pattern = TempPath("keys.%04d.png");
  const ProgramResult r = RunProgram("render -o '" + pattern +
                                     "' --size 160x90 --frames 0-3 --brightness 0@1 "
                                     "--brightness 100@3 -q");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Frame plain = BuiltInFrame(160, 90);
  // Held at 0 before the first key: nothing drawn.
  EXPECT_TRUE(SameColours(ReadFrame(TempPath("keys.0000.png")), plain));
  EXPECT_TRUE(SameColours(ReadFrame(TempPath("keys.0001.png")), plain));
  const auto sum = [](const Frame& f) {
    uint64_t total = 0;
    for (const PF_Pixel& p : f.argb.pixels) total += p.red + p.green + p.blue;
    return total;
  };
  const uint64_t half = sum(ReadFrame(TempPath("keys.0002.png")));
  const uint64_t full = sum(ReadFrame(TempPath("keys.0003.png")));
  EXPECT_GT(full, half);
  EXPECT_GT(half, sum(plain));
}

TEST(RenderCli, LocationLayerPlacesTheLight) {
  const std::string layer = TempPath("dot.png");
  Frame dot;
  dot.hasAlpha = true;
  dot.argb = testhost::Image(160, 90, PF_Pixel{0, 0, 0, 0});
  dot.argb.at(120, 20) = PF_Pixel{255, 255, 255, 255};
  WriteFrame(layer, dot);
  const ProgramResult a = RunProgram("render -o '" + TempPath("by_layer.png") +
                                     "' --size 160x90 --location-layer '" + layer + "'");
  const ProgramResult b = RunProgram("render -o '" + TempPath("by_point.png") +
                                     "' --size 160x90 --light 120,20");
  ASSERT_EQ(a.exitCode, 0) << a.err;
  ASSERT_EQ(b.exitCode, 0) << b.err;
  EXPECT_TRUE(SameColours(ReadFrame(TempPath("by_layer.png")), ReadFrame(TempPath("by_point.png"))));
}

TEST(RenderCli, OpaqueObscurationHidesTheFlare) {
  const std::string layer = TempPath("wall.png");
  Frame wall;
  wall.hasAlpha = true;
  wall.argb = testhost::Image(160, 90, PF_Pixel{255, 10, 10, 10});
  WriteFrame(layer, wall);
  const ProgramResult r = RunProgram("render -o '" + TempPath("hidden.png") +
                                     "' --size 160x90 --obscuration-layer '" + layer +
                                     "' --obscuration-type alpha");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(SameColours(ReadFrame(TempPath("hidden.png")), BuiltInFrame(160, 90)));
}

TEST(RenderCli, QuickAndShowcaseEditions) {
  ProgramResult r = RunProgram("render -o '" + TempPath("quick.png") +
                               "' --size 160x90 --preset 'Basic Lens'");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  r = RunProgram("render -o '" + TempPath("quick.png") + "' --size 160x90 --preset 16");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  // Showcase without a location layer draws nothing.
  r = RunProgram("render -o '" + TempPath("showcase.png") + "' --size 160x90 --edition showcase");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(SameColours(ReadFrame(TempPath("showcase.png")), BuiltInFrame(160, 90)));
}

TEST(RenderCli, ErrorsAreOneLineAndNonzero) {
  const std::string out = TempPath("never.png");
  std::remove(out.c_str());
  const std::string big = TempPath("wide.png");
  {
    Frame wide;
    wide.argb = testhost::Image(30001, 1);
    WriteFrame(big, wide);
  }
  const struct {
    std::string arguments;
    std::string says;
  } cases[] = {
      {"render '" + big + "' -o '" + out + "'", "larger than 30000"},
      {"render '" + TempPath("missing.png") + "' -o '" + out + "'", "missing.png: "},
      {"render -o '" + out + "' --frames 0-4 --size 8x8", "several frames need a numbered output"},
      {"render '" + TempPath("shot.####.png") + "' -o '" + out + "'", "needs --frames"},
      {"render -o '" + out + "' --preset 'No Such' --size 8x8", "no preset is called"},
      {"render -o '" + out + "' --edition quick --lens x.gwr --size 8x8", "--lens"},
      {"render -o '" + out + "' --edition showcase --light 1,1 --size 8x8",
       "no \"Light Source Location\" parameter"},
      {"render -o '" + out + "' --scale 9 --size 8x8", "--scale: 9 lies outside 0.1..5"},
      {"render -o '" + out + "' --source-size 0 --size 8x8", "--source-size"},
      {"render -o '" + out + "' --lens '" + TempPath("missing.gwr") + "' --size 8x8",
       "missing.gwr: "},
      {"render -o '" + out + "' --plugin-dir /nonexistent --size 8x8", "not found"},
      {"render -o '" + out + "' --size 8x8 --location-layer '" + TempPath("gone.png") + "'",
       "gone.png: "},
  };
  for (const auto& c : cases) {
    const ProgramResult r = RunProgram(c.arguments);
    EXPECT_EQ(r.exitCode, 1) << c.arguments;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.arguments << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("glarewright: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_FALSE(Exists(out));
}

TEST(RenderCli, UnwritableOutputLeavesNoFile) {
  const std::string out = TempPath("no_such_dir/flare.png");
  const ProgramResult r = RunProgram("render -o '" + out + "' --size 8x8");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("flare.png: cannot be written"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(out));
}

TEST(InspectCli, ShowsWhatTheHostSees) {
  ProgramResult r = RunProgram("inspect");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("name  \"Glarewright     \""), std::string::npos);
  EXPECT_NE(r.out.find("eGLO  0x00080423"), std::string::npos);
  EXPECT_NE(r.out.find("num_params 10"), std::string::npos);
  EXPECT_NE(r.out.find("\"Obscuration Type\"  POPUP  default 2"), std::string::npos);
  EXPECT_NE(r.out.find("00 01 00 02 00 00 00 03"), std::string::npos);
  EXPECT_NE(r.out.find("StarFilter"), std::string::npos);

  r = RunProgram("inspect --edition quick");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("TSLY Custom Flare Quick     "), std::string::npos);
  EXPECT_NE(r.out.find("39 choices: 35mm|85mm|Arc Welder|"), std::string::npos);
  r = RunProgram("inspect --edition showcase");
  EXPECT_NE(r.out.find("num_params 6"), std::string::npos);
  r = RunProgram("inspect --edition deluxe");
  EXPECT_EQ(r.exitCode, 1);
}

}  // namespace
}  // namespace gw
