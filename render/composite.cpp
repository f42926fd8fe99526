#include "render/composite.h"

#include <algorithm>
#include <array>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
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
// One pixel of float RGBA and its flare (0..1 in red, green and blue, 0 in
// alpha): the same operations in the same order as CombineSample, so the
// same bits. The flare's alpha lane is 0, which keeps the plate's alpha as it
// keeps every sample the flare misses.
template <Blend How>
inline __m128 CombinePixel(__m128 p, __m128 flare) {
  const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
  __m128 combined;
  if constexpr (How == Blend::Add) {
    combined = _mm_add_ps(p, flare);
  } else {
    const __m128 clamped = _mm_min_ps(_mm_max_ps(p, zero), one);
    combined = _mm_add_ps(p, _mm_mul_ps(flare, _mm_sub_ps(one, clamped)));
  }
  const __m128 untouched = _mm_cmpeq_ps(flare, zero);
  return _mm_or_ps(_mm_and_ps(untouched, p), _mm_andnot_ps(untouched, combined));
}

// Every byte / 255, as ByteToUnit divides.
constexpr auto kUnits = [] {
  std::array<float, 256> units{};
  for (int v = 0; v < 256; ++v) units[static_cast<size_t>(v)] = static_cast<float>(v) / 255.0f;
  return units;
}();

// A drawn pixel's bytes (unused, red, green, blue) as the flare's values in
// red, green, blue and 0.
inline __m128 FlareOf(const uint8_t* f) {
  return _mm_setr_ps(kUnits[f[1]], kUnits[f[2]], kUnits[f[3]], 0.0f);
}

// Float RGBA four pixels at a time; four pixels the flare misses are copied.
template <Blend How>
void CombineRgbaFloats(const float* plate, float* out, const FlareRow& row) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i colourBytes = _mm_set1_epi32(static_cast<int32_t>(0xffffff00u));
  int32_t i = 0;
  for (; i + 4 <= row.n; i += 4, plate += 16, out += 16) {
    const __m128i drawn = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row.flare + 4 * i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(drawn, colourBytes), zero)) == 0xffff) {
      for (int k = 0; k < 16; k += 4) _mm_storeu_ps(out + k, _mm_loadu_ps(plate + k));
      continue;
    }
    for (int k = 0; k < 4; ++k) {
      _mm_storeu_ps(out + 4 * k, CombinePixel<How>(_mm_loadu_ps(plate + 4 * k),
                                                   FlareOf(row.flare + 4 * (i + k))));
    }
  }
  for (; i < row.n; ++i, plate += 4, out += 4) {
    _mm_storeu_ps(out, CombinePixel<How>(_mm_loadu_ps(plate), FlareOf(row.flare + 4 * i)));
  }
}
#endif

template <class T>
void Combine(const T* plate, T* out, int32_t channels, const FlareRow& row, Blend blend) {
#if defined(__SSE2__)
  if constexpr (std::is_same_v<T, float>) {
    if (channels == 4) {
      return blend == Blend::Add ? CombineRgbaFloats<Blend::Add>(plate, out, row)
                                 : CombineRgbaFloats<Blend::Screen>(plate, out, row);
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

float FlareLuma(uint8_t red, uint8_t green, uint8_t blue) {
  return kLumaRed * ByteToUnit(red) + kLumaGreen * ByteToUnit(green) +
         kLumaBlue * ByteToUnit(blue);
}

void CombineFlareRow(const void* plate, void* out, SampleKind kind, int32_t channels,
                     const FlareRow& row, Blend blend) {
  switch (kind) {
    case SampleKind::Byte:
      return Combine(static_cast<const uint8_t*>(plate), static_cast<uint8_t*>(out), channels,
                     row, blend);
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
