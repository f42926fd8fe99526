// The image module over OpenImageIO (see image_module.h).
#include "cli/image_module.h"

#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imagebufalgo.h>
#include <OpenImageIO/imageio.h>

#include <exception>
#include <memory>

namespace gw {
namespace {

// Tried in this order; the first that the text renderer finds is used.
constexpr const char* kLabelFonts[] = {"DejaVuSans", ""};

OIIO::TypeDesc ToTypeDesc(SampleType type) {
  switch (type) {
    case SampleType::UInt8: return OIIO::TypeDesc::UINT8;
    case SampleType::UInt16: return OIIO::TypeDesc::UINT16;
    case SampleType::Half: return OIIO::TypeDesc::HALF;
    case SampleType::Float: return OIIO::TypeDesc::FLOAT;
  }
  return OIIO::TypeDesc::FLOAT;
}

// The nearest of our four types that holds every value of the file's type.
SampleType FromTypeDesc(OIIO::TypeDesc type) {
  if (type == OIIO::TypeDesc::UINT8) return SampleType::UInt8;
  if (type == OIIO::TypeDesc::UINT16 || type == OIIO::TypeDesc::INT8) return SampleType::UInt16;
  if (type == OIIO::TypeDesc::HALF) return SampleType::Half;
  return SampleType::Float;
}

OIIO::ImageSpec SpecOf(const Plate& plate, OIIO::TypeDesc type) {
  OIIO::ImageSpec header(plate.width, plate.height, plate.channels, type);
  header.channelnames = plate.channelNames;
  header.alpha_channel = plate.alphaChannel;
  return header;
}

// The plate's colour and alpha channels alone, for formats that take no more.
Plate FirstChannels(const Plate& plate, int32_t keep) {
  Plate out = plate;
  out.channels = keep;
  out.channelNames.resize(static_cast<size_t>(keep));
  if (out.alphaChannel >= keep) out.alphaChannel = -1;
  out.samples.resize(static_cast<size_t>(plate.width) * plate.height * keep);
  for (size_t p = 0; p < static_cast<size_t>(plate.width) * plate.height; ++p) {
    for (int32_t c = 0; c < keep; ++c) out.samples[p * keep + c] = plate.samples[p * plate.channels + c];
  }
  return out;
}

bool Read(const std::string& path, Plate& plate, std::string& reason) try {
  // Colours come as the file holds them: nothing is premultiplied on the way.
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  auto in = OIIO::ImageInput::open(path, &config);
  if (!in) {
    reason = OIIO::geterror();
    return false;
  }
  const OIIO::ImageSpec& header = in->spec();
  plate = Plate{};
  plate.width = header.width;
  plate.height = header.height;
  plate.channels = header.nchannels;
  if (plate.width <= 0 || plate.height <= 0 || plate.channels <= 0) {
    reason = "the image has no pixels";
    return false;
  }
  plate.type = FromTypeDesc(header.format);
  plate.channelNames = header.channelnames;
  plate.channelNames.resize(static_cast<size_t>(plate.channels));
  int alpha = header.alpha_channel;
  if (alpha < 0 && (plate.channels == 2 || plate.channels == 4)) alpha = plate.channels - 1;
  plate.alphaChannel = alpha < plate.channels ? alpha : -1;
  plate.premultiplied =
      plate.alphaChannel >= 0 && header.get_int_attribute("oiio:UnassociatedAlpha", 0) == 0;
  // Size limits are the caller's; a plate this large could not be held anyway.
  const uint64_t count = uint64_t{static_cast<uint32_t>(plate.width)} *
                         static_cast<uint32_t>(plate.height) * static_cast<uint32_t>(plate.channels);
  if (count > (uint64_t{1} << 33)) {
    reason = std::to_string(plate.width) + " x " + std::to_string(plate.height) +
             " pixels is too large";
    return false;
  }
  plate.samples.resize(count);
  if (!in->read_image(0, 0, 0, plate.channels, OIIO::TypeDesc::FLOAT, plate.samples.data())) {
    reason = in->geterror();
    return false;
  }
  in->close();
  return true;
} catch (const std::bad_alloc&) {
  reason = "not enough memory to hold the image";
  return false;
} catch (const std::exception& e) {
  reason = e.what();
  return false;
}

bool Write(const std::string& formatName, const std::string& file, const Plate& given,
           SampleType type, std::string& reason) try {
  // A name without an extension (/dev/stdout, a FIFO) gets PNG.
  const size_t slash = formatName.find_last_of('/');
  const bool named = formatName.find('.', slash == std::string::npos ? 0 : slash) != std::string::npos;
  auto out = OIIO::ImageOutput::create(named ? formatName : std::string("png"));
  if (!out) {
    reason = OIIO::geterror();
    if (reason.empty()) reason = "no image format for this name";
    return false;
  }
  const Plate* plate = &given;
  Plate fewer;
  const bool alphaFits = given.alphaChannel >= 0 && out->supports("alpha");
  const int32_t keep = given.channels <= 2 ? (alphaFits ? given.channels : 1)
                                           : (alphaFits && given.alphaChannel == 3 ? 4 : 3);
  if (given.channels > keep && !out->supports("nchannels")) {
    fewer = FirstChannels(given, keep);
    plate = &fewer;
  }
  OIIO::ImageSpec header = SpecOf(*plate, ToTypeDesc(type));
  if (plate->alphaChannel >= 0 && !plate->premultiplied) {
    header.attribute("oiio:UnassociatedAlpha", 1);  // the colours are written as they are
  }
  if (!out->open(file, header) ||
      !out->write_image(OIIO::TypeDesc::FLOAT, plate->samples.data()) || !out->close()) {
    reason = out->geterror();
    return false;
  }
  return true;
} catch (const std::bad_alloc&) {
  reason = "not enough memory to write the image";
  return false;
} catch (const std::exception& e) {
  reason = e.what();
  return false;
}

bool Resize(const Plate& in, int32_t width, int32_t height, Plate& out, std::string& reason) try {
  OIIO::ImageBuf source(SpecOf(in, OIIO::TypeDesc::FLOAT), const_cast<float*>(in.samples.data()));
  const OIIO::ImageBuf resized = OIIO::ImageBufAlgo::resize(
      source, "", 0.0f, OIIO::ROI(0, width, 0, height, 0, 1, 0, in.channels));
  if (resized.has_error()) {
    reason = resized.geterror();
    return false;
  }
  out = in;
  out.width = width;
  out.height = height;
  out.samples.assign(static_cast<size_t>(width) * height * in.channels, 0.0f);
  return resized.get_pixels(OIIO::ROI(0, width, 0, height, 0, 1, 0, in.channels),
                            OIIO::TypeDesc::FLOAT, out.samples.data());
} catch (const std::exception& e) {
  reason = e.what();
  return false;
}

bool DrawText(Plate& plate, int32_t x, int32_t y, const std::string& text, int32_t size,
              const float colour[3], std::string& reason) try {
  OIIO::ImageBuf canvas(SpecOf(plate, OIIO::TypeDesc::FLOAT), plate.samples.data());
  const float rgba[4] = {colour[0], colour[1], colour[2], 1.0f};
  for (const char* font : kLabelFonts) {
    if (OIIO::ImageBufAlgo::render_text(canvas, x, y, text, size, font, rgba)) return true;
  }
  reason = "no font for the labels (install fonts-dejavu-core): " + canvas.geterror();
  return false;
} catch (const std::exception& e) {
  reason = e.what();
  return false;
}

constexpr ImageModuleTable kTable{kImageModuleVersion, &Read, &Write, &Resize, &DrawText};

}  // namespace
}  // namespace gw

extern "C" __attribute__((visibility("default"))) const gw::ImageModuleTable*
GlarewrightImageModule() {
  return &gw::kTable;
}
