// Stamps, fills and streaks over frames that are white in places: they pass
// over saturated pixels without working out their values, and the pictures
// must be what screening every value gives. Each primitive
// screens a pixel at most once, so drawing it over black gives its values,
// and over any frame it must give Screen(frame, value) pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "render/convex_fill.h"
#include "render/ellipse_stamps.h"
#include "render/pixels.h"
#include "render/profiles.h"
#include "render/round_stamps.h"
#include "render/streak.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

struct Lcg {
  uint32_t state;
  uint32_t Next() { return state = state * 1664525u + 1013904223u; }
  int32_t Below(int32_t n) {
    return static_cast<int32_t>((Next() >> 16) % static_cast<uint32_t>(n));
  }
  float Uniform(float lo, float hi) {
    return lo + (hi - lo) * static_cast<float>(Next() >> 8) / 16777216.0f;
  }
};

// White rows, rows white at one end or both, white blocks inside rows, and
// pixels white in two channels only (which are not saturated).
void PaintWhitePatches(TestFrame& f, Lcg& rng) {
  for (int y = 0; y < f.height(); ++y) {
    const int kind = rng.Below(6);
    const int left = rng.Below(f.width()), right = rng.Below(f.width());
    for (int x = 0; x < f.width(); ++x) {
      uint8_t* p = f.Pixel(x, y);
      bool white = false;
      switch (kind) {
        case 0: white = true; break;
        case 1: white = x < left; break;
        case 2: white = x >= right; break;
        case 3: white = x < left || x >= right; break;
        case 4: white = (x / 5) % 3 == 0; break;
        default: break;
      }
      if (white) p[1] = p[2] = p[3] = 255;
      if (kind == 5 && x % 7 == 0) p[1] = p[2] = 255;
    }
  }
  // White blocks, with a few pixels in them not quite white.
  for (int block = 0; block < 3; ++block) {
    const int x0 = rng.Below(f.width()), y0 = rng.Below(f.height());
    const int w = 10 + rng.Below(60), h = 10 + rng.Below(40);
    for (int y = y0; y < std::min(y0 + h, f.height()); ++y) {
      for (int x = x0; x < std::min(x0 + w, f.width()); ++x) {
        uint8_t* p = f.Pixel(x, y);
        p[1] = p[2] = p[3] = 255;
        if (rng.Below(97) == 0) p[1 + rng.Below(3)] = 254;
      }
    }
  }
}

// The primitives drawn here, each screening a pixel at most once.
using Primitive = std::function<void(TestFrame&)>;

Primitive RandomPrimitive(Lcg& rng) {
  const float cx = rng.Uniform(-40.0f, 200.0f), cy = rng.Uniform(-40.0f, 130.0f);
  const float radius = rng.Uniform(2.0f, 90.0f);
  switch (rng.Below(7)) {
    case 0: return [=](TestFrame& f) { RoundStamp(cx, cy, radius, f.target(), f.profile()); };
    case 5:
    case 6: {
      // Long streaks, steep and shallow, bright enough to show far along.
      Streak streak{};
      streak.x0 = cx;
      streak.y0 = cy;
      streak.x1 = rng.Uniform(-40.0f, 200.0f);
      streak.y1 = rng.Uniform(-40.0f, 130.0f);
      streak.red = rng.Uniform(0.2f, 3.0f);
      streak.green = rng.Uniform(0.0f, 1.0f);
      streak.blue = rng.Uniform(0.5f, 2.0f);
      streak.thickness = kStreakThickness;
      streak.anchor = rng.Below(2) ? StreakAnchor::Start : StreakAnchor::Middle;
      return [=](TestFrame& f) { DrawStreak(streak, f.target(), nullptr); };
    }
    case 1: return [=](TestFrame& f) { WideRoundStamp(cx, cy, radius, f.target(), f.profile()); };
    case 2: {
      const float aspect = rng.Uniform(0.3f, 1.0f), angle = rng.Uniform(-180.0f, 180.0f);
      const float taper = rng.Uniform(-1.0f, 1.0f);
      return [=](TestFrame& f) {
        TaperedEllipseStamp(f.target(), f.profile(), cx, cy, radius, aspect, angle, taper, 0.2f,
                            false);
      };
    }
    default: {
      const auto corner = [&] {
        return PolyVertex{rng.Uniform(-30.0f, 190.0f), rng.Uniform(-30.0f, 120.0f),
                          PolyColor{static_cast<uint8_t>(rng.Below(256)),
                                    static_cast<uint8_t>(rng.Below(256)),
                                    static_cast<uint8_t>(rng.Below(256)), 255}};
      };
      const ConvexPolygon triangle = Triangle(corner(), corner(), corner());
      if (rng.Below(2) == 0) {
        return [=](TestFrame& f) { FillGouraud(triangle, f.target()); };
      }
      return [=](TestFrame& f) { FillFlat(triangle, f.target()); };
    }
  }
}

TEST(SaturatedPixels, StampsFillsAndStreaksGiveWhatScreeningEveryValueGives) {
  Lcg rng{31};
  int whiteSkipped = 0;
  for (int round = 0; round < 300; ++round) {
    TestFrame black(160, 90, 80.0f, 45.0f, 0.5f);
    if (round % 4 == 1) black.SetClip(10, 80, 20, 150);
    GlowProfile(rng.Uniform(5.0f, 40.0f), {255, static_cast<int16_t>(rng.Below(400)), 90},
                ProfileBlend::Replace, black.target(), black.profile());
    BlurProfile(3, 60.0f, black.target(), black.profile());
    TestFrame patched(black);
    for (int y = 0; y < patched.height(); ++y) {
      for (int x = 0; x < patched.width(); ++x) {
        uint8_t* p = patched.Pixel(x, y);
        p[1] = static_cast<uint8_t>(x * 3 + y);
        p[2] = static_cast<uint8_t>(200 + x % 50);
        p[3] = static_cast<uint8_t>(y * 2);
      }
    }
    PaintWhitePatches(patched, rng);
    const std::vector<uint8_t> before = patched.bytes();

    const Primitive draw = RandomPrimitive(rng);
    draw(black);
    draw(patched);

    const uint8_t* table = black.target().screenTable;
    for (size_t i = 0; i < before.size(); i += 4) {
      ASSERT_EQ(patched.bytes()[i], before[i]) << "alpha, round " << round;
      for (size_t c = 1; c < 4; ++c) {
        const uint8_t value = black.bytes()[i + c];
        ASSERT_EQ(patched.bytes()[i + c], Screen(table, before[i + c], value))
            << "round " << round << ", pixel " << i / 4 << ", channel " << c;
        whiteSkipped += before[i + c] == 255 && value != 0;
      }
    }
  }
  EXPECT_GT(whiteSkipped, 1000);
}

// Gouraud spans are screened four pixels at a time into four-byte pixels and
// one at a time into three-byte ones: the same colours either way.
TEST(SaturatedPixels, GouraudSpansAlikeInFourAndThreeBytePixels) {
  Lcg rng{5};
  for (int round = 0; round < 200; ++round) {
    TestFrame four(97, 61, 0.0f, 0.0f);
    for (int y = 0; y < four.height(); ++y) {
      for (int x = 0; x < four.width(); ++x) {
        uint8_t* p = four.Pixel(x, y);
        p[1] = static_cast<uint8_t>(x * 5 + y);
        p[2] = static_cast<uint8_t>(x ^ y);
        p[3] = static_cast<uint8_t>(round + x);
      }
    }
    if (round % 3 == 0) four.SetClip(3, 50, 7, 90);
    // The same frame as packed red, green, blue.
    std::vector<uint8_t> three(static_cast<size_t>(four.width()) * four.height() * 3);
    for (int y = 0; y < four.height(); ++y) {
      for (int x = 0; x < four.width(); ++x) {
        std::memcpy(&three[(static_cast<size_t>(y) * four.width() + x) * 3], four.Pixel(x, y) + 1, 3);
      }
    }
    RenderTarget packed = four.target();
    packed.bytesPerPixel = 3;
    packed.rowBytes = four.width() * 3;
    packed.pixels = three.data() + (static_cast<size_t>(packed.clip.top) * four.width() +
                                    static_cast<size_t>(packed.clip.left)) * 3;

    const auto corner = [&] {
      return PolyVertex{rng.Uniform(-50.0f, 150.0f), rng.Uniform(-20.0f, 80.0f),
                        PolyColor{static_cast<uint8_t>(rng.Below(256)),
                                  static_cast<uint8_t>(rng.Below(256)),
                                  static_cast<uint8_t>(rng.Below(256)), 255}};
    };
    const ConvexPolygon triangle = Triangle(corner(), corner(), corner());
    EXPECT_EQ(FillGouraud(triangle, four.target()), FillGouraud(triangle, packed));
    for (int y = 0; y < four.height(); ++y) {
      for (int x = 0; x < four.width(); ++x) {
        ASSERT_EQ(std::memcmp(four.Pixel(x, y) + 1,
                              &three[(static_cast<size_t>(y) * four.width() + x) * 3], 3),
                  0)
            << "round " << round << " at " << x << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace gw
