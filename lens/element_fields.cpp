#include "lens/element_fields.h"

#include <cstring>
#include <utility>

namespace gw {
namespace {

// clang-format off
constexpr ElementFieldInfo kFields[] = {
    {ElementField::Brightness, "brightness", FieldKind::Real, offsetof(LensElement, brightness)},
    {ElementField::Scale, "scale", FieldKind::Real, offsetof(LensElement, scale)},
    {ElementField::Angle, "angle", FieldKind::Real, offsetof(LensElement, angle)},
    {ElementField::Spread, "spread", FieldKind::Real, offsetof(LensElement, spread)},
    {ElementField::Position, "position", FieldKind::Real, offsetof(LensElement, position)},
    {ElementField::Spare1, "spare1", FieldKind::Real, offsetof(LensElement, spare1)},
    {ElementField::Spare2, "spare2", FieldKind::Real, offsetof(LensElement, spare2)},
    {ElementField::Type, "type", FieldKind::Whole, offsetof(LensElement, type)},
    {ElementField::Iparam0, "iparam0", FieldKind::Whole, offsetof(LensElement, iparam0)},
    {ElementField::Iparam1, "iparam1", FieldKind::Whole, offsetof(LensElement, iparam1)},
    {ElementField::Iparam2, "iparam2", FieldKind::Whole, offsetof(LensElement, iparam2)},
    {ElementField::Iparam3, "iparam3", FieldKind::Whole, offsetof(LensElement, iparam3)},
    {ElementField::Iparam4, "iparam4", FieldKind::Whole, offsetof(LensElement, iparam4)},
    {ElementField::Iparam5, "iparam5", FieldKind::Whole, offsetof(LensElement, iparam5)},
    {ElementField::Anamorphic, "anamorphic", FieldKind::Byte, offsetof(LensElement, anamorphic)},
    {ElementField::Option, "option", FieldKind::Byte, offsetof(LensElement, option)},
    {ElementField::Enabled, "enabled", FieldKind::Byte, offsetof(LensElement, enabled)},
    {ElementField::Color1, "color1", FieldKind::Colour, offsetof(LensElement, color1)},
    {ElementField::Color1Extra, "color1Extra", FieldKind::Byte, offsetof(LensElement, color1Extra)},
    {ElementField::Color2, "color2", FieldKind::Colour, offsetof(LensElement, color2)},
    {ElementField::Color2Extra, "color2Extra", FieldKind::Byte, offsetof(LensElement, color2Extra)},
    {ElementField::Name, "name", FieldKind::Name, offsetof(LensElement, name)},
};
// clang-format on

constexpr bool InEnumOrder() {
  for (int i = 0; i < kElementFieldCount; ++i) {
    if (static_cast<int>(kFields[i].field) != i) return false;
  }
  return true;
}
static_assert(std::size(kFields) == kElementFieldCount);
static_assert(InEnumOrder(), "the table is indexed by ElementField");

// The bytes of a field of the expected kind, or null for any other field.
const unsigned char* Bytes(const LensElement& e, ElementField field, FieldKind kind) {
  const ElementFieldInfo& info = Describe(field);
  if (info.kind != kind) return nullptr;
  return reinterpret_cast<const unsigned char*>(&e) + info.offset;
}

unsigned char* Bytes(LensElement& e, ElementField field, FieldKind kind) {
  return const_cast<unsigned char*>(Bytes(std::as_const(e), field, kind));
}

template <typename T>
T Read(const LensElement& e, ElementField field, FieldKind kind) {
  static_assert(sizeof(T) <= 4);
  T value{};
  if (const unsigned char* p = Bytes(e, field, kind)) std::memcpy(&value, p, sizeof value);
  return value;
}

template <typename T>
void Write(LensElement& e, ElementField field, FieldKind kind, T value) {
  if (unsigned char* p = Bytes(e, field, kind)) std::memcpy(p, &value, sizeof value);
}

}  // namespace

std::span<const ElementFieldInfo> ElementFields() { return kFields; }

const ElementFieldInfo& Describe(ElementField field) {
  return kFields[static_cast<int>(field)];
}

std::optional<ElementField> FindElementField(std::string_view key) {
  for (const ElementFieldInfo& info : kFields) {
    if (key == info.key) return info.field;
  }
  return std::nullopt;
}

float ReadReal(const LensElement& e, ElementField f) { return Read<float>(e, f, FieldKind::Real); }
int16_t ReadWhole(const LensElement& e, ElementField f) {
  return Read<int16_t>(e, f, FieldKind::Whole);
}
uint8_t ReadByte(const LensElement& e, ElementField f) {
  return Read<uint8_t>(e, f, FieldKind::Byte);
}
Rgb ReadColour(const LensElement& e, ElementField f) { return Read<Rgb>(e, f, FieldKind::Colour); }

double ReadNumber(const LensElement& e, ElementField field) {
  switch (Describe(field).kind) {
    case FieldKind::Real: return ReadReal(e, field);
    case FieldKind::Whole: return ReadWhole(e, field);
    case FieldKind::Byte: return ReadByte(e, field);
    case FieldKind::Colour:
    case FieldKind::Name: break;
  }
  return 0.0;
}

void WriteReal(LensElement& e, ElementField f, float v) { Write(e, f, FieldKind::Real, v); }
void WriteWhole(LensElement& e, ElementField f, int16_t v) { Write(e, f, FieldKind::Whole, v); }
void WriteByte(LensElement& e, ElementField f, uint8_t v) { Write(e, f, FieldKind::Byte, v); }
void WriteColour(LensElement& e, ElementField f, Rgb v) { Write(e, f, FieldKind::Colour, v); }

void ApplySetting(LensElement& e, const FieldSetting& s) {
  switch (Describe(s.field).kind) {
    case FieldKind::Real: WriteReal(e, s.field, s.real); break;
    case FieldKind::Whole: WriteWhole(e, s.field, static_cast<int16_t>(s.whole)); break;
    case FieldKind::Byte: WriteByte(e, s.field, static_cast<uint8_t>(s.whole)); break;
    case FieldKind::Colour: WriteColour(e, s.field, s.rgb); break;
    case FieldKind::Name: break;
  }
}

}  // namespace gw
