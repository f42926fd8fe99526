// Reading the binary PiPL, and the PiPL the build generates for each module.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "testhost/pipl_reader.h"
#include "testhost/plugin_module.h"
#include "testhost/test_host.h"

namespace gw::testhost {
namespace {

std::string ModulePath(const std::string& edition) {
  return std::string(GW_PLUGIN_DIR) + "/" + ModuleFileName(edition);
}

// The PiPL the build generated, beside the module on every platform.
std::vector<uint8_t> PiplFile(const std::string& edition) {
  std::string path = ModulePath(edition);
  path = path.substr(0, path.find_last_of('.')) + ".pipl";
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(PiplReader, GeneratedFileStartsAsTheWorkedExample) {
  const std::vector<uint8_t> bytes = PiplFile("full");
  const std::vector<uint8_t> start = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0b, 0x00, 0x00, 0x00,
                                      0x4d, 0x49, 0x42, 0x38, 0x64, 0x6e, 0x69, 0x6b, 0x00, 0x00,
                                      0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x54, 0x4b, 0x46, 0x65};
  ASSERT_GE(bytes.size(), start.size());
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + start.size()), start);
  std::string error;
  const auto info = ReadPipl(bytes, error);
  ASSERT_TRUE(info) << error;
  EXPECT_EQ(info->name, "Glarewright     ");
  EXPECT_EQ(info->outFlags, 0x00080423u);
  // eINF says 2 bytes and is padded to 4.
  EXPECT_EQ(info->properties[7].key, "eINF");
  EXPECT_EQ(info->properties[7].data.size(), 2u);
}

TEST(PiplReader, EveryEditionHasItsOwn) {
  std::string error;
  const auto quick = ReadPipl(PiplFile("quick"), error);
  const auto showcase = ReadPipl(PiplFile("showcase"), error);
  ASSERT_TRUE(quick && showcase);
  EXPECT_EQ(quick->matchName, "TSLY Custom Flare Quick     ");
  EXPECT_EQ(showcase->outFlags, 0x421u);
  EXPECT_EQ(showcase->category, "Tessaly Glarewright");
}

// What the host reads from the loaded module (the file on Linux, resource
// 128 inside the module on Windows) is the generated PiPL, byte for byte.
TEST(PiplReader, TheLoadedModuleCarriesTheGeneratedPipl) {
  for (const char* edition : {"full", "showcase", "quick"}) {
    const std::vector<uint8_t> generated = PiplFile(edition);
    ASSERT_FALSE(generated.empty()) << edition;
    PluginModule module(ModulePath(edition));
    std::string error;
    const auto carried = module.PiplBytes(error);
    ASSERT_TRUE(carried) << edition << ": " << error;
    EXPECT_EQ(*carried, generated) << edition;
  }
}

TEST(PiplReader, AMissingModuleIsRefusedWithItsName) {
  try {
    PluginModule module(std::string(GW_PLUGIN_DIR) + "/NoSuchModule" +
                        ModuleFileName("full").substr(ModuleFileName("full").find('.')));
    FAIL() << "a missing module was loaded";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuchModule"), std::string::npos) << e.what();
  }
}

TEST(PiplReader, RefusesDamagedBytes) {
  std::string error;
  std::vector<uint8_t> bytes = PiplFile("full");
  EXPECT_FALSE(ReadPipl(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 40), error));
  EXPECT_FALSE(error.empty());
  bytes[6] = 12;  // one property more than there is
  EXPECT_FALSE(ReadPipl(bytes, error));
  bytes[6] = 11;
  bytes[0] = 2;
  EXPECT_FALSE(ReadPipl(bytes, error));
  EXPECT_FALSE(ReadPipl({}, error));
}

}  // namespace
}  // namespace gw::testhost
