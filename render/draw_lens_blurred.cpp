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

// The buffers of one tile: the sample being drawn and the sum of the
// samples. Both are had before the first tile, so running out of memory
// never leaves a frame half drawn.
struct TileBuffers {
  explicit TileBuffers(const TileGrid& grid)
      : bytes(static_cast<size_t>(grid.tileHeight) * grid.tileWidth * kTileBytesPerPixel),
        drawn(bytes),
        sums(bytes) {}
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

// Adds the first `bytes` of the drawn sample to the sums and clears them for
// the next sample, in one pass.
void AddSample(TileBuffers& buffers, size_t bytes) {
  uint16_t* sums = buffers.sums.data();
  uint8_t* drawn = buffers.drawn.data();
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= bytes; i += 16) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(drawn + i));
    auto* lo = reinterpret_cast<__m128i*>(sums + i);
    auto* hi = reinterpret_cast<__m128i*>(sums + i + 8);
    _mm_storeu_si128(lo, _mm_add_epi16(_mm_loadu_si128(lo), _mm_unpacklo_epi8(d, zero)));
    _mm_storeu_si128(hi, _mm_add_epi16(_mm_loadu_si128(hi), _mm_unpackhi_epi8(d, zero)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(drawn + i), zero);
  }
#endif
  for (; i < bytes; ++i) {
    sums[i] = static_cast<uint16_t>(sums[i] + drawn[i]);
    drawn[i] = 0;
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

  // The samples are drawn into the tile buffer, four bytes a pixel, its
  // rows as long as the tile is wide (the last row and column of tiles are
  // cut at the frame's edge).
  RenderTarget tileTarget = now;
  // Every tile walks the streaks of a sample from their starts: each takes
  // them up where the tiles before it got to.
  StreakPositions positions;
  Scratch scratch{profile, &positions};
  tileTarget.pixels = buffers.drawn.data();
  tileTarget.bytesPerPixel = kTileBytesPerPixel;
  RenderTarget sample{};
  for (int32_t index = 0; index < grid.Count(); ++index) {
    tileTarget.clip = grid.Tile(index);
    tileTarget.rowBytes = tileTarget.clip.Width() * kTileBytesPerPixel;
    const size_t used = static_cast<size_t>(tileTarget.clip.Height()) *
                        static_cast<size_t>(tileTarget.rowBytes);
    std::fill_n(buffers.sums.begin(), used, uint16_t{0});
    std::fill_n(buffers.drawn.begin(), used, uint8_t{0});
    // A sample's profiles are the same in every tile (they never depend on
    // the clip rectangle): the store builds them in the first tile and
    // finds them again in the others, and in other samples whose settings
    // give the same shapes.
    for (int32_t k = 0; k < samples; ++k) {
      BlendTargets(tileTarget, next, sample, static_cast<float>(k) * step);
      const int32_t pass = index * samples + k;
      if (const int32_t code = DrawLens(lens, sample, scratch, pass, passes, progress)) return code;
      AddSample(buffers, used);
    }
    ScreenAverageInto(buffers, tileTarget.clip, samples, now);
  }
  return 0;
}

}  // namespace gw
