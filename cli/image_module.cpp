// The image module over OpenImageIO (see image_module.h).
#include "cli/image_module.h"

#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imagebufalgo.h>
#include <OpenImageIO/imageio.h>

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <string_view>

namespace gw {

struct ImageHeader {
  OIIO::ImageSpec fields;
};

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

// The file's header as a plate without samples: size, channels, windows.
bool PlateFromHeader(const OIIO::ImageInput& in, Plate& plate, std::string& reason) {
  const OIIO::ImageSpec& header = in.spec();
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
  plate.x = header.x;
  plate.y = header.y;
  if (header.full_width > 0 && header.full_height > 0) {
    plate.display = {header.full_x, header.full_y, header.full_width, header.full_height};
  }
  plate.format = in.format_name();
  plate.header = std::make_shared<const ImageHeader>(ImageHeader{header});
  return true;
}

std::unique_ptr<OIIO::ImageInput> OpenInput(const std::string& path, std::string& reason) {
  // Colours come as the file holds them: nothing is premultiplied on the way.
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  auto in = OIIO::ImageInput::open(path, &config);
  if (!in) reason = OIIO::geterror();
  return in;
}

// The library's first complaint in its own words, without the file's name
// it sometimes repeats.
std::string Cleaned(std::string text, const std::string& path) {
  text = text.substr(0, text.find('\n'));
  for (const std::string& quoted : {" (\"" + path + "\")", "\"" + path + "\"", path}) {
    for (size_t at; !quoted.empty() && (at = text.find(quoted)) != std::string::npos;) {
      text.erase(at, quoted.size());
      // "from image file . Unexpected end" reads "from image file. Unexpected end".
      const bool gap = at == text.size() || text[at] == ' ' ||
                       std::ispunct(static_cast<unsigned char>(text[at]));
      if (at > 0 && text[at - 1] == ' ' && gap) {
        text.erase(at - 1, 1);
      }
    }
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

bool ReadHeader(const std::string& path, Plate& plate, std::string& reason) try {
  auto in = OpenInput(path, reason);
  return in && PlateFromHeader(*in, plate, reason);
} catch (const std::exception& e) {
  reason = e.what();
  return false;
}

bool Read(const std::string& path, Plate& plate, std::string& reason) try {
  auto in = OpenInput(path, reason);
  if (!in || !PlateFromHeader(*in, plate, reason)) return false;
  // Size limits are the caller's; a plate this large could not be held anyway.
  const uint64_t count = uint64_t{static_cast<uint32_t>(plate.width)} *
                         static_cast<uint32_t>(plate.height) * static_cast<uint32_t>(plate.channels);
  if (count > (uint64_t{1} << 33)) {
    reason = std::to_string(plate.width) + " x " + std::to_string(plate.height) +
             " pixels is too large";
    return false;
  }
  plate.samples.resize(count);
  const bool read = in->read_image(0, 0, 0, plate.channels, OIIO::TypeDesc::FLOAT,
                                   plate.samples.data());
  // The readers report a file cut short or damaged as an error, or only as
  // a warning beside pixels they made up: either way the picture is not
  // the file's.
  std::string problem = in->geterror();
  if (problem.empty()) problem = OIIO::geterror();
  in->close();
  if (!read || !problem.empty()) {
    reason = "damaged or incomplete";
    if (!problem.empty()) reason += ": " + Cleaned(problem, path);
    plate.samples = {};
    return false;
  }
  return true;
} catch (const std::bad_alloc&) {
  reason = "not enough memory to hold the image";
  return false;
} catch (const std::exception& e) {
  reason = e.what();
  return false;
}

// A name without an extension (/dev/stdout, a FIFO) gets PNG.
std::unique_ptr<OIIO::ImageOutput> CreateOutput(const std::string& formatName,
                                                std::string& reason) {
  const size_t slash = formatName.find_last_of('/');
  const bool named = formatName.find('.', slash == std::string::npos ? 0 : slash) != std::string::npos;
  auto out = OIIO::ImageOutput::create(named ? formatName : std::string("png"));
  if (!out) {
    reason = OIIO::geterror();
    if (reason.empty()) reason = "no image format for this name";
  }
  return out;
}

// The sample types each writer keeps as asked (measured: the others are
// turned into one of these at open).
uint8_t TypesHeld(const std::string& format) {
  constexpr auto bit = [](SampleType t) { return static_cast<uint8_t>(1u << static_cast<int>(t)); };
  using enum SampleType;
  const struct {
    const char* name;
    uint8_t types;
  } kFormats[] = {
      {"openexr", bit(Half) | bit(Float)},
      {"tiff", bit(UInt8) | bit(UInt16) | bit(Float)},
      {"dpx", bit(UInt8) | bit(UInt16) | bit(Float)},
      {"png", bit(UInt8) | bit(UInt16)},
      {"sgi", bit(UInt8) | bit(UInt16)},
      {"jpeg2000", bit(UInt8) | bit(UInt16)},
      {"iff", bit(UInt8) | bit(UInt16)},
      {"fits", bit(UInt8) | bit(Half) | bit(Float)},
      {"jpeg", bit(UInt8)}, {"targa", bit(UInt8)}, {"bmp", bit(UInt8)}, {"webp", bit(UInt8)},
      {"gif", bit(UInt8)}, {"ico", bit(UInt8)}, {"heif", bit(UInt8)},
  };
  for (const auto& f : kFormats) {
    if (format == f.name) return f.types;
  }
  return bit(UInt8) | bit(UInt16) | bit(Half) | bit(Float);  // checked again at open
}

bool DescribeOutput(const std::string& formatName, OutputFormat& format, std::string& reason) try {
  const auto out = CreateOutput(formatName, reason);
  if (!out) return false;
  format.name = out->format_name();
  format.alpha = out->supports("alpha");
  format.anyChannels = out->supports("nchannels");
  format.types = TypesHeld(format.name);
  return true;
} catch (const std::exception& e) {
  reason = e.what();
  return false;
}

// The header the plate is written with: the file's own when it has one,
// with the plate's size, channels, windows and sample type. What belongs to
// another format or another depth (compression names, bits per sample) is
// left to the writer's defaults.
OIIO::ImageSpec HeaderFor(const Plate& plate, OIIO::TypeDesc type, const std::string& format) {
  OIIO::ImageSpec header = plate.header ? plate.header->fields : OIIO::ImageSpec();
  if (plate.header && plate.format != format) {
    header.erase_attribute("compression");
    header.erase_attribute("oiio:BitsPerSample");
  }
  if (plate.header && plate.header->fields.format != type) {
    header.erase_attribute("oiio:BitsPerSample");
  }
  header.width = plate.width;
  header.height = plate.height;
  header.depth = 1;
  header.nchannels = plate.channels;
  header.set_format(type);
  header.channelformats.clear();
  header.channelnames = plate.channelNames;
  header.alpha_channel = plate.alphaChannel;
  if (header.z_channel >= plate.channels) header.z_channel = -1;
  header.x = plate.x;
  header.y = plate.y;
  header.z = 0;
  const ImageWindow display = plate.DisplayWindow();
  header.full_x = display.x;
  header.full_y = display.y;
  header.full_z = 0;
  header.full_width = display.width;
  header.full_height = display.height;
  header.full_depth = 1;
  header.erase_attribute("oiio:UnassociatedAlpha");
  if (plate.alphaChannel >= 0 && !plate.premultiplied) {
    header.attribute("oiio:UnassociatedAlpha", 1);  // the colours are written as they are
  }
  // Writers stamp the time of writing where the header names none: the
  // plate's own stays, and none is added, so the same render writes the
  // same bytes.
  if (!header.find_attribute("DateTime")) header.attribute("DateTime", "");
  return header;
}

bool Write(const std::string& formatName, const std::string& file, const Plate& given,
           SampleType type, std::string& reason) try {
  auto out = CreateOutput(formatName, reason);
  if (!out) return false;
  const Plate* plate = &given;
  Plate fewer;
  const bool alphaFits = given.alphaChannel >= 0 && out->supports("alpha");
  const int32_t keep = given.channels <= 2 ? (alphaFits ? given.channels : 1)
                                           : (alphaFits && given.alphaChannel == 3 ? 4 : 3);
  if (given.channels > keep && !out->supports("nchannels")) {
    fewer = FirstChannels(given, keep);
    plate = &fewer;
  }
  const OIIO::TypeDesc wanted = ToTypeDesc(type);
  const OIIO::ImageSpec header = HeaderFor(*plate, wanted, out->format_name());
  if (!out->open(file, header)) {
    reason = out->geterror();
    return false;
  }
  if (out->spec().format != wanted) {
    reason = std::string(out->format_name()) + " cannot hold " + wanted.c_str() + " samples";
    out->close();
    return false;
  }
  if (!out->write_image(OIIO::TypeDesc::FLOAT, plate->samples.data()) || !out->close()) {
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

// libpng writes "libpng error: ..." on C's standard error for every read
// error, after OpenImageIO has taken the same words for the reason the
// program reports with the file's name. C's stderr is replaced by a stream
// that drops those lines and hands every other byte to descriptor 2 as it
// comes (std::cerr writes there directly and is untouched).
constexpr std::string_view kLibpngEcho = "libpng error: ";

ssize_t PassToDescriptor2(const char* data, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::write(STDERR_FILENO, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(size);
}

// Called under the stream's lock, one write at a time.
ssize_t WithoutLibpngEchoes(void* cookie, const char* data, size_t size) {
  std::string& pending = *static_cast<std::string*>(cookie);
  pending.append(data, size);
  while (!pending.empty()) {
    const bool echo = pending.starts_with(kLibpngEcho);
    if (!echo && kLibpngEcho.starts_with(pending)) break;  // may yet become one
    const size_t end = pending.find('\n');
    if (echo && end == std::string::npos) break;  // its newline comes in the next write
    const size_t length = end == std::string::npos ? pending.size() : end + 1;
    if (!echo && PassToDescriptor2(pending.data(), length) < 0) {
      pending.clear();
      return -1;
    }
    pending.erase(0, length);
  }
  return static_cast<ssize_t>(size);
}

void DropLibpngEchoes() {
  // Kept to the process's very end: stderr may be written after static destructors.
  static std::string* pending = new std::string;
  const cookie_io_functions_t io{nullptr, &WithoutLibpngEchoes, nullptr, nullptr};
  if (std::FILE* filtered = fopencookie(pending, "w", io)) {
    std::setvbuf(filtered, nullptr, _IONBF, 0);
    stderr = filtered;
  }
}

constexpr ImageModuleTable kTable{kImageModuleVersion, &Read,   &ReadHeader, &Write,
                                  &DescribeOutput,     &Resize, &DrawText};

}  // namespace
}  // namespace gw

extern "C" __attribute__((visibility("default"))) const gw::ImageModuleTable*
GlarewrightImageModule() {
  static const bool quiet = (gw::DropLibpngEchoes(), true);
  (void)quiet;
  return &gw::kTable;
}
