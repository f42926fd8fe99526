// Every built preset keeps the exact bytes of its lens record: the hashes were
// taken once from the recipes as they stood when they were written with raw
// slot setters (iparam0..5, option), before each type had setters of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "presets/presets.h"

namespace gw {
namespace {

// FNV-1a, 64 bits, over the whole record: count, used and unused elements.
uint64_t HashOfRecord(const Lens& lens) {
  uint64_t hash = 14695981039346656037ull;
  const auto* bytes = reinterpret_cast<const unsigned char*>(&lens);
  for (size_t i = 0; i < sizeof lens; ++i) {
    hash ^= bytes[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

// By popup value, 1..39.
constexpr uint64_t kRecordHashes[kPresetCount] = {
    0xd9f4b145573ed713ull,  // 1 35mm
    0xb177abea65913c53ull,  // 2 85mm
    0xd6b2f70327ba965bull,  // 3 Arc Welder
    0x11c3cdeeee1197cbull,  // 4 Basic Lens
    0xe96966eef44da56cull,  // 5 Basic Spotlight
    0x2bc0ad8387d1d57eull,  // 6 Blimp flare
    0xaeb075ca2f745a3bull,  // 7 Bright Bluelight
    0x7db1857d1783843aull,  // 8 Chroma Lens 2
    0x27b720c937a2045eull,  // 9 Chroma Lens
    0xd9375d9fb8d9b6b2ull,  // 10 Cool Lens
    0x7469f947bc6ba0b5ull,  // 11 Desert Sun
    0x676a39662f96cf3full,  // 12 Diffraction
    0x9733c1edba2a442bull,  // 13 Diffraction2
    0xe5cf42474ba4e968ull,  // 14 Diffraction3
    0x6a2e41d6eefaf4e0ull,  // 15 Distant Quantum
    0xc1295eb1b82f93eeull,  // 16 Drydock Spikeball
    0x43ee784caf3c7b9bull,  // 17 Generic Panavision
    0xa2a7ac1f7cb4a009ull,  // 18 Green Refls
    0x70a08ec8df5b8bdaull,  // 19 Maple Tree
    0x02b401f71f836203ull,  // 20 New Blue Lens
    0x6c7ce55acf0b48d4ull,  // 21 Nifty Pink Lens
    0x0524375c2f56bd7bull,  // 22 Orangespike
    0x21ba341701aabc93ull,  // 23 Pv1
    0xb95c6c94a6def6e3ull,  // 24 Quantum5
    0x8374d4d157cf8743ull,  // 25 Quicktake 200
    0x7d0f2c2bfe2ef696ull,  // 26 Red Laser
    0x9e1dd831ff2be566ull,  // 27 Rock Concert
    0x53daa08fb27fa71aull,  // 28 Rock Concert2
    0xb4946191cfa690dcull,  // 29 Scratch1
    0x1af991422d936d78ull,  // 30 Six Point Star 2
    0xde11c399785688dbull,  // 31 Six Point Star 3
    0x38fd00cbcd5b1446ull,  // 32 Six Point Star
    0x3e401fedb611572bull,  // 33 Spikey Glow
    0xd9975e8a10385b70ull,  // 34 Spikey Glow2
    0xc0558535ae1b98e2ull,  // 35 Sunset
    0x33a197de903f3b61ull,  // 36 105mm
    0xd1c78281882c8114ull,  // 37 300mm Zoom
    0xe6af9d67eebb47ceull,  // 38 Vortex Bright
    0xf5d1d47b638cec7full,  // 39 Warm Sunflare
};

TEST(PresetRecords, EveryRecipeBuildsTheBytesItAlwaysBuilt) {
  for (int16_t value = 1; value <= kPresetCount; ++value) {
    Lens lens;
    BuildPreset(lens, value);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(HashOfRecord(lens)));
    EXPECT_EQ(HashOfRecord(lens), kRecordHashes[value - 1])
        << "preset " << value << " (" << PresetName(value) << ") now hashes to 0x" << hex;
  }
}

// The hash sees a change of one byte anywhere in the record.
TEST(PresetRecords, TheHashSeesOneByte) {
  Lens lens;
  BuildPreset(lens, 1);
  const uint64_t before = HashOfRecord(lens);
  lens.elements[4].iparam5 = static_cast<int16_t>(lens.elements[4].iparam5 ^ 1);
  EXPECT_NE(HashOfRecord(lens), before);
  lens.elements[4].iparam5 = static_cast<int16_t>(lens.elements[4].iparam5 ^ 1);
  lens.elements[kMaxElements - 1].name[0] = 1;
  EXPECT_NE(HashOfRecord(lens), before);
}

}  // namespace
}  // namespace gw
