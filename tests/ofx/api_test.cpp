// Our declarations of the OpenFX interface against the standard: the record
// layouts a host and a plug-in exchange, the status codes, and the spelling
// of every string the binding and the host use, written out here as the
// standard's documentation spells them.
#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "ofx/api/core.h"
#include "ofx/api/host_suites.h"
#include "ofx/api/image_effect.h"
#include "ofx/api/params.h"
#include "ofx/api/property_suite.h"

namespace {

constexpr size_t kPointer = sizeof(void*);

// The records: plain C structs of pointers and numbers, in the standard's
// order.
static_assert(sizeof(OfxRangeI) == 8 && sizeof(OfxRangeD) == 16);
static_assert(sizeof(OfxPointI) == 8 && sizeof(OfxPointD) == 16);
static_assert(sizeof(OfxRectI) == 16 && sizeof(OfxRectD) == 32);
static_assert(offsetof(OfxRectI, x2) == 8 && offsetof(OfxRectD, y2) == 24);
static_assert(sizeof(OfxHost) == 2 * kPointer && offsetof(OfxHost, fetchSuite) == kPointer);
static_assert(offsetof(OfxPlugin, pluginApi) == 0);
static_assert(offsetof(OfxPlugin, apiVersion) == kPointer);
static_assert(offsetof(OfxPlugin, pluginIdentifier) == 2 * kPointer);
static_assert(offsetof(OfxPlugin, pluginVersionMajor) == 3 * kPointer);
static_assert(offsetof(OfxPlugin, pluginVersionMinor) == 3 * kPointer + 4);
static_assert(offsetof(OfxPlugin, setHost) == 3 * kPointer + 8);
static_assert(offsetof(OfxPlugin, mainEntry) == 4 * kPointer + 8);
static_assert(sizeof(OfxPlugin) == 5 * kPointer + 8);

// The suites: one function pointer after another.
static_assert(sizeof(OfxPropertySuiteV1) == 18 * kPointer);
static_assert(offsetof(OfxPropertySuiteV1, propSetIntN) == 7 * kPointer);
static_assert(offsetof(OfxPropertySuiteV1, propGetInt) == 11 * kPointer);
static_assert(offsetof(OfxPropertySuiteV1, propGetDimension) == 17 * kPointer);
static_assert(sizeof(OfxImageEffectSuiteV1) == 13 * kPointer);
static_assert(offsetof(OfxImageEffectSuiteV1, clipGetImage) == 5 * kPointer);
static_assert(offsetof(OfxImageEffectSuiteV1, abort) == 8 * kPointer);
static_assert(offsetof(OfxImageEffectSuiteV1, imageMemoryUnlock) == 12 * kPointer);
static_assert(sizeof(OfxParameterSuiteV1) == 18 * kPointer);
static_assert(offsetof(OfxParameterSuiteV1, paramGetValueAtTime) == 5 * kPointer);
static_assert(offsetof(OfxParameterSuiteV1, paramSetValue) == 8 * kPointer);
static_assert(offsetof(OfxParameterSuiteV1, paramEditEnd) == 17 * kPointer);
static_assert(sizeof(OfxMemorySuiteV1) == 2 * kPointer);
static_assert(sizeof(OfxMultiThreadSuiteV1) == 9 * kPointer);
static_assert(offsetof(OfxMultiThreadSuiteV1, mutexTryLock) == 8 * kPointer);
static_assert(sizeof(OfxMessageSuiteV1) == kPointer);
static_assert(sizeof(OfxMessageSuiteV2) == 3 * kPointer);
static_assert(offsetof(OfxMessageSuiteV2, clearPersistentMessage) == 2 * kPointer);
static_assert(sizeof(OfxProgressSuiteV1) == 3 * kPointer);
static_assert(sizeof(OfxProgressSuiteV2) == 3 * kPointer);

TEST(OfxApi, StatusCodesAreTheStandardsNumbers) {
  const std::vector<std::pair<int, int>> codes = {{kOfxStatOK, 0},
                                                  {kOfxStatFailed, 1},
                                                  {kOfxStatErrFatal, 2},
                                                  {kOfxStatErrUnknown, 3},
                                                  {kOfxStatErrMissingHostFeature, 4},
                                                  {kOfxStatErrUnsupported, 5},
                                                  {kOfxStatErrExists, 6},
                                                  {kOfxStatErrFormat, 7},
                                                  {kOfxStatErrMemory, 8},
                                                  {kOfxStatErrBadHandle, 9},
                                                  {kOfxStatErrBadIndex, 10},
                                                  {kOfxStatErrValue, 11},
                                                  {kOfxStatReplyYes, 12},
                                                  {kOfxStatReplyNo, 13},
                                                  {kOfxStatReplyDefault, 14},
                                                  {kOfxStatErrImageFormat, 1000},
                                                  {kOfxImageEffectPluginApiVersion, 1}};
  for (const auto& [ours, standard] : codes) EXPECT_EQ(ours, standard);
  EXPECT_EQ(kOfxFlagInfiniteMin, INT_MIN);
  EXPECT_EQ(kOfxFlagInfiniteMax, INT_MAX);
}

TEST(OfxApi, EveryStringIsSpelledAsTheStandardSpellsIt) {
  const std::vector<std::pair<std::string, std::string>> strings = {
      {kOfxActionBeginInstanceChanged, "OfxActionBeginInstanceChanged"},
      {kOfxActionCreateInstance, "OfxActionCreateInstance"},
      {kOfxActionDescribe, "OfxActionDescribe"},
      {kOfxActionDestroyInstance, "OfxActionDestroyInstance"},
      {kOfxActionEndInstanceChanged, "OfxActionEndInstanceChanged"},
      {kOfxActionInstanceChanged, "OfxActionInstanceChanged"},
      {kOfxActionLoad, "OfxActionLoad"},
      {kOfxActionUnload, "OfxActionUnload"},
      {kOfxBitDepthByte, "OfxBitDepthByte"},
      {kOfxBitDepthFloat, "OfxBitDepthFloat"},
      {kOfxBitDepthHalf, "OfxBitDepthHalf"},
      {kOfxBitDepthNone, "OfxBitDepthNone"},
      {kOfxBitDepthShort, "OfxBitDepthShort"},
      {kOfxChangeUserEdited, "OfxChangeUserEdited"},
      {kOfxGetNumberOfPluginsSymbol, "OfxGetNumberOfPlugins"},
      {kOfxGetPluginSymbol, "OfxGetPlugin"},
      {kOfxImageClipPropComponentsPrefix, "OfxImageClipPropComponents_"},
      {kOfxImageClipPropConnected, "OfxImageClipPropConnected"},
      {kOfxImageClipPropContinuousSamples, "OfxImageClipPropContinuousSamples"},
      {kOfxImageClipPropDepthPrefix, "OfxImageClipPropDepth_"},
      {kOfxImageClipPropFieldExtraction, "OfxImageClipPropFieldExtraction"},
      {kOfxImageClipPropFieldOrder, "OfxImageClipPropFieldOrder"},
      {kOfxImageClipPropFrameRangePrefix, "OfxImageClipPropFrameRange_"},
      {kOfxImageClipPropIsMask, "OfxImageClipPropIsMask"},
      {kOfxImageClipPropOptional, "OfxImageClipPropOptional"},
      {kOfxImageClipPropPARPrefix, "OfxImageClipPropPAR_"},
      {kOfxImageClipPropRoIPrefix, "OfxImageClipPropRoI_"},
      {kOfxImageClipPropUnmappedComponents, "OfxImageClipPropUnmappedComponents"},
      {kOfxImageClipPropUnmappedPixelDepth, "OfxImageClipPropUnmappedPixelDepth"},
      {kOfxImageComponentAlpha, "OfxImageComponentAlpha"},
      {kOfxImageComponentNone, "OfxImageComponentNone"},
      {kOfxImageComponentRGB, "OfxImageComponentRGB"},
      {kOfxImageComponentRGBA, "OfxImageComponentRGBA"},
      {kOfxImageEffectActionBeginSequenceRender, "OfxImageEffectActionBeginSequenceRender"},
      {kOfxImageEffectActionDescribeInContext, "OfxImageEffectActionDescribeInContext"},
      {kOfxImageEffectActionEndSequenceRender, "OfxImageEffectActionEndSequenceRender"},
      {kOfxImageEffectActionGetClipPreferences, "OfxImageEffectActionGetClipPreferences"},
      {kOfxImageEffectActionGetFramesNeeded, "OfxImageEffectActionGetFramesNeeded"},
      {kOfxImageEffectActionGetRegionOfDefinition, "OfxImageEffectActionGetRegionOfDefinition"},
      {kOfxImageEffectActionGetRegionsOfInterest, "OfxImageEffectActionGetRegionsOfInterest"},
      {kOfxImageEffectActionIsIdentity, "OfxImageEffectActionIsIdentity"},
      {kOfxImageEffectActionRender, "OfxImageEffectActionRender"},
      {kOfxImageEffectContextFilter, "OfxImageEffectContextFilter"},
      {kOfxImageEffectContextGeneral, "OfxImageEffectContextGeneral"},
      {kOfxImageEffectFrameVarying, "OfxImageEffectFrameVarying"},
      {kOfxImageEffectHostPropIsBackground, "OfxImageEffectHostPropIsBackground"},
      {kOfxImageEffectInstancePropEffectDuration, "OfxImageEffectInstancePropEffectDuration"},
      {kOfxImageEffectInstancePropSequentialRender, "OfxImageEffectInstancePropSequentialRender"},
      {kOfxImageEffectOutputClipName, "Output"},
      {kOfxImageEffectPluginApi, "OfxImageEffectPluginAPI"},
      {kOfxImageEffectPluginPropFieldRenderTwiceAlways,
       "OfxImageEffectPluginPropFieldRenderTwiceAlways"},
      {kOfxImageEffectPluginPropGrouping, "OfxImageEffectPluginPropGrouping"},
      {kOfxImageEffectPluginPropHostFrameThreading, "OfxImageEffectPluginPropHostFrameThreading"},
      {kOfxImageEffectPluginPropOverlayInteractV1, "OfxImageEffectPluginPropOverlayInteractV1"},
      {kOfxImageEffectPluginPropSingleInstance, "OfxImageEffectPluginPropSingleInstance"},
      {kOfxImageEffectPluginRenderThreadSafety, "OfxImageEffectPluginRenderThreadSafety"},
      {kOfxImageEffectPropClipPreferencesSlaveParam, "OfxImageEffectPropClipPreferencesSlaveParam"},
      {kOfxImageEffectPropComponents, "OfxImageEffectPropComponents"},
      {kOfxImageEffectPropContext, "OfxImageEffectPropContext"},
      {kOfxImageEffectPropFieldToRender, "OfxImageEffectPropFieldToRender"},
      {kOfxImageEffectPropFrameRange, "OfxImageEffectPropFrameRange"},
      {kOfxImageEffectPropFrameRate, "OfxImageEffectPropFrameRate"},
      {kOfxImageEffectPropFrameStep, "OfxImageEffectPropFrameStep"},
      {kOfxImageEffectPropInteractiveRenderStatus, "OfxImageEffectPropInteractiveRenderStatus"},
      {kOfxImageEffectPropPixelDepth, "OfxImageEffectPropPixelDepth"},
      {kOfxImageEffectPropPreMultiplication, "OfxImageEffectPropPreMultiplication"},
      {kOfxImageEffectPropProjectExtent, "OfxImageEffectPropProjectExtent"},
      {kOfxImageEffectPropProjectOffset, "OfxImageEffectPropProjectOffset"},
      {kOfxImageEffectPropProjectPixelAspectRatio, "OfxImageEffectPropPixelAspectRatio"},
      {kOfxImageEffectPropProjectSize, "OfxImageEffectPropProjectSize"},
      {kOfxImageEffectPropRegionOfDefinition, "OfxImageEffectPropRegionOfDefinition"},
      {kOfxImageEffectPropRegionOfInterest, "OfxImageEffectPropRegionOfInterest"},
      {kOfxImageEffectPropRenderQualityDraft, "OfxImageEffectPropRenderQualityDraft"},
      {kOfxImageEffectPropRenderScale, "OfxImageEffectPropRenderScale"},
      {kOfxImageEffectPropRenderWindow, "OfxImageEffectPropRenderWindow"},
      {kOfxImageEffectPropSequentialRenderStatus, "OfxImageEffectPropSequentialRenderStatus"},
      {kOfxImageEffectPropSetableFielding, "OfxImageEffectPropSetableFielding"},
      {kOfxImageEffectPropSetableFrameRate, "OfxImageEffectPropSetableFrameRate"},
      {kOfxImageEffectPropSupportedComponents, "OfxImageEffectPropSupportedComponents"},
      {kOfxImageEffectPropSupportedContexts, "OfxImageEffectPropSupportedContexts"},
      {kOfxImageEffectPropSupportedPixelDepths, "OfxImageEffectPropSupportedPixelDepths"},
      {kOfxImageEffectPropSupportsMultiResolution, "OfxImageEffectPropSupportsMultiResolution"},
      {kOfxImageEffectPropSupportsMultipleClipDepths, "OfxImageEffectPropMultipleClipDepths"},
      {kOfxImageEffectPropSupportsMultipleClipPARs, "OfxImageEffectPropSupportsMultipleClipPARs"},
      {kOfxImageEffectPropSupportsOverlays, "OfxImageEffectPropSupportsOverlays"},
      {kOfxImageEffectPropSupportsTiles, "OfxImageEffectPropSupportsTiles"},
      {kOfxImageEffectPropTemporalClipAccess, "OfxImageEffectPropTemporalClipAccess"},
      {kOfxImageEffectPropUnmappedFrameRange, "OfxImageEffectPropUnmappedFrameRange"},
      {kOfxImageEffectPropUnmappedFrameRate, "OfxImageEffectPropUnmappedFrameRate"},
      {kOfxImageEffectRenderFullySafe, "OfxImageEffectRenderFullySafe"},
      {kOfxImageEffectRenderInstanceSafe, "OfxImageEffectRenderInstanceSafe"},
      {kOfxImageEffectSimpleSourceClipName, "Source"},
      {kOfxImageEffectSuite, "OfxImageEffectSuite"},
      {kOfxImageFieldDoubled, "OfxFieldDoubled"},
      {kOfxImageFieldNone, "OfxFieldNone"},
      {kOfxImageOpaque, "OfxImageOpaque"},
      {kOfxImagePreMultiplied, "OfxImageAlphaPremultiplied"},
      {kOfxImagePropBounds, "OfxImagePropBounds"},
      {kOfxImagePropData, "OfxImagePropData"},
      {kOfxImagePropField, "OfxImagePropField"},
      {kOfxImagePropPixelAspectRatio, "OfxImagePropPixelAspectRatio"},
      {kOfxImagePropRegionOfDefinition, "OfxImagePropRegionOfDefinition"},
      {kOfxImagePropRowBytes, "OfxImagePropRowBytes"},
      {kOfxImagePropUniqueIdentifier, "OfxImagePropUniqueIdentifier"},
      {kOfxMemorySuite, "OfxMemorySuite"},
      {kOfxMessageError, "OfxMessageError"},
      {kOfxMessageFatal, "OfxMessageFatal"},
      {kOfxMessageLog, "OfxMessageLog"},
      {kOfxMessageMessage, "OfxMessageMessage"},
      {kOfxMessageQuestion, "OfxMessageQuestion"},
      {kOfxMessageSuite, "OfxMessageSuite"},
      {kOfxMessageWarning, "OfxMessageWarning"},
      {kOfxMultiThreadSuite, "OfxMultiThreadSuite"},
      {kOfxParamCoordinatesCanonical, "OfxParamCoordinatesCanonical"},
      {kOfxParamCoordinatesNormalised, "OfxParamCoordinatesNormalised"},
      {kOfxParamDoubleTypeAngle, "OfxParamDoubleTypeAngle"},
      {kOfxParamDoubleTypePlain, "OfxParamDoubleTypePlain"},
      {kOfxParamDoubleTypeXYAbsolute, "OfxParamDoubleTypeXYAbsolute"},
      {kOfxParamHostPropMaxPages, "OfxParamHostPropMaxPages"},
      {kOfxParamHostPropMaxParameters, "OfxParamHostPropMaxParameters"},
      {kOfxParamHostPropPageRowColumnCount, "OfxParamHostPropPageRowColumnCount"},
      {kOfxParamHostPropSupportsBooleanAnimation, "OfxParamHostPropSupportsBooleanAnimation"},
      {kOfxParamHostPropSupportsChoiceAnimation, "OfxParamHostPropSupportsChoiceAnimation"},
      {kOfxParamHostPropSupportsCustomAnimation, "OfxParamHostPropSupportsCustomAnimation"},
      {kOfxParamHostPropSupportsCustomInteract, "OfxParamHostPropSupportsCustomInteract"},
      {kOfxParamHostPropSupportsStringAnimation, "OfxParamHostPropSupportsStringAnimation"},
      {kOfxParamInvalidateValueChange, "OfxParamInvalidateValueChange"},
      {kOfxParamPropAnimates, "OfxParamPropAnimates"},
      {kOfxParamPropCacheInvalidation, "OfxParamPropCacheInvalidation"},
      {kOfxParamPropCanUndo, "OfxParamPropCanUndo"},
      {kOfxParamPropChoiceOption, "OfxParamPropChoiceOption"},
      {kOfxParamPropDataPtr, "OfxParamPropDataPtr"},
      {kOfxParamPropDefault, "OfxParamPropDefault"},
      {kOfxParamPropDefaultCoordinateSystem, "OfxParamPropDefaultCoordinateSystem"},
      {kOfxParamPropDigits, "OfxParamPropDigits"},
      {kOfxParamPropDimensionLabel, "OfxParamPropDimensionLabel"},
      {kOfxParamPropDisplayMax, "OfxParamPropDisplayMax"},
      {kOfxParamPropDisplayMin, "OfxParamPropDisplayMin"},
      {kOfxParamPropDoubleType, "OfxParamPropDoubleType"},
      {kOfxParamPropEnabled, "OfxParamPropEnabled"},
      {kOfxParamPropEvaluateOnChange, "OfxParamPropEvaluateOnChange"},
      {kOfxParamPropGroupOpen, "OfxParamPropGroupOpen"},
      {kOfxParamPropHasHostOverlayHandle, "OfxParamPropHasHostOverlayHandle"},
      {kOfxParamPropHint, "OfxParamPropHint"},
      {kOfxParamPropIncrement, "OfxParamPropIncrement"},
      {kOfxParamPropIsAnimating, "OfxParamPropIsAnimating"},
      {kOfxParamPropIsAutoKeying, "OfxParamPropIsAutoKeying"},
      {kOfxParamPropMax, "OfxParamPropMax"},
      {kOfxParamPropMin, "OfxParamPropMin"},
      {kOfxParamPropPageChild, "OfxParamPropPageChild"},
      {kOfxParamPropParent, "OfxParamPropParent"},
      {kOfxParamPropPersistant, "OfxParamPropPersistant"},
      {kOfxParamPropPluginMayWrite, "OfxParamPropPluginMayWrite"},
      {kOfxParamPropScriptName, "OfxParamPropScriptName"},
      {kOfxParamPropSecret, "OfxParamPropSecret"},
      {kOfxParamPropShowTimeMarker, "OfxParamPropShowTimeMarker"},
      {kOfxParamPropStringFilePathExists, "OfxParamPropStringFilePathExists"},
      {kOfxParamPropStringMode, "OfxParamPropStringMode"},
      {kOfxParamPropType, "OfxParamPropType"},
      {kOfxParamPropUseHostOverlayHandle, "kOfxParamPropUseHostOverlayHandle"},
      {kOfxParamStringIsMultiLine, "OfxParamStringIsMultiLine"},
      {kOfxParamStringIsFilePath, "OfxParamStringIsFilePath"},
      {kOfxParamStringIsSingleLine, "OfxParamStringIsSingleLine"},
      {kOfxParamTypeBoolean, "OfxParamTypeBoolean"},
      {kOfxParamTypeChoice, "OfxParamTypeChoice"},
      {kOfxParamTypeDouble, "OfxParamTypeDouble"},
      {kOfxParamTypeDouble2D, "OfxParamTypeDouble2D"},
      {kOfxParamTypeGroup, "OfxParamTypeGroup"},
      {kOfxParamTypeInteger, "OfxParamTypeInteger"},
      {kOfxParamTypeInteger2D, "OfxParamTypeInteger2D"},
      {kOfxParamTypePage, "OfxParamTypePage"},
      {kOfxParamTypePushButton, "OfxParamTypePushButton"},
      {kOfxParamTypeRGB, "OfxParamTypeRGB"},
      {kOfxParamTypeRGBA, "OfxParamTypeRGBA"},
      {kOfxParamTypeString, "OfxParamTypeString"},
      {kOfxParameterSuite, "OfxParameterSuite"},
      {kOfxPluginPropFilePath, "OfxPluginPropFilePath"},
      {kOfxProgressSuite, "OfxProgressSuite"},
      {kOfxPropAPIVersion, "OfxPropAPIVersion"},
      {kOfxPropChangeReason, "OfxPropChangeReason"},
      {kOfxPropHostOSHandle, "OfxPropHostOSHandle"},
      {kOfxPropIcon, "OfxPropIcon"},
      {kOfxPropInstanceData, "OfxPropInstanceData"},
      {kOfxPropIsInteractive, "OfxPropIsInteractive"},
      {kOfxPropLabel, "OfxPropLabel"},
      {kOfxPropLongLabel, "OfxPropLongLabel"},
      {kOfxPropName, "OfxPropName"},
      {kOfxPropPluginDescription, "OfxPropPluginDescription"},
      {kOfxPropShortLabel, "OfxPropShortLabel"},
      {kOfxPropTime, "OfxPropTime"},
      {kOfxPropType, "OfxPropType"},
      {kOfxPropVersion, "OfxPropVersion"},
      {kOfxPropVersionLabel, "OfxPropVersionLabel"},
      {kOfxPropertySuite, "OfxPropertySuite"},
      {kOfxTypeClip, "OfxTypeClip"},
      {kOfxTypeImage, "OfxTypeImage"},
      {kOfxTypeImageEffect, "OfxTypeImageEffect"},
      {kOfxTypeImageEffectHost, "OfxTypeImageEffectHost"},
      {kOfxTypeImageEffectInstance, "OfxTypeImageEffectInstance"},
      {kOfxTypeParameter, "OfxTypeParameter"},
      {kOfxTypeParameterInstance, "OfxTypeParameterInstance"},
      {kOfxGetNumberOfPluginsSymbol, "OfxGetNumberOfPlugins"},
      {kOfxGetPluginSymbol, "OfxGetPlugin"},
  };
  for (const auto& [ours, standard] : strings) EXPECT_EQ(ours, standard);
}

}  // namespace
