// Long work split into items (frames, tiles), done in this process or in
// worker processes, each of which sets itself up once (its own loaded
// plug-in) and then takes the next item until none is left. One progress bar
// for all; a signal stops every worker and keeps finished items; the first
// worker that fails stops the run with its message.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <functional>
#include <new>
#include <stdexcept>

#include "cli/progress_bar.h"

namespace gw {

// Thrown by an item whose work was cancelled part-way (nothing written).
struct ItemCancelled {};

// What an item's work may ask of the runner.
struct ItemContext {
  std::function<void(double)> reportFraction;  // of the current item, 0..1
  std::function<bool()> cancelled;             // true: stop, throw ItemCancelled
};

using ItemWork = std::function<void(int item, ItemContext& context)>;
// Sets a worker up (once per process) and returns the work of one item.
using WorkerStart = std::function<ItemWork()>;

struct JobsOutcome {
  int itemsDone = 0;
  bool interrupted = false;
};

// Runs items 0..count-1 over `jobs` processes (1: here). Must run inside a
// CancelScope. Throws CommandError with a worker's message when one fails.
// Workers are forked: call it before this process loads a library that
// starts threads (the image module), and let `start` load what it needs.
JobsOutcome RunJobs(int count, int jobs, const WorkerStart& start, ProgressBar& bar);

// Runs `work` in a child process and waits for it: for work that loads the
// image module (whose libraries start threads) before workers are forked.
// What the work prints reaches stdout and stderr as usual; it returns
// results through a SharedArray. Throws CommandError with the child's
// message when the work throws.
void RunInChildProcess(const std::function<void()>& work);

// Memory that worker processes share with this one: `count` objects of a
// trivially copyable T, zeroed.
template <typename T>
class SharedArray {
 public:
  explicit SharedArray(size_t count) : bytes_(count * sizeof(T) > 0 ? count * sizeof(T) : 1) {
    void* p = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<T*>(p);
  }
  ~SharedArray() { munmap(data_, bytes_); }
  SharedArray(const SharedArray&) = delete;
  SharedArray& operator=(const SharedArray&) = delete;
  T* data() { return data_; }
  T& operator[](size_t i) { return data_[i]; }

 private:
  size_t bytes_;
  T* data_;
};

}  // namespace gw
