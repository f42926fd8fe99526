// The checker's books on their own, without a plug-in: what the host keeps
// survives a command, what it lets go of is no fault, a stale record is.
#include <gtest/gtest.h>

#include <cstring>

#include "testhost/checker.h"

namespace gw::testhost {
namespace {

TEST(CheckerBooks, KeptHandlesSurviveACommandAndOthersAreReportedOnce) {
  Checker checker;
  PF_Handle global = checker.NewHandle(8);
  PF_Handle sequence = checker.NewHandle(4);
  PF_Handle leaked = checker.NewHandle(100);
  ASSERT_TRUE(global && sequence && leaked);
  std::memcpy(*sequence, "\x01\x02\x03\x04", 4);

  checker.AfterCommand(PF_Cmd_RENDER, global, sequence);
  EXPECT_EQ(checker.TakeProblems(),
            std::vector<std::string>{"a handle of 100 bytes leaked by command 11"});
  EXPECT_EQ(checker.liveHandles(), 2);
  EXPECT_FALSE(checker.IsLive(leaked));
  EXPECT_EQ(checker.Bytes(sequence), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_TRUE(checker.Bytes(leaked).empty());

  // The leak was cleaned up: the next command does not report it again.
  checker.AfterCommand(PF_Cmd_RENDER, global, sequence);
  EXPECT_TRUE(checker.problems().empty());
}

TEST(CheckerBooks, TheHostReleasingItsOwnHandleIsNoFault) {
  Checker checker;
  PF_Handle stored = checker.NewHandle(16);
  checker.Release(stored);
  checker.Release(stored);
  EXPECT_EQ(checker.liveHandles(), 0);
  EXPECT_TRUE(checker.problems().empty());
  // The plug-in disposing it afterwards is.
  checker.Dispose(stored);
  EXPECT_EQ(checker.TakeProblems(), std::vector<std::string>{"a handle disposed twice"});
}

TEST(CheckerBooks, LocksAreCountedPerHandleAndClearedAfterACommand) {
  Checker checker;
  PF_Handle h = checker.NewHandle(4);
  EXPECT_EQ(checker.Lock(h), *h);
  EXPECT_EQ(checker.Lock(h), *h);
  checker.Unlock(h);
  EXPECT_EQ(checker.heldLocks(), 1);
  checker.AfterCommand(PF_Cmd_FRAME_SETUP, h, nullptr);
  EXPECT_EQ(checker.TakeProblems(),
            std::vector<std::string>{"a handle is still locked after command 10"});
  EXPECT_EQ(checker.heldLocks(), 0);
  EXPECT_EQ(checker.liveHandles(), 1);
}

TEST(CheckerBooks, ACheckinMustMatchRecordAndToken) {
  Checker checker;
  PF_ParamDef first{}, second{};
  first.uu.id = checker.Checkout(&first, nullptr);
  second.uu.id = checker.Checkout(&second, nullptr);
  EXPECT_NE(first.uu.id, second.uu.id);

  PF_ParamDef copy = first;  // same token, another record
  EXPECT_FALSE(checker.Checkin(&copy));
  first.uu.id = second.uu.id;  // right record, stale token
  EXPECT_FALSE(checker.Checkin(&first));
  EXPECT_EQ(checker.TakeProblems().size(), 2u);

  EXPECT_TRUE(checker.Checkin(&second));
  EXPECT_EQ(checker.liveCheckouts(), 1);
  checker.AfterCommand(PF_Cmd_RENDER, nullptr, nullptr);
  EXPECT_EQ(checker.TakeProblems(),
            std::vector<std::string>{"1 checkout(s) not checked in by command 11"});
  EXPECT_EQ(checker.liveCheckouts(), 0);
}

}  // namespace
}  // namespace gw::testhost
