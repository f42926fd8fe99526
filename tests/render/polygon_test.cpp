// The convex fills and the polygon stamp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "render/convex_fill.h"
#include "render/polygon_stamp.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr PolyColor kWhite{255, 255, 255, 255};
constexpr PolyColor kNone{0, 0, 0, 0};



// Extent of the lit pixels: columns and rows from the first to the last.
struct Extent {
  int width = 0, height = 0;
};

Extent LitExtent(const TestFrame& f) {
  int x0 = f.width(), x1 = -1, y0 = f.height(), y1 = -1;
  for (int y = 0; y < f.height(); ++y) {
    for (int x = 0; x < f.width(); ++x) {
      if (!Lit(f, x, y)) continue;
      x0 = std::min(x0, x);
      x1 = std::max(x1, x);
      y0 = std::min(y0, y);
      y1 = std::max(y1, y);
    }
  }
  return x1 < 0 ? Extent{} : Extent{x1 - x0 + 1, y1 - y0 + 1};
}

ConvexPolygon Ring(std::initializer_list<PolyVertex> vertices) {
  ConvexPolygon p;
  p.count = 0;
  for (const PolyVertex& v : vertices) AddVertex(p, v.x, v.y, v.colour);
  CloseRing(p);
  PreparePolygon(p);
  return p;
}

// Fills every colour and alpha byte with a pattern, so that a write shows.
void FillPattern(TestFrame& f) {
  for (int y = 0; y < f.height(); ++y) {
    for (int x = 0; x < f.width(); ++x) {
      uint8_t* p = f.Pixel(x, y);
      for (int c = 0; c < 4; ++c) p[c] = static_cast<uint8_t>((x * 7 + y * 13 + c * 61) % 251);
    }
  }
}

// Checks what drawing into a pattern may and may not do: nothing outside the
// clip rectangle changes, no colour byte darkens, no alpha byte changes.
void ExpectOnlyBrightenedInside(const std::vector<uint8_t>& before, const TestFrame& f,
                                int top, int bottom, int left, int right) {
  int faults = 0;
  for (int y = 0; y < f.height(); ++y) {
    for (int x = 0; x < f.width(); ++x) {
      const size_t i = (size_t(y) * f.width() + x) * 4;
      const uint8_t* now = &f.bytes()[i];
      const uint8_t* was = &before[i];
      const bool inside = x >= left && x < right && y >= top && y < bottom;
      if (now[0] != was[0]) ++faults;  // alpha
      for (int c = 1; c < 4; ++c) {
        if (!inside && now[c] != was[c]) ++faults;
        if (now[c] < was[c]) ++faults;
      }
    }
  }
  EXPECT_EQ(faults, 0);
}

// ------------------------------------------------------------- convex fills

TEST(FillFlat, SpansAreHalfOpenInBothDirections) {
  TestFrame f(40, 40, 20.0f, 20.0f);
  // Rows 10 < y <= 20, columns trunc(xl + 1) .. trunc(xr).
  FillFlat(Ring({{2.0f, 10.0f, {90, 60, 30, 0}},
                 {5.0f, 10.0f, kNone},
                 {5.0f, 20.0f, kNone},
                 {2.0f, 20.0f, kNone}}),
           f.target());
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inside = y >= 11 && y <= 20 && x >= 3 && x <= 5;
      ASSERT_EQ(Lit(f, x, y), inside) << x << "," << y;
    }
  }
  EXPECT_EQ(f.Pixel(4, 15)[1], 90);
  EXPECT_EQ(f.Pixel(4, 15)[2], 60);
  EXPECT_EQ(f.Pixel(4, 15)[3], 30);
}

TEST(FillFlat, HalfPixelSquareCoversTenByTen) {
  TestFrame f(40, 40, 20.0f, 20.0f);
  FillFlat(Ring({{10.5f, 10.5f, kWhite},
                 {20.5f, 10.5f, kWhite},
                 {20.5f, 20.5f, kWhite},
                 {10.5f, 20.5f, kWhite}}),
           f.target());
  EXPECT_EQ(LitCount(f), 100);
  EXPECT_TRUE(Lit(f, 11, 11));
  EXPECT_TRUE(Lit(f, 20, 20));
  EXPECT_FALSE(Lit(f, 10, 15));
  EXPECT_FALSE(Lit(f, 15, 21));
}

// Two bars joined by horizontal edges: a row crosses four edges and only the
// first two, in edge order, bound its span.
ConvexPolygon TwoBars(bool rightBarFirst) {
  ConvexPolygon p;
  p.count = 0;
  const PolyVertex v[8] = {{1, 0, kWhite}, {1, 10, kWhite}, {3, 10, kWhite}, {3, 0, kWhite},
                           {6, 0, kWhite}, {6, 10, kWhite}, {8, 10, kWhite}, {8, 0, kWhite}};
  for (const PolyVertex& x : v) AddVertex(p, x.x, x.y, x.colour);
  const int16_t left[2][2] = {{0, 1}, {2, 3}};   // A-B and C-D: the bar 1..3
  const int16_t right[2][2] = {{4, 5}, {6, 7}};  // E-F and G-H: the bar 6..8
  const int16_t flat[4][2] = {{1, 2}, {3, 4}, {5, 6}, {7, 0}};
  int e = 0;
  for (const auto& edge : rightBarFirst ? right : left) {
    p.edgeFrom[e] = edge[0];
    p.edgeTo[e++] = edge[1];
  }
  for (const auto& edge : rightBarFirst ? left : right) {
    p.edgeFrom[e] = edge[0];
    p.edgeTo[e++] = edge[1];
  }
  for (const auto& edge : flat) {
    p.edgeFrom[e] = edge[0];
    p.edgeTo[e++] = edge[1];
  }
  PreparePolygon(p);
  return p;
}

TEST(FillFlat, OnlyTheFirstTwoCrossedEdgesCount) {
  TestFrame a(12, 12, 6.0f, 6.0f);
  FillFlat(TwoBars(false), a.target());
  EXPECT_TRUE(Lit(a, 2, 5));
  EXPECT_TRUE(Lit(a, 3, 5));
  EXPECT_FALSE(Lit(a, 5, 5));
  EXPECT_FALSE(Lit(a, 7, 5));

  TestFrame b(12, 12, 6.0f, 6.0f);
  FillFlat(TwoBars(true), b.target());
  EXPECT_FALSE(Lit(b, 2, 5));
  EXPECT_TRUE(Lit(b, 7, 5));
  EXPECT_TRUE(Lit(b, 8, 5));
}

TEST(PreparePolygon, BoundingBoxTruncatesAndEdgesPointDown) {
  ConvexPolygon p = Ring({{-2.5f, 7.9f, kWhite}, {4.7f, -3.2f, kWhite}, {9.9f, 12.6f, kWhite}});
  EXPECT_EQ(p.minX, -2);
  EXPECT_EQ(p.maxX, 9);
  EXPECT_EQ(p.minY, -3);
  EXPECT_EQ(p.maxY, 12);
  for (int e = 0; e < p.count; ++e) {
    EXPECT_LE(p.vertices[p.edgeFrom[e]].y, p.vertices[p.edgeTo[e]].y);
  }
}

// A rectangle whose colour runs from 255 at x = 0 to 0 at x = 100: the span
// starts at 255 * 256 + (0 + 1 - 0) * delta with delta = trunc(-65280 / 100) =
// -652, and the high byte of the 8.8 value is written.
ConvexPolygon RedRamp() {
  const PolyColor red{255, 0, 0, 255};
  return Ring({{0.0f, 0.0f, red}, {100.0f, 0.0f, kNone}, {100.0f, 10.0f, kNone},
               {0.0f, 10.0f, red}});
}

TEST(FillGouraud, SpansStepInEightEightFixedPoint) {
  TestFrame f(110, 12, 55.0f, 6.0f);
  FillGouraud(RedRamp(), f.target());
  EXPECT_EQ(Red(f, 0, 5), 0);  // the left end is exclusive
  EXPECT_EQ(Red(f, 1, 5), 252);
  EXPECT_EQ(Red(f, 50, 5), (64628 - 652 * 49) >> 8);
  // The truncated delta drifts: the exact ramp would give 96 here.
  EXPECT_EQ(Red(f, 62, 5), 97);
  EXPECT_EQ(Red(f, 100, 5), 0);
  EXPECT_EQ(Red(f, 50, 0), 0);   // row 0 is above the half-open range
  EXPECT_EQ(Red(f, 50, 10), 127);
  EXPECT_EQ(Red(f, 50, 11), 0);
}

TEST(FillGouraud, AClippedSpanKeepsItsValues) {
  TestFrame whole(110, 12, 55.0f, 6.0f);
  FillGouraud(RedRamp(), whole.target());
  TestFrame part(110, 12, 55.0f, 6.0f);
  part.SetClip(0, 12, 37, 80);
  FillGouraud(RedRamp(), part.target());
  for (int x = 37; x < 80; ++x) EXPECT_EQ(Red(part, x, 5), Red(whole, x, 5)) << x;
  EXPECT_EQ(Red(part, 36, 5), 0);
  EXPECT_EQ(Red(part, 80, 5), 0);
}

TEST(FillGouraud, EdgeColoursAreTruncatedInterpolations) {
  // Down the left edge the colour runs from 0 at y = 0 to 200 at y = 8; the
  // crossing at row y carries trunc(200 * y / 8), constant along the row.
  TestFrame f(20, 12, 10.0f, 6.0f);
  const PolyColor top{0, 0, 0, 0}, bottom{200, 200, 200, 0};
  FillGouraud(Ring({{0.0f, 0.0f, top}, {16.0f, 0.0f, top}, {16.0f, 8.0f, bottom},
                    {0.0f, 8.0f, bottom}}),
              f.target());
  EXPECT_EQ(Red(f, 8, 3), 75);
  EXPECT_EQ(Red(f, 8, 5), 125);
  EXPECT_EQ(Red(f, 8, 8), 200);
}

TEST(ConvexPolygon, NeverHoldsMoreThanSeventyTwoVertices) {
  ConvexPolygon p;
  p.count = 0;
  for (int i = 0; i < 100; ++i) AddVertex(p, float(i), float(i), kWhite);
  EXPECT_EQ(p.count, kMaxPolygonVertices);
}

TEST(ConvexPolygon, DamagedRecordsDrawNothingOutOfBounds) {
  TestFrame f(30, 30, 15.0f, 15.0f);
  FillPattern(f);
  const std::vector<uint8_t> before = f.bytes();
  f.SetClip(5, 25, 5, 25);
  ConvexPolygon p = Ring({{0, 0, kWhite}, {29, 0, kWhite}, {29, 29, kWhite}, {0, 29, kWhite}});
  ConvexPolygon tooMany = p;
  tooMany.count = 500;
  FillFlat(tooMany, f.target());
  FillGouraud(tooMany, f.target());
  ConvexPolygon negative = p;
  negative.count = -3;
  FillFlat(negative, f.target());
  FillGouraud(negative, f.target());
  EXPECT_EQ(f.bytes(), before);

  ConvexPolygon wildEdges = p;
  wildEdges.edgeFrom[1] = 71;
  wildEdges.edgeTo[3] = -9;
  FillFlat(wildEdges, f.target());
  FillGouraud(wildEdges, f.target());
  ExpectOnlyBrightenedInside(before, f, 5, 25, 5, 25);
}

TEST(ConvexPolygon, NonFiniteAndHugeVerticesStayInsideTheClip) {
  const float values[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 3e9f, -3e9f, 15.0f};
  TestFrame f(30, 30, 15.0f, 15.0f);
  FillPattern(f);
  const std::vector<uint8_t> before = f.bytes();
  f.SetClip(4, 26, 6, 24);
  for (float a : values) {
    for (float b : values) {
      const PolyColor c{9, 9, 9, 9};
      FillFlat(Ring({{a, 2.0f, c}, {28.0f, b, c}, {b, a, c}}), f.target());
      FillGouraud(Ring({{a, b, c}, {28.0f, 2.0f, kNone}, {3.0f, a, c}}), f.target());
    }
  }
  ExpectOnlyBrightenedInside(before, f, 4, 26, 6, 24);
}

// ------------------------------------------------------------ polygon stamp

TEST(PolygonStamp, HexagonOfRadiusHundredAtRoundnessTwenty) {
  StampPlan plan;
  ASSERT_TRUE(PlanPolygonStamp(20.0f, 6, 100.0f, plan));
  EXPECT_EQ(plan.radius, 100.0f);
  EXPECT_EQ(plan.cornerRadius, 20.0f);
  EXPECT_EQ(plan.segments, 10);
  EXPECT_EQ(plan.vertexCount, 67);
}

TEST(PolygonStamp, RoundnessZeroStillRoundsWithTwoPixels) {
  StampPlan plan;
  ASSERT_TRUE(PlanPolygonStamp(0.0f, 6, 100.0f, plan));
  EXPECT_EQ(plan.cornerRadius, 2.0f);
  EXPECT_EQ(plan.segments, 1);  // trunc(2 / 2)
  EXPECT_EQ(plan.vertexCount, 13);
}

TEST(PolygonStamp, RadiusBelowThreeIsDrawnAsThree) {
  StampPlan plan;
  ASSERT_TRUE(PlanPolygonStamp(30.0f, 5, 1.0f, plan));
  EXPECT_EQ(plan.radius, 3.0f);

  TestFrame three(40, 40, 20.0f, 20.0f), one(40, 40, 20.0f, 20.0f), negative(40, 40, 20.0f, 20.0f);
  PolygonStamp(30.0f, 5, 3.0f, 10.0f, 20.0f, 20.0f, kWhite, three.target(), 0);
  PolygonStamp(30.0f, 5, 1.0f, 10.0f, 20.0f, 20.0f, kWhite, one.target(), 0);
  PolygonStamp(30.0f, 5, -7.0f, 10.0f, 20.0f, 20.0f, kWhite, negative.target(), 0);
  EXPECT_GT(LitCount(three), 0);
  EXPECT_EQ(one.bytes(), three.bytes());
  EXPECT_EQ(negative.bytes(), three.bytes());
}

TEST(PolygonStamp, EveryValidSideCountFitsSeventyTwoVertices) {
  for (int sides = 1; sides <= 35; ++sides) {
    for (float roundness : {0.0f, 5.0f, 20.0f, 50.0f, 100.0f, 1000.0f}) {
      for (float radius : {0.0f, 3.0f, 40.0f, 500.0f, 1e6f}) {
        StampPlan plan;
        ASSERT_TRUE(PlanPolygonStamp(roundness, sides, radius, plan));
        EXPECT_GE(plan.segments, 1) << sides << " " << roundness << " " << radius;
        EXPECT_LE(plan.segments, 12);
        EXPECT_LE(plan.vertexCount, kMaxPolygonVertices);
        EXPECT_EQ(plan.vertexCount, (plan.segments + 1) * sides + 1);
      }
    }
  }
}

TEST(PolygonStamp, SidesOutsideOneToThirtyFiveDrawNothing) {
  StampPlan plan;
  for (int sides : {-32768, -1, 0, 36, 72, 32767}) {
    EXPECT_FALSE(PlanPolygonStamp(20.0f, sides, 50.0f, plan)) << sides;
    TestFrame f(100, 100, 50.0f, 50.0f);
    PolygonStamp(20.0f, sides, 30.0f, 0.0f, 50.0f, 50.0f, kWhite, f.target(), 0);
    EXPECT_EQ(LitCount(f), 0) << sides;
  }
  for (int sides : {1, 2, 35}) {
    TestFrame f(100, 100, 50.0f, 50.0f);
    PolygonStamp(20.0f, sides, 30.0f, 0.0f, 50.0f, 50.0f, kWhite, f.target(), 0);
    EXPECT_GT(LitCount(f), 0) << sides;
  }
}

TEST(PolygonStamp, NominalRadiusLiesInTheMiddleOfTheSoftEdge) {
  // A square at angle 0 has a corner straight up from its centre; with cr 20
  // the flat part reaches 90 pixels out there and the ramp ends at 110.
  TestFrame f(300, 300, 150.0f, 150.0f);
  PolygonStamp(20.0f, 4, 100.0f, 0.0f, 150.0f, 150.0f, {200, 200, 200, 255}, f.target(), 0);
  EXPECT_EQ(Red(f, 150, 150), 200);
  EXPECT_EQ(Red(f, 150, 150 - 88), 200);
  EXPECT_NEAR(Red(f, 150, 150 - 100), 100, 12);
  EXPECT_EQ(Red(f, 150, 150 - 112), 0);
  EXPECT_LT(Red(f, 150, 150 - 108), Red(f, 150, 150 - 95));
}

TEST(PolygonStamp, AnamorphicIsTwiceAsWideAsHigh) {
  TestFrame plain(400, 200, 200.0f, 100.0f), wide(400, 200, 200.0f, 100.0f);
  PolygonStamp(20.0f, 8, 60.0f, 0.0f, 200.0f, 100.0f, kWhite, plain.target(), 0);
  PolygonStamp(20.0f, 8, 60.0f, 0.0f, 200.0f, 100.0f, kWhite, wide.target(), 1);
  const Extent p = LitExtent(plain), w = LitExtent(wide);
  EXPECT_NEAR(p.width, p.height, 2);
  EXPECT_EQ(w.height, p.height);
  EXPECT_NEAR(w.width, 2 * w.height, 3);
}

TEST(PolygonStamp, WhollyOutsideTheFrameDrawsNothing) {
  TestFrame f(200, 100, 100.0f, 50.0f);
  FillPattern(f);
  const std::vector<uint8_t> before = f.bytes();
  for (const PointF c : {PointF{-101.0f, 50.0f}, PointF{301.0f, 50.0f}, PointF{100.0f, -101.0f},
                         PointF{100.0f, 201.0f}, PointF{1e30f, 1e30f}, PointF{-3e9f, 50.0f}}) {
    EXPECT_EQ(PolygonStamp(20.0f, 6, 100.0f, 0.0f, c.x, c.y, kWhite, f.target(), 0), 0);
  }
  EXPECT_EQ(f.bytes(), before);
  // Anamorphic, the reach across doubles: this one shows at the left edge.
  PolygonStamp(20.0f, 6, 100.0f, 0.0f, -101.0f, 50.0f, kWhite, f.target(), 1);
  EXPECT_NE(f.bytes(), before);
}

TEST(PolygonStamp, NonFiniteNumbersDrawNothing) {
  TestFrame f(100, 100, 50.0f, 50.0f);
  const struct {
    float roundness, radius, angle, cx, cy;
  } cases[] = {
      {kNaN, 30, 0, 50, 50},  {20, kNaN, 0, 50, 50},  {20, kInf, 0, 50, 50},
      {20, 30, kNaN, 50, 50}, {20, 30, kInf, 50, 50}, {20, 30, 0, kNaN, 50},
      {20, 30, 0, 50, kNaN},  {kInf, 30, 0, 50, 50},  {3e38f, 3e38f, 0, 50, 50},
  };
  for (const auto& c : cases) {
    PolygonStamp(c.roundness, 6, c.radius, c.angle, c.cx, c.cy, kWhite, f.target(), 0);
  }
  EXPECT_EQ(LitCount(f), 0);
}

TEST(PolygonStamp, AHugeRadiusCoversTheFrameFlat) {
  TestFrame f(120, 80, 60.0f, 40.0f);
  PolygonStamp(20.0f, 6, 1e6f, 15.0f, 60.0f, 40.0f, {70, 80, 90, 255}, f.target(), 0);
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 120; ++x) ASSERT_EQ(Red(f, x, y), 70) << x << "," << y;
  }
}

TEST(PolygonStamp, WritesOnlyInsideTheClipAndOnlyBrightens) {
  TestFrame f(160, 120, 80.0f, 60.0f);
  FillPattern(f);
  const std::vector<uint8_t> before = f.bytes();
  f.SetClip(20, 90, 30, 120);
  int stamps = 0;
  for (int sides : {1, 3, 5, 16, 35}) {
    for (float radius : {2.0f, 25.0f, 70.0f, 400.0f, 1e9f}) {
      for (float cx : {-60.0f, 0.0f, 75.5f, 159.9f, 250.0f}) {
        for (uint8_t anamorphic : {0, 1}) {
          const PolyColor c{uint8_t(sides * 7), uint8_t(stamps), 40, 0};
          PolygonStamp(35.0f, sides, radius, 33.0f * sides, cx, cx * 0.6f, c, f.target(),
                       anamorphic);
          ++stamps;
        }
      }
    }
  }
  EXPECT_EQ(stamps, 250);
  ExpectOnlyBrightenedInside(before, f, 20, 90, 30, 120);
  EXPECT_NE(f.bytes(), before);
}

TEST(PolygonStamp, ThreeBytePixelsKeepToTheClip) {
  // A packed RGB tile: 3 bytes a pixel, the clip a band of rows.
  const int W = 64, H = 48;
  std::vector<uint8_t> rgb(size_t(W) * H * 3, 17);
  TestFrame host(W, H, 32.0f, 24.0f);
  RenderTarget t = host.target();
  t.bytesPerPixel = 3;
  t.rowBytes = W * 3;
  t.clip.top = 10;
  t.clip.bottom = 30;
  t.clip.left = 0;
  t.clip.right = W;
  t.pixels = rgb.data() + size_t(10) * W * 3;
  PolygonStamp(20.0f, 6, 40.0f, 0.0f, 32.0f, 24.0f, kWhite, t, 1);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W * 3; ++x) {
      const uint8_t v = rgb[size_t(y) * W * 3 + x];
      if (y < 10 || y >= 30) ASSERT_EQ(v, 17) << x << "," << y;
      else ASSERT_GE(v, 17);
    }
  }
  EXPECT_EQ(rgb[size_t(24) * W * 3 + 32 * 3], 255);
}

}  // namespace
}  // namespace gw
