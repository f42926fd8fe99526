// Frames through the OpenFX binary: every context and depth, tiles and
// threads, the float combine, identity.
#include <thread>

#include "tests/ofx/ofx_rig.h"

namespace gw::testing {
namespace {

TEST(OfxRender, DefaultLensOverAFrame) {
  auto host = LoadBinary({.projectSize = {640.0, 360.0}});
  auto instance = host->CreateInstance(kFull, kOfxImageEffectContextFilter);
  ASSERT_TRUE(instance);
  HostImage source =
      HostImage::Make(OfxRectI{0, 0, 640, 360}, kOfxBitDepthByte, kOfxImageComponentRGBA);
  for (size_t i = 3; i < source.bytes.size(); i += 4) source.bytes[i] = 255;
  ConnectImage(*instance, kOfxImageEffectSimpleSourceClipName, source);
  HostImage out;
  ASSERT_EQ(instance->Render(WholeFrame(source), out), kOfxStatOK);
  WritePng(std::string(GW_TEST_TMPDIR) + "/default.png", out);
  instance.reset();
  ExpectNoProblems(*host);
}

}  // namespace
}  // namespace gw::testing
