#include "testhost/ofx/problems.h"

#include <utility>

namespace gw::ofxhost {
namespace {

thread_local ActionContext* current = nullptr;

}  // namespace

void ProblemSink::Problem(std::string text) {
  const std::lock_guard lock(mutex_);
  problems_.push_back(std::move(text));
}

std::vector<std::string> ProblemSink::Take() {
  const std::lock_guard lock(mutex_);
  return std::exchange(problems_, {});
}

bool ProblemSink::Empty() const {
  const std::lock_guard lock(mutex_);
  return problems_.empty();
}

ActionContext* CurrentAction() { return current; }

ActionScope::ActionScope(ActionContext& context) : previous_(current) { current = &context; }

ActionScope::~ActionScope() { current = previous_; }

ProblemSink& SinkFor(ProblemSink& fallback, const char* call) {
  if (current) return *current->sink;
  fallback.Problem(std::string(call) + " called outside an action");
  return fallback;
}

}  // namespace gw::ofxhost
