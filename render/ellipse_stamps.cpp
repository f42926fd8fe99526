#include "render/ellipse_stamps.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "render/numeric.h"
#include "render/pixels.h"

namespace gw {
namespace {

// Degrees to the stamps' rotation in radians; the stamps turn the other way
// round and convert with the short factor.
float StampRotation(float rotationDeg) { return rotationDeg / -kShortDegreesPerRadian; }

// The pixel box of a rotated stamp round a centre: pixels (ix + j, iy + i)
// for rows i in [rowFirst, rowEnd) and columns j in [colFirst, colEnd), the
// ranges -h..h-1 (columns -2h..2h-1 when anamorphic) cut to the clip
// rectangle.
struct RotatedBox {
  int32_t h;       // half-size in pixels
  int32_t ix, iy;  // the pixel holding the centre
  float fx, fy;    // minus the centre's fraction inside that pixel
  int32_t rowFirst, rowEnd, colFirst, colEnd;
};

// False when nothing is to be drawn: a centre or rotation that is not a
// finite number, a NaN radius, a half-size that no longer fits 16 bits, or a
// box wholly outside the clip rectangle.
bool MakeRotatedBox(const RenderTarget& t, float cx, float cy, float radius, float rotationDeg,
                    bool anamorphic, RotatedBox& box) {
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rotationDeg)) return false;
  if (std::isnan(radius)) return false;
  if (radius < 4.0f) radius = 4.0f;
  const float halfSize = 1.5f * radius;
  if (!(halfSize < 32768.0f)) return false;
  box.h = TruncToInt(halfSize);
  box.ix = TruncToInt(cx);
  box.iy = TruncToInt(cy);
  box.fx = -(cx - static_cast<float>(box.ix));
  box.fy = -(cy - static_cast<float>(box.iy));
  // Wide arithmetic: a centre far outside the frame must not wrap.
  const int64_t h = box.h;
  const int64_t colHalf = anamorphic ? 2 * h : h;
  const int64_t rowFirst = std::max<int64_t>(-h, int64_t{t.clip.top} - box.iy);
  const int64_t rowEnd = std::min<int64_t>(h, int64_t{t.clip.bottom} - box.iy);
  const int64_t colFirst = std::max<int64_t>(-colHalf, int64_t{t.clip.left} - box.ix);
  const int64_t colEnd = std::min<int64_t>(colHalf, int64_t{t.clip.right} - box.ix);
  if (rowFirst >= rowEnd || colFirst >= colEnd) return false;
  box.rowFirst = static_cast<int32_t>(rowFirst);
  box.rowEnd = static_cast<int32_t>(rowEnd);
  box.colFirst = static_cast<int32_t>(colFirst);
  box.colEnd = static_cast<int32_t>(colEnd);
  return true;
}

// A table indexed from -half up to half - 1.
template <typename T>
class CentredTable {
 public:
  explicit CentredTable(int32_t half) : values_(2 * static_cast<size_t>(half)), half_(half) {}
  T& operator[](int32_t k) { return values_[static_cast<size_t>(k + half_)]; }
  const T& operator[](int32_t k) const { return values_[static_cast<size_t>(k + half_)]; }
  const T* At(int32_t k) const { return values_.data() + (k + half_); }

 private:
  std::vector<T> values_;
  int32_t half_;
};

// The rotated coordinates of an ellipse stamp in profile samples: for column
// j, A[j] and B[j] (the column's share of v and u); for row i, C[i] (its share
// of u). The row's share of v is worked out per row.
struct EllipseCoordinates {
  explicit EllipseCoordinates(int32_t h) : A(2 * h), B(2 * h), C(2 * h) {}
  CentredTable<float> A, B, C;
  float cs = 0.0f;
};

void FillEllipseCoordinates(const RotatedBox& box, float rotationDeg, bool anamorphic,
                            EllipseCoordinates& xy) {
  const float alpha = StampRotation(rotationDeg);
  const float sn = SinF(alpha);
  const float cs = CosF(alpha);
  // A horizontal pixel is 2 samples when anamorphic, else 4.
  const float m = anamorphic ? 2.0f : 4.0f;
  for (int32_t k = -2 * box.h; k < 2 * box.h; ++k) {
    const float column = static_cast<float>(k) + box.fx;
    xy.A[k] = column * m * sn;
    xy.B[k] = column * m * cs;
    xy.C[k] = (static_cast<float>(k) + box.fy) * 4.0f * sn;
  }
  xy.cs = cs;
}

// The columns j in [first, end) where |g(j)| < reach, for g that never
// falls or never rises as j grows: one run, found by bisection.
template <typename G>
void WithinReach(int32_t first, int32_t end, int32_t reach, G g, int32_t& runFirst,
                 int32_t& runEnd) {
  // The first j in [lo, hi) where `past` holds; it holds from there on.
  const auto firstWhere = [](int32_t lo, int32_t hi, auto past) {
    while (lo < hi) {
      const int32_t mid = lo + (hi - lo) / 2;
      if (past(mid)) {
        hi = mid;
      } else {
        lo = mid + 1;
      }
    }
    return lo;
  };
  if (first >= end) {
    runFirst = runEnd = first;
    return;
  }
  if (g(first) <= g(end - 1)) {
    runFirst = firstWhere(first, end, [&](int32_t j) { return g(j) > -reach; });
    runEnd = firstWhere(runFirst, end, [&](int32_t j) { return g(j) >= reach; });
  } else {
    runFirst = firstWhere(first, end, [&](int32_t j) { return g(j) < reach; });
    runEnd = firstWhere(runFirst, end, [&](int32_t j) { return g(j) <= -reach; });
  }
}

// The taper table's entry for a place v along the ellipse: trunc(v), held
// to -2h, and 2h - 2 from 2h on.
int32_t TaperIndex(float v, int32_t h2) {
  int32_t q = TruncToInt(v);
  if (q < -h2) q = -h2;
  if (q >= h2) q = h2 - 2;
  return q;
}

#if defined(__SSE2__)
// The values of four columns j..j+3 of a row, as the loop below works out
// one column: with u, v and v / aspect in float lanes, the distance by
// FastHypotLanes (every offset of these columns is below the reach, and the
// reach at most 2^16), the packed profile read at it, then the taper. The
// taper's index is held in float first, where it cannot overflow.
void EllipseValuesOfFour(const EllipseCoordinates& xy, int32_t j, float rowU, float rowV,
                         float aspect, const uint32_t* packed, const CentredTable<int16_t>* taper,
                         int32_t h2, uint32_t* out) {
  const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
  const __m128 u = _mm_sub_ps(_mm_loadu_ps(xy.B.At(j)), _mm_set1_ps(rowU));
  const __m128 v = _mm_add_ps(_mm_set1_ps(rowV), _mm_loadu_ps(xy.A.At(j)));
  const __m128 w = _mm_div_ps(v, _mm_set1_ps(aspect));
  const __m128i d = FastHypotLanes(_mm_and_ps(_mm_cvtepi32_ps(_mm_cvttps_epi32(u)), magnitude),
                                   _mm_and_ps(_mm_cvtepi32_ps(_mm_cvttps_epi32(w)), magnitude));
  alignas(16) int32_t at[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(at), d);
  __m128i values = _mm_setr_epi32(static_cast<int32_t>(packed[at[0]]),
                                  static_cast<int32_t>(packed[at[1]]),
                                  static_cast<int32_t>(packed[at[2]]),
                                  static_cast<int32_t>(packed[at[3]]));
  if (taper != nullptr) {
    const float limit = static_cast<float>(h2);
    const __m128i q = _mm_cvttps_epi32(
        _mm_min_ps(_mm_max_ps(v, _mm_set1_ps(-limit)), _mm_set1_ps(limit)));
    alignas(16) int32_t place[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(place), q);
    const auto dim = [&](int i) { return (*taper)[place[i] >= h2 ? h2 - 2 : place[i]]; };
    const __m128i dims = _mm_setr_epi32(dim(0), dim(1), dim(2), dim(3));
    const __m128i byte = _mm_set1_epi32(0xff);
    // Each channel times its dim (both below 256), then >> 8.
    const auto dimmed = [&](int shift) {
      const __m128i channel = _mm_and_si128(_mm_srli_epi32(values, shift), byte);
      return _mm_slli_epi32(_mm_srli_epi32(_mm_mullo_epi16(channel, dims), 8), shift);
    };
    values = _mm_or_si128(dimmed(0), _mm_or_si128(dimmed(8), dimmed(16)));
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), values);
}
#endif

// Screens the flattened, rotated profile into the box. With a taper table,
// each pixel's values are first dimmed by the entry at its place along v.
void StampEllipse(const RenderTarget& t, StampedProfile& profile, const RotatedBox& box,
                  const EllipseCoordinates& xy, float aspect, const CentredTable<int16_t>* taper) {
  const int32_t h2 = 2 * box.h;
  // One row's values at a time, screened together.
  std::vector<uint32_t> values(static_cast<size_t>(box.colEnd - box.colFirst));
  // Four columns at a time where every distance is short.
  const uint32_t* packed = nullptr;
#if defined(__SSE2__)
  if (profile.reach > 0 && profile.reach <= static_cast<int32_t>(kShortHypotLimit)) {
    packed = profile.Packed().data();
  }
#endif
  for (int32_t i = box.rowFirst; i < box.rowEnd; ++i) {
    const float rowV = (static_cast<float>(i) + box.fy) * 4.0f * xy.cs;
    const float rowU = xy.C[i];
    // Along a row u and v change steadily, and a distance is never below
    // either of them: only where both lie within the reach can a pixel show.
    int32_t uFirst, uEnd, vFirst, vEnd;
    WithinReach(box.colFirst, box.colEnd, profile.reach,
                [&](int32_t j) { return TruncToInt(xy.B[j] - rowU); }, uFirst, uEnd);
    WithinReach(uFirst, uEnd, profile.reach,
                [&](int32_t j) { return TruncToInt((rowV + xy.A[j]) / aspect); }, vFirst, vEnd);
    if (vFirst >= vEnd) continue;
    // Saturated pixels at either end take nothing.
    const PixelSpan span = UnsaturatedSpan(ColourBytes(t, box.ix + vFirst, box.iy + i),
                                           t.bytesPerPixel, {0, vEnd - vFirst});
    vEnd = vFirst + span.end;
    vFirst += span.first;
    if (vFirst >= vEnd) continue;
    uint32_t* value = values.data();
    int32_t j = vFirst;
#if defined(__SSE2__)
    if (packed != nullptr) {
      for (; j + 4 <= vEnd; j += 4, value += 4) {
        EllipseValuesOfFour(xy, j, rowU, rowV, aspect, packed, taper, h2, value);
      }
    }
#endif
    for (; j < vEnd; ++j) {
      const float u = xy.B[j] - rowU;
      const float v = rowV + xy.A[j];
      const int32_t d = FastHypot(TruncToInt(u), TruncToInt(v / aspect));
      uint32_t r = 0, g = 0, b = 0;  // beyond the profile: intensity 0
      if (d < profile.reach) {
        r = profile.red[d];
        g = profile.green[d];
        b = profile.blue[d];
      }
      if (taper != nullptr && (r | g | b) != 0) {
        const auto dim = static_cast<uint32_t>((*taper)[TaperIndex(v, h2)]);
        r = (dim * r) >> 8;
        g = (dim * g) >> 8;
        b = (dim * b) >> 8;
      }
      *value++ = r | g << 8 | b << 16;
    }
    ScreenRow(t.screenTable, ColourBytes(t, box.ix + vFirst, box.iy + i), t.bytesPerPixel,
              values.data(), vEnd - vFirst);
  }
}

// The taper table over -2h..2h-1: 255 at the bright end, falling linearly by
// taper x 255 across the 4h entries (from the far end when the taper is
// negative), held between 0 and 255.
void FillTaper(int32_t h, float taper, float taperStart, CentredTable<int16_t>& dims) {
  const bool flipped = taper < 0.0f;
  if (flipped) taper = -taper;
  const float start = taperStart == 1.0f ? 0.0f : taperStart;
  const float span = static_cast<float>(4 * h);
  for (int32_t k = -2 * h; k < 2 * h; ++k) {
    float along = static_cast<float>(k + 2 * h) / span;
    if (flipped) along = 1.0f - along;
    const int32_t dim =
        TruncToInt(255.0f - (1.0f / (1.0f - start)) * (along - start) * taper * 255.0f);
    dims[k] = static_cast<int16_t>(ClampToByte(dim));
  }
}

// The caustic's shape along its length, tabulated at n = -495..499 (u = n /
// 250): P sways, Q bends, S pinches and T stripes.
struct CausticShape {
  CausticShape() : P(500), Q(500), S(500), T(500) {}
  CentredTable<float> P, Q, S;
  CentredTable<int16_t> T;
};

void FillCausticShape(float bend, float sway, float stripeDepth, float pinch,
                      CausticShape& shape) {
  for (int32_t n = -495; n < 500; ++n) {
    const float u = static_cast<float>(n) / 250.0f;
    const float beta = (u + 1.0f) / 2.0f * 3.141592f;
    const float sinBeta = SinF(beta);
    const float sin2Beta = SinF(2.0f * beta);
    const float widening = u * u + 1.2f;
    shape.P[n] = sinBeta * sway;
    shape.Q[n] = CosF(beta) * (sinBeta * sinBeta) * -bend;
    shape.S[n] = widening * widening * pinch + (1.0f - pinch);
    // A weight for the profile's 0..255: held there even for stripe depths
    // above 1, which would otherwise go negative.
    const int32_t weight =
        TruncToInt(255.0f * (sin2Beta * sin2Beta) * stripeDepth + (1.0f - stripeDepth) * 255.0f);
    shape.T[n] = static_cast<int16_t>(ClampToByte(weight));
  }
}

// The rotated coordinates of the caustic in units of its size: for column j,
// A[j] and B[j]; for row i, C[i] and D[i].
struct CausticCoordinates {
  explicit CausticCoordinates(int32_t h) : A(2 * h), B(2 * h), C(2 * h), D(2 * h) {}
  CentredTable<float> A, B, C, D;
};

void FillCausticCoordinates(const RotatedBox& box, float size, float rotationDeg,
                            bool anamorphic, CausticCoordinates& xy) {
  const float alpha = StampRotation(rotationDeg);
  const float sn = SinF(alpha);
  const float cs = CosF(alpha);
  for (int32_t k = -2 * box.h; k < 2 * box.h; ++k) {
    const float X = (static_cast<float>(k) + box.fx) / size;
    const float Y = (static_cast<float>(k) + box.fy) / size;
    xy.A[k] = X * sn;
    xy.B[k] = X * cs;
    if (anamorphic) {
      xy.A[k] *= 0.5f;
      xy.B[k] *= 0.5f;
    }
    xy.C[k] = Y * sn;
    xy.D[k] = Y * cs;
  }
}

int32_t ShapeIndex(float w) { return std::clamp(TruncToInt(250.0f * w), -495, 499); }

}  // namespace

void TaperedEllipseStamp(const RenderTarget& t, ProfileStore& store, float cx, float cy,
                         float radius, float aspect, float rotationDeg, float taper,
                         float taperStart, bool anamorphic) {
  RotatedBox box{};
  if (std::isnan(aspect) || !MakeRotatedBox(t, cx, cy, radius, rotationDeg, anamorphic, box)) {
    return;  // off the clip rectangle: the profile stays unbuilt
  }
  StampedProfile profile = store.ForStamp();
  try {
    EllipseCoordinates xy(box.h);
    CentredTable<int16_t> dims(2 * box.h);
    FillEllipseCoordinates(box, rotationDeg, anamorphic, xy);
    FillTaper(box.h, taper, taperStart, dims);
    StampEllipse(t, profile, box, xy, aspect, &dims);
  } catch (const std::bad_alloc&) {
    // No work buffers: the element is skipped.
  }
}

void EllipseStamp(const RenderTarget& t, ProfileStore& store, float cx, float cy, float radius,
                  float aspect, float rotationDeg, bool anamorphic) {
  RotatedBox box{};
  if (std::isnan(aspect) || !MakeRotatedBox(t, cx, cy, radius, rotationDeg, anamorphic, box)) {
    return;  // off the clip rectangle: the profile stays unbuilt
  }
  StampedProfile profile = store.ForStamp();
  try {
    EllipseCoordinates xy(box.h);
    FillEllipseCoordinates(box, rotationDeg, anamorphic, xy);
    StampEllipse(t, profile, box, xy, aspect, nullptr);
  } catch (const std::bad_alloc&) {
    // No work buffer: this stamp is skipped.
  }
}

void CausticStamp(const RenderTarget& t, ProfileStore& store, float cx, float cy, float size,
                  float bend, float sway, float rotationDeg, float stripeDepth, float pinch,
                  bool anamorphic) {
  if (std::isnan(size)) return;
  if (size < 4.0f) size = 4.0f;
  RotatedBox box{};
  if (!MakeRotatedBox(t, cx, cy, size, rotationDeg, anamorphic, box)) return;
  StampedProfile profile = store.ForStamp();
  try {
    CausticShape shape;
    CausticCoordinates xy(box.h);
    FillCausticShape(bend, sway, stripeDepth, pinch, shape);
    FillCausticCoordinates(box, size, rotationDeg, anamorphic, xy);

    const uint8_t* table = t.screenTable;
    for (int32_t i = box.rowFirst; i < box.rowEnd; ++i) {
      uint8_t* c = ColourBytes(t, box.ix + box.colFirst, box.iy + i);
      for (int32_t j = box.colFirst; j < box.colEnd; ++j, c += t.bytesPerPixel) {
        const float p = xy.B[j] + xy.C[i];
        const float q = xy.D[i] - xy.A[j];
        const int32_t m1 = ShapeIndex(q);
        const int32_t m2 = ShapeIndex(p);
        const float bent = (q - shape.P[m1]) * shape.S[m2];
        const int32_t d = std::min(
            FastHypot(TruncToInt(255.0f * (p + shape.Q[m2])), TruncToInt(255.0f * bent)), 512);
        if (d >= profile.reach) continue;  // beyond the profile: intensity 0
        const int32_t weight = shape.T[m2];
        c[0] = Screen(table, c[0], static_cast<uint8_t>((profile.red[d] * weight) >> 8));
        c[1] = Screen(table, c[1], static_cast<uint8_t>((profile.green[d] * weight) >> 8));
        c[2] = Screen(table, c[2], static_cast<uint8_t>((profile.blue[d] * weight) >> 8));
      }
    }
  } catch (const std::bad_alloc&) {
    // No work buffers: this half of the element is skipped.
  }
}

}  // namespace gw
