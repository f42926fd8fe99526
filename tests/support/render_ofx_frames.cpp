// Renders the comparison's shots through the OpenFX binary (GW_OFX_BINARY)
// in our OpenFX host, and compares two such sets byte for byte: the Windows
// binary (under 64-bit Wine) must render every frame as the Linux one does.
//   render_ofx_frames render  OUT_DIR        writes one PAM file per shot
//   render_ofx_frames compare DIR_A DIR_B    exit 0 only when all match
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/ofx/ofx_shots.h"
#include "tests/support/pam_file.h"
#include "tests/support/pattern_plate.h"

namespace {

using gw::testing::ComparisonShots;
using gw::testing::NamedShot;
namespace fs = std::filesystem;

int Render(const fs::path& outDir) {
  fs::create_directories(outDir);
  const gw::testhost::Image frame =
      gw::testing::PatternPlate(gw::testing::kShotWidth, gw::testing::kShotHeight);
  int failures = 0;
  const std::vector<NamedShot> shots = ComparisonShots();
  for (const NamedShot& s : shots) {
    gw::testhost::Image out;
    std::string error;
    if (!gw::testing::RenderOfxShot(s.shot, frame, out, error) ||
        !gw::testing::WritePam(outDir / (s.name + ".pam"), out)) {
      std::fprintf(stderr, "%s: %s\n", s.name.c_str(),
                   error.empty() ? "not written" : error.c_str());
      ++failures;
    }
  }
  std::printf("%zu frames rendered into %s, %d failed\n", shots.size(), outDir.string().c_str(),
              failures);
  return failures == 0 ? 0 : 1;
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

int Compare(const fs::path& a, const fs::path& b) {
  int same = 0, different = 0;
  for (const NamedShot& s : ComparisonShots()) {
    const std::string x = FileBytes(a / (s.name + ".pam")), y = FileBytes(b / (s.name + ".pam"));
    if (!x.empty() && x == y) {
      ++same;
      continue;
    }
    ++different;
    if (x.empty() || y.empty()) {
      std::printf("%-44s missing in %s\n", s.name.c_str(), (x.empty() ? a : b).string().c_str());
      continue;
    }
    size_t bytes = 0;
    for (size_t i = 0; i < std::min(x.size(), y.size()); ++i) bytes += x[i] != y[i];
    std::printf("%-44s %zu bytes differ\n", s.name.c_str(), bytes);
  }
  std::printf("%d frames identical, %d not\n", same, different);
  return different == 0 && same > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc >= 2 ? argv[1] : "";
  if (mode == "render" && argc == 3) return Render(argv[2]);
  if (mode == "compare" && argc == 4) return Compare(argv[2], argv[3]);
  std::fprintf(stderr,
               "usage: render_ofx_frames render OUT_DIR\n"
               "       render_ofx_frames compare DIR_A DIR_B\n");
  return 2;
}
