// Reading the binary PiPL, and the PiPL the build generates for each module.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "testhost/pipl_reader.h"
#include "testhost/test_host.h"

namespace gw::testhost {
namespace {

std::vector<uint8_t> PiplFile(const std::string& edition) {
  std::string module = ModuleFileName(edition);
  module = module.substr(0, module.size() - 3) + ".pipl";
  std::ifstream in(std::string(GW_PLUGIN_DIR) + "/" + module, std::ios::binary);
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
