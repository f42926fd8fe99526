// Property sets as the host keeps them: every property a set may hold is
// defined by the host with its type, its number of values (or any number)
// and whether the plug-in may write it. The plug-in's calls through the
// property suite are checked against that: an unknown property, a wrong type,
// an index beyond the values, a write to a read-only property, a handle that
// is not a live set, or a call outside an action are problems.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ofx/api/property_suite.h"
#include "testhost/ofx/problems.h"

namespace gw::ofxhost {

enum class PropType : uint8_t { Int, Double, String, Pointer };

// Where calls on handles that are no live set are told when no action runs.
ProblemSink& StrayCalls();

// Who may write a property.
enum class Access : uint8_t { HostOnly, PluginToo };

// Any number of values.
inline constexpr int kAnyDimension = 0;

class PropertySet {
 public:
  // `what` names the set in problems ("the Source clip", "an image").
  PropertySet(std::string what, ProblemSink& sink);
  ~PropertySet();
  PropertySet(const PropertySet&) = delete;
  PropertySet& operator=(const PropertySet&) = delete;

  OfxPropertySetHandle handle() { return reinterpret_cast<OfxPropertySetHandle>(this); }
  // The live set behind a handle, or null.
  static PropertySet* FromHandle(OfxPropertySetHandle handle);
  const std::string& what() const { return what_; }

  // --- The host's side: defining and reading, unchecked (reading a
  // property the set lacks gives nothing or the fallback). ---
  // A fixed dimension gives that many values of 0, "" or null.
  void Define(const std::string& name, PropType type, int dimension, Access access);
  void Define(const std::string& name, std::vector<int> values, int dimension, Access access);
  void Define(const std::string& name, std::vector<double> values, int dimension, Access access);
  void Define(const std::string& name, std::vector<std::string> values, int dimension,
              Access access);
  bool Defines(const std::string& name) const;
  // Every property of `other` with its values, except those named in `keep`.
  void CopyFrom(const PropertySet& other, const std::vector<std::string>& keep);
  void SetInts(const std::string& name, std::vector<int> values);
  void SetDoubles(const std::string& name, std::vector<double> values);
  void SetStrings(const std::string& name, std::vector<std::string> values);
  void SetPointer(const std::string& name, void* value);
  std::vector<int> Ints(const std::string& name) const;
  std::vector<double> Doubles(const std::string& name) const;
  std::vector<std::string> Strings(const std::string& name) const;
  int Int(const std::string& name, int fallback = 0) const;
  double Double(const std::string& name, double fallback = 0.0) const;
  std::string String(const std::string& name) const;
  void* Pointer(const std::string& name) const;

  // --- The plug-in's side: the suite's calls, checked. ---
  static const OfxPropertySuiteV1& Suite();

 private:
  struct Property {
    PropType type;
    int dimension;  // kAnyDimension or the fixed number of values
    Access access;
    std::vector<int> ints;
    std::vector<double> doubles;
    std::vector<std::string> strings;
    std::vector<void*> pointers;
    size_t Size() const;
    void Resize(size_t n);
  };
  friend struct PropertySuiteCalls;

  // The property a plug-in's call names, checked; null after a problem.
  Property* Find(const char* call, const char* name, PropType type, bool writing,
                 OfxStatus& status);

  std::string what_;
  ProblemSink& sink_;
  mutable std::mutex mutex_;
  std::map<std::string, Property, std::less<>> properties_;
};

}  // namespace gw::ofxhost
