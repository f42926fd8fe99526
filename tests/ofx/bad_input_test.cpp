// What the binding does with what it cannot draw: a clear message on the
// instance, the source passed through, and nothing left behind, also when
// the application aborts a render or memory runs out.
#include <algorithm>
#include <limits>

#include "ofx/api/host_suites.h"
#include "tests/ofx/ofx_rig.h"

namespace gw::testing {
namespace {

constexpr int32_t kW = 160, kH = 96;

testhost::Image Plate() {
  testhost::Image image(kW, kH);
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) {
      image.at(x, y) = PF_Pixel{static_cast<uint8_t>(200 - y), static_cast<uint8_t>(x),
                                static_cast<uint8_t>(y), 30};
    }
  }
  return image;
}

struct Case : PlateRig {
  explicit Case(const std::string& depth = kOfxBitDepthFloat, ofxhost::HostOptions options = {})
      : PlateRig(kFull, kOfxImageEffectContextFilter, FromLegacy(Plate(), depth), options) {}
  // The message on the instance, which must mention `text`; then the end.
  void ExpectMessage(const std::string& text) {
    const std::string message = instance->PersistentMessage();
    EXPECT_NE(message.find(text), std::string::npos) << message;
  }
};

TEST(OfxBadInput, DepthsItCannotDrawOnPassTheSourceThrough) {
  Case c(kOfxBitDepthHalf);
  EXPECT_TRUE(SameBytes(c.Render(kOfxStatOK), c.source));
  c.ExpectMessage("OfxBitDepthHalf");
  c.Finish();
}

TEST(OfxBadInput, ComponentsItCannotDrawOnPassTheSourceThrough) {
  Case c(kOfxBitDepthFloat);
  const HostImage alpha = FromLegacy(Plate(), kOfxBitDepthFloat, kOfxImageComponentAlpha);
  ConnectImage(*c.instance, kOfxImageEffectSimpleSourceClipName, alpha);
  c.source = alpha;
  EXPECT_TRUE(SameBytes(c.Render(kOfxStatOK), alpha));
  c.ExpectMessage("OfxImageComponentAlpha");
  c.Finish();
}

TEST(OfxBadInput, ParametersThatAreNotNumbers) {
  for (const char* param : {"brightness", "scale", "angle", "shutterAngle"}) {
    for (const double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
      Case c;
      c.instance->SetValue(param, Number(bad));
      EXPECT_TRUE(SameBytes(c.Render(kOfxStatOK), c.source)) << param;
      c.ExpectMessage("is not a number");
      c.Finish();
    }
  }
  Case c;
  c.instance->SetValue("lightPosition", Numbers({std::numeric_limits<double>::quiet_NaN(), 3.0}));
  EXPECT_TRUE(SameBytes(c.Render(kOfxStatOK), c.source));
  c.ExpectMessage("\"Light Source Location\" is not a number");
  // Fixed again, the flare is drawn and the message goes.
  c.instance->SetValue("lightPosition", Numbers({40.0, 50.0}));
  EXPECT_FALSE(SameBytes(c.Render(kOfxStatOK), c.source));
  EXPECT_EQ(c.instance->PersistentMessage(), "");
  c.Finish();
}

TEST(OfxBadInput, ALensThatDoesNotParse) {
  Case c;
  c.instance->SetValue("lens", Text("glarewright-lens 00010002 2\nzz\n"));
  EXPECT_TRUE(SameBytes(c.Render(kOfxStatOK), c.source));
  c.ExpectMessage("The lens parameter cannot be read");
  // Told at once when the user changes it.
  c.instance->SetValue("lens", Text("not a lens"));
  EXPECT_EQ(c.instance->InstanceChanged("lens", 0.0), kOfxStatOK);
  c.ExpectMessage("not a lens");
  c.Finish();
}

TEST(OfxBadInput, AMissingSourceOrOneSmallerThanTheWindow) {
  Case c;
  c.instance->Disconnect(kOfxImageEffectSimpleSourceClipName);
  const HostImage none = c.Render(kOfxStatOK);
  EXPECT_TRUE(SameBytes(none, HostImage::Make(none.bounds, none.depth, none.components)));
  c.ExpectMessage("no source image");
  // An application that hands over less than the window asked for.
  HostImage part = HostImage::Make(OfxRectI{0, 0, kW / 2, kH}, c.source.depth, c.source.components);
  for (int32_t y = 0; y < kH; ++y) {
    std::memcpy(part.Pixel(0, y), c.source.Pixel(0, y), part.rowBytes);
  }
  auto shared = std::make_shared<const HostImage>(part);
  c.instance->Connect(
      kOfxImageEffectSimpleSourceClipName, [shared](double) { return shared; },
      OfxRectD{0, 0, kW, kH}, c.source.depth, c.source.components);
  const HostImage out = c.Render(kOfxStatOK);
  c.ExpectMessage("smaller than the render window");
  EXPECT_EQ(std::memcmp(out.Pixel(0, 5), c.source.Pixel(0, 5), part.rowBytes), 0);
  const float* missing = reinterpret_cast<const float*>(out.Pixel(kW - 1, 5));
  EXPECT_EQ(missing[0], 0.0f);  // transparent black where the source has nothing
  EXPECT_EQ(missing[3], 0.0f);
  c.Finish();
}

TEST(OfxBadInput, WithoutPersistentMessagesTheMessageIsPlain) {
  Case c(kOfxBitDepthFloat, {.persistentMessages = false});
  c.instance->SetValue("brightness", Number(std::numeric_limits<double>::infinity()));
  EXPECT_TRUE(SameBytes(c.Render(kOfxStatOK), c.source));
  const std::vector<ofxhost::Message> messages = c.host->TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].type, kOfxMessageError);
  EXPECT_FALSE(messages[0].persistent);
  EXPECT_NE(messages[0].text.find("\"Brightness\" is not a number"), std::string::npos);
  c.Finish();
}

TEST(OfxBadInput, AbortedRendersAndMemoryRunningOutLeaveNothingBehind) {
  for (const bool blur : {false, true}) {
    Case c;
    c.instance->SetValue("motionBlur", Number(blur ? 1 : 0));
    c.instance->SetKey("lightPosition", 1, Numbers({120.0, 20.0}));
    c.instance->AbortAtCall(2);
    c.Render(kOfxStatFailed);
    c.instance->AbortAtCall(0);
    EXPECT_EQ(c.host->LiveAllocations(), 0u);

    c.host->FailAllocation(1);  // the canvas
    EXPECT_TRUE(SameBytes(c.Render(kOfxStatErrMemory), c.source));
    c.ExpectMessage("not enough memory");
    c.instance->SetValue("scale", Number(1e9));  // a profile beyond any frame
    EXPECT_TRUE(SameBytes(c.Render(kOfxStatErrMemory), c.source));
    c.instance->SetValue("scale", Number(1.0));
    EXPECT_FALSE(SameBytes(c.Render(kOfxStatOK), c.source));
    c.Finish();
  }
}

}  // namespace
}  // namespace gw::testing
