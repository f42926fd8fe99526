// The Lens Editor of the Windows module, used as a person would: the host's
// dialog command opens it, and this test posts mouse and keyboard messages to
// its real windows from another thread (clicks on list rows and check boxes,
// a drag onto the add icon, slider drags, the "Slider Control" window, OK,
// Cancel, Alt+F4), then reads the lens the module stored. Needs a display
// (Xvfb under Wine). With --screenshot FILE it saves a picture of the dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "lens/control_ids.h"
#include "lens/lens.h"
#include "tests/editor_win32/win32_input.h"
#include "tests/host/plugin_host.h"

namespace gw::testing {
namespace {

constexpr int kRowHeight = 15;
constexpr int kBrightnessSlider = 108;  // the parameter panel's second slot
constexpr int kScaleSlider = 109;       // its third: a labelled slider

std::string screenshotPath;

Lens StartingLens() {
  Lens lens = LensOf(0, 4);
  for (uint32_t i = 0; i < lens.count; ++i) {
    SetElementName(lens.elements[i], "Element " + std::to_string(i));
  }
  return lens;
}

Lens LensOfBytes(const std::vector<uint8_t>& bytes) {
  SequenceData data{};
  std::memcpy(&data, bytes.data(), std::min(bytes.size(), sizeof data));
  Unflatten(data);
  return data.lens;
}

bool SameElement(const LensElement& a, const LensElement& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// What one session of the host left: the stored lens before and after the
// dialog command, and what its checker saw.
struct SessionRecord {
  bool setUp = false;
  PF_Err dialogResult = -1;
  std::vector<uint8_t> before, after;
  std::vector<std::string> problems;
  int32_t liveHandles = -1;
};

// The host as the host application's main thread runs it: a new effect
// instance with the starting lens under its main window, the dialog
// command, then the instance set down.
class EditorSession {
 public:
  EditorSession() : application_([this](HWND main) { Run(main); }) {}

  HWND dialog() { return application_.editor(); }
  HWND Control(int id) { return application_.Control(id); }
  // True when the host's thread finished within the wait.
  bool WaitUntilClosed() { return application_.WaitUntilFinished(); }
  // Valid once closed.
  const SessionRecord& record() const { return record_; }

 private:
  void Run(HWND main) {
    TestHost host(PluginPath("full"));
    host.SetMainWindow(main);
    record_.setUp = host.GlobalSetup() == PF_Err_NONE && host.ParamsSetup() == PF_Err_NONE &&
                    host.SequenceSetup() == PF_Err_NONE &&
                    host.SequenceResetup(StoredBytes(StartingLens())) == PF_Err_NONE;
    record_.before = host.SequenceBytes();
    if (record_.setUp) record_.dialogResult = host.DoDialog();
    record_.after = host.SequenceBytes();
    host.SequenceSetdown();
    host.GlobalSetdown();
    record_.problems = host.TakeProblems();
    record_.liveHandles = host.liveHandles();
  }

  SessionRecord record_;
  ApplicationThread application_;  // last: it runs once the record is made
};

void ExpectCleanSession(const SessionRecord& record) {
  EXPECT_TRUE(record.setUp);
  EXPECT_EQ(record.dialogResult, PF_Err_NONE);
  EXPECT_TRUE(record.problems.empty()) << record.problems.front();
  EXPECT_EQ(record.liveHandles, 0);
}

TEST(LensEditorWin32, EditsMadeWithTheMouseAreStoredOnOk) {
  const Lens start = StartingLens();
  EditorSession session;
  {
    ASSERT_NE(session.dialog(), nullptr) << "the Lens Editor did not open";
    HWND list = session.Control(ids::kElemList);
    ASSERT_NE(list, nullptr);

    // The check box of the second row switches that element off.
    Click(list, 7, kRowHeight + 7);
    // The first row's name selects it; its scale is typed into the slider's
    // "Slider Control" window, opened from the slider's label line.
    Click(list, 60, 7);
    HWND scale = session.Control(kScaleSlider);
    ASSERT_NE(scale, nullptr);
    PostMessageA(scale, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 4));
    PostMessageA(scale, WM_LBUTTONUP, 0, At(30, 4));
    HWND control = WaitForDialog("Slider Control");
    ASSERT_NE(control, nullptr) << "no Slider Control window";
    Type(GetDlgItem(control, ids::kSliderControlValue), "2.5");
    ClickMiddle(GetDlgItem(control, IDOK));
    // The brightness slider dragged past its left end: its minimum.
    HWND brightness = session.Control(kBrightnessSlider);
    ASSERT_NE(brightness, nullptr);
    RECT track;
    GetClientRect(brightness, &track);
    Drag(brightness, {track.right / 2, track.bottom - 4}, {-40, track.bottom - 4});
    // The third row dragged onto the add icon: a copy at the end.
    Drag(list, {60, 2 * kRowHeight + 7}, CentreIn(session.Control(ids::kAddIcon), list));

    if (!screenshotPath.empty()) {
      EXPECT_TRUE(SaveScreenshot(session.dialog(), screenshotPath)) << screenshotPath;
    }
    ClickMiddle(session.Control(ids::kOk));
    ASSERT_TRUE(session.WaitUntilClosed()) << "OK did not close the editor";
  }
  ExpectCleanSession(session.record());
  const Lens stored = LensOfBytes(session.record().after);
  ASSERT_EQ(stored.count, 5u);
  EXPECT_EQ(stored.elements[1].enabled, 0);
  EXPECT_EQ(stored.elements[0].scale, 2.5f);
  EXPECT_EQ(stored.elements[0].brightness, 0.01f);  // the slider's least
  EXPECT_TRUE(SameElement(stored.elements[2], start.elements[2]));
  EXPECT_TRUE(SameElement(stored.elements[3], start.elements[3]));
  EXPECT_TRUE(SameElement(stored.elements[4], start.elements[2]));
}

// A release the slider never saw (the mouse taken away, say by Alt+Tab) ends
// its drag: the pointer that then only hovers over it changes nothing.
TEST(LensEditorWin32, ASliderThatLostTheMouseStopsFollowingIt) {
  const Lens start = StartingLens();
  EditorSession session;
  {
    ASSERT_NE(session.dialog(), nullptr);
    Click(session.Control(ids::kElemList), 60, 7);  // the first element
    HWND brightness = session.Control(kBrightnessSlider);
    ASSERT_NE(brightness, nullptr);
    RECT track;
    GetClientRect(brightness, &track);
    const int y = track.bottom - 4;
    // Pressed in the middle: the drag begins and sets the value there.
    PostMessageA(brightness, WM_LBUTTONDOWN, MK_LBUTTON, At(track.right / 2, y));
    Settle();
    // The mouse goes to another window; the release happens there.
    PostMessageA(brightness, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(session.dialog()));
    Settle();
    PostMessageA(brightness, WM_MOUSEMOVE, 0, At(5, y));
    PostMessageA(brightness, WM_MOUSEMOVE, MK_LBUTTON, At(10, y));
    Settle();
    // Pressed again, then a move that says the button is up: the release
    // was lost on the way, and the drag ends there too.
    HWND scale = session.Control(kScaleSlider);
    PostMessageA(scale, WM_LBUTTONDOWN, MK_LBUTTON, At(5 + 95, y));
    Settle();
    PostMessageA(scale, WM_MOUSEMOVE, 0, At(5 + 190, y));
    PostMessageA(scale, WM_MOUSEMOVE, MK_LBUTTON, At(5 + 150, y));
    Settle();
    ClickMiddle(session.Control(ids::kOk));
    ASSERT_TRUE(session.WaitUntilClosed()) << "OK did not close the editor";
  }
  ExpectCleanSession(session.record());
  const Lens stored = LensOfBytes(session.record().after);
  // Brightness: square, 0.01 .. 5 over 190 pixels; scale: linear, 0.1 .. 5.
  const float t = static_cast<float>(95) / 190.0f;
  EXPECT_EQ(stored.elements[0].brightness, 0.01f + t * t * (5.0f - 0.01f));
  EXPECT_EQ(stored.elements[0].scale, 0.1f + t * (5.0f - 0.1f));
  EXPECT_TRUE(SameElement(stored.elements[1], start.elements[1]));
}

TEST(LensEditorWin32, CancelLeavesTheStoredLens) {
  EditorSession session;
  {
    ASSERT_NE(session.dialog(), nullptr);
    Click(session.Control(ids::kElemList), 7, 7);
    ClickMiddle(session.Control(ids::kCancel));
    ASSERT_TRUE(session.WaitUntilClosed()) << "Cancel did not close the editor";
  }
  ExpectCleanSession(session.record());
  EXPECT_EQ(session.record().after, session.record().before);
}

TEST(LensEditorWin32, AltF4AnsweredNoLeavesTheStoredLens) {
  EditorSession session;
  {
    HWND dialog = session.dialog();
    ASSERT_NE(dialog, nullptr);
    Click(session.Control(ids::kElemList), 7, 2 * kRowHeight + 7);
    // Alt held (bit 29 of the key data) with F4.
    PostMessageA(dialog, WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
    PostMessageA(dialog, WM_SYSKEYUP, VK_F4, 1 | (1 << 29) | (3u << 30));
    HWND question = WaitForDialog(nullptr, dialog);
    ASSERT_NE(question, nullptr) << "Alt+F4 asked nothing";
    ASSERT_NE(GetDlgItem(question, IDNO), nullptr);
    ClickMiddle(GetDlgItem(question, IDNO));
    ASSERT_TRUE(session.WaitUntilClosed()) << "No did not close the editor";
  }
  ExpectCleanSession(session.record());
  EXPECT_EQ(session.record().after, session.record().before);
}

}  // namespace
}  // namespace gw::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--screenshot") gw::testing::screenshotPath = argv[i + 1];
  }
  return RUN_ALL_TESTS();
}
