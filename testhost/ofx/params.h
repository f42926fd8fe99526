// Parameters as the host keeps them: their properties (defined per type, as
// the standard lists them), and their values over time: keyframes, linear
// between them for numbers, held for integers, choices and strings; and the
// undo history of an instance's parameters, in the blocks a plug-in opens
// with paramEditBegin and closes with paramEditEnd.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
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

// Everything a parameter's value is: the undo history keeps these.
struct ParamState {
  ParamValue constant;
  std::map<double, ParamValue> keys;
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

  // The value at a time. The text of a string value is handed out from a
  // store that keeps every text the parameter has held while it lives, so a
  // render on another thread may read it while the value changes.
  ParamValue At(double time) const;
  const char* TextAt(double time) const;
  void Set(const ParamValue& value);  // no animation
  void SetKey(double time, const ParamValue& value);
  std::vector<double> KeyTimes() const;
  void DeleteKey(double time);
  void DeleteAllKeys();
  ParamState State() const;
  void Restore(const ParamState& state);

 private:
  Param(std::string type, std::string name, bool instance, ProblemSink& sink);
  void DefineProperties();
  ParamValue Default() const;

  std::string type_, name_;
  PropertySet props_;
  mutable std::mutex mutex_;
  ParamValue constant_;
  std::map<double, ParamValue> keys_;
  mutable std::set<std::string> texts_;  // nodes never move
};

// One entry of the undo history: the parameters it changed, as they were.
struct UndoStep {
  std::string name;
  std::vector<std::pair<Param*, ParamState>> before;
};

// The parameters of a descriptor or an instance, in definition order.
class ParamSet {
 public:
  ParamSet(std::string what, ProblemSink& sink) : props_(std::move(what), sink) {}
  PropertySet& props() { return props_; }
  std::vector<std::unique_ptr<Param>>& params() { return params_; }
  const std::vector<std::unique_ptr<Param>>& params() const { return params_; }
  Param* Find(const std::string& name) const;

  // --- Edit blocks and undo (an instance's parameters) ---
  // False when a block is open already (blocks do not nest).
  bool BeginEdit(const std::string& name);
  // False when no block is open.
  bool EndEdit();
  bool Editing() const;
  // Called before a value changes: the change joins the open block, or is
  // an undo step of its own named after the parameter.
  void WillChange(Param& param);
  std::vector<std::string> UndoNames() const;
  // Takes the last step back; the parameters it restored (none when the
  // history is empty).
  std::vector<Param*> Undo();

 private:
  PropertySet props_;
  std::vector<std::unique_ptr<Param>> params_;
  mutable std::mutex editMutex_;
  std::optional<UndoStep> open_;
  std::vector<UndoStep> history_;
};

}  // namespace gw::ofxhost
