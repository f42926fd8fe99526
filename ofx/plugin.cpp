// The binary's two entry points and the three plug-ins behind them, each
// answering the host's actions.
#include <cstring>
#include <new>
#include <string_view>

#include "ofx/actions.h"
#include "ofx/api/core.h"
#include "ofx/api/image_effect.h"
#include "ofx/describe.h"
#include "ofx/editions.h"
#include "ofx/instance.h"
#include "ofx/render.h"
#include "ofx/suites.h"

#if defined(_WIN32)
#define GW_OFX_EXPORT __declspec(dllexport)
#else
#define GW_OFX_EXPORT __attribute__((visibility("default")))
#endif

namespace gw::ofx {
namespace {

// Plug-ins of this binary loaded at the moment: the suites are fetched with
// the first and forgotten with the last.
int loadedPlugins = 0;

OfxStatus Load() {
  const OfxStatus status = loadedPlugins == 0 ? FetchSuites() : kOfxStatOK;
  if (status == kOfxStatOK) ++loadedPlugins;
  return status;
}

OfxStatus Unload() {
  if (loadedPlugins > 0 && --loadedPlugins == 0) ForgetSuites();
  return kOfxStatOK;
}

// The actions on an instance.
OfxStatus OnInstance(std::string_view action, OfxImageEffectHandle effect,
                     const PropertySet& inArgs, const PropertySet& outArgs) {
  const Instance* instance = InstanceOf(effect);
  if (!instance) return kOfxStatErrBadHandle;
  if (action == kOfxImageEffectActionRender) return Render(*instance, inArgs);
  if (action == kOfxImageEffectActionIsIdentity) return IsIdentity(*instance, inArgs, outArgs);
  if (action == kOfxImageEffectActionGetRegionOfDefinition) {
    return RegionOfDefinition(*instance, inArgs, outArgs);
  }
  if (action == kOfxImageEffectActionGetRegionsOfInterest) {
    return RegionsOfInterest(*instance, inArgs, outArgs);
  }
  if (action == kOfxImageEffectActionGetFramesNeeded) {
    return FramesNeeded(*instance, inArgs, outArgs);
  }
  if (action == kOfxImageEffectActionGetClipPreferences) return ClipPreferences(*instance, outArgs);
  if (action == kOfxActionInstanceChanged) return InstanceChanged(*instance, inArgs);
  if (action == kOfxActionPurgeCaches) {
    instance->canvases->Purge();
    instance->profiles->Purge();
    return kOfxStatOK;
  }
  if (action == kOfxActionDestroyInstance) return DestroyInstance(effect);
  return kOfxStatReplyDefault;
}

OfxStatus Dispatch(const OfxEdition& edition, const char* actionName, const void* handle,
                   OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs) {
  if (!actionName) return kOfxStatErrBadHandle;
  const std::string_view action = actionName;
  if (action == kOfxActionLoad) return Load();
  if (action == kOfxActionUnload) return Unload();
  if (!Suites().property) return kOfxStatErrMissingHostFeature;  // no Load yet
  auto* effect = static_cast<OfxImageEffectHandle>(const_cast<void*>(handle));
  if (action == kOfxActionDescribe) return Describe(edition, effect);
  if (action == kOfxImageEffectActionDescribeInContext) {
    return DescribeInContext(edition, effect, PropertySet(inArgs));
  }
  if (action == kOfxActionCreateInstance) return CreateInstance(edition, effect);
  return OnInstance(action, effect, PropertySet(inArgs), PropertySet(outArgs));
}

// No exception leaves the binary.
template <size_t Index>
OfxStatus MainEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                    OfxPropertySetHandle outArgs) {
  try {
    return Dispatch(Editions()[Index], action, handle, inArgs, outArgs);
  } catch (const std::bad_alloc&) {
    return kOfxStatErrMemory;
  } catch (...) {
    return kOfxStatFailed;
  }
}

void SetHostOfPlugin(OfxHost* host) { SetHost(host); }

OfxPlugin MakePlugin(size_t index, OfxPluginEntryPoint* entry) {
  return OfxPlugin{kOfxImageEffectPluginApi,
                   kOfxImageEffectPluginApiVersion,
                   Editions()[index].identifier,
                   kPluginVersionMajor,
                   kPluginVersionMinor,
                   &SetHostOfPlugin,
                   entry};
}

OfxPlugin plugins[] = {MakePlugin(0, &MainEntry<0>), MakePlugin(1, &MainEntry<1>),
                       MakePlugin(2, &MainEntry<2>)};

}  // namespace
}  // namespace gw::ofx

extern "C" {

GW_OFX_EXPORT int OfxGetNumberOfPlugins(void) {
  return static_cast<int>(std::size(gw::ofx::plugins));
}

GW_OFX_EXPORT OfxPlugin* OfxGetPlugin(int nth) {
  if (nth < 0 || nth >= OfxGetNumberOfPlugins()) return nullptr;
  return &gw::ofx::plugins[nth];
}

}  // extern "C"
