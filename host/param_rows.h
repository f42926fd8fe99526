// The parameter rows the editions share. Each edition's table lists the rows
// it declares, in its own order.
#pragma once

#include "host/edition.h"

namespace gw::rows {

inline constexpr ParamRow kBrightness{
    .role = ParamRole::Brightness, .name = "Brightness", .type = PF_Param_FIX_SLIDER,
    .value = PF_FixedFromInt(100), .dephault = PF_FixedFromInt(100),
    .validMin = 0, .validMax = PF_FixedFromInt(300),
    .sliderMin = 0, .sliderMax = PF_FixedFromInt(200), .precision = 1};

inline constexpr ParamRow kScale{
    .role = ParamRole::Scale, .name = "Scale", .type = PF_Param_FIX_SLIDER,
    .value = PF_FixedFromInt(1), .dephault = PF_FixedFromInt(1),
    .validMin = 0x1999, .validMax = PF_FixedFromInt(5),
    .sliderMin = 0x1999, .sliderMax = PF_FixedFromInt(5), .precision = 2};

// The value is 30 pixels each way; the default is 30 % of the layer.
inline constexpr ParamRow kLightPoint{
    .role = ParamRole::LightPoint, .name = "Light Source Location", .type = PF_Param_POINT,
    .value = PF_FixedFromInt(30), .valueY = PF_FixedFromInt(30),
    .dephault = PF_FixedFromInt(30), .dephaultY = PF_FixedFromInt(30)};

inline constexpr ParamRow kColor{
    .role = ParamRole::Color, .name = "Color", .type = PF_Param_COLOR,
    .colour = PF_Pixel{50, 255, 255, 255}};

inline constexpr ParamRow kAngle{
    .role = ParamRole::Angle, .name = "Angle", .type = PF_Param_ANGLE,
    .flags = PF_ParamFlag_COLLAPSE_TWIRLY};

inline constexpr ParamRow kLocationLayer{
    .role = ParamRole::LocationLayer, .name = "Location layer:", .type = PF_Param_LAYER,
    .flags = PF_ParamFlag_RESERVED_0x10, .dephault = PF_LayerDefault_NONE};

inline constexpr ParamRow kObscurationLayer{
    .role = ParamRole::ObscurationLayer, .name = "Obscuration layer:", .type = PF_Param_LAYER,
    .flags = PF_ParamFlag_RESERVED_0x10, .dephault = PF_LayerDefault_NONE};

inline constexpr ParamRow kObscurationType{
    .role = ParamRole::ObscurationType, .name = "Obscuration Type", .type = PF_Param_POPUP,
    .dephault = 2, .numChoices = 4, .choices = "RGB|Alpha|RGB + Alpha|Inverse Alpha"};

inline constexpr ParamRow kSourceSize{
    .role = ParamRole::SourceSize, .name = "Source size:", .type = PF_Param_SLIDER,
    .flags = PF_ParamFlag_COLLAPSE_TWIRLY, .value = 2, .dephault = 2,
    .validMin = 1, .validMax = 100, .sliderMin = 1, .sliderMax = 100};

}  // namespace gw::rows
