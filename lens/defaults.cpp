#include <cstring>

#include "lens/element_types.h"
#include "lens/lens.h"

namespace gw {
namespace {

void SetBaseValues(int16_t type, LensElement& e) {
  e.brightness = 1.0f;
  e.scale = 1.0f;
  e.angle = 15.0f;
  e.spread = 50.0f;
  e.position = 1.0f;
  e.spare1 = -1.0f;
  e.spare2 = 1.0f;
  e.type = type;
  e.iparam0 = 20;
  e.iparam1 = 8;
  e.iparam2 = 5;
  e.iparam3 = 200;
  e.iparam4 = 1000;
  e.iparam5 = 300;
  e.anamorphic = 0;
  e.option = 0;
  e.enabled = 1;
  e.color1 = {255, 255, 255};
  e.color1Extra = 255;
  e.color2 = {255, 255, 255};
  e.color2Extra = 255;
  e.name[0] = 0;  // no marker, empty text
  e.name[1] = 0;
}

void SetTypeOverrides(LensElement& e) {
  switch (static_cast<ElementType>(e.type)) {
    case ElementType::GlowBall:
      e.color1 = {200, 140, 180};
      e.color2 = {130, 115, 150};
      e.iparam5 = 500;
      e.spread = 1.0f;
      e.angle = 20.0f;
      e.option = 0;
      break;
    case ElementType::SpikeBall:
      e.iparam0 = 75;
      e.scale = 1.0f;
      break;
    case ElementType::StarFilter:
      e.iparam0 = 12;
      e.iparam1 = 8;
      e.brightness = 2.0f;
      e.angle = 5.0f;
      e.iparam2 = 8;
      e.spread = 10.0f;
      break;
    case ElementType::PolySpread:
      e.scale = 0.4f;
      e.spread = 10.0f;
      e.position = 0.0f;
      break;
    case ElementType::CircleSpread:
      e.scale = 0.25f;
      e.spread = 10.0f;
      e.iparam3 = 200;
      e.iparam4 = 589;
      e.iparam5 = 300;
      e.position = 0.0f;
      e.color1 = {100, 255, 122};
      break;
    case ElementType::EllipticalCaustic:
      e.position = -0.8f;
      break;
    case ElementType::StarCaustic:
      e.position = -0.4f;
      e.color1 = {20, 130, 100};
      e.iparam2 = 32;
      break;
    case ElementType::FadedRing:
      e.position = -0.6f;
      break;
    case ElementType::Stripe:
      e.angle = 0.0f;
      e.spread = 20.0f;
      e.color1 = {25, 64, 255};
      e.color2 = {64, 128, 255};
      e.iparam1 = 1;
      e.scale = 0.75f;
      e.brightness = 0.5f;
      e.option = 1;
      break;
    case ElementType::RandomFan:
      e.iparam0 = 8;
      e.iparam3 = 4;
      e.color1 = {255, 240, 220};
      e.brightness = 0.25f;
      break;
    case ElementType::PolySpikeBall:
      e.brightness = 0.25f;
      e.iparam0 = 86;
      e.scale = 0.75f;
      e.iparam3 = 0;
      e.iparam4 = 0;
      break;
    case ElementType::PhotonSpikeBall:
      e.spread = 10.0f;
      e.iparam0 = 6;
      e.iparam1 = 1;
      e.brightness = 0.3f;
      e.scale = 0.7f;
      e.option = 1;
      e.color1 = {127, 191, 255};
      break;
    case ElementType::ApertureReflection:
      e.color1 = {214, 142, 148};
      e.color2 = {191, 142, 135};
      e.option = 1;
      e.brightness = 0.5f;
      e.scale = 0.36f;
      e.angle = 0.0f;
      e.spread = 50.0f;
      e.iparam0 = 70;
      e.iparam2 = 4;
      e.iparam3 = 350;
      e.iparam4 = 1400;
      e.iparam5 = 0;
      e.anamorphic = 0;
      break;
    case ElementType::ChromaHoop:
      e.position = 0.25f;
      e.iparam0 = 12;
      e.iparam3 = 1750;
      e.brightness = 1.0f;
      e.scale = 0.25f;
      e.spread = 12.0f;
      e.angle = 40.0f;
      e.iparam2 = 8;
      break;
    case ElementType::SinglePoly:
      e.position = -0.5f;
      e.brightness = 0.5f;
      e.scale = 0.5f;
      e.spread = 30.0f;
      e.iparam2 = 5;
      e.iparam0 = 10;
      e.color1 = {255, 200, 150};
      break;
    case ElementType::Disc:
      e.angle = 90.0f;
      e.iparam3 = 0;
      e.iparam4 = 0;
      e.iparam5 = 500;
      e.spread = 5.0f;
      e.color1 = {255, 194, 128};
      e.iparam0 = 1;
      e.brightness = 1.2f;
      break;
    case ElementType::Ellipse:
      e.angle = -90.0f;
      e.position = -0.75f;
      e.brightness = 0.25f;
      e.iparam0 = 3;
      e.iparam3 = 250;
      e.iparam4 = 0;
      e.iparam5 = 50;
      e.spread = 5.0f;
      e.color1 = {127, 191, 255};
      break;
    case ElementType::Sparkle:
      break;
    case ElementType::ChromaFan:
      e.iparam0 = 3;
      e.angle = 0.0f;
      e.spread = 25.0f;
      e.iparam2 = 4;
      e.iparam3 = 500;
      e.iparam4 = 300;
      e.iparam5 = 300;
      e.option = 1;
      break;
  }
}

// Writes marker "p", the text and its NUL; bytes after the NUL stay as they are.
void WriteDefaultName(LensElement& e, const char* text) {
  const size_t length = std::strlen(text);
  e.name[0] = static_cast<char>(kNameMarker);
  std::memcpy(e.name + 1, text, length + 1);
}

}  // namespace

void InitElement(int16_t type, LensElement& element) {
  SetBaseValues(type, element);
  if (const ElementTypeInfo* info = FindElementType(type)) {
    SetTypeOverrides(element);
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
