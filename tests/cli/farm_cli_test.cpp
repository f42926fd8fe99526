// A sequence on a render farm: chunks that together write the files of a
// whole run, frames kept or rendered again, what is missing, and `farm slurm`
// with stand-ins for Slurm's commands (the real cluster is
// tests/scripts/slurm_farm_test.sh).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli/chunks.h"
#include "cli/errors.h"
#include "cli/image_io.h"
#include "tests/cli/run_program.h"

namespace gw {
namespace {

namespace fs = std::filesystem;

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A fresh folder for one test.
std::string Folder(const std::string& name) {
  const std::string path = TempPath(name);
  fs::remove_all(path);
  fs::create_directories(path);
  return path;
}

// Slurm's commands as small scripts that note how they were called.
class FakeSlurm {
 public:
  explicit FakeSlurm(const std::string& folder) : bin_(folder + "/bin"), calls_(folder + "/calls") {
    fs::create_directories(bin_);
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin_ + ":" + oldPath_).c_str(), 1);
  }
  ~FakeSlurm() { setenv("PATH", oldPath_.c_str(), 1); }

  // A command that notes its arguments, prints `out` and exits with `code`.
  void Command(const std::string& name, const std::string& out, int code,
               const std::string& err = "") {
    const std::string path = bin_ + "/" + name;
    WriteText(path, "#!/bin/sh\necho \"" + name + " $*\" >> '" + calls_ + "'\nprintf '" + out +
                        "'\nprintf '" + err + "' >&2\nexit " + std::to_string(code) + "\n");
    chmod(path.c_str(), 0755);
  }
  std::string Calls() const { return ReadWholeFile(calls_); }
  void ForgetCalls() const { std::remove(calls_.c_str()); }

 private:
  std::string bin_, calls_, oldPath_;
};

bool SameBytes(const std::string& a, const std::string& b) {
  return Exists(a) && Exists(b) && ReadWholeFile(a) == ReadWholeFile(b);
}

TEST(FarmCli, ChunksCoverTheSequenceAndTheLastTakesTheRemainder) {
  EXPECT_EQ(ChunkFrames("--chunk", {1, 10}, {1, 3}).last, 3);
  EXPECT_EQ(ChunkFrames("--chunk", {1, 10}, {2, 3}).first, 4);
  EXPECT_EQ(ChunkFrames("--chunk", {1, 10}, {3, 3}).first, 7);
  EXPECT_EQ(ChunkFrames("--chunk", {1, 10}, {3, 3}).last, 10);
  EXPECT_EQ(ChunkFrames("--chunk", {1001, 1048}, {6, 6}).first, 1041);
  EXPECT_THROW(ChunkFrames("--chunk", {5, 6}, {1, 3}), CommandError);
  for (int frames = 1; frames <= 40; ++frames) {
    for (int count = 1; count <= frames; ++count) {
      int next = 7;
      for (int k = 1; k <= count; ++k) {
        const FrameRange r = ChunkFrames("--chunk", {7, 6 + frames}, {k, count});
        ASSERT_EQ(r.first, next) << frames << " frames, chunk " << k << "/" << count;
        ASSERT_EQ(r.last - r.first + 1, k < count ? frames / count : frames - (count - 1) * (frames / count));
        next = r.last + 1;
      }
      ASSERT_EQ(next, 7 + frames);
    }
  }
  // At most S frames a task: 48 frames of at most 10 are 6 chunks of 8, not
  // 5 whose last would hold 12.
  EXPECT_EQ(ChunksOfAtMost(48, 8), 6);
  EXPECT_EQ(ChunksOfAtMost(48, 10), 6);
  EXPECT_EQ(ChunksOfAtMost(50, 8), 7);
  EXPECT_EQ(ChunksOfAtMost(7, 100), 1);
  EXPECT_EQ(ChunksOfAtMost(5, 1), 5);
  EXPECT_EQ(FrameRuns({1, 2, 3, 5, 7, 8}), "1-3, 5, 7-8");

  const std::string chunk = "render -o " + Quote(TempPath("c.#.png")) + " --size 16x9 --chunk ";
  ProgramResult r = RunProgram(chunk + "4/3 --frames 1-9");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("--chunk: chunk 4 lies outside 1..3"), std::string::npos) << r.err;
  r = RunProgram(chunk + "3 --frames 1-9");
  EXPECT_NE(r.err.find("--chunk: '3' is not K/N"), std::string::npos) << r.err;
  r = RunProgram(chunk + "1/3 --frames 1-2");
  EXPECT_NE(r.err.find("--chunk: 2 frames cannot be cut into 3 chunks"), std::string::npos) << r.err;
}

TEST(FarmCli, ChunksWriteTheFilesOfAWholeRun) {
  // The sequence's first plate is larger: its size is the frame size that
  // percentages refer to, in every chunk.
  const std::string dir = Folder("chunks");
  for (int f = 1; f <= 7; ++f) {
    Frame plate;
    plate.argb = testhost::Image(f == 1 ? 200 : 160, f == 1 ? 100 : 90,
                                 PF_Pixel{255, static_cast<uint8_t>(10 * f), 20, 40});
    WriteFrame(dir + "/p." + std::to_string(f) + ".png", plate);
  }
  const std::string common = "render " + Quote(dir + "/p.#.png") +
                             " --frames 1-7 --light 50%,50%@1 --light 10%,90%@7 "
                             "--shutter-angle 180 -q -o ";
  ProgramResult r = RunProgram(common + Quote(dir + "/whole.#.png") + " --jobs 1");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (int k = 1; k <= 3; ++k) {
    r = RunProgram(common + Quote(dir + "/chunk.#.png") + " --jobs 2 --chunk " +
                   std::to_string(k) + "/3");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // Chunk 1 renders 1-2, chunk 2 3-4, chunk 3 5-7.
    EXPECT_EQ(Exists(dir + "/chunk.5.png"), k == 3);
  }
  for (int f = 1; f <= 7; ++f) {
    EXPECT_TRUE(SameBytes(dir + "/whole." + std::to_string(f) + ".png",
                          dir + "/chunk." + std::to_string(f) + ".png"))
        << "frame " << f;
  }
  // A chunk needs only its own plates, and the first that sets the size.
  fs::remove(dir + "/p.3.png");
  r = RunProgram(common + Quote(dir + "/again.#.png") + " --chunk 3/3");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  fs::remove(dir + "/p.1.png");
  r = RunProgram(common + Quote(dir + "/again.#.png") + " --chunk 3/3");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("p.1.png: no such file (frame 1 of the input sequence)"), std::string::npos)
      << r.err;
}

TEST(FarmCli, SkipExistingRendersAgainWhatIsMissingOrDamaged) {
  const std::string dir = Folder("skip");
  const std::string out = Quote(dir + "/out.####.png");
  const std::string render = "render --size 320x180 --frames 1-5 --light 30,40@1 --light 300,170@5 -o " + out;
  ProgramResult r = RunProgram(render + " -q");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto name = [&](int f) { return dir + "/out.000" + std::to_string(f) + ".png"; };
  for (int f = 1; f <= 5; ++f) fs::copy_file(name(f), dir + "/first." + std::to_string(f));
  // Frame 2 cut short as a killed copy leaves it, 3 gone (a render killed
  // outright while writing it left half of it in its hidden temporary), 4 not
  // an image, 5 empty.
  const std::string two = ReadWholeFile(name(2));
  WriteText(name(2), two.substr(0, two.size() / 2));
  fs::remove(name(3));
  const std::string leftover = dir + "/.out.0003.png.partial-Xk3b9Q";
  WriteText(leftover, two.substr(0, two.size() / 2));
  WriteText(name(4), "not a picture");
  WriteText(name(5), "");
  struct stat before {};
  ASSERT_EQ(stat(name(1).c_str(), &before), 0);

  r = RunProgram("frames check " + out + " --frames 1-5");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("missing     3\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("unreadable  2  " + name(2) + ": "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("unreadable  4  " + name(4) + ": "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("unreadable  5  " + name(5) + ": "), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("4 of 5 frames missing or unreadable (1 missing, 3 unreadable)"),
            std::string::npos) << r.err;

  r = RunProgram(render + " --skip-existing --jobs 2");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("1 of 5 frames were already written whole and were kept"),
            std::string::npos) << r.err;
  for (int f = 1; f <= 5; ++f) {
    EXPECT_TRUE(SameBytes(name(f), dir + "/first." + std::to_string(f))) << "frame " << f;
  }
  struct stat after {};
  ASSERT_EQ(stat(name(1).c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // frame 1 was never written again
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

  r = RunProgram("frames check " + out + " --frames 1-5");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("all 5 frames"), std::string::npos) << r.out;
  // The temporary was never taken for frame 3, nor removed: no run knows it is not another's.
  EXPECT_EQ(ReadWholeFile(leftover), two.substr(0, two.size() / 2));
}

TEST(FarmCli, RefusalsSayWhyAndLeaveNothingButTheJobFolder) {
  const std::string dir = Folder("refusals");
  FakeSlurm slurm(dir);
  const std::string job = dir + "/job";
  const std::string farm = "farm slurm --size 64x36 --frames 1-6 -o " +
                           Quote(dir + "/out.####.png") + " --job-dir " + Quote(job) + " ";

  // Wrong before anything is made: no job folder.
  ProgramResult r = RunProgram(farm);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("--chunk-size"), std::string::npos) << r.err;
  r = RunProgram(farm + "--chunk-size 2 --jobs 4");
  EXPECT_NE(r.err.find("--jobs: each task renders on the CPUs Slurm gives it"), std::string::npos)
      << r.err;
  r = RunProgram(farm + "--chunk-size 2 --lens " + Quote(dir + "/none.gwr"));
  EXPECT_NE(r.err.find("none.gwr: no such file"), std::string::npos) << r.err;
  r = RunProgram(farm + "--chunk-size 2 --brightness 5000");
  EXPECT_NE(r.err.find("--brightness: 5000"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(job));

  // Slurm's commands are not there: one line, the job folder kept.
  const std::string path = std::getenv("PATH");
  setenv("PATH", (dir + "/bin").c_str(), 1);
  r = RunProgram(farm + "--chunk-size 2");
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "glarewright: sbatch was not found: Slurm's commands are not installed here "
                   "or not on PATH (the job folder " + job +
                   " is kept; nothing was submitted)\n");
  EXPECT_TRUE(Exists(job + "/job.sh"));
  r = RunProgram(farm + "--chunk-size 2");
  EXPECT_NE(r.err.find("--job-dir: " + job + " already exists and is not an empty folder (it "
                       "holds a job: --resume"), std::string::npos) << r.err;

  // Slurm refuses the job.
  fs::remove_all(job);
  slurm.Command("sbatch", "", 1,
                "sbatch: error: invalid partition specified: nosuch\\n"
                "sbatch: error: Batch job submission failed: Invalid partition name specified\\n");
  r = RunProgram(farm + "--chunk-size 2 --partition nosuch");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "glarewright: sbatch refused the job: Batch job submission failed: Invalid "
                   "partition name specified (the job folder " + job +
                   " is kept; nothing was submitted)\n");
  EXPECT_EQ(fs::directory_entry(job + "/logs").exists() && fs::is_empty(job + "/logs"), true);

  r = RunProgram("farm slurm --resume " + Quote(dir));
  EXPECT_NE(r.err.find("is not a job folder of `farm slurm` (no job.json)"), std::string::npos)
      << r.err;
  r = RunProgram("farm slurm --resume " + Quote(job) + " --brightness 50");
  EXPECT_NE(r.err.find("--resume: --brightness: a job resumes as it was made"), std::string::npos)
      << r.err;
}

TEST(FarmCli, ResumeSubmitsOnlyTheChunksWithFramesMissing) {
  const std::string dir = Folder("resume");
  FakeSlurm slurm(dir);
  slurm.Command("sbatch", "4242;cluster\\n", 0);
  slurm.Command("squeue", "", 0);
  const std::string job = dir + "/job job";  // names with blanks survive the script
  const std::string lens = dir + "/my lens.gwr";
  ASSERT_EQ(RunProgram("lens new --force -o " + Quote(lens)).exitCode, 0);
  ProgramResult r = RunProgram("farm slurm --size 64x36 --frames 1-12 --chunk-size 4 "
                               "--max-running 2 --cpus-per-task 2 --light 10,10@1 --angle -30 "
                               "--lens " + Quote(lens) + " -o " + Quote(dir + "/out.####.png") +
                               " --job-dir " + Quote(job));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Submitted Slurm job 4242: frames 1-12"), std::string::npos) << r.out;
  EXPECT_EQ(slurm.Calls(), "sbatch --parsable " + job + "/job.sh\n");
  const std::string script = ReadWholeFile(job + "/job.sh");
  EXPECT_NE(script.find("#SBATCH --array=1-3%2\n"), std::string::npos) << script;
  EXPECT_NE(script.find("#SBATCH --cpus-per-task=2\n"), std::string::npos) << script;
  EXPECT_NE(script.find("#SBATCH --output=\"" + job + "/logs/chunk-%a.job-%A.log\"\n"),
            std::string::npos) << script;
  EXPECT_NE(script.find("'--lens=" + job + "/lens.gwr'"), std::string::npos) << script;
  EXPECT_TRUE(SameBytes(lens, job + "/lens.gwr"));
  // The lens may change after submitting: the tasks read the copy.
  ASSERT_EQ(RunProgram("lens add " + Quote(lens) + " Sparkle").exitCode, 0);

  // Chunks 1 and 3 ran as Slurm runs them; chunk 2 never did.
  for (const char* task : {"1", "3"}) {
    const int code = std::system(("cd / && SLURM_ARRAY_TASK_ID=" + std::string(task) +
                                  " SLURM_CPUS_PER_TASK=2 bash " + Quote(job + "/job.sh") +
                                  " > /dev/null 2>&1").c_str());
    ASSERT_EQ(code, 0) << "chunk " << task;
  }
  EXPECT_TRUE(Exists(dir + "/out.0012.png"));
  EXPECT_FALSE(Exists(dir + "/out.0005.png"));
  slurm.ForgetCalls();
  r = RunProgram("farm slurm --resume " + Quote(job) + " --time 30:00");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(slurm.Calls(), "squeue -h -o %i -j 4242\nsbatch --parsable --array=2%2 --time=30:00 " +
                               job + "/job.sh\n");
  EXPECT_NE(r.err.find("4 of 12 frames missing or unreadable (5-8)"), std::string::npos) << r.err;

  // The earlier job still runs: resuming now would render its frames twice.
  slurm.Command("squeue", "4243_2\\n", 0);
  r = RunProgram("farm slurm --resume " + Quote(job));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("job 4242 still has tasks queued or running"), std::string::npos)
      << r.err;

  // Once every chunk has run, the frames equal a whole run's.
  ASSERT_EQ(std::system(("SLURM_ARRAY_TASK_ID=2 bash " + Quote(job + "/job.sh") +
                         " > /dev/null 2>&1").c_str()),
            0);
  r = RunProgram("render --size 64x36 --frames 1-12 --light 10,10@1 --angle -30 -q --lens " +
                 Quote(job + "/lens.gwr") + " -o " + Quote(dir + "/whole.####.png"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (int f = 1; f <= 12; ++f) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d.png", f);
    EXPECT_TRUE(SameBytes(dir + "/out." + name, dir + "/whole." + name)) << name;
  }
  r = RunProgram("farm slurm --resume " + Quote(job));
  EXPECT_EQ(r.exitCode, 1);  // squeue still says a task runs
  slurm.Command("squeue", "", 0);
  r = RunProgram("farm slurm --resume " + Quote(job));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Nothing to submit: all 12 frames"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace gw
