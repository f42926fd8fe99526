// Frames as PAM files (RGB_ALPHA, 8 bits), readable by common image tools:
// what the programs that render frames for a comparison write.
#pragma once

#include <filesystem>
#include <fstream>

#include "testhost/image.h"

namespace gw::testing {

inline bool WritePam(const std::filesystem::path& path, const testhost::Image& image) {
  std::ofstream out(path, std::ios::binary);
  out << "P7\nWIDTH " << image.width << "\nHEIGHT " << image.height
      << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  for (const PF_Pixel& p : image.pixels) {
    const char rgba[4] = {static_cast<char>(p.red), static_cast<char>(p.green),
                          static_cast<char>(p.blue), static_cast<char>(p.alpha)};
    out.write(rgba, 4);
  }
  return static_cast<bool>(out);
}

}  // namespace gw::testing
