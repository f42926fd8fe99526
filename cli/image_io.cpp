#include "cli/image_io.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "cli/errors.h"
#include "cli/files.h"
#include "cli/plate_windows.h"
#include "cli/plugin_modules.h"

namespace gw {
namespace {

constexpr const char* kImageModuleName = "glarewright-images.so";

std::vector<std::string> ImageModulePlaces() {
  std::vector<std::string> places;
  const std::string program = ProgramFolder();
  if (!program.empty()) {
    places.push_back(program + "/" + kImageModuleName);
    places.push_back(program + "/" + GW_INSTALLED_PLUGIN_DIR + "/" + kImageModuleName);
  }
#ifdef GW_BUILD_IMAGE_MODULE
  places.push_back(GW_BUILD_IMAGE_MODULE);
#endif
  return places;
}

const ImageModuleTable* LoadImageModule() {
  std::string why = "not found";
  for (const std::string& place : ImageModulePlaces()) {
    if (access(place.c_str(), R_OK) != 0) continue;
    // Kept loaded until the program ends: its pictures may outlive any caller.
    void* module = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      why = dlerror();
      continue;
    }
    using Entry = const ImageModuleTable* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(module, "GlarewrightImageModule"));
    const ImageModuleTable* table = entry ? entry() : nullptr;
    if (table && table->version == kImageModuleVersion) return table;
    why = place + " is not this program's image module";
  }
  throw CommandError(std::string("cannot read or write images: ") + kImageModuleName + " " + why);
}

void CheckSize(const std::string& path, int width, int height) {
  if (width <= 0 || height <= 0) throw FileError(path, "the image has no pixels");
  if (width > kMaxImageSide || height > kMaxImageSide) {
    throw FileError(path, std::to_string(width) + " x " + std::to_string(height) +
                              " pixels is larger than " + std::to_string(kMaxImageSide) +
                              " on a side");
  }
}

int32_t ChannelNamed(const Plate& plate, const char* name) {
  for (int32_t c = 0; c < plate.channels; ++c) {
    if (plate.channelNames[static_cast<size_t>(c)] == name) return c;
  }
  return -1;
}

// The nearest byte; NaN and values outside 0..1 land on 0 or 255.
uint8_t ToByte(float v) {
  const float unit = v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;  // NaN fails both tests: 0
  return static_cast<uint8_t>(unit * 255.0f + 0.5f);
}

}  // namespace

const ImageModuleTable& Images() {
  static const ImageModuleTable* table = LoadImageModule();
  return *table;
}

namespace {

// The module's reason, in the program's words where it has some.
CommandError ReadError(const std::string& path, const std::string& reason) {
  if (reason.empty() || reason.find("not a file format") != std::string::npos ||
      reason.find("format reader") != std::string::npos) {
    return FileError(path, "not an image this program can read");
  }
  return FileError(path, reason);
}

// A plate from one of the module's readers, checked as every read is.
Plate ReadChecked(const std::string& path,
                  bool (*read)(const std::string&, Plate&, std::string&)) {
  CheckReadableFile(path);
  Plate plate;
  std::string reason;
  if (!read(path, plate, reason)) throw ReadError(path, reason);
  CheckSize(path, plate.width, plate.height);
  const ImageWindow frame = FrameWindow(plate);
  CheckSize(path, frame.width, frame.height);
  return plate;
}

}  // namespace

Plate ReadPlateHeader(const std::string& path) { return ReadChecked(path, Images().readHeader); }

Plate ReadPlate(const std::string& path) { return ReadChecked(path, Images().read); }

OutputFormat DescribeOutputFormat(const std::string& path) {
  OutputFormat format;
  std::string reason;
  if (!Images().describeOutput(path, format, reason)) {
    throw FileError(path, "no image format for this name (" + reason + ")");
  }
  return format;
}

void WritePlate(const std::string& path, const Plate& plate, SampleType type,
                const OutputTarget& target) {
  const std::string& format = target.formatName.empty() ? path : target.formatName;
  WriteFileOrThrow(
      path,
      [&](const std::string& file, std::string& reason) {
        return Images().write(format, file, plate, type, reason);
      },
      target.replaceReadOnly);
}

ColourChannels FindColourChannels(const Plate& plate) {
  const int32_t r = ChannelNamed(plate, "R"), g = ChannelNamed(plate, "G"),
                b = ChannelNamed(plate, "B");
  if (r >= 0 && g >= 0 && b >= 0) return {r, g, b};
  if (plate.channels >= 3) return {0, 1, 2};
  return {0, 0, 0};
}

Frame PlateToFrame(const Plate& plate) {
  const ColourChannels rgb = FindColourChannels(plate);
  Frame frame;
  frame.hasAlpha = plate.alphaChannel >= 0;
  frame.argb = testhost::Image(plate.width, plate.height);
  for (int32_t y = 0; y < plate.height; ++y) {
    for (int32_t x = 0; x < plate.width; ++x) {
      frame.argb.at(x, y) =
          PF_Pixel{frame.hasAlpha ? ToByte(plate.at(x, y, plate.alphaChannel)) : uint8_t{255},
                   ToByte(plate.at(x, y, rgb.red)), ToByte(plate.at(x, y, rgb.green)),
                   ToByte(plate.at(x, y, rgb.blue))};
    }
  }
  return frame;
}

Plate FrameToPlate(const Frame& frame) {
  Plate plate;
  plate.width = frame.argb.width;
  plate.height = frame.argb.height;
  plate.channels = frame.hasAlpha ? 4 : 3;
  plate.alphaChannel = frame.hasAlpha ? 3 : -1;
  plate.channelNames = {"R", "G", "B"};
  if (frame.hasAlpha) plate.channelNames.push_back("A");
  plate.samples.resize(frame.argb.pixels.size() * static_cast<size_t>(plate.channels));
  for (size_t i = 0; i < frame.argb.pixels.size(); ++i) {
    const PF_Pixel& p = frame.argb.pixels[i];
    float* q = &plate.samples[i * static_cast<size_t>(plate.channels)];
    q[0] = p.red / 255.0f;
    q[1] = p.green / 255.0f;
    q[2] = p.blue / 255.0f;
    if (frame.hasAlpha) q[3] = p.alpha / 255.0f;
  }
  return plate;
}

Frame ReadFrame(const std::string& path) { return PlateToFrame(OverFrameWindow(ReadPlate(path))); }

void WriteFrame(const std::string& path, const Frame& frame) {
  WritePlate(path, FrameToPlate(frame), SampleType::UInt8);
}

Frame BuiltInFrame(int width, int height) {
  Frame frame;
  frame.argb = testhost::Image(width, height);
  for (int y = 0; y < height; ++y) {
    const float t = height > 1 ? static_cast<float>(y) / static_cast<float>(height - 1) : 0.0f;
    for (int x = 0; x < width; ++x) {
      const float s = width > 1 ? static_cast<float>(x) / static_cast<float>(width - 1) : 0.0f;
      frame.argb.at(x, y) = PF_Pixel{255, static_cast<uint8_t>(6 + 18 * t + 6 * s),
                                     static_cast<uint8_t>(8 + 16 * t + 4 * s),
                                     static_cast<uint8_t>(16 + 30 * t)};
    }
  }
  return frame;
}

}  // namespace gw
