// Renders a fixed set of frames through the plug-in modules of a folder, and
// compares two such sets pixel for pixel. The Windows modules (run under
// Wine) and the Linux ones must render every frame to the same bytes.
//   render_frames render  PLUGIN_DIR OUT_DIR   writes one PAM file per frame
//   render_frames compare DIR_A DIR_B          exit 0 only when all match
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "presets/presets.h"
#include "testhost/test_host.h"
#include "tests/support/pam_file.h"
#include "tests/support/pattern_plate.h"

namespace {

using gw::testhost::Image;
using gw::testhost::ParamValue;
using gw::testhost::TestHost;
namespace fs = std::filesystem;

constexpr int32_t kWidth = 480, kHeight = 270;
constexpr int32_t kPresetWidth = 320, kPresetHeight = 180;
constexpr PF_Fixed kFullShutter = 0x10000;  // 360 degrees

ParamValue PointAt(int32_t x, int32_t y) {
  ParamValue v;
  v.value = x << 16;
  v.y = y << 16;
  return v;
}

ParamValue Whole(int32_t n) {
  ParamValue v;
  v.value = n;
  return v;
}

int32_t Index(const TestHost& host, const char* name) {
  const int32_t index = host.IndexOf(name);
  if (index < 0) throw std::runtime_error(std::string("no parameter ") + name);
  return index;
}

// One frame: the edition, what the host is told before rendering, the size.
struct Frame {
  std::string name;
  std::string edition;
  std::function<void(TestHost&)> setUp;
  int32_t width = kWidth, height = kHeight;
};

// A light moving across the frame between times 0 and 1, seen through a
// full shutter: the motion-blur path.
void MovingLight(TestHost& host) {
  host.settings().shutterAngle = kFullShutter;
  const int32_t point = Index(host, "Light Source Location");
  host.SetKey(point, 0, PointAt(150, 100));
  host.SetKey(point, 1, PointAt(210, 130));
}

void StillLight(TestHost& host) {
  host.SetValue(Index(host, "Light Source Location"), PointAt(170, 95));
}

// Three bright patches of different colours on a clear layer.
std::shared_ptr<const Image> LocationLayer() {
  auto layer = std::make_shared<Image>(kWidth, kHeight, PF_Pixel{0, 0, 0, 0});
  const auto patch = [&](int32_t x0, int32_t y0, PF_Pixel colour) {
    for (int32_t y = y0; y < y0 + 4; ++y) {
      for (int32_t x = x0; x < x0 + 4; ++x) layer->at(x, y) = colour;
    }
  };
  patch(80, 60, PF_Pixel{255, 255, 255, 255});
  patch(300, 150, PF_Pixel{255, 255, 200, 60});
  patch(400, 40, PF_Pixel{255, 90, 160, 255});
  return layer;
}

std::vector<Frame> Frames() {
  std::vector<Frame> frames;
  for (const char* edition : {"full", "quick"}) {
    frames.push_back({std::string(edition) + "-direct", edition, StillLight});
    frames.push_back({std::string(edition) + "-motion-blur", edition, MovingLight});
  }
  frames.push_back({"full-half-resolution", "full", [](TestHost& host) {
                      StillLight(host);
                      host.settings().downsample = 2;
                    }});
  frames.push_back({"full-motion-blur-half-resolution", "full", [](TestHost& host) {
                      MovingLight(host);
                      host.settings().downsample = 2;
                    }});
  frames.push_back({"full-draft", "full", [](TestHost& host) {
                      MovingLight(host);
                      host.settings().quality = PF_Quality_LO;
                    }});
  // The Showcase edition draws at the lights of its location layer; it has
  // no shutter, so no motion-blur path.
  frames.push_back({"showcase-location-layer", "showcase", [](TestHost& host) {
                      host.SetLayer(Index(host, "Location layer:"), LocationLayer());
                    }});
  frames.push_back({"showcase-location-layer-half-resolution", "showcase", [](TestHost& host) {
                      host.SetLayer(Index(host, "Location layer:"), LocationLayer());
                      host.settings().downsample = 2;
                    }});
  for (int16_t preset = 1; preset <= gw::kPresetCount; ++preset) {
    char name[32];
    std::snprintf(name, sizeof name, "preset-%02d", preset);
    frames.push_back({name, "quick",
                      [preset](TestHost& host) {
                        host.SetValue(Index(host, "Flare Type"), Whole(preset));
                        host.SetValue(Index(host, "Light Source Location"), PointAt(110, 70));
                      },
                      kPresetWidth, kPresetHeight});
  }
  return frames;
}

int Render(const std::string& pluginDir, const fs::path& outDir) {
  fs::create_directories(outDir);
  int failures = 0;
  for (const Frame& frame : Frames()) {
    try {
      TestHost host(pluginDir + "/" + gw::testhost::ModuleFileName(frame.edition));
      const bool ready = host.GlobalSetup() == PF_Err_NONE &&
                         host.ParamsSetup() == PF_Err_NONE && host.SequenceSetup() == PF_Err_NONE;
      if (!ready) throw std::runtime_error("setup failed");
      frame.setUp(host);
      Image out;
      if (host.Render(0, gw::testing::PatternPlate(frame.width, frame.height), out) != PF_Err_NONE) {
        throw std::runtime_error("render failed");
      }
      host.SequenceSetdown();
      host.GlobalSetdown();
      for (const std::string& problem : host.problems()) {
        throw std::runtime_error("host saw: " + problem);
      }
      if (!gw::testing::WritePam(outDir / (frame.name + ".pam"), out)) {
        throw std::runtime_error("not written");
      }
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s: %s\n", frame.name.c_str(), e.what());
      ++failures;
    }
  }
  std::printf("%zu frames rendered into %s, %d failed\n", Frames().size(),
              outDir.string().c_str(), failures);
  return failures == 0 ? 0 : 1;
}

std::vector<uint8_t> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int Compare(const fs::path& a, const fs::path& b) {
  int same = 0, different = 0;
  for (const Frame& frame : Frames()) {
    const std::string file = frame.name + ".pam";
    const std::vector<uint8_t> x = FileBytes(a / file), y = FileBytes(b / file);
    if (x.empty() || y.empty()) {
      std::printf("%-36s missing in %s\n", frame.name.c_str(),
                  (x.empty() ? a : b).string().c_str());
      ++different;
      continue;
    }
    if (x.size() != y.size()) {
      std::printf("%-36s differs in size\n", frame.name.c_str());
      ++different;
      continue;
    }
    // Count the pixels that differ, after the header.
    const std::string end = "ENDHDR\n";
    const auto at = std::search(x.begin(), x.end(), end.begin(), end.end());
    const size_t header = static_cast<size_t>(at - x.begin()) + end.size();
    size_t pixels = 0, worst = 0;
    for (size_t i = header; i + 4 <= x.size(); i += 4) {
      size_t d = 0;
      for (size_t c = 0; c < 4; ++c) {
        d = std::max<size_t>(d, static_cast<size_t>(std::abs(int(x[i + c]) - int(y[i + c]))));
      }
      pixels += d > 0;
      worst = std::max(worst, d);
    }
    if (pixels == 0 && x == y) {
      ++same;
    } else {
      std::printf("%-36s %zu pixels differ, by up to %zu levels\n", frame.name.c_str(), pixels,
                  worst);
      ++different;
    }
  }
  std::printf("%d frames identical, %d not\n", same, different);
  return different == 0 && same > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 4 ? argv[1] : "";
  if (mode == "render") return Render(argv[2], argv[3]);
  if (mode == "compare") return Compare(argv[2], argv[3]);
  std::fprintf(stderr,
               "usage: render_frames render PLUGIN_DIR OUT_DIR\n"
               "       render_frames compare DIR_A DIR_B\n");
  return 2;
}
