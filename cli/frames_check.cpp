#include "cli/frames_check.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/chunks.h"
#include "cli/errors.h"
#include "cli/image_io.h"
#include "cli/interrupts.h"
#include "cli/render_options.h"
#include "cli/worker_pool.h"

namespace gw {
namespace {

// What a worker process found in one file.
struct ReadVerdict {
  bool whole;
  char reason[480];
};

struct FramesCheckOptions {
  std::string pattern;
  std::string frames;
  std::string jobs;
  bool quiet = false;
};

void RunFramesCheck(const FramesCheckOptions& o) {
  const std::optional<FrameRange> range = ParseFrameRange(o.frames);
  if (!range) throw CommandError("--frames: " + FrameRangeProblem(o.frames));
  if (range->last > range->first && !IsSequencePattern(o.pattern)) {
    throw CommandError(o.pattern + ": several frames need a numbered name such as out.####.png");
  }
  const int jobs = o.jobs.empty() ? DefaultJobs() : ParseIntegerWithin("--jobs", o.jobs, 1, 64);
  const std::vector<FrameFault> faults = FindFrameFaults(o.pattern, *range, jobs, !o.quiet);
  const int frames = range->last - range->first + 1;
  std::vector<int> missing;
  for (const FrameFault& fault : faults) {
    if (fault.missing) missing.push_back(fault.frame);
  }
  if (!missing.empty()) {
    std::cout << "missing     " << FrameRuns(missing) << "\n";
  }
  for (const FrameFault& fault : faults) {
    if (!fault.missing) std::cout << "unreadable  " << fault.frame << "  " << fault.reason << "\n";
  }
  std::cout.flush();
  if (!faults.empty()) {
    throw CommandError(o.pattern + ": " + std::to_string(faults.size()) + " of " +
                       std::to_string(frames) + " frames missing or unreadable (" +
                       std::to_string(missing.size()) + " missing, " +
                       std::to_string(faults.size() - missing.size()) + " unreadable)");
  }
  std::cout << "all " << frames << " frames of " << o.pattern << " (" << range->first << "-"
            << range->last << ") read back whole\n";
}

}  // namespace

bool ReadsBackWhole(const std::string& path, std::string* reason) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    if (reason) *reason = path + ": no such file";
    return false;
  }
  try {
    if (S_ISDIR(st.st_mode)) throw FileError(path, "is a folder, not an image");
    // A FIFO or device is written to, never read back.
    if (!S_ISREG(st.st_mode)) throw FileError(path, "is not a regular file");
    ReadPlate(path);
    return true;
  } catch (const CommandError& e) {
    // The image library's first line says what went wrong; the rest repeats it.
    if (reason) *reason = std::string(e.what()).substr(0, std::string(e.what()).find('\n'));
  } catch (const std::bad_alloc&) {
    if (reason) *reason = path + ": not enough memory to read it back";
  }
  return false;
}

std::vector<FrameFault> FindFrameFaults(const std::string& pattern, FrameRange range, int jobs,
                                        bool progress) {
  std::vector<FrameFault> faults;
  std::vector<int> present;  // files to read back
  for (int frame = range.first; frame <= range.last; ++frame) {
    if (access(FrameFileName(pattern, frame).c_str(), F_OK) == 0) {
      present.push_back(frame);
    } else {
      faults.push_back({frame, true, FrameFileName(pattern, frame) + ": no such file"});
    }
  }
  const int count = static_cast<int>(present.size());
  SharedArray<ReadVerdict> verdicts(present.size());
  {
    CancelScope scope;
    ProgressBar bar(count, progress && isatty(STDERR_FILENO));
    const JobsOutcome outcome = RunJobs(
        count, jobs,
        [&]() -> ItemWork {
          return [&](int item, ItemContext&) {
            std::string reason;
            ReadVerdict& verdict = verdicts[static_cast<size_t>(item)];
            verdict.whole = ReadsBackWhole(FrameFileName(pattern, present[item]), &reason);
            std::snprintf(verdict.reason, sizeof verdict.reason, "%s", reason.c_str());
          };
        },
        bar);
    bar.Finish();
    if (outcome.interrupted) throw CommandError("interrupted: the frames were not all checked");
  }
  for (int item = 0; item < count; ++item) {
    if (!verdicts[static_cast<size_t>(item)].whole) {
      faults.push_back({present[item], false, verdicts[static_cast<size_t>(item)].reason});
    }
  }
  std::sort(faults.begin(), faults.end(),
            [](const FrameFault& a, const FrameFault& b) { return a.frame < b.frame; });
  return faults;
}

void AddFramesCommands(CLI::App& app) {
  CLI::App* frames = app.add_subcommand("frames", "Check a rendered sequence");
  frames->require_subcommand(1);
  auto o = std::make_shared<FramesCheckOptions>();
  CLI::App* check = frames->add_subcommand(
      "check", "List the frames of a sequence that are missing or do not read back whole "
               "(exit 1 when there are any)");
  check->add_option("pattern", o->pattern, "Numbered output, such as out.####.exr")->required();
  check->add_option("--frames", o->frames, "Frame range A-B (or one frame N)")->required();
  check->add_option("-j,--jobs", o->jobs, "Processes reading frames (default: one per core)");
  check->add_flag("-q,--quiet", o->quiet, "No progress bar");
  check->callback([o] { RunFramesCheck(*o); });
}

}  // namespace gw
