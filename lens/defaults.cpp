#include <cstring>

#include "lens/element_types.h"
#include "lens/lens.h"

namespace gw {
namespace {

void Apply(std::span<const FieldSetting> settings, LensElement& e) {
  for (const FieldSetting& s : settings) ApplySetting(e, s);
}

// Writes marker "p", the text and its NUL; bytes after the NUL stay as they are.
void WriteDefaultName(LensElement& e, const char* text) {
  const size_t length = std::strlen(text);
  e.name[0] = static_cast<char>(kNameMarker);
  std::memcpy(e.name + 1, text, length + 1);
}

}  // namespace

void InitElement(int16_t type, LensElement& element) {
  Apply(BaseElementValues(), element);
  element.type = type;
  element.name[0] = 0;  // no marker, empty text
  element.name[1] = 0;
  if (const ElementTypeInfo* info = FindElementType(type)) {
    Apply(info->defaults, element);
    WriteDefaultName(element, info->defaultName);
  }
}

void BuildDefaultLens(Lens& lens) {
  lens.count = 0;

  LensElement& glow = lens.elements[lens.count++];
  InitElement(static_cast<int16_t>(ElementType::GlowBall), glow);
  glow.option = 1;
  glow.anamorphic = 1;

  LensElement& spread = lens.elements[lens.count++];
  InitElement(static_cast<int16_t>(ElementType::PolySpread), spread);
  spread.spare1 = -2.0f;
  spread.spare2 = 0.625f;
  spread.iparam0 = 42;
  spread.scale = 0.37f;
  spread.color1 = {20, 30, 50};
  spread.iparam3 = 291;
  spread.iparam4 = 1458;
  spread.iparam5 = 437;
  spread.anamorphic = 1;

  LensElement& star = lens.elements[lens.count++];
  InitElement(static_cast<int16_t>(ElementType::StarFilter), star);
  star.anamorphic = 1;
}

}  // namespace gw
