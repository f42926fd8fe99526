// Helpers for driving the real plug-in modules through the test host.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lens/lens.h"
#include "testhost/test_host.h"

namespace gw::testing {

using testhost::Image;
using testhost::ParamValue;
using testhost::TestHost;

inline std::string PluginPath(const std::string& edition) {
  return std::string(GW_PLUGIN_DIR) + "/" + testhost::ModuleFileName(edition);
}

// A module loaded and set up as the host does for a new effect instance.
inline std::unique_ptr<TestHost> NewInstance(const std::string& edition) {
  auto host = std::make_unique<TestHost>(PluginPath(edition));
  EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host->ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(host->SequenceSetup(), PF_Err_NONE);
  return host;
}

// Checks that the test host saw no misuse (lists what it saw).
inline void ExpectNoProblems(TestHost& host) {
  std::string seen;
  for (const std::string& p : host.TakeProblems()) seen += p + "\n";
  EXPECT_TRUE(seen.empty()) << seen;
}

// Sets the instance down and checks that nothing was left behind.
inline void ExpectCleanShutdown(TestHost& host) {
  EXPECT_EQ(host.SequenceSetdown(), PF_Err_NONE);
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host.liveHandles(), 0);
  EXPECT_EQ(host.heldLocks(), 0);
  EXPECT_EQ(host.liveCheckouts(), 0);
  ExpectNoProblems(host);
}

// The stored bytes of a lens, as a saved project holds them.
inline std::vector<uint8_t> StoredBytes(const Lens& lens) {
  auto data = std::make_unique<SequenceData>();
  std::memset(data.get(), 0, sizeof(SequenceData));
  data->version = kSequenceDataVersion;
  data->lens = lens;
  Flatten(*data);
  const auto* p = reinterpret_cast<const uint8_t*>(data.get());
  return std::vector<uint8_t>(p, p + sizeof(SequenceData));
}

inline Lens EmptyLens() {
  Lens lens;
  std::memset(&lens, 0, sizeof lens);
  return lens;
}

// A lens of `count` elements of one type.
inline Lens LensOf(int16_t type, uint32_t count, bool enabled = true) {
  Lens lens = EmptyLens();
  for (uint32_t i = 0; i < count; ++i) {
    InitElement(type, lens.elements[i]);
    lens.elements[i].enabled = enabled ? 1 : 0;
  }
  lens.count = count;
  return lens;
}

// A frame with a different colour in every pixel and varied alpha.
inline Image PatternFrame(int32_t width, int32_t height) {
  Image image(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      image.at(x, y) = PF_Pixel{static_cast<uint8_t>((x * 7 + y * 3) % 256),
                                static_cast<uint8_t>(x % 200), static_cast<uint8_t>(y % 180),
                                static_cast<uint8_t>((x + y) % 160)};
    }
  }
  return image;
}

inline ParamValue Fixed(double v) {
  ParamValue p;
  p.value = static_cast<int32_t>(v * 65536.0);
  return p;
}
inline ParamValue Int(int32_t v) {
  ParamValue p;
  p.value = v;
  return p;
}
inline ParamValue Point(double x, double y) {
  ParamValue p;
  p.value = static_cast<int32_t>(x * 65536.0);
  p.y = static_cast<int32_t>(y * 65536.0);
  return p;
}

inline bool SamePixels(const Image& a, const Image& b) {
  return a.width == b.width && a.height == b.height &&
         std::memcmp(a.pixels.data(), b.pixels.data(), a.pixels.size() * 4) == 0;
}

}  // namespace gw::testing
