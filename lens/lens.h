// The lens model: one flare recipe as stored by the host and in lens files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gw {

// Element types. 7 and 8 have no renderer and are never offered.
enum class ElementType : int16_t {
  GlowBall = 0,
  SpikeBall = 1,
  StarFilter = 2,
  PolySpread = 3,
  CircleSpread = 4,
  EllipticalCaustic = 5,
  StarCaustic = 6,
  FadedRing = 9,
  Stripe = 10,
  RandomFan = 11,
  PolySpikeBall = 12,
  PhotonSpikeBall = 13,
  ApertureReflection = 14,
  ChromaHoop = 15,
  SinglePoly = 16,
  Disc = 17,
  Ellipse = 18,
  Sparkle = 19,
  ChromaFan = 20,
};

struct Rgb {
  uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr int kNameFieldSize = 64;     // marker byte + text + NUL
inline constexpr int kMaxNameLength = 62;     // characters of name text
inline constexpr uint8_t kNameMarker = 'p';   // marker of a name in working order

// One flare element, 120 bytes. Multi-byte fields are native while the lens is
// in working order and big-endian while it is stored.
struct LensElement {
  float brightness;
  float scale;
  float angle;        // degrees
  float spread;
  float position;     // on the flare axis: 0 frame centre, 1 light
  float spare1;       // carried, never read
  float spare2;       // carried, never read
  int16_t type;       // an ElementType value
  int16_t iparam0;
  int16_t iparam1;    // carried, never read
  int16_t iparam2;
  int16_t iparam3;
  int16_t iparam4;
  int16_t iparam5;
  uint8_t anamorphic;
  uint8_t option;
  uint8_t enabled;
  Rgb color1;
  uint8_t color1Extra;
  Rgb color2;
  uint8_t color2Extra;
  char name[kNameFieldSize];  // [0] marker byte, text from [1], NUL-terminated
  uint8_t unused[3];
};

inline constexpr uint32_t kMaxElements = 100;

struct Lens {
  uint32_t count;  // elements in use, 0..100
  LensElement elements[kMaxElements];
};

inline constexpr uint32_t kSequenceDataVersion = 0x00010002;

// What the host keeps per effect instance, always in stored (big-endian) order.
struct SequenceData {
  uint32_t version;
  Lens lens;
};

static_assert(sizeof(Rgb) == 3);
static_assert(sizeof(LensElement) == 120);
static_assert(offsetof(LensElement, brightness) == 0);
static_assert(offsetof(LensElement, scale) == 4);
static_assert(offsetof(LensElement, angle) == 8);
static_assert(offsetof(LensElement, spread) == 12);
static_assert(offsetof(LensElement, position) == 16);
static_assert(offsetof(LensElement, spare1) == 20);
static_assert(offsetof(LensElement, spare2) == 24);
static_assert(offsetof(LensElement, type) == 28);
static_assert(offsetof(LensElement, iparam0) == 30);
static_assert(offsetof(LensElement, iparam1) == 32);
static_assert(offsetof(LensElement, iparam2) == 34);
static_assert(offsetof(LensElement, iparam3) == 36);
static_assert(offsetof(LensElement, iparam4) == 38);
static_assert(offsetof(LensElement, iparam5) == 40);
static_assert(offsetof(LensElement, anamorphic) == 42);
static_assert(offsetof(LensElement, option) == 43);
static_assert(offsetof(LensElement, enabled) == 44);
static_assert(offsetof(LensElement, color1) == 45);
static_assert(offsetof(LensElement, color1Extra) == 48);
static_assert(offsetof(LensElement, color2) == 49);
static_assert(offsetof(LensElement, color2Extra) == 52);
static_assert(offsetof(LensElement, name) == 53);
static_assert(offsetof(LensElement, unused) == 117);
static_assert(sizeof(Lens) == 12004);
static_assert(offsetof(Lens, count) == 0);
static_assert(offsetof(Lens, elements) == 4);
static_assert(sizeof(SequenceData) == 12008);
static_assert(offsetof(SequenceData, version) == 0);
static_assert(offsetof(SequenceData, lens) == 4);

// The number of slots a lens may address: `count`, but never more than 100,
// since stored data from a damaged project may say anything.
inline uint32_t UsableCount(const Lens& lens) {
  return lens.count < kMaxElements ? lens.count : kMaxElements;
}

// Stored order <-> working order, in place. Only the first UsableCount()
// elements are converted; slots beyond are left as they are.
void Flatten(SequenceData& data);
void Unflatten(SequenceData& data);

// The sequence data a saved project holds for `lens`: the version word and
// the lens in stored order, every other byte zero.
SequenceData StoredSequenceData(const Lens& lens);

// Element defaults.
void InitElement(int16_t type, LensElement& element);
void BuildDefaultLens(Lens& lens);

// The name text (from byte 1 of the name field, up to its NUL, at most 63
// bytes even in a damaged record).
std::string_view ElementName(const LensElement& element);
// Writes marker "p", at most 62 characters of `text` and a NUL, and clears
// the rest of the field.
void SetElementName(LensElement& element, std::string_view text);

// Whether a name given as UTF-8 can be stored in an element and in a lens
// file: Latin-1 characters only, no NUL, at most 62 of them. Empty when it
// can, with its bytes in `latin1`; otherwise why not.
std::string ElementNameProblem(std::string_view utf8, std::string& latin1);

}  // namespace gw
