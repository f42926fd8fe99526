// AddRepeatedly against the loop of float additions it stands for, bit for
// bit: streak walks use it to cross the steps before the ones they draw.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "render/numeric.h"

namespace gw {
namespace {

float Loop(float value, float step, int64_t times) {
  for (int64_t i = 0; i < times; ++i) value = value + step;
  return value;
}

// Equal bit for bit (NaNs of any payload count as one).
::testing::AssertionResult SameFloat(float value, float step, int64_t times) {
  const float expected = Loop(value, step, times);
  const float got = AddRepeatedly(value, step, times);
  if (std::bit_cast<uint32_t>(expected) == std::bit_cast<uint32_t>(got) ||
      (std::isnan(expected) && std::isnan(got))) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << std::hexfloat << value << " + " << step << " x " << times << ": loop " << expected
         << ", AddRepeatedly " << got;
}

TEST(AddRepeatedly, EqualsTheLoopForWalksOfEveryKind) {
  std::mt19937 random(20261210);
  std::uniform_real_distribution<float> slope(-1.0f, 1.0f);
  std::uniform_real_distribution<float> place(-5000.0f, 5000.0f);
  std::uniform_int_distribution<int64_t> count(0, 5000);
  for (int i = 0; i < 4000; ++i) {
    // Minor coordinates of real walks: anywhere in and around a frame, slopes
    // up to 1, also tiny ones and steps crossing zero.
    const float step = i % 4 == 0 ? slope(random) * 1e-6f : slope(random);
    ASSERT_TRUE(SameFloat(place(random), step, count(random)));
  }
  // Values that cross zero and many powers of two on the way.
  for (float start : {-3000.0f, -1.0f, -1e-30f, 0.0f, -0.0f, 1e-30f, 0.75f}) {
    for (float step : {0.3f, -0.3f, 1.0f, 0.001f, 1e-38f, 0.1f}) {
      ASSERT_TRUE(SameFloat(start, step, 20000));
    }
  }
}

TEST(AddRepeatedly, EqualsTheLoopWhereAdditionsTie) {
  // A step of an odd number of half units ties at every addition: the result
  // rounds to the even number of units, so the first addition from an odd
  // value moves by one unit more or less than the ones after it.
  const float unit = std::ldexp(1.0f, 10 - 23);  // the unit between 1024 and 2048
  for (float value : {1024.0f, 1024.0f + unit, 1500.0f + 3.0f * unit, -1500.0f - unit}) {
    for (int halves : {1, 3, 5, -1, -3, 7, 1001}) {
      const float step = static_cast<float>(halves) * 0.5f * unit;
      for (int64_t times : {1, 2, 3, 4, 5, 17, 1000, 100000}) {
        ASSERT_TRUE(SameFloat(value, step, times));
      }
    }
  }
  // A step of exactly half a unit sticks at an even value, moves an odd one
  // once.
  ASSERT_TRUE(SameFloat(1025.0f, 0.5f * std::ldexp(1.0f, -13), 1000));
}

TEST(AddRepeatedly, EqualsTheLoopAtTheEdgesOfTheFloats) {
  const float big = std::numeric_limits<float>::max();
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float tiny = std::numeric_limits<float>::denorm_min();
  const struct {
    float value, step;
  } cases[] = {{big, big * 1e-7f},   {-big, -big * 1e-7f}, {big, -big * 1e-7f}, {1.0f, inf},
               {inf, -1.0f},         {inf, -inf},          {nan, 1.0f},         {1.0f, nan},
               {tiny, tiny},         {-tiny, tiny},        {1.0f, tiny},        {1e-38f, -1e-39f},
               {16777216.0f, 1.0f},  {16777215.0f, 1.0f},  {-16777216.0f, 1.0f}, {8.0f, -1.0f},
               {0.0f, 0.0f},         {-0.0f, 0.0f},        {5.0f, -0.0f},       {1e30f, 1e29f}};
  for (const auto& c : cases) {
    for (int64_t times : {0, 1, 3, 4, 9, 1000, 70000}) {
      ASSERT_TRUE(SameFloat(c.value, c.step, times));
    }
  }
}

}  // namespace
}  // namespace gw
