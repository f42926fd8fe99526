// What the program never overwrites: read-only files (unless --force), the
// files a render reads, a lens file's own source; and where it writes
// instead: standard output for -o -.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "cli/image_io.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

// `path` with `text` in it, read-only.
void ReadOnlyFile(const std::string& path, const std::string& text) {
  chmod(path.c_str(), 0644);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs(text.c_str(), f);
  std::fclose(f);
  chmod(path.c_str(), 0444);
}

TEST(OverwriteCli, AReadOnlyOutputIsRefusedUnlessForced) {
  const std::string png = TempPath("read_only.png"), json = TempPath("read_only.json"),
                    gwr = TempPath("read_only.gwr");
  const struct {
    std::string path, command;
  } cases[] = {
      {png, "render --size 16x9 -q -o " + Quote(png)},
      {json, "lens export " + Quote(TempPath("source.gwr")) + " -o " + Quote(json)},
      {gwr, "presets export 3 -o " + Quote(gwr)},
  };
  ASSERT_EQ(RunProgram("lens new --force -o " + Quote(TempPath("source.gwr"))).exitCode, 0);
  for (const auto& c : cases) {
    ReadOnlyFile(c.path, "kept");
    ProgramResult r = RunProgram(c.command);
    EXPECT_EQ(r.exitCode, 1) << c.command;
    EXPECT_EQ(r.err, "glarewright: " + c.path + ": cannot be written: it is read-only\n");
    EXPECT_EQ(ReadWholeFile(c.path), "kept");
    r = RunProgram(c.command + " --force");
    EXPECT_EQ(r.exitCode, 0) << c.command << "\n" << r.err;
    EXPECT_NE(ReadWholeFile(c.path), "kept");
    EXPECT_EQ(ModeOf(c.path), 0444u) << "the file keeps its permissions";
  }
  // An edit rewrites its file: a read-only one likewise.
  ASSERT_EQ(RunProgram("lens new --force -o " + Quote(gwr)).exitCode, 0);
  chmod(gwr.c_str(), 0444);
  const std::string before = ReadWholeFile(gwr);
  EXPECT_EQ(RunProgram("lens add " + Quote(gwr) + " Disc").exitCode, 1);
  EXPECT_EQ(ReadWholeFile(gwr), before);
  EXPECT_EQ(RunProgram("lens add --force " + Quote(gwr) + " Disc").exitCode, 0);
  EXPECT_NE(ReadWholeFile(gwr), before);
}

TEST(OverwriteCli, AnOutputThatIsAnInputIsRefusedBeforeAnythingIsWritten) {
  for (int f = 1; f <= 3; ++f) {
    WriteFrame(TempPath("own." + std::to_string(f) + ".png"), BuiltInFrame(16, 9));
  }
  const std::string first = ReadWholeFile(TempPath("own.1.png"));
  ProgramResult r = RunProgram("render " + Quote(TempPath("own.#.png")) + " -o " +
                               Quote(TempPath("own.#.png")) + " --frames 1-3 -q");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "glarewright: " + TempPath("own.1.png") + ": this output is also an input of "
                   "the render: write the output under another name\n");
  EXPECT_EQ(ReadWholeFile(TempPath("own.1.png")), first);
  // The same file under another name: a link to a layer frame.
  const std::string link = TempPath("own_link.png");
  std::remove(link.c_str());
  ASSERT_EQ(symlink(TempPath("own.2.png").c_str(), link.c_str()), 0);
  r = RunProgram("render --size 16x9 -q -o " + Quote(link) + " --location-layer " +
                 Quote(TempPath("own.2.png")));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "glarewright: " + link + ": this output is also the input " +
                       TempPath("own.2.png") + ": write the output under another name\n");
}

TEST(OverwriteCli, ALensIsNeverWrittenOntoItsOwnSource) {
  const std::string gwr = TempPath("own_source.gwr"), json = TempPath("own_source.json");
  ASSERT_EQ(RunProgram("lens new --force -o " + Quote(gwr)).exitCode, 0);
  ASSERT_EQ(RunProgram("lens export " + Quote(gwr) + " -o " + Quote(json) + " --force").exitCode, 0);
  const std::string lens = ReadWholeFile(gwr), text = ReadWholeFile(json);
  const struct {
    std::string command, says;
  } cases[] = {
      {"lens export " + Quote(gwr) + " -o " + Quote(gwr), gwr + ": is the file being read"},
      {"lens export " + Quote(gwr) + " -o " + Quote(TempPath("./own_source.gwr")),
       TempPath("./own_source.gwr") + ": is the file being read (" + gwr + ")"},
      {"lens import " + Quote(json) + " -o " + Quote(json), json + ": is the file being read"},
  };
  for (const auto& c : cases) {
    const ProgramResult r = RunProgram(c.command);
    EXPECT_EQ(r.exitCode, 1) << c.command;
    EXPECT_EQ(r.err, "glarewright: " + c.says + ": write the result under another name\n");
  }
  EXPECT_EQ(ReadWholeFile(gwr), lens);
  EXPECT_EQ(ReadWholeFile(json), text);
}

TEST(OverwriteCli, LensNewAsksForForceOverAnExistingFile) {
  const std::string gwr = TempPath("existing.gwr");
  ASSERT_EQ(RunProgram("lens new --force -o " + Quote(gwr)).exitCode, 0);
  ASSERT_EQ(RunProgram("lens add " + Quote(gwr) + " Sparkle").exitCode, 0);
  const std::string edited = ReadWholeFile(gwr);
  ProgramResult r = RunProgram("lens new -o " + Quote(gwr));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "glarewright: " + gwr + ": already exists (--force replaces it with the "
                   "default lens)\n");
  EXPECT_EQ(ReadWholeFile(gwr), edited);
  r = RunProgram("lens new --force -o " + Quote(gwr));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_LT(ReadWholeFile(gwr).size(), edited.size());
}

TEST(OverwriteCli, DashWritesToStandardOutput) {
  const std::string file = TempPath("to_file.png");
  ASSERT_EQ(RunProgram("render --size 32x18 -q -o " + Quote(file)).exitCode, 0);
  ProgramResult r = RunProgram("render --size 32x18 -q -o -");  // stdout is a file
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.out == ReadWholeFile(file)) << "the same PNG, byte for byte";
  r = RunProgram("render --size 32x18 -q -o - --format exr --depth half");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 4), std::string("v/1\x01", 4));  // OpenEXR's magic number
  ASSERT_EQ(RunProgram("lens new --force -o " + Quote(TempPath("source.gwr"))).exitCode, 0);
  r = RunProgram("lens export " + Quote(TempPath("source.gwr")) + " -o -");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.find("{\n  \"elements\": ["), 0u) << r.out;
  // A terminal is refused: `script` gives the program one.
  r = RunProgram("--version >/dev/null; script -qfec \"'" + std::string(GW_PROGRAM) +
                 "' render --size 32x18 -q -o -\" /dev/null");
  EXPECT_NE(r.out.find("glarewright: -o -: standard output is a terminal, where an image would "
                       "fill the screen"), std::string::npos) << r.out;
  r = RunProgram("render --size 32x18 -q -o - --frames 1-2");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("several frames need a numbered output"), std::string::npos) << r.err;
}

TEST(OverwriteCli, NamesWithTwoFrameNumbersOrUnknownPercentFormsAreRefused) {
  const struct {
    std::string output, says;
  } cases[] = {
      {"out.##.##.png", "holds two frame numbers (## and ##); a name holds one"},
      {"out.%04d.%d.png", "holds two frame numbers (%04d and %d); a name holds one"},
      {"out.%s.png", "'%s' is no frame number: write %d, %04d or ####, and %% for a percent sign"},
      {"50%.png", "'%.' is no frame number: write %d, %04d or ####, and %% for a percent sign"},
  };
  for (const auto& c : cases) {
    const std::string output = TempPath(c.output);
    const ProgramResult r = RunProgram("render --size 8x8 --frames 1-2 -q -o " + Quote(output));
    EXPECT_EQ(r.exitCode, 1) << c.output;
    EXPECT_EQ(r.err, "glarewright: " + output + ": " + c.says + "\n");
  }
  // %% is a percent sign.
  std::remove(TempPath("100%.1.png").c_str());
  ASSERT_EQ(RunProgram("render --size 8x8 --frames 1-2 -q -o " + Quote(TempPath("100%%.#.png")))
                .exitCode, 0);
  EXPECT_TRUE(Exists(TempPath("100%.1.png")));
  EXPECT_TRUE(Exists(TempPath("100%.2.png")));
}

}  // namespace
}  // namespace gw
