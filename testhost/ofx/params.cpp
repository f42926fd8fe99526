#include "testhost/ofx/params.h"

#include <cfloat>
#include <climits>

namespace gw::ofxhost {
namespace {

const char* const kTypes[] = {
    kOfxParamTypeInteger, kOfxParamTypeDouble, kOfxParamTypeBoolean,  kOfxParamTypeChoice,
    kOfxParamTypeRGBA,    kOfxParamTypeRGB,    kOfxParamTypeDouble2D, kOfxParamTypeInteger2D,
    kOfxParamTypeString,  kOfxParamTypeGroup,  kOfxParamTypePage,     kOfxParamTypePushButton};

}  // namespace

Param::Param(std::string type, std::string name, bool instance, ProblemSink& sink)
    : type_(std::move(type)),
      name_(std::move(name)),
      props_((instance ? "parameter " : "parameter descriptor ") + name_, sink) {
  props_.Define(kOfxPropType,
                std::vector<std::string>{instance ? kOfxTypeParameterInstance : kOfxTypeParameter},
                1, Access::HostOnly);
}

std::unique_ptr<Param> Param::Make(const std::string& type, const std::string& name, bool instance,
                                   ProblemSink& sink) {
  bool known = false;
  for (const char* t : kTypes) known = known || type == t;
  if (!known) return nullptr;
  std::unique_ptr<Param> param(new Param(type, name, instance, sink));
  param->DefineProperties();
  return param;
}

std::unique_ptr<Param> Param::Instantiate(ProblemSink& sink) const {
  std::unique_ptr<Param> param(new Param(type_, name_, true, sink));
  param->props_.CopyFrom(props_, {kOfxPropType});
  param->constant_ = Default();
  return param;
}

int Param::Dimensions() const {
  if (type_ == kOfxParamTypeRGBA) return 4;
  if (type_ == kOfxParamTypeRGB) return 3;
  if (type_ == kOfxParamTypeDouble2D || type_ == kOfxParamTypeInteger2D) return 2;
  if (type_ == kOfxParamTypeGroup || type_ == kOfxParamTypePage ||
      type_ == kOfxParamTypePushButton) {
    return 0;
  }
  return 1;
}

bool Param::Integral() const {
  return type_ == kOfxParamTypeInteger || type_ == kOfxParamTypeBoolean ||
         type_ == kOfxParamTypeChoice || type_ == kOfxParamTypeInteger2D;
}

bool Param::Animates() const { return props_.Int(kOfxParamPropAnimates, 1) != 0; }

void Param::DefineProperties() {
  const auto text = [&](const char* name, std::string value) {
    props_.Define(name, std::vector<std::string>{std::move(value)}, 1, Access::PluginToo);
  };
  const auto flag = [&](const char* name, int value, Access access = Access::PluginToo) {
    props_.Define(name, std::vector<int>{value}, 1, access);
  };
  props_.Define(kOfxPropName, std::vector<std::string>{name_}, 1, Access::HostOnly);
  props_.Define(kOfxParamPropType, std::vector<std::string>{type_}, 1, Access::HostOnly);
  text(kOfxPropLabel, name_);
  text(kOfxPropShortLabel, name_);
  text(kOfxPropLongLabel, name_);
  text(kOfxParamPropHint, "");
  text(kOfxParamPropScriptName, name_);
  text(kOfxParamPropParent, "");
  flag(kOfxParamPropSecret, 0);
  flag(kOfxParamPropEnabled, 1);
  props_.Define(kOfxParamPropDataPtr, PropType::Pointer, 1, Access::PluginToo);
  props_.Define(kOfxPropIcon, std::vector<std::string>{"", ""}, 2, Access::PluginToo);
  if (type_ == kOfxParamTypeGroup) flag(kOfxParamPropGroupOpen, 1);
  if (type_ == kOfxParamTypePage) {
    props_.Define(kOfxParamPropPageChild, PropType::String, kAnyDimension, Access::PluginToo);
  }
  const int n = Dimensions();
  if (n == 0) return;

  flag(kOfxParamPropAnimates, type_ == kOfxParamTypeString ? 0 : 1);
  flag(kOfxParamPropIsAnimating, 0, Access::HostOnly);
  flag(kOfxParamPropIsAutoKeying, 0, Access::HostOnly);
  flag(kOfxParamPropPersistant, 1);
  flag(kOfxParamPropEvaluateOnChange, 1);
  flag(kOfxParamPropPluginMayWrite, 0);
  flag(kOfxParamPropCanUndo, 1);
  text(kOfxParamPropCacheInvalidation, kOfxParamInvalidateValueChange);
  if (Textual()) {
    text(kOfxParamPropDefault, "");
    text(kOfxParamPropStringMode, kOfxParamStringIsSingleLine);
    flag(kOfxParamPropStringFilePathExists, 1);
    return;
  }
  if (Integral()) {
    props_.Define(kOfxParamPropDefault, std::vector<int>(n, 0), n, Access::PluginToo);
  } else {
    props_.Define(kOfxParamPropDefault, std::vector<double>(n, 0.0), n, Access::PluginToo);
  }
  if (type_ == kOfxParamTypeChoice) {
    props_.Define(kOfxParamPropChoiceOption, PropType::String, kAnyDimension, Access::PluginToo);
  }
  if (n > 1) {
    std::vector<std::string> labels = type_ == kOfxParamTypeRGB || type_ == kOfxParamTypeRGBA
                                          ? std::vector<std::string>{"r", "g", "b", "a"}
                                          : std::vector<std::string>{"x", "y", "z", "w"};
    labels.resize(static_cast<size_t>(n));
    props_.Define(kOfxParamPropDimensionLabel, std::move(labels), n, Access::PluginToo);
  }
  const bool ranged = type_ == kOfxParamTypeInteger || type_ == kOfxParamTypeDouble ||
                      type_ == kOfxParamTypeInteger2D || type_ == kOfxParamTypeDouble2D;
  if (ranged && Integral()) {
    for (const char* p : {kOfxParamPropMin, kOfxParamPropDisplayMin}) {
      props_.Define(p, std::vector<int>(n, INT_MIN), n, Access::PluginToo);
    }
    for (const char* p : {kOfxParamPropMax, kOfxParamPropDisplayMax}) {
      props_.Define(p, std::vector<int>(n, INT_MAX), n, Access::PluginToo);
    }
  } else if (ranged) {
    for (const char* p : {kOfxParamPropMin, kOfxParamPropDisplayMin}) {
      props_.Define(p, std::vector<double>(n, -DBL_MAX), n, Access::PluginToo);
    }
    for (const char* p : {kOfxParamPropMax, kOfxParamPropDisplayMax}) {
      props_.Define(p, std::vector<double>(n, DBL_MAX), n, Access::PluginToo);
    }
    props_.Define(kOfxParamPropIncrement, std::vector<double>{1.0}, 1, Access::PluginToo);
    flag(kOfxParamPropDigits, 2);
    text(kOfxParamPropDoubleType, kOfxParamDoubleTypePlain);
    text(kOfxParamPropDefaultCoordinateSystem, kOfxParamCoordinatesCanonical);
    if (type_ == kOfxParamTypeDouble) flag(kOfxParamPropShowTimeMarker, 0);
    if (type_ == kOfxParamTypeDouble2D) {
      flag(kOfxParamPropHasHostOverlayHandle, 1, Access::HostOnly);
      flag(kOfxParamPropUseHostOverlayHandle, 0);
    }
  }
}

ParamValue Param::Default() const {
  ParamValue v;
  if (Textual()) {
    v.text = props_.String(kOfxParamPropDefault);
  } else if (Integral()) {
    for (const int i : props_.Ints(kOfxParamPropDefault)) v.numbers.push_back(i);
  } else if (Dimensions() > 0) {
    v.numbers = props_.Doubles(kOfxParamPropDefault);
  }
  return v;
}

ParamValue Param::At(double time) const {
  const std::lock_guard lock(mutex_);
  if (keys_.empty()) return constant_;
  const auto after = keys_.lower_bound(time);
  if (after == keys_.begin()) return after->second;
  if (after == keys_.end()) return std::prev(after)->second;
  if (after->first == time || Integral() || Textual()) {
    return after->first == time ? after->second : std::prev(after)->second;
  }
  const auto before = std::prev(after);
  const double t = (time - before->first) / (after->first - before->first);
  ParamValue v = before->second;
  for (size_t i = 0; i < v.numbers.size(); ++i) {
    v.numbers[i] += (after->second.numbers[i] - v.numbers[i]) * t;
  }
  return v;
}

const char* Param::TextAt(double time) const {
  const std::lock_guard lock(mutex_);
  const std::string* text = &constant_.text;
  if (!keys_.empty()) {
    auto at = keys_.upper_bound(time);
    if (at != keys_.begin()) --at;
    text = &at->second.text;
  }
  return texts_.insert(*text).first->c_str();
}

void Param::Set(const ParamValue& value) {
  const std::lock_guard lock(mutex_);
  keys_.clear();
  constant_ = value;
}

void Param::SetKey(double time, const ParamValue& value) {
  const std::lock_guard lock(mutex_);
  keys_[time] = value;
}

std::vector<double> Param::KeyTimes() const {
  const std::lock_guard lock(mutex_);
  std::vector<double> times;
  for (const auto& [time, value] : keys_) times.push_back(time);
  return times;
}

void Param::DeleteKey(double time) {
  const std::lock_guard lock(mutex_);
  const auto it = keys_.find(time);
  if (it == keys_.end()) return;
  if (keys_.size() == 1) constant_ = it->second;
  keys_.erase(it);
}

void Param::DeleteAllKeys() {
  const std::lock_guard lock(mutex_);
  if (!keys_.empty()) constant_ = keys_.begin()->second;
  keys_.clear();
}

ParamState Param::State() const {
  const std::lock_guard lock(mutex_);
  return ParamState{constant_, keys_};
}

void Param::Restore(const ParamState& state) {
  const std::lock_guard lock(mutex_);
  constant_ = state.constant;
  keys_ = state.keys;
}

bool ParamSet::BeginEdit(const std::string& name) {
  const std::lock_guard lock(editMutex_);
  if (open_) return false;
  open_ = UndoStep{name, {}};
  return true;
}

bool ParamSet::EndEdit() {
  const std::lock_guard lock(editMutex_);
  if (!open_) return false;
  if (!open_->before.empty()) history_.push_back(std::move(*open_));
  open_.reset();
  return true;
}

bool ParamSet::Editing() const {
  const std::lock_guard lock(editMutex_);
  return open_.has_value();
}

void ParamSet::WillChange(Param& param) {
  const std::lock_guard lock(editMutex_);
  if (!open_) {
    history_.push_back(UndoStep{param.name(), {{&param, param.State()}}});
    return;
  }
  for (const auto& [changed, state] : open_->before) {
    if (changed == &param) return;  // the block keeps its first state
  }
  open_->before.emplace_back(&param, param.State());
}

std::vector<std::string> ParamSet::UndoNames() const {
  const std::lock_guard lock(editMutex_);
  std::vector<std::string> names;
  for (const UndoStep& step : history_) names.push_back(step.name);
  return names;
}

std::vector<Param*> ParamSet::Undo() {
  const std::lock_guard lock(editMutex_);
  std::vector<Param*> restored;
  if (history_.empty()) return restored;
  for (const auto& [param, state] : history_.back().before) {
    param->Restore(state);
    restored.push_back(param);
  }
  history_.pop_back();
  return restored;
}

Param* ParamSet::Find(const std::string& name) const {
  for (const auto& p : params_) {
    if (p->name() == name) return p.get();
  }
  return nullptr;
}

}  // namespace gw::ofxhost
