#include "cli/lens_table.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "lensfile/lens_json.h"
#include "lens/element_types.h"

namespace gw {
namespace {

// "Ring Softness: " -> "Ring Softness".
std::string_view Bare(const char* label) {
  std::string_view s(label);
  while (!s.empty() && (s.back() == ' ' || s.back() == ':')) s.remove_suffix(1);
  return s;
}

// A Latin-1 name in UTF-8, control characters shown as \xNN so that a name
// can never move the terminal's cursor or change its colours.
std::string PrintableName(std::string_view name) {
  std::string out;
  for (const char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7f || (b >= 0x80 && b < 0xa0)) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", b);
      out += escaped;
    } else {
      out += Latin1ToUtf8(std::string_view(&c, 1));
    }
  }
  return out;
}

// UTF-8 text padded with blanks to `width` characters.
std::string PaddedRight(std::string text, size_t width) {
  size_t characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xc0) != 0x80;
  if (characters < width) text.append(width - characters, ' ');
  return text;
}

std::string Colour(const Rgb& c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// A field's value as `lens show` prints it.
std::string FieldText(const LensElement& e, ElementField field) {
  switch (Describe(field).kind) {
    case FieldKind::Real: return FormatReal(ReadReal(e, field));
    case FieldKind::Whole: return std::to_string(ReadWhole(e, field));
    case FieldKind::Byte: return ReadByte(e, field) ? "on" : "off";
    case FieldKind::Colour: return Colour(ReadColour(e, field));
    case FieldKind::Name: return PrintableName(ElementName(e));
  }
  return {};
}

std::string Row(const char* format, auto... values) {
  char line[512];
  std::snprintf(line, sizeof line, format, values...);
  return line;
}

}  // namespace

std::string FormatReal(float v) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, v).ptr;
  return std::string(text, end);
}

namespace {

std::string Heading() {
  return Row("%3s  %-3s  %-20s %-24s %10s %10s %10s\n", "#", "on", "type", "name", "position",
             "brightness", "scale");
}

// The element's row under its number, then the parameters its type uses.
std::string ElementRows(const LensElement& e, uint32_t i) {
  const ElementTypeInfo* info = FindElementType(e.type);
  const std::string type = info ? info->listName : "unknown type " + std::to_string(e.type);
  const std::string name = PrintableName(ElementName(e));
  std::string out = Row("%3u  %-3s  %-20s %s %10s %10s %10s\n", static_cast<unsigned>(i),
                        e.enabled ? "yes" : "no", type.c_str(), PaddedRight(name, 24).c_str(),
                        FormatReal(e.position).c_str(), FormatReal(e.brightness).c_str(),
                        FormatReal(e.scale).c_str());
  if (!info) return out;
  std::string params;
  for (int s = static_cast<int>(PanelSlot::Spread); s < kPanelSlotCount; ++s) {
    const char* label = info->labels[s];
    if (!label) continue;
    params += params.empty() ? "" : "; ";
    params += Bare(label);
    params += ": " + FieldText(e, PanelSlots()[s].field);
  }
  if (!params.empty()) out += "       " + params + "\n";
  return out;
}

}  // namespace

std::string FormatLensTable(const Lens& lens) {
  const uint32_t count = UsableCount(lens);
  std::string out = Row("%u element%s\n", static_cast<unsigned>(count), count == 1 ? "" : "s");
  if (count == 0) return out;
  out += Heading();
  for (uint32_t i = 0; i < count; ++i) out += ElementRows(lens.elements[i], i);
  return out;
}

std::string FormatLensElement(const Lens& lens, uint32_t index) {
  return FormatLensElement(lens.elements[index], index);
}

std::string FormatLensElement(const LensElement& element, uint32_t number) {
  return Heading() + ElementRows(element, number);
}

}  // namespace gw
