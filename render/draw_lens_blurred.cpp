#include "render/draw_lens_blurred.h"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/blur_tiles.h"
#include "render/numeric.h"
#include "render/pixels.h"
#include "render/streak.h"

namespace gw {
namespace {

// Samples per pixel of blur length, and the bounds of the count.
constexpr float kHighQualitySamplesPerPixel = 0.33333334f;  // one per three pixels
constexpr int32_t kHighQualityMinSamples = 4, kHighQualityMaxSamples = 16;
constexpr float kDraftSamplesPerPixel = 0.125f;  // one per eight pixels
constexpr int32_t kDraftMinSamples = 3, kDraftMaxSamples = 8;

// Bytes of a tile's pixel: an unused byte and the three colour bytes, laid
// out as the frame's pixels are, so that rows are screened four pixels at a
// time.
constexpr int32_t kTileBytesPerPixel = 4;

// The length of the light's path over the exposure, in pixels.
float BlurLength(const RenderTarget& now, const RenderTarget& next, float shutter) {
  const float dx = next.lightX - now.lightX;
  const float dy = next.lightY - now.lightY;
  const float travelled = dx * dx + dy * dy;
  return travelled > 0.0f ? std::sqrt(travelled) * shutter : 0.0f;
}

// The buffers of one tile: two samples being drawn, side by side, and the
// sum of the samples. All are had before the first tile, so running out of
// memory never leaves a frame half drawn. The drawn samples are black
// between uses: adding them to the sums clears them.
struct TileBuffers {
  explicit TileBuffers(const TileGrid& grid)
      : bytes(static_cast<size_t>(grid.tileHeight) * grid.tileWidth * kTileBytesPerPixel),
        drawn(2 * bytes),
        sums(bytes) {}
  uint8_t* Drawn(int32_t sample) { return drawn.data() + static_cast<size_t>(sample % 2) * bytes; }

  size_t bytes;
  std::vector<uint8_t> drawn;
  std::vector<uint16_t> sums;
};

// The sums' average is taken by a multiplication: with r = ceil(2^16 / n),
// (s x r) >> 16 equals s / n for every sum s of n samples as long as
// s x (r x n - 2^16) < 2^16, which holds for up to 16 samples of 255.
static_assert(kHighQualityMaxSamples * 255 * (kHighQualityMaxSamples - 1) < 65536);
static_assert(kDraftMaxSamples <= kHighQualityMaxSamples);

// Screens the average of the tile's samples over its window of the frame
// (four bytes a pixel, laid out as the tile's), a row at a time.
void ScreenAverageInto(const TileBuffers& buffers, const PixelRect& tile, int32_t samples,
                       const RenderTarget& frame) {
  const uint32_t reciprocal = (65536u + static_cast<uint32_t>(samples) - 1) /
                              static_cast<uint32_t>(samples);
  const auto average = [reciprocal](uint16_t sum) {
    return static_cast<uint8_t>((uint32_t{sum} * reciprocal) >> 16);
  };
  const int32_t width = tile.Width();
  for (int32_t y = tile.top; y < tile.bottom; ++y) {
    const uint16_t* sums =
        buffers.sums.data() + static_cast<size_t>(y - tile.top) * width * kTileBytesPerPixel;
    uint8_t* const colour = ColourBytes(frame, tile.left, y);
    int32_t x = 0;
#if defined(__SSE2__)
    // The high halves of the 16 x 16-bit products are the same shifts (the
    // reciprocal of 2 or more samples fits 16 bits); the unused byte of a
    // tile's pixel sums to 0 and leaves the frame's alpha as it is.
    const __m128i r = _mm_set1_epi16(static_cast<int16_t>(reciprocal));
    const __m128i zero = _mm_setzero_si128();
    for (; frame.bytesPerPixel == 4 && x + 4 <= width; x += 4, sums += 16) {
      const __m128i lo = _mm_mulhi_epu16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sums)), r);
      const __m128i hi =
          _mm_mulhi_epu16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + 8)), r);
      const __m128i values = _mm_packus_epi16(lo, hi);
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(values, zero)) == 0xffff) continue;
      auto* const pixels = reinterpret_cast<__m128i*>(colour + static_cast<ptrdiff_t>(x) * 4 - 1);
      _mm_storeu_si128(pixels, ScreenBytes(_mm_loadu_si128(pixels), values));
    }
#endif
    for (; x < width; ++x, sums += kTileBytesPerPixel) {
      ScreenPacked(frame.screenTable, colour + static_cast<ptrdiff_t>(x) * frame.bytesPerPixel,
                   uint32_t{average(sums[1])} | uint32_t{average(sums[2])} << 8 |
                       uint32_t{average(sums[3])} << 16);
    }
  }
}

// Adds the first `bytes` of the first drawn sample, and of the second when
// kTwo, to the sums (or starts the sums with them when kFirst), and clears
// them for the next samples, in one pass: a pair of samples costs one pass
// over the sums.
template <bool kTwo, bool kFirst>
void AddSamples(TileBuffers& buffers, size_t bytes) {
  uint16_t* const sums = buffers.sums.data();
  uint8_t* const first = buffers.Drawn(0);
  uint8_t* const second = buffers.Drawn(1);
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= bytes; i += 16) {
    auto* const a = reinterpret_cast<__m128i*>(first + i);
    const __m128i d = _mm_loadu_si128(a);
    __m128i lo = _mm_unpacklo_epi8(d, zero), hi = _mm_unpackhi_epi8(d, zero);
    _mm_storeu_si128(a, zero);
    if constexpr (kTwo) {
      auto* const b = reinterpret_cast<__m128i*>(second + i);
      const __m128i e = _mm_loadu_si128(b);
      lo = _mm_add_epi16(lo, _mm_unpacklo_epi8(e, zero));
      hi = _mm_add_epi16(hi, _mm_unpackhi_epi8(e, zero));
      _mm_storeu_si128(b, zero);
    }
    auto* const sumsLo = reinterpret_cast<__m128i*>(sums + i);
    auto* const sumsHi = reinterpret_cast<__m128i*>(sums + i + 8);
    if constexpr (!kFirst) {
      lo = _mm_add_epi16(lo, _mm_loadu_si128(sumsLo));
      hi = _mm_add_epi16(hi, _mm_loadu_si128(sumsHi));
    }
    _mm_storeu_si128(sumsLo, lo);
    _mm_storeu_si128(sumsHi, hi);
  }
#endif
  for (; i < bytes; ++i) {
    uint32_t sum = kFirst ? 0u : sums[i];
    sum += first[i];
    first[i] = 0;
    if constexpr (kTwo) {
      sum += second[i];
      second[i] = 0;
    }
    sums[i] = static_cast<uint16_t>(sum);
  }
}

// Adds the samples drawn since the last call: sample k was the last, and
// the samples of a tile are added a pair at a time.
void AddDrawn(TileBuffers& buffers, size_t bytes, int32_t k) {
  const bool two = k % 2 == 1, first = k < 2;
  if (two) {
    first ? AddSamples<true, true>(buffers, bytes) : AddSamples<true, false>(buffers, bytes);
  } else {
    first ? AddSamples<false, true>(buffers, bytes) : AddSamples<false, false>(buffers, bytes);
  }
}

}  // namespace

int32_t BlurSampleCount(float length, bool highQuality) {
  if (highQuality) {
    return std::clamp(TruncToInt(length * kHighQualitySamplesPerPixel), kHighQualityMinSamples,
                      kHighQualityMaxSamples);
  }
  return std::clamp(TruncToInt(length * kDraftSamplesPerPixel), kDraftMinSamples,
                    kDraftMaxSamples);
}

int32_t DrawLensBlurred(const Lens& lens, const RenderTarget& now, const RenderTarget& next,
                        ProfileStore& profile, float shutter, const ProgressCallback& progress) {
  const TileGrid grid = BlurTileGrid(now.clip);
  TileBuffers buffers(grid);

  const int32_t samples = BlurSampleCount(BlurLength(now, next, shutter), now.highQuality != 0);
  const float step = shutter / static_cast<float>(samples - 1);
  const int32_t passes = grid.Count() * samples;

  // The samples are drawn into the tile's two sample buffers in turn, four
  // bytes a pixel, their rows as long as the tile is wide (the last row and
  // column of tiles are cut at the frame's edge).
  RenderTarget tileTarget = now;
  // Every tile walks the streaks of a sample from their starts: each takes
  // them up where the tiles before it got to.
  StreakPositions positions;
  Scratch scratch{profile, &positions};
  tileTarget.bytesPerPixel = kTileBytesPerPixel;
  RenderTarget sample{};
  for (int32_t index = 0; index < grid.Count(); ++index) {
    tileTarget.clip = grid.Tile(index);
    tileTarget.rowBytes = tileTarget.clip.Width() * kTileBytesPerPixel;
    const size_t used = static_cast<size_t>(tileTarget.clip.Height()) *
                        static_cast<size_t>(tileTarget.rowBytes);
    // A sample's profiles are the same in every tile (they never depend on
    // the clip rectangle): the store builds them in the first tile and
    // finds them again in the others, and in other samples whose settings
    // give the same shapes.
    for (int32_t k = 0; k < samples; ++k) {
      tileTarget.pixels = buffers.Drawn(k);
      BlendTargets(tileTarget, next, sample, static_cast<float>(k) * step);
      const int32_t pass = index * samples + k;
      if (const int32_t code = DrawLens(lens, sample, scratch, pass, passes, progress)) return code;
      if (k % 2 == 1 || k == samples - 1) AddDrawn(buffers, used, k);
    }
    ScreenAverageInto(buffers, tileTarget.clip, samples, now);
  }
  return 0;
}

}  // namespace gw
