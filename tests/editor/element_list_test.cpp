// The element list: presses, drags onto rows and icons, scrolling, the
// structural edits with their selection rules, names, and the add window.
#include <gtest/gtest.h>

#include "lens/control_ids.h"
#include "tests/editor/editor_test_support.h"

namespace gw::testing {
namespace {

using enum ElementType;

// Client points of the list (rows are 15 pixels high, names start at x 14).
Point Row(int r) { return {40, r * kRowHeight + 7}; }
constexpr Point kAddIcon{405 - 374 + 10, 304 - 81 + 10};  // inside icon 1093, in list coordinates
constexpr Point kDeleteIcon{460 - 374 + 10, 304 - 81 + 10};
constexpr Point kBesideList{-20, 100};

class ElementListTest : public EditorTest {
 protected:
  void Drag(Point from, std::initializer_list<Point> path, Point to) {
    list().MouseDown(from);
    for (Point p : path) list().MouseMove(p);
    list().MouseMove(to);
    list().MouseUp(to);
  }
};

TEST_F(ElementListTest, OpensWithNothingSelectedAndFourteenRows) {
  Open(LensOfTypes({GlowBall}, 20));
  EXPECT_EQ(list().selection(), -1);
  EXPECT_EQ(list().top(), 0);
  EXPECT_EQ(list().visibleRows(), 14);
  EXPECT_EQ(list().indicatorRow(), -1);
  EXPECT_EQ(list().scrollMax(), 19);
  const auto rows = list().Rows();
  ASSERT_EQ(rows.size(), 15u);  // the fifteenth partly visible
  EXPECT_EQ(rows[3].y, 45);
  EXPECT_EQ(rows[3].name, "e3");
  EXPECT_FALSE(panel().slider(PanelSlot::Position).enabled());
  EXPECT_FALSE(panel().checkBox(1).shown);
}

TEST_F(ElementListTest, CheckBoxPressTogglesWithoutSelecting) {
  Open(LensOfTypes({GlowBall}, 5));
  list().MouseDown({40, 7});  // select row 0
  list().MouseUp({40, 7});
  const int renders = frontEnd.waitCursorOn;
  list().MouseDown({5, 2 * kRowHeight + 5});
  list().MouseUp({5, 2 * kRowHeight + 5});
  EXPECT_EQ(lens().elements[2].enabled, 0);
  EXPECT_EQ(list().selection(), 0);
  EXPECT_EQ(frontEnd.waitCursorOn, renders + 1);  // a heavy render
  list().MouseDown({13, 2 * kRowHeight + 5});
  EXPECT_EQ(lens().elements[2].enabled, 1);
  EXPECT_EQ(panel().shownIndex(), 0);
}

TEST_F(ElementListTest, PressBelowTheLastRowClearsTheSelection) {
  Open(LensOfTypes({GlowBall}, 3));
  list().MouseDown(Row(1));
  list().MouseUp(Row(1));
  EXPECT_EQ(panel().shownIndex(), 1);
  EXPECT_TRUE(panel().slider(PanelSlot::Position).enabled());
  list().MouseDown(Row(5));
  EXPECT_EQ(list().selection(), -1);
  EXPECT_EQ(panel().shownIndex(), -1);
  EXPECT_FALSE(panel().slider(PanelSlot::Position).enabled());
}

TEST_F(ElementListTest, DragReordersWithTheDropLine) {
  Open(LensOfTypes({GlowBall, Disc}, 5));
  list().MouseDown(Row(0));
  EXPECT_TRUE(list().dragging());
  list().MouseMove(Row(3));
  EXPECT_EQ(list().indicatorRow(), 3);
  EXPECT_EQ(list().DropLineY(), 15 * 3 + 14);  // below the target: the row moves down
  EXPECT_EQ(list().cursor(), DragCursor::Drag);
  list().MouseMove(Row(0));
  EXPECT_FALSE(list().DropLineY());  // on its own row
  list().MouseMove(Row(3));
  list().MouseUp(Row(3));
  EXPECT_EQ(Names(lens()), (std::vector<std::string>{"e1", "e2", "e3", "e0", "e4"}));
  EXPECT_EQ(list().selection(), 3);
  EXPECT_EQ(list().indicatorRow(), -1);
  EXPECT_FALSE(list().dragging());
  EXPECT_EQ(lens().elements[3].type, static_cast<int16_t>(GlowBall));

  // Upwards: the line stands above the target row.
  list().MouseDown(Row(4));
  list().MouseMove(Row(1));
  EXPECT_EQ(list().DropLineY(), 15 * 1 + 1);
  list().MouseUp(Row(1));
  EXPECT_EQ(Names(lens()), (std::vector<std::string>{"e1", "e4", "e2", "e3", "e0"}));
  EXPECT_EQ(list().selection(), 1);
}

TEST_F(ElementListTest, ReleaseBelowTheLastRowMovesToTheEnd) {
  Open(LensOfTypes({GlowBall}, 5));
  Drag(Row(1), {Row(9)}, Row(12));
  EXPECT_EQ(Names(lens()), (std::vector<std::string>{"e0", "e2", "e3", "e4", "e1"}));
  EXPECT_EQ(list().selection(), 4);
}

TEST_F(ElementListTest, DropsOnTheIcons) {
  Open(LensOfTypes({GlowBall, Stripe}, 4));
  Drag(Row(1), {Row(2)}, kAddIcon);
  ASSERT_EQ(lens().count, 5u);
  EXPECT_EQ(std::memcmp(&lens().elements[4], &lens().elements[1], sizeof(LensElement)), 0);
  EXPECT_EQ(list().selection(), 4);
  EXPECT_EQ(panel().shownIndex(), 4);
  Drag(Row(2), {Row(1)}, kDeleteIcon);
  EXPECT_EQ(Names(lens()), (std::vector<std::string>{"e0", "e1", "e3", "e1"}));
  EXPECT_EQ(list().selection(), 2);
  // Beside the list nothing happens and the cursor says so.
  list().MouseDown(Row(0));
  list().MouseMove(Row(2));
  list().MouseMove(kBesideList);
  EXPECT_EQ(list().cursor(), DragCursor::Forbidden);
  EXPECT_EQ(list().indicatorRow(), -1);
  list().MouseUp(kBesideList);
  EXPECT_EQ(Names(lens()), (std::vector<std::string>{"e0", "e1", "e3", "e1"}));
  EXPECT_EQ(list().cursor(), DragCursor::Arrow);
}

TEST_F(ElementListTest, DraggingAboveOrBelowScrollsOneRowPerMove) {
  Open(LensOfTypes({GlowBall}, 30));
  list().Scroll(ScrollRequest::ThumbPosition, 10);
  list().MouseDown(Row(2));  // element 12
  list().MouseMove({40, -3});
  list().MouseMove({40, -9});
  EXPECT_EQ(list().top(), 8);
  list().MouseMove({140, 230});
  EXPECT_EQ(list().top(), 9);
  list().MouseMove({140, 219});
  EXPECT_EQ(list().top(), 10);
  list().MouseMove({140, 218});  // the list's own height: beside it, not below
  EXPECT_EQ(list().top(), 10);
  list().MouseUp(Row(0));
  EXPECT_EQ(list().selection(), 10);
  EXPECT_EQ(Names(lens())[10], "e12");
}

TEST_F(ElementListTest, ScrollBarRequests) {
  Open(LensOfTypes({GlowBall}, 30));
  list().Scroll(ScrollRequest::LineUp);
  EXPECT_EQ(list().top(), 0);
  list().Scroll(ScrollRequest::PageDown);
  EXPECT_EQ(list().top(), 14);
  list().Scroll(ScrollRequest::PageDown);
  EXPECT_EQ(list().top(), 16);  // 30 - 14 rows
  list().Scroll(ScrollRequest::LineDown);
  EXPECT_EQ(list().top(), 16);
  list().Scroll(ScrollRequest::PageUp);
  EXPECT_EQ(list().top(), 2);
  list().Scroll(ScrollRequest::PageUp);
  EXPECT_EQ(list().top(), 0);
  list().Scroll(ScrollRequest::ThumbTrack, 7);
  EXPECT_EQ(list().top(), 7);
  list().Scroll(ScrollRequest::LineUp);
  list().Scroll(ScrollRequest::ThumbTrack, 7);  // the last tracked position again
  EXPECT_EQ(list().top(), 6);
  list().Scroll(ScrollRequest::ThumbPosition, 99);
  EXPECT_EQ(list().top(), 16);
  list().Scroll(ScrollRequest::Other);
  EXPECT_EQ(list().top(), 16);
}

TEST_F(ElementListTest, DeletingTheLastAndTheOnlyElement) {
  Open(LensOfTypes({GlowBall}, 3));
  list().Select(2);
  list().DeleteSelected();
  EXPECT_EQ(lens().count, 2u);
  EXPECT_EQ(list().selection(), 1);
  EXPECT_EQ(panel().shownIndex(), 1);
  list().Select(0);
  list().DeleteSelected();
  EXPECT_EQ(Names(lens()), std::vector<std::string>{"e1"});
  EXPECT_EQ(list().selection(), 0);
  list().DeleteSelected();
  EXPECT_EQ(lens().count, 0u);
  EXPECT_EQ(list().selection(), -1);
  EXPECT_FALSE(panel().colourBox(1).enabled());
  EXPECT_FALSE(panel().checkBox(2).shown);
  list().DeleteSelected();  // nothing selected: nothing happens
  EXPECT_EQ(lens().count, 0u);
}

TEST_F(ElementListTest, TheHundredthElementIsTheLast) {
  Open(LensOfTypes({Disc}, 100));
  list().Select(5);
  list().DuplicateSelected();
  list().Add(0);
  Drag(Row(5), {}, kAddIcon);
  EXPECT_EQ(lens().count, 100u);
  ASSERT_EQ(frontEnd.messages.size(), 3u);
  EXPECT_EQ(frontEnd.messages[0].text, "Maximum Number of Elements Reached.");
  EXPECT_EQ(frontEnd.messages[0].caption, "Alert");
  EXPECT_EQ(frontEnd.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(list().selection(), 5);
}

TEST_F(ElementListTest, AddUsesTheTypeOfTheEntryAndTheFirstElementsAnamorphic) {
  Lens start = LensOfTypes({Stripe}, 2);
  start.elements[0].anamorphic = 1;
  Open(start);
  list().Add(0);  // GlowBall, anamorphic 0 by default
  list().Add(7);  // entry 7 is FadedRing, type 9
  list().Add(18);
  ASSERT_EQ(lens().count, 5u);
  EXPECT_EQ(lens().elements[2].type, 0);
  EXPECT_EQ(lens().elements[2].anamorphic, 1);
  EXPECT_EQ(lens().elements[3].type, 9);
  EXPECT_EQ(lens().elements[4].type, 20);
  EXPECT_EQ(Names(lens())[4], "ChromaFan");
  EXPECT_EQ(list().selection(), 4);
  EXPECT_EQ(panel().shownIndex(), 4);

  // The first element of an empty lens keeps its type's default.
  editor.reset();
  Open(ZeroLens());
  list().Add(12);  // Aperture Reflection
  EXPECT_EQ(lens().elements[0].type, 14);
  EXPECT_EQ(lens().elements[0].anamorphic, 0);
  EXPECT_EQ(lens().elements[0].enabled, 1);
}

TEST_F(ElementListTest, AddWindowEntriesAndItsUndo) {
  EXPECT_STREQ(AddElementWindow::Entry(0), "GlowBall");
  EXPECT_STREQ(AddElementWindow::Entry(5), "Elliptical Caustic");
  EXPECT_STREQ(AddElementWindow::Entry(7), "FadedRing");
  EXPECT_STREQ(AddElementWindow::Entry(18), "Chroma Fan");
  Open(LensOfTypes({GlowBall}, 2));
  EXPECT_EQ(list().addWindowPosition(), (Point{495, 370}));
  frontEnd.addWindowScript = [&](AddElementWindow& w) {
    EXPECT_EQ(w.selection(), 0);
    EXPECT_FALSE(w.undoEnabled());
    w.Select(15);  // Disc
    w.Add();
    w.Add();
    EXPECT_TRUE(w.undoEnabled());
    w.Undo();  // takes back the second Disc only
    EXPECT_FALSE(w.undoEnabled());
    w.Undo();
    w.Add();
    w.Select(3);  // choosing another entry disables "X"
    EXPECT_FALSE(w.undoEnabled());
    w.Undo();
    w.Close({600, 420});
  };
  editor->Command(ids::kAddIcon);
  ASSERT_EQ(lens().count, 4u);
  EXPECT_EQ(lens().elements[2].type, 17);
  EXPECT_EQ(lens().elements[3].type, 17);
  EXPECT_EQ(list().addWindowPosition(), (Point{600, 420}));
}

TEST_F(ElementListTest, UndoIsNotOfferedForAnAddTheLimitRefused) {
  Open(LensOfTypes({GlowBall}, 100));
  list().Select(50);
  frontEnd.addWindowScript = [](AddElementWindow& w) {
    w.Add();
    EXPECT_FALSE(w.undoEnabled());
    w.Undo();
  };
  list().OpenAddWindow();
  EXPECT_EQ(lens().count, 100u);
  EXPECT_EQ(list().selection(), 50);
}

TEST_F(ElementListTest, DoubleClickRenamesTheSelectedElement) {
  Open(LensOfTypes({GlowBall}, 3));
  frontEnd.names = {std::string(70, 'n'), std::nullopt};
  list().MouseDown(Row(1));
  list().MouseUp(Row(1));
  list().DoubleClick(Row(1));
  ASSERT_EQ(frontEnd.namesOffered.size(), 1u);
  EXPECT_EQ(frontEnd.namesOffered[0], "e1");
  EXPECT_EQ(Names(lens())[1], std::string(62, 'n'));
  EXPECT_EQ(lens().elements[1].name[0], 'p');
  EXPECT_EQ(lens().elements[1].name[63], 0);
  list().DoubleClick(Row(1));  // Cancel
  EXPECT_EQ(Names(lens())[1], std::string(62, 'n'));
  list().DoubleClick(Row(7));  // below the last row
  EXPECT_EQ(frontEnd.namesOffered.size(), 2u);
}

}  // namespace
}  // namespace gw::testing
