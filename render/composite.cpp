#include "render/composite.h"

#include <cstring>

#include "render/numeric.h"

namespace gw {
namespace {

// Rec. 709 weights, for a flare laid over a grey plate.
constexpr float kLumaRed = 0.2126f, kLumaGreen = 0.7152f, kLumaBlue = 0.0722f;

// Reading and writing one sample type as values in 0..1 (floats as they are).
template <class T>
struct Samples;

template <>
struct Samples<uint8_t> {
  static float Read(uint8_t v) { return ByteToUnit(v); }
  static uint8_t Write(float v) {
    return static_cast<uint8_t>(std::clamp(TruncToInt(v * 255.0f + 0.5f), 0, 255));
  }
};

template <>
struct Samples<uint16_t> {
  static float Read(uint16_t v) { return static_cast<float>(v) / 65535.0f; }
  static uint16_t Write(float v) {
    return static_cast<uint16_t>(std::clamp(TruncToInt(v * 65535.0f + 0.5f), 0, 65535));
  }
};

template <>
struct Samples<float> {
  static float Read(float v) { return v; }
  static float Write(float v) { return v; }
};

template <class T>
void Combine(const T* plate, T* out, int32_t channels, const FlareRow& row, Blend blend) {
  const uint8_t* f = row.flare;
  for (int32_t i = 0; i < row.n; ++i, f += 4, plate += channels, out += channels) {
    if ((f[1] | f[2] | f[3]) == 0) {
      if (out != plate) std::memcpy(out, plate, sizeof(T) * static_cast<size_t>(channels));
      continue;
    }
    for (int32_t c = 0; c < 3; ++c) {
      out[c] = Samples<T>::Write(
          CombineSample(Samples<T>::Read(plate[c]), ByteToUnit(f[c + 1]), blend));
    }
    if (channels == 4) out[3] = plate[3];
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
