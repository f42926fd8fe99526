#include "ofx/editions.h"

namespace gw::ofx {

std::span<const OfxEdition> Editions() {
  static const OfxEdition editions[] = {
      {FullEdition(), "org.glarewright.Glarewright", "Glarewright"},
      {ShowcaseEdition(), "org.glarewright.GlarewrightShowcase", "Glarewright Showcase"},
      {QuickEdition(), "org.glarewright.GlarewrightQuick", "Glarewright Quick"},
  };
  return editions;
}

const char* ParamName(ParamRole role) {
  switch (role) {
    case ParamRole::Brightness:
      return "brightness";
    case ParamRole::Scale:
      return "scale";
    case ParamRole::LightPoint:
      return "lightPosition";
    case ParamRole::Color:
      return "color";
    case ParamRole::Angle:
      return "angle";
    case ParamRole::FlareType:
      return "flareType";
    case ParamRole::ObscurationType:
      return "obscurationType";
    case ParamRole::SourceSize:
      return "sourceSize";
    case ParamRole::LocationLayer:
      return kLocationClip;
    case ParamRole::ObscurationLayer:
      return kObscurationClip;
  }
  return "";
}

const char* ClipName(ParamRole role) {
  return role == ParamRole::LocationLayer      ? kLocationClip
         : role == ParamRole::ObscurationLayer ? kObscurationClip
                                               : nullptr;
}

}  // namespace gw::ofx
