// The Lens Editor's dialogs, controls, images and private messages, as the
// dialog knows them: the element table's panel slots, the editing model, the
// window-system bindings and the resource script all take their ids from
// here. The resource script reads the #defines (it knows nothing of C++);
// the code reads the constants below them.
#pragma once

// Dialogs.
#define GW_IDD_LENS_EDITOR 101
#define GW_IDD_SLIDER_CONTROL 131
#define GW_IDD_ADD_ELEMENT 134
#define GW_IDD_NAME 136

// Images.
#define GW_IDB_DELETE 122
#define GW_IDB_ADD 123
#define GW_IDB_COMPARE_UP 129
#define GW_IDB_COMPARE_DOWN 130
#define GW_IDC_DRAG_CURSOR 135

// The Lens Editor dialog's own controls.
#define GW_ID_OK 1
#define GW_ID_CANCEL 1102
#define GW_ID_LOAD 1027
#define GW_ID_SAVE 1028
#define GW_ID_RESET 1017
#define GW_ID_ELEMENTS_LABEL 1031
#define GW_ID_ADD_ICON 1093
#define GW_ID_DELETE_ICON 1052
#define GW_ID_FAST_DRAGS 1034
#define GW_ID_ANAMORPHIC 1007
#define GW_ID_OPTION 1039
#define GW_ID_COMPARE 1010
#define GW_ID_PREVIEW_GROUP 1030
#define GW_ID_PARAMETER_GROUP 1033

// The small dialogs' controls.
#define GW_ID_SLIDER_CONTROL_TITLE 1034
#define GW_ID_SLIDER_CONTROL_MINIMUM 1020
#define GW_ID_SLIDER_CONTROL_MAXIMUM 1021
#define GW_ID_SLIDER_CONTROL_VALUE 1022
#define GW_ID_ADD_ELEMENT_LIST 1035
#define GW_ID_ADD_ELEMENT_CLOSE 1036
#define GW_ID_ADD_ELEMENT_ADD 1037
#define GW_ID_ADD_ELEMENT_UNDO 1038
#define GW_ID_NAME_EDIT 1040

#ifndef RC_INVOKED

namespace gw::ids {

// Dialog buttons.
inline constexpr int kOk = GW_ID_OK;
inline constexpr int kCancel = GW_ID_CANCEL;
inline constexpr int kLoad = GW_ID_LOAD;
inline constexpr int kSave = GW_ID_SAVE;
inline constexpr int kEscape = 2;  // the Escape key's command: ignored

// Element list and its icons.
inline constexpr int kElementsLabel = GW_ID_ELEMENTS_LABEL;
inline constexpr int kElemList = 119;
inline constexpr int kAddIcon = GW_ID_ADD_ICON;
inline constexpr int kDeleteIcon = GW_ID_DELETE_ICON;

// Preview.
inline constexpr int kPreviewGroup = GW_ID_PREVIEW_GROUP;
inline constexpr int kPreviewWnd = 320;
inline constexpr int kLightY = 120;
inline constexpr int kLightX = 121;
inline constexpr int kLightFromImage = 122;  // x in the low, y in the high 16 bits
inline constexpr int kPreviewColour = 123;
inline constexpr int kPreviewBrightness = 124;
inline constexpr int kPreviewScale = 125;
inline constexpr int kReset = GW_ID_RESET;
inline constexpr int kFastDrags = GW_ID_FAST_DRAGS;
inline constexpr int kCompare = GW_ID_COMPARE;

// Element parameters: the panel's ten sliders, two colour boxes and two
// check boxes.
inline constexpr int kParameterGroup = GW_ID_PARAMETER_GROUP;
inline constexpr int kBrightnessSlider = 108;
inline constexpr int kScaleSlider = 109;
inline constexpr int kSpreadSlider = 110;
inline constexpr int kAngleSlider = 111;
inline constexpr int kIparam0Slider = 112;
inline constexpr int kIparam2Slider = 113;
inline constexpr int kIparam3Slider = 114;
inline constexpr int kIparam4Slider = 115;
inline constexpr int kIparam5Slider = 116;
inline constexpr int kPositionSlider = 117;
inline constexpr int kFirstParameterSlider = kBrightnessSlider;  // 108..117
inline constexpr int kLastParameterSlider = kPositionSlider;
inline constexpr int kColour1 = 127;
inline constexpr int kColour2 = 128;
inline constexpr int kAnamorphic = GW_ID_ANAMORPHIC;
inline constexpr int kOption = GW_ID_OPTION;

// Private messages to the dialog (the first user messages).
inline constexpr int kElementSelected = 1025;  // wParam: index or -1
inline constexpr int kDragBegins = 1026;       // wParam: control id
inline constexpr int kDragEnds = 1027;         // wParam: control id

// The small dialogs and their controls.
inline constexpr int kSliderControlDialog = GW_IDD_SLIDER_CONTROL;
inline constexpr int kSliderControlTitle = GW_ID_SLIDER_CONTROL_TITLE;
inline constexpr int kSliderControlMinimum = GW_ID_SLIDER_CONTROL_MINIMUM;
inline constexpr int kSliderControlMaximum = GW_ID_SLIDER_CONTROL_MAXIMUM;
inline constexpr int kSliderControlValue = GW_ID_SLIDER_CONTROL_VALUE;
inline constexpr int kAddElementDialog = GW_IDD_ADD_ELEMENT;
inline constexpr int kAddElementList = GW_ID_ADD_ELEMENT_LIST;
inline constexpr int kAddElementClose = GW_ID_ADD_ELEMENT_CLOSE;
inline constexpr int kAddElementAdd = GW_ID_ADD_ELEMENT_ADD;
inline constexpr int kAddElementUndo = GW_ID_ADD_ELEMENT_UNDO;  // "X"
inline constexpr int kNameDialog = GW_IDD_NAME;
inline constexpr int kNameEdit = GW_ID_NAME_EDIT;

// The Lens Editor dialog and the images it loads itself.
inline constexpr int kEditorDialog = GW_IDD_LENS_EDITOR;
inline constexpr int kCompareUpBitmap = GW_IDB_COMPARE_UP;
inline constexpr int kCompareDownBitmap = GW_IDB_COMPARE_DOWN;
inline constexpr int kDragCursor = GW_IDC_DRAG_CURSOR;

}  // namespace gw::ids

#endif  // RC_INVOKED
