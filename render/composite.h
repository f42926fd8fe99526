// How a flare drawn over black meets a plate of any depth: combined in
// floating point (screen or add), or written alone as a premultiplied pass.
// An 8-bit plate under screen needs none of this: the flare is drawn
// straight over it, bit for bit as the plug-ins always drew.
#pragma once

#include <algorithm>
#include <cstdint>

namespace gw {

enum class Blend : uint8_t {
  Screen,  // 1 - (1 - plate)(1 - flare) for plate values in 0..1; brighter values stay as they are
  Add,     // plate + flare, for scene-linear plates
};

// An 8-bit sample as a value in 0..1.
inline float ByteToUnit(uint8_t v) { return static_cast<float>(v) / 255.0f; }

// One colour value of the plate combined with the flare's value there.
inline float CombineSample(float plate, float flare, Blend blend) {
  if (blend == Blend::Add) return plate + flare;
  return plate + flare * (1.0f - std::clamp(plate, 0.0f, 1.0f));
}

// Luminance (Rec. 709 weights), for a plate with one grey channel.
float Luma(float red, float green, float blue);
// The same of a flare's 8-bit colour.
float FlareLuma(uint8_t red, uint8_t green, uint8_t blue);

// The alpha of a flare-only pixel: its brightest channel.
inline uint8_t FlareAlpha(uint8_t red, uint8_t green, uint8_t blue) {
  return std::max({red, green, blue});
}

// The sample types of the images the combine writes.
enum class SampleKind : uint8_t { Byte, Short, Float };  // 8-bit, 16-bit, 32-bit float

// n pixels of `channels` samples (3: red, green, blue; 4: and alpha), the
// flare as drawn in four-byte pixels (an unused byte, then red, green,
// blue). `out` may be `plate`.
struct FlareRow {
  const uint8_t* flare;
  int32_t n;
};

// The plate's colours combined with the flare, alpha and untouched pixels
// copied exactly.
void CombineFlareRow(const void* plate, void* out, SampleKind kind, int32_t channels,
                     const FlareRow& row, Blend blend);

// The flare alone: its colours, and for four channels an alpha equal to its
// brightest channel (premultiplied).
void FlareOnlyRow(void* out, SampleKind kind, int32_t channels, const FlareRow& row);

}  // namespace gw
