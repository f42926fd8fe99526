// The small guards between the host's records and the render command.
#include <gtest/gtest.h>

#include <vector>

#include "host/host_calls.h"
#include "host/render_common.h"

namespace gw {
namespace {

PF_LayerDef Layer(void* data, int32_t width, int32_t height, int32_t rowbytes) {
  PF_LayerDef layer{};
  layer.data = data;
  layer.width = width;
  layer.height = height;
  layer.rowbytes = rowbytes;
  return layer;
}

TEST(HostCalls, ALayerNeedsPixelsSizeAndLongEnoughRows) {
  std::vector<PF_Pixel> pixels(64);
  EXPECT_TRUE(HasPixels(Layer(pixels.data(), 8, 8, 32)));
  EXPECT_TRUE(HasPixels(Layer(pixels.data(), 4, 8, 32)));  // padded rows
  EXPECT_FALSE(HasPixels(Layer(nullptr, 8, 8, 32)));
  EXPECT_FALSE(HasPixels(Layer(pixels.data(), 0, 8, 32)));
  EXPECT_FALSE(HasPixels(Layer(pixels.data(), 8, 0, 32)));
  EXPECT_FALSE(HasPixels(Layer(pixels.data(), -8, 8, 32)));
  EXPECT_FALSE(HasPixels(Layer(pixels.data(), 8, 8, 28)));   // rows too short
  EXPECT_FALSE(HasPixels(Layer(pixels.data(), 8, 8, -32)));  // bottom-up rows
  EXPECT_FALSE(HasPixels(Layer(pixels.data(), 0x40000000, 1, 0x7fffffff)));  // 4 x width overflows
}

TEST(HostCalls, DownsamplingFractions) {
  EXPECT_EQ(Downsampled(720, PF_RationalScale{1, 2}), 360);
  EXPECT_EQ(Downsampled(486, PF_RationalScale{1, 2}), 243);
  EXPECT_EQ(Downsampled(100, PF_RationalScale{1, 3}), 33);
  EXPECT_EQ(Downsampled(100, PF_RationalScale{1, 1}), 100);
  EXPECT_EQ(Downsampled(100, PF_RationalScale{1, 0}), 100);   // zero denominator: 1/1
  EXPECT_EQ(Downsampled(100, PF_RationalScale{2, 1}), 100);   // no enlarging
  EXPECT_EQ(Downsampled(100, PF_RationalScale{-1, 4}), 100);  // compared unsigned
  EXPECT_FLOAT_EQ(DownsampledCoordinate(40.0f, PF_RationalScale{1, 2}), 20.0f);
  EXPECT_FLOAT_EQ(DownsampledCoordinate(40.0f, PF_RationalScale{1, 0}), 40.0f);
}

TEST(HostCalls, NextTimeNeverPassesTheEndOrOverflows) {
  PF_InData in{};
  in.current_time = 10;
  in.local_time_step = 5;
  in.total_time = 100;
  EXPECT_EQ(NextTime(in), 15);
  in.total_time = 12;
  EXPECT_EQ(NextTime(in), 12);
  in.current_time = 0x7ffffff0;
  in.local_time_step = 0x7ffffff0;
  in.total_time = 0x7fffffff;
  EXPECT_EQ(NextTime(in), 0x7fffffff);
}

TEST(HostCalls, FrameMustFitTheImagesAndATarget) {
  std::vector<PF_Pixel> pixels(100 * 50);
  const PF_LayerDef image = Layer(pixels.data(), 100, 50, 400);
  EXPECT_TRUE(FrameFits({100, 50}, image, image));
  EXPECT_TRUE(FrameFits({50, 25}, image, image));
  EXPECT_FALSE(FrameFits({101, 50}, image, image));
  EXPECT_FALSE(FrameFits({100, 51}, image, Layer(pixels.data(), 100, 51, 400)));
  EXPECT_FALSE(FrameFits({100, 50}, Layer(nullptr, 100, 50, 400), image));
  EXPECT_TRUE(FrameFits({0, 50}, Layer(nullptr, 0, 0, 0), image));  // nothing to copy
  EXPECT_FALSE(FrameFits({40000, 1}, image, image));
  EXPECT_FALSE(FrameFits({-1, 1}, image, image));
}

TEST(HostCalls, ProfileStoreIsSizedFromWidthAndScale) {
  auto store = AllocateProfileStore(1920, 1.0f);
  ASSERT_TRUE(store);
  EXPECT_EQ(store->length(), 1920 * 60 - 10);
  EXPECT_EQ(store->green() - store->red(), 1920 * 60);
  EXPECT_EQ(store->scratch() - store->red(), 3 * 1920 * 60);
  EXPECT_EQ(store->reach(), store->length());
  EXPECT_FALSE(AllocateProfileStore(30000, 100.0f));  // beyond any Scale the effect offers
  auto none = AllocateProfileStore(100, -2.0f);
  ASSERT_TRUE(none);
  EXPECT_LT(none->length(), 0);  // every sample reads as 0
}

}  // namespace
}  // namespace gw
