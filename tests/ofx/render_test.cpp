// Frames through the OpenFX binary: every edition, context, depth and
// layout; tiles and threads; the float combine and the flare-only pass;
// identity; the lens parameter; bad input, aborts and memory running out.
#include <cmath>
#include <limits>
#include <thread>
#include <tuple>

#include "lens/lens.h"
#include "lensfile/lens_text.h"
#include "presets/presets.h"
#include "tests/ofx/ofx_rig.h"

namespace gw::testing {
namespace {

constexpr int32_t kW = 240, kH = 136;

testhost::Image Plate(int32_t w = kW, int32_t h = kH) {
  testhost::Image image(w, h);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      image.at(x, y) =
          PF_Pixel{static_cast<uint8_t>(100 + (x + y) % 150), static_cast<uint8_t>(x * 60 / w),
                   static_cast<uint8_t>(y * 60 / h), static_cast<uint8_t>((x * 3 + y * 5) % 50)};
    }
  }
  return image;
}

// A sample as a value in 0..1 (floats as they are).
float Sample(const HostImage& image, int32_t x, int32_t y, int32_t c) {
  const uint8_t* p = image.Pixel(x, y) + image.SampleBytes() * static_cast<size_t>(c);
  if (image.depth == kOfxBitDepthByte) return *p / 255.0f;
  if (image.depth == kOfxBitDepthShort) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v / 65535.0f;
  }
  float v;
  std::memcpy(&v, p, 4);
  return v;
}

// One instance over the plate, in our host.
struct Rig : PlateRig {
  Rig(const char* id, const char* context, const std::string& depth = kOfxBitDepthByte,
      const std::string& components = kOfxImageComponentRGBA, ofxhost::HostOptions options = {})
      : PlateRig(id, context, FromLegacy(Plate(), depth, components), options) {}
};

// Alpha dots: lights for the Showcase edition.
HostImage Dots(const std::string& depth) {
  testhost::Image dots(kW, kH, PF_Pixel{0, 0, 0, 0});
  for (int32_t y = 30; y < 34; ++y) {
    for (int32_t x = 40; x < 44; ++x) dots.at(x, y) = PF_Pixel{255, 255, 220, 180};
  }
  for (int32_t y = 90; y < 95; ++y) {
    for (int32_t x = 170; x < 175; ++x) dots.at(x, y) = PF_Pixel{200, 120, 160, 255};
  }
  return FromLegacy(dots, depth);
}

TEST(OfxRender, EveryEditionContextDepthAndLayout) {
  for (const char* id : {kFull, kShowcase, kQuick}) {
    for (const char* context : {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}) {
      for (const char* depth : {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat}) {
        for (const char* layout : {kOfxImageComponentRGBA, kOfxImageComponentRGB}) {
          const std::string what = std::string(id) + " " + context + " " + depth + " " + layout;
          Rig rig(id, context, depth, layout);
          const bool lights =
              id != std::string(kShowcase) || context == std::string(kOfxImageEffectContextGeneral);
          if (id == std::string(kShowcase) && lights)
            ConnectImage(*rig.instance, "Location", Dots(depth));
          const HostImage out = rig.Render();
          ASSERT_EQ(out.Width(), kW) << what;
          ASSERT_EQ(out.Height(), kH) << what;
          // The flare only brightens; alpha passes through exactly.
          bool brighter = false;
          for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
              for (int32_t c = 0; c < 3; ++c) {
                const float before = Sample(rig.source, x, y, c), after = Sample(out, x, y, c);
                ASSERT_GE(after, before) << what;
                brighter = brighter || after > before;
              }
              if (out.Channels() == 4) {
                ASSERT_EQ(Sample(out, x, y, 3), Sample(rig.source, x, y, 3)) << what;
              }
            }
          }
          EXPECT_EQ(brighter, lights) << what;
          rig.Finish();
        }
      }
    }
  }
}

TEST(OfxRender, DeeperSamplesGiveTheEightBitFlareInFloatingPoint) {
  Rig bytes(kFull, kOfxImageEffectContextFilter);
  const HostImage eight = bytes.Render();
  bytes.Finish();
  for (const char* depth : {kOfxBitDepthShort, kOfxBitDepthFloat}) {
    Rig rig(kFull, kOfxImageEffectContextFilter, depth);
    const HostImage deep = rig.Render();
    float worst = 0.0f;
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) {
        for (int32_t c = 0; c < 3; ++c) {
          worst = std::max(worst, std::fabs(Sample(deep, x, y, c) - Sample(eight, x, y, c)));
        }
      }
    }
    // The 8-bit render rounds down once per element (three) and once more
    // where it meets the plate; the deep one rounds once.
    EXPECT_LE(worst, 4.5f / 255.0f) << depth;
    EXPECT_GT(worst, 0.0f) << depth;  // it is not the 8-bit render
    rig.Finish();
  }
}

// Renders the frame in tiles, one after another or four threads at once,
// each tile into its own window, and lays them together.
HostImage RenderInTiles(Instance& instance, const HostImage& source, int threads) {
  HostImage whole = HostImage::Make(source.bounds, source.depth, source.components);
  std::vector<OfxRectI> tiles;
  for (const int32_t y : {0, 37, 90, kH}) {
    for (const int32_t x : {0, 61, 150, 203, kW}) {
      tiles.push_back(OfxRectI{x, y, x, y});
    }
  }
  // Uneven tiles: corners from the two lists above.
  std::vector<OfxRectI> windows;
  const int32_t xs[] = {0, 61, 150, 203, kW}, ys[] = {0, 37, 90, kH};
  for (int i = 0; i + 1 < 4; ++i) {
    for (int j = 0; j + 1 < 5; ++j) windows.push_back(OfxRectI{xs[j], ys[i], xs[j + 1], ys[i + 1]});
  }
  std::vector<HostImage> parts(windows.size());
  std::vector<OfxStatus> statuses(windows.size(), kOfxStatFailed);
  const auto render = [&](size_t first) {
    for (size_t i = first; i < windows.size(); i += static_cast<size_t>(threads)) {
      statuses[i] = instance.Render({0.0, windows[i], {1.0, 1.0}, false}, parts[i]);
    }
  };
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) pool.emplace_back(render, static_cast<size_t>(t));
  for (std::thread& t : pool) t.join();
  for (size_t i = 0; i < windows.size(); ++i) {
    EXPECT_EQ(statuses[i], kOfxStatOK);
    for (int32_t y = windows[i].y1; y < windows[i].y2; ++y) {
      std::memcpy(whole.Pixel(windows[i].x1, y), parts[i].Pixel(windows[i].x1, y),
                  static_cast<size_t>(windows[i].x2 - windows[i].x1) * whole.PixelBytes());
    }
  }
  return whole;
}

TEST(OfxRender, TilesFromFourThreadsAtOnceEqualTheWholeFrame) {
  for (const bool blur : {false, true}) {
    for (const char* depth : {kOfxBitDepthByte, kOfxBitDepthFloat}) {
      Rig rig(kFull, kOfxImageEffectContextFilter, depth);
      rig.instance->SetKey("lightPosition", 0, Numbers({70.0, 90.0}));
      rig.instance->SetKey("lightPosition", 1, Numbers({130.0, 60.0}));
      rig.instance->SetValue("motionBlur", Number(blur ? 1 : 0));
      const HostImage whole = rig.Render();
      EXPECT_TRUE(SameBytes(RenderInTiles(*rig.instance, rig.source, 1), whole)) << depth << blur;
      EXPECT_TRUE(SameBytes(RenderInTiles(*rig.instance, rig.source, 4), whole)) << depth << blur;
      // The source was asked for over each tile only.
      for (const ofxhost::Fetch& f : rig.instance->TakeFetches()) {
        if (f.clip != "Source") continue;
        EXPECT_LE((f.pixels.x2 - f.pixels.x1) * (f.pixels.y2 - f.pixels.y1), kW * kH);
      }
      rig.Finish();
    }
  }
}

// The canvas a frame drawn over black is drawn on is kept clear for the
// next render: each render here must equal a new instance's render of the
// same frame, whatever the renders before it drew or left half done.
TEST(OfxRender, EveryRenderStartsFromAClearCanvas) {
  Rig rig(kFull, kOfxImageEffectContextFilter, kOfxBitDepthFloat);
  const auto shot = [](Instance& instance, double x, double y, int output) {
    instance.SetValue("lightPosition", Numbers({x, y}));
    instance.SetValue("output", Number(output));
  };
  // The same frame from an instance of its own.
  const auto fresh = [&rig, &shot](double x, double y, int output) {
    std::unique_ptr<Instance> other =
        rig.host->CreateInstance(kFull, kOfxImageEffectContextFilter);
    ConnectImage(*other, kOfxImageEffectSimpleSourceClipName, rig.source);
    shot(*other, x, y, output);
    HostImage out;
    EXPECT_EQ(other->Render(WholeFrame(rig.source), out), kOfxStatOK);
    return out;
  };
  shot(*rig.instance, 60.0, 40.0, 0);
  rig.Render();
  rig.instance->AbortAtCall(3);  // a render stopped half drawn
  shot(*rig.instance, 200.0, 110.0, 0);
  rig.Render(kOfxStatFailed);
  rig.instance->AbortAtCall(0);
  for (const auto& [x, y, output] : {std::tuple{180.0, 30.0, 0}, std::tuple{20.0, 120.0, 1},
                                     std::tuple{120.0, 68.0, 0}}) {
    shot(*rig.instance, x, y, output);
    EXPECT_TRUE(SameBytes(rig.Render(), fresh(x, y, output))) << x << " " << y;
  }
  // The canvas kept is the host's memory until the host asks for it back.
  EXPECT_GT(rig.host->LiveAllocations(), 0u);
  EXPECT_EQ(rig.instance->PurgeCaches(), kOfxStatOK);
  EXPECT_EQ(rig.host->LiveAllocations(), 0u);
  EXPECT_TRUE(SameBytes(rig.Render(), fresh(120.0, 68.0, 0)));
  rig.Finish();
}

TEST(OfxRender, FloatKeepsValuesAboveOneAndUntouchedPixelsExactly) {
  for (const int blend : {0, 1}) {
    Rig rig(kFull, kOfxImageEffectContextFilter, kOfxBitDepthFloat);
    // The left half bright beyond 1, the right half dim; one NaN far from the light.
    HostImage plate = rig.source;
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) {
        float* p = reinterpret_cast<float*>(plate.Pixel(x, y));
        for (int c = 0; c < 3; ++c) p[c] = x < kW / 2 ? 4.0f + 0.01f * c : 0.125f * c;
      }
    }
    reinterpret_cast<float*>(plate.Pixel(kW - 1, 0))[0] = std::numeric_limits<float>::quiet_NaN();
    rig.source = plate;
    ConnectImage(*rig.instance, kOfxImageEffectSimpleSourceClipName, plate);
    rig.instance->SetValue("blend", Number(blend));
    rig.instance->SetValue("lightPosition", Numbers({60.0, 100.0}));
    const HostImage out = rig.Render();
    int kept = 0, raised = 0;
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) {
        const bool same = std::memcmp(out.Pixel(x, y), plate.Pixel(x, y), 16) == 0;
        if (x < kW / 2 && blend == 0) {
          ASSERT_TRUE(same) << x << "," << y;  // screen leaves values above 1
        }
        kept += same;
        raised += !same;
      }
    }
    EXPECT_TRUE(std::isnan(reinterpret_cast<const float*>(out.Pixel(kW - 1, 0))[0]));
    EXPECT_GT(kept, 0);
    EXPECT_GT(raised, 1000);
    if (blend == 1) {
      EXPECT_GT(Sample(out, 60, 100, 0), 4.5f);  // add lifts beyond 1
    }
    rig.Finish();
  }
}

TEST(OfxRender, FlareOnlyIsPremultipliedWithAlphaFromItsBrightestChannel) {
  // The flare alone is the flare drawn over black (8-bit, screen).
  Rig black(kFull, kOfxImageEffectContextFilter);
  black.source = HostImage::Make(black.source.bounds, kOfxBitDepthByte, kOfxImageComponentRGBA);
  ConnectImage(*black.instance, kOfxImageEffectSimpleSourceClipName, black.source);
  const HostImage flare = black.Render();
  black.Finish();

  Rig rig(kFull, kOfxImageEffectContextFilter, kOfxBitDepthFloat);
  rig.instance->SetValue("output", Number(1));
  EXPECT_EQ(rig.instance->ClipProps("Output").String(kOfxImageEffectPropPreMultiplication),
            kOfxImagePreMultiplied);
  const HostImage out = rig.Render();
  bool lit = false;
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) {
      float brightest = 0.0f;
      for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(Sample(out, x, y, c), Sample(flare, x, y, c));
        brightest = std::max(brightest, Sample(out, x, y, c));
      }
      ASSERT_EQ(Sample(out, x, y, 3), brightest);
      lit = lit || brightest > 0.0f;
    }
  }
  EXPECT_TRUE(lit);
  rig.Finish();
}

TEST(OfxRender, NothingToDrawIsTheIdentity) {
  const auto identity = [](Rig& rig) {
    std::string clip;
    double time = -1.0;
    const OfxStatus status = rig.instance->IsIdentity(WholeFrame(rig.source, 4.0), clip, time);
    return status == kOfxStatOK && clip == "Source" && time == 4.0;
  };
  Rig rig(kFull, kOfxImageEffectContextFilter);
  EXPECT_FALSE(identity(rig));
  rig.instance->SetValue("brightness", Number(0.0));
  EXPECT_TRUE(identity(rig));
  rig.instance->SetValue("output", Number(1));  // a pass of nothing is not the source
  EXPECT_FALSE(identity(rig));
  rig.instance->SetValue("output", Number(0));
  rig.instance->SetValue("brightness", Number(100.0));
  rig.instance->SetValue("lens", Text(LensToText(Lens{})));
  EXPECT_TRUE(identity(rig));
  rig.Finish();
  Rig showcase(kShowcase, kOfxImageEffectContextGeneral);
  EXPECT_TRUE(identity(showcase));  // no location layer: no light
  ConnectImage(*showcase.instance, "Location", Dots(kOfxBitDepthByte));
  EXPECT_FALSE(identity(showcase));
  showcase.Finish();
}

TEST(OfxRender, TheLensParameterGivesTheLensBackAndNewInstancesTheDefault) {
  Lens lens{};
  BuildDefaultLens(lens);
  Rig fresh(kFull, kOfxImageEffectContextFilter);
  EXPECT_EQ(fresh.instance->Value("lens").text, LensToText(lens));
  const HostImage defaultFlare = fresh.Render();
  fresh.Finish();

  // A lens of its own, saved in a project and opened again.
  BuildPreset(lens, 26);
  lens.elements[1].enabled = 0;
  const std::string text = LensToText(lens);
  Rig edited(kFull, kOfxImageEffectContextFilter);
  edited.instance->SetValue("lens", Text(text));
  const HostImage before = edited.Render();
  const std::string saved = edited.instance->Value("lens").text;
  const HostImage plate = edited.source;
  edited.Finish();
  EXPECT_EQ(saved, text);
  auto host = LoadBinary(PlateRig::ProjectOf(plate, {}));
  auto reopened =
      host->CreateInstance(kFull, kOfxImageEffectContextFilter, {{"lens", Text(saved)}});
  ASSERT_TRUE(reopened);
  ConnectImage(*reopened, kOfxImageEffectSimpleSourceClipName, plate);
  HostImage after;
  ASSERT_EQ(reopened->Render(WholeFrame(plate), after), kOfxStatOK);
  EXPECT_TRUE(SameBytes(before, after));
  EXPECT_FALSE(SameBytes(before, defaultFlare));
  EXPECT_EQ(reopened->Value("lens").text, text);
  reopened.reset();
  ExpectNoProblems(*host);
}

}  // namespace
}  // namespace gw::testing
