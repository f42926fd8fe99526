// Lens files edited from scripts, and what JSON a lens file cannot hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lensfile/lens_json.h"
#include "lensfile/lensfile.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

Lens Load(const std::string& path) {
  Lens lens{};
  EXPECT_EQ(LoadLensFile(path.c_str(), lens, false), kLensFileOk);
  return lens;
}

TEST(LensEditCli, AddSetMoveRemoveRewriteTheFile) {
  const std::string file = TempPath("edited.gwr"), q = Quote(TempPath("edited.gwr"));
  ASSERT_EQ(RunProgram("lens new --force -o " + q).exitCode, 0);
  const Lens start = Load(file);

  ProgramResult r = RunProgram("lens add " + q + " sparkle");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find(std::to_string(start.count) + "  yes  Sparkle"), std::string::npos) << r.out;
  Lens lens = Load(file);
  ASSERT_EQ(lens.count, start.count + 1);

  r = RunProgram("lens set " + q + " 0 brightness=0.25 name='Hot core' color1=[1,2,3]");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Hot core"), std::string::npos) << r.out;
  lens = Load(file);
  EXPECT_EQ(lens.elements[0].brightness, 0.25f);
  EXPECT_EQ(ElementName(lens.elements[0]), "Hot core");
  EXPECT_EQ(lens.elements[0].color1.b, 3);

  r = RunProgram("lens move " + q + " 0 " + std::to_string(lens.count - 1));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  lens = Load(file);
  EXPECT_EQ(ElementName(lens.elements[lens.count - 1]), "Hot core");
  EXPECT_EQ(std::memcmp(&lens.elements[0], &start.elements[1], sizeof(LensElement)), 0);

  r = RunProgram("lens remove " + q + " " + std::to_string(lens.count - 1));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Load(file).count, start.count);

  // Refusals change nothing.
  const std::string before = ReadWholeFile(file);
  const struct {
    std::string arguments, says;
  } refused[] = {
      {"lens set " + q + " 0 iparam0=40000", "key \"iparam0\": 40000 lies outside -32768..32767"},
      {"lens set " + q + " 0 enabled=0", "cannot store a disabled element"},
      {"lens set " + q + " 0 type=8", "8 is not an element type"},
      {"lens set " + q + " 0 colour=3", "colour: no element field has this key"},
      {"lens set " + q + " 99 scale=1", "INDEX: 99 lies outside 0.."},
      {"lens add " + q + " Flashlight", "'Flashlight' is not an element type"},
      {"lens disable " + q + " 0", "cannot store whether an element is enabled"},
      {"lens enable " + q + " 0", "lens remove FILE INDEX"},
  };
  for (const auto& c : refused) {
    r = RunProgram(c.arguments);
    EXPECT_EQ(r.exitCode, 1) << c.arguments;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.arguments << "\n" << r.err;
  }
  EXPECT_EQ(ReadWholeFile(file), before);
}

TEST(LensEditCli, JsonThatALensFileCannotHoldIsRefused) {
  Lens lens{};
  BuildDefaultLens(lens);
  const std::string json = LensToJson(lens);
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = json;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  std::string error;
  Lens out{};
  EXPECT_FALSE(LensFromJson(replaced("\"enabled\": 1", "\"enabled\": 0"), out, error));
  EXPECT_NE(error.find("cannot store a disabled element"), std::string::npos) << error;
  for (const char* type : {"-1", "7", "8", "21"}) {
    const size_t at = json.find("\"type\": ");
    std::string text = json;
    text.replace(at, json.find(',', at) - at, std::string("\"type\": ") + type);
    EXPECT_FALSE(LensFromJson(text, out, error)) << type;
    EXPECT_NE(error.find(std::string(type) + " is not an element type"), std::string::npos) << error;
  }
  EXPECT_FALSE(LensFromJson(replaced("\"scale\": ", "\"scale\": 2, \"scale\": "), out, error));
  EXPECT_EQ(error, "the key \"scale\" appears twice in one object");
  EXPECT_TRUE(LensFromJson(json, out, error)) << error;
}

TEST(LensEditCli, ShowEscapesControlCharactersInNames) {
  const std::string file = TempPath("bell.gwr");
  Lens lens{};
  BuildDefaultLens(lens);
  SetElementName(lens.elements[0], "ring\x07\x1b[31m");
  ASSERT_EQ(SaveLensFile(file.c_str(), lens), kLensFileOk);
  const ProgramResult r = RunProgram("lens show " + Quote(file));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("ring\\x07\\x1b[31m"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace gw
