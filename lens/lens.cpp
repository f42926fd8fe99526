#include "lens/lens.h"

#include <algorithm>
#include <cstring>

#include "lens/byte_order.h"

namespace gw {
namespace {

void SwapElementFields(LensElement& e) {
  SwapToFromBigEndian(e.brightness);
  SwapToFromBigEndian(e.scale);
  SwapToFromBigEndian(e.angle);
  SwapToFromBigEndian(e.spread);
  SwapToFromBigEndian(e.position);
  SwapToFromBigEndian(e.spare1);
  SwapToFromBigEndian(e.spare2);
  SwapToFromBigEndian(e.type);
  SwapToFromBigEndian(e.iparam0);
  SwapToFromBigEndian(e.iparam1);
  SwapToFromBigEndian(e.iparam2);
  SwapToFromBigEndian(e.iparam3);
  SwapToFromBigEndian(e.iparam4);
  SwapToFromBigEndian(e.iparam5);
}

}  // namespace

void Flatten(SequenceData& data) {
  const uint32_t count = UsableCount(data.lens);
  SwapToFromBigEndian(data.version);
  SwapToFromBigEndian(data.lens.count);
  for (uint32_t i = 0; i < count; ++i) {
    LensElement& e = data.lens.elements[i];
    SwapElementFields(e);
    // The marker becomes the length of the string starting at the marker
    // itself: name length + 1 with the "p" in place, 0 when the marker is 0.
    e.name[0] = static_cast<char>(strnlen(e.name, kNameFieldSize));
  }
}

void Unflatten(SequenceData& data) {
  SwapToFromBigEndian(data.version);
  SwapToFromBigEndian(data.lens.count);
  const uint32_t count = UsableCount(data.lens);
  for (uint32_t i = 0; i < count; ++i) {
    LensElement& e = data.lens.elements[i];
    SwapElementFields(e);
    // The marker holds the stored length; the NUL it implies is kept inside
    // the name field, so the text is always terminated there.
    const int marker = static_cast<uint8_t>(e.name[0]);
    e.name[1 + std::min(marker, kMaxNameLength)] = '\0';
    e.name[0] = static_cast<char>(kNameMarker);
  }
}

std::string_view ElementName(const LensElement& element) {
  const char* text = element.name + 1;
  return std::string_view(text, strnlen(text, kNameFieldSize - 1));
}

void SetElementName(LensElement& element, std::string_view text) {
  const size_t length = std::min(text.size(), size_t{kMaxNameLength});
  std::memset(element.name, 0, sizeof element.name);
  element.name[0] = static_cast<char>(kNameMarker);
  std::memcpy(element.name + 1, text.data(), length);
}

std::string ElementNameProblem(std::string_view utf8, std::string& latin1) {
  latin1.clear();
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      latin1 += static_cast<char>(lead);
      continue;
    }
    // U+0080..U+00FF take two bytes, the first 0xC2 or 0xC3; anything else
    // lies beyond Latin-1 (or is no UTF-8).
    const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
    if ((lead != 0xc2 && lead != 0xc3) || (next & 0xc0) != 0x80) {
      return "only Latin-1 characters can be stored";
    }
    latin1 += static_cast<char>(((lead & 0x03u) << 6) | (next & 0x3fu));
    ++i;
  }
  if (latin1.find('\0') != std::string::npos) return "holds a NUL character";
  if (latin1.size() > kMaxNameLength) {
    return "longer than " + std::to_string(kMaxNameLength) + " characters";
  }
  return {};
}

SequenceData StoredSequenceData(const Lens& lens) {
  SequenceData data;
  std::memset(&data, 0, sizeof data);  // no stray bytes in projects
  data.version = kSequenceDataVersion;
  data.lens = lens;
  Flatten(data);
  return data;
}

}  // namespace gw
