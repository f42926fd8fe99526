// Profile stores kept from render to render: a store from the pool draws
// exactly what a fresh one draws, whatever lens, element or Scale it drew
// before, also when several threads take and give back stores at once.
#include "frame/profile_pool.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

#include "frame/frame.h"
#include "frame/light.h"
#include "render/pixels.h"

namespace gw {
namespace {

constexpr std::array<uint8_t, kScreenTableSize> kTable = [] {
  std::array<uint8_t, kScreenTableSize> table{};
  BuildScreenTable(table.data());
  return table;
}();

constexpr int32_t kWidth = 192, kHeight = 108;

struct Drawn {
  std::vector<uint8_t> pixels;
  int32_t reused = 0;  // profiles the store handed out again in this draw
};

// The lens over a black frame, with a store from the pool (given back after)
// or a fresh one.
Drawn Draw(const Lens& lens, float scale, ProfilePool* pool) {
  Drawn drawn{std::vector<uint8_t>(static_cast<size_t>(kWidth) * kHeight * 4, 0), 0};
  FlareFrame frame;
  if (pool != nullptr) frame.profile = pool->Take(ProfileStore::ChannelSamplesFor(kWidth, scale));
  const Canvas canvas{drawn.pixels.data(), kWidth * 4, 4, WholeFrame(kWidth, kHeight)};
  EXPECT_TRUE(BeginFlare({kWidth, kHeight}, canvas, {true, scale, 0.5f}, frame));
  frame.target.screenTable = kTable.data();
  PrepareFlareColor({255, 255, 230, 200}, {}, ObscurationType::None, 1.0f, frame.target);
  frame.target.lightX = 131.0f;
  frame.target.lightY = 30.5f;
  const int32_t before = frame.profile->reused();
  EXPECT_EQ(DrawFlare(lens, frame.target, *frame.profile, {}), 0);
  drawn.reused = frame.profile->reused() - before;
  if (pool != nullptr) pool->Give(std::move(*frame.profile));
  return drawn;
}

// The default lens, and the same elements larger and in other colours.
std::array<Lens, 2> Lenses() {
  std::array<Lens, 2> lenses{};
  BuildDefaultLens(lenses[0]);
  lenses[1] = lenses[0];
  for (uint32_t i = 0; i < UsableCount(lenses[1]); ++i) {
    LensElement& e = lenses[1].elements[i];
    e.scale *= 1.3f;
    e.color1 = {e.color1.b, e.color1.r, e.color1.g};
    e.color2 = {e.color2.g, e.color2.b, e.color2.r};
  }
  return lenses;
}

TEST(ProfilePool, HandsOutOnlyStoresOfTheSizeAskedAndKeepsFourIdle) {
  ProfilePool pool;
  EXPECT_FALSE(pool.Take(1000));
  pool.Give(ProfileStore(1000));
  EXPECT_FALSE(pool.Take(999));
  const std::optional<ProfileStore> store = pool.Take(1000);
  ASSERT_TRUE(store);
  EXPECT_EQ(store->length(), 1000 - kProfileSpareSamples);
  EXPECT_FALSE(pool.Take(1000));  // one render at a time has it

  for (int32_t n = 100; n < 100 + static_cast<int32_t>(ProfilePool::kMaxIdle) + 1; ++n) {
    pool.Give(ProfileStore(n));
  }
  EXPECT_FALSE(pool.Take(100));  // the longest idle was let go
  EXPECT_TRUE(pool.Take(104));

  pool.Purge();  // the host is short of memory: nothing is kept
  for (int32_t n = 101; n < 104; ++n) EXPECT_FALSE(pool.Take(n)) << n;
  pool.Give(ProfileStore(1000));
  EXPECT_TRUE(pool.Take(1000));  // and the pool works on
}

TEST(ProfilePool, AStoreComesBackAsMadeButForItsKeptProfiles) {
  ProfilePool pool;
  ProfileStore store(200);
  store.BeginShape();
  store.red()[5] = 9;
  store.blue()[150] = 7;
  store.ClearFrom(160);
  pool.Give(std::move(store));
  std::optional<ProfileStore> again = pool.Take(200);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->red()[5], 0);
  EXPECT_EQ(again->blue()[150], 0);
  EXPECT_EQ(again->reach(), 200 - kProfileSpareSamples);
}

TEST(ProfilePool, AStoreFromThePoolDrawsWhatAFreshOneDraws) {
  const std::array<Lens, 2> lenses = Lenses();
  ProfilePool pool;
  // Lens, Scale: other lenses and Scales in between, and the same again.
  const std::pair<int, float> order[] = {{0, 1.0f}, {1, 1.0f}, {0, 1.0f},  {0, 1.25f},
                                         {1, 1.0f}, {1, 1.0f}, {0, 1.25f}, {1, 1.25f}};
  int32_t reused = 0;
  for (const auto& [which, scale] : order) {
    const Drawn fresh = Draw(lenses[which], scale, nullptr);
    const Drawn pooled = Draw(lenses[which], scale, &pool);
    EXPECT_EQ(pooled.pixels, fresh.pixels) << "lens " << which << " at Scale " << scale;
    EXPECT_NE(fresh.pixels, std::vector<uint8_t>(fresh.pixels.size(), 0));
    reused += pooled.reused;
  }
  // The pool did hand out what earlier draws built.
  EXPECT_GT(reused, 0);
  EXPECT_NE(Draw(lenses[0], 1.0f, nullptr).pixels, Draw(lenses[1], 1.0f, nullptr).pixels);
}

TEST(ProfilePool, ThreadsTakingAndGivingBackStoresAtOnceDrawExactly) {
  const std::array<Lens, 2> lenses = Lenses();
  const std::array<std::vector<uint8_t>, 2> fresh = {Draw(lenses[0], 1.0f, nullptr).pixels,
                                                     Draw(lenses[1], 1.0f, nullptr).pixels};
  ProfilePool pool;
  constexpr int kThreads = 4, kDraws = 6;
  std::array<int, kThreads> wrong{};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kDraws; ++i) {
        const int which = (t + i) % 2;
        if (Draw(lenses[which], 1.0f, &pool).pixels != fresh[which]) ++wrong[t];
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong, (std::array<int, kThreads>{}));
}

TEST(ProfilePool, AStoreOfAnotherSizeIsNotUsedForAFrame) {
  std::vector<uint8_t> pixels(64 * 4);
  FlareFrame frame;
  frame.profile.emplace(500);
  ASSERT_TRUE(BeginFlare({64, 1}, {pixels.data(), 64 * 4, 4, WholeFrame(64, 1)},
                         {false, 1.0f, 0.0f}, frame));
  EXPECT_EQ(frame.profile->length(), 64 * 60 - kProfileSpareSamples);
}

}  // namespace
}  // namespace gw
