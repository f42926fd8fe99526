// The screen table, pixel addressing and the one way a pixel is written.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/target.h"

namespace gw {

inline constexpr size_t kScreenTableSize = 65536;

// Entry a*256 + b = 255 - (255 - a)(255 - b) / 255. The table is symmetric.
constexpr void BuildScreenTable(uint8_t* table) {
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      table[a * 256 + b] = static_cast<uint8_t>(255 - ((255 - a) * (255 - b)) / 255);
    }
  }
}

inline uint8_t Screen(const uint8_t* table, uint8_t old, uint8_t src) {
  return table[old * 256 + src];
}

// Screens a packed value (red in the low byte, then green and blue) into the
// pixel whose red byte is at c; 0 changes nothing.
inline void ScreenPacked(const uint8_t* table, uint8_t* c, uint32_t rgb) {
  if (rgb == 0) return;
  c[0] = Screen(table, c[0], static_cast<uint8_t>(rgb));
  c[1] = Screen(table, c[1], static_cast<uint8_t>(rgb >> 8));
  c[2] = Screen(table, c[2], static_cast<uint8_t>(rgb >> 16));
}

#if defined(__SSE2__)
// Screens 16 bytes by 16 bytes: 255 - (255 - a)(255 - b) / 255 for each
// pair, the division exact as (x x 32897) >> 23 for every 16-bit x (32897 x
// 255 = 2^23 + 127, too little to carry any x / 255 past a whole number).
// Where b is 0 the byte keeps its value.
inline __m128i ScreenBytes(__m128i a, __m128i b) {
  const __m128i ones = _mm_set1_epi8(-1);
  const __m128i zero = _mm_setzero_si128();
  const __m128i notA = _mm_xor_si128(a, ones);
  const __m128i notB = _mm_xor_si128(b, ones);
  const auto quotient = [](__m128i x) {
    return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(static_cast<int16_t>(32897))), 7);
  };
  const __m128i lo = quotient(
      _mm_mullo_epi16(_mm_unpacklo_epi8(notA, zero), _mm_unpacklo_epi8(notB, zero)));
  const __m128i hi = quotient(
      _mm_mullo_epi16(_mm_unpackhi_epi8(notA, zero), _mm_unpackhi_epi8(notB, zero)));
  return _mm_xor_si128(_mm_packus_epi16(lo, hi), ones);
}
#endif

// Pixels whose three colour bytes are all 255 take nothing from a screen:
// Screen(255, v) is 255 for every v.
inline bool Saturated(const uint8_t* colour) { return (colour[0] & colour[1] & colour[2]) == 255; }

// Pixels [first, end) of a row, `colour` at pixel 0's red byte.
struct PixelSpan {
  int32_t first;
  int32_t end;
};

// The span without the saturated pixels at either end: what is left to
// screen there. Cheap when the span's ends are not saturated.
PixelSpan UnsaturatedSpan(const uint8_t* colour, int32_t bytesPerPixel, PixelSpan span);

// Screens n packed values (red in the low byte, then green and blue) into n
// pixels in a row, `colour` pointing at the first pixel's red byte. A value
// of 0 leaves its pixel alone. Four-byte pixels are screened four at a time
// by arithmetic that gives the table's entries exactly.
void ScreenRow(const uint8_t* table, uint8_t* colour, int32_t bytesPerPixel, const uint32_t* values,
               int32_t n);

inline uint8_t ClampToByte(int32_t v) {
  return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

inline bool InClip(const RenderTarget& t, int32_t x, int32_t y) {
  return x >= t.clip.left && x < t.clip.right && y >= t.clip.top && y < t.clip.bottom;
}

// The red byte of pixel (x, y), which must lie in the clip rectangle; green
// and blue follow it. The alpha byte of a 4-byte pixel is never addressed.
inline uint8_t* ColourBytes(const RenderTarget& t, int32_t x, int32_t y) {
  const ptrdiff_t offset = static_cast<ptrdiff_t>(x - t.clip.left) * t.bytesPerPixel +
                           static_cast<ptrdiff_t>(y - t.clip.top) * t.rowBytes +
                           (t.bytesPerPixel == 4 ? 1 : 0);
  return t.pixels + offset;
}

// Screens (r, g, b) into pixel (x, y) when it lies in the clip rectangle.
inline void ScreenPixel(const RenderTarget& t, int32_t x, int32_t y, uint8_t r, uint8_t g,
                        uint8_t b) {
  if (!InClip(t, x, y)) return;
  uint8_t* c = ColourBytes(t, x, y);
  c[0] = Screen(t.screenTable, c[0], r);
  c[1] = Screen(t.screenTable, c[1], g);
  c[2] = Screen(t.screenTable, c[2], b);
}

// Profile sample i of a channel; samples outside 0..profileLength-1 are 0.
inline uint8_t ProfileSample(const ProfileStore& profile, const uint8_t* channel, int32_t i) {
  return (i >= 0 && i < profile.length()) ? channel[i] : 0;
}

}  // namespace gw
