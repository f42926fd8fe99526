// What the program says when it is used wrongly or meets something odd:
// one line with its name in front, in words a user can act on.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "cli/image_io.h"
#include "lensfile/lensfile.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

bool SamePixels(const std::string& a, const std::string& b) {
  const Frame fa = ReadFrame(a), fb = ReadFrame(b);
  return fa.argb.pixels.size() == fb.argb.pixels.size() &&
         std::memcmp(fa.argb.pixels.data(), fb.argb.pixels.data(),
                     fa.argb.pixels.size() * sizeof(PF_Pixel)) == 0;
}

TEST(MessagesCli, UsageErrorsExitTwoWithTheProgramsName) {
  const struct {
    std::string arguments, says;
  } cases[] = {
      {"bogus", "glarewright: 'bogus' is not a command of 'glarewright'; the commands are render, "
                "lens, inspect, presets, edit, frames, farm (glarewright --help says more)\n"},
      {"", "glarewright: 'glarewright' needs a command; the commands are render, lens, inspect, "
           "presets, edit, frames, farm (glarewright --help says more)\n"},
      {"lens bogus", "glarewright: 'bogus' is not a command of 'glarewright lens'; the commands "
                     "are new, show, export, import, add, set, remove, move, enable, disable "
                     "(glarewright lens --help says more)\n"},
      {"render -o x.png --bogus", "glarewright: unexpected --bogus (glarewright render --help "
                                  "says more)\n"},
      {"render --size 8x8", "glarewright: --output is required (glarewright render --help says "
                            "more)\n"},
      {"render -o", "glarewright: --output needs a value (glarewright render --help says more)\n"},
  };
  for (const auto& c : cases) {
    const ProgramResult r = RunProgram(c.arguments);
    EXPECT_EQ(r.exitCode, 2) << c.arguments;
    EXPECT_EQ(r.err, c.says) << c.arguments;
  }
  EXPECT_EQ(RunProgram("render --help").exitCode, 0);
  EXPECT_EQ(RunProgram("lens --help").exitCode, 0);
}

TEST(MessagesCli, EveryRangeIsToldAlike) {
  const std::string out = " -o " + Quote(TempPath("never.png"));
  const struct {
    std::string arguments, says;
  } cases[] = {
      {"render --brightness 100000" + out, "--brightness: 100000 lies outside 0..300\n"},
      {"render --brightness -50" + out, "--brightness: -50 lies outside 0..300\n"},
      {"render --source-size 9999999999" + out, "--source-size: 9999999999 lies outside 1..100\n"},
      {"render --fps 0" + out, "--fps: 0 lies outside 0.001..1000\n"},
      {"render --jobs 65" + out, "--jobs: 65 lies outside 1..64\n"},
      {"render --size 40000x10" + out, "--size (width): 40000 lies outside 1..30000\n"},
      {"render --frames 0-2147483647" + out, "--frames: 2147483647 lies outside 0..999999999\n"},
      {"render --frames 1000000000" + out, "--frames: 1000000000 lies outside 0..999999999\n"},
      {"render --frames 99999999999-1" + out, "--frames: 99999999999 lies outside 0..999999999\n"},
      {"frames check " + Quote(TempPath("f.####.png")) + " --frames 1-4294967296",
       "--frames: 4294967296 lies outside 0..999999999\n"},
      {"presets show 40", "preset: 40 lies outside 1..39 (the presets' numbers)\n"},
      {"presets sheet --columns 0" + out, "--columns: 0 lies outside 1..39\n"},
  };
  for (const auto& c : cases) {
    const ProgramResult r = RunProgram(c.arguments);
    EXPECT_EQ(r.exitCode, 1) << c.arguments;
    EXPECT_EQ(r.err, "glarewright: " + c.says) << c.arguments;
  }
}

TEST(MessagesCli, JsonErrorsSayLineAndColumn) {
  const std::string json = TempPath("broken.json"), gwr = Quote(TempPath("never.gwr"));
  const struct {
    std::string text, says;
  } cases[] = {
      {"{\n  \"elements\": [\n    {\"a\" 1}\n  ]\n}\n", "line 3, column 10: expected ':', found a number"},
      {"{\"elements\": [", "line 1, column 15: the text ends before the JSON does"},
      {"{\"elements\": [tru]}", "line 1, column 18: not a JSON value (strings need double quotes)"},
      {"{\"elements\": []} x", "line 1, column 18: more text after the JSON"},
      {"{\"elements\": [\"a\nb\"]}", "line 1, column 17: a control character (such as a line "
                                   "break) inside a string: write it as \\n, \\t or \\uXXXX"},
  };
  for (const auto& c : cases) {
    WriteText(json, c.text);
    const ProgramResult r = RunProgram("lens import " + Quote(json) + " -o " + gwr);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "glarewright: " + json + ": not valid JSON: " + c.says + "\n") << c.text;
  }
}

TEST(MessagesCli, AFolderWhereAFileIsWantedIsCalledAFolder) {
  const std::string folder = TempPath("a_folder");
  mkdir(folder.c_str(), 0755);
  const std::string out = " -o " + Quote(TempPath("never.png"));
  for (const std::string& arguments :
       {"render " + Quote(folder) + out, "render --lens " + Quote(folder) + out,
        "render --light-track " + Quote(folder) + out,
        "render --location-layer " + Quote(folder) + out, "lens show " + Quote(folder),
        "lens import " + Quote(folder) + " -o " + Quote(TempPath("never.gwr"))}) {
    const ProgramResult r = RunProgram(arguments);
    EXPECT_EQ(r.exitCode, 1) << arguments;
    EXPECT_NE(r.err.find(folder + ": is a folder, not a file"), std::string::npos)
        << arguments << "\n" << r.err;
  }
}

TEST(MessagesCli, AnInputAfterAKeyedOptionIsTheInput) {
  const std::string in = TempPath("after_light.png"), first = TempPath("light_first.png"),
                    last = TempPath("light_last.png");
  WriteFrame(in, BuiltInFrame(80, 45));
  ProgramResult r = RunProgram("render -o " + Quote(first) + " --light 30%,25% " + Quote(in));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunProgram("render " + Quote(in) + " -o " + Quote(last) + " --light 30%,25%");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(SamePixels(first, last));
  // Two values after one option: the second is taken for the input, and said so.
  r = RunProgram("render -o " + Quote(first) + " --light 10,10 20,20");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "glarewright: 20,20: no such file (taken as the input image: an option such "
                   "as --light takes one value each time it is given; repeat it, VALUE@FRAME, "
                   "for keyframes)\n");
}

TEST(MessagesCli, TrackingDataWithEveryFieldQuotedIsRead) {
  const std::string track = TempPath("quoted.csv");
  WriteText(track, "\"frame\",\"x\",\"y\"\r\n\"0\",\"40\",\"30\"\r\n");
  const std::string tracked = TempPath("quoted_track.png"), point = TempPath("quoted_point.png");
  ProgramResult r = RunProgram("render -o " + Quote(tracked) + " --size 160x90 --light-track " +
                               Quote(track));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunProgram("render -o " + Quote(point) + " --size 160x90 --light 40,30");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(SamePixels(tracked, point));
}

TEST(MessagesCli, LensShowPrintsLatin1NamesAsUtf8InTheirColumn) {
  const std::string file = TempPath("latin1.gwr");
  Lens lens{};
  BuildDefaultLens(lens);
  SetElementName(lens.elements[0], "Caf\xe9 \xbd");  // Latin-1 é and ½
  ASSERT_EQ(SaveLensFile(file.c_str(), lens), kLensFileOk);
  const ProgramResult r = RunProgram("lens show " + Quote(file));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const size_t row = r.out.find("Caf\xc3\xa9 \xc2\xbd");
  ASSERT_NE(row, std::string::npos) << r.out;
  // The name is padded by characters: the columns after it line up with the heading's.
  const size_t lineStart = r.out.rfind('\n', row) + 1;
  const std::string line = r.out.substr(lineStart, r.out.find('\n', row) - lineStart);
  const size_t headingStart = r.out.find("  #");
  const std::string heading = r.out.substr(headingStart, r.out.find('\n', headingStart) - headingStart);
  EXPECT_EQ(line.size() - 2, heading.size()) << line << "\n" << heading;  // two two-byte characters
}

TEST(MessagesCli, LensRemoveShowsTheRemovedElementUnderItsNumber) {
  const std::string file = TempPath("remove_number.gwr");
  ASSERT_EQ(RunProgram("lens new --force -o " + Quote(file)).exitCode, 0);
  const ProgramResult r = RunProgram("lens remove " + Quote(file) + " 2");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("removed:\n"), std::string::npos);
  EXPECT_NE(r.out.find("\n  2  yes  StarFilter"), std::string::npos) << r.out;
}

TEST(MessagesCli, BytesAfterTheLastElementAreToldOfAndNeverDropped) {
  const std::string file = TempPath("trailing.gwr");
  ASSERT_EQ(RunProgram("lens new --force -o " + Quote(file)).exitCode, 0);
  { std::ofstream(file, std::ios::binary | std::ios::app) << "more"; }
  const std::string before = ReadWholeFile(file);
  const std::string told = "glarewright: " + file + ": 4 bytes after its 3 elements are not part of the lens";
  ProgramResult r = RunProgram("lens show " + Quote(file));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, told + "\n");
  for (const std::string& edit : {"add " + Quote(file) + " Disc", "remove " + Quote(file) + " 0",
                                  "move " + Quote(file) + " 0 1",
                                  "set " + Quote(file) + " 0 scale=2"}) {
    r = RunProgram("lens " + edit);
    EXPECT_EQ(r.exitCode, 1) << edit;
    EXPECT_EQ(r.err.find(told + ", and rewriting the file would drop them"), 0u) << r.err;
    EXPECT_EQ(ReadWholeFile(file), before) << edit;
  }
}

TEST(MessagesCli, ASlowFrameShowsHowFarThePluginHasCome) {
  // Eighty elements over a large frame: the plug-in reports each one.
  const std::string lens = TempPath("eighty.gwr");
  Lens many{};
  Lens glow{};
  BuildDefaultLens(glow);
  many.count = 80;
  for (uint32_t i = 0; i < many.count; ++i) many.elements[i] = glow.elements[i % glow.count];
  ASSERT_EQ(SaveLensFile(lens.c_str(), many), kLensFileOk);
  // `script` gives the program a terminal, where the bar is drawn.
  const ProgramResult r = RunProgram(
      "--version >/dev/null; script -qfec \"'" + std::string(GW_PROGRAM) + "' render -o " +
      Quote(TempPath("slow.png")) + " --size 3840x2160 --lens " + Quote(lens) + "\" /dev/null");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  int between = 0;
  for (size_t at = r.out.find("frame 1/1 "); at != std::string::npos;
       at = r.out.find("frame 1/1 ", at + 1)) {
    const int percent = std::atoi(r.out.c_str() + at + 10);
    between += percent > 0 && percent < 100;
  }
  EXPECT_GT(between, 0) << r.out;
  EXPECT_EQ(r.out.find("0.00 fps"), std::string::npos) << r.out;
}

TEST(MessagesCli, ALayerOfAnotherSizeSaysHowItIsUsed) {
  const std::string layer = TempPath("small_layer.png"), out = " -o " + Quote(TempPath("layered.png"));
  Frame dot;
  dot.hasAlpha = true;
  dot.argb = testhost::Image(40, 30, PF_Pixel{0, 0, 0, 0});
  dot.argb.at(10, 10) = PF_Pixel{255, 255, 255, 255};
  WriteFrame(layer, dot);
  ProgramResult r = RunProgram("render --size 160x90 --location-layer " + Quote(layer) + out);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "glarewright: --location-layer: " + layer + " is 40 x 30, the frame 160 x 90: "
                   "the light is found at its pixel position counted from the frame's top-left "
                   "corner, not scaled\n");
  r = RunProgram("render --edition showcase --size 160x90 --location-layer " + Quote(layer) + out);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "glarewright: --location-layer: " + layer + " is 40 x 30, the frame 160 x 90: "
                   "the showcase edition stretches it over the frame to place its lights\n");
  r = RunProgram("render --size 40x30 --location-layer " + Quote(layer) + out);
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace gw
