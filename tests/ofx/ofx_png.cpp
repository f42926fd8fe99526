#include <OpenImageIO/imageio.h>

#include "tests/ofx/ofx_rig.h"

namespace gw::testing {

bool WritePng(const std::string& path, const HostImage& image) {
  // Rows from the top, as the file keeps them.
  const size_t row = static_cast<size_t>(image.Width()) * 4;
  std::vector<uint8_t> rgba;
  for (int32_t y = image.bounds.y2 - 1; y >= image.bounds.y1; --y) {
    const uint8_t* p = image.Pixel(image.bounds.x1, y);
    rgba.insert(rgba.end(), p, p + row);
  }
  auto out = OIIO::ImageOutput::create(path);
  const OIIO::ImageSpec format(image.Width(), image.Height(), 4, OIIO::TypeDesc::UINT8);
  return out && out->open(path, format) && out->write_image(OIIO::TypeDesc::UINT8, rgba.data()) &&
         out->close();
}

}  // namespace gw::testing
