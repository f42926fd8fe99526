// Every preset through the Quick edition's module, as the host drives it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/image_io.h"
#include "cli/plugin_modules.h"
#include "cli/render_options.h"
#include "lens/lens.h"
#include "presets/presets.h"

namespace gw {
namespace {

constexpr int kWidth = 320, kHeight = 180;

// One instance of an edition over the built-in frame, light at 30 %, 30 %.
class Instance {
 public:
  // The Quick edition, or the full edition holding `lens` as a saved project would.
  explicit Instance(const std::string& edition, const Lens* lens = nullptr)
      : host_(LoadPlugin(FindPluginModule(edition, ""))) {
    EXPECT_EQ(host_->GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host_->ParamsSetup(), PF_Err_NONE);
    if (lens) {
      auto data = std::make_unique<SequenceData>();
      std::memset(data.get(), 0, sizeof(SequenceData));
      data->version = kSequenceDataVersion;
      data->lens = *lens;
      Flatten(*data);
      const auto* bytes = reinterpret_cast<const uint8_t*>(data.get());
      EXPECT_EQ(host_->SequenceResetup(std::vector<uint8_t>(bytes, bytes + sizeof(SequenceData))),
                PF_Err_NONE);
    } else {
      EXPECT_EQ(host_->SequenceSetup(), PF_Err_NONE);
    }
    host_->SetValue(host_->IndexOf("Light Source Location"),
                    ParseLight("--light", "30%,30%", kWidth, kHeight));
  }
  ~Instance() {
    host_->SequenceSetdown();
    host_->GlobalSetdown();
    EXPECT_TRUE(host_->TakeProblems().empty());
  }

  testhost::Image Render(int16_t preset = 0) {
    if (preset != 0) {
      testhost::ParamValue v;
      v.value = preset;
      host_->SetValue(host_->IndexOf("Flare Type"), v);
    }
    testhost::Image out;
    EXPECT_EQ(host_->Render(0, BuiltInFrame(kWidth, kHeight).argb, out), PF_Err_NONE);
    return out;
  }

 private:
  std::unique_ptr<testhost::TestHost> host_;
};

struct Change {
  int brightened = 0;  // pixels with a channel raised by 16 or more
  int strongest = 0;   // the largest rise of any channel
  bool darkened = false;
  bool alphaChanged = false;
};

Change Compare(const testhost::Image& before, const testhost::Image& after) {
  Change c;
  for (size_t i = 0; i < before.pixels.size(); ++i) {
    const PF_Pixel& p = before.pixels[i];
    const PF_Pixel& q = after.pixels[i];
    const int rise[3] = {q.red - p.red, q.green - p.green, q.blue - p.blue};
    int most = 0;
    for (int r : rise) {
      c.darkened |= r < 0;
      most = std::max(most, r);
    }
    c.alphaChanged |= p.alpha != q.alpha;
    c.brightened += most >= 16;
    c.strongest = std::max(c.strongest, most);
  }
  return c;
}

TEST(PresetsQuick, EveryPresetDrawsAVisibleFlare) {
  Instance quick("quick");
  const testhost::Image plain = BuiltInFrame(kWidth, kHeight).argb;
  for (int16_t v = 1; v <= kPresetCount; ++v) {
    const testhost::Image out = quick.Render(v);
    ASSERT_EQ(out.pixels.size(), plain.pixels.size());
    const Change c = Compare(plain, out);
    EXPECT_GE(c.brightened, kWidth * kHeight / 200) << PresetName(v);  // half a per cent
    EXPECT_GE(c.strongest, 160) << PresetName(v);                      // a bright core
    EXPECT_FALSE(c.darkened) << PresetName(v);
    EXPECT_FALSE(c.alphaChanged) << PresetName(v);
  }
}

TEST(PresetsQuick, APresetExportedToTheFullEditionLooksTheSame) {
  Instance quick("quick");
  for (int16_t v : {1, 3, 19, 26, 36, 37}) {
    Lens lens{};
    BuildPreset(lens, v);
    Instance full("full", &lens);
    const testhost::Image a = quick.Render(v);
    const testhost::Image b = full.Render();
    ASSERT_EQ(a.pixels.size(), b.pixels.size());
    EXPECT_EQ(std::memcmp(a.pixels.data(), b.pixels.data(), a.pixels.size() * sizeof(PF_Pixel)),
              0)
        << PresetName(v);
  }
}

}  // namespace
}  // namespace gw
