#include "render/pixels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gw {

void BuildScreenTable(uint8_t* table) {
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      table[a * 256 + b] = static_cast<uint8_t>(255 - ((255 - a) * (255 - b)) / 255);
    }
  }
}

namespace {

#if defined(__SSE2__)
// Screens 16 bytes by 16 bytes: 255 - (255 - a)(255 - b) / 255 for each
// pair, the division exact as (x + 1 + ((x + 1) >> 8)) >> 8 for x up to
// 255 x 255. Where b is 0 the byte keeps its value.
inline __m128i ScreenBytes(__m128i a, __m128i b) {
  const __m128i ones = _mm_set1_epi8(-1);
  const __m128i zero = _mm_setzero_si128();
  const __m128i notA = _mm_xor_si128(a, ones);
  const __m128i notB = _mm_xor_si128(b, ones);
  const auto quotient = [](__m128i x) {
    const __m128i y = _mm_add_epi16(x, _mm_set1_epi16(1));
    return _mm_srli_epi16(_mm_add_epi16(y, _mm_srli_epi16(y, 8)), 8);
  };
  const __m128i lo = quotient(
      _mm_mullo_epi16(_mm_unpacklo_epi8(notA, zero), _mm_unpacklo_epi8(notB, zero)));
  const __m128i hi = quotient(
      _mm_mullo_epi16(_mm_unpackhi_epi8(notA, zero), _mm_unpackhi_epi8(notB, zero)));
  return _mm_xor_si128(_mm_packus_epi16(lo, hi), ones);
}
#endif

}  // namespace

void ScreenRow(const uint8_t* table, uint8_t* colour, int32_t bytesPerPixel,
               const uint32_t* values, int32_t n) {
  int32_t i = 0;
#if defined(__SSE2__)
  if (bytesPerPixel == 4) {
    // Whole pixels from their alpha byte, which a value's zero top byte
    // leaves as it is.
    uint8_t* pixel = colour - 1;
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= n; i += 4, pixel += 16) {
      const __m128i v =
          _mm_slli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values + i)), 8);
      // Four values of 0 change nothing: the pixels are not even read.
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(v, zero)) == 0xffff) continue;
      const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixel));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(pixel), ScreenBytes(old, v));
    }
  }
#endif
  for (uint8_t* c = colour + static_cast<ptrdiff_t>(i) * bytesPerPixel; i < n;
       ++i, c += bytesPerPixel) {
    ScreenPacked(table, c, values[i]);
  }
}

}  // namespace gw
