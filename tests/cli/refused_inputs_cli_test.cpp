// Inputs a render must refuse before it writes anything: pictures the image
// library reads only in part, and pictures too large for this machine.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cli/image_io.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

// Noise, which no format compresses much: a cut file loses rows.
Plate Noise(int width, int height, SampleType type) {
  Plate plate;
  plate.width = width;
  plate.height = height;
  plate.channels = 3;
  plate.type = type;
  plate.channelNames = {"R", "G", "B"};
  plate.samples.resize(static_cast<size_t>(width) * height * 3);
  uint32_t state = 12345;
  for (float& v : plate.samples) {
    state = state * 1664525u + 1013904223u;
    v = static_cast<float>(state >> 24) / 255.0f;
  }
  return plate;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// The file's first half.
std::string CutInHalf(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  const std::string cut = path.substr(0, path.rfind('.')) + "_cut" + path.substr(path.rfind('.'));
  WriteBytes(cut, bytes.substr(0, bytes.size() / 2));
  return cut;
}

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xffffffffu;
  for (const char c : bytes) {
    crc ^= static_cast<uint8_t>(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string BigEndian(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

std::string Chunk(const std::string& type, const std::string& data) {
  return BigEndian(static_cast<uint32_t>(data.size())) + type + data + BigEndian(Crc32(type + data));
}

// A PNG of a few dozen bytes whose header claims 30000 x 30000 RGBA pixels.
std::string HugePngHeader() {
  const std::string header = BigEndian(30000) + BigEndian(30000) + std::string("\x08\x06\0\0\0", 5);
  const std::string zeros("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9);  // one zero byte, deflated
  return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", zeros) +
         Chunk("IEND", "");
}

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST(RefusedInputsCli, APictureReadOnlyInPartIsRefusedAndNothingWritten) {
  const std::string jpeg = TempPath("noise.jpg"), tiff = TempPath("noise_float.tif"),
                    png = TempPath("noise.png"), exr = TempPath("noise.exr");
  WritePlate(jpeg, Noise(640, 480, SampleType::UInt8), SampleType::UInt8);
  WritePlate(tiff, Noise(640, 360, SampleType::Float), SampleType::Float);
  WritePlate(png, Noise(320, 180, SampleType::UInt16), SampleType::UInt16);
  WritePlate(exr, Noise(320, 180, SampleType::Half), SampleType::Half);
  for (const std::string& whole : {jpeg, tiff, png, exr}) {
    const std::string cut = CutInHalf(whole), out = TempPath("from_cut.png");
    std::remove(out.c_str());
    ASSERT_EQ(RunProgram("render " + Quote(whole) + " -o " + Quote(out) + " --depth uint8 -q").exitCode, 0);
    std::remove(out.c_str());
    const ProgramResult r = RunProgram("render " + Quote(cut) + " -o " + Quote(out) + " --depth uint8 -q");
    EXPECT_EQ(r.exitCode, 1) << cut;
    EXPECT_EQ(r.err.find("glarewright: " + cut + ": damaged or incomplete: "), 0u) << r.err;
    EXPECT_EQ(Lines(r.err), 1u) << r.err;
    EXPECT_EQ(r.err.find(" ."), std::string::npos) << r.err;  // no gap where the name was
    EXPECT_FALSE(Exists(out)) << cut;
  }
  // A PNG whose compressed rows are damaged while every chunk's checksum
  // holds: libpng's own "libpng error:" line is not repeated on stderr.
  std::string bytes = ReadWholeFile(png);
  const size_t idat = bytes.find("IDAT");
  ASSERT_NE(idat, std::string::npos);
  const uint32_t length = static_cast<uint32_t>(static_cast<uint8_t>(bytes[idat - 4])) << 24 |
                          static_cast<uint8_t>(bytes[idat - 3]) << 16 |
                          static_cast<uint8_t>(bytes[idat - 2]) << 8 |
                          static_cast<uint8_t>(bytes[idat - 1]);
  std::string data = bytes.substr(idat + 4, length);
  for (size_t i = 2; i < data.size(); i += 97) data[i] = static_cast<char>(data[i] ^ 0x5a);
  bytes.replace(idat - 4, length + 12, Chunk("IDAT", data));
  const std::string scrambled = TempPath("noise_scrambled.png"), scrambledOut = TempPath("scrambled_out.png");
  WriteBytes(scrambled, bytes);
  const ProgramResult s = RunProgram("render " + Quote(scrambled) + " -o " + Quote(scrambledOut) + " -q");
  EXPECT_EQ(s.exitCode, 1);
  EXPECT_EQ(s.err.find("glarewright: " + scrambled + ": damaged or incomplete: "), 0u) << s.err;
  EXPECT_EQ(s.err.find("libpng"), std::string::npos) << s.err;
  EXPECT_EQ(Lines(s.err), 1u) << s.err;
  EXPECT_FALSE(Exists(scrambledOut));
  // A layer image alike.
  const std::string out = TempPath("layer_cut.png");
  const ProgramResult r = RunProgram("render -o " + Quote(out) + " --size 64x36 --location-layer " +
                                     Quote(TempPath("noise_cut.jpg")) + " -q");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("noise_cut.jpg: damaged or incomplete"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(out));
}

TEST(RefusedInputsCli, APictureTooLargeForMemoryIsRefusedFromItsHeader) {
  const std::string huge = TempPath("huge.png"), out = TempPath("huge_out.png");
  WriteBytes(huge, HugePngHeader());
  std::remove(out.c_str());
  ASSERT_LT(ReadWholeFile(huge).size(), 200u);
  ProgramResult r = RunProgram("render " + Quote(huge) + " -o " + Quote(out) + " -q");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.find("glarewright: " + huge + ": a frame of 30000 x 30000 pixels (4 channels) "
                       "needs about "), 0u) << r.err;
  EXPECT_NE(r.err.find("free (--memory-limit SIZE sets another limit)"), std::string::npos) << r.err;
  EXPECT_EQ(Lines(r.err), 1u) << r.err;
  EXPECT_FALSE(Exists(out));

  // The limit can be lowered, and raised.
  const std::string small = TempPath("limit_in.png");
  WritePlate(small, Noise(1000, 1000, SampleType::UInt8), SampleType::UInt8);
  r = RunProgram("render " + Quote(small) + " -o " + Quote(out) + " --memory-limit 50M -q");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("needs about"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("; --memory-limit allows 50 MB"), std::string::npos) << r.err;
  r = RunProgram("render " + Quote(small) + " -o " + Quote(out) +
                 " --memory-limit 2G --brightness 0 -q");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  r = RunProgram("render " + Quote(small) + " -o " + Quote(out) + " --memory-limit 12 -q");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("--memory-limit: '12' is not a size such as 16G or 800M"), std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace gw
