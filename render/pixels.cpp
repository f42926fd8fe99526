#include "render/pixels.h"

namespace gw {

void BuildScreenTable(uint8_t* table) {
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      table[a * 256 + b] = static_cast<uint8_t>(255 - ((255 - a) * (255 - b)) / 255);
    }
  }
}

}  // namespace gw
