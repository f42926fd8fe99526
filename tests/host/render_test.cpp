// The render command of the full and Quick editions through the real
// modules: copying, alpha, downsampling, the blur tiles and sample counts,
// progress and cancel, and what a damaged project or host may send.
#include <algorithm>
#include <cstdlib>

#include "tests/host/plugin_host.h"
#include "testhost/image.h"
#include "tests/support/host_failures.h"

namespace gw::testing {
namespace {

constexpr int32_t kFullBrightness = 1, kFullScale = 2, kFullPoint = 3;
constexpr int32_t kQuickFlareType = 6;

std::unique_ptr<TestHost> InstanceWith(const char* edition, const Lens& lens) {
  auto host = NewInstance(edition);
  EXPECT_EQ(host->SequenceResetup(StoredBytes(lens)), PF_Err_NONE);
  return host;
}

bool SameAlpha(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height) return false;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    if (a.pixels[i].alpha != b.pixels[i].alpha) return false;
  }
  return true;
}

// The largest progress total the render reported (0 without any call).
int32_t ProgressTotal(const TestHost& host) {
  int32_t total = 0;
  for (const auto& call : host.progressCalls()) total = std::max(total, call.total);
  return total;
}

TEST(Render, NothingDrawnLeavesTheInput) {
  for (const Lens& lens : {EmptyLens(), LensOf(0, 3, /*enabled=*/false)}) {
    auto host = InstanceWith("full", lens);
    const Image input = PatternFrame(64, 40);
    Image out;
    EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
    EXPECT_TRUE(SamePixels(out, input));
    EXPECT_EQ(host->progressCalls().size(), lens.count);
    ExpectCleanShutdown(*host);
  }
}

TEST(Render, AlphaIsNeverChangedOnEitherPath) {
  for (const char* edition : {"full", "quick"}) {
    for (PF_Fixed shutter : {0, 0x8000}) {
      auto host = NewInstance(edition);
      host->settings().shutterAngle = shutter;
      host->SetValue(kFullPoint, Point(50, 30));
      const Image input = PatternFrame(120, 80);
      Image out;
      EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
      EXPECT_TRUE(SameAlpha(out, input)) << edition << " shutter " << shutter;
      ExpectCleanShutdown(*host);
    }
  }
}

// A host may hand back the frame in the image it gave as input; at full and
// half size the frame is the one a separate output receives.
TEST(Render, AnInputImageTakesTheFrameItselfAsASeparateOutputDoes) {
  for (const int32_t downsample : {1, 2}) {
    auto host = NewInstance("full");
    host->settings().downsample = downsample;
    host->SetValue(kFullPoint, Point(50, 30));
    Image image = PatternFrame(120, 80);
    Image separate;
    ASSERT_EQ(host->Render(0, image, separate), PF_Err_NONE);
    ASSERT_EQ(host->Render(0, image, image), PF_Err_NONE);
    EXPECT_TRUE(SamePixels(image, separate)) << "downsample " << downsample;
    ExpectCleanShutdown(*host);
  }
}

TEST(Render, HalfResolutionRendersHalfTheFrame) {
  auto host = InstanceWith("full", EmptyLens());
  host->settings().downsample = 2;
  const Image input = PatternFrame(720, 486);
  Image out;
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  EXPECT_EQ(out.width, 360);
  EXPECT_EQ(out.height, 243);
  EXPECT_TRUE(SamePixels(out, testhost::Downsample(input, 2)));
  ExpectCleanShutdown(*host);
}

TEST(Render, ZeroDenominatorCountsAsFullSize) {
  auto host = InstanceWith("full", EmptyLens());
  host->settings().downsampleX = PF_RationalScale{1, 0};
  host->settings().downsampleY = PF_RationalScale{1, 0};
  const Image input = PatternFrame(50, 30);
  Image out;
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  EXPECT_TRUE(SamePixels(out, input));  // the host's output is full size too
  ExpectCleanShutdown(*host);
}

TEST(Render, ZeroBrightnessDrawsNothingOnTheDirectPath) {
  auto host = NewInstance("full");
  host->SetValue(kFullBrightness, Fixed(0));
  const Image input = PatternFrame(80, 60);
  Image out;
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  EXPECT_TRUE(SamePixels(out, input));
  EXPECT_TRUE(host->progressCalls().empty());

  // On the blur path every element is still drawn, with zero gains.
  host->settings().shutterAngle = 0x10000;
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  EXPECT_EQ(host->progressCalls().size(), 4u * 3u);
  ExpectCleanShutdown(*host);
}

struct Tiling {
  int32_t size;
  int32_t quality;
  int32_t expectedPasses;  // tiles x samples
};

TEST(Render, BlurTilesAndSampleCountsOfAStillLight) {
  const Tiling cases[] = {
      {1000, PF_Quality_HI, 4 * 4},  // 9,000,000 bytes: 4 bands of 250 rows
      {1000, PF_Quality_LO, 4 * 3},
      {300, PF_Quality_HI, 1 * 4},    // 810,000 bytes: one tile
      {300, PF_Quality_LO, 1 * 3},
  };
  for (const Tiling& c : cases) {
    auto host = InstanceWith("full", LensOf(0, 3, /*enabled=*/false));
    host->settings().shutterAngle = 0x8000;
    host->settings().quality = c.quality;
    Image out;
    const Image input = PatternFrame(c.size, c.size);
    EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
    EXPECT_EQ(ProgressTotal(*host), c.expectedPasses * 3) << c.size << " " << c.quality;
    EXPECT_EQ(host->progressCalls().size(), static_cast<size_t>(c.expectedPasses * 3));
    EXPECT_EQ(host->progressCalls().back().current, c.expectedPasses * 3 - 1);
    EXPECT_TRUE(SamePixels(out, input));  // black tiles screen to nothing
    ExpectCleanShutdown(*host);
  }
}

// A still light blurs to the direct result, up to the rounding of screening
// the elements into a black tile first; a misplaced tile would differ widely.
TEST(Render, StillLightBlurMatchesTheDirectPath) {
  for (int32_t size : {300, 600}) {  // one tile; 3 bands of 200 rows
    auto host = NewInstance("full");
    host->SetValue(kFullPoint, Point(size * 0.3, size * 0.4));
    const Image input = PatternFrame(size, size);
    Image direct, blurred;
    ASSERT_EQ(host->Render(0, input, direct), PF_Err_NONE);
    host->settings().shutterAngle = 0x8000;
    ASSERT_EQ(host->Render(0, input, blurred), PF_Err_NONE);
    int worst = 0;
    int64_t brightened = 0, differences = 0;
    for (size_t i = 0; i < input.pixels.size(); ++i) {
      const PF_Pixel& a = direct.pixels[i];
      const PF_Pixel& b = blurred.pixels[i];
      for (int d : {std::abs(a.red - b.red), std::abs(a.green - b.green),
                    std::abs(a.blue - b.blue)}) {
        worst = std::max(worst, d);
        differences += d;
      }
      brightened += a.red - input.pixels[i].red;
    }
    EXPECT_GT(brightened, 0) << "the lens drew nothing to compare";
    // Each screening rounds by up to a level; three elements overlap near the light.
    EXPECT_LE(worst, 8) << size;
    EXPECT_LT(static_cast<double>(differences) / (3.0 * input.pixels.size()), 0.5) << size;
    ExpectCleanShutdown(*host);
  }
}

TEST(Render, SampleCountFollowsTheBlurLength) {
  // The light moves 45 pixels to the next frame; a full shutter blurs all of it.
  for (int32_t quality : {PF_Quality_HI, PF_Quality_LO}) {
    auto host = InstanceWith("full", LensOf(0, 3, false));
    host->settings().shutterAngle = 0x10000;
    host->settings().quality = quality;
    host->SetKey(kFullPoint, 0, Point(100, 100));
    host->SetKey(kFullPoint, 1, Point(145, 100));
    Image out;
    EXPECT_EQ(host->Render(0, PatternFrame(300, 200), out), PF_Err_NONE);
    const int32_t samples = quality == PF_Quality_HI ? 15 : 5;  // 45/3, 45/8
    EXPECT_EQ(ProgressTotal(*host), samples * 3);
    ExpectCleanShutdown(*host);
  }
}

TEST(Render, CancelStopsAtOnceAndReturnsTheHostsCode) {
  for (PF_Fixed shutter : {0, 0x8000}) {
    auto host = NewInstance("full");
    host->settings().shutterAngle = shutter;
    CancelAtProgress(*host, 2);
    Image out;
    EXPECT_EQ(host->Render(0, PatternFrame(400, 300), out), PF_Interrupt_CANCEL);
    EXPECT_EQ(host->progressCalls().size(), 2u);
    ExpectCleanShutdown(*host);
  }
}

TEST(Render, AnyNonzeroProgressAnswerIsReturnedUnchanged) {
  auto host = NewInstance("quick");
  CancelAtProgress(*host, 3, 1234);
  Image out;
  EXPECT_EQ(host->Render(0, PatternFrame(64, 48), out), 1234);
  EXPECT_EQ(host->progressCalls().size(), 3u);
  ExpectCleanShutdown(*host);
}

TEST(Render, QuickStartsOnThe35mmPreset) {
  auto host = NewInstance("quick");
  Image out;
  EXPECT_EQ(host->Render(0, PatternFrame(64, 48), out), PF_Err_NONE);
  EXPECT_EQ(ProgressTotal(*host), 17);
  ExpectCleanShutdown(*host);
}

// Every way a render can end, in every edition, leaves nothing live.
TEST(Render, EveryPathLeavesNothingLive) {
  for (const char* edition : {"full", "showcase", "quick"}) {
    for (PF_Fixed shutter : {0, 0x8000}) {
      for (int32_t failure = 0; failure <= 12; ++failure) {
        auto host = NewInstance(edition);
        host->settings().shutterAngle = shutter;
        auto layer = std::make_shared<Image>(64, 48, PF_Pixel{0, 0, 0, 0});
        layer->at(20, 10) = PF_Pixel{255, 255, 255, 255};
        layer->at(40, 30) = PF_Pixel{255, 255, 255, 255};
        host->SetLayer(host->IndexOf("Location layer:"), layer);
        if (failure >= 1 && failure <= 8) FailCheckout(*host, failure, PF_Err_OUT_OF_MEMORY);
        if (failure >= 9) CancelAtProgress(*host, failure - 8);
        Image out;
        host->Render(0, PatternFrame(64, 48), out);
        EXPECT_EQ(host->liveCheckouts(), 0);
        EXPECT_EQ(host->heldLocks(), 0);
        EXPECT_EQ(host->liveHandles(), 2);  // the global and the sequence handle
        SCOPED_TRACE(std::string(edition) + " shutter " + std::to_string(shutter) + " failure " +
                     std::to_string(failure));
        ExpectNoProblems(*host);
        ExpectCleanShutdown(*host);
      }
    }
  }
}

TEST(Render, ElementsWithoutRendererAreSkipped) {
  Lens lens = LensOf(0, 3);
  lens.elements[0].type = 7;
  lens.elements[1].type = 8;
  lens.elements[2].type = -3;
  auto host = InstanceWith("full", lens);
  const Image input = PatternFrame(64, 64);
  Image out;
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  EXPECT_EQ(host->progressCalls().size(), 3u);
  EXPECT_TRUE(SamePixels(out, input));
  ExpectCleanShutdown(*host);
}

TEST(Render, StoredCountAbove100DrawsAtMost100) {
  std::vector<uint8_t> stored = StoredBytes(LensOf(0, 100, false));
  stored[4] = 0xFF;  // count 0xFFFF0064: a damaged project
  stored[5] = 0xFF;
  auto host = NewInstance("full");
  ASSERT_EQ(host->SequenceResetup(stored), PF_Err_NONE);
  Image out;
  EXPECT_EQ(host->Render(0, PatternFrame(32, 32), out), PF_Err_NONE);
  EXPECT_EQ(ProgressTotal(*host), 100);
  EXPECT_EQ(host->progressCalls().size(), 100u);
  EXPECT_EQ(host->SequenceBytes(), stored);  // a render never changes the stored data
  ExpectCleanShutdown(*host);
}

TEST(Render, QuickDrawsThePresetWhateverIsStored) {
  auto host = InstanceWith("quick", EmptyLens());
  host->SetValue(kQuickFlareType, Int(4));  // "Basic Lens", six elements
  Image out;
  const Image input = PatternFrame(48, 32);
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  EXPECT_EQ(ProgressTotal(*host), 6);

  for (int32_t value : {0, 40, -1, 0x10000 + 40}) {  // no such preset: an empty lens
    host->ClearProgress();
    host->SetValue(kQuickFlareType, Int(value));
    EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
    EXPECT_TRUE(host->progressCalls().empty()) << value;
    EXPECT_TRUE(SamePixels(out, input));
  }
  host->ClearProgress();
  host->SetValue(kQuickFlareType, Int(0x10000 + 16));  // the low 16 bits count: 16, two elements
  EXPECT_EQ(host->Render(0, input, out), PF_Err_NONE);
  EXPECT_EQ(ProgressTotal(*host), 2);
  ExpectCleanShutdown(*host);
}

TEST(Render, AbsurdScaleIsRefusedAsMemoryShort) {
  auto host = NewInstance("full");
  host->SetValue(kFullScale, Fixed(200.0));  // far beyond the declared range
  const Image input = PatternFrame(1200, 10);
  Image out;
  EXPECT_EQ(host->Render(0, input, out), -108);
  EXPECT_TRUE(SamePixels(out, input));  // the copy of the input
  ExpectCleanShutdown(*host);
}

TEST(Render, NegativeScaleDrawsWithoutProfiles) {
  auto host = NewInstance("full");
  host->SetValue(kFullScale, Fixed(-3.0));
  Image out;
  EXPECT_EQ(host->Render(0, PatternFrame(100, 60), out), PF_Err_NONE);
  ExpectCleanShutdown(*host);
}

TEST(Render, FailedCheckoutAtTheNextTimeEndsTheBlurPath) {
  // Checkouts in order: location and obscuration layers now, then at the next
  // time the location layer, the point, Angle, Scale, Color and Brightness.
  for (int32_t n = 3; n <= 8; ++n) {
    auto host = NewInstance("full");
    host->settings().shutterAngle = 0x8000;
    FailCheckout(*host, n, PF_Err_BAD_CALLBACK_PARAM);
    const Image input = PatternFrame(64, 48);
    Image out;
    EXPECT_EQ(host->Render(0, input, out), PF_Err_BAD_CALLBACK_PARAM) << n;
    EXPECT_TRUE(SamePixels(out, input));
    EXPECT_TRUE(host->progressCalls().empty());
    ExpectCleanShutdown(*host);
  }
}

TEST(Render, FailedCheckoutsAtTheCurrentTimeAreNotReported) {
  for (int32_t n = 1; n <= 2; ++n) {
    auto host = NewInstance("full");
    FailCheckout(*host, n, PF_Err_OUT_OF_MEMORY);
    Image out;
    EXPECT_EQ(host->Render(0, PatternFrame(64, 48), out), PF_Err_NONE) << n;
    EXPECT_EQ(ProgressTotal(*host), 3);
    ExpectCleanShutdown(*host);
  }
}

TEST(Render, EmptyFrameDrawsNothing) {
  auto host = NewInstance("full");
  host->settings().downsampleX = PF_RationalScale{0, 4};  // 0/4 of the width
  Image out;
  EXPECT_EQ(host->Render(0, PatternFrame(64, 48), out), PF_Err_NONE);
  EXPECT_EQ(out.width, 0);
  EXPECT_TRUE(host->progressCalls().empty());
  ExpectCleanShutdown(*host);
}

TEST(Render, ScreenedFlareOnlyBrightens) {
  auto host = NewInstance("full");
  host->SetValue(kFullPoint, Point(60, 40));
  const Image input = PatternFrame(160, 100);
  Image out;
  ASSERT_EQ(host->Render(0, input, out), PF_Err_NONE);
  for (size_t i = 0; i < input.pixels.size(); ++i) {
    ASSERT_GE(out.pixels[i].red, input.pixels[i].red);
    ASSERT_GE(out.pixels[i].green, input.pixels[i].green);
    ASSERT_GE(out.pixels[i].blue, input.pixels[i].blue);
  }
  ExpectCleanShutdown(*host);
}

}  // namespace
}  // namespace gw::testing
