#include "render/pixels.h"

namespace gw {

PixelSpan UnsaturatedSpan(const uint8_t* colour, int32_t bytesPerPixel, PixelSpan span) {
  const auto at = [&](int32_t i) { return colour + static_cast<ptrdiff_t>(i) * bytesPerPixel; };
  // Most spans start and end on a pixel that is not white: one look each.
  const auto whiteAtFirst = [&] { return span.first < span.end && Saturated(at(span.first)); };
  const auto whiteAtEnd = [&] { return span.first < span.end && Saturated(at(span.end - 1)); };
#if defined(__SSE2__)
  if (bytesPerPixel == 4) {
    // Whole pixels from their alpha bytes, which count as 255: sixteen at a
    // time while they last, then four.
    const __m128i alpha = _mm_set1_epi32(0xff);
    const auto load = [&](int32_t i) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at(i) - 1));
    };
    const auto saturated = [&](__m128i p) {
      return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(p, alpha), _mm_set1_epi8(-1))) ==
             0xffff;
    };
    const auto sixteenSaturated = [&](int32_t i) {
      return saturated(_mm_and_si128(_mm_and_si128(load(i), load(i + 4)),
                                     _mm_and_si128(load(i + 8), load(i + 12))));
    };
    if (whiteAtFirst()) {
      while (span.end - span.first >= 16 && sixteenSaturated(span.first)) span.first += 16;
      while (span.end - span.first >= 4 && saturated(load(span.first))) span.first += 4;
    }
    if (whiteAtEnd()) {
      while (span.end - span.first >= 16 && sixteenSaturated(span.end - 16)) span.end -= 16;
      while (span.end - span.first >= 4 && saturated(load(span.end - 4))) span.end -= 4;
    }
  }
#endif
  while (whiteAtFirst()) ++span.first;
  while (whiteAtEnd()) --span.end;
  return span;
}

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
