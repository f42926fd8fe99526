// The float combine of a flare drawn over black with plates of every depth.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "render/composite.h"

namespace gw {
namespace {

// Two drawn flare pixels: black, then (51, 255, 0).
const std::vector<uint8_t> kFlare = {0, 0, 0, 0, 0, 51, 255, 0};

TEST(Composite, FloatPlatesKeepValuesAboveOneAndUntouchedPixelsExactly) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> plate = {nan, -2.0f, 7.5f, 0.25f,  // no flare here: kept as it is
                                    0.5f, 3.0f, 0.2f, 0.75f};
  std::vector<float> out(8);
  CombineFlareRow(plate.data(), out.data(), SampleKind::Float, 4, {kFlare.data(), 2}, Blend::Screen);
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
