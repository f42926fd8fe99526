// Big-endian conversion of the fields of stored records.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace gw {

constexpr uint16_t ByteSwap16(uint16_t v) { return static_cast<uint16_t>((v >> 8) | (v << 8)); }

constexpr uint32_t ByteSwap32(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0x0000ff00u) | ((v << 8) & 0x00ff0000u) | (v << 24);
}

// Native <-> big-endian, in place on a field of any 2- or 4-byte type.
template <typename T>
void SwapToFromBigEndian(T& field) {
  static_assert(sizeof(T) == 2 || sizeof(T) == 4);
  if constexpr (std::endian::native == std::endian::big) return;
  if constexpr (sizeof(T) == 2) {
    uint16_t v;
    std::memcpy(&v, &field, 2);
    v = ByteSwap16(v);
    std::memcpy(&field, &v, 2);
  } else {
    uint32_t v;
    std::memcpy(&v, &field, 4);
    v = ByteSwap32(v);
    std::memcpy(&field, &v, 4);
  }
}

// The bits of a float and back, exactly (NaN payloads included).
inline uint32_t FloatBits(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  return bits;
}
inline float FloatFromBits(uint32_t bits) {
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}

inline uint16_t ReadBigEndian16(const uint8_t* p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
inline uint32_t ReadBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
inline void WriteBigEndian16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void WriteBigEndian32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

}  // namespace gw
