// The Lens Editor's controls and private messages, as the dialog knows them.
#pragma once

namespace gw::ids {

// Dialog buttons.
inline constexpr int kOk = 1;
inline constexpr int kCancel = 1102;
inline constexpr int kLoad = 1027;
inline constexpr int kSave = 1028;
inline constexpr int kEscape = 2;  // the Escape key's command: ignored

// Element list and its icons.
inline constexpr int kElementsLabel = 1031;
inline constexpr int kElemList = 119;
inline constexpr int kAddIcon = 1093;
inline constexpr int kDeleteIcon = 1052;

// Preview.
inline constexpr int kPreviewGroup = 1030;
inline constexpr int kPreviewWnd = 320;
inline constexpr int kLightY = 120;
inline constexpr int kLightX = 121;
inline constexpr int kLightFromImage = 122;  // x in the low, y in the high 16 bits
inline constexpr int kPreviewColour = 123;
inline constexpr int kPreviewBrightness = 124;
inline constexpr int kPreviewScale = 125;
inline constexpr int kReset = 1017;
inline constexpr int kFastDrags = 1034;
inline constexpr int kCompare = 1010;

// Element parameters.
inline constexpr int kParameterGroup = 1033;
inline constexpr int kFirstParameterSlider = 108;  // 108..117
inline constexpr int kLastParameterSlider = 117;
inline constexpr int kColour1 = 127;
inline constexpr int kColour2 = 128;
inline constexpr int kAnamorphic = 1007;
inline constexpr int kOption = 1039;

// Private messages to the dialog (the first user messages).
inline constexpr int kElementSelected = 1025;  // wParam: index or -1
inline constexpr int kDragBegins = 1026;       // wParam: control id
inline constexpr int kDragEnds = 1027;         // wParam: control id

// The small dialogs and their controls.
inline constexpr int kSliderControlDialog = 131;
inline constexpr int kSliderControlTitle = 1034;
inline constexpr int kSliderControlMinimum = 1020;
inline constexpr int kSliderControlMaximum = 1021;
inline constexpr int kSliderControlValue = 1022;
inline constexpr int kAddElementDialog = 134;
inline constexpr int kAddElementList = 1035;
inline constexpr int kAddElementClose = 1036;
inline constexpr int kAddElementAdd = 1037;
inline constexpr int kAddElementUndo = 1038;  // "X"
inline constexpr int kNameDialog = 136;
inline constexpr int kNameEdit = 1040;

}  // namespace gw::ids
