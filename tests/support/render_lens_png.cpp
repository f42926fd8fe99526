// Developer tool: draws a lens file straight through the renderers (no host)
// over a black frame and writes a PNG.
//   render_lens_png LENS.gwr OUT.png [WIDTH HEIGHT [LIGHTX LIGHTY [SCALE]]]
#include <OpenImageIO/imageio.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "lensfile/lensfile.h"
#include "tests/support/test_frame.h"

namespace {

// The frame's colour channels as an 8-bit RGB PNG.
bool WritePng(const gw::TestFrame& frame, const std::string& path) {
  const size_t pixels = size_t(frame.width()) * frame.height();
  std::vector<uint8_t> rgb(pixels * 3);
  for (size_t p = 0; p < pixels; ++p) {
    for (int c = 0; c < 3; ++c) rgb[p * 3 + c] = frame.bytes()[p * 4 + 1 + c];
  }
  auto out = OIIO::ImageOutput::create(path);
  if (!out) return false;
  OIIO::ImageSpec format(frame.width(), frame.height(), 3, OIIO::TypeDesc::UINT8);
  return out->open(path, format) && out->write_image(OIIO::TypeDesc::UINT8, rgb.data()) &&
         out->close();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s LENS.gwr OUT.png [W H [LX LY [SCALE]]]\n", argv[0]);
    return 2;
  }
  const int w = argc > 4 ? std::atoi(argv[3]) : 640;
  const int h = argc > 4 ? std::atoi(argv[4]) : 360;
  const float lx = argc > 6 ? std::strtof(argv[5], nullptr) : w * 0.3f;
  const float ly = argc > 6 ? std::strtof(argv[6], nullptr) : h * 0.3f;
  const float scale = argc > 7 ? std::strtof(argv[7], nullptr) : 1.0f;
  gw::Lens lens{};
  for (gw::LensElement& slot : lens.elements) slot.color1Extra = slot.color2Extra = 255;
  const int32_t status = gw::LoadLensFile(argv[1], lens, false);
  if (status != 0) {
    std::fprintf(stderr, "%s: %s\n", argv[1], gw::LensFileStatusMessage(status));
    return 1;
  }
  gw::TestFrame frame(w, h, lx, ly, scale);
  gw::DrawLensInto(lens, frame);
  if (!WritePng(frame, argv[2])) {
    std::fprintf(stderr, "%s: cannot write\n", argv[2]);
    return 1;
  }
  return 0;
}
