#include "testhost/ofx/property_set.h"

#include <algorithm>
#include <set>

namespace gw::ofxhost {
namespace {

std::mutex liveMutex;
std::set<const PropertySet*> liveSets;

// Problems of calls on handles that are not live sets, outside any action.
ProblemSink strayCalls;

const char* TypeName(PropType type) {
  switch (type) {
    case PropType::Int:
      return "int";
    case PropType::Double:
      return "double";
    case PropType::String:
      return "string";
    case PropType::Pointer:
      return "pointer";
  }
  return "?";
}

}  // namespace

ProblemSink& StrayCalls() { return strayCalls; }

size_t PropertySet::Property::Size() const {
  switch (type) {
    case PropType::Int:
      return ints.size();
    case PropType::Double:
      return doubles.size();
    case PropType::String:
      return strings.size();
    case PropType::Pointer:
      return pointers.size();
  }
  return 0;
}

void PropertySet::Property::Resize(size_t n) {
  switch (type) {
    case PropType::Int:
      ints.resize(n);
      break;
    case PropType::Double:
      doubles.resize(n);
      break;
    case PropType::String:
      strings.resize(n);
      break;
    case PropType::Pointer:
      pointers.resize(n);
      break;
  }
}

PropertySet::PropertySet(std::string what, ProblemSink& sink)
    : what_(std::move(what)), sink_(sink) {
  const std::lock_guard lock(liveMutex);
  liveSets.insert(this);
}

PropertySet::~PropertySet() {
  const std::lock_guard lock(liveMutex);
  liveSets.erase(this);
}

PropertySet* PropertySet::FromHandle(OfxPropertySetHandle handle) {
  auto* set = reinterpret_cast<PropertySet*>(handle);
  const std::lock_guard lock(liveMutex);
  return liveSets.count(set) ? set : nullptr;
}

void PropertySet::Define(const std::string& name, PropType type, int dimension, Access access) {
  const std::lock_guard lock(mutex_);
  Property& p = properties_[name];
  p = Property{type, dimension, access, {}, {}, {}, {}};
  p.Resize(static_cast<size_t>(dimension));
}

void PropertySet::Define(const std::string& name, std::vector<int> values, int dimension,
                         Access access) {
  Define(name, PropType::Int, dimension, access);
  SetInts(name, std::move(values));
}

void PropertySet::Define(const std::string& name, std::vector<double> values, int dimension,
                         Access access) {
  Define(name, PropType::Double, dimension, access);
  SetDoubles(name, std::move(values));
}

void PropertySet::Define(const std::string& name, std::vector<std::string> values, int dimension,
                         Access access) {
  Define(name, PropType::String, dimension, access);
  SetStrings(name, std::move(values));
}

bool PropertySet::Defines(const std::string& name) const {
  const std::lock_guard lock(mutex_);
  return properties_.count(name) != 0;
}

void PropertySet::CopyFrom(const PropertySet& other, const std::vector<std::string>& keep) {
  const std::scoped_lock lock(mutex_, other.mutex_);
  for (const auto& [name, property] : other.properties_) {
    if (std::find(keep.begin(), keep.end(), name) == keep.end()) properties_[name] = property;
  }
}

void PropertySet::SetInts(const std::string& name, std::vector<int> values) {
  const std::lock_guard lock(mutex_);
  properties_.at(name).ints = std::move(values);
}
void PropertySet::SetDoubles(const std::string& name, std::vector<double> values) {
  const std::lock_guard lock(mutex_);
  properties_.at(name).doubles = std::move(values);
}
void PropertySet::SetStrings(const std::string& name, std::vector<std::string> values) {
  const std::lock_guard lock(mutex_);
  properties_.at(name).strings = std::move(values);
}
void PropertySet::SetPointer(const std::string& name, void* value) {
  const std::lock_guard lock(mutex_);
  properties_.at(name).pointers = {value};
}

std::vector<int> PropertySet::Ints(const std::string& name) const {
  const std::lock_guard lock(mutex_);
  const auto it = properties_.find(name);
  return it == properties_.end() ? std::vector<int>{} : it->second.ints;
}
std::vector<double> PropertySet::Doubles(const std::string& name) const {
  const std::lock_guard lock(mutex_);
  const auto it = properties_.find(name);
  return it == properties_.end() ? std::vector<double>{} : it->second.doubles;
}
std::vector<std::string> PropertySet::Strings(const std::string& name) const {
  const std::lock_guard lock(mutex_);
  const auto it = properties_.find(name);
  return it == properties_.end() ? std::vector<std::string>{} : it->second.strings;
}
int PropertySet::Int(const std::string& name, int fallback) const {
  const std::vector<int> v = Ints(name);
  return v.empty() ? fallback : v[0];
}
double PropertySet::Double(const std::string& name, double fallback) const {
  const std::vector<double> v = Doubles(name);
  return v.empty() ? fallback : v[0];
}
std::string PropertySet::String(const std::string& name) const {
  const std::vector<std::string> v = Strings(name);
  return v.empty() ? std::string() : v[0];
}
void* PropertySet::Pointer(const std::string& name) const {
  const std::lock_guard lock(mutex_);
  const auto it = properties_.find(name);
  return it == properties_.end() || it->second.pointers.empty() ? nullptr : it->second.pointers[0];
}

PropertySet::Property* PropertySet::Find(const char* call, const char* name, PropType type,
                                         bool writing, OfxStatus& status) {
  ProblemSink& sink = SinkFor(sink_, call);
  if (!name) {
    sink.Problem(std::string(call) + " without a property name on " + what_);
    status = kOfxStatErrUnknown;
    return nullptr;
  }
  const auto it = properties_.find(name);
  if (it == properties_.end()) {
    sink.Problem(std::string(call) + ": " + what_ + " has no property " + name);
    status = kOfxStatErrUnknown;
    return nullptr;
  }
  Property& p = it->second;
  if (p.type != type) {
    sink.Problem(std::string(call) + ": " + name + " of " + what_ + " holds " + TypeName(p.type) +
                 " values, not " + TypeName(type));
    status = kOfxStatErrValue;
    return nullptr;
  }
  if (writing && p.access == Access::HostOnly) {
    sink.Problem(std::string(call) + ": " + name + " of " + what_ + " is read-only");
    status = kOfxStatErrValue;
    return nullptr;
  }
  return &p;
}

// The suite: each call finds its set and property, checks the index or
// count, and reads or writes.
struct PropertySuiteCalls {
  template <class T>
  static std::vector<T>& Values(PropertySet::Property& p) {
    if constexpr (std::is_same_v<T, int>)
      return p.ints;
    else if constexpr (std::is_same_v<T, double>)
      return p.doubles;
    else if constexpr (std::is_same_v<T, std::string>)
      return p.strings;
    else
      return p.pointers;
  }

  static PropertySet* Set(const char* call, OfxPropertySetHandle handle) {
    PropertySet* set = PropertySet::FromHandle(handle);
    if (!set)
      SinkFor(strayCalls, call).Problem(std::string(call) + " on a handle that is no property set");
    return set;
  }

  // The set behind `handle`, locked, and its property `name` of `type`
  // (made when `creating`); no property when the call cannot go on, and
  // `status` says why.
  struct Reached {
    PropertySet* set = nullptr;
    std::unique_lock<std::mutex> lock;
    PropertySet::Property* property = nullptr;
    OfxStatus status = kOfxStatOK;
  };
  static Reached Reach(const char* call, OfxPropertySetHandle handle, const char* name,
                       PropType type, bool creating) {
    Reached r;
    r.set = Set(call, handle);
    if (!r.set) {
      r.status = kOfxStatErrBadHandle;
      return r;
    }
    r.lock = std::unique_lock(r.set->mutex_);
    r.property = r.set->Find(call, name, type, creating, r.status);
    return r;
  }

  template <class T, PropType Type>
  static OfxStatus SetOne(const char* call, OfxPropertySetHandle handle, const char* name,
                          int index, T value) {
    const Reached r = Reach(call, handle, name, Type, true);
    if (!r.property) return r.status;
    PropertySet* set = r.set;
    PropertySet::Property* p = r.property;
    std::vector<T>& values = Values<T>(*p);
    const bool fits =
        index >= 0 && (p->dimension == kAnyDimension ? static_cast<size_t>(index) <= values.size()
                                                     : index < p->dimension);
    if (!fits) {
      SinkFor(set->sink_, call)
          .Problem(std::string(call) + ": index " + std::to_string(index) + " of " + name + " on " +
                   set->what_);
      return kOfxStatErrBadIndex;
    }
    if (static_cast<size_t>(index) >= values.size()) values.resize(static_cast<size_t>(index) + 1);
    values[static_cast<size_t>(index)] = std::move(value);
    return kOfxStatOK;
  }

  template <class T, PropType Type, class In>
  static OfxStatus SetMany(const char* call, OfxPropertySetHandle handle, const char* name,
                           int count, const In* in) {
    const Reached r = Reach(call, handle, name, Type, true);
    if (!r.property) return r.status;
    PropertySet* set = r.set;
    PropertySet::Property* p = r.property;
    if (count < 0 || !in || (p->dimension != kAnyDimension && count > p->dimension)) {
      SinkFor(set->sink_, call)
          .Problem(std::string(call) + ": " + std::to_string(count) + " values for " + name +
                   " on " + set->what_);
      return kOfxStatErrBadIndex;
    }
    std::vector<T>& values = Values<T>(*p);
    if (p->dimension == kAnyDimension) values.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) values[static_cast<size_t>(i)] = T(in[i]);
    return kOfxStatOK;
  }

  template <class T, PropType Type, class Out>
  static OfxStatus GetMany(const char* call, OfxPropertySetHandle handle, const char* name,
                           int first, int count, Out* out) {
    const Reached r = Reach(call, handle, name, Type, false);
    if (!r.property) return r.status;
    PropertySet* set = r.set;
    PropertySet::Property* p = r.property;
    std::vector<T>& values = Values<T>(*p);
    if (!out || first < 0 || count < 0 ||
        static_cast<size_t>(first) + static_cast<size_t>(count) > values.size()) {
      SinkFor(set->sink_, call)
          .Problem(std::string(call) + ": values " + std::to_string(first) + ".." +
                   std::to_string(first + count - 1) + " of " + name + " on " + set->what_ +
                   ", which has " + std::to_string(values.size()));
      return kOfxStatErrBadIndex;
    }
    for (int i = 0; i < count; ++i) {
      if constexpr (std::is_same_v<T, std::string>) {
        out[i] = values[static_cast<size_t>(first + i)].data();
      } else {
        out[i] = values[static_cast<size_t>(first + i)];
      }
    }
    return kOfxStatOK;
  }

  static OfxStatus SetPointer(OfxPropertySetHandle h, const char* n, int i, void* v) {
    return SetOne<void*, PropType::Pointer>("propSetPointer", h, n, i, v);
  }
  static OfxStatus SetString(OfxPropertySetHandle h, const char* n, int i, const char* v) {
    if (!v) v = "";
    return SetOne<std::string, PropType::String>("propSetString", h, n, i, std::string(v));
  }
  static OfxStatus SetDouble(OfxPropertySetHandle h, const char* n, int i, double v) {
    return SetOne<double, PropType::Double>("propSetDouble", h, n, i, v);
  }
  static OfxStatus SetInt(OfxPropertySetHandle h, const char* n, int i, int v) {
    return SetOne<int, PropType::Int>("propSetInt", h, n, i, v);
  }
  static OfxStatus SetPointerN(OfxPropertySetHandle h, const char* n, int c, void* const* v) {
    return SetMany<void*, PropType::Pointer>("propSetPointerN", h, n, c, v);
  }
  static OfxStatus SetStringN(OfxPropertySetHandle h, const char* n, int c, const char* const* v) {
    return SetMany<std::string, PropType::String>("propSetStringN", h, n, c, v);
  }
  static OfxStatus SetDoubleN(OfxPropertySetHandle h, const char* n, int c, const double* v) {
    return SetMany<double, PropType::Double>("propSetDoubleN", h, n, c, v);
  }
  static OfxStatus SetIntN(OfxPropertySetHandle h, const char* n, int c, const int* v) {
    return SetMany<int, PropType::Int>("propSetIntN", h, n, c, v);
  }
  static OfxStatus GetPointer(OfxPropertySetHandle h, const char* n, int i, void** v) {
    return GetMany<void*, PropType::Pointer>("propGetPointer", h, n, i, 1, v);
  }
  static OfxStatus GetString(OfxPropertySetHandle h, const char* n, int i, char** v) {
    return GetMany<std::string, PropType::String>("propGetString", h, n, i, 1, v);
  }
  static OfxStatus GetDouble(OfxPropertySetHandle h, const char* n, int i, double* v) {
    return GetMany<double, PropType::Double>("propGetDouble", h, n, i, 1, v);
  }
  static OfxStatus GetInt(OfxPropertySetHandle h, const char* n, int i, int* v) {
    return GetMany<int, PropType::Int>("propGetInt", h, n, i, 1, v);
  }
  static OfxStatus GetPointerN(OfxPropertySetHandle h, const char* n, int c, void** v) {
    return GetMany<void*, PropType::Pointer>("propGetPointerN", h, n, 0, c, v);
  }
  static OfxStatus GetStringN(OfxPropertySetHandle h, const char* n, int c, char** v) {
    return GetMany<std::string, PropType::String>("propGetStringN", h, n, 0, c, v);
  }
  static OfxStatus GetDoubleN(OfxPropertySetHandle h, const char* n, int c, double* v) {
    return GetMany<double, PropType::Double>("propGetDoubleN", h, n, 0, c, v);
  }
  static OfxStatus GetIntN(OfxPropertySetHandle h, const char* n, int c, int* v) {
    return GetMany<int, PropType::Int>("propGetIntN", h, n, 0, c, v);
  }

  static PropertySet::Property* Any(const char* call, PropertySet& set, const char* name) {
    const auto it = name ? set.properties_.find(name) : set.properties_.end();
    if (it != set.properties_.end()) return &it->second;
    SinkFor(set.sink_, call)
        .Problem(std::string(call) + ": " + set.what_ + " has no property " +
                 (name ? name : "(null)"));
    return nullptr;
  }

  static OfxStatus Reset(OfxPropertySetHandle h, const char* n) {
    PropertySet* set = Set("propReset", h);
    if (!set) return kOfxStatErrBadHandle;
    const std::lock_guard lock(set->mutex_);
    PropertySet::Property* p = Any("propReset", *set, n);
    if (!p) return kOfxStatErrUnknown;
    if (p->access == Access::HostOnly) {
      SinkFor(set->sink_, "propReset").Problem(std::string("propReset: ") + n + " is read-only");
      return kOfxStatErrValue;
    }
    p->Resize(0);
    p->Resize(static_cast<size_t>(p->dimension));
    return kOfxStatOK;
  }

  static OfxStatus GetDimension(OfxPropertySetHandle h, const char* n, int* count) {
    PropertySet* set = Set("propGetDimension", h);
    if (!set) return kOfxStatErrBadHandle;
    const std::lock_guard lock(set->mutex_);
    PropertySet::Property* p = Any("propGetDimension", *set, n);
    if (!p) return kOfxStatErrUnknown;
    if (!count) {
      SinkFor(set->sink_, "propGetDimension").Problem("propGetDimension without a result");
      return kOfxStatErrValue;
    }
    *count = static_cast<int>(p->Size());
    return kOfxStatOK;
  }
};

const OfxPropertySuiteV1& PropertySet::Suite() {
  using C = PropertySuiteCalls;
  static const OfxPropertySuiteV1 suite{
      &C::SetPointer, &C::SetString,  &C::SetDouble,   &C::SetInt,     &C::SetPointerN,
      &C::SetStringN, &C::SetDoubleN, &C::SetIntN,     &C::GetPointer, &C::GetString,
      &C::GetDouble,  &C::GetInt,     &C::GetPointerN, &C::GetStringN, &C::GetDoubleN,
      &C::GetIntN,    &C::Reset,      &C::GetDimension};
  return suite;
}

}  // namespace gw::ofxhost
