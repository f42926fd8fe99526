// What a plate's file says beyond its pixels survives a render: data and
// display windows, pixel aspect, compression, tiles, custom attributes; the
// same render writes the same bytes however many workers write it.
#include <gtest/gtest.h>

#include <OpenImageIO/imageio.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/cli/run_program.h"

namespace gw {
namespace {

// A picture whose every sample differs: dark, so that the flare shows.
std::vector<float> Ramp(int width, int height, int channels) {
  std::vector<float> samples(static_cast<size_t>(width) * height * channels);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<float>(i % 251) / 1000.0f;
  return samples;
}

void WriteExr(const std::string& path, OIIO::ImageSpec fields, const std::vector<float>& samples) {
  auto out = OIIO::ImageOutput::create(path);
  ASSERT_TRUE(out && out->open(path, fields)) << OIIO::geterror();
  ASSERT_TRUE(out->write_image(OIIO::TypeDesc::FLOAT, samples.data())) << out->geterror();
  ASSERT_TRUE(out->close());
}

struct Read {
  OIIO::ImageSpec fields;
  std::vector<float> samples;
};

Read ReadExr(const std::string& path) {
  Read r;
  auto in = OIIO::ImageInput::open(path);
  EXPECT_TRUE(in) << OIIO::geterror();
  if (!in) return r;
  r.fields = in->spec();
  r.samples.resize(r.fields.image_pixels() * r.fields.nchannels);
  EXPECT_TRUE(in->read_image(0, 0, 0, r.fields.nchannels, OIIO::TypeDesc::FLOAT, r.samples.data()));
  return r;
}

// The sample at (x, y) of the file's own coordinates.
float At(const Read& r, int x, int y, int c) {
  return r.samples[(static_cast<size_t>(y - r.fields.y) * r.fields.width + (x - r.fields.x)) *
                       r.fields.nchannels + c];
}

OIIO::ImageSpec HalfFields(int width, int height, int channels) {
  OIIO::ImageSpec fields(width, height, channels, OIIO::TypeDesc::HALF);
  fields.attribute("DateTime", "");  // none: the writer would stamp the time
  return fields;
}

TEST(ImageHeadersCli, ACropKeepsItsWindowsAndGetsTheWholePicturesFlare) {
  const std::string whole = TempPath("hdr_whole.exr"), crop = TempPath("hdr_crop.exr"),
                    wholeOut = TempPath("hdr_whole_out.exr"), cropOut = TempPath("hdr_crop_out.exr");
  const std::vector<float> picture = Ramp(320, 180, 3);
  WriteExr(whole, HalfFields(320, 180, 3), picture);
  // The same picture's pixels 60..259 x 30..149 alone, in the same display window.
  OIIO::ImageSpec cropped = HalfFields(200, 120, 3);
  cropped.x = 60;
  cropped.y = 30;
  cropped.full_width = 320;
  cropped.full_height = 180;
  std::vector<float> part;
  for (int y = 30; y < 150; ++y) {
    for (int x = 60; x < 260; ++x) {
      for (int c = 0; c < 3; ++c) part.push_back(picture[(static_cast<size_t>(y) * 320 + x) * 3 + c]);
    }
  }
  WriteExr(crop, cropped, part);

  for (const auto& [in, out] : {std::pair{whole, wholeOut}, std::pair{crop, cropOut}}) {
    const ProgramResult r = RunProgram("render " + Quote(in) + " -o " + Quote(out) +
                                       " --light 30%,40% -q");
    ASSERT_EQ(r.exitCode, 0) << r.err;
  }
  const Read w = ReadExr(wholeOut), c = ReadExr(cropOut);
  EXPECT_EQ(c.fields.x, 60);
  EXPECT_EQ(c.fields.y, 30);
  EXPECT_EQ(c.fields.width, 200);
  EXPECT_EQ(c.fields.height, 120);
  EXPECT_EQ(c.fields.full_x, 0);
  EXPECT_EQ(c.fields.full_y, 0);
  EXPECT_EQ(c.fields.full_width, 320);
  EXPECT_EQ(c.fields.full_height, 180);
  // Within the crop, the flare of the whole picture, sample for sample.
  int brighter = 0;
  for (int y = 30; y < 150; ++y) {
    for (int x = 60; x < 260; ++x) {
      for (int ch = 0; ch < 3; ++ch) {
        ASSERT_EQ(At(c, x, y, ch), At(w, x, y, ch)) << x << "," << y;
        brighter += At(c, x, y, ch) > picture[(static_cast<size_t>(y) * 320 + x) * 3 + ch];
      }
    }
  }
  EXPECT_GT(brighter, 10000);
}

TEST(ImageHeadersCli, OverscanCountsTheLightFromTheDisplayWindow) {
  const std::string in = TempPath("overscan.exr"), out = TempPath("overscan_out.exr");
  OIIO::ImageSpec fields = HalfFields(400, 260, 3);
  fields.x = -40;
  fields.y = -40;
  fields.full_width = 320;
  fields.full_height = 180;
  WriteExr(in, fields, std::vector<float>(400 * 260 * 3, 0.0f));
  const ProgramResult r = RunProgram("render " + Quote(in) + " -o " + Quote(out) +
                                     " --light 12,8 --brightness 40 -q");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Read o = ReadExr(out);
  EXPECT_EQ(o.fields.x, -40);
  EXPECT_EQ(o.fields.y, -40);
  EXPECT_EQ(o.fields.width, 400);
  EXPECT_EQ(o.fields.full_width, 320);
  // The glow's hot centre lies on the light, in the display window's pixels.
  int bestX = 0, bestY = 0;
  float best = -1.0f;
  for (int y = -40; y < 220; ++y) {
    for (int x = -40; x < 360; ++x) {
      const float v = At(o, x, y, 0) + At(o, x, y, 1) + At(o, x, y, 2);
      if (v > best) best = v, bestX = x, bestY = y;
    }
  }
  EXPECT_LE(std::abs(bestX - 12), 1) << bestX;
  EXPECT_LE(std::abs(bestY - 8), 1) << bestY;
  // Overscan pixels get the flare too.
  EXPECT_GT(At(o, -12, -8, 0), 0.0f);
}

TEST(ImageHeadersCli, AttributesCompressionTilesAndAspectAreKept) {
  const std::string in = TempPath("attributes.exr"), out = TempPath("attributes_out.exr");
  OIIO::ImageSpec fields = HalfFields(160, 90, 4);
  fields.alpha_channel = 3;
  fields.tile_width = fields.tile_height = 32;
  fields.attribute("compression", "piz");
  fields.attribute("PixelAspectRatio", 2.0f);
  fields.attribute("DateTime", "2001:02:03 04:05:06");
  fields.attribute("studio:shot", "sh010");
  fields.attribute("studio:take", 7);
  WriteExr(in, fields, Ramp(160, 90, 4));
  const ProgramResult r = RunProgram("render " + Quote(in) + " -o " + Quote(out) + " -q");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const OIIO::ImageSpec o = ReadExr(out).fields;
  EXPECT_EQ(o.get_string_attribute("compression"), "piz");
  EXPECT_EQ(o.get_float_attribute("PixelAspectRatio"), 2.0f);
  EXPECT_EQ(o.get_string_attribute("DateTime"), "2001:02:03 04:05:06");
  EXPECT_EQ(o.get_string_attribute("studio:shot"), "sh010");
  EXPECT_EQ(o.get_int_attribute("studio:take"), 7);
  EXPECT_EQ(o.tile_width, 32);
  EXPECT_EQ(o.format, OIIO::TypeDesc::HALF);
  EXPECT_EQ(o.channelnames, (std::vector<std::string>{"R", "G", "B", "A"}));
}

TEST(ImageHeadersCli, ParallelAndSerialRunsWriteTheSameBytes) {
  for (int f = 1; f <= 3; ++f) {
    WriteExr(TempPath("same." + std::to_string(f) + ".exr"), HalfFields(96, 64, 3),
             Ramp(96, 64, 3));
  }
  for (const char* jobs : {"1", "3"}) {
    const ProgramResult r =
        RunProgram("render " + Quote(TempPath("same.#.exr")) + " -o " +
                   Quote(TempPath(std::string("same_j") + jobs + ".#.exr")) +
                   " --frames 1-3 --light 20,20@1 --light 70,40@3 -q --jobs " + jobs);
    ASSERT_EQ(r.exitCode, 0) << r.err;
  }
  for (int f = 1; f <= 3; ++f) {
    const std::string serial = ReadWholeFile(TempPath("same_j1." + std::to_string(f) + ".exr"));
    EXPECT_FALSE(serial.empty());
    EXPECT_EQ(serial, ReadWholeFile(TempPath("same_j3." + std::to_string(f) + ".exr"))) << f;
    EXPECT_EQ(serial.find("DateTime"), std::string::npos) << "no time of writing is added";
  }
}

}  // namespace
}  // namespace gw
