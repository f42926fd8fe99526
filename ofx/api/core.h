// Our declarations of the OpenFX C interface, version 1.4: the records a
// host and a plug-in exchange, status codes, the actions every plug-in
// answers and the general property names. Written for this project from the
// published standard; only layouts, entry point names and the strings are
// the standard's.
#pragma once

#include <climits>
#include <cstddef>

extern "C" {

// Every property lives in a set reached through one of these.
typedef struct OfxPropertySetStruct* OfxPropertySetHandle;

// What every suite function and action returns (codes below).
typedef int OfxStatus;

// Time in frames of the effect's clips.
typedef double OfxTime;

struct OfxRangeI {
  int min, max;
};
struct OfxRangeD {
  double min, max;
};
struct OfxPointI {
  int x, y;
};
struct OfxPointD {
  double x, y;
};
// Rectangles hold x1 <= x < x2 and y1 <= y < y2, y growing upwards.
struct OfxRectI {
  int x1, y1, x2, y2;
};
struct OfxRectD {
  double x1, y1, x2, y2;
};

// An infinite rectangle has these bounds.
inline constexpr int kOfxFlagInfiniteMin = INT_MIN;
inline constexpr int kOfxFlagInfiniteMax = INT_MAX;

// What the host hands a plug-in before anything else: its own property set
// and the function that gives out its suites (null for one it lacks).
struct OfxHost {
  OfxPropertySetHandle host;
  const void* (*fetchSuite)(OfxPropertySetHandle host, const char* suiteName, int suiteVersion);
};

// The one function through which a host calls a plug-in: an action, the
// object it concerns, and property sets in and out (either may be null).
typedef OfxStatus(OfxPluginEntryPoint)(const char* action, const void* handle,
                                       OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs);

// One plug-in of a binary, as OfxGetPlugin hands it out.
struct OfxPlugin {
  const char* pluginApi;         // the API it implements
  int apiVersion;                // of that API
  const char* pluginIdentifier;  // unique, reverse domain name style
  unsigned int pluginVersionMajor;
  unsigned int pluginVersionMinor;
  void (*setHost)(OfxHost* host);  // called first, before any action
  OfxPluginEntryPoint* mainEntry;
};

}  // extern "C"

// The two functions a plug-in binary exports.
inline constexpr char kOfxGetNumberOfPluginsSymbol[] = "OfxGetNumberOfPlugins";
inline constexpr char kOfxGetPluginSymbol[] = "OfxGetPlugin";
typedef int (*OfxGetNumberOfPluginsFunction)();
typedef OfxPlugin* (*OfxGetPluginFunction)(int nth);

// --- Status codes ---
inline constexpr OfxStatus kOfxStatOK = 0;
inline constexpr OfxStatus kOfxStatFailed = 1;
inline constexpr OfxStatus kOfxStatErrFatal = 2;
inline constexpr OfxStatus kOfxStatErrUnknown = 3;
inline constexpr OfxStatus kOfxStatErrMissingHostFeature = 4;
inline constexpr OfxStatus kOfxStatErrUnsupported = 5;
inline constexpr OfxStatus kOfxStatErrExists = 6;
inline constexpr OfxStatus kOfxStatErrFormat = 7;
inline constexpr OfxStatus kOfxStatErrMemory = 8;
inline constexpr OfxStatus kOfxStatErrBadHandle = 9;
inline constexpr OfxStatus kOfxStatErrBadIndex = 10;
inline constexpr OfxStatus kOfxStatErrValue = 11;
inline constexpr OfxStatus kOfxStatReplyYes = 12;
inline constexpr OfxStatus kOfxStatReplyNo = 13;
inline constexpr OfxStatus kOfxStatReplyDefault = 14;

// --- Actions every plug-in may be sent ---
inline constexpr char kOfxActionLoad[] = "OfxActionLoad";
inline constexpr char kOfxActionUnload[] = "OfxActionUnload";
inline constexpr char kOfxActionDescribe[] = "OfxActionDescribe";
inline constexpr char kOfxActionCreateInstance[] = "OfxActionCreateInstance";
inline constexpr char kOfxActionDestroyInstance[] = "OfxActionDestroyInstance";
inline constexpr char kOfxActionPurgeCaches[] = "OfxActionPurgeCaches";
inline constexpr char kOfxActionSyncPrivateData[] = "OfxActionSyncPrivateData";
inline constexpr char kOfxActionBeginInstanceChanged[] = "OfxActionBeginInstanceChanged";
inline constexpr char kOfxActionInstanceChanged[] = "OfxActionInstanceChanged";
inline constexpr char kOfxActionEndInstanceChanged[] = "OfxActionEndInstanceChanged";
inline constexpr char kOfxActionBeginInstanceEdit[] = "OfxActionBeginInstanceEdit";
inline constexpr char kOfxActionEndInstanceEdit[] = "OfxActionEndInstanceEdit";

// --- General properties ---
inline constexpr char kOfxPropAPIVersion[] = "OfxPropAPIVersion";
inline constexpr char kOfxPropTime[] = "OfxPropTime";
inline constexpr char kOfxPropIsInteractive[] = "OfxPropIsInteractive";
inline constexpr char kOfxPluginPropFilePath[] = "OfxPluginPropFilePath";
inline constexpr char kOfxPropInstanceData[] = "OfxPropInstanceData";
inline constexpr char kOfxPropType[] = "OfxPropType";
inline constexpr char kOfxPropName[] = "OfxPropName";
inline constexpr char kOfxPropVersion[] = "OfxPropVersion";
inline constexpr char kOfxPropVersionLabel[] = "OfxPropVersionLabel";
inline constexpr char kOfxPropPluginDescription[] = "OfxPropPluginDescription";
inline constexpr char kOfxPropLabel[] = "OfxPropLabel";
inline constexpr char kOfxPropShortLabel[] = "OfxPropShortLabel";
inline constexpr char kOfxPropLongLabel[] = "OfxPropLongLabel";
inline constexpr char kOfxPropIcon[] = "OfxPropIcon";
inline constexpr char kOfxPropChangeReason[] = "OfxPropChangeReason";
inline constexpr char kOfxPropHostOSHandle[] = "OfxPropHostOSHandle";

// Why an instance changed.
inline constexpr char kOfxChangeUserEdited[] = "OfxChangeUserEdited";
inline constexpr char kOfxChangePluginEdited[] = "OfxChangePluginEdited";
inline constexpr char kOfxChangeTime[] = "OfxChangeTime";

// Sample types of images.
inline constexpr char kOfxBitDepthNone[] = "OfxBitDepthNone";
inline constexpr char kOfxBitDepthByte[] = "OfxBitDepthByte";
inline constexpr char kOfxBitDepthShort[] = "OfxBitDepthShort";
inline constexpr char kOfxBitDepthHalf[] = "OfxBitDepthHalf";
inline constexpr char kOfxBitDepthFloat[] = "OfxBitDepthFloat";
