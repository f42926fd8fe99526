// The parameter suite: parameters defined in describe, read and written on
// instances, with their types and property names.
#pragma once

#include "ofx/api/core.h"

inline constexpr char kOfxParameterSuite[] = "OfxParameterSuite";

extern "C" {

typedef struct OfxParamStruct* OfxParamHandle;
typedef struct OfxParamSetStruct* OfxParamSetHandle;

// Values travel through C varargs: an int (integers, booleans, choices), a
// double, or a char* per dimension; the Get forms take pointers to them.
struct OfxParameterSuiteV1 {
  OfxStatus (*paramDefine)(OfxParamSetHandle paramSet, const char* paramType, const char* name,
                           OfxPropertySetHandle* propertySet);
  OfxStatus (*paramGetHandle)(OfxParamSetHandle paramSet, const char* name, OfxParamHandle* param,
                              OfxPropertySetHandle* propertySet);
  OfxStatus (*paramSetGetPropertySet)(OfxParamSetHandle paramSet, OfxPropertySetHandle* propHandle);
  OfxStatus (*paramGetPropertySet)(OfxParamHandle param, OfxPropertySetHandle* propHandle);
  OfxStatus (*paramGetValue)(OfxParamHandle paramHandle, ...);
  OfxStatus (*paramGetValueAtTime)(OfxParamHandle paramHandle, OfxTime time, ...);
  OfxStatus (*paramGetDerivative)(OfxParamHandle paramHandle, OfxTime time, ...);
  OfxStatus (*paramGetIntegral)(OfxParamHandle paramHandle, OfxTime time1, OfxTime time2, ...);
  OfxStatus (*paramSetValue)(OfxParamHandle paramHandle, ...);
  OfxStatus (*paramSetValueAtTime)(OfxParamHandle paramHandle, OfxTime time, ...);
  OfxStatus (*paramGetNumKeys)(OfxParamHandle paramHandle, unsigned int* numberOfKeys);
  OfxStatus (*paramGetKeyTime)(OfxParamHandle paramHandle, unsigned int nthKey, OfxTime* time);
  OfxStatus (*paramGetKeyIndex)(OfxParamHandle paramHandle, OfxTime time, int direction,
                                int* index);
  OfxStatus (*paramDeleteKey)(OfxParamHandle paramHandle, OfxTime time);
  OfxStatus (*paramDeleteAllKeys)(OfxParamHandle paramHandle);
  OfxStatus (*paramCopy)(OfxParamHandle paramTo, OfxParamHandle paramFrom, OfxTime dstOffset,
                         const OfxRangeD* frameRange);
  OfxStatus (*paramEditBegin)(OfxParamSetHandle paramSet, const char* name);
  OfxStatus (*paramEditEnd)(OfxParamSetHandle paramSet);
};

}  // extern "C"

// --- Object types ---
inline constexpr char kOfxTypeParameter[] = "OfxTypeParameter";
inline constexpr char kOfxTypeParameterInstance[] = "OfxTypeParameterInstance";

// --- Parameter types ---
inline constexpr char kOfxParamTypeInteger[] = "OfxParamTypeInteger";
inline constexpr char kOfxParamTypeDouble[] = "OfxParamTypeDouble";
inline constexpr char kOfxParamTypeBoolean[] = "OfxParamTypeBoolean";
inline constexpr char kOfxParamTypeChoice[] = "OfxParamTypeChoice";
inline constexpr char kOfxParamTypeRGBA[] = "OfxParamTypeRGBA";
inline constexpr char kOfxParamTypeRGB[] = "OfxParamTypeRGB";
inline constexpr char kOfxParamTypeDouble2D[] = "OfxParamTypeDouble2D";
inline constexpr char kOfxParamTypeInteger2D[] = "OfxParamTypeInteger2D";
inline constexpr char kOfxParamTypeString[] = "OfxParamTypeString";
inline constexpr char kOfxParamTypeGroup[] = "OfxParamTypeGroup";
inline constexpr char kOfxParamTypePage[] = "OfxParamTypePage";
inline constexpr char kOfxParamTypePushButton[] = "OfxParamTypePushButton";

// --- Parameter properties ---
inline constexpr char kOfxParamPropType[] = "OfxParamPropType";
inline constexpr char kOfxParamPropAnimates[] = "OfxParamPropAnimates";
inline constexpr char kOfxParamPropCanUndo[] = "OfxParamPropCanUndo";
inline constexpr char kOfxParamPropIsAnimating[] = "OfxParamPropIsAnimating";
inline constexpr char kOfxParamPropPluginMayWrite[] = "OfxParamPropPluginMayWrite";
// (The standard spells it so.)
inline constexpr char kOfxParamPropPersistant[] = "OfxParamPropPersistant";
inline constexpr char kOfxParamPropEvaluateOnChange[] = "OfxParamPropEvaluateOnChange";
inline constexpr char kOfxParamPropSecret[] = "OfxParamPropSecret";
inline constexpr char kOfxParamPropScriptName[] = "OfxParamPropScriptName";
inline constexpr char kOfxParamPropCacheInvalidation[] = "OfxParamPropCacheInvalidation";
inline constexpr char kOfxParamPropHint[] = "OfxParamPropHint";
inline constexpr char kOfxParamPropDefault[] = "OfxParamPropDefault";
inline constexpr char kOfxParamPropDoubleType[] = "OfxParamPropDoubleType";
inline constexpr char kOfxParamPropDefaultCoordinateSystem[] =
    "OfxParamPropDefaultCoordinateSystem";
// (The standard's value of this one begins with a "k".)
inline constexpr char kOfxParamPropUseHostOverlayHandle[] = "kOfxParamPropUseHostOverlayHandle";
inline constexpr char kOfxParamPropParent[] = "OfxParamPropParent";
inline constexpr char kOfxParamPropEnabled[] = "OfxParamPropEnabled";
inline constexpr char kOfxParamPropChoiceOption[] = "OfxParamPropChoiceOption";
inline constexpr char kOfxParamPropMin[] = "OfxParamPropMin";
inline constexpr char kOfxParamPropMax[] = "OfxParamPropMax";
inline constexpr char kOfxParamPropDisplayMin[] = "OfxParamPropDisplayMin";
inline constexpr char kOfxParamPropDisplayMax[] = "OfxParamPropDisplayMax";
inline constexpr char kOfxParamPropIncrement[] = "OfxParamPropIncrement";
inline constexpr char kOfxParamPropDigits[] = "OfxParamPropDigits";
inline constexpr char kOfxParamPropDimensionLabel[] = "OfxParamPropDimensionLabel";
inline constexpr char kOfxParamPropStringMode[] = "OfxParamPropStringMode";
inline constexpr char kOfxParamPropStringFilePathExists[] = "OfxParamPropStringFilePathExists";
inline constexpr char kOfxParamPropIsAutoKeying[] = "OfxParamPropIsAutoKeying";
inline constexpr char kOfxParamPropDataPtr[] = "OfxParamPropDataPtr";
inline constexpr char kOfxParamPropHasHostOverlayHandle[] = "OfxParamPropHasHostOverlayHandle";
inline constexpr char kOfxParamPropShowTimeMarker[] = "OfxParamPropShowTimeMarker";
inline constexpr char kOfxParamPropGroupOpen[] = "OfxParamPropGroupOpen";
inline constexpr char kOfxParamPropPageChild[] = "OfxParamPropPageChild";
inline constexpr char kOfxParamPropInteractV1[] = "OfxParamPropInteractV1";

// --- Host properties of the parameter suite ---
inline constexpr char kOfxParamHostPropSupportsCustomAnimation[] =
    "OfxParamHostPropSupportsCustomAnimation";
inline constexpr char kOfxParamHostPropSupportsStringAnimation[] =
    "OfxParamHostPropSupportsStringAnimation";
inline constexpr char kOfxParamHostPropSupportsBooleanAnimation[] =
    "OfxParamHostPropSupportsBooleanAnimation";
inline constexpr char kOfxParamHostPropSupportsChoiceAnimation[] =
    "OfxParamHostPropSupportsChoiceAnimation";
inline constexpr char kOfxParamHostPropSupportsCustomInteract[] =
    "OfxParamHostPropSupportsCustomInteract";
inline constexpr char kOfxParamHostPropMaxParameters[] = "OfxParamHostPropMaxParameters";
inline constexpr char kOfxParamHostPropMaxPages[] = "OfxParamHostPropMaxPages";
inline constexpr char kOfxParamHostPropPageRowColumnCount[] = "OfxParamHostPropPageRowColumnCount";

// --- Values of those properties ---
inline constexpr char kOfxParamDoubleTypePlain[] = "OfxParamDoubleTypePlain";
inline constexpr char kOfxParamDoubleTypeScale[] = "OfxParamDoubleTypeScale";
inline constexpr char kOfxParamDoubleTypeAngle[] = "OfxParamDoubleTypeAngle";
inline constexpr char kOfxParamDoubleTypeXYAbsolute[] = "OfxParamDoubleTypeXYAbsolute";
inline constexpr char kOfxParamCoordinatesCanonical[] = "OfxParamCoordinatesCanonical";
inline constexpr char kOfxParamCoordinatesNormalised[] = "OfxParamCoordinatesNormalised";
inline constexpr char kOfxParamStringIsSingleLine[] = "OfxParamStringIsSingleLine";
inline constexpr char kOfxParamStringIsMultiLine[] = "OfxParamStringIsMultiLine";
inline constexpr char kOfxParamStringIsFilePath[] = "OfxParamStringIsFilePath";
inline constexpr char kOfxParamInvalidateValueChange[] = "OfxParamInvalidateValueChange";
inline constexpr char kOfxParamInvalidateAll[] = "OfxParamInvalidateAll";
