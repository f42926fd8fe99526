// The profiles a store keeps and hands out again: whatever came before, a
// stamp reads exactly the profile that its own steps build in a store that
// never saw anything else, so a kept profile can never stand in for another
// lens, element, Scale, brightness or colour.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "lens/element_types.h"
#include "render/draw_lens.h"
#include "render/profiles.h"
#include "tests/support/test_frame.h"

namespace gw {
namespace {

struct Lcg {
  uint32_t state;
  uint32_t Next() { return state = state * 1664525u + 1013904223u; }
  // From the high bits: the low bits of this generator repeat quickly.
  int32_t Below(int32_t n) {
    return static_cast<int32_t>((Next() >> 16) % static_cast<uint32_t>(n));
  }
  float Uniform(float lo, float hi) {
    return lo + (hi - lo) * static_cast<float>(Next() >> 8) / 16777216.0f;
  }
};

// The samples a stamp would read, up to the view's reach, and the reach.
std::vector<uint8_t> Samples(const ProfileView& v) {
  std::vector<uint8_t> s(v.red, v.red + v.reach);
  s.insert(s.end(), v.green, v.green + v.reach);
  s.insert(s.end(), v.blue, v.blue + v.reach);
  s.push_back(static_cast<uint8_t>(v.reach));
  s.push_back(static_cast<uint8_t>(v.reach >> 8));
  return s;
}

// One step of a profile: a replacing shape first, then shapes screened on,
// blurs and a curve. Arguments come from short lists, so that whole chains
// repeat and near neighbours (one argument apart) meet.
void AddRandomStep(const RenderTarget& t, ProfileStore& store, Lcg& rng, bool first) {
  static const float kRadii[] = {3.0f, 3.0000002f, 7.5f, 20.0f, 60.0f};
  static const Peaks kPeaks[] = {{255, 255, 255}, {255, 255, 250}, {255, 250, 255},
                                 {250, 255, 255}, {300, 40, 9},    {-5, 80, 120}};
  const float radius = kRadii[rng.Below(5)];
  const Peaks peak = kPeaks[rng.Below(6)];
  const ProfileBlend blend = first ? ProfileBlend::Replace : ProfileBlend::Screen;
  switch (first ? rng.Below(5) : rng.Below(8)) {
    case 0: GlowProfile(radius, peak, blend, t, store); break;
    case 1: DiscProfile(radius, peak, blend, 4 + rng.Below(3), t, store); break;
    case 2: RingProfile(radius, peak, blend, 4 + rng.Below(3), t, store); break;
    case 3:
      if (first) {
        BowlProfile(radius, peak, t, store);
      } else {
        BlurProfile(1 + rng.Below(3), radius, t, store);
      }
      break;
    case 4:
      RampProfile(radius * 0.2f, radius * 0.3f, radius * 0.4f, rng.Below(2) ? -1.0f : 2.0f, peak,
                  blend, 90 + rng.Below(2) * 45, 90, t, store);
      break;
    case 5: BlurProfile(1 + rng.Below(3), radius, t, store); break;
    case 6: GammaProfile(200 + rng.Below(3) * 100, 300, t, store); break;
    default: GlowProfile(radius, peak, blend, t, store); break;
  }
}

TEST(ProfileStoreKeeps, EveryStampReadsWhatItsOwnStepsBuild) {
  Lcg rng{2024};
  TestFrame shared(100, 50, 10.0f, 10.0f);
  ProfileStore& store = shared.profile();
  std::vector<uint32_t> seeds;
  for (int profile = 0; profile < 600; ++profile) {
    // Two profiles in three take new steps, the third those of an earlier one.
    if (seeds.empty() || rng.Below(3) != 0) {
      seeds.push_back(rng.Next());
    } else {
      seeds.push_back(seeds[static_cast<size_t>(rng.Below(static_cast<int32_t>(seeds.size())))]);
    }
    const uint32_t seed = seeds.back();
    const int32_t steps = 1 + static_cast<int32_t>(seed >> 30);
    // The samples a stamp reads, and their packed form.
    const auto build = [&](TestFrame& frame) {
      Lcg local{seed};
      for (int32_t s = 0; s < steps; ++s) {
        AddRandomStep(frame.target(), frame.profile(), local, s == 0);
      }
      StampedProfile stamped = frame.profile().ForStamp();
      std::vector<uint8_t> samples = Samples(stamped);
      const std::vector<uint32_t>& packed = stamped.Packed();
      samples.insert(samples.end(), reinterpret_cast<const uint8_t*>(packed.data()),
                     reinterpret_cast<const uint8_t*>(packed.data() + packed.size()));
      return samples;
    };
    // The same steps again, in a store that saw nothing before.
    TestFrame fresh(100, 50, 10.0f, 10.0f);
    ASSERT_EQ(build(shared), build(fresh)) << "profile " << profile;
    // A second stamp of the same profile reads it unchanged.
    TestFrame again(100, 50, 10.0f, 10.0f);
    build(again);
    ASSERT_EQ(Samples(store.ForStamp()), Samples(again.profile().ForStamp()))
        << "profile " << profile;
  }
  // Chains came back, and were handed out again rather than rebuilt.
  EXPECT_GT(store.reused(), 100);
  EXPECT_GT(store.built(), 100);
}

TEST(ProfileStoreKeeps, StepsAddedAfterAStampBuildOnWhatWasStamped) {
  TestFrame shared(100, 50, 10.0f, 10.0f), fresh(100, 50, 10.0f, 10.0f);
  const auto chain = [](TestFrame& frame, bool twice) {
    const RenderTarget& t = frame.target();
    ProfileStore& store = frame.profile();
    GlowProfile(20.0f, {255, 200, 100}, ProfileBlend::Replace, t, store);
    std::vector<uint8_t> first = Samples(store.ForStamp());
    BlurProfile(2, 20.0f, t, store);
    if (twice) BlurProfile(2, 20.0f, t, store);
    std::vector<uint8_t> second = Samples(store.ForStamp());
    return std::pair{first, second};
  };
  // Kept the first time round; the second time the first stamp is a kept
  // profile, which the blur must build on as if it had been built.
  chain(shared, false);
  const auto once = chain(shared, false);
  const auto twice = chain(shared, true);
  EXPECT_EQ(once, chain(fresh, false));
  TestFrame another(100, 50, 10.0f, 10.0f);
  EXPECT_EQ(twice.second, chain(another, true).second);
  EXPECT_NE(once.second, twice.second);
  // Reading the channels themselves also gives the profile built so far.
  GlowProfile(20.0f, {255, 200, 100}, ProfileBlend::Replace, shared.target(), shared.profile());
  GlowProfile(9.0f, {20, 20, 20}, ProfileBlend::Screen, shared.target(), shared.profile());
  GlowProfile(20.0f, {255, 200, 100}, ProfileBlend::Replace, fresh.target(), fresh.profile());
  GlowProfile(9.0f, {20, 20, 20}, ProfileBlend::Screen, fresh.target(), fresh.profile());
  const ProfileStore& a = shared.profile();
  const ProfileStore& b = fresh.profile();
  EXPECT_EQ(std::memcmp(a.red(), b.red(), static_cast<size_t>(a.length())), 0);
  EXPECT_EQ(a.reach(), b.reach());
}

// Whole elements of every type, drawn one after another into frames that
// keep one store, each picture against the same element drawn into a new
// frame: the Scale, the brightness and colour, the light (and so the
// element's place and its distance from the centre) and the element's own
// fields change from draw to draw, some back and forth.
TEST(ProfileStoreKeeps, ElementsDrawnInTurnAsEachAlone) {
  Lcg rng{77};
  for (const float scale : {1.0f, 0.7f}) {
    TestFrame shared(160, 90, 40.0f, 30.0f, scale);
    int32_t reused = 0;
    for (int draw = 0; draw < 240; ++draw) {
      const ElementTypeInfo& info = ElementTypes()[static_cast<size_t>(rng.Below(19))];
      LensElement element = DefaultElement(static_cast<ElementType>(info.type));
      element.scale *= rng.Below(2) ? 1.0f : 0.5f;
      element.position = rng.Below(2) ? 1.0f : -0.4f;
      element.anamorphic = static_cast<uint8_t>(rng.Below(2));
      const float light = rng.Below(2) ? 40.0f : 120.0f;
      const float brightness = rng.Below(3) ? 1.0f : 0.6f;
      const float red = rng.Below(2) ? 1.0f : 0.5f;
      const float blue = rng.Below(2) ? 0.8f : 0.6f;

      TestFrame fresh(160, 90, light, 30.0f, scale);
      for (TestFrame* f : {&shared, &fresh}) {
        std::memset(f->Pixel(0, 0), 0, f->bytes().size());
        f->target().lightX = light;
        f->SetGains(brightness, red, 1.0f, blue);
        DrawElement(element, f->target(), f->scratch());
      }
      ASSERT_EQ(shared.bytes(), fresh.bytes())
          << info.listName << ", draw " << draw << ", Scale " << scale;
      reused = shared.profile().reused();
    }
    EXPECT_GT(reused, 20) << "Scale " << scale;
  }
}

}  // namespace
}  // namespace gw
