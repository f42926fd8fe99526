#include "cli/image_io.h"

#include <OpenImageIO/imageio.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "cli/errors.h"

namespace gw {
namespace {

std::string TemporaryBeside(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return dir + "." + name + ".partial-" + std::to_string(getpid());
}

void CheckSize(const std::string& path, int width, int height) {
  if (width <= 0 || height <= 0) throw FileError(path, "the image has no pixels");
  if (width > kMaxImageSide || height > kMaxImageSide) {
    throw FileError(path, std::to_string(width) + " x " + std::to_string(height) +
                              " pixels is larger than " + std::to_string(kMaxImageSide) +
                              " on a side");
  }
}

}  // namespace

Frame ReadFrame(const std::string& path) {
  // Pixels go to the plug-in as the file holds them: no premultiplying.
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  auto in = OIIO::ImageInput::open(path, &config);
  if (!in) {
    std::string why = OIIO::geterror();
    throw FileError(path, why.empty() ? "cannot be read as an image" : why);
  }
  const OIIO::ImageSpec& format = in->spec();
  CheckSize(path, format.width, format.height);
  const int channels = format.nchannels;
  std::vector<uint8_t> pixels(static_cast<size_t>(format.width) * format.height * channels);
  if (!in->read_image(0, 0, 0, channels, OIIO::TypeDesc::UINT8, pixels.data())) {
    throw FileError(path, in->geterror());
  }
  in->close();

  Frame frame;
  int alpha = format.alpha_channel;
  if (alpha < 0 && (channels == 2 || channels >= 4)) alpha = channels == 2 ? 1 : 3;
  frame.hasAlpha = alpha >= 0 && alpha < channels;
  frame.argb = testhost::Image(format.width, format.height);
  const bool grey = channels <= 2;
  for (size_t i = 0; i < frame.argb.pixels.size(); ++i) {
    const uint8_t* p = &pixels[i * channels];
    PF_Pixel& q = frame.argb.pixels[i];
    q.alpha = frame.hasAlpha ? p[alpha] : 255;
    q.red = p[0];
    q.green = grey ? p[0] : p[1];
    q.blue = grey ? p[0] : p[2];
  }
  return frame;
}

void WriteFrame(const std::string& path, const Frame& frame) {
  auto out = OIIO::ImageOutput::create(path);
  if (!out) {
    std::string why = OIIO::geterror();
    throw FileError(path, why.empty() ? "no image format for this name" : why);
  }
  const bool alpha = frame.hasAlpha && out->supports("alpha");
  const int channels = alpha ? 4 : 3;
  const testhost::Image& image = frame.argb;
  std::vector<uint8_t> pixels(static_cast<size_t>(image.width) * image.height * channels);
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    const PF_Pixel& p = image.pixels[i];
    uint8_t* q = &pixels[i * channels];
    q[0] = p.red;
    q[1] = p.green;
    q[2] = p.blue;
    if (alpha) q[3] = p.alpha;
  }
  OIIO::ImageSpec format(image.width, image.height, channels, OIIO::TypeDesc::UINT8);
  if (alpha) {
    format.alpha_channel = 3;
    format.attribute("oiio:UnassociatedAlpha", 1);  // the colours are written as they are
  }
  const std::string partial = TemporaryBeside(path);
  bool ok = out->open(partial, format) &&
            out->write_image(OIIO::TypeDesc::UINT8, pixels.data()) && out->close();
  if (!ok || std::rename(partial.c_str(), path.c_str()) != 0) {
    std::string why = out->geterror();
    std::remove(partial.c_str());
    throw FileError(path, "cannot be written" + (why.empty() ? "" : ": " + why));
  }
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
