// The test host as a checker: it must catch what a faulty plug-in does.
#include <gtest/gtest.h>

#include <cstring>

#include "testhost/test_host.h"
#include "tests/support/host_failures.h"

namespace gw::testhost {
namespace {

// What the faulty entry point below does on a render.
enum class Fault { None, LeakHandle, DisposeTwice, KeepLock, UnlockUnlocked, KeepCheckout,
                   CheckinUnknown, WriteBeyondRow, FillOutput, WriteBelowFrame,
                   FailAfterFilling, NumberRows };
Fault fault = Fault::None;

PF_Err FaultyEntry(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[],
                   PF_LayerDef* output, void*) {
  if (cmd == PF_Cmd_GLOBAL_SETUP) {
    out->global_data = in->utils->host_new_handle(16);
    return PF_Err_NONE;
  }
  if (cmd == PF_Cmd_GLOBAL_SETDOWN) {
    in->utils->host_dispose_handle(in->global_data);
    return PF_Err_NONE;
  }
  if (cmd == PF_Cmd_PARAMS_SETUP) {
    PF_ParamDef def;
    std::memset(&def, 0, sizeof def);
    def.param_type = PF_Param_LAYER;
    std::strcpy(def.name, "Layer");
    return in->inter.add_param(in->effect_ref, -1, &def);
  }
  if (cmd != PF_Cmd_RENDER) return PF_Err_NONE;
  PF_ParamDef def;
  switch (fault) {
    case Fault::None: break;
    case Fault::LeakHandle: in->utils->host_new_handle(100); break;
    case Fault::DisposeTwice: {
      PF_Handle h = in->utils->host_new_handle(8);
      in->utils->host_dispose_handle(h);
      in->utils->host_dispose_handle(h);
      break;
    }
    case Fault::KeepLock: in->utils->host_lock_handle(in->global_data); break;
    case Fault::UnlockUnlocked: in->utils->host_unlock_handle(in->global_data); break;
    case Fault::KeepCheckout:
      in->inter.checkout_param(in->effect_ref, 1, 0, 1, 24, &def);
      break;
    case Fault::CheckinUnknown:
      std::memset(&def, 0, sizeof def);
      return in->inter.checkin_param(in->effect_ref, &def);
    case Fault::WriteBeyondRow:
      static_cast<PF_Pixel*>(output->data)[output->width].red = 1;
      break;
    case Fault::FillOutput:  // no fault: every pixel of the frame written
    case Fault::FailAfterFilling:
      for (int32_t y = 0; y < output->height; ++y) {
        auto* row = static_cast<uint8_t*>(output->data) + ptrdiff_t{y} * output->rowbytes;
        std::memset(row, 0x11, static_cast<size_t>(output->width) * 4);
      }
      if (fault == Fault::FailAfterFilling) return PF_Err_OUT_OF_MEMORY;
      break;
    case Fault::NumberRows:  // no fault: row y written with y
      for (int32_t y = 0; y < output->height; ++y) {
        auto* row = static_cast<uint8_t*>(output->data) + ptrdiff_t{y} * output->rowbytes;
        std::memset(row, y, static_cast<size_t>(output->width) * 4);
      }
      break;
    case Fault::WriteBelowFrame:
      static_cast<uint8_t*>(output->data)[ptrdiff_t{output->height} * output->rowbytes] = 1;
      break;
  }
  (void)params;
  return PF_Err_NONE;
}

class CheckerTest : public ::testing::TestWithParam<Fault> {};

TEST_P(CheckerTest, ReportsTheFault) {
  TestHost host(&FaultyEntry, "faulty");
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  fault = GetParam();
  Image out;
  host.Render(0, Image(8, 4), out);
  fault = Fault::None;
  EXPECT_EQ(host.TakeProblems().size(), 1u);
  // The host recovered: nothing stays locked, checked out or leaked.
  EXPECT_EQ(host.heldLocks(), 0);
  EXPECT_EQ(host.liveCheckouts(), 0);
  EXPECT_EQ(host.liveHandles(), 1);
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host.liveHandles(), 0);
  EXPECT_TRUE(host.TakeProblems().empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, CheckerTest,
                         ::testing::Values(Fault::LeakHandle, Fault::DisposeTwice, Fault::KeepLock,
                                           Fault::UnlockUnlocked, Fault::KeepCheckout,
                                           Fault::CheckinUnknown, Fault::WriteBeyondRow,
                                           Fault::WriteBelowFrame));

TEST(Checker, CleanPluginHasNoProblems) {
  TestHost host(&FaultyEntry, "clean");
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  Image out;
  EXPECT_EQ(host.Render(0, Image(8, 4), out), PF_Err_NONE);
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  EXPECT_TRUE(host.TakeProblems().empty());
}

// The host lays the output out in the caller's image, reused from one
// render to the next: a render that writes nothing still hands back
// unwritten bytes, not the last frame, the output may be the input, and
// writes beyond a row are caught whatever size came before.
TEST(Checker, EveryRenderStartsFromAnUnwrittenOutput) {
  TestHost host(&FaultyEntry, "reused");
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  Image out;
  fault = Fault::FillOutput;
  ASSERT_EQ(host.Render(0, Image(16, 8), out), PF_Err_NONE);
  ASSERT_EQ(out.pixels.size(), 16u * 8u);
  for (const PF_Pixel& p : out.pixels) ASSERT_EQ(p.red, 0x11);

  fault = Fault::None;
  ASSERT_EQ(host.Render(0, Image(7, 5), out), PF_Err_NONE);
  EXPECT_EQ(out.width, 7);
  EXPECT_EQ(out.height, 5);
  ASSERT_EQ(out.pixels.size(), 7u * 5u);
  for (const PF_Pixel& p : out.pixels) {
    ASSERT_EQ(p.alpha, 0x5A);
    ASSERT_EQ(p.blue, 0x5A);
  }
  EXPECT_TRUE(host.TakeProblems().empty());

  // The output may be the input itself.
  Image same(6, 3, PF_Pixel{1, 2, 3, 4});
  fault = Fault::FillOutput;
  ASSERT_EQ(host.Render(0, same, same), PF_Err_NONE);
  ASSERT_EQ(same.pixels.size(), 6u * 3u);
  for (const PF_Pixel& p : same.pixels) ASSERT_EQ(p.green, 0x11);

  fault = Fault::WriteBeyondRow;
  host.Render(0, Image(7, 5), out);
  fault = Fault::None;
  EXPECT_EQ(host.TakeProblems(),
            std::vector<std::string>{"the render wrote outside the output frame"});
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
}

// Without the strict checks (as the program renders) the rows lie side by
// side, a write below the frame is still caught, and a failed render hands
// back unwritten bytes, never the pixels of the frame before.
TEST(Checker, WithoutStrictChecksTheOutputIsPackedAndStillGuarded) {
  TestHost host(&FaultyEntry, "program");
  host.settings().strictOutput = false;
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  Image out;
  fault = Fault::NumberRows;
  ASSERT_EQ(host.Render(0, Image(16, 8), out), PF_Err_NONE);
  ASSERT_EQ(out.pixels.size(), 16u * 8u);
  for (size_t i = 0; i < out.pixels.size(); ++i) ASSERT_EQ(out.pixels[i].blue, i / 16);
  EXPECT_TRUE(host.TakeProblems().empty());

  fault = Fault::FailAfterFilling;
  EXPECT_EQ(host.Render(0, Image(16, 8), out), PF_Err_OUT_OF_MEMORY);
  ASSERT_EQ(out.pixels.size(), 16u * 8u);
  for (const PF_Pixel& p : out.pixels) ASSERT_EQ(p.red, 0x5A);

  fault = Fault::WriteBelowFrame;
  host.Render(0, Image(9, 4), out);
  fault = Fault::None;
  EXPECT_EQ(host.TakeProblems(),
            std::vector<std::string>{"the render wrote outside the output frame"});
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
}

TEST(Checker, FailsTheNthHandleAllocation) {
  TestHost host(&FaultyEntry, "faulty");
  gw::testing::FailHandleAllocation(host, 1);
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);  // this plug-in does not check
  EXPECT_FALSE(host.hasGlobalData());
  EXPECT_EQ(host.handleAllocations(), 1);
}

TEST(Tracks, LinearBetweenKeysHeldOutside) {
  Track track;
  ParamValue a, b;
  a.value = 100;
  a.colour = PF_Pixel{0, 0, 100, 255};
  b.value = 200;
  b.colour = PF_Pixel{0, 255, 200, 255};
  track.SetKey(10, a);
  track.SetKey(20, b);
  EXPECT_EQ(track.At(0).value, 100);
  EXPECT_EQ(track.At(10).value, 100);
  EXPECT_EQ(track.At(15).value, 150);
  EXPECT_EQ(track.At(15).colour.red, 128);
  EXPECT_EQ(track.At(15).colour.green, 150);
  EXPECT_EQ(track.At(20).value, 200);
  EXPECT_EQ(track.At(99).value, 200);

  Track held(true);
  held.SetKey(10, a);
  held.SetKey(20, b);
  EXPECT_EQ(held.At(19).value, 100);
  EXPECT_EQ(held.At(20).value, 200);
}

TEST(Downsample, AveragesBlocksAndTruncatesTheSize) {
  Image image(5, 3, PF_Pixel{255, 0, 0, 0});
  image.at(0, 0).red = 100;
  image.at(1, 1).red = 200;
  const Image half = Downsample(image, 2);
  EXPECT_EQ(half.width, 2);
  EXPECT_EQ(half.height, 1);
  EXPECT_EQ(half.at(0, 0).red, 75);
  EXPECT_EQ(half.at(1, 0).red, 0);
  EXPECT_EQ(half.at(0, 0).alpha, 255);
}

}  // namespace
}  // namespace gw::testhost
