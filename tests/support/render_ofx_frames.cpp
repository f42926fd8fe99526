// Renders the comparison's shots through the OpenFX binary (GW_OFX_BINARY)
// in our OpenFX host, and compares two such sets byte for byte: the Windows
// binary (under 64-bit Wine) must render every frame as the Linux one does.
// Every shot is rendered over an 8-bit plate; some also over a 16-bit plate
// and a float plate whose highlights lie above white.
//   render_ofx_frames render  OUT_DIR        writes one file per frame
//   render_ofx_frames compare DIR_A DIR_B    exit 0 only when all match
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/ofx/ofx_shots.h"
#include "tests/support/pam_file.h"
#include "tests/support/pattern_plate.h"

namespace {

using gw::testing::ComparisonShots;
using gw::testing::NamedShot;
namespace fs = std::filesystem;

// The shots also rendered over deeper plates: each way the flare is found
// and drawn, and presets of several element families.
const std::set<std::string> kDeepShots = {
    "default_lens", "showcase",      "motion_blur",          "half_resolution",
    "preset_12",    "preset_30",     "pixels_twice_as_wide", "obscuration_type_3"};

// The deeper plates: a float plate four times as bright as the 8-bit one,
// so that its brightest colours lie above white.
struct Depth {
  const char* depth;
  const char* suffix;
  float gain;
};
constexpr Depth kDeepDepths[] = {{kOfxBitDepthShort, "_16bit", 1.0f},
                                 {kOfxBitDepthFloat, "_float", 4.0f}};

// A deep frame's file: its size and depth in a line of text, then its rows
// as the host holds them (from the bottom).
bool WriteRaw(const fs::path& path, const gw::ofxhost::HostImage& image) {
  std::ofstream out(path, std::ios::binary);
  out << image.Width() << " " << image.Height() << " " << image.depth << "\n";
  const size_t row = static_cast<size_t>(image.Width()) * image.PixelBytes();
  for (int32_t y = image.bounds.y1; y < image.bounds.y2; ++y) {
    out.write(reinterpret_cast<const char*>(image.Pixel(image.bounds.x1, y)),
              static_cast<std::streamsize>(row));
  }
  return static_cast<bool>(out);
}

// Every frame's file name, in the order they are rendered.
std::vector<std::string> FrameFiles() {
  std::vector<std::string> files;
  for (const NamedShot& s : ComparisonShots()) {
    files.push_back(s.name + ".pam");
    if (!kDeepShots.contains(s.name)) continue;
    for (const Depth& d : kDeepDepths) files.push_back(s.name + d.suffix + ".raw");
  }
  return files;
}

int Render(const fs::path& outDir) {
  fs::create_directories(outDir);
  const gw::testhost::Image frame =
      gw::testing::PatternPlate(gw::testing::kShotWidth, gw::testing::kShotHeight);
  int frames = 0, failures = 0;
  const auto report = [&](const std::string& name, bool done, const std::string& error) {
    ++frames;
    if (done) return;
    std::fprintf(stderr, "%s: %s\n", name.c_str(), error.empty() ? "not written" : error.c_str());
    ++failures;
  };
  for (const NamedShot& s : ComparisonShots()) {
    gw::testhost::Image out;
    std::string error;
    report(s.name,
           gw::testing::RenderOfxShot(s.shot, frame, out, error) &&
               gw::testing::WritePam(outDir / (s.name + ".pam"), out),
           error);
    if (!kDeepShots.contains(s.name)) continue;
    for (const Depth& d : kDeepDepths) {
      gw::ofxhost::HostImage deep;
      std::string deepError;
      const std::string name = s.name + d.suffix;
      report(name,
             gw::testing::RenderOfxShotInDepth(s.shot, frame, d.depth, d.gain, deep,
                                               deepError) &&
                 WriteRaw(outDir / (name + ".raw"), deep),
             deepError);
    }
  }
  const size_t files = FrameFiles().size(), deep = files - ComparisonShots().size();
  if (deep != kDeepShots.size() * std::size(kDeepDepths)) {
    std::fprintf(stderr, "%zu deeper frames instead of %zu: a deep shot is not a shot\n", deep,
                 kDeepShots.size() * std::size(kDeepDepths));
    ++failures;
  }
  std::printf("%d frames rendered into %s, %d failed\n", frames, outDir.string().c_str(),
              failures);
  return failures == 0 ? 0 : 1;
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

int Compare(const fs::path& a, const fs::path& b) {
  int same = 0, different = 0;
  for (const std::string& file : FrameFiles()) {
    const std::string x = FileBytes(a / file), y = FileBytes(b / file);
    if (!x.empty() && x == y) {
      ++same;
      continue;
    }
    ++different;
    if (x.empty() || y.empty()) {
      std::printf("%-48s missing in %s\n", file.c_str(), (x.empty() ? a : b).string().c_str());
      continue;
    }
    size_t bytes = 0;
    for (size_t i = 0; i < std::min(x.size(), y.size()); ++i) bytes += x[i] != y[i];
    std::printf("%-48s %zu bytes differ\n", file.c_str(), bytes);
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
