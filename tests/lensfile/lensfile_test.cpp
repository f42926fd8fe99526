#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#endif

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lens/byte_order.h"
#include "lensfile/lensfile.h"

namespace gw {
namespace {

std::string TempPath(const std::string& name) { return std::string(GW_TEST_TMPDIR) + "/" + name; }

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A temporary of a save to `path` left in its folder.
bool TemporaryLeftFor(const std::string& path) {
  const std::filesystem::path target(path);
  const std::string prefix = std::string(".") + target.filename().string() + ".partial";
  for (const auto& entry : std::filesystem::directory_iterator(target.parent_path())) {
    if (entry.path().filename().string().rfind(prefix, 0) == 0) return true;
  }
  return false;
}

Lens DefaultLens() {
  Lens lens{};
  BuildDefaultLens(lens);
  return lens;
}

// A lens whose every stored field holds an unusual value.
Lens OddLens(uint32_t count) {
  Lens lens{};
  lens.count = count;
  for (uint32_t i = 0; i < count; ++i) {
    LensElement& e = lens.elements[i];
    InitElement(static_cast<int16_t>(i % 23), e);
    e.brightness = FloatFromBits(0x7fa00001u + i);  // NaN payloads
    e.scale = -0.0f;
    e.angle = FloatFromBits(1u + i);                // denormals
    e.spread = INFINITY;
    e.position = -1.0f / 7.0f;
    e.spare1 = 3.4e38f;
    e.spare2 = static_cast<float>(i);
    e.iparam0 = -32768;
    e.iparam1 = 32767;
    e.iparam2 = static_cast<int16_t>(-static_cast<int>(i));
    e.iparam3 = 0x0102;
    e.iparam4 = static_cast<int16_t>(0xfedc);
    e.iparam5 = static_cast<int16_t>(i * 300);
    e.anamorphic = 255;
    e.option = 2;
    e.enabled = 0;  // loading switches every element on
    e.color1 = {static_cast<uint8_t>(i), 0, 255};
    e.color2 = {9, 8, static_cast<uint8_t>(i * 3)};
    SetElementName(e, std::string(i % 63, static_cast<char>('A' + i % 26)));
  }
  return lens;
}

TEST(LensFile, EmptyLensIsEightBytes) {
  const std::string path = TempPath("empty.gwr");
  Lens lens{};
  ASSERT_EQ(SaveLensFile(path.c_str(), lens), kLensFileOk);
  EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{0x47, 0x57, 0, 0, 0, 0, 0, 0}));
  Lens replaced = DefaultLens();
  EXPECT_EQ(LoadLensFile(path.c_str(), replaced, false), kLensFileOk);
  EXPECT_EQ(replaced.count, 0u);
  Lens appended = DefaultLens();
  const Lens before = appended;
  EXPECT_EQ(LoadLensFile(path.c_str(), appended, true), kLensFileOk);
  EXPECT_EQ(std::memcmp(&appended, &before, sizeof before), 0);
  EXPECT_FALSE(TemporaryLeftFor(path));
}

TEST(LensFile, RecordLayout) {
  Lens lens{};
  lens.count = 1;
  LensElement& e = lens.elements[0];
  InitElement(static_cast<int16_t>(ElementType::Stripe), e);
  e.brightness = 1.0f;
  e.color1 = {0x11, 0x22, 0x33};
  e.color2 = {0x44, 0x55, 0x66};
  const std::vector<uint8_t> b = EncodeLensFile(lens);
  ASSERT_EQ(b.size(), 8u + 114u);
  EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 8),
            (std::vector<uint8_t>{0x47, 0x57, 0, 0, 0, 0, 0, 1}));
  const uint8_t* r = b.data() + 8;
  EXPECT_EQ(r[0], 0);
  EXPECT_EQ(r[1], 10);  // type
  EXPECT_EQ(r[4], 0);
  EXPECT_EQ(r[5], 1);   // iparam1 of a Stripe
  EXPECT_EQ(r[12], 0x01);
  EXPECT_EQ(r[13], 0x2c);  // iparam5 300
  EXPECT_EQ(std::vector<uint8_t>(r + 14, r + 18), (std::vector<uint8_t>{0x3f, 0x80, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(r + 18, r + 22), (std::vector<uint8_t>{0x3f, 0x40, 0, 0}));
  EXPECT_EQ(r[42], 0);     // anamorphic
  EXPECT_EQ(r[43], 1);     // option
  EXPECT_EQ(std::vector<uint8_t>(r + 44, r + 50),
            (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44, 0x55, 0x66}));
  EXPECT_EQ(r[50], 6);     // "Stripe"
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 51)), "Stripe");
}

TEST(LensFile, RoundTripKeepsEveryStoredFieldAndEnablesEveryElement) {
  const std::string path = TempPath("odd.gwr");
  const Lens saved = OddLens(100);
  ASSERT_EQ(SaveLensFile(path.c_str(), saved), kLensFileOk);
  EXPECT_EQ(ReadAll(path).size(), 11408u);
  Lens loaded{};
  ASSERT_EQ(LoadLensFile(path.c_str(), loaded, false), kLensFileOk);
  ASSERT_EQ(loaded.count, 100u);
  for (uint32_t i = 0; i < 100; ++i) {
    const LensElement& a = saved.elements[i];
    const LensElement& b = loaded.elements[i];
    EXPECT_EQ(std::memcmp(&a, &b, 44), 0) << i;  // reals and shorts, bit for bit
    EXPECT_EQ(b.enabled, 1);
    EXPECT_EQ(std::memcmp(&a.color1, &b.color1, 3), 0);
    EXPECT_EQ(std::memcmp(&a.color2, &b.color2, 3), 0);
    EXPECT_EQ(ElementName(a), ElementName(b));
    EXPECT_EQ(static_cast<uint8_t>(b.name[0]), ElementName(a).size());  // file's length byte
  }
  // Saving what was loaded gives the same bytes.
  const std::string again = TempPath("odd2.gwr");
  ASSERT_EQ(SaveLensFile(again.c_str(), loaded), kLensFileOk);
  EXPECT_EQ(ReadAll(again), ReadAll(path));
}

TEST(LensFile, EmptyNameKeepsLengthZeroOnEverySave) {
  Lens lens{};
  lens.count = 1;
  InitElement(0, lens.elements[0]);
  SetElementName(lens.elements[0], "");
  std::vector<uint8_t> b = EncodeLensFile(lens);
  EXPECT_EQ(b[8 + 50], 0);
  Lens loaded{};
  ASSERT_EQ(DecodeLensFile(b, loaded, false), kLensFileOk);
  b = EncodeLensFile(loaded);
  EXPECT_EQ(b[8 + 50], 0);
}

TEST(LensFile, WrongVersionAndWrongSignatureLeaveTheLens) {
  std::vector<uint8_t> b = EncodeLensFile(OddLens(3));
  const Lens before = DefaultLens();
  Lens lens = before;
  b[3] = 1;
  EXPECT_EQ(DecodeLensFile(b, lens, false), kLensFileWrongVersion);
  b[3] = 0;
  b[0] = 0x48;
  EXPECT_EQ(DecodeLensFile(b, lens, false), kLensFileNotALensFile);
  EXPECT_EQ(DecodeLensFile(std::vector<uint8_t>{}, lens, false), kLensFileNotALensFile);
  EXPECT_EQ(DecodeLensFile(std::vector<uint8_t>{0x47, 0x57}, lens, false),
            kLensFileNotALensFile);
  EXPECT_EQ(std::memcmp(&lens, &before, sizeof lens), 0);
  EXPECT_EQ(LoadLensFile(TempPath("no such file.gwr").c_str(), lens, false),
            kLensFileCannotOpen);
}

TEST(LensFile, AppendAddsAfterTheElementsAlreadyThere) {
  Lens lens = DefaultLens();
  const Lens odd = OddLens(4);
  ASSERT_EQ(DecodeLensFile(EncodeLensFile(odd), lens, true), kLensFileOk);
  ASSERT_EQ(lens.count, 7u);
  EXPECT_EQ(lens.elements[0].type, 0);
  EXPECT_EQ(lens.elements[2].type, 2);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(std::memcmp(&lens.elements[3 + i], &odd.elements[i], 44), 0);
  }
}

TEST(LensFile, FourthColourBytesStayWithTheSlot) {
  Lens lens{};
  lens.count = 1;
  lens.elements[0].color1Extra = 17;
  lens.elements[0].color2Extra = 18;
  lens.elements[0].unused[1] = 19;
  Lens saved = OddLens(1);
  saved.elements[0].color1Extra = 200;
  ASSERT_EQ(DecodeLensFile(EncodeLensFile(saved), lens, false), kLensFileOk);
  EXPECT_EQ(lens.elements[0].color1Extra, 17);
  EXPECT_EQ(lens.elements[0].color2Extra, 18);
  EXPECT_EQ(lens.elements[0].unused[1], 19);
}

// Files that would overflow the lens or end early are refused whole.
TEST(LensFile, TooManyElementsIsRefusedAndChangesNothing) {
  std::vector<uint8_t> b = EncodeLensFile(OddLens(100));
  const Lens before = DefaultLens();
  Lens lens = before;
  EXPECT_EQ(DecodeLensFile(b, lens, true), kLensFileTooManyElements);  // 3 + 100
  EXPECT_EQ(std::memcmp(&lens, &before, sizeof lens), 0);
  b[4] = 0xff;  // count 0xff000064 with 100 records after it
  EXPECT_EQ(DecodeLensFile(b, lens, false), kLensFileTooManyElements);
  EXPECT_EQ(std::memcmp(&lens, &before, sizeof lens), 0);
  Lens full = OddLens(97);
  EXPECT_EQ(DecodeLensFile(EncodeLensFile(OddLens(3)), full, true), kLensFileOk);
  EXPECT_EQ(full.count, 100u);
}

TEST(LensFile, TruncatedRecordsAreRefusedAndChangeNothing) {
  const std::vector<uint8_t> b = EncodeLensFile(OddLens(5));
  const Lens before = DefaultLens();
  for (size_t size : {size_t{5}, size_t{7}, size_t{8}, size_t{8 + 114}, b.size() - 1}) {
    Lens lens = before;
    EXPECT_EQ(DecodeLensFile({b.data(), size}, lens, false), kLensFileTruncated) << size;
    EXPECT_EQ(std::memcmp(&lens, &before, sizeof lens), 0);
  }
  // Bytes after the last record are not looked at.
  std::vector<uint8_t> longer = b;
  longer.push_back(0);
  Lens lens{};
  EXPECT_EQ(DecodeLensFile(longer, lens, false), kLensFileOk);
}

TEST(LensFile, UnterminatedNameIsCutTo62Characters) {
  std::vector<uint8_t> b = EncodeLensFile(OddLens(1));
  std::memset(&b[8 + 50], 'z', 64);
  Lens lens{};
  ASSERT_EQ(DecodeLensFile(b, lens, false), kLensFileOk);
  EXPECT_EQ(ElementName(lens.elements[0]), std::string(62, 'z'));
  EXPECT_EQ(lens.elements[0].name[63], 0);
}

TEST(LensFile, SaveIntoAMissingFolderFails) {
  EXPECT_EQ(SaveLensFile(TempPath("missing/x.gwr").c_str(), DefaultLens()), kLensFileCannotOpen);
}

#ifdef _WIN32
// Saves while another program holds the file open without letting it be
// replaced, as an editor or a virus scanner may: the new bytes cannot take
// its place.
int32_t SaveWhileTheFileCannotBeReplaced(const std::string& path, const Lens& lens) {
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(held, INVALID_HANDLE_VALUE);
  const int32_t status = SaveLensFile(path.c_str(), lens);
  CloseHandle(held);
  return status;
}
#else
// Saves with the file size limit standing in for a full disk: writes past
// 1000 bytes fail.
int32_t SaveWithTheDiskFullAfter1000Bytes(const std::string& path, const Lens& lens) {
  struct rlimit old;
  EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  auto previous = signal(SIGXFSZ, SIG_IGN);
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int32_t status = SaveLensFile(path.c_str(), lens);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, previous);
  return status;
}
#endif

// A save that cannot be finished reports it and leaves the old file whole.
TEST(LensFile, FailedSaveKeepsTheExistingFile) {
  const std::string path = TempPath("keep.gwr");
  ASSERT_EQ(SaveLensFile(path.c_str(), DefaultLens()), kLensFileOk);
  const std::vector<uint8_t> original = ReadAll(path);

#ifdef _WIN32
  const int32_t status = SaveWhileTheFileCannotBeReplaced(path, OddLens(100));
#else
  const int32_t status = SaveWithTheDiskFullAfter1000Bytes(path, OddLens(100));
#endif

  EXPECT_EQ(status, kLensFileWriteFailed);
  EXPECT_EQ(ReadAll(path), original);
  EXPECT_FALSE(TemporaryLeftFor(path));
}

TEST(LensFile, SaveOverAFolderFailsWithoutHarm) {
  const std::string path = TempPath("a folder.gwr");
  std::filesystem::create_directory(path);
  EXPECT_EQ(SaveLensFile(path.c_str(), DefaultLens()), kLensFileWriteFailed);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_FALSE(TemporaryLeftFor(path));
}

TEST(LensFile, EveryStatusHasItsOwnMessage) {
  std::vector<std::string> seen;
  for (int32_t s : {kLensFileCannotOpen, kLensFileWrongVersion, kLensFileNotALensFile,
                    kLensFileTooManyElements, kLensFileTruncated, kLensFileWriteFailed}) {
    const std::string m = LensFileStatusMessage(s);
    for (const std::string& other : seen) EXPECT_NE(m, other);
    seen.push_back(m);
  }
}

}  // namespace
}  // namespace gw
