// The lens document: each operation's effect, its one notice, and undo and
// redo that give back every earlier lens byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "editor/lens_document.h"
#include "lensfile/lensfile.h"
#include "tests/editor/editor_test_support.h"

namespace gw::testing {
namespace {

using enum ElementType;

bool SameBytes(const Lens& a, const Lens& b) { return std::memcmp(&a, &b, sizeof(Lens)) == 0; }

struct Recorder {
  explicit Recorder(LensDocument& document) {
    document.AddListener([this](const LensChange& c) { changes.push_back(c); });
  }
  std::vector<LensChange> changes;
  LensChange Last() const { return changes.back(); }
};

TEST(LensDocument, EachOperationNotifiesOnceWithWhatChanged) {
  LensDocument doc(LensOfTypes({GlowBall, Disc, Stripe}, 3));
  Recorder seen(doc);
  doc.Select(1);
  EXPECT_EQ(seen.Last().kind, LensChangeKind::Selection);
  EXPECT_FALSE(seen.Last().Redraws());
  doc.SetNumber(1, ElementField::Angle, 12.5f);
  EXPECT_EQ(seen.Last().kind, LensChangeKind::Field);
  EXPECT_EQ(seen.Last().index, 1);
  EXPECT_EQ(seen.Last().field, ElementField::Angle);
  EXPECT_TRUE(seen.Last().Redraws());
  doc.SetColour(1, ElementField::Color2, {1, 2, 3});
  EXPECT_EQ(seen.Last().field, ElementField::Color2);
  doc.Rename(2, "Streak");
  EXPECT_EQ(seen.Last().kind, LensChangeKind::Name);
  EXPECT_FALSE(seen.Last().Redraws());
  doc.SetEnabled(0, false);
  EXPECT_EQ(seen.Last().kind, LensChangeKind::Enabled);
  ASSERT_TRUE(doc.Add(Sparkle));
  EXPECT_EQ(seen.Last().kind, LensChangeKind::Elements);
  EXPECT_EQ(seen.Last().index, 3);
  EXPECT_EQ(doc.selection(), 3);
  doc.Undo();
  EXPECT_EQ(seen.Last().kind, LensChangeKind::Whole);
  EXPECT_EQ(seen.changes.size(), 7u);
  // Changes that change nothing say nothing and leave no step.
  const size_t steps = seen.changes.size();
  doc.SetNumber(1, ElementField::Angle, 12.5f);
  doc.SetEnabled(0, false);
  doc.Rename(2, "Streak");
  doc.Move(1, 1);
  doc.Delete(7);
  doc.Select(doc.selection());
  doc.SetNumber(1, ElementField::Name, 3.0f);  // not a number
  EXPECT_EQ(seen.changes.size(), steps);
}

TEST(LensDocument, FieldsTakeTheirOwnKindOfValue) {
  LensDocument doc(LensOfTypes({Ellipse}, 1));
  doc.SetNumber(0, ElementField::Iparam3, 1999.99f);
  doc.SetNumber(0, ElementField::Iparam4, -7.9f);
  doc.SetNumber(0, ElementField::Iparam5, 1e9f);
  doc.SetNumber(0, ElementField::Spread, 0.3f);
  doc.SetNumber(0, ElementField::Option, 0.5f);
  const LensElement& e = *doc.element(0);
  EXPECT_EQ(e.iparam3, 1999);  // truncated toward zero
  EXPECT_EQ(e.iparam4, -7);
  EXPECT_EQ(e.iparam5, 32767);  // held to 16 bits
  EXPECT_EQ(e.spread, 0.3f);
  EXPECT_EQ(e.option, 1);
}

TEST(LensDocument, TheSelectionFollowsItsElement) {
  LensDocument doc(LensOfTypes({GlowBall}, 6));
  doc.Select(2);
  doc.Move(0, 4);  // e0 goes behind e2: e2 is now at 1
  EXPECT_EQ(Names(doc.lens()), (std::vector<std::string>{"e1", "e2", "e3", "e4", "e0", "e5"}));
  EXPECT_EQ(doc.selection(), 1);
  doc.Move(5, 0);
  EXPECT_EQ(doc.selection(), 2);
  doc.Move(2, 5);  // the selected one itself
  EXPECT_EQ(doc.selection(), 5);
  EXPECT_EQ(ElementName(*doc.element(5)), "e2");
  doc.Delete(0);
  EXPECT_EQ(doc.selection(), 4);
  doc.Delete(4);  // the selected, last one: the one before takes its place
  EXPECT_EQ(doc.selection(), 3);
  doc.Select(1);
  doc.Delete(1);  // the selected one: the next takes its place
  EXPECT_EQ(doc.selection(), 1);
  while (doc.count() > 0) doc.Delete(0);
  EXPECT_EQ(doc.selection(), -1);
}

TEST(LensDocument, AddFollowsTheFirstElementAndStopsAtAHundred) {
  Lens start = LensOfTypes({Stripe}, 1);
  start.elements[0].anamorphic = 1;
  LensDocument doc(start);
  ASSERT_TRUE(doc.Add(GlowBall));
  EXPECT_EQ(doc.element(1)->anamorphic, 1);
  ASSERT_TRUE(doc.Duplicate(0));
  EXPECT_EQ(std::memcmp(doc.element(2), doc.element(0), sizeof(LensElement)), 0);
  while (doc.Add(Disc)) {
  }
  EXPECT_EQ(doc.count(), 100);
  EXPECT_FALSE(doc.Duplicate(0));
  EXPECT_EQ(doc.count(), 100);
}

TEST(LensDocument, ReplacingAndAppendingFromAFile) {
  const std::string path = std::string(GW_TEST_TMPDIR) + "/document.gwr";
  ASSERT_EQ(SaveLensFile(path.c_str(), LensOfTypes({Sparkle, ChromaFan}, 2)), 0);
  Lens start = LensOfTypes({GlowBall}, 3);
  start.elements[2].enabled = 0;
  LensDocument doc(start);
  doc.Select(2);
  EXPECT_EQ(doc.Load(path, true), 0);
  EXPECT_EQ(Names(doc.lens()), (std::vector<std::string>{"e0", "e1", "e2", "e0", "e1"}));
  EXPECT_EQ(doc.element(2)->enabled, 0);
  EXPECT_EQ(doc.selection(), -1);
  EXPECT_EQ(doc.Load(path, false), 0);
  EXPECT_EQ(doc.count(), 2);
  const Lens before = doc.lens();
  EXPECT_EQ(doc.Load(path + ".missing", false), kLensFileCannotOpen);
  EXPECT_TRUE(SameBytes(doc.lens(), before));
  doc.Undo();
  doc.Undo();
  EXPECT_TRUE(SameBytes(doc.lens(), start));
  EXPECT_EQ(doc.selection(), 2);
}

// Two hundred edits of every kind, then all of them undone one by one and
// redone: every state comes back byte for byte, with its selection.
TEST(LensDocument, UndoAndRedoGiveBackEveryState) {
  LensDocument doc(LensOfTypes({GlowBall, StarFilter, Disc}, 3));
  std::vector<Lens> states = {doc.lens()};
  std::vector<int> selections = {doc.selection()};
  for (int i = 0; i < 200; ++i) {
    const int n = doc.count();
    switch (i % 9) {
      case 0: doc.Add(static_cast<ElementType>(i % 7)); break;
      case 1: doc.SetNumber(i % n, ElementField::Brightness, 0.01f * i); break;
      case 2: doc.Move(i % n, (i * 7) % n); break;
      case 3: doc.SetColour(i % n, ElementField::Color1, {uint8_t(i), 7, uint8_t(255 - i)}); break;
      case 4: doc.Duplicate(i % n); break;
      case 5: doc.SetEnabled(i % n, i % 2 == 0); break;
      case 6: doc.Rename(i % n, "step " + std::to_string(i)); break;
      case 7: doc.Delete(i % n); break;
      default: doc.SetNumber(i % n, ElementField::Iparam2, static_cast<float>(i)); break;
    }
    doc.Select((i * 5) % (doc.count() + 1) - 1);
    if (!SameBytes(doc.lens(), states.back())) {
      states.push_back(doc.lens());
      selections.push_back(doc.selection());
    } else {
      selections.back() = doc.selection();
    }
  }
  ASSERT_GT(states.size(), 150u);
  for (size_t k = states.size() - 1; k-- > 0;) {
    ASSERT_TRUE(doc.CanUndo());
    doc.Undo();
    ASSERT_TRUE(SameBytes(doc.lens(), states[k])) << "undo to state " << k;
  }
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.Modified());
  for (size_t k = 1; k < states.size(); ++k) {
    ASSERT_TRUE(doc.CanRedo());
    doc.Redo();
    ASSERT_TRUE(SameBytes(doc.lens(), states[k])) << "redo to state " << k;
  }
  EXPECT_FALSE(doc.CanRedo());
  EXPECT_EQ(doc.selection(), selections.back());
}

TEST(LensDocument, OneDragIsOneStep) {
  LensDocument doc(LensOfTypes({Disc}, 2));
  doc.SetNumber(1, ElementField::Scale, 2.0f);
  doc.BeginGesture();
  for (int x = 0; x < 50; ++x) doc.SetNumber(1, ElementField::Angle, static_cast<float>(x));
  doc.EndGesture();
  doc.BeginGesture();  // a press without a move: no step
  doc.EndGesture();
  EXPECT_EQ(doc.element(1)->angle, 49.0f);
  doc.Undo();
  EXPECT_EQ(doc.element(1)->angle, LensOfTypes({Disc}, 1).elements[0].angle);
  EXPECT_EQ(doc.element(1)->scale, 2.0f);
  doc.Undo();
  EXPECT_FALSE(doc.CanUndo());
  // A new edit forgets what could be redone.
  doc.Redo();
  doc.SetNumber(0, ElementField::Spread, 9.0f);
  EXPECT_FALSE(doc.CanRedo());
}

TEST(LensDocument, ModifiedUntilSavedOrUndoneToTheSavedLens) {
  LensDocument doc(LensOfTypes({GlowBall}, 2));
  EXPECT_FALSE(doc.Modified());
  doc.Select(1);
  EXPECT_FALSE(doc.Modified());  // selecting is no edit
  doc.SetNumber(1, ElementField::Scale, 3.0f);
  EXPECT_TRUE(doc.Modified());
  doc.MarkSaved();
  EXPECT_FALSE(doc.Modified());
  doc.SetEnabled(0, false);
  EXPECT_TRUE(doc.Modified());
  doc.Undo();
  EXPECT_FALSE(doc.Modified());
  doc.Undo();
  EXPECT_TRUE(doc.Modified());
}

TEST(LensDocument, TheOldestStepsAreForgotten) {
  LensDocument doc(LensOfTypes({GlowBall}, 1));
  for (int i = 1; i <= 600; ++i) doc.SetNumber(0, ElementField::Iparam3, static_cast<float>(i));
  int undone = 0;
  while (doc.CanUndo()) {
    doc.Undo();
    ++undone;
  }
  EXPECT_EQ(undone, static_cast<int>(LensDocument::kUndoSteps));
  EXPECT_EQ(doc.element(0)->iparam3, 600 - 500);
}

TEST(LensDocument, ListenersCanBeRemoved) {
  LensDocument doc(LensOfTypes({GlowBall}, 1));
  int heard = 0;
  const int id = doc.AddListener([&](const LensChange&) { ++heard; });
  doc.SetEnabled(0, false);
  doc.RemoveListener(id);
  doc.SetEnabled(0, true);
  EXPECT_EQ(heard, 1);
}

}  // namespace
}  // namespace gw::testing
