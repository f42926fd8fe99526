#include "cli/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

extern char** environ;

namespace gw {
namespace {

// A pipe whose ends are closed on every path.
struct Pipe {
  int ends[2] = {-1, -1};
  bool Open() { return pipe2(ends, O_CLOEXEC) == 0; }
  void Close(int which) {
    if (ends[which] >= 0) close(ends[which]);
    ends[which] = -1;
  }
  ~Pipe() {
    Close(0);
    Close(1);
  }
};

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
  ChildResult result;
  Pipe out, err;
  if (argv.empty() || !out.Open() || !err.Open()) {
    result.startError = argv.empty() ? EINVAL : errno;
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err.ends[1], STDERR_FILENO);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  result.startError = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result.startError != 0) return result;
  out.Close(1);
  err.Close(1);

  const auto deadline = std::chrono::steady_clock::now() + limit;
  pollfd fds[2] = {{out.ends[0], POLLIN, 0}, {err.ends[0], POLLIN, 0}};
  std::string* texts[2] = {&result.out, &result.err};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      kill(pid, SIGKILL);
      break;
    }
    const int ready = poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), 1000)));
    if (ready < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        texts[i]->append(buffer, static_cast<size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        fds[i].fd = -1;  // the end: the pipe closes with its Pipe
      }
    }
  }
  // Its output is closed: it ends now, or is killed when the time is up.
  int status = 0;
  for (;;) {
    const pid_t ended = waitpid(pid, &status, result.timedOut ? 0 : WNOHANG);
    if (ended == pid || (ended < 0 && errno != EINTR)) break;
    if (ended == 0 && std::chrono::steady_clock::now() >= deadline) {
      result.timedOut = true;
      kill(pid, SIGKILL);
    } else if (ended == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

}  // namespace gw
