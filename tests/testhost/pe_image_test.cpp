// The PE reader behind the Windows modules' "exports only main" check, on a
// small DLL image built here byte by byte.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/pe_image.h"

namespace gw::testing {
namespace {

constexpr uint32_t kPe = 0x40, kSectionFile = 0x200, kSectionRva = 0x1000;
constexpr uint32_t kExportDir = 0x1000, kNames = 0x1028, kMainName = 0x1030;
constexpr uint32_t kImportDir = 0x1040, kDllName = 0x1070;

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, static_cast<uint16_t>(v));
  Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}
void PutText(std::vector<uint8_t>& b, size_t at, const char* text) {
  std::memcpy(&b[at], text, std::strlen(text) + 1);
}
size_t FileOf(uint32_t rva) { return kSectionFile + (rva - kSectionRva); }

// A 32-bit DLL exporting `main` and importing from KERNEL32.dll.
std::vector<uint8_t> SmallDll() {
  std::vector<uint8_t> b(0x300, 0);
  b[0] = 'M', b[1] = 'Z';
  Put32(b, 0x3C, kPe);
  PutText(b, kPe, "PE");
  const size_t coff = kPe + 4, optional = coff + 20;
  Put16(b, coff, 0x14C);     // i386
  Put16(b, coff + 2, 1);     // one section
  Put16(b, coff + 16, 224);  // the PE32 optional header with 16 directories
  Put16(b, optional, 0x10B);
  Put32(b, optional + 96, kExportDir);
  Put32(b, optional + 100, 40);
  Put32(b, optional + 104, kImportDir);
  Put32(b, optional + 108, 40);
  const size_t section = optional + 224;
  PutText(b, section, ".rdata");
  Put32(b, section + 8, 0x100);   // virtual size
  Put32(b, section + 12, kSectionRva);
  Put32(b, section + 16, 0x100);  // raw size
  Put32(b, section + 20, kSectionFile);
  Put32(b, FileOf(kExportDir) + 24, 1);  // one name
  Put32(b, FileOf(kExportDir) + 32, kNames);
  Put32(b, FileOf(kNames), kMainName);
  PutText(b, FileOf(kMainName), "main");
  Put32(b, FileOf(kImportDir) + 12, kDllName);  // then an all-zero descriptor
  PutText(b, FileOf(kDllName), "KERNEL32.dll");
  return b;
}

TEST(PeImage, ReadsTheExportAndImportTables) {
  std::string error;
  const auto tables = ReadPeTables(SmallDll(), error);
  ASSERT_TRUE(tables) << error;
  EXPECT_EQ(tables->exports, std::vector<std::string>{"main"});
  EXPECT_EQ(tables->imports, std::vector<std::string>{"KERNEL32.dll"});
}

TEST(PeImage, RefusesDamagedFilesWithoutReadingOutside) {
  std::string error;
  EXPECT_FALSE(ReadPeTables({}, error));
  EXPECT_FALSE(ReadPeTables({'M', 'Z'}, error));

  std::vector<uint8_t> far = SmallDll();
  Put32(far, 0x3C, 0xFFFFFFF0u);  // the PE header beyond the end
  EXPECT_FALSE(ReadPeTables(far, error));
  EXPECT_EQ(error, "no PE signature");

  std::vector<uint8_t> cut = SmallDll();
  cut.resize(FileOf(kNames));  // the name table cut off
  EXPECT_FALSE(ReadPeTables(cut, error));
  EXPECT_EQ(error, "export names outside the file");

  std::vector<uint8_t> many = SmallDll();
  Put32(many, FileOf(kExportDir) + 24, 0x7FFFFFFF);  // a count no file holds
  EXPECT_FALSE(ReadPeTables(many, error));

  std::vector<uint8_t> stray = SmallDll();
  Put32(stray, FileOf(kImportDir) + 12, 0x9000);  // a name in no section
  EXPECT_FALSE(ReadPeTables(stray, error));
  EXPECT_EQ(error, "an import name outside the file");
}

}  // namespace
}  // namespace gw::testing
