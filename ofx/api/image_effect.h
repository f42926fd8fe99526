// The image effect API: its suite, actions, contexts, clips and images, and
// the property names and values of each.
#pragma once

#include <cstddef>

#include "ofx/api/core.h"
#include "ofx/api/params.h"

inline constexpr char kOfxImageEffectPluginApi[] = "OfxImageEffectPluginAPI";
inline constexpr int kOfxImageEffectPluginApiVersion = 1;
inline constexpr char kOfxImageEffectSuite[] = "OfxImageEffectSuite";

// Status code of an image in a format the plug-in cannot take.
inline constexpr OfxStatus kOfxStatErrImageFormat = 1000;

extern "C" {

typedef struct OfxImageEffectStruct* OfxImageEffectHandle;
typedef struct OfxImageClipStruct* OfxImageClipHandle;
typedef struct OfxImageMemoryStruct* OfxImageMemoryHandle;

// What an effect asks of the host: its property and parameter sets, its
// clips and their images (each image released before the action returns),
// whether to stop, and image memory.
struct OfxImageEffectSuiteV1 {
  OfxStatus (*getPropertySet)(OfxImageEffectHandle imageEffect, OfxPropertySetHandle* propHandle);
  OfxStatus (*getParamSet)(OfxImageEffectHandle imageEffect, OfxParamSetHandle* paramSet);
  OfxStatus (*clipDefine)(OfxImageEffectHandle imageEffect, const char* name,
                          OfxPropertySetHandle* propertySet);
  OfxStatus (*clipGetHandle)(OfxImageEffectHandle imageEffect, const char* name,
                             OfxImageClipHandle* clip, OfxPropertySetHandle* propertySet);
  OfxStatus (*clipGetPropertySet)(OfxImageClipHandle clip, OfxPropertySetHandle* propHandle);
  // The region is in canonical coordinates; null asks for the region of
  // interest the effect gave.
  OfxStatus (*clipGetImage)(OfxImageClipHandle clip, OfxTime time, const OfxRectD* region,
                            OfxPropertySetHandle* imageHandle);
  OfxStatus (*clipReleaseImage)(OfxPropertySetHandle imageHandle);
  OfxStatus (*clipGetRegionOfDefinition)(OfxImageClipHandle clip, OfxTime time, OfxRectD* bounds);
  // Nonzero when the effect should give up what it is doing.
  int (*abort)(OfxImageEffectHandle imageEffect);
  OfxStatus (*imageMemoryAlloc)(OfxImageEffectHandle instanceHandle, size_t nBytes,
                                OfxImageMemoryHandle* memoryHandle);
  OfxStatus (*imageMemoryFree)(OfxImageMemoryHandle memoryHandle);
  OfxStatus (*imageMemoryLock)(OfxImageMemoryHandle memoryHandle, void** returnedPtr);
  OfxStatus (*imageMemoryUnlock)(OfxImageMemoryHandle memoryHandle);
};

}  // extern "C"

// --- Actions ---
inline constexpr char kOfxImageEffectActionGetRegionOfDefinition[] =
    "OfxImageEffectActionGetRegionOfDefinition";
inline constexpr char kOfxImageEffectActionGetRegionsOfInterest[] =
    "OfxImageEffectActionGetRegionsOfInterest";
inline constexpr char kOfxImageEffectActionGetTimeDomain[] = "OfxImageEffectActionGetTimeDomain";
inline constexpr char kOfxImageEffectActionGetFramesNeeded[] =
    "OfxImageEffectActionGetFramesNeeded";
inline constexpr char kOfxImageEffectActionGetClipPreferences[] =
    "OfxImageEffectActionGetClipPreferences";
inline constexpr char kOfxImageEffectActionIsIdentity[] = "OfxImageEffectActionIsIdentity";
inline constexpr char kOfxImageEffectActionRender[] = "OfxImageEffectActionRender";
inline constexpr char kOfxImageEffectActionBeginSequenceRender[] =
    "OfxImageEffectActionBeginSequenceRender";
inline constexpr char kOfxImageEffectActionEndSequenceRender[] =
    "OfxImageEffectActionEndSequenceRender";
inline constexpr char kOfxImageEffectActionDescribeInContext[] =
    "OfxImageEffectActionDescribeInContext";

// --- Object types (values of kOfxPropType) ---
inline constexpr char kOfxTypeImageEffectHost[] = "OfxTypeImageEffectHost";
inline constexpr char kOfxTypeImageEffect[] = "OfxTypeImageEffect";
inline constexpr char kOfxTypeImageEffectInstance[] = "OfxTypeImageEffectInstance";
inline constexpr char kOfxTypeClip[] = "OfxTypeClip";
inline constexpr char kOfxTypeImage[] = "OfxTypeImage";

// --- Contexts ---
inline constexpr char kOfxImageEffectContextGenerator[] = "OfxImageEffectContextGenerator";
inline constexpr char kOfxImageEffectContextFilter[] = "OfxImageEffectContextFilter";
inline constexpr char kOfxImageEffectContextTransition[] = "OfxImageEffectContextTransition";
inline constexpr char kOfxImageEffectContextPaint[] = "OfxImageEffectContextPaint";
inline constexpr char kOfxImageEffectContextGeneral[] = "OfxImageEffectContextGeneral";
inline constexpr char kOfxImageEffectContextRetimer[] = "OfxImageEffectContextRetimer";

// --- Clip names every filter has ---
inline constexpr char kOfxImageEffectSimpleSourceClipName[] = "Source";
inline constexpr char kOfxImageEffectOutputClipName[] = "Output";

// --- Pixel components ---
inline constexpr char kOfxImageComponentNone[] = "OfxImageComponentNone";
inline constexpr char kOfxImageComponentRGBA[] = "OfxImageComponentRGBA";
inline constexpr char kOfxImageComponentRGB[] = "OfxImageComponentRGB";
inline constexpr char kOfxImageComponentAlpha[] = "OfxImageComponentAlpha";

// --- Premultiplication states ---
inline constexpr char kOfxImageOpaque[] = "OfxImageOpaque";
inline constexpr char kOfxImagePreMultiplied[] = "OfxImageAlphaPremultiplied";
inline constexpr char kOfxImageUnPreMultiplied[] = "OfxImageAlphaUnPremultiplied";

// --- Render thread safety ---
inline constexpr char kOfxImageEffectRenderUnsafe[] = "OfxImageEffectRenderUnsafe";
inline constexpr char kOfxImageEffectRenderInstanceSafe[] = "OfxImageEffectRenderInstanceSafe";
inline constexpr char kOfxImageEffectRenderFullySafe[] = "OfxImageEffectRenderFullySafe";

// --- Fields ---
inline constexpr char kOfxImageFieldNone[] = "OfxFieldNone";
inline constexpr char kOfxImageFieldLower[] = "OfxFieldLower";
inline constexpr char kOfxImageFieldUpper[] = "OfxFieldUpper";
inline constexpr char kOfxImageFieldBoth[] = "OfxFieldBoth";

// --- Properties of the host, the effect and its instances ---
inline constexpr char kOfxImageEffectPropSupportedContexts[] =
    "OfxImageEffectPropSupportedContexts";
inline constexpr char kOfxImageEffectPropPluginHandle[] = "OfxImageEffectPropPluginHandle";
inline constexpr char kOfxImageEffectHostPropIsBackground[] = "OfxImageEffectHostPropIsBackground";
inline constexpr char kOfxImageEffectPluginPropSingleInstance[] =
    "OfxImageEffectPluginPropSingleInstance";
inline constexpr char kOfxImageEffectPluginRenderThreadSafety[] =
    "OfxImageEffectPluginRenderThreadSafety";
inline constexpr char kOfxImageEffectPluginPropHostFrameThreading[] =
    "OfxImageEffectPluginPropHostFrameThreading";
// (The standard spells this one without "Supports".)
inline constexpr char kOfxImageEffectPropSupportsMultipleClipDepths[] =
    "OfxImageEffectPropMultipleClipDepths";
inline constexpr char kOfxImageEffectPropSupportsMultipleClipPARs[] =
    "OfxImageEffectPropSupportsMultipleClipPARs";
inline constexpr char kOfxImageEffectPluginPropGrouping[] = "OfxImageEffectPluginPropGrouping";
inline constexpr char kOfxImageEffectPropSupportsMultiResolution[] =
    "OfxImageEffectPropSupportsMultiResolution";
inline constexpr char kOfxImageEffectPropSupportsTiles[] = "OfxImageEffectPropSupportsTiles";
inline constexpr char kOfxImageEffectPropTemporalClipAccess[] =
    "OfxImageEffectPropTemporalClipAccess";
inline constexpr char kOfxImageEffectPropContext[] = "OfxImageEffectPropContext";
inline constexpr char kOfxImageEffectPropSupportedPixelDepths[] =
    "OfxImageEffectPropSupportedPixelDepths";
inline constexpr char kOfxImageEffectPropSupportedComponents[] =
    "OfxImageEffectPropSupportedComponents";
inline constexpr char kOfxImageEffectPropClipPreferencesSlaveParam[] =
    "OfxImageEffectPropClipPreferencesSlaveParam";
inline constexpr char kOfxImageEffectPropFrameRate[] = "OfxImageEffectPropFrameRate";
inline constexpr char kOfxImageEffectPropFrameRange[] = "OfxImageEffectPropFrameRange";
inline constexpr char kOfxImageEffectPropProjectSize[] = "OfxImageEffectPropProjectSize";
inline constexpr char kOfxImageEffectPropProjectPixelAspectRatio[] =
    "OfxImageEffectPropPixelAspectRatio";

inline constexpr char kOfxImageEffectPropProjectExtent[] = "OfxImageEffectPropProjectExtent";
inline constexpr char kOfxImageEffectPropProjectOffset[] = "OfxImageEffectPropProjectOffset";
inline constexpr char kOfxImageEffectInstancePropEffectDuration[] =
    "OfxImageEffectInstancePropEffectDuration";
inline constexpr char kOfxImageEffectInstancePropSequentialRender[] =
    "OfxImageEffectInstancePropSequentialRender";
inline constexpr char kOfxImageEffectPropSupportsOverlays[] = "OfxImageEffectPropSupportsOverlays";
inline constexpr char kOfxImageEffectPluginPropOverlayInteractV1[] =
    "OfxImageEffectPluginPropOverlayInteractV1";
inline constexpr char kOfxImageEffectPluginPropFieldRenderTwiceAlways[] =
    "OfxImageEffectPluginPropFieldRenderTwiceAlways";
inline constexpr char kOfxImageEffectPropSetableFrameRate[] = "OfxImageEffectPropSetableFrameRate";
inline constexpr char kOfxImageEffectPropSetableFielding[] = "OfxImageEffectPropSetableFielding";

// --- Properties of clips and images ---
inline constexpr char kOfxImageClipPropUnmappedPixelDepth[] = "OfxImageClipPropUnmappedPixelDepth";
inline constexpr char kOfxImageClipPropUnmappedComponents[] = "OfxImageClipPropUnmappedComponents";
inline constexpr char kOfxImageEffectPropUnmappedFrameRange[] =
    "OfxImageEffectPropUnmappedFrameRange";
inline constexpr char kOfxImageEffectPropUnmappedFrameRate[] =
    "OfxImageEffectPropUnmappedFrameRate";
inline constexpr char kOfxImageClipPropContinuousSamples[] = "OfxImageClipPropContinuousSamples";
inline constexpr char kOfxImageClipPropFieldOrder[] = "OfxImageClipPropFieldOrder";
inline constexpr char kOfxImageClipPropFieldExtraction[] = "OfxImageClipPropFieldExtraction";
inline constexpr char kOfxImageFieldDoubled[] = "OfxFieldDoubled";
inline constexpr char kOfxImageEffectPropPixelDepth[] = "OfxImageEffectPropPixelDepth";
inline constexpr char kOfxImageEffectPropComponents[] = "OfxImageEffectPropComponents";
inline constexpr char kOfxImageEffectPropPreMultiplication[] =
    "OfxImageEffectPropPreMultiplication";
inline constexpr char kOfxImageClipPropOptional[] = "OfxImageClipPropOptional";
inline constexpr char kOfxImageClipPropIsMask[] = "OfxImageClipPropIsMask";
inline constexpr char kOfxImageClipPropConnected[] = "OfxImageClipPropConnected";
inline constexpr char kOfxImagePropPixelAspectRatio[] = "OfxImagePropPixelAspectRatio";
inline constexpr char kOfxImagePropData[] = "OfxImagePropData";
inline constexpr char kOfxImagePropBounds[] = "OfxImagePropBounds";
inline constexpr char kOfxImagePropRegionOfDefinition[] = "OfxImagePropRegionOfDefinition";
inline constexpr char kOfxImagePropRowBytes[] = "OfxImagePropRowBytes";
inline constexpr char kOfxImagePropField[] = "OfxImagePropField";
inline constexpr char kOfxImagePropUniqueIdentifier[] = "OfxImagePropUniqueIdentifier";

// --- Arguments of the actions ---
inline constexpr char kOfxImageEffectPropRenderScale[] = "OfxImageEffectPropRenderScale";
inline constexpr char kOfxImageEffectPropRenderWindow[] = "OfxImageEffectPropRenderWindow";
inline constexpr char kOfxImageEffectPropFieldToRender[] = "OfxImageEffectPropFieldToRender";
inline constexpr char kOfxImageEffectPropRegionOfDefinition[] =
    "OfxImageEffectPropRegionOfDefinition";
inline constexpr char kOfxImageEffectPropRegionOfInterest[] = "OfxImageEffectPropRegionOfInterest";
inline constexpr char kOfxImageEffectPropRenderQualityDraft[] =
    "OfxImageEffectPropRenderQualityDraft";
inline constexpr char kOfxImageEffectPropFrameStep[] = "OfxImageEffectPropFrameStep";
inline constexpr char kOfxImageEffectPropSequentialRenderStatus[] =
    "OfxImageEffectPropSequentialRenderStatus";
inline constexpr char kOfxImageEffectPropInteractiveRenderStatus[] =
    "OfxImageEffectPropInteractiveRenderStatus";
inline constexpr char kOfxImageEffectFrameVarying[] = "OfxImageEffectFrameVarying";
// The per-clip out-arguments are these prefixes followed by the clip's name.
inline constexpr char kOfxImageClipPropRoIPrefix[] = "OfxImageClipPropRoI_";
inline constexpr char kOfxImageClipPropFrameRangePrefix[] = "OfxImageClipPropFrameRange_";
inline constexpr char kOfxImageClipPropComponentsPrefix[] = "OfxImageClipPropComponents_";
inline constexpr char kOfxImageClipPropDepthPrefix[] = "OfxImageClipPropDepth_";
inline constexpr char kOfxImageClipPropPARPrefix[] = "OfxImageClipPropPAR_";
