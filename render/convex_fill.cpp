#include "render/convex_fill.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/numeric.h"
#include "render/pixels.h"

namespace gw {
namespace {

// Where a scan line meets one edge, with the colour there (Gouraud only).
struct Crossing {
  float x;
  int32_t colour[3];
};

int32_t UsableCount(const ConvexPolygon& p) {
  return (p.count >= 0 && p.count <= kMaxPolygonVertices) ? p.count : 0;
}

bool IsVertexIndex(int32_t index, int32_t count) { return index >= 0 && index < count; }

// The scan line at row y meets the first two edges, in edge order, whose first
// vertex lies above it and whose second lies on or below it. With fewer than
// two such edges (or a crossing at no number) the line is empty. The ends come
// back ordered: left holds the smaller x.
bool CrossScanLine(const ConvexPolygon& p, int32_t y, bool withColour, Crossing& left,
                   Crossing& right) {
  const int32_t count = UsableCount(p);
  const float fy = static_cast<float>(y);
  Crossing found[2];
  int found_count = 0;
  for (int32_t e = 0; e < count && found_count < 2; ++e) {
    const int32_t from = p.edgeFrom[e];
    const int32_t to = p.edgeTo[e];
    if (!IsVertexIndex(from, count) || !IsVertexIndex(to, count)) continue;
    const PolyVertex& a = p.vertices[from];
    const PolyVertex& b = p.vertices[to];
    if (!(a.y < fy && fy <= b.y)) continue;
    const float t = (fy - a.y) / (b.y - a.y);
    Crossing& c = found[found_count++];
    c.x = a.x + (b.x - a.x) * t;
    if (withColour) {
      const uint8_t from_c[3] = {a.colour.r, a.colour.g, a.colour.b};
      const uint8_t to_c[3] = {b.colour.r, b.colour.g, b.colour.b};
      for (int ch = 0; ch < 3; ++ch) {
        c.colour[ch] = TruncToInt(static_cast<float>(from_c[ch]) +
                                  static_cast<float>(to_c[ch] - from_c[ch]) * t);
      }
    }
  }
  if (found_count < 2) return false;
  if (std::isnan(found[0].x) || std::isnan(found[1].x)) return false;
  if (found[1].x < found[0].x) std::swap(found[0], found[1]);
  left = found[0];
  right = found[1];
  return true;
}

// The rows a prepared polygon may cover that lie inside the clip rectangle.
struct RowRange {
  int32_t first, last;  // inclusive; empty when first > last
};

// Empty when the bounding box lies wholly left or right of the clip columns,
// with a column to spare for the rounding of the crossings.
RowRange ClippedRows(const ConvexPolygon& p, const RenderTarget& t) {
  if (p.maxX + 1 < t.clip.left || p.minX - 1 >= t.clip.right) return {0, -1};
  return {std::max<int32_t>(p.minY, t.clip.top), std::min<int32_t>(p.maxY, t.clip.bottom - 1)};
}

int64_t ScanWork(const ConvexPolygon& p, const RowRange& rows) {
  return rows.first > rows.last ? 0 : int64_t{rows.last - rows.first + 1} * UsableCount(p);
}

// floor as the Gouraud fill takes it: trunc(v) from 0 up, trunc(v - 1) below
// 0 (so a negative whole number steps one further left).
int64_t SpanFloor(float v) { return v >= 0.0f ? TruncToInt(v) : TruncToInt(v - 1.0f); }

// Pixels of a span worked out before they are screened together.
constexpr int32_t kSpanBatch = 256;

// A float as a 16-bit fixed-point register: truncated, then its low 16 bits.
uint16_t LowSixteenBits(float v) { return static_cast<uint16_t>(TruncToInt(v)); }

#if defined(__SSE2__)
// Screens a Gouraud span into n four-byte pixels from the one whose red
// byte is at `colour`: each channel's 8.8 value starts at `value` and steps
// by `delta` a pixel, wrapping at 16 bits, its high byte the intensity.
// Four pixels at a time, their values side by side in 16-bit lanes laid out
// as the pixels' bytes are (alpha, red, green, blue, the alpha lane 0).
void ScreenGouraudRow(const uint8_t* table, uint8_t* colour, int32_t n, const uint16_t value[3],
                      const int16_t delta[3]) {
  uint8_t* pixel = colour - 1;
  const auto lanes = [&](int32_t i) {
    return _mm_setr_epi16(0, static_cast<int16_t>(value[0] + delta[0] * i),
                          static_cast<int16_t>(value[1] + delta[1] * i),
                          static_cast<int16_t>(value[2] + delta[2] * i), 0,
                          static_cast<int16_t>(value[0] + delta[0] * (i + 1)),
                          static_cast<int16_t>(value[1] + delta[1] * (i + 1)),
                          static_cast<int16_t>(value[2] + delta[2] * (i + 1)));
  };
  __m128i low = lanes(0), high = lanes(2);
  const __m128i step = _mm_setr_epi16(0, static_cast<int16_t>(delta[0] * 4),
                                      static_cast<int16_t>(delta[1] * 4),
                                      static_cast<int16_t>(delta[2] * 4), 0,
                                      static_cast<int16_t>(delta[0] * 4),
                                      static_cast<int16_t>(delta[1] * 4),
                                      static_cast<int16_t>(delta[2] * 4));
  const __m128i zero = _mm_setzero_si128();
  int32_t i = 0;
  for (; i + 4 <= n; i += 4, pixel += 16) {
    const __m128i v = _mm_packus_epi16(_mm_srli_epi16(low, 8), _mm_srli_epi16(high, 8));
    low = _mm_add_epi16(low, step);
    high = _mm_add_epi16(high, step);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(v, zero)) == 0xffff) continue;  // nothing to add
    const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixel));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixel), ScreenBytes(old, v));
  }
  // The last pixels one by one, from the values the lanes have reached.
  alignas(16) uint16_t reached[8];
  _mm_store_si128(reinterpret_cast<__m128i*>(reached), low);
  uint16_t v[3] = {reached[1], reached[2], reached[3]};
  for (; i < n; ++i, pixel += 4) {
    ScreenPacked(table, pixel + 1,
                 uint32_t{static_cast<uint8_t>(v[0] >> 8)} |
                     uint32_t{static_cast<uint8_t>(v[1] >> 8)} << 8 |
                     uint32_t{static_cast<uint8_t>(v[2] >> 8)} << 16);
    for (int ch = 0; ch < 3; ++ch) v[ch] = static_cast<uint16_t>(v[ch] + delta[ch]);
  }
}
#endif

}  // namespace

void AddVertex(ConvexPolygon& polygon, float x, float y, PolyColor colour) {
  if (polygon.count < 0 || polygon.count >= kMaxPolygonVertices) return;
  polygon.vertices[polygon.count++] = {x, y, colour};
}

void CloseRing(ConvexPolygon& polygon) {
  const int32_t count = UsableCount(polygon);
  for (int32_t i = 0; i < count; ++i) {
    polygon.edgeFrom[i] = static_cast<int16_t>(i);
    polygon.edgeTo[i] = static_cast<int16_t>(i + 1 < count ? i + 1 : 0);
  }
}

ConvexPolygon Triangle(const PolyVertex& a, const PolyVertex& b, const PolyVertex& c) {
  ConvexPolygon p;
  p.count = 3;
  p.vertices[0] = a;
  p.vertices[1] = b;
  p.vertices[2] = c;
  CloseRing(p);
  PreparePolygon(p);
  return p;
}

void PreparePolygon(ConvexPolygon& polygon) {
  const int32_t count = UsableCount(polygon);
  if (count == 0) {
    polygon.minX = polygon.minY = 0;
    polygon.maxX = polygon.maxY = -1;
    return;
  }
  float min_x = polygon.vertices[0].x, max_x = min_x;
  float min_y = polygon.vertices[0].y, max_y = min_y;
  for (int32_t i = 1; i < count; ++i) {
    const PolyVertex& v = polygon.vertices[i];
    min_x = std::min(min_x, v.x);
    max_x = std::max(max_x, v.x);
    min_y = std::min(min_y, v.y);
    max_y = std::max(max_y, v.y);
  }
  polygon.minX = SaturateToI16(TruncToInt(min_x));
  polygon.maxX = SaturateToI16(TruncToInt(max_x));
  polygon.minY = SaturateToI16(TruncToInt(min_y));
  polygon.maxY = SaturateToI16(TruncToInt(max_y));
  for (int32_t e = 0; e < count; ++e) {
    const int32_t from = polygon.edgeFrom[e];
    const int32_t to = polygon.edgeTo[e];
    if (!IsVertexIndex(from, count) || !IsVertexIndex(to, count)) continue;
    if (polygon.vertices[to].y < polygon.vertices[from].y) {
      std::swap(polygon.edgeFrom[e], polygon.edgeTo[e]);
    }
  }
}

int64_t FillFlat(const ConvexPolygon& polygon, const RenderTarget& target) {
  if (UsableCount(polygon) == 0) return 0;
  const PolyColor colour = polygon.vertices[0].colour;
  if (IsBlack(colour)) return 0;  // screening with 0 changes nothing
  const uint8_t* screen = target.screenTable;
  std::array<uint32_t, kSpanBatch> packed;
  packed.fill(uint32_t{colour.r} | uint32_t{colour.g} << 8 | uint32_t{colour.b} << 16);
  const RowRange rows = ClippedRows(polygon, target);
  int64_t work = ScanWork(polygon, rows);
  for (int32_t y = rows.first; y <= rows.last; ++y) {
    Crossing left, right;
    if (!CrossScanLine(polygon, y, false, left, right)) continue;
    int32_t first = std::max<int32_t>(TruncToInt(left.x + 1.0f), target.clip.left);
    int32_t last = std::min<int32_t>(TruncToInt(right.x), target.clip.right - 1);
    if (first > last) continue;
    work += last - first + 1;
    // Saturated pixels at either end take nothing.
    const PixelSpan open = UnsaturatedSpan(ColourBytes(target, first, y), target.bytesPerPixel,
                                           {0, last - first + 1});
    last = first + open.end - 1;
    first += open.first;
    for (int32_t x = first; x <= last; x += kSpanBatch) {
      const int32_t n = std::min(kSpanBatch, last - x + 1);
      ScreenRow(screen, ColourBytes(target, x, y), target.bytesPerPixel, packed.data(), n);
    }
  }
  return work;
}

int64_t FillGouraud(const ConvexPolygon& polygon, const RenderTarget& target) {
  const int32_t count = UsableCount(polygon);
  bool all_black = true;
  for (int32_t i = 0; i < count; ++i) all_black = all_black && IsBlack(polygon.vertices[i].colour);
  if (all_black) return 0;  // every interpolated colour is 0: nothing changes
  const uint8_t* screen = target.screenTable;
  const RowRange rows = ClippedRows(polygon, target);
  int64_t work = ScanWork(polygon, rows);
  for (int32_t y = rows.first; y <= rows.last; ++y) {
    Crossing left, right;
    if (!CrossScanLine(polygon, y, true, left, right)) continue;
    const int64_t xs = SpanFloor(left.x);
    const int64_t xe = SpanFloor(right.x);
    int64_t first = std::max<int64_t>(xs + 1, target.clip.left);
    int64_t last = std::min<int64_t>(xe, target.clip.right - 1);
    if (first > last) continue;
    work += last - first + 1;
    // Saturated pixels at either end take nothing.
    uint8_t* const firstPixel = ColourBytes(target, static_cast<int32_t>(first), y);
    const PixelSpan open = UnsaturatedSpan(firstPixel, target.bytesPerPixel,
                                           {0, static_cast<int32_t>(last - first + 1)});
    if (open.first >= open.end) continue;
    uint8_t* const colour = firstPixel + static_cast<ptrdiff_t>(open.first) * target.bytesPerPixel;
    last = first + open.end - 1;
    first += open.first;
    float span = right.x - left.x;
    if (span == 0.0f) span = 1.0f;
    const float lead = static_cast<float>(xs + 1) - left.x;
    // 8.8 fixed point per channel, 16 bits wide: the value wraps as the
    // register it stands for does, and its high byte is the intensity.
    uint16_t value[3];
    int16_t delta[3];
    for (int ch = 0; ch < 3; ++ch) {
      delta[ch] = static_cast<int16_t>(LowSixteenBits(
          static_cast<float>((right.colour[ch] - left.colour[ch]) * 256) / span));
      const uint16_t start = LowSixteenBits(static_cast<float>(left.colour[ch] * 256) +
                                            lead * static_cast<float>(delta[ch]));
      // Columns left of the clip rectangle advance the value without a write.
      const uint32_t skipped = static_cast<uint32_t>(first - (xs + 1));
      value[ch] = static_cast<uint16_t>(start + static_cast<uint32_t>(delta[ch]) * skipped);
    }
#if defined(__SSE2__)
    if (target.bytesPerPixel == 4) {
      ScreenGouraudRow(screen, colour, static_cast<int32_t>(last - first + 1), value, delta);
      continue;
    }
#endif
    // A batch of the span's colours at a time, screened together.
    std::array<uint32_t, kSpanBatch> packed;
    for (auto x = static_cast<int32_t>(first); x <= last; x += kSpanBatch) {
      const int32_t n = static_cast<int32_t>(std::min<int64_t>(kSpanBatch, last - x + 1));
      for (int32_t i = 0; i < n; ++i) {
        packed[static_cast<size_t>(i)] = uint32_t{static_cast<uint8_t>(value[0] >> 8)} |
                                         uint32_t{static_cast<uint8_t>(value[1] >> 8)} << 8 |
                                         uint32_t{static_cast<uint8_t>(value[2] >> 8)} << 16;
        for (int ch = 0; ch < 3; ++ch) value[ch] = static_cast<uint16_t>(value[ch] + delta[ch]);
      }
      ScreenRow(screen, ColourBytes(target, x, y), target.bytesPerPixel, packed.data(), n);
    }
  }
  return work;
}

int64_t ElementWorkBudget(const RenderTarget& target) {
  const int64_t rows = std::max(0, target.clip.bottom - target.clip.top);
  const int64_t columns = std::max(0, target.clip.right - target.clip.left);
  return 256 * rows * (columns + kMaxPolygonVertices);
}

bool NothingToDraw(const RenderTarget& target) {
  return target.width <= 0 || target.height <= 0 || target.clip.left >= target.clip.right ||
         target.clip.top >= target.clip.bottom;
}

uint8_t ColourByte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v > 255.0f) return 255;
  return static_cast<uint8_t>(TruncToInt(v));
}

}  // namespace gw
