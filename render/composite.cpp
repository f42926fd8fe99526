#include "render/composite.h"

#include <algorithm>
#include <array>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__) && !defined(_WIN32)
#include <immintrin.h>
// Float RGBA rows eight pixels at a time where the processor has AVX2 (not
// on Windows, where the compiler cannot be trusted to align the stack for it).
#define GW_COMBINE_AVX2 1
#endif

#include "render/numeric.h"

namespace gw {
namespace {

// Rec. 709 weights, for a flare laid over a grey plate.
constexpr float kLumaRed = 0.2126f, kLumaGreen = 0.7152f, kLumaBlue = 0.0722f;

// A value in 0..1 as an integer sample, rounded; NaN gives 0 (the bounds
// are taken so that a NaN falls to the lower one).
inline int32_t RoundedSample(float v, float top) {
  return TruncInRange(std::max(0.0f, std::min(v * top + 0.5f, top)));
}

// Reading and writing one sample type as values in 0..1 (floats as they are).
template <class T>
struct Samples;

template <>
struct Samples<uint8_t> {
  static float Read(uint8_t v) { return ByteToUnit(v); }
  static uint8_t Write(float v) { return static_cast<uint8_t>(RoundedSample(v, 255.0f)); }
};

template <>
struct Samples<uint16_t> {
  static float Read(uint16_t v) { return static_cast<float>(v) / 65535.0f; }
  static uint16_t Write(float v) { return static_cast<uint16_t>(RoundedSample(v, 65535.0f)); }
};

template <>
struct Samples<float> {
  static float Read(float v) { return v; }
  static float Write(float v) { return v; }
};

// Without branches per pixel, so that the compiler can work on several at
// once: a colour sample the flare does not reach is copied as it is.
template <class T, int Channels, Blend How>
void Combine(const T* plate, T* out, const FlareRow& row) {
  const uint8_t* f = row.flare;
  for (int32_t i = 0; i < row.n; ++i, f += 4, plate += Channels, out += Channels) {
    for (int32_t c = 0; c < 3; ++c) {
      const float combined = CombineSample(Samples<T>::Read(plate[c]), ByteToUnit(f[c + 1]), How);
      const T written = Samples<T>::Write(combined);
      out[c] = f[c + 1] == 0 ? plate[c] : written;
    }
    if constexpr (Channels == 4) out[3] = plate[3];
  }
}

#if defined(__SSE2__)
// One pixel's four samples as values and its flare (0..1 in red, green and
// blue, 0 in alpha) combined: the same operations in the same order as
// CombineSample, so the same bits.
template <Blend How>
inline __m128 Combined(__m128 p, __m128 flare) {
  if constexpr (How == Blend::Add) {
    return _mm_add_ps(p, flare);
  } else {
    const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
    const __m128 clamped = _mm_min_ps(_mm_max_ps(p, zero), one);
    return _mm_add_ps(p, _mm_mul_ps(flare, _mm_sub_ps(one, clamped)));
  }
}

// A float pixel: samples the flare misses (its alpha lane among them) are
// kept as they are.
template <Blend How>
inline __m128 CombinePixel(__m128 p, __m128 flare) {
  const __m128 untouched = _mm_cmpeq_ps(flare, _mm_setzero_ps());
  return _mm_or_ps(_mm_and_ps(untouched, p), _mm_andnot_ps(untouched, Combined<How>(p, flare)));
}

// Every byte / 255, as ByteToUnit divides, in each of the lanes of red,
// green and blue (the other lanes 0): a pixel's flare is three of them ORed.
struct alignas(16) Lane {
  float v[4];
};
constexpr auto kLanes = [] {
  std::array<std::array<Lane, 256>, 3> lanes{};
  for (int c = 0; c < 3; ++c) {
    for (int v = 0; v < 256; ++v) {
      lanes[static_cast<size_t>(c)][static_cast<size_t>(v)].v[c] = static_cast<float>(v) / 255.0f;
    }
  }
  return lanes;
}();

// A drawn pixel's bytes (unused, red, green, blue) as the flare's values in
// red, green, blue and 0.
inline __m128 FlareOf(const uint8_t* f) {
  return _mm_or_ps(_mm_or_ps(_mm_load_ps(kLanes[0][f[1]].v), _mm_load_ps(kLanes[1][f[2]].v)),
                   _mm_load_ps(kLanes[2][f[3]].v));
}

// Four drawn pixels (unused, red, green, blue bytes each) as their flares:
// each byte / 255 in the lanes of red, green and blue, 0 in alpha. The
// division is the one ByteToUnit does, so the values are the same.
inline void FlaresOf(__m128i drawn, __m128 flares[4]) {
  const __m128i zero = _mm_setzero_si128();
  const __m128 top = _mm_set1_ps(255.0f);
  const __m128i colours = _mm_srli_epi32(drawn, 8);  // red, green, blue, 0
  const __m128i low = _mm_unpacklo_epi8(colours, zero), high = _mm_unpackhi_epi8(colours, zero);
  flares[0] = _mm_div_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(low, zero)), top);
  flares[1] = _mm_div_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(low, zero)), top);
  flares[2] = _mm_div_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(high, zero)), top);
  flares[3] = _mm_div_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(high, zero)), top);
}

// Asks for the RGBA plate's pixels a page ahead of pixel i of `row` (at
// `plate`; `lines` cache lines of them) and, with `flareToo`, for a line of
// the flare as many pixels ahead: the processor's own fetching keeps too
// few lines of a frame in flight. Only within the row: beside it lie a
// tile's neighbours, which this render may not need. Always inlined: the
// compiler finds a function of prefetches alone free of effects and drops
// its calls.
template <class T>
__attribute__((always_inline)) inline void FetchAhead(const T* plate, int lines, bool flareToo,
                                                      const FlareRow& row, int32_t i) {
  constexpr int32_t kAhead = 4096 / (4 * sizeof(T));  // pixels: a page of the plate
  constexpr int32_t kLinePixels = 16;                   // the lines asked for, with room
  if (row.n - i < kAhead + kLinePixels) return;
  const auto* plateAhead = reinterpret_cast<const char*>(plate + 4 * kAhead);
  for (int k = 0; k < lines; ++k) _mm_prefetch(plateAhead + 64 * k, _MM_HINT_T0);
  if (flareToo) {
    _mm_prefetch(reinterpret_cast<const char*>(row.flare + 4 * (i + kAhead)), _MM_HINT_T0);
  }
}

// Where a row's output of `n` pixels of `pixelBytes` may be written past the
// caches: the number of pixels before its first whole cache line, or -1 when
// it is too short to gain or its pixels do not line up with the lines.
inline int32_t StreamedFrom(const void* out, size_t pixelBytes, int32_t n) {
  const auto address = reinterpret_cast<uintptr_t>(out);
  if (address % pixelBytes != 0 || n < 64) return -1;
  return static_cast<int32_t>((64 - address % 64) % 64 / pixelBytes);
}

// Float RGBA four pixels at a time; four pixels the flare misses are copied.
template <Blend How>
void CombineRgbaFloats(const float* plate, float* out, const FlareRow& row) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i colourBytes = _mm_set1_epi32(static_cast<int32_t>(0xffffff00u));
  int32_t i = 0;
  for (; i + 4 <= row.n; i += 4, plate += 16, out += 16) {
    FetchAhead(plate, 1, i % 16 == 0, row, i);
    const __m128i drawn = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row.flare + 4 * i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(drawn, colourBytes), zero)) == 0xffff) {
      for (int k = 0; k < 16; k += 4) _mm_storeu_ps(out + k, _mm_loadu_ps(plate + k));
      continue;
    }
    __m128 flares[4];
    FlaresOf(drawn, flares);
    for (int k = 0; k < 4; ++k) {
      _mm_storeu_ps(out + 4 * k, CombinePixel<How>(_mm_loadu_ps(plate + 4 * k), flares[k]));
    }
  }
  for (; i < row.n; ++i, plate += 4, out += 4) {
    _mm_storeu_ps(out, CombinePixel<How>(_mm_loadu_ps(plate), FlareOf(row.flare + 4 * i)));
  }
}

#if defined(GW_COMBINE_AVX2)
template <bool Stream>
__attribute__((target("avx2"))) inline void Store(float* to, __m256 v) {
  if constexpr (Stream) {
    _mm256_stream_ps(to, v);
  } else {
    _mm256_storeu_ps(to, v);
  }
}

// Two drawn pixels' colour bytes (red, green, blue, 0 each: the low eight
// bytes of `pair`) as their flares, each byte v as v / 255. Without a
// division: v x 257/65536 is exact, and adding v x (1/255 - 257/65536)
// rounds once; v / 255 is never near a halfway point between floats (its
// bits are v's repeated), so the sum has the bits of ByteToUnit's quotient
// for every byte.
__attribute__((target("avx2"))) inline __m256 FlarePair(__m128i pair) {
  const __m256 v = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(pair));
  return _mm256_add_ps(_mm256_mul_ps(v, _mm256_set1_ps(0x1.01p-8f)),
                       _mm256_mul_ps(v, _mm256_set1_ps(0x1.010102p-24f)));
}

// Combined and CombinePixel for two pixels: the same operations in the same
// order lane by lane, so the same bits.
template <Blend How>
__attribute__((target("avx2"))) inline __m256 Combined(__m256 p, __m256 flare) {
  if constexpr (How == Blend::Add) {
    return _mm256_add_ps(p, flare);
  } else {
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 clamped = _mm256_min_ps(_mm256_max_ps(p, _mm256_setzero_ps()), one);
    return _mm256_add_ps(p, _mm256_mul_ps(flare, _mm256_sub_ps(one, clamped)));
  }
}

template <Blend How>
__attribute__((target("avx2"))) inline __m256 CombinePixels(__m256 p, __m256 flare) {
  const __m256 untouched = _mm256_cmp_ps(flare, _mm256_setzero_ps(), _CMP_EQ_OQ);
  return _mm256_blendv_ps(Combined<How>(p, flare), p, untouched);
}

// Eight pixels at a time, the rest of the row four pixels at a time.
// Streamed, the eight pixels' two cache lines are written together, past
// the caches.
template <Blend How, bool Stream>
__attribute__((target("avx2"))) void CombineRgbaFloatsAvx2Run(const float* plate, float* out,
                                                          const FlareRow& row) {
  const __m256i colourBytes = _mm256_set1_epi32(static_cast<int32_t>(0xffffff00u));
  int32_t i = 0;
  for (; i + 8 <= row.n; i += 8, plate += 32, out += 32) {
    const uint8_t* f = row.flare + 4 * i;
    FetchAhead(plate, 2, i % 16 == 0, row, i);
    const __m256i drawn = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(f));
    if (_mm256_testz_si256(drawn, colourBytes)) {
      __m256 copied[4];
      for (int k = 0; k < 4; ++k) copied[k] = _mm256_loadu_ps(plate + 8 * k);
      for (int k = 0; k < 4; ++k) Store<Stream>(out + 8 * k, copied[k]);
      continue;
    }
    // Each pixel's red, green, blue and a 0 for alpha, two pixels a vector.
    const __m256i colours = _mm256_srli_epi32(drawn, 8);
    const __m128i low = _mm256_castsi256_si128(colours);
    const __m128i high = _mm256_extracti128_si256(colours, 1);
    const __m128i pairs[4] = {low, _mm_unpackhi_epi64(low, low), high,
                              _mm_unpackhi_epi64(high, high)};
    __m256 results[4];
    for (int k = 0; k < 4; ++k) {
      results[k] = CombinePixels<How>(_mm256_loadu_ps(plate + 8 * k), FlarePair(pairs[k]));
    }
    for (int k = 0; k < 4; ++k) Store<Stream>(out + 8 * k, results[k]);
  }
  // The rest is done with SSE instructions, which must not find the upper
  // halves of the registers in use (they would wait on them).
  _mm256_zeroupper();
  if constexpr (Stream) _mm_sfence();
  CombineRgbaFloats<How>(plate, out, FlareRow{row.flare + 4 * i, row.n - i});
}

// A row's output is written past the caches from its first whole cache line
// on: the frame is far larger than the caches, and so the lines need not be
// read before they are written. `Head` combines the pixels before that line,
// `Streamed` the rest; `Ordinary` a row too short or too oddly placed.
template <class T>
using RowCombine = void (*)(const T*, T*, const FlareRow&);

template <class T, RowCombine<T> Head, RowCombine<T> Ordinary, RowCombine<T> Streamed>
__attribute__((target("avx2"))) void CombineStreamed(const T* plate, T* out, const FlareRow& row) {
  const int32_t head = StreamedFrom(out, 4 * sizeof(T), row.n);
  if (head < 0) return Ordinary(plate, out, row);
  Head(plate, out, FlareRow{row.flare, head});
  Streamed(plate + 4 * head, out + 4 * head, FlareRow{row.flare + 4 * head, row.n - head});
}

template <Blend How>
constexpr RowCombine<float> kCombineRgbaFloatsAvx2 =
    CombineStreamed<float, CombineRgbaFloats<How>, CombineRgbaFloatsAvx2Run<How, false>,
                    CombineRgbaFloatsAvx2Run<How, true>>;
#endif

// 16-bit RGBA two pixels at a time, as Samples<uint16_t> reads and writes
// them: v / 65535 in, then max(0, min(v x 65535 + 0.5, 65535)) truncated
// out (the operands in the order that gives NaN the same answer), packed
// back to 16 bits through the signed range. Samples the flare misses are
// copied.
template <Blend How>
void CombineRgbaShorts(const uint16_t* plate, uint16_t* out, const FlareRow& row) {
  const __m128i zero = _mm_setzero_si128();
  const __m128 top = _mm_set1_ps(65535.0f), half = _mm_set1_ps(0.5f);
  const __m128i bias32 = _mm_set1_epi32(32768);
  const __m128i bias16 = _mm_set1_epi16(static_cast<int16_t>(0x8000));
  const auto written = [&](__m128i samples, const uint8_t* f, __m128i& untouched) {
    const __m128 flare = FlareOf(f);
    untouched = _mm_castps_si128(_mm_cmpeq_ps(flare, _mm_setzero_ps()));
    const __m128 v = _mm_div_ps(_mm_cvtepi32_ps(samples), top);
    const __m128 scaled = _mm_add_ps(_mm_mul_ps(Combined<How>(v, flare), top), half);
    const __m128 bounded = _mm_max_ps(_mm_min_ps(top, scaled), _mm_setzero_ps());
    return _mm_sub_epi32(_mm_cvttps_epi32(bounded), bias32);
  };
  int32_t i = 0;
  for (; i + 2 <= row.n; i += 2, plate += 8, out += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(plate));
    __m128i keepLow, keepHigh;
    const __m128i low = written(_mm_unpacklo_epi16(p, zero), row.flare + 4 * i, keepLow);
    const __m128i high = written(_mm_unpackhi_epi16(p, zero), row.flare + 4 * i + 4, keepHigh);
    const __m128i packed = _mm_xor_si128(_mm_packs_epi32(low, high), bias16);
    const __m128i keep = _mm_packs_epi32(keepLow, keepHigh);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_or_si128(_mm_and_si128(keep, p), _mm_andnot_si128(keep, packed)));
  }
  if (i < row.n) Combine<uint16_t, 4, How>(plate, out, FlareRow{row.flare + 4 * i, row.n - i});
}

#if defined(GW_COMBINE_AVX2)
// Two pixels' 16-bit samples (as 32-bit integers) combined with their flare
// and written back as CombineRgbaShorts writes them, as 32-bit integers.
template <Blend How>
__attribute__((target("avx2"))) inline __m256i CombineShortPair(__m256i samples, __m256 flare) {
  const __m256 top = _mm256_set1_ps(65535.0f);
  const __m256 v = _mm256_div_ps(_mm256_cvtepi32_ps(samples), top);
  const __m256 scaled =
      _mm256_add_ps(_mm256_mul_ps(Combined<How>(v, flare), top), _mm256_set1_ps(0.5f));
  const __m256 bounded = _mm256_max_ps(_mm256_min_ps(top, scaled), _mm256_setzero_ps());
  return _mm256_cvttps_epi32(bounded);
}

// 16-bit RGBA four pixels at a time, as CombineRgbaShorts does it; samples
// the flare misses are copied. Streamed, each two steps write a cache line
// past the caches.
template <Blend How, bool Stream>
__attribute__((target("avx2"))) void CombineRgbaShortsAvx2Run(const uint16_t* plate,
                                                              uint16_t* out, const FlareRow& row) {
  int32_t i = 0;
  for (; i + 4 <= row.n; i += 4, plate += 16, out += 16) {
    FetchAhead(plate, i % 8 == 0 ? 1 : 0, i % 16 == 0, row, i);
    const __m128i drawn = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row.flare + 4 * i));
    const __m128i colours = _mm_srli_epi32(drawn, 8);  // red, green, blue, 0
    const __m256 flareLow = FlarePair(colours), flareHigh = FlarePair(_mm_srli_si128(colours, 8));
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plate));
    const __m256i low = CombineShortPair<How>(
        _mm256_cvtepu16_epi32(_mm256_castsi256_si128(p)), flareLow);
    const __m256i high = CombineShortPair<How>(
        _mm256_cvtepu16_epi32(_mm256_extracti128_si256(p, 1)), flareHigh);
    // Packing works within each half of the registers: the four quarters
    // come out as low pixels 0-1, high 0-1, low 2-3, high 2-3, and are put
    // back in order (quarters 0, 2, 1, 3).
    const __m256i written = _mm256_permute4x64_epi64(_mm256_packus_epi32(low, high), 0xd8);
    const __m256i untouched = _mm256_permute4x64_epi64(
        _mm256_packs_epi32(
            _mm256_castps_si256(_mm256_cmp_ps(flareLow, _mm256_setzero_ps(), _CMP_EQ_OQ)),
            _mm256_castps_si256(_mm256_cmp_ps(flareHigh, _mm256_setzero_ps(), _CMP_EQ_OQ))),
        0xd8);
    const __m256i kept = _mm256_blendv_epi8(written, p, untouched);
    if constexpr (Stream) {
      _mm256_stream_si256(reinterpret_cast<__m256i*>(out), kept);
    } else {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), kept);
    }
  }
  _mm256_zeroupper();  // before the SSE instructions of the rest
  if constexpr (Stream) _mm_sfence();
  CombineRgbaShorts<How>(plate, out, FlareRow{row.flare + 4 * i, row.n - i});
}

template <Blend How>
constexpr RowCombine<uint16_t> kCombineRgbaShortsAvx2 =
    CombineStreamed<uint16_t, CombineRgbaShorts<How>, CombineRgbaShortsAvx2Run<How, false>,
                    CombineRgbaShortsAvx2Run<How, true>>;
#endif
#endif

template <class T>
void Combine(const T* plate, T* out, int32_t channels, const FlareRow& row, Blend blend) {
#if defined(__SSE2__)
  if constexpr (std::is_same_v<T, float>) {
    if (channels == 4) {
#if defined(GW_COMBINE_AVX2)
      if (__builtin_cpu_supports("avx2")) {
        return blend == Blend::Add ? kCombineRgbaFloatsAvx2<Blend::Add>(plate, out, row)
                                   : kCombineRgbaFloatsAvx2<Blend::Screen>(plate, out, row);
      }
#endif
      return blend == Blend::Add ? CombineRgbaFloats<Blend::Add>(plate, out, row)
                                 : CombineRgbaFloats<Blend::Screen>(plate, out, row);
    }
  }
  if constexpr (std::is_same_v<T, uint16_t>) {
    if (channels == 4) {
#if defined(GW_COMBINE_AVX2)
      if (__builtin_cpu_supports("avx2")) {
        return blend == Blend::Add ? kCombineRgbaShortsAvx2<Blend::Add>(plate, out, row)
                                   : kCombineRgbaShortsAvx2<Blend::Screen>(plate, out, row);
      }
#endif
      return blend == Blend::Add ? CombineRgbaShorts<Blend::Add>(plate, out, row)
                                 : CombineRgbaShorts<Blend::Screen>(plate, out, row);
    }
  }
#endif
  if (channels == 4) {
    blend == Blend::Add ? Combine<T, 4, Blend::Add>(plate, out, row)
                        : Combine<T, 4, Blend::Screen>(plate, out, row);
  } else {
    blend == Blend::Add ? Combine<T, 3, Blend::Add>(plate, out, row)
                        : Combine<T, 3, Blend::Screen>(plate, out, row);
  }
}

template <class T>
void FlareOnly(T* out, int32_t channels, const FlareRow& row) {
  const uint8_t* f = row.flare;
  for (int32_t i = 0; i < row.n; ++i, f += 4, out += channels) {
    for (int32_t c = 0; c < 3; ++c) out[c] = Samples<T>::Write(ByteToUnit(f[c + 1]));
    if (channels == 4) out[3] = Samples<T>::Write(ByteToUnit(FlareAlpha(f[1], f[2], f[3])));
  }
}

}  // namespace

float Luma(float red, float green, float blue) {
  return kLumaRed * red + kLumaGreen * green + kLumaBlue * blue;
}

float FlareLuma(uint8_t red, uint8_t green, uint8_t blue) {
  return Luma(ByteToUnit(red), ByteToUnit(green), ByteToUnit(blue));
}

void CombineFlareRow(const void* plate, void* out, SampleKind kind, int32_t channels,
                     const FlareRow& row, Blend blend) {
  switch (kind) {
    case SampleKind::Byte:
      return Combine(static_cast<const uint8_t*>(plate), static_cast<uint8_t*>(out), channels, row,
                     blend);
    case SampleKind::Short:
      return Combine(static_cast<const uint16_t*>(plate), static_cast<uint16_t*>(out), channels,
                     row, blend);
    case SampleKind::Float:
      return Combine(static_cast<const float*>(plate), static_cast<float*>(out), channels, row,
                     blend);
  }
}

void FlareOnlyRow(void* out, SampleKind kind, int32_t channels, const FlareRow& row) {
  switch (kind) {
    case SampleKind::Byte:
      return FlareOnly(static_cast<uint8_t*>(out), channels, row);
    case SampleKind::Short:
      return FlareOnly(static_cast<uint16_t*>(out), channels, row);
    case SampleKind::Float:
      return FlareOnly(static_cast<float*>(out), channels, row);
  }
}

}  // namespace gw
