// The dialog: its commands and messages, closing, Load... and Save..., how
// it is built and taken down, and the dialog command around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "lens/control_ids.h"
#include "host/commands.h"
#include "lensfile/lensfile.h"
#include "render/pixels.h"
#include "tests/editor/editor_test_support.h"

namespace gw::testing {
namespace {

using enum ElementType;

std::string TempPath(const std::string& name) { return std::string(GW_TEST_TMPDIR) + "/" + name; }

bool SameLens(const Lens& a, const Lens& b) { return std::memcmp(&a, &b, sizeof(Lens)) == 0; }

class LensEditorTest : public EditorTest {};

TEST_F(LensEditorTest, OkAndCancelEndTheDialog) {
  Open(ZeroLens());
  editor->Command(ids::kEscape);
  editor->Command(999);
  editor->Command(ids::kFastDrags);
  editor->Command(ids::kCompare);
  EXPECT_FALSE(editor->ended());
  editor->Command(ids::kOk);
  EXPECT_TRUE(editor->ended());
  EXPECT_EQ(editor->result(), 1);
  editor->Command(ids::kCancel);  // the dialog has ended: nothing more happens
  EXPECT_EQ(editor->result(), 1);
  editor.reset();
  Open(ZeroLens());
  editor->Command(ids::kCancel);
  EXPECT_EQ(editor->result(), 0);
}

TEST_F(LensEditorTest, CloseRequestAsksWhetherToKeep) {
  for (MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
    Open(ZeroLens());
    frontEnd.answers = {answer};
    editor->RequestClose();
    const MessageBoxRequest& question = frontEnd.messages.back();
    EXPECT_EQ(question.text, "Save Changes to Lens Editor?");
    EXPECT_EQ(question.caption, "");
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_TRUE(editor->ended());
    EXPECT_EQ(editor->result(), answer == MessageAnswer::Yes ? 1 : 0);
  }
}

TEST_F(LensEditorTest, LoadReplacesOrAppendsWithAlt) {
  const std::string path = TempPath("three.gwr");
  ASSERT_EQ(SaveLensFile(path.c_str(), LensOfTypes({Sparkle, Disc}, 3)), 0);
  Open(LensOfTypes({GlowBall}, 2));
  list().Select(1);
  frontEnd.openPaths = {path, path, std::nullopt};
  editor->Command(ids::kLoad);
  EXPECT_EQ(Names(lens()), (std::vector<std::string>{"e0", "e1", "e2"}));
  EXPECT_EQ(lens().elements[0].type, static_cast<int16_t>(Sparkle));
  EXPECT_EQ(list().selection(), -1);
  EXPECT_EQ(panel().shownIndex(), -1);
  EXPECT_EQ(list().top(), 0);
  frontEnd.altHeld = true;
  editor->Command(ids::kLoad);
  EXPECT_EQ(lens().count, 6u);
  const Lens before = lens();
  editor->Command(ids::kLoad);  // the chooser closed without a choice
  EXPECT_TRUE(SameLens(lens(), before));
  EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(LensEditorTest, AFailedLoadShowsItsCodeAndKeepsTheList) {
  const std::string path = TempPath("not_a_lens.gwr");
  std::ofstream(path) << "this is no lens file";
  Open(LensOfTypes({GlowBall, Disc}, 2));
  list().Select(1);
  const Lens before = lens();
  frontEnd.openPaths = {path, TempPath("missing.gwr")};
  editor->Command(ids::kLoad);
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].text, "The following error has occured:\n-11\n");
  EXPECT_EQ(frontEnd.messages[0].caption, "Fatal Error");
  EXPECT_EQ(frontEnd.messages[0].icon, MessageIcon::Stop);
  EXPECT_TRUE(SameLens(lens(), before));
  EXPECT_EQ(list().selection(), 1);
  editor->Command(ids::kLoad);
  EXPECT_EQ(frontEnd.messages[1].text, "The following error has occured:\n-9\n");
  EXPECT_FALSE(editor->ended());
}

TEST_F(LensEditorTest, SaveWritesTheWorkingLens) {
  const std::string path = TempPath("saved.gwr");
  std::remove(path.c_str());
  Open(LensOfTypes({ChromaHoop, Ellipse}, 2));
  const Lens before = lens();
  frontEnd.savePaths = {path, TempPath("no/such/folder/x.gwr")};
  editor->Command(ids::kSave);
  EXPECT_TRUE(SameLens(lens(), before));
  Lens read = ZeroLens();
  ASSERT_EQ(LoadLensFile(path.c_str(), read, false), 0);
  EXPECT_EQ(Names(read), Names(before));
  editor->Command(ids::kSave);
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].text, "The following error has occured:\n-9\n");
}

TEST_F(LensEditorTest, OpensInOrderAndClosesInReverse) {
  Open(ZeroLens());
  editor->Close();
  const std::vector<std::string> expected = {
      "+WinSlider class", "+Colorbox class", "+ElemList class", "+list window 119",
      "+colour box 123", "+PreviewWnd class", "+preview window 320", "+slider 120",
      "+slider 121", "+slider 124", "+slider 125", "+slider 117", "+slider 108", "+slider 109",
      "+slider 110", "+slider 111", "+slider 112", "+slider 113", "+slider 114", "+slider 115",
      "+slider 116", "+colour box 127", "+colour box 128", "+bitmaps 1010",
      // Taken down: bitmaps, the parameter area, the preview, the list, the classes.
      "-bitmaps 1010", "-slider 117", "-slider 108", "-slider 109", "-slider 110",
      "-slider 111", "-slider 112", "-slider 113", "-slider 114", "-slider 115", "-slider 116",
      "-colour box 127", "-colour box 128", "-slider 120", "-slider 121", "-slider 124",
      "-slider 125", "-preview window 320", "-PreviewWnd class", "-colour box 123",
      "-list window 119", "-ElemList class", "-Colorbox class", "-WinSlider class"};
  EXPECT_EQ(frontEnd.log, expected);
  editor->Close();  // once only
  EXPECT_EQ(frontEnd.log.size(), expected.size());
}

TEST_F(LensEditorTest, FailuresWhileOpeningShowTheirCodeAndCancel) {
  struct Case {
    EditorResource resource;
    int nth;
    int32_t code;
  };
  const Case cases[] = {
      {EditorResource::ElemListWindow, 1, -7}, {EditorResource::PreviewWindow, 1, -7},
      {EditorResource::SliderWindow, 2, -7},   {EditorResource::SliderWindow, 9, -7},
      {EditorResource::ColorboxWindow, 3, -7}, {EditorResource::ButtonBitmaps, 1, -3},
      {EditorResource::SliderClass, 1, -7},    {EditorResource::ColorboxClass, 1, -7},
      {EditorResource::ElemListClass, 1, -7},  {EditorResource::PreviewClass, 1, -7},
  };
  for (const Case& c : cases) {
    ScriptedFrontEnd scripted;
    scripted.failResource = c.resource;
    scripted.failAt = c.nth;
    Lens lens = LensOfTypes({GlowBall}, 2);
    const Lens before = lens;
    scripted.script = [](LensEditor& e) { e.Command(ids::kOk); };
    const EditorRun run = RunLensEditor(lens, nullptr, scripted, {});
    EXPECT_TRUE(run.started);
    EXPECT_EQ(static_cast<int32_t>(run.status), c.code) << ResourceName(c.resource);
    EXPECT_FALSE(run.kept);
    EXPECT_TRUE(SameLens(lens, before));
    ASSERT_EQ(scripted.messages.size(), 1u) << ResourceName(c.resource);
    EXPECT_EQ(scripted.messages[0].text,
              "The following error has occured:\n" + std::to_string(c.code) + "\n");
    // Everything that was built was given back.
    int balance = 0;
    for (const std::string& entry : scripted.log) balance += entry[0] == '+' ? 1 : entry[0] == '-' ? -1 : 0;
    EXPECT_EQ(balance, 0) << ResourceName(c.resource);
  }
}

TEST_F(LensEditorTest, RunCopiesBackOnlyOnOk) {
  Lens lens = LensOfTypes({GlowBall, Stripe}, 2);
  const Lens before = lens;
  ScriptedFrontEnd scripted;
  auto edit = [](LensEditor& e) {
    e.list().Select(0);
    e.Command(109, 2, 2.5f);
    e.list().Add(4);
    e.list().Move(2, 0);
  };
  scripted.script = [&](LensEditor& e) {
    edit(e);
    e.Command(ids::kCancel);
  };
  EXPECT_TRUE(RunLensEditor(lens, nullptr, scripted));
  EXPECT_TRUE(SameLens(lens, before));
  scripted.script = [&](LensEditor& e) {
    edit(e);
    e.Command(ids::kEscape);  // does not close
    e.Command(ids::kOk);
  };
  EXPECT_TRUE(RunLensEditor(lens, nullptr, scripted));
  EXPECT_EQ(lens.count, 3u);
  EXPECT_EQ(lens.elements[0].type, static_cast<int16_t>(CircleSpread));
  EXPECT_EQ(lens.elements[1].scale, 2.5f);
  EXPECT_EQ(scripted.dialogsRun, 2);
}

// A dialog the window system never made (its Open never called) is no
// Cancel: the run says so, and the lens is as it was.
TEST_F(LensEditorTest, ARunSaysWhetherTheDialogOpenedAndWhatWasChosen) {
  Lens lens = LensOfTypes({GlowBall, Stripe}, 2);
  const Lens before = lens;
  class NoDialog final : public ScriptedFrontEnd {
    int32_t RunDialog(LensEditor&, void*) override { return 0; }
  } none;
  EditorRun run = RunLensEditor(lens, nullptr, none, {});
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.status, EditorStatus::NoWindow);
  EXPECT_FALSE(run.kept);
  EXPECT_TRUE(SameLens(lens, before));

  ScriptedFrontEnd scripted;
  scripted.script = [](LensEditor& e) { e.Command(ids::kCancel); };
  run = RunLensEditor(lens, nullptr, scripted, {});
  EXPECT_EQ(run.status, EditorStatus::Ok);
  EXPECT_FALSE(run.kept);
  // The background is in the preview from its first picture on.
  std::vector<uint8_t> shown;
  scripted.script = [&](LensEditor& e) {
    shown = e.preview().DisplayedRgb();
    e.list().Select(0);
    e.Command(109, 2, 2.5f);
    e.Command(ids::kOk);
  };
  const std::vector<uint8_t> grey(static_cast<size_t>(kPreviewRowBytes) * kPreviewHeight, 90);
  run = RunLensEditor(lens, nullptr, scripted, grey);
  EXPECT_EQ(run.status, EditorStatus::Ok);
  EXPECT_TRUE(run.kept);
  EXPECT_EQ(lens.elements[0].scale, 2.5f);
  ASSERT_EQ(shown.size(), grey.size());
  EXPECT_EQ(std::count(shown.begin(), shown.end(), uint8_t{0}), 0) << "black shows through";
}

// A lens built from nothing by editor operations alone, and the same lens
// built field by field.
TEST_F(LensEditorTest, AScriptedSessionBuildsTheExpectedBytes) {
  Open(ZeroLens());
  frontEnd.addWindowScript = [](AddElementWindow& w) {
    w.Add();  // GlowBall
    w.Select(15);
    w.Add();  // Disc
    w.Select(8);
    w.Add();  // Stripe
    w.Undo();
    w.Select(1);
    w.Add();  // SpikeBall
    w.Close({10, 10});
  };
  editor->Command(ids::kAddIcon);
  list().MouseDown({40, 7});  // GlowBall
  list().MouseUp({40, 7});
  editor->Command(ids::kAnamorphic, 1);
  editor->Command(ids::kOption, 1);
  frontEnd.sliderTexts = {"-0.5"};
  panel().slider(PanelSlot::Position).MouseDown({30, 2});
  panel().slider(PanelSlot::Iparam5).MouseDown({5 + 19, 17});  // 19 / 190 of 2000
  panel().slider(PanelSlot::Iparam5).MouseUp();
  list().MouseDown({40, 22});  // Disc, dragged below the SpikeBall
  list().MouseMove({40, 37});
  list().MouseUp({40, 37});
  frontEnd.names = {std::string("Warm ghost")};
  list().DoubleClick({40, 37});
  frontEnd.colours = {PackColour({10, 20, 30})};
  panel().colourBox(1).Click();
  list().Add(0);  // a second GlowBall follows element 0 in being anamorphic
  list().MouseDown({5, 3});  // GlowBall 0 switched off
  editor->Command(ids::kOk);

  Lens expected = ZeroLens();
  InitElement(0, expected.elements[0]);
  expected.elements[0].anamorphic = 1;
  expected.elements[0].option = 1;
  expected.elements[0].position = -0.5f;
  expected.elements[0].iparam5 = 200;
  expected.elements[0].enabled = 0;
  InitElement(1, expected.elements[1]);
  InitElement(17, expected.elements[2]);
  std::strcpy(expected.elements[2].name + 1, "Warm ghost");
  expected.elements[2].color1 = {10, 20, 30};
  InitElement(0, expected.elements[3]);
  expected.elements[3].anamorphic = 1;
  expected.count = 4;
  // The undone Stripe left its name bytes in slot 3, under the GlowBall's.
  Lens stripe = ZeroLens();
  InitElement(10, stripe.elements[0]);
  std::memcpy(expected.elements[3].name + 9, stripe.elements[0].name + 9, kNameFieldSize - 9);
  EXPECT_EQ(editor->result(), 1);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(std::memcmp(&lens().elements[i], &expected.elements[i], sizeof(LensElement)), 0)
        << "element " << i;
  }
  EXPECT_TRUE(SameLens(lens(), expected));
}

// ------------------------------------------------------------ the dialog command

class DialogCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTestFrontEnd();
    screen.resize(kScreenTableSize);
    BuildScreenTable(screen.data());
    stored.resize(sizeof(SequenceData));
    screenData = screen.data();
    storedData = stored.data();
    out.global_data = reinterpret_cast<PF_Handle>(&screenData);
    out.sequence_data = reinterpret_cast<PF_Handle>(&storedData);
  }
  void StoreLens(const Lens& lens) {
    auto data = std::make_unique<SequenceData>();
    data->version = kSequenceDataVersion;
    data->lens = lens;
    Flatten(*data);
    std::memcpy(stored.data(), data.get(), sizeof(SequenceData));
  }
  Lens StoredLens() {
    auto data = std::make_unique<SequenceData>();
    std::memcpy(data.get(), stored.data(), sizeof(SequenceData));
    Unflatten(*data);
    return data->lens;
  }

  std::vector<uint8_t> screen, stored;
  void* screenData = nullptr;
  void* storedData = nullptr;
  PF_OutData out{};
};

TEST_F(DialogCommandTest, CancelNoOrAFailureLeaveTheStoredBytes) {
  Lens lens = LensOfTypes({GlowBall, PolySpread, StarFilter}, 3);
  lens.elements[1].enabled = 0;
  StoreLens(lens);
  const std::vector<uint8_t> before = stored;
  ScriptedFrontEnd& scripted = TestFrontEnd();
  scripted.script = [](LensEditor& e) {
    e.list().Add(3);
    e.list().Select(0);
    e.Command(108, 0, 4.0f);
    e.Command(ids::kCancel);
  };
  EXPECT_EQ(DoDialog(out), PF_Err_NONE);
  EXPECT_EQ(stored, before);
  scripted.script = [](LensEditor& e) {
    e.list().DeleteSelected();
    e.list().Add(5);
    e.RequestClose();  // answered No
  };
  EXPECT_EQ(DoDialog(out), PF_Err_NONE);
  EXPECT_EQ(stored, before);
  scripted.failResource = EditorResource::PreviewWindow;
  scripted.failAt = 1;
  EXPECT_EQ(DoDialog(out), PF_Err_NONE);
  EXPECT_EQ(stored, before);
  EXPECT_EQ(CurrentScreenTable(), screen.data());
  EXPECT_EQ(scripted.dialogsRun, 3);
}

TEST_F(DialogCommandTest, OkStoresTheEditedLensInStoredForm) {
  Lens lens = LensOfTypes({GlowBall, PolySpread}, 2);
  StoreLens(lens);
  TestFrontEnd().script = [](LensEditor& e) {
    e.list().Select(1);
    e.Command(110, 0, 33.0f);
    e.list().Add(17);
    e.Command(ids::kOk);
  };
  EXPECT_EQ(DoDialog(out), PF_Err_NONE);
  lens.elements[1].spread = 33.0f;
  InitElement(19, lens.elements[2]);
  lens.count = 3;
  EXPECT_TRUE(SameLens(StoredLens(), lens));
  // Stored form: the version word and count big-endian.
  EXPECT_EQ(stored[3], 0x02);
  EXPECT_EQ(stored[7], 0x03);
}

}  // namespace
}  // namespace gw::testing
