// "Edit Lens..." of the 64-bit OpenFX binary, used as a person would: our
// OpenFX host presses the button on an instance from the application's main
// thread, and this test drives the Win32 Lens Editor that opens in process
// with real messages from another thread (a row of the element list, a
// slider dragged, OK or Cancel), then reads the instance's lens parameter.
// Needs a display (Xvfb under Wine). With --screenshot FILE it saves a
// picture of the editor.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lens/control_ids.h"
#include "lens/lens.h"
#include "lensfile/lens_text.h"
#include "tests/editor_win32/win32_input.h"
#include "tests/ofx/ofx_rig.h"

namespace gw::testing {
namespace {

constexpr int kBrightnessSlider = 108;  // the parameter panel's second slot
constexpr int32_t kW = 320, kH = 180;

std::string screenshotPath;

// Four elements of the first type, named apart.
Lens StartingLens() {
  Lens lens{};
  for (uint32_t i = 0; i < 4; ++i) {
    InitElement(0, lens.elements[i]);
    lens.elements[i].enabled = 1;
    SetElementName(lens.elements[i], "Element " + std::to_string(i));
  }
  lens.count = 4;
  return lens;
}

// A plate of a colour no flare makes, from green on the left to dark blue
// (20, 1, 90) on the right.
testhost::Image Plate() {
  testhost::Image image(kW, kH);
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) {
      image.at(x, y) = PF_Pixel{255, 20, static_cast<uint8_t>(160 - x / 2), 90};
    }
  }
  return image;
}

// What one press of "Edit Lens..." left.
struct PressRecord {
  bool created = false;
  OfxStatus pressed = kOfxStatFailed;
  std::string before, after;
  std::vector<std::string> undo, messages, problems;
};

// The application as its main thread runs it: its main window named to the
// plug-in through kOfxPropHostOSHandle (or not), an instance of the full
// edition with the starting lens over a plate, the button pressed, the
// instance ended.
class EditSession {
 public:
  explicit EditSession(bool nameMainWindow)
      : application_([this, nameMainWindow](HWND main) {
          Run(nameMainWindow ? main : nullptr);
        }) {}

  HWND dialog() { return application_.editor(); }
  HWND Control(int id) { return application_.Control(id); }
  HWND mainWindow() const { return application_.mainWindow(); }
  bool WaitUntilClosed() { return application_.WaitUntilFinished(); }
  // Valid once closed.
  const PressRecord& record() const { return record_; }

 private:
  void Run(HWND named) {
    ofxhost::HostOptions options;
    options.projectSize = {double(kW), double(kH)};
    options.mainWindow = named;
    Host host(GW_OFX_BINARY, options);
    std::unique_ptr<Instance> instance = host.CreateInstance(
        kFull, kOfxImageEffectContextFilter, {{"lens", Text(LensToText(StartingLens()))}});
    record_.created = instance != nullptr;
    if (instance) {
      ConnectImage(*instance, kOfxImageEffectSimpleSourceClipName,
                   FromLegacy(Plate(), kOfxBitDepthByte));
      record_.before = instance->Value("lens").text;
      record_.pressed = instance->Press("editLens");
      record_.after = instance->Value("lens").text;
      record_.undo = instance->UndoHistory();
      instance.reset();
    }
    for (const ofxhost::Message& m : host.TakeMessages()) record_.messages.push_back(m.text);
    record_.problems = host.TakeProblems();
  }

  PressRecord record_;
  ApplicationThread application_;  // last: it runs once the record is made
};

void ExpectCleanPress(const PressRecord& record) {
  EXPECT_TRUE(record.created);
  EXPECT_EQ(record.pressed, kOfxStatOK);
  EXPECT_TRUE(record.messages.empty()) << record.messages.front();
  EXPECT_TRUE(record.problems.empty()) << record.problems.front();
}

Lens LensOfText(const std::string& text) {
  Lens lens{};
  std::string error;
  EXPECT_TRUE(LensFromText(text, lens, error)) << error;
  return lens;
}

bool SameElement(const LensElement& a, const LensElement& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Selects the first element and drags its brightness slider past the left
// end: its least value.
void LowerFirstBrightness(EditSession& session) {
  Click(session.Control(ids::kElemList), 60, 7);
  HWND brightness = session.Control(kBrightnessSlider);
  ASSERT_NE(brightness, nullptr);
  RECT track;
  GetClientRect(brightness, &track);
  Drag(brightness, {track.right / 2, track.bottom - 4}, {-40, track.bottom - 4});
}

TEST(OfxLensEditorWin32, OkStoresTheEditedLensAsOneChange) {
  const Lens start = StartingLens();
  EditSession session(true);
  {
    ASSERT_NE(session.dialog(), nullptr) << "the Lens Editor did not open";
    // Modal over the application's main window, which owns it.
    EXPECT_EQ(GetWindow(session.dialog(), GW_OWNER), session.mainWindow());
    EXPECT_FALSE(IsWindowEnabled(session.mainWindow()));
    // The preview shows the plate behind the flare: its far corner, where
    // the glow hardly reaches, is the plate's dark blue, not black.
    HWND preview = session.Control(ids::kPreviewWnd);
    ASSERT_NE(preview, nullptr);
    RECT inside;
    GetClientRect(preview, &inside);
    POINT corner{inside.right - 4, inside.bottom - 4};
    ClientToScreen(preview, &corner);
    HDC screen = GetDC(nullptr);
    const COLORREF shown = GetPixel(screen, corner.x, corner.y);
    ReleaseDC(nullptr, screen);
    EXPECT_LT(GetRValue(shown), 60) << std::hex << shown;
    EXPECT_GE(GetBValue(shown), 85) << std::hex << shown;
    EXPECT_LT(GetBValue(shown), 140) << std::hex << shown;
    LowerFirstBrightness(session);
    if (!screenshotPath.empty()) {
      EXPECT_TRUE(SaveScreenshot(session.dialog(), screenshotPath)) << screenshotPath;
    }
    ClickMiddle(session.Control(ids::kOk));
    ASSERT_TRUE(session.WaitUntilClosed()) << "OK did not close the editor";
  }
  const PressRecord& record = session.record();
  ExpectCleanPress(record);
  EXPECT_EQ(record.before, LensToText(start));
  EXPECT_EQ(record.undo, (std::vector<std::string>{"Edit Lens"}));
  const Lens stored = LensOfText(record.after);
  ASSERT_EQ(stored.count, 4u);
  EXPECT_EQ(stored.elements[0].brightness, 0.01f);  // the slider's least
  for (uint32_t i = 1; i < 4; ++i) EXPECT_TRUE(SameElement(stored.elements[i], start.elements[i]));
}

// Cancel after an edit leaves the lens parameter untouched; an application
// that names no main window gets an editor of its own.
TEST(OfxLensEditorWin32, CancelChangesNothing) {
  EditSession session(false);
  {
    ASSERT_NE(session.dialog(), nullptr) << "the Lens Editor did not open";
    EXPECT_EQ(GetWindow(session.dialog(), GW_OWNER), nullptr);
    LowerFirstBrightness(session);
    ClickMiddle(session.Control(ids::kCancel));
    ASSERT_TRUE(session.WaitUntilClosed()) << "Cancel did not close the editor";
  }
  const PressRecord& record = session.record();
  ExpectCleanPress(record);
  EXPECT_EQ(record.after, record.before);
  EXPECT_TRUE(record.undo.empty());
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
