#include "cli/farm_slurm.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>

#include "cli/child_process.h"
#include "cli/chunks.h"
#include "cli/errors.h"
#include "cli/files.h"
#include "cli/frames_check.h"
#include "cli/presets_commands.h"
#include "cli/render_command.h"
#include "cli/render_options.h"
#include "presets/presets.h"

namespace gw {
namespace {

using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

// sbatch and squeue answer at once when slurmctld is up; past this it is not.
constexpr auto kSlurmAnswerLimit = std::chrono::seconds(60);
constexpr const char* kScriptName = "job.sh";
constexpr const char* kManifestName = "job.json";
constexpr int kManifestVersion = 1;

struct FarmOptions {
  std::string chunkSize, partition, cpusPerTask, time, maxRunning, jobDir, resume;
  bool dryRun = false;
};

// `farm slurm` as parsed: the render options, its own, and which are its own.
struct FarmCommand {
  CLI::App* app = nullptr;
  std::shared_ptr<RenderOptions> render = std::make_shared<RenderOptions>();
  FarmOptions farm;
  std::set<const CLI::Option*> own;
};

// What a job folder records of its job, for --resume.
struct Manifest {
  std::string workDir;  // where the tasks run: relative names start there
  std::string output;
  FrameRange frames{0, 0};
  int chunks = 1;
  int chunkSize = 1;
  std::string maxRunning;
  Json json;
};

std::string Absolute(const std::string& path) {
  return fs::absolute(fs::path(path)).lexically_normal().string();
}

// A word for a shell: as it is when it needs no quotes, else in single quotes.
std::string ShellWord(const std::string& text) {
  const bool plain = !text.empty() && text.find_first_not_of(
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                          "0123456789_./=:,@%+-") == std::string::npos;
  if (plain) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// A value of an #SBATCH line: sbatch reads double quotes there, nothing else.
std::string DirectiveValue(const std::string& option, const std::string& text) {
  if (text.find_first_of("\"\n\r") != std::string::npos) {
    throw CommandError(option + ": '" + text + "' holds a quote or line break, which a Slurm "
                                                "script cannot carry");
  }
  return text.find_first_of(" \t") == std::string::npos ? text : "\"" + text + "\"";
}

// An --output name of Slurm: '%' starts its replacements.
std::string LiteralForSlurmOutput(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '%' ? std::string("%%") : std::string(1, c);
  return out;
}

std::string ProgramPath() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) throw CommandError("cannot tell where this program lies (/proc/self/exe)");
  return self.string();
}

std::string Timestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

bool EmptyFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error) && fs::is_empty(path, error) && !error;
}

// Makes the job folder and its logs folder: the one asked for (new or
// empty), else glarewright-job-DATE-TIME in the current folder.
std::string MakeJobFolder(const std::string& asked) {
  std::string folder;
  if (!asked.empty()) {
    folder = Absolute(asked);
    if (mkdir(folder.c_str(), 0777) != 0 && !(errno == EEXIST && EmptyFolder(folder))) {
      if (errno == EEXIST) {
        throw CommandError("--job-dir: " + folder + " already exists and is not an empty folder" +
                           (access((folder + "/" + kManifestName).c_str(), F_OK) == 0
                                ? " (it holds a job: --resume " + ShellWord(folder) + ")"
                                : ""));
      }
      throw CommandError("--job-dir: " + folder + " cannot be made: " + std::strerror(errno));
    }
  } else {
    const std::string base = Absolute("glarewright-job-" + Timestamp());
    folder = base;
    for (int n = 2; mkdir(folder.c_str(), 0777) != 0; ++n) {
      if (errno != EEXIST || n > 100) {
        throw CommandError(base + ": the job folder cannot be made: " + std::strerror(errno));
      }
      folder = base + "-" + std::to_string(n);
    }
  }
  const std::string logs = folder + "/logs";
  if (mkdir(logs.c_str(), 0777) != 0 && errno != EEXIST) {
    throw CommandError(logs + ": cannot be made: " + std::strerror(errno));
  }
  return folder;
}

void CopyInto(const std::string& from, const std::string& to) {
  WriteTextOrThrow(to, ReadTextFile(from));
}

// The render command of every task as words: the options given to `farm
// slurm` that describe the picture, with the lens and track files replaced
// by their copies in the job folder and the preset by its name.
std::vector<std::string> TaskRenderWords(const FarmCommand& c, const std::string& jobFolder) {
  std::vector<std::string> words = {ProgramPath(), "render"};
  for (const CLI::Option* option : c.app->get_options()) {
    if (c.own.count(option) || option->count() == 0) continue;
    if (!option->nonpositional()) {
      for (const std::string& value : option->results()) words.push_back(value);
      continue;
    }
    const std::string name = "--" + (option->get_lnames().empty()
                                         ? option->get_snames().front()
                                         : option->get_lnames().front());
    if (option->get_expected_max() == 0) {  // a flag
      words.push_back(name);
      continue;
    }
    for (std::string value : option->results()) {
      if (name == "--lens") {
        value = jobFolder + "/lens.gwr";
        CopyInto(c.render->lens, value);
      } else if (name == "--light-track") {
        value = jobFolder + "/light-track" + fs::path(c.render->lightTrack).extension().string();
        CopyInto(c.render->lightTrack, value);
      } else if (name == "--preset") {
        value = std::string(PresetName(ResolvePresetOrThrow("--preset", value)));
      }
      words.push_back(name + "=" + value);
    }
  }
  return words;
}

std::string ArrayRange(int chunks) { return chunks == 1 ? "1" : "1-" + std::to_string(chunks); }

std::string WithMaxRunning(const std::string& array, const std::string& maxRunning) {
  return maxRunning.empty() ? array : array + "%" + maxRunning;
}

std::string Script(const FarmCommand& c, const Manifest& m, const std::string& jobFolder,
                   const std::vector<std::string>& render) {
  const std::string frames = std::to_string(m.frames.first) + "-" + std::to_string(m.frames.last);
  std::string s = "#!/bin/bash\n";
  s += "# Frames " + frames + " of " + m.output + " in " + std::to_string(m.chunks) +
       " chunks of at most " + std::to_string(m.chunkSize) +
       " frames,\n# one Slurm array task per chunk, made by `glarewright farm slurm`.\n"
       "# A task keeps the frames already whole (--skip-existing), so a chunk\n"
       "# run again finishes what it left.\n"
       "# What is missing:  glarewright frames check " + ShellWord(m.output) + " --frames " +
       frames + "\n# Submit those chunks again:  glarewright farm slurm --resume " +
       ShellWord(jobFolder) + "\n";
  s += "#SBATCH --job-name=glarewright\n";
  s += "#SBATCH --array=" + WithMaxRunning(ArrayRange(m.chunks), m.maxRunning) + "\n";
  s += "#SBATCH --chdir=" + DirectiveValue("the current folder", m.workDir) + "\n";
  s += "#SBATCH --output=" +
       DirectiveValue("--job-dir", LiteralForSlurmOutput(jobFolder) + "/logs/chunk-%a.job-%A.log") +
       "\n";
  if (!c.farm.partition.empty()) {
    s += "#SBATCH --partition=" + DirectiveValue("--partition", c.farm.partition) + "\n";
  }
  if (!c.farm.cpusPerTask.empty()) s += "#SBATCH --cpus-per-task=" + c.farm.cpusPerTask + "\n";
  if (!c.farm.time.empty()) s += "#SBATCH --time=" + DirectiveValue("--time", c.farm.time) + "\n";
  s += "echo \"glarewright: chunk ${SLURM_ARRAY_TASK_ID}/" + std::to_string(m.chunks) +
       " of job ${SLURM_ARRAY_JOB_ID} on $(hostname), $(date -u +%FT%TZ)\"\n";
  s += "exec " + ShellWord(render[0]) + " " + render[1];
  for (size_t i = 2; i < render.size(); ++i) s += " \\\n  " + ShellWord(render[i]);
  s += " \\\n  --chunk \"${SLURM_ARRAY_TASK_ID}/" + std::to_string(m.chunks) +
       "\" --jobs \"${SLURM_CPUS_PER_TASK:-1}\" --skip-existing\n";
  return s;
}

void WriteManifest(const std::string& jobFolder, const Manifest& m) {
  WriteTextOrThrow(jobFolder + "/" + kManifestName, m.json.dump(2) + "\n");
}

Manifest ReadManifest(const std::string& jobFolder) {
  const std::string path = jobFolder + "/" + kManifestName;
  if (access(path.c_str(), F_OK) != 0) {
    throw CommandError("--resume: " + jobFolder + " is not a job folder of `farm slurm` (no " +
                       kManifestName + ")");
  }
  Manifest m;
  try {
    m.json = Json::parse(ReadTextFile(path));
    if (m.json.at("version").get<int>() != kManifestVersion) {
      throw FileError(path, "written by another version of the program");
    }
    m.workDir = m.json.at("workDir").get<std::string>();
    m.output = m.json.at("output").get<std::string>();
    m.frames = {m.json.at("frames").at(0).get<int>(), m.json.at("frames").at(1).get<int>()};
    m.chunks = m.json.at("chunks").get<int>();
    m.chunkSize = m.json.at("chunkSize").get<int>();
    m.maxRunning = m.json.value("maxRunning", "");
  } catch (const Json::exception& e) {
    throw FileError(path, std::string("damaged: ") + e.what());
  }
  if (m.frames.first < 0 || m.frames.last < m.frames.first || m.frames.last == INT_MAX ||
      m.chunks < 1 || m.chunks > m.frames.last - m.frames.first + 1 ||
      m.maxRunning.find_first_not_of("0123456789") != std::string::npos) {
    throw FileError(path, "damaged: its frames, chunks and tasks do not agree");
  }
  return m;
}

// Slurm's own words from what sbatch or squeue printed on failure.
std::string SlurmWords(const ChildResult& r) {
  std::string text = r.err.empty() ? r.out : r.err;
  // The last "error:" line says what was refused.
  const size_t at = text.rfind("error: ");
  if (at != std::string::npos) text = text.substr(at + 7);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (char& ch : text) {
    if (ch == '\n') ch = ' ';
  }
  return text.empty() ? "exit status " + std::to_string(r.exitCode) : text;
}

ChildResult RunSlurmCommand(const std::vector<std::string>& argv, const std::string& jobFolder) {
  const ChildResult r = RunChild(argv, kSlurmAnswerLimit);
  const std::string kept = " (the job folder " + jobFolder + " is kept; nothing was submitted)";
  if (r.startError == ENOENT) {
    throw CommandError(argv[0] + " was not found: Slurm's commands are not installed here or "
                                 "not on PATH" + kept);
  }
  if (r.startError != 0) {
    throw CommandError(argv[0] + " cannot be started: " + std::strerror(r.startError) + kept);
  }
  if (r.timedOut) {
    throw CommandError(argv[0] + " did not answer within " +
                       std::to_string(kSlurmAnswerLimit.count()) +
                       " s: is slurmctld up? (scontrol ping)" + kept);
  }
  return r;
}

// Submits the script for `array` and records the job; prints how to follow it.
void Submit(const FarmCommand& c, Manifest& m, const std::string& jobFolder,
            const std::vector<std::string>& chunkList, const std::vector<std::string>& overrides) {
  std::vector<std::string> argv = {"sbatch", "--parsable"};
  argv.insert(argv.end(), overrides.begin(), overrides.end());
  argv.push_back(jobFolder + "/" + kScriptName);
  const std::string frames = std::to_string(m.frames.first) + "-" + std::to_string(m.frames.last);
  if (c.farm.dryRun) {
    std::string line;
    for (const std::string& word : argv) line += (line.empty() ? "" : " ") + ShellWord(word);
    std::cout << line << "\n";
    std::cerr << "glarewright: dry run: nothing was submitted; the job folder " << jobFolder
              << " holds the script\n";
    return;
  }
  const ChildResult r = RunSlurmCommand(argv, jobFolder);
  if (r.exitCode != 0) {
    throw CommandError("sbatch refused the job: " + SlurmWords(r) + " (the job folder " +
                       jobFolder + " is kept; nothing was submitted)");
  }
  const std::string id = r.out.substr(0, r.out.find_first_of(";\n"));
  if (id.empty() || id.find_first_not_of("0123456789") != std::string::npos) {
    throw CommandError("sbatch answered '" + r.out + "', not a job id");
  }
  std::string chunks;
  for (const std::string& k : chunkList) chunks += (chunks.empty() ? "" : ",") + k;
  m.json["submitted"].push_back(Json{{"job", id}, {"chunks", chunks}});
  WriteManifest(jobFolder, m);
  std::cout << "Submitted Slurm job " << id << ": frames " << frames << " of " << m.output
            << ", chunk" << (chunkList.size() == 1 && chunkList[0].find('-') == std::string::npos
                                 ? " "
                                 : "s ")
            << chunks << " of " << m.chunks << "\n"
            << "  follow it:        squeue -j " << id << "    (logs: " << jobFolder << "/logs)\n"
            << "  missing frames:   glarewright frames check " << ShellWord(m.output)
            << " --frames " << frames << "\n"
            << "  submit them again: glarewright farm slurm --resume " << ShellWord(jobFolder)
            << "\n";
}

// The sbatch options that --partition, --cpus-per-task and --time give on
// the command line (they outweigh the script's).
std::vector<std::string> SbatchOverrides(const FarmOptions& f) {
  std::vector<std::string> words;
  if (!f.partition.empty()) words.push_back("--partition=" + f.partition);
  if (!f.cpusPerTask.empty()) words.push_back("--cpus-per-task=" + f.cpusPerTask);
  if (!f.time.empty()) words.push_back("--time=" + f.time);
  return words;
}

void CheckFarmNumbers(const FarmOptions& f) {
  // A task renders in one worker process per CPU, as --jobs does: 64 at most.
  if (!f.cpusPerTask.empty()) ParseIntegerWithin("--cpus-per-task", f.cpusPerTask, 1, 64);
  if (!f.maxRunning.empty()) ParseIntegerWithin("--max-running", f.maxRunning, 1, 1000000);
}

void SubmitNew(FarmCommand& c) {
  const RenderOptions& o = *c.render;
  if (c.farm.chunkSize.empty()) throw CommandError("--chunk-size: give the most frames a task renders");
  if (o.frames.empty()) throw CommandError("--frames: give the frames to render on the farm, A-B");
  const int chunkSize = ParseIntegerWithin("--chunk-size", c.farm.chunkSize, 1, 1000000);
  if (!o.jobs.empty()) {
    throw CommandError("--jobs: each task renders on the CPUs Slurm gives it: "
                       "ask for them with --cpus-per-task");
  }
  CheckFarmNumbers(c.farm);
  // Every task would fail the same way: find out now, before the job exists.
  const RenderPlan plan = CheckRenderSetUp(o);

  Manifest m;
  m.workDir = fs::current_path().string();
  m.output = o.output;
  m.frames = plan.sequence;
  m.chunks = ChunksOfAtMost(plan.frameCount, chunkSize);
  m.chunkSize = chunkSize;
  m.maxRunning = c.farm.maxRunning;
  const std::string jobFolder = MakeJobFolder(c.farm.jobDir);
  const std::vector<std::string> render = TaskRenderWords(c, jobFolder);
  m.json = Json{{"version", kManifestVersion},
                {"workDir", m.workDir},
                {"output", m.output},
                {"frames", {m.frames.first, m.frames.last}},
                {"chunks", m.chunks},
                {"chunkSize", m.chunkSize},
                {"maxRunning", m.maxRunning},
                {"render", render},
                {"submitted", Json::array()}};
  const std::string script = Script(c, m, jobFolder, render);
  WriteTextOrThrow(jobFolder + "/" + kScriptName, script);
  chmod((jobFolder + "/" + kScriptName).c_str(), 0755);
  WriteManifest(jobFolder, m);
  if (c.farm.dryRun) std::cout << script;
  Submit(c, m, jobFolder, {ArrayRange(m.chunks)}, {});
}

// Chunks of the job that still have frames missing or unreadable.
std::vector<int> ChunksToRedo(const Manifest& m, const std::vector<FrameFault>& faults) {
  std::vector<int> chunks;
  size_t next = 0;
  for (int k = 1; k <= m.chunks && next < faults.size(); ++k) {
    const FrameRange frames = ChunkFrames("--resume", m.frames, {k, m.chunks});
    if (faults[next].frame > frames.last) continue;
    chunks.push_back(k);
    while (next < faults.size() && faults[next].frame <= frames.last) ++next;
  }
  return chunks;
}

// Refuses while tasks of the job's earlier submissions are queued or running.
void CheckNothingRunning(const Manifest& m, const std::string& jobFolder) {
  std::set<std::string> seen;
  std::string ids;
  for (const Json& s : m.json.value("submitted", Json::array())) {
    const std::string id = s.value("job", "");
    if (!id.empty() && seen.insert(id).second) ids += (ids.empty() ? "" : ",") + id;
  }
  if (ids.empty()) return;
  const ChildResult r = RunSlurmCommand({"squeue", "-h", "-o", "%i", "-j", ids}, jobFolder);
  const std::string jobs = (seen.size() == 1 ? "job " : "jobs ") + ids;
  // Jobs Slurm has forgotten are jobs that no longer run.
  if (r.exitCode != 0 && r.err.find("Invalid job id") == std::string::npos) {
    throw CommandError("squeue cannot tell whether " + jobs + " still runs: " + SlurmWords(r));
  }
  if (r.exitCode == 0 && r.out.find_first_not_of(" \n") != std::string::npos) {
    throw CommandError(jobs + " still has tasks queued or running (squeue -j " + ids +
                       "): wait for them, or cancel them with scancel, then resume");
  }
}

void Resume(FarmCommand& c) {
  for (const CLI::Option* option : c.app->get_options()) {
    if (option->count() > 0 && !c.own.count(option)) {
      throw CommandError("--resume: " + option->get_name() + ": a job resumes as it was made; "
                         "only --partition, --cpus-per-task, --time, --max-running and "
                         "--dry-run may change");
    }
  }
  if (!c.farm.chunkSize.empty() || !c.farm.jobDir.empty()) {
    throw CommandError("--resume: the chunks and the job folder are the job's own");
  }
  CheckFarmNumbers(c.farm);
  const std::string jobFolder = Absolute(c.farm.resume);
  Manifest m = ReadManifest(jobFolder);
  if (!c.farm.dryRun) CheckNothingRunning(m, jobFolder);
  const std::string output =
      fs::path(m.output).is_absolute() ? m.output : (fs::path(m.workDir) / m.output).string();
  const std::vector<FrameFault> faults = FindFrameFaults(output, m.frames, DefaultJobs(), true);
  const int frames = m.frames.last - m.frames.first + 1;
  if (faults.empty()) {
    std::cout << "Nothing to submit: all " << frames << " frames of " << m.output
              << " read back whole\n";
    return;
  }
  const std::vector<int> chunks = ChunksToRedo(m, faults);
  std::vector<int> faultFrames;
  for (const FrameFault& f : faults) faultFrames.push_back(f.frame);
  std::cerr << "glarewright: " << faults.size() << " of " << frames
            << " frames missing or unreadable (" << FrameRuns(faultFrames) << ")\n";
  std::string array = FrameRuns(chunks);
  array.erase(std::remove(array.begin(), array.end(), ' '), array.end());
  const std::string maxRunning = c.farm.maxRunning.empty() ? m.maxRunning : c.farm.maxRunning;
  std::vector<std::string> overrides = {"--array=" + WithMaxRunning(array, maxRunning)};
  for (const std::string& word : SbatchOverrides(c.farm)) overrides.push_back(word);
  Submit(c, m, jobFolder, {array}, overrides);
}

}  // namespace

void AddFarmCommands(CLI::App& app) {
  CLI::App* farm = app.add_subcommand("farm", "Render a sequence on a render farm");
  farm->require_subcommand(1);
  auto c = std::make_shared<FarmCommand>();
  c->app = farm->add_subcommand(
      "slurm",
      "Render a sequence as a Slurm job array, one task per chunk of frames; or submit again "
      "the chunks of a job whose frames are missing (--resume)");
  CLI::App* slurm = c->app;
  AddRenderOptions(slurm, c->render);
  // Input and output are required by render; a resumed job has its own.
  for (CLI::Option* option : slurm->get_options()) option->required(false);
  slurm->get_option("--jobs")->description("Not here: a task renders on its --cpus-per-task");
  FarmOptions& f = c->farm;
  const CLI::Option* own[] = {
      slurm->get_help_ptr(),
      slurm->add_option("--chunk-size", f.chunkSize, "The most frames one task renders"),
      slurm->add_option("--partition", f.partition, "Slurm partition (default: the cluster's)"),
      slurm->add_option("--cpus-per-task", f.cpusPerTask,
                        "CPUs of each task; its render uses them all (default: Slurm's, 1)"),
      slurm->add_option("--time", f.time, "Time limit of each task, as Slurm writes it (1:30:00)"),
      slurm->add_option("--max-running", f.maxRunning, "At most this many tasks at once"),
      slurm->add_option("--job-dir", f.jobDir,
                        "Folder for the script, copies, logs and record of the job "
                        "(default: glarewright-job-DATE-TIME here); on a filesystem the "
                        "nodes share"),
      slurm->add_flag("--dry-run", f.dryRun, "Write the job folder, print the script, submit nothing"),
      slurm->add_option("--resume", f.resume,
                        "Submit again the chunks of this job folder's job that have frames "
                        "missing or unreadable")};
  for (const CLI::Option* option : own) c->own.insert(option);
  slurm->callback([c] {
    if (!c->farm.resume.empty()) return Resume(*c);
    if (c->render->output.empty()) throw CommandError("--output is required");
    SubmitNew(*c);
  });
}

}  // namespace gw
