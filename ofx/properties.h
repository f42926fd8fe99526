// A property set as the binding reads and writes it. A property the host
// does not have reads as the fallback given; writes the host refuses are
// left unanswered (a host may lack an optional property).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "ofx/api/core.h"

namespace gw::ofx {

class PropertySet {
 public:
  explicit PropertySet(OfxPropertySetHandle handle = nullptr) : handle_(handle) {}
  OfxPropertySetHandle handle() const { return handle_; }

  void Set(const char* name, int value, int index = 0) const;
  void Set(const char* name, double value, int index = 0) const;
  void Set(const char* name, const char* value, int index = 0) const;
  void Set(const char* name, void* value) const;
  void Set(const char* name, std::initializer_list<int> values) const;
  void Set(const char* name, std::initializer_list<double> values) const;
  void Set(const char* name, std::initializer_list<const char*> values) const;

  int Int(const char* name, int fallback, int index = 0) const;
  double Double(const char* name, double fallback, int index = 0) const;
  std::string String(const char* name, int index = 0) const;  // "" when absent
  void* Pointer(const char* name) const;                      // null when absent
  int Dimension(const char* name) const;                      // 0 when absent
  OfxRectI RectI(const char* name) const;                     // all 0 when absent
  OfxRectD RectD(const char* name) const;
  OfxPointD PointD(const char* name, OfxPointD fallback) const;

 private:
  OfxPropertySetHandle handle_;
};

}  // namespace gw::ofx
