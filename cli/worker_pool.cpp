#include "cli/worker_pool.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "cli/errors.h"
#include "cli/interrupts.h"

namespace gw {
namespace {

constexpr int kMaxWorkers = 64;
constexpr size_t kMaxMessage = 2048;
constexpr auto kPollInterval = std::chrono::milliseconds(40);
constexpr int kFractionScale = 1000000;

// Exit codes of a worker.
constexpr int kWorkerDone = 0;
constexpr int kWorkerFailed = 1;
constexpr int kWorkerCancelled = 2;

// The block the parent and its workers share.
struct Board {
  std::atomic<int> nextItem;
  std::atomic<int> itemsDone;
  std::atomic<int> stop;
  std::atomic<int> failed;  // 1 once a worker has left its message
  std::atomic<int> fraction[kMaxWorkers];
  char message[kMaxMessage];
};
static_assert(std::atomic<int>::is_always_lock_free, "workers share these through memory");

JobsOutcome RunHere(int count, const WorkerStart& start, ProgressBar& bar) {
  JobsOutcome outcome;
  ItemContext context;
  context.cancelled = [] { return Interrupted(); };
  context.reportFraction = [&](double f) { bar.Update(outcome.itemsDone, f); };
  const ItemWork work = start();
  for (int item = 0; item < count; ++item) {
    bar.Update(outcome.itemsDone, 0.0);
    try {
      if (Interrupted()) throw ItemCancelled{};
      work(item, context);
    } catch (const ItemCancelled&) {
      outcome.interrupted = true;
      return outcome;
    }
    ++outcome.itemsDone;
  }
  bar.Update(outcome.itemsDone, 0.0);
  return outcome;
}

void LeaveMessage(Board& board, const std::string& text) {
  int expected = 0;
  if (!board.failed.compare_exchange_strong(expected, 1)) return;  // the first one is told
  std::snprintf(board.message, sizeof board.message, "%s", text.c_str());
}

// Runs a child process's work: its exit code, and on failure the first
// failure's message left on the board.
int ExitCodeOf(Board& board, const char* outOfMemory, const std::function<void()>& work) {
  try {
    work();
    return kWorkerDone;
  } catch (const ItemCancelled&) {
    return kWorkerCancelled;
  } catch (const std::bad_alloc&) {
    LeaveMessage(board, outOfMemory);
  } catch (const std::exception& e) {
    LeaveMessage(board, e.what());
  }
  return kWorkerFailed;
}

// The whole life of one worker process.
[[noreturn]] void RunWorker(Board& board, int slot, int count, const WorkerStart& start) {
  prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive the program
  if (getppid() == 1) _exit(kWorkerCancelled);
  ItemContext context;
  context.cancelled = [&] { return board.stop.load() != 0 || Interrupted(); };
  context.reportFraction = [&](double f) {
    board.fraction[slot].store(static_cast<int>(f * kFractionScale));
  };
  const int code = ExitCodeOf(board, "not enough memory to render (try fewer --jobs)", [&] {
    const ItemWork work = start();
    for (;;) {
      if (context.cancelled()) throw ItemCancelled{};
      const int item = board.nextItem.fetch_add(1);
      if (item >= count) break;
      work(item, context);
      board.fraction[slot].store(0);
      board.itemsDone.fetch_add(1);
    }
  });
  if (code == kWorkerFailed) board.stop.store(1);
  std::fflush(nullptr);
  _exit(code);
}

double FractionInFlight(Board& board, int workers) {
  double sum = 0.0;
  for (int i = 0; i < workers; ++i) sum += board.fraction[i].load() / double{kFractionScale};
  return sum;
}

}  // namespace

void RunInChildProcess(const std::function<void()>& work) {
  SharedArray<Board> shared(1);
  Board& board = shared[0];
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) throw CommandError(std::string("cannot start a process: ") + std::strerror(errno));
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int code = ExitCodeOf(board, "there is not enough memory for this work", work);
    std::fflush(nullptr);
    _exit(code);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (board.failed.load()) throw CommandError(board.message);
  if (WIFSIGNALED(status)) {
    if (WTERMSIG(status) == SIGINT || WTERMSIG(status) == SIGTERM || WTERMSIG(status) == SIGHUP) {
      throw CommandError("interrupted before the first frame");
    }
    throw CommandError("a process ended by signal " + std::to_string(WTERMSIG(status)));
  }
}

JobsOutcome RunJobs(int count, int jobs, const WorkerStart& start, ProgressBar& bar) {
  if (jobs <= 1 || count <= 1) return RunHere(count, start, bar);
  const int workers = std::min({jobs, count, kMaxWorkers});
  SharedArray<Board> shared(1);
  Board& board = shared[0];
  std::fflush(nullptr);  // nothing buffered is written twice
  std::vector<pid_t> pids;
  for (int slot = 0; slot < workers; ++slot) {
    const pid_t pid = fork();
    if (pid == 0) RunWorker(board, slot, count, start);
    if (pid < 0) {
      board.stop.store(1);
      LeaveMessage(board, std::string("cannot start a worker process: ") + std::strerror(errno));
      break;
    }
    pids.push_back(pid);
  }

  std::string crash;
  size_t running = pids.size();
  while (running > 0) {
    if (Interrupted()) board.stop.store(1);
    bar.Update(board.itemsDone.load(), FractionInFlight(board, workers));
    std::this_thread::sleep_for(kPollInterval);
    for (pid_t& pid : pids) {
      if (pid <= 0) continue;
      int status = 0;
      const pid_t ended = waitpid(pid, &status, WNOHANG);
      if (ended == 0 || (ended < 0 && errno == EINTR)) continue;
      pid = 0;
      --running;
      if (WIFSIGNALED(status) && WTERMSIG(status) != SIGINT && WTERMSIG(status) != SIGTERM &&
          WTERMSIG(status) != SIGHUP) {
        crash = "a worker process ended by signal " + std::to_string(WTERMSIG(status));
        board.stop.store(1);
      } else if (WIFEXITED(status) && WEXITSTATUS(status) == kWorkerFailed) {
        board.stop.store(1);
      }
    }
  }
  JobsOutcome outcome;
  outcome.itemsDone = board.itemsDone.load();
  bar.Update(outcome.itemsDone, 0.0);
  if (board.failed.load()) throw CommandError(board.message);
  if (!crash.empty()) throw CommandError(crash);
  outcome.interrupted = outcome.itemsDone < count;
  return outcome;
}

}  // namespace gw
