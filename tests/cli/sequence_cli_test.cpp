// `glarewright render` over sequences: held layer frames, tracking data,
// checks before the long work, outputs of every kind, worker processes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli/image_io.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

Frame Dot(int x, int y) {
  Frame dot;
  dot.hasAlpha = true;
  dot.argb = testhost::Image(160, 90, PF_Pixel{0, 0, 0, 0});
  dot.argb.at(x, y) = PF_Pixel{255, 255, 255, 255};
  return dot;
}

bool SamePixels(const std::string& a, const std::string& b) {
  const Frame fa = ReadFrame(a), fb = ReadFrame(b);
  return fa.argb.pixels.size() == fb.argb.pixels.size() &&
         std::memcmp(fa.argb.pixels.data(), fb.argb.pixels.data(),
                     fa.argb.pixels.size() * sizeof(PF_Pixel)) == 0;
}

TEST(SequenceCli, LayerSequencesHoldTheirFirstAndLastFrames) {
  for (int f = 1; f <= 5; ++f) WriteFrame(TempPath("l." + std::to_string(f) + ".png"), Dot(20 * f, 30));
  const std::string layer = Quote(TempPath("l.#.png"));
  ProgramResult r = RunProgram("render -o " + Quote(TempPath("held.%d.png")) +
                               " --size 160x90 --frames 1-5 --shutter-angle 180 -q "
                               "--location-layer " + layer);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunProgram("render -o " + Quote(TempPath("after.png")) +
                 " --size 160x90 --frames 7 --location-layer " + layer);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunProgram("render -o " + Quote(TempPath("last.png")) +
                 " --size 160x90 --frames 5 --location-layer " + layer);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(SamePixels(TempPath("after.png"), TempPath("last.png")));
  r = RunProgram("render -o " + Quote(TempPath("before.png")) +
                 " --size 160x90 --frames 0 --location-layer " + layer);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(SamePixels(TempPath("before.png"), TempPath("last.png")));
}

TEST(SequenceCli, TrackingDataKeysTheLight) {
  const std::string track = TempPath("track.csv"), out = Quote(TempPath("tracked.%d.png"));
  WriteText(track, "# from the tracker\nframe,x,y\n0, 20, 10\n4, 60, 50   # last\n");
  ProgramResult r = RunProgram("render -o " + out + " --size 160x90 --frames 0-4 -q --light-track " +
                               Quote(track));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunProgram("render -o " + Quote(TempPath("point.png")) + " --size 160x90 --light 40,30");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(SamePixels(TempPath("tracked.2.png"), TempPath("point.png")));  // interpolated

  WriteText(track, "0 40 60\n");
  r = RunProgram("render -o " + Quote(TempPath("bottom.png")) +
                 " --size 160x90 --track-origin bottom-left --light-track " + Quote(track));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(SamePixels(TempPath("bottom.png"), TempPath("point.png")));  // 90 - 60 = 30

  WriteText(track, "0 1 2\n\n3 4\n");
  r = RunProgram("render -o " + Quote(TempPath("refused.png")) + " --size 16x9 --light-track " +
                 Quote(track));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("track.csv: line 3: expected \"frame x y\""), std::string::npos) << r.err;
  WriteText(track, "0 1 2\n1 x 2\n");
  r = RunProgram("render -o " + Quote(TempPath("refused.png")) + " --size 16x9 --light-track " +
                 Quote(track));
  EXPECT_NE(r.err.find("line 2: x: 'x' is not a number"), std::string::npos) << r.err;
}

TEST(SequenceCli, MissingFilesAndBadOutputsFailBeforeRendering) {
  for (int f = 1; f <= 10; ++f) WriteFrame(TempPath("ten." + std::to_string(f) + ".png"), Dot(5, 5));
  const std::string out = TempPath("ten_out.%d.png");
  ProgramResult r = RunProgram("render " + Quote(TempPath("ten.%d.png")) + " -o " + Quote(out) +
                               " --frames 1-20 -q");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("ten.11.png: no such file (frame 11 of the input sequence)"),
            std::string::npos) << r.err;
  EXPECT_FALSE(Exists(TempPath("ten_out.1.png")));  // nothing rendered

  r = RunProgram("render -o " + Quote(TempPath("")) + " --size 16x9");
  EXPECT_NE(r.err.find("cannot be written: it is a folder"), std::string::npos) << r.err;
  r = RunProgram("presets sheet -o " + Quote(TempPath("")));
  EXPECT_NE(r.err.find("it is a folder"), std::string::npos) << r.err;
  r = RunProgram("render -o " + Quote(TempPath("nowhere/x.png")) + " --size 16x9");
  EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
  r = RunProgram("render -o " + Quote(TempPath("x.png")) + " --size 16x9 --location-layer " +
                 Quote(TempPath("gone.#.png")) + " --frames 2");
  EXPECT_NE(r.err.find("--location-layer: " + TempPath("gone.2.png") + ": no such file"),
            std::string::npos) << r.err;
}

TEST(SequenceCli, OutputsOfEveryKind) {
  // Standard output, a pipe.
  ProgramResult r = RunProgram("render -o /dev/stdout --size 16x9 | head -c 8 | od -An -c");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("P   N   G"), std::string::npos) << r.out;
  // A symbolic link is written through and stays a link.
  const std::string target = TempPath("target.png"), link = TempPath("link.png");
  std::remove(link.c_str());
  WriteText(target, "old");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  r = RunProgram("render -o " + Quote(link) + " --size 16x9");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFrame(target).argb.width, 16);
  // Permissions are kept; an unrelated file named like a temporary is left alone.
  chmod(target.c_str(), 0640);
  const std::string bystander = TempPath(".target.png.partial-1");
  WriteText(bystander, "mine");
  r = RunProgram("render -o " + Quote(target) + " --size 16x9");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(RunProgram("lens new --force -o " + Quote(TempPath("perm.gwr"))).exitCode, 0);
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadWholeFile(bystander), "mine");
  // Lens files and JSON go the same way.
  r = RunProgram("lens export " + Quote(TempPath("perm.gwr")) + " -o /dev/stdout");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.rfind("{\n  \"elements\"", 0), 0u);
}

TEST(SequenceCli, WorkersWriteWhatASerialRunWrites) {
  const std::string serial = TempPath("serial.%d.png"), parallel = TempPath("parallel.%d.png");
  const std::string common = " --size 200x120 --frames 0-5 -q --light 10,10@0 --light 190,110@5";
  ProgramResult r = RunProgram("render -o " + Quote(serial) + common + " --jobs 1");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunProgram("render -o " + Quote(parallel) + common + " --jobs 2");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (int f = 0; f <= 5; ++f) {
    const std::string n = std::to_string(f);
    EXPECT_EQ(ReadWholeFile(TempPath("serial." + n + ".png")),
              ReadWholeFile(TempPath("parallel." + n + ".png"))) << f;
  }
  // A worker's failure stops the run with its message.
  r = RunProgram("render -o " + Quote(parallel) + " --size 200x120 --frames 0-5 --jobs 2 "
                 "--brightness 50@0 --brightness 999@3");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("--brightness: 999 lies outside 0..300"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST(SequenceCli, ShowcaseSaysWhatItFound) {
  Frame dots;
  dots.hasAlpha = true;
  dots.argb = testhost::Image(160, 90, PF_Pixel{0, 0, 0, 0});
  for (int y = 0; y < 90; y += 2) {
    for (int x = 0; x < 160; x += 2) dots.argb.at(x, y) = PF_Pixel{255, 255, 255, 255};
  }
  WriteFrame(TempPath("dots.png"), dots);  // 80 x 45 = 3600 patches
  ProgramResult r = RunProgram("render -o " + Quote(TempPath("sc.png")) +
                               " --size 160x90 --edition showcase --brightness 1 --location-layer " +
                               Quote(TempPath("dots.png")));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("3600 opaque patches; only the first 1000 of each frame got a flare "
                       "(2600 skipped)"), std::string::npos) << r.err;
  r = RunProgram("render -o " + Quote(TempPath("sc.png")) + " --size 160x90 --edition showcase");
  EXPECT_NE(r.err.find("no light found"), std::string::npos) << r.err;
  WriteFrame(TempPath("empty_layer.png"), Dot(0, 0));
  Frame none = Dot(0, 0);
  none.argb.at(0, 0).alpha = 0;
  WriteFrame(TempPath("empty_layer.png"), none);
  r = RunProgram("render -o " + Quote(TempPath("sc.png")) + " --size 160x90 --edition showcase "
                 "--location-layer " + Quote(TempPath("empty_layer.png")));
  EXPECT_NE(r.err.find("no light found on 1 of 1 frames"), std::string::npos) << r.err;
}

TEST(SequenceCli, MessagesSayWhatIsWrong) {
  const std::string out = " -o " + Quote(TempPath("refused.png"));
  const struct {
    std::string arguments, says;
  } cases[] = {
      {"render" + out + " --size 10x10 --downsample 64",
       "--downsample: 64 would leave the 10 x 10 frame without pixels"},
      {"render" + out + " --downsample nan", "--downsample: 'nan' is not a whole number"},
      {"render" + out + " --downsample 65", "--downsample: 65 lies outside 1..64"},
      {"render" + out + " --fps x", "--fps: 'x' is not a number"},
      {"render" + out + " --frames 10-1", "--frames: '10-1' is reversed: write 1-10"},
      {"render" + out + " --scale 0.095 --size 8x8", "--scale: 0.095 lies outside 0.1..5"},
      {"render" + out + " --light 1e9,0 --size 8x8", "--light: 1000000000 lies outside -32768..32767"},
      {"render " + Quote(TempPath("track.csv")) + out, "not an image this program can read"},
      {"lens show " + Quote(TempPath("")), "is a folder"},
  };
  WriteText(TempPath("track.csv"), "0 1 2\n");
  for (const auto& c : cases) {
    const ProgramResult r = RunProgram(c.arguments);
    EXPECT_EQ(r.exitCode, 1) << c.arguments;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.arguments << "\n" << r.err;
  }
  const ProgramResult r = RunProgram("render -o " + Quote(TempPath("basic_lens.png")) + " --preset 'basic lens' --size 8x8");
  EXPECT_EQ(r.exitCode, 0) << r.err;
}

}  // namespace
}  // namespace gw

namespace gw {
namespace {

void RemoveFiles(const std::string& prefix) {
  for (const auto& entry : std::filesystem::directory_iterator(TempDir())) {
    if (entry.path().filename().string().starts_with(prefix)) std::filesystem::remove(entry.path());
  }
}

int CountFiles(const std::string& prefix) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TempDir())) {
    if (entry.path().filename().string().starts_with(prefix)) ++count;
  }
  return count;
}

TEST(SequenceCli, SignalsStopEveryWorkerAndKeepFinishedFrames) {
  // (A shell starts background commands with SIGINT ignored, and the program
  // keeps that choice; Ctrl-C at a terminal goes the same way as these.)
  for (const char* signal : {"TERM", "HUP"}) {
    const std::string prefix = std::string("stopped_") + signal + ".";
    const std::string err = TempPath(prefix + "err");
    RemoveFiles(prefix);
    const ProgramResult r = RunProgram(
        "render -o " + Quote(TempPath(prefix + "%d.png")) +
        " --size 1280x720 --frames 0-300 --jobs 2 --shutter-angle 180 2>" + Quote(err) +
        " & pid=$!; sleep 2; kill -" + signal + " $pid; wait $pid");
    EXPECT_EQ(r.exitCode, 1) << signal;
    const std::string said = ReadWholeFile(err);
    const size_t at = said.find("interrupted: ");
    ASSERT_NE(at, std::string::npos) << said;
    const int written = std::stoi(said.substr(at + 13));
    EXPECT_LT(written, 301);
    EXPECT_EQ(CountFiles(prefix) - 1, written) << said;  // every finished frame, and the message
    EXPECT_EQ(CountFiles("." + prefix), 0) << "no temporary is left";
  }
}

}  // namespace
}  // namespace gw
