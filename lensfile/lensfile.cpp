#include "lensfile/lensfile.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "lens/byte_order.h"

namespace gw {
namespace {

constexpr size_t kLargestFile =
    kLensFileHeaderSize + size_t{kLensFileRecordSize} * kMaxElements;

// The record's 16-bit fields from `type` on, and its seven reals, in file order.
int16_t LensElement::*const kShortFields[] = {
    &LensElement::type,    &LensElement::iparam0, &LensElement::iparam1, &LensElement::iparam2,
    &LensElement::iparam3, &LensElement::iparam4, &LensElement::iparam5};
float LensElement::*const kRealFields[] = {
    &LensElement::brightness, &LensElement::scale,  &LensElement::angle, &LensElement::spread,
    &LensElement::position,   &LensElement::spare1, &LensElement::spare2};

void EncodeRecord(const LensElement& e, uint8_t* p) {
  for (auto field : kShortFields) {
    WriteBigEndian16(p, static_cast<uint16_t>(e.*field));
    p += 2;
  }
  for (auto field : kRealFields) {
    WriteBigEndian32(p, FloatBits(e.*field));
    p += 4;
  }
  *p++ = e.anamorphic;
  *p++ = e.option;
  *p++ = e.color1.r;
  *p++ = e.color1.g;
  *p++ = e.color1.b;
  *p++ = e.color2.r;
  *p++ = e.color2.g;
  *p++ = e.color2.b;
  std::memcpy(p, e.name, kNameFieldSize);
  // Byte 0 of the name field holds the number of characters.
  p[0] = static_cast<uint8_t>(strnlen(e.name + 1, kNameFieldSize - 1));
}

void DecodeRecord(const uint8_t* p, LensElement& e) {
  for (auto field : kShortFields) {
    e.*field = static_cast<int16_t>(ReadBigEndian16(p));
    p += 2;
  }
  for (auto field : kRealFields) {
    e.*field = FloatFromBits(ReadBigEndian32(p));
    p += 4;
  }
  e.anamorphic = *p++;
  e.option = *p++;
  e.color1 = {p[0], p[1], p[2]};
  e.color2 = {p[3], p[4], p[5]};
  p += 6;
  std::memcpy(e.name, p, kNameFieldSize);
  // A name with no terminator ends at the field's end, cut to 62 characters.
  if (std::memchr(e.name + 1, 0, kNameFieldSize - 1) == nullptr) {
    e.name[kNameFieldSize - 1] = '\0';
  }
  e.enabled = 1;
}

}  // namespace

std::vector<uint8_t> EncodeLensFile(const Lens& lens) {
  const uint32_t count = UsableCount(lens);
  std::vector<uint8_t> bytes(kLensFileHeaderSize + size_t{kLensFileRecordSize} * count);
  WriteBigEndian32(bytes.data(), uint32_t{kLensFileSignature} << 16);
  WriteBigEndian32(bytes.data() + 4, count);
  for (uint32_t i = 0; i < count; ++i) {
    EncodeRecord(lens.elements[i],
                 bytes.data() + kLensFileHeaderSize + size_t{kLensFileRecordSize} * i);
  }
  return bytes;
}

int32_t DecodeLensFile(std::span<const uint8_t> bytes, Lens& lens, bool append) {
  if (bytes.size() < 4) return kLensFileNotALensFile;
  const uint32_t head = ReadBigEndian32(bytes.data());
  if ((head >> 16) != kLensFileSignature) return kLensFileNotALensFile;
  if ((head & 0xffffu) != 0) return kLensFileWrongVersion;
  if (bytes.size() < kLensFileHeaderSize) return kLensFileTruncated;

  const uint32_t n = ReadBigEndian32(bytes.data() + 4);
  const uint32_t first = append ? UsableCount(lens) : 0;
  if (n > kMaxElements - first) return kLensFileTooManyElements;
  if ((bytes.size() - kLensFileHeaderSize) / kLensFileRecordSize < n) return kLensFileTruncated;

  // Read into a scratch copy so that a refused file changes nothing; slots
  // keep the fields the file does not carry.
  Lens scratch = lens;
  scratch.count = first + n;
  for (uint32_t i = 0; i < n; ++i) {
    DecodeRecord(bytes.data() + kLensFileHeaderSize + size_t{kLensFileRecordSize} * i,
                 scratch.elements[first + i]);
  }
  lens = scratch;
  return kLensFileOk;
}

Lens LensForLoading() {
  Lens lens{};
  for (LensElement& slot : lens.elements) slot.color1Extra = slot.color2Extra = 255;
  return lens;
}

int32_t SaveLensFile(const char* path, const Lens& lens, const SafeWriteOptions& options) {
  return WriteBytesSafely(path, EncodeLensFile(lens), options).status;
}

int32_t LoadLensFile(const char* path, Lens& lens, bool append) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return kLensFileCannotOpen;
  // Nothing past the largest lens can matter.
  std::vector<uint8_t> bytes(kLargestFile);
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return kLensFileCannotOpen;
  bytes.resize(got);
  return DecodeLensFile(bytes, lens, append);
}

const char* LensFileStatusMessage(int32_t status) {
  switch (status) {
    case kLensFileOk: return "no error";
    case kLensFileCannotOpen: return "the file cannot be opened or created";
    case kLensFileWrongVersion: return "a lens file of an unknown version";
    case kLensFileNotALensFile: return "not a lens file";
    case kLensFileTooManyElements: return "the lens would hold more than 100 elements";
    case kLensFileTruncated: return "the file is cut short";
    case kLensFileWriteFailed: return "the file could not be written completely";
    default: return "unknown lens file error";
  }
}

}  // namespace gw
