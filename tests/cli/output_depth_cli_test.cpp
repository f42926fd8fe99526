// The output keeps the precision asked of it, or says what it is written
// as, or refuses before any work.
#include <gtest/gtest.h>

#include <string>

#include "cli/image_io.h"
#include "tests/cli/float_plate.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

Plate Grey(int channels, SampleType type, float value) {
  return FloatPlate(48, 27, channels, type, [value](int, int, int) { return value; });
}

struct Rendered {
  ProgramResult run;
  bool written;
};

Rendered Render(const std::string& in, const std::string& out, const std::string& options) {
  std::remove(out.c_str());
  const ProgramResult r =
      RunProgram("render " + (in.empty() ? "--size 48x27" : Quote(in)) + " -o " + Quote(out) +
                 " -q " + options);
  return {r, Exists(out)};
}

TEST(OutputDepthCli, AFormatThatCannotKeepTheDepthIsRefusedUpFront) {
  const std::string hdr = TempPath("depth_hdr.exr");
  WritePlate(hdr, Grey(3, SampleType::Half, 2.5f), SampleType::Half);
  const std::string png = TempPath("depth_refused.png"), jpg = TempPath("depth_refused.jpg");
  for (const char* depth : {"float", "half"}) {
    const Rendered r = Render("", png, std::string("--depth ") + depth);
    EXPECT_EQ(r.run.exitCode, 1) << depth;
    EXPECT_FALSE(r.written) << depth;
    EXPECT_EQ(r.run.err, "glarewright: " + png + ": PNG holds only uint8 and uint16 samples, which "
                         "cannot keep --depth " + depth + " values (those above 1 and below 0 "
                         "would be clipped): write .exr or .tif\n");
  }
  // A plate's own depth likewise, with the way to accept the loss.
  Rendered r = Render(hdr, png, "");
  EXPECT_EQ(r.run.exitCode, 1);
  EXPECT_FALSE(r.written);
  EXPECT_NE(r.run.err.find("cannot keep the input's half values (those above 1 and below 0 would "
                           "be clipped): write .exr or .tif, or ask --depth uint16 to accept the "
                           "loss"), std::string::npos) << r.run.err;
  r = Render(hdr, png, "--depth uint16");
  ASSERT_EQ(r.run.exitCode, 0) << r.run.err;
  EXPECT_EQ(ReadPlate(png).type, SampleType::UInt16);
  EXPECT_EQ(ReadPlate(png).at(0, 0, 0), 1.0f);

  r = Render("", jpg, "--depth uint16");
  EXPECT_EQ(r.run.exitCode, 1);
  EXPECT_NE(r.run.err.find("JPEG holds only uint8 samples"), std::string::npos) << r.run.err;
  r = Render("", jpg, "--flare-only");
  EXPECT_EQ(r.run.exitCode, 1);
  EXPECT_FALSE(r.written);
  EXPECT_EQ(r.run.err, "glarewright: --flare-only: " + jpg + ": JPEG holds no alpha, which a "
                       "flare-only pass needs (write .exr, .tif or .png)\n");
}

TEST(OutputDepthCli, TheNearestDepthThatKeepsEveryValueIsWrittenAndSaid) {
  const std::string exr = TempPath("depth_near.exr"), tif = TempPath("depth_near.tif");
  Rendered r = Render("", exr, "--depth uint8");
  ASSERT_EQ(r.run.exitCode, 0) << r.run.err;
  EXPECT_EQ(r.run.err, "glarewright: " + exr + ": OpenEXR holds no uint8 samples: written as "
                       "half, which keeps every uint8 value\n");
  EXPECT_EQ(ReadPlate(exr).type, SampleType::Half);
  r = Render("", exr, "--depth uint16");
  ASSERT_EQ(r.run.exitCode, 0) << r.run.err;
  EXPECT_EQ(ReadPlate(exr).type, SampleType::Float);  // half cannot tell 65536 levels apart
  r = Render("", tif, "--depth half");
  ASSERT_EQ(r.run.exitCode, 0) << r.run.err;
  EXPECT_EQ(ReadPlate(tif).type, SampleType::Float);
  r = Render("", tif, "--depth uint16");
  ASSERT_EQ(r.run.exitCode, 0) << r.run.err;
  EXPECT_TRUE(r.run.err.empty()) << r.run.err;
  EXPECT_EQ(ReadPlate(tif).type, SampleType::UInt16);
}

TEST(OutputDepthCli, ChannelsAFormatCannotHoldAreSaidToBeLeftOut) {
  const std::string in = TempPath("depth_rgbaz.exr"), jpg = TempPath("depth_noalpha.jpg");
  WritePlate(in, Grey(5, SampleType::Half, 0.25f), SampleType::Half);
  const Rendered r = Render(in, jpg, "--depth uint8");
  ASSERT_EQ(r.run.exitCode, 0) << r.run.err;
  EXPECT_NE(r.run.err.find(jpg + ": JPEG holds no alpha: the input's alpha channel is left out\n"),
            std::string::npos) << r.run.err;
  EXPECT_NE(r.run.err.find(jpg + ": JPEG holds colour and alpha only: the channel Z is left out"),
            std::string::npos) << r.run.err;
}

}  // namespace
}  // namespace gw
