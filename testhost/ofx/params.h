// Parameters as the host keeps them: their properties (defined per type, as
// the standard lists them), and their values over time: keyframes, linear
// between them for numbers, held for integers, choices and strings.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ofx/api/params.h"
#include "testhost/ofx/property_set.h"

namespace gw::ofxhost {

// One value of a parameter: its numbers (1 to 4 of them) or its text.
struct ParamValue {
  std::vector<double> numbers;
  std::string text;
};

class Param {
 public:
  // Null when the type is not one the standard defines.
  static std::unique_ptr<Param> Make(const std::string& type, const std::string& name,
                                     bool instance, ProblemSink& sink);
  // An instance of a described parameter: its properties copied, its value
  // the default.
  std::unique_ptr<Param> Instantiate(ProblemSink& sink) const;

  const std::string& type() const { return type_; }
  const std::string& name() const { return name_; }
  PropertySet& props() { return props_; }
  const PropertySet& props() const { return props_; }
  // Values per time: 1 for most, 2 for 2D, 3 for RGB, 4 for RGBA, 0 for
  // parameters without a value (buttons, groups, pages).
  int Dimensions() const;
  bool Integral() const;  // integers, booleans, choices
  bool Textual() const { return type_ == kOfxParamTypeString; }
  bool Animates() const;

  // The value at a time. The text of a string value stays where it is until
  // the parameter is next set.
  ParamValue At(double time) const;
  const std::string& TextAt(double time) const;
  void Set(const ParamValue& value);  // no animation
  void SetKey(double time, const ParamValue& value);
  std::vector<double> KeyTimes() const;
  void DeleteKey(double time);
  void DeleteAllKeys();

 private:
  Param(std::string type, std::string name, bool instance, ProblemSink& sink);
  void DefineProperties();
  ParamValue Default() const;

  std::string type_, name_;
  PropertySet props_;
  mutable std::mutex mutex_;
  ParamValue constant_;
  std::map<double, ParamValue> keys_;
};

// The parameters of a descriptor or an instance, in definition order.
class ParamSet {
 public:
  ParamSet(std::string what, ProblemSink& sink) : props_(std::move(what), sink) {}
  PropertySet& props() { return props_; }
  std::vector<std::unique_ptr<Param>>& params() { return params_; }
  const std::vector<std::unique_ptr<Param>>& params() const { return params_; }
  Param* Find(const std::string& name) const;

 private:
  PropertySet props_;
  std::vector<std::unique_ptr<Param>> params_;
};

}  // namespace gw::ofxhost
