// The objects behind the handles the host gives a plug-in, and the registry
// that tells a live handle from a stale or foreign one.
#pragma once

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "testhost/ofx/host.h"

namespace gw::ofxhost {

class ClipObject {
 public:
  ClipObject(const std::string& name, bool instance, ProblemSink& sink);
  ~ClipObject();
  const std::string name;
  PropertySet props;
  // An instance's clip: where its images come from, and its region of
  // definition in canonical coordinates.
  ImageSource images;
  OfxRectD region{};
  EffectObject* owner = nullptr;
};

enum class EffectKind : uint8_t { Descriptor, ContextDescriptor, Instance };

class EffectObject {
 public:
  EffectObject(EffectKind kind, size_t plugin, std::string context, ProblemSink& sink);
  ~EffectObject();
  ClipObject* FindClip(const std::string& name) const;

  const EffectKind kind;
  const size_t plugin;
  const std::string context;
  PropertySet props;
  ParamSet params;
  std::vector<std::unique_ptr<ClipObject>> clips;
  Instance* instance = nullptr;  // for an instance
  bool temporalAccess = false;   // the plug-in reads clips at other times
};

// An image handed to a plug-in, alive until it releases it.
struct FetchedImage {
  explicit FetchedImage(ProblemSink& sink) : props("an image", sink) {}
  PropertySet props;
  std::shared_ptr<const HostImage> shared;  // the clip's pixels, handed out whole
  std::vector<uint8_t> copy;                // or the part asked for
  ActionContext* action = nullptr;          // the action it was fetched in
};

// Image memory of the effect suite.
struct ImageMemory {
  std::vector<uint8_t> bytes;
  int locks = 0;
};

// Which handles are alive, whatever host made them.
template <class T>
class Registry {
 public:
  static void Add(const T* object) {
    const std::lock_guard lock(mutex_);
    live_.insert(object);
  }
  static void Remove(const T* object) {
    const std::lock_guard lock(mutex_);
    live_.erase(object);
  }
  static T* Live(const void* handle) {
    const std::lock_guard lock(mutex_);
    const auto it = live_.find(static_cast<const T*>(handle));
    return it == live_.end() ? nullptr : const_cast<T*>(*it);
  }

 private:
  static inline std::mutex mutex_;
  static inline std::set<const T*> live_;
};

}  // namespace gw::ofxhost
