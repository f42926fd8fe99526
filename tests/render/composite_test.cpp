// The float combine of a flare drawn over black with plates of every depth.
#include "render/composite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

namespace gw {
namespace {

// Two drawn flare pixels: black, then (51, 255, 0).
const std::vector<uint8_t> kFlare = {0, 0, 0, 0, 0, 51, 255, 0};

TEST(Composite, FloatPlatesKeepValuesAboveOneAndUntouchedPixelsExactly) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> plate = {nan,  -2.0f, 7.5f, 0.25f,  // no flare here: kept as it is
                                    0.5f, 3.0f,  0.2f, 0.75f};
  std::vector<float> out(8);
  CombineFlareRow(plate.data(), out.data(), SampleKind::Float, 4, {kFlare.data(), 2},
                  Blend::Screen);
  EXPECT_TRUE(std::isnan(out[0]));
  EXPECT_EQ(out[1], -2.0f);
  EXPECT_EQ(out[2], 7.5f);
  EXPECT_FLOAT_EQ(out[4], 0.6f);  // 1 - 0.5 x 0.8
  EXPECT_EQ(out[5], 3.0f);        // above 1: screen leaves it
  EXPECT_FLOAT_EQ(out[6], 0.2f);  // a flare value of 0 changes nothing
  EXPECT_EQ(out[7], 0.75f);       // alpha

  CombineFlareRow(plate.data(), out.data(), SampleKind::Float, 4, {kFlare.data(), 2}, Blend::Add);
  EXPECT_FLOAT_EQ(out[4], 0.7f);
  EXPECT_FLOAT_EQ(out[5], 4.0f);
}

TEST(Composite, FloatRgbaRowsFollowTheRuleBitForBit) {
  // Every flare byte in every channel against plates of every kind of value,
  // rows of every length (the vector paths take four or eight pixels at a
  // time, and copy groups the flare misses whole).
  const float special[] = {0.0f,
                           -0.0f,
                           0.5f,
                           1.0f,
                           1.0000001f,
                           3.5f,
                           -2.0f,
                           1e-30f,
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN()};
  std::vector<uint8_t> flare;
  std::vector<float> plate;
  for (int i = 0; i < 771; ++i) {
    const bool dark = i % 9 < 4 || (i / 40) % 3 == 0;  // runs the flare misses
    flare.insert(flare.end(),
                 {uint8_t(i), uint8_t(dark ? 0 : i % 256), uint8_t(dark ? 0 : (i * 7) % 256),
                  uint8_t(dark || i % 5 == 0 ? 0 : (i * 13) % 256)});
    for (int c = 0; c < 4; ++c) plate.push_back(special[(i + c * 3) % std::size(special)]);
  }
  // Outputs at every pixel offset from a cache line (whole lines are written
  // another way), with a pixel before and after that must stay untouched.
  for (const Blend blend : {Blend::Screen, Blend::Add}) {
    for (const int32_t n : {771, 770, 769, 767, 12, 1}) {
      for (size_t shift = 1; shift <= 4; ++shift) {
        std::vector<float> buffer(plate.size() + 4 * 5, 7.0f);
        float* out = buffer.data() + 4 * shift;
        CombineFlareRow(plate.data(), out, SampleKind::Float, 4, {flare.data(), n}, blend);
        for (int32_t i = 0; i < n; ++i) {
          for (int c = 0; c < 4; ++c) {
            const size_t k = static_cast<size_t>(i) * 4 + c;
            const uint8_t f = c < 3 ? flare[static_cast<size_t>(i) * 4 + c + 1] : 0;
            const float expected =
                f == 0 ? plate[k] : CombineSample(plate[k], ByteToUnit(f), blend);
            ASSERT_EQ(std::memcmp(&out[k], &expected, 4), 0) << i << " " << c << " " << plate[k];
          }
        }
        EXPECT_EQ(out[-1], 7.0f);                             // nothing before the row
        EXPECT_EQ(out[static_cast<size_t>(n) * 4], 7.0f);  // nothing past it
      }
    }
  }
}

// Combines the first n pixels of a 16-bit RGBA row into an output `shift`
// pixels into a buffer and checks each sample against the rule in floating
// point, rounded to the nearest 16-bit value; nothing before or past the row
// may be written.
void ExpectShortRule(const std::vector<uint16_t>& plate, const std::vector<uint8_t>& flare,
                     int32_t n, Blend blend, size_t shift = 0) {
  std::vector<uint16_t> buffer(plate.size() + 4 * (shift + 1), 7);
  uint16_t* out = buffer.data() + 4 * shift;
  CombineFlareRow(plate.data(), out, SampleKind::Short, 4, {flare.data(), n}, blend);
  for (int32_t i = 0; i < n; ++i) {
    for (int c = 0; c < 4; ++c) {
      const size_t k = static_cast<size_t>(i) * 4 + c;
      const uint8_t f = c < 3 ? flare[static_cast<size_t>(i) * 4 + c + 1] : 0;
      const float v = CombineSample(plate[k] / 65535.0f, ByteToUnit(f), blend);
      const auto rounded = static_cast<uint16_t>(std::clamp(v * 65535.0f + 0.5f, 0.0f, 65535.0f));
      ASSERT_EQ(out[k], f == 0 ? plate[k] : rounded) << i << " " << c << " " << plate[k];
    }
  }
  EXPECT_EQ(out[static_cast<size_t>(n) * 4], 7);
  if (shift > 0) {
    EXPECT_EQ(out[-1], 7);
  }
}

TEST(Composite, ShortRgbaRowsFollowTheRuleBitForBit) {
  // Every flare byte in red, runs the flare misses, and rows of every length
  // modulo the four and two pixels the vector paths take at a time.
  std::vector<uint8_t> flare;
  std::vector<uint16_t> plate;
  for (int i = 0; i < 1031; ++i) {
    const bool dark = i % 7 < 2;
    flare.insert(flare.end(),
                 {uint8_t(i), uint8_t(dark ? 0 : i % 256),
                  uint8_t(dark || i % 3 == 0 ? 0 : (i * 11) % 256), uint8_t(dark ? 0 : 255)});
    for (int c = 0; c < 4; ++c) plate.push_back(uint16_t((i * 4099 + c * 16411) % 65536));
  }
  for (const Blend blend : {Blend::Screen, Blend::Add}) {
    for (const int32_t n : {1031, 1030, 1029, 1028, 5, 1}) ExpectShortRule(plate, flare, n, blend);
    // Outputs at every pixel offset from a cache line (whole lines are
    // written another way).
    for (size_t shift = 1; shift < 8; ++shift) ExpectShortRule(plate, flare, 1031, blend, shift);
  }
  // Every 16-bit value in red, green and blue, under flares dim and bright.
  flare.clear();
  plate.clear();
  for (int v = 0; v < 65536 + 2; v += 3) {
    flare.insert(flare.end(), {0, uint8_t(v % 7 + 1), uint8_t(v % 256 | 1), 255});
    for (int c = 0; c < 3; ++c) plate.push_back(uint16_t(std::min(v + c, 65535)));
    plate.push_back(65535);
  }
  for (const Blend blend : {Blend::Screen, Blend::Add}) {
    ExpectShortRule(plate, flare, static_cast<int32_t>(flare.size() / 4), blend);
  }
}

TEST(Composite, IntegerPlatesRoundAndClamp) {
  std::vector<uint16_t> plate = {1, 2, 3, 32768, 65535, 9};  // RGB, two pixels
  CombineFlareRow(plate.data(), plate.data(), SampleKind::Short, 3, {kFlare.data(), 2},
                  Blend::Screen);
  EXPECT_EQ(plate[0], 1);
  EXPECT_EQ(plate[2], 3);
  EXPECT_EQ(plate[3], 39321);  // 0.5 + 0.2 x 0.5 of 65535, rounded
  EXPECT_EQ(plate[4], 65535);
  EXPECT_EQ(plate[5], 9);

  std::vector<uint8_t> bytes = {10, 20, 30, 40, 250, 100, 5, 99};
  CombineFlareRow(bytes.data(), bytes.data(), SampleKind::Byte, 4, {kFlare.data(), 2}, Blend::Add);
  EXPECT_EQ(bytes[4], 255);  // 250 + 51, clamped
  EXPECT_EQ(bytes[5], 255);
  EXPECT_EQ(bytes[6], 5);
  EXPECT_EQ(bytes[7], 99);
}

TEST(Composite, FlareOnlyIsPremultipliedWithAlphaFromItsBrightestChannel) {
  std::vector<float> out(8, -1.0f);
  FlareOnlyRow(out.data(), SampleKind::Float, 4, {kFlare.data(), 2});
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[3], 0.0f);
  EXPECT_FLOAT_EQ(out[4], 0.2f);
  EXPECT_EQ(out[5], 1.0f);
  EXPECT_EQ(out[7], 1.0f);
  std::vector<uint16_t> shorts(6);
  FlareOnlyRow(shorts.data(), SampleKind::Short, 3, {kFlare.data(), 2});
  EXPECT_EQ(shorts[3], 13107);  // 51 / 255 of 65535
  EXPECT_EQ(shorts[4], 65535);
  EXPECT_FLOAT_EQ(FlareLuma(255, 255, 255), 1.0f);
}

}  // namespace
}  // namespace gw
