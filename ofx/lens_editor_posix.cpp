#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "lensfile/lensfile.h"
#include "ofx/lens_editor.h"

extern char** environ;

namespace gw::ofx {
namespace {

bool Runnable(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The folder this binary was loaded from.
std::string BinaryFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&BinaryFolder), &info) == 0 || !info.dli_fname) return "";
  return std::filesystem::path(info.dli_fname).parent_path().string();
}

std::string OnPath(const char* program) {
  const char* path = std::getenv("PATH");
  for (std::string_view rest = path ? path : ""; !rest.empty();) {
    const size_t colon = rest.find(':');
    const std::string folder(rest.substr(0, colon));
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
    if (Runnable(candidate)) return candidate;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return "";
}

// A folder only this user can enter, removed with everything in it (the
// editor's own temporaries too) when the edit is over.
class PrivateFolder {
 public:
  bool Make(std::string& message) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp && *tmp ? tmp : "/tmp";
    std::string name = base + "/glarewright-lens-XXXXXX";
    if (!mkdtemp(name.data())) {
      message = "no private temporary folder can be made in " + base + ": " +
                std::strerror(errno) + " (TMPDIR names where)";
      return false;
    }
    path_ = name;
    return true;
  }
  ~PrivateFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Where the editor says it kept the lens when it could not write the file
// it was given (and the user chose another); "" when it did not say so.
std::string KeptElsewhere(const std::string& log) {
  constexpr std::string_view kKept = "The lens was kept in ";
  std::ifstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with(kKept)) return line.substr(kKept.size());
  }
  return "";
}

// The last line the editor wrote, for the message.
std::string LastLine(const std::string& log) {
  std::ifstream in(log);
  std::string line, last;
  while (std::getline(in, line)) {
    if (!line.empty()) last = line;
  }
  constexpr size_t kLongest = 300;
  if (last.size() > kLongest) last = last.substr(0, kLongest) + "...";
  return last;
}

// Starts the editor on the file (over the background picture, unless "")
// with its output going to the log; the process id, or -1 with errno's
// reason in `message`.
pid_t Start(const std::string& editor, const std::string& file, const std::string& background,
            const std::string& log, std::string& message) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::vector<char*> argv = {const_cast<char*>(editor.c_str()), const_cast<char*>(file.c_str())};
  std::string backgroundOption = "--background";
  if (!background.empty()) {
    argv.push_back(backgroundOption.data());
    argv.push_back(const_cast<char*>(background.c_str()));
  }
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, editor.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    message = "the Lens Editor (" + editor + ") cannot be started: " + std::strerror(error);
    return -1;
  }
  return pid;
}

// The frame as an 8-bit binary PPM, the picture `--background` takes.
bool WritePpm(const RgbPicture& frame, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << frame.width << ' ' << frame.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(frame.rgb.data()),
            static_cast<std::streamsize>(frame.rgb.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

std::string FindLensEditor(std::string& reason) {
  if (const char* named = std::getenv(kEditorVariable); named && *named) {
    if (Runnable(named)) return named;
    reason = std::string(kEditorVariable) + " names " + named + ", which is not a program " +
             "that can be run";
    return "";
  }
  const std::string folder = BinaryFolder();
  if (!folder.empty() && Runnable(folder + "/" + kEditorProgram)) {
    return folder + "/" + kEditorProgram;
  }
  if (std::string found = OnPath(kEditorProgram); !found.empty()) return found;
  reason = std::string("the Lens Editor (") + kEditorProgram + ") is neither beside the plug-in " +
           "nor on the PATH; set " + kEditorVariable + " to the program";
  return "";
}

EditorOutcome RunLensEditor(Lens& lens, const BackgroundSource& background,
                            std::string& message) {
  const std::string editor = FindLensEditor(message);
  if (editor.empty()) return EditorOutcome::Failed;
  PrivateFolder folder;
  if (!folder.Make(message)) return EditorOutcome::Failed;
  const std::string file = folder.File("lens.gwr"), log = folder.File("editor.log");
  if (const int32_t status = SaveLensFile(file.c_str(), lens); status != kLensFileOk) {
    message = "the lens cannot be handed to the Lens Editor: " + file + ": " +
              LensFileStatusMessage(status);
    return EditorOutcome::Failed;
  }
  std::string picture = folder.File("background.ppm");
  try {
    RgbPicture frame;
    if (!background || !background(frame) || !WritePpm(frame, picture)) picture.clear();
  } catch (const std::bad_alloc&) {
    picture.clear();  // the editor opens over black
  }
  const pid_t pid = Start(editor, file, picture, log, message);
  if (pid < 0) return EditorOutcome::Failed;
  int status = 0;
  pid_t waited;
  do {
    waited = waitpid(pid, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited != pid) {
    message = std::string("the Lens Editor's end cannot be told: ") + std::strerror(errno);
    return EditorOutcome::Failed;
  }
  if (WIFSIGNALED(status)) {
    message = "the Lens Editor was stopped by signal " + std::to_string(WTERMSIG(status)) + " (" +
              strsignal(WTERMSIG(status)) + ")";
    return EditorOutcome::Failed;
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (code == kEditorCancelled) return EditorOutcome::Cancelled;
  if (code != kEditorKept) {
    const std::string said = LastLine(log);
    message = "the Lens Editor failed (exit status " + std::to_string(code) + ")" +
              (said.empty() ? "" : ": " + said);
    return EditorOutcome::Failed;
  }
  const std::string elsewhere = KeptElsewhere(log);
  const std::string kept = elsewhere.empty() ? file : elsewhere;
  Lens edited = LensForLoading();
  if (const int32_t read = LoadLensFile(kept.c_str(), edited, false); read != kLensFileOk) {
    message = "the Lens Editor ended with OK, but its lens cannot be read: " +
              std::string(LensFileStatusMessage(read));
    return EditorOutcome::Failed;
  }
  lens = edited;
  return EditorOutcome::Kept;
}

}  // namespace gw::ofx
