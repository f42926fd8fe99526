#include "ofx/properties.h"

#include <iterator>

#include "ofx/suites.h"

namespace gw::ofx {
namespace {

const OfxPropertySuiteV1& Props() { return *Suites().property; }

}  // namespace

void PropertySet::Set(const char* name, int value, int index) const {
  Props().propSetInt(handle_, name, index, value);
}
void PropertySet::Set(const char* name, double value, int index) const {
  Props().propSetDouble(handle_, name, index, value);
}
void PropertySet::Set(const char* name, const char* value, int index) const {
  Props().propSetString(handle_, name, index, value);
}
void PropertySet::Set(const char* name, void* value) const {
  Props().propSetPointer(handle_, name, 0, value);
}
void PropertySet::Set(const char* name, std::initializer_list<int> values) const {
  Props().propSetIntN(handle_, name, static_cast<int>(values.size()), std::data(values));
}
void PropertySet::Set(const char* name, std::initializer_list<double> values) const {
  Props().propSetDoubleN(handle_, name, static_cast<int>(values.size()), std::data(values));
}
void PropertySet::Set(const char* name, std::initializer_list<const char*> values) const {
  Props().propSetStringN(handle_, name, static_cast<int>(values.size()), std::data(values));
}

int PropertySet::Int(const char* name, int fallback, int index) const {
  int value = fallback;
  return Props().propGetInt(handle_, name, index, &value) == kOfxStatOK ? value : fallback;
}

double PropertySet::Double(const char* name, double fallback, int index) const {
  double value = fallback;
  return Props().propGetDouble(handle_, name, index, &value) == kOfxStatOK ? value : fallback;
}

std::string PropertySet::String(const char* name, int index) const {
  char* value = nullptr;
  if (Props().propGetString(handle_, name, index, &value) != kOfxStatOK || !value) return {};
  return value;
}

void* PropertySet::Pointer(const char* name) const {
  void* value = nullptr;
  return Props().propGetPointer(handle_, name, 0, &value) == kOfxStatOK ? value : nullptr;
}

int PropertySet::Dimension(const char* name) const {
  int count = 0;
  return Props().propGetDimension(handle_, name, &count) == kOfxStatOK ? count : 0;
}

OfxRectI PropertySet::RectI(const char* name) const {
  int v[4] = {};
  if (Props().propGetIntN(handle_, name, 4, v) != kOfxStatOK) return OfxRectI{};
  return OfxRectI{v[0], v[1], v[2], v[3]};
}

OfxRectD PropertySet::RectD(const char* name) const {
  double v[4] = {};
  if (Props().propGetDoubleN(handle_, name, 4, v) != kOfxStatOK) return OfxRectD{};
  return OfxRectD{v[0], v[1], v[2], v[3]};
}

OfxPointD PropertySet::PointD(const char* name, OfxPointD fallback) const {
  double v[2] = {};
  if (Props().propGetDoubleN(handle_, name, 2, v) != kOfxStatOK) return fallback;
  return OfxPointD{v[0], v[1]};
}

}  // namespace gw::ofx
