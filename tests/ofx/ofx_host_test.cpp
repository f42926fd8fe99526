// The OpenFX host is strict: a plug-in of our own that does one thing wrong
// at a time, and the problem the host reports for it.
#include <functional>

#include "tests/ofx/ofx_rig.h"

namespace gw::testing {
namespace {

// What the misbehaving plug-in does during its render.
std::function<void(OfxImageEffectHandle, OfxPropertySetHandle)> misdeed;
const OfxPropertySuiteV1* props = nullptr;
const OfxImageEffectSuiteV1* effects = nullptr;
const OfxParameterSuiteV1* params = nullptr;
OfxHost* host = nullptr;
OfxPropertySetHandle keptHandle = nullptr;

OfxStatus Main(const char* action, const void* handle, OfxPropertySetHandle in,
               OfxPropertySetHandle) {
  const std::string a = action;
  auto* effect = static_cast<OfxImageEffectHandle>(const_cast<void*>(handle));
  if (a == kOfxActionLoad) {
    props =
        static_cast<const OfxPropertySuiteV1*>(host->fetchSuite(host->host, kOfxPropertySuite, 1));
    effects = static_cast<const OfxImageEffectSuiteV1*>(
        host->fetchSuite(host->host, kOfxImageEffectSuite, 1));
    params = static_cast<const OfxParameterSuiteV1*>(
        host->fetchSuite(host->host, kOfxParameterSuite, 1));
    return kOfxStatOK;
  }
  if (a == kOfxActionDescribe) {
    OfxPropertySetHandle p = nullptr;
    effects->getPropertySet(effect, &p);
    const char* contexts[] = {kOfxImageEffectContextFilter};
    props->propSetStringN(p, kOfxImageEffectPropSupportedContexts, 1, contexts);
    const char* depths[] = {kOfxBitDepthByte};
    props->propSetStringN(p, kOfxImageEffectPropSupportedPixelDepths, 1, depths);
    return kOfxStatOK;
  }
  if (a == kOfxImageEffectActionDescribeInContext) {
    for (const char* name : {kOfxImageEffectSimpleSourceClipName, kOfxImageEffectOutputClipName}) {
      OfxPropertySetHandle clip = nullptr;
      effects->clipDefine(effect, name, &clip);
      props->propSetString(clip, kOfxImageEffectPropSupportedComponents, 0, kOfxImageComponentRGBA);
    }
    OfxParamSetHandle set = nullptr;
    effects->getParamSet(effect, &set);
    OfxPropertySetHandle param = nullptr;
    params->paramDefine(set, kOfxParamTypeDouble, "gain", &param);
    return kOfxStatOK;
  }
  if (a == kOfxImageEffectActionRender || a == kOfxImageEffectActionIsIdentity) {
    if (misdeed) misdeed(effect, in);
    return kOfxStatOK;
  }
  return kOfxStatReplyDefault;
}

void SetHost(OfxHost* h) { host = h; }

OfxPlugin plugin{kOfxImageEffectPluginApi, 1, "org.glarewright.misbehaving", 1, 0, &SetHost, &Main};
int Count() { return 1; }
OfxPlugin* Get(int) { return &plugin; }

OfxImageClipHandle Clip(OfxImageEffectHandle effect, const char* name) {
  OfxImageClipHandle clip = nullptr;
  effects->clipGetHandle(effect, name, &clip, nullptr);
  return clip;
}

// Renders once with the misdeed and returns the problems the host saw.
std::vector<std::string> ProblemsOf(
    std::function<void(OfxImageEffectHandle, OfxPropertySetHandle)> deed, bool identity = false) {
  misdeed = std::move(deed);
  Host h(&Count, &Get);
  {
    auto instance = h.CreateInstance(plugin.pluginIdentifier, kOfxImageEffectContextFilter);
    EXPECT_TRUE(instance);
    const HostImage source =
        HostImage::Make(OfxRectI{0, 0, 8, 8}, kOfxBitDepthByte, kOfxImageComponentRGBA);
    ConnectImage(*instance, kOfxImageEffectSimpleSourceClipName, source);
    HostImage out;
    std::string clip;
    double time = 0.0;
    if (identity) {
      instance->IsIdentity(WholeFrame(source), clip, time);
    } else {
      instance->Render(WholeFrame(source), out);
    }
  }
  misdeed = nullptr;
  return h.TakeProblems();
}

// The one problem seen, which must mention `text`.
void ExpectProblem(const std::vector<std::string>& problems, const std::string& text) {
  ASSERT_EQ(problems.size(), 1u) << (problems.empty() ? "none" : problems[0]);
  EXPECT_NE(problems[0].find(text), std::string::npos) << problems[0];
}

TEST(StrictOfxHost, AWellBehavedRenderHasNoProblems) {
  EXPECT_TRUE(ProblemsOf([](OfxImageEffectHandle, OfxPropertySetHandle in) {
                int window[4];
                props->propGetIntN(in, kOfxImageEffectPropRenderWindow, 4, window);
              }).empty());
}

TEST(StrictOfxHost, PropertiesOfTheWrongNameTypeOrIndexOrReadOnly) {
  ExpectProblem(ProblemsOf([](OfxImageEffectHandle, OfxPropertySetHandle in) {
                  int v = 0;
                  props->propGetInt(in, "OfxNoSuchProperty", 0, &v);
                }),
                "has no property OfxNoSuchProperty");
  ExpectProblem(ProblemsOf([](OfxImageEffectHandle, OfxPropertySetHandle in) {
                  double v = 0;
                  props->propGetDouble(in, kOfxImageEffectPropRenderWindow, 0, &v);
                }),
                "holds int values, not double");
  ExpectProblem(ProblemsOf([](OfxImageEffectHandle, OfxPropertySetHandle in) {
                  int v = 0;
                  props->propGetInt(in, kOfxImageEffectPropRenderWindow, 4, &v);
                }),
                "which has 4");
  ExpectProblem(ProblemsOf([](OfxImageEffectHandle, OfxPropertySetHandle in) {
                  props->propSetInt(in, kOfxImageEffectPropRenderWindow, 0, 3);
                }),
                "is read-only");
  ExpectProblem(ProblemsOf([](OfxImageEffectHandle, OfxPropertySetHandle) {
                  int v = 0;
                  props->propGetInt(reinterpret_cast<OfxPropertySetHandle>(&v), kOfxPropTime, 0,
                                    &v);
                }),
                "no property set");
}

TEST(StrictOfxHost, ImagesKeptFetchedAtTheWrongTimeOrInTheWrongAction) {
  ExpectProblem(ProblemsOf([](OfxImageEffectHandle effect, OfxPropertySetHandle) {
                  OfxPropertySetHandle image = nullptr;
                  effects->clipGetImage(Clip(effect, kOfxImageEffectSimpleSourceClipName), 0.0,
                                        nullptr, &image);
                }),
                "images not released");
  ExpectProblem(ProblemsOf([](OfxImageEffectHandle effect, OfxPropertySetHandle) {
                  OfxPropertySetHandle image = nullptr;
                  effects->clipGetImage(Clip(effect, kOfxImageEffectSimpleSourceClipName), 3.0,
                                        nullptr, &image);
                }),
                "without temporal access");
  ExpectProblem(ProblemsOf(
                    [](OfxImageEffectHandle effect, OfxPropertySetHandle) {
                      OfxPropertySetHandle image = nullptr;
                      effects->clipGetImage(Clip(effect, kOfxImageEffectSimpleSourceClipName), 0.0,
                                            nullptr, &image);
                    },
                    true),
                "during OfxImageEffectActionIsIdentity");
}

TEST(StrictOfxHost, WritesOutsideTheWindowAndCallsOutsideAnAction) {
  ExpectProblem(ProblemsOf([](OfxImageEffectHandle effect, OfxPropertySetHandle) {
                  OfxPropertySetHandle image = nullptr;
                  effects->clipGetImage(Clip(effect, kOfxImageEffectOutputClipName), 0.0, nullptr,
                                        &image);
                  void* data = nullptr;
                  props->propGetPointer(image, kOfxImagePropData, 0, &data);
                  static_cast<uint8_t*>(data)[8 * 4] = 1;  // one pixel past the first row
                  effects->clipReleaseImage(image);
                }),
                "wrote outside its render window");
  std::vector<std::string> problems =
      ProblemsOf([](OfxImageEffectHandle, OfxPropertySetHandle in) { keptHandle = in; });
  EXPECT_TRUE(problems.empty());
  // Kept past its action, the handle is gone; and no action runs.
  double t = 0.0;
  EXPECT_EQ(props->propGetDouble(keptHandle, kOfxPropTime, 0, &t), kOfxStatErrBadHandle);
  Host h(&Count, &Get);
  problems = h.TakeProblems();
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find("outside an action"), std::string::npos) << problems[0];
}

}  // namespace
}  // namespace gw::testing
