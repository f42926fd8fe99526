// What the OpenFX host saw a plug-in do wrong, and the action a thread is in.
// Every suite call checks that it comes from inside an action; what it finds
// wrong is kept here for the tests to read.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ofx/api/core.h"

namespace gw::ofxhost {

class ProblemSink {
 public:
  void Problem(std::string text);
  std::vector<std::string> Take();
  bool Empty() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> problems_;
};

class Host;
class Instance;
struct HostImage;

// The action a host thread has handed to the plug-in and not yet had back.
struct ActionContext {
  ActionContext(const char* actionName, Host* owner, ProblemSink* problems, Instance* on,
                double at = 0.0, bool describe = false, bool images = false)
      : action(actionName),
        host(owner),
        sink(problems),
        instance(on),
        time(at),
        describing(describe),
        imagesAllowed(images) {}
  const char* action;
  Host* host;
  ProblemSink* sink;
  Instance* instance;  // null for actions on the binary or a descriptor
  double time;         // the action's time, where it has one
  bool describing;     // describe in context: clips and parameters may be defined
  bool imagesAllowed;  // render and instance changed: images may be fetched
  int liveImages = 0;  // fetched in this action and not yet released
  // What a render may fetch: the regions of interest the plug-in gave (by
  // clip) and whether a clip may be read at other times.
  std::map<std::string, OfxRectD> regionsOfInterest;
  OfxPointD renderScale{1.0, 1.0};
  HostImage* output = nullptr;  // a render's output image
  OfxRectI outputWindow{};      // the part of it the plug-in is given
};

// The innermost action running on this thread, or null.
ActionContext* CurrentAction();

// Marks an action as running on this thread for its lifetime.
class ActionScope {
 public:
  explicit ActionScope(ActionContext& context);
  ~ActionScope();
  ActionScope(const ActionScope&) = delete;
  ActionScope& operator=(const ActionScope&) = delete;

 private:
  ActionContext* previous_;
};

// The sink of the current action: where a suite call reports what it finds
// wrong; `fallback` outside any action (which is itself a problem).
ProblemSink& SinkFor(ProblemSink& fallback, const char* call);

}  // namespace gw::ofxhost
