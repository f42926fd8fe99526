#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <string>

#include "lens/byte_order.h"
#include "lensfile/lens_json.h"
#include "lensfile/lensfile.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

// Every type (and two without a renderer), every field at an odd value.
Lens EveryTypeLens() {
  Lens lens{};
  // The 19 element types (import refuses any other type).
  const int16_t types[] = {0, 1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
  for (int16_t type : types) {
    LensElement& e = lens.elements[lens.count];
    InitElement(type, e);
    const float odd[] = {0.1f, -0.0f, FloatFromBits(0x7fc00000u), FloatFromBits(0xffa00001u),
                         INFINITY, -INFINITY, FloatFromBits(1u), 3.4028235e38f, 1.0f / 3.0f,
                         16777217.0f, -2.5e-20f};
    e.brightness = odd[lens.count % 11];
    e.scale = odd[(lens.count + 1) % 11];
    e.angle = odd[(lens.count + 2) % 11];
    e.spread = odd[(lens.count + 3) % 11];
    e.position = odd[(lens.count + 4) % 11];
    e.spare1 = odd[(lens.count + 5) % 11];
    e.spare2 = odd[(lens.count + 6) % 11];
    e.iparam0 = -32768;
    e.iparam1 = 32767;
    e.iparam2 = static_cast<int16_t>(-lens.count);
    e.iparam4 = 12345;
    e.anamorphic = 255;
    e.option = 7;
    e.color1 = {0, 128, 255};
    e.color2 = {1, 2, 3};
    if (lens.count % 3 == 0) SetElementName(e, "Caf\xe9 \xff");  // Latin-1 bytes
    if (lens.count % 3 == 1) SetElementName(e, std::string(62, 'x'));
    if (lens.count % 3 == 2) SetElementName(e, "");
    ++lens.count;
  }
  return lens;
}

TEST(LensCli, NewWritesTheDefaultLens) {
  const std::string path = TempPath("new.gwr");
  std::remove(path.c_str());
  const ProgramResult r = RunProgram("lens new -o '" + path + "'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Lens lens{};
  BuildDefaultLens(lens);
  const std::vector<uint8_t> expected = EncodeLensFile(lens);
  EXPECT_EQ(ReadWholeFile(path), std::string(expected.begin(), expected.end()));
}

TEST(LensCli, GwrToJsonToGwrIsByteIdentical) {
  const std::string gwr = TempPath("every.gwr");
  const std::string json = TempPath("every.json");
  const std::string back = TempPath("every-back.gwr");
  ASSERT_EQ(SaveLensFile(gwr.c_str(), EveryTypeLens()), kLensFileOk);
  ProgramResult r = RunProgram("lens export '" + gwr + "' -o '" + json + "'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunProgram("lens import '" + json + "' -o '" + back + "'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadWholeFile(back), ReadWholeFile(gwr));
  const std::string text = ReadWholeFile(json);
  EXPECT_NE(text.find("\"typeName\": \"Chroma Fan\""), std::string::npos);
  EXPECT_NE(text.find("\"brightness\": 0.1,"), std::string::npos);  // shortest form
  EXPECT_NE(text.find("\"nan\""), std::string::npos);
  EXPECT_NE(text.find("\"0xffa00001\""), std::string::npos);
  EXPECT_NE(text.find("\"color1\": [0, 128, 255]"), std::string::npos);
  EXPECT_NE(text.find("Caf\xc3\xa9 \xc3\xbf"), std::string::npos);  // as UTF-8
}

TEST(LensCli, ShowPrintsTypesNamesAndPanelLabels) {
  const std::string path = TempPath("show.gwr");
  ASSERT_EQ(RunProgram("lens new --force -o '" + path + "'").exitCode, 0);
  const ProgramResult r = RunProgram("lens show '" + path + "'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("3 elements"), std::string::npos);
  EXPECT_NE(r.out.find("GlowBall"), std::string::npos);
  EXPECT_NE(r.out.find("Ring Softness: 1"), std::string::npos);
  EXPECT_NE(r.out.find("Ramp Gamma: 500"), std::string::npos);
  EXPECT_NE(r.out.find("Do Ring: on"), std::string::npos);
  EXPECT_NE(r.out.find("Size Random Seed: 291"), std::string::npos);
  EXPECT_NE(r.out.find("Outer Color: 200,140,180"), std::string::npos);
  EXPECT_NE(r.out.find("0.37"), std::string::npos);
}

TEST(LensCli, ErrorsAreOneLineNamingTheFile) {
  const std::string missing = TempPath("missing.gwr");
  ProgramResult r = RunProgram("lens show '" + missing + "'");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "glarewright: " + missing + ": no such file\n");

  const std::string notLens = TempPath("not-a-lens.gwr");
  { std::ofstream(notLens) << "hello, world"; }
  r = RunProgram("lens show '" + notLens + "'");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "glarewright: " + notLens + ": not a lens file\n");

  r = RunProgram("lens");
  EXPECT_NE(r.exitCode, 0);
}

TEST(LensCli, RefusedImportWritesNothing) {
  const std::string json = TempPath("bad.json");
  const std::string out = TempPath("bad.gwr");
  { std::ofstream(json) << "{\"elements\": [{\"brightness\": 1}]}"; }
  const ProgramResult r = RunProgram("lens import '" + json + "' -o '" + out + "'");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("element 0, key \"scale\": missing"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(out));
  EXPECT_FALSE(Exists(out + ".partial"));
}

TEST(LensCli, HelpOnEverySubcommand) {
  for (const char* command : {"--help", "lens --help", "lens new --help", "lens show --help",
                              "lens export --help", "lens import --help"}) {
    const ProgramResult r = RunProgram(command);
    EXPECT_EQ(r.exitCode, 0) << command;
    EXPECT_NE(r.out.find("Usage"), std::string::npos) << command;
  }
}

// The import checks, called directly.
class LensJsonImport : public ::testing::Test {
 protected:
  std::string ElementWith(const std::string& key, const std::string& value) {
    Lens lens{};
    lens.count = 1;
    InitElement(0, lens.elements[0]);
    std::string text = LensToJson(lens);
    const std::string needle = "\"" + key + "\": ";
    const size_t at = text.find(needle);
    EXPECT_NE(at, std::string::npos);
    const size_t end = text.find_first_of(",\n", at + needle.size());
    const size_t valueEnd = text[at + needle.size()] == '[' ? text.find(']', at) + 1 : end;
    text.replace(at + needle.size(), valueEnd - at - needle.size(), value);
    return text;
  }

  std::string ImportError(const std::string& text) {
    Lens lens{};
    BuildDefaultLens(lens);
    const Lens before = lens;
    std::string error;
    EXPECT_FALSE(LensFromJson(text, lens, error)) << text;
    EXPECT_EQ(std::memcmp(&lens, &before, sizeof lens), 0);
    return error;
  }
};

TEST_F(LensJsonImport, ReportsTheFirstProblemWithIndexAndKey) {
  EXPECT_EQ(ImportError(ElementWith("iparam0", "40000")),
            "element 0, key \"iparam0\": 40000 lies outside -32768..32767");
  EXPECT_EQ(ImportError(ElementWith("option", "-1")),
            "element 0, key \"option\": -1 lies outside 0..255");
  EXPECT_EQ(ImportError(ElementWith("type", "2.5")),
            "element 0, key \"type\": expected a whole number");
  EXPECT_EQ(ImportError(ElementWith("scale", "\"big\"")).substr(0, 30),
            "element 0, key \"scale\": expect");
  EXPECT_EQ(ImportError(ElementWith("angle", "1e39")),
            "element 0, key \"angle\": outside the range of a 32-bit float");
  EXPECT_EQ(ImportError(ElementWith("color1", "[1, 2]")),
            "element 0, key \"color1\": expected [red, green, blue]");
  EXPECT_EQ(ImportError(ElementWith("color2", "[1, 2, 256]")),
            "element 0, key \"color2\": each channel must be a whole number 0..255");
  EXPECT_EQ(ImportError(ElementWith("name", "\"\\u0100\"")),
            "element 0, key \"name\": only Latin-1 characters can be stored");
  EXPECT_EQ(ImportError(ElementWith("name", "\"" + std::string(63, 'n') + "\"")),
            "element 0, key \"name\": longer than 62 characters");
  EXPECT_EQ(ImportError(ElementWith("spare1", "1, \"colour\": 3")),
            "element 0, key \"colour\": unknown key");
  EXPECT_EQ(ImportError("{\"elements\": [{}]}"), "element 0, key \"brightness\": missing");
  EXPECT_EQ(ImportError("{\"elements\": [1]}"), "element 0: expected an object");
  EXPECT_EQ(ImportError("{\"lens\": []}"), "unknown key \"lens\" (only \"elements\" is allowed)");
  EXPECT_EQ(ImportError("[]"), "expected an object {\"elements\": [...]}");
  EXPECT_EQ(ImportError("{\"elements\": 3}"), "expected the key \"elements\" holding an array");
  EXPECT_EQ(ImportError("{\"elements\": ["),
            "not valid JSON: line 1, column 15: the text ends before the JSON does");
}

TEST_F(LensJsonImport, MoreThan100ElementsAreRefused) {
  std::string text = "{\"elements\": [";
  for (int i = 0; i < 101; ++i) text += i ? ",{}" : "{}";
  text += "]}";
  EXPECT_EQ(ImportError(text), "101 elements: a lens holds at most 100");
}

TEST_F(LensJsonImport, SpecialFloatsReadBackBitForBit) {
  Lens lens{};
  std::string error;
  ASSERT_TRUE(LensFromJson(ElementWith("brightness", "\"0x7f812345\""), lens, error)) << error;
  uint32_t bits;
  std::memcpy(&bits, &lens.elements[0].brightness, 4);
  EXPECT_EQ(bits, 0x7f812345u);
  ASSERT_TRUE(LensFromJson(ElementWith("brightness", "\"-inf\""), lens, error)) << error;
  EXPECT_EQ(lens.elements[0].brightness, -INFINITY);
  ASSERT_TRUE(LensFromJson(ElementWith("brightness", "2"), lens, error)) << error;
  EXPECT_EQ(lens.elements[0].brightness, 2.0f);
  EXPECT_FALSE(LensFromJson(ElementWith("brightness", "\"0x7f8\""), lens, error));
}

}  // namespace
}  // namespace gw
