#include "cli/interrupts.h"

#include <unistd.h>

#include <csignal>
#include <cstring>

namespace gw {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr size_t kMaxPartialName = 4096;

// A signal handler can reach nothing else: these are the program's only
// signal-time state, set and cleared by the two guards below.
volatile std::sig_atomic_t cancelScopes = 0;
volatile std::sig_atomic_t interrupted = 0;
volatile std::sig_atomic_t partialNamed = 0;
char partialName[kMaxPartialName];

void OnSignal(int signal) {
  if (cancelScopes > 0 && !interrupted) {
    interrupted = 1;
    return;
  }
  if (partialNamed) unlink(partialName);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void InstallHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  for (int s : kSignals) sigaddset(&action.sa_mask, s);
  for (int s : kSignals) {
    struct sigaction previous {};
    sigaction(s, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;  // nohup and friends keep their choice
    sigaction(s, &action, nullptr);
  }
}

}  // namespace

CancelScope::CancelScope() {
  InstallHandlers();
  interrupted = 0;
  cancelScopes = cancelScopes + 1;
}

CancelScope::~CancelScope() { cancelScopes = cancelScopes - 1; }

bool Interrupted() { return interrupted != 0; }

PartialFileGuard::PartialFileGuard(const std::string& path) {
  InstallHandlers();
  partialNamed = 0;
  if (path.size() >= kMaxPartialName) return;
  std::memcpy(partialName, path.c_str(), path.size() + 1);
  partialNamed = 1;
}

PartialFileGuard::~PartialFileGuard() { partialNamed = 0; }

}  // namespace gw
