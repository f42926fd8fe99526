// The Lens Editor in the Windows plug-in, used as a person uses it: the test
// host opens it through the dialog command, and a second thread clicks, drags
// and types into its real windows. The lens the plug-in stores afterwards is
// compared byte for byte with what the editing model makes of the same input.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor/control_ids.h"
#include "editor/lens_editor.h"
#include "tests/host/plugin_host.h"
#include "tests/support/scripted_front_end.h"

namespace gw::testing {
namespace {

using Spot = gw::Point;  // a place in a window

constexpr int kWaitSteps = 1000;  // of 10 ms
constexpr int kSliderDragY = 20;  // below the label line: on the track
constexpr int kSliderLabelY = 5;  // on the label line: opens "Slider Control"

struct WindowSearch {
  const std::string& title;
  HWND except;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  char text[128] = {};
  GetWindowTextA(window, text, sizeof text);
  if (window == search->except || !IsWindowVisible(window) || search->title != text) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible top-level window of `thread` whose title is `title`, other than
// `except`; null when none shows up in time.
HWND WaitForWindow(DWORD thread, const std::string& title, HWND except = nullptr) {
  for (int step = 0; step < kWaitSteps; ++step) {
    WindowSearch search{title, except, nullptr};
    EnumThreadWindows(thread, &MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(10);
  }
  return nullptr;
}

void WaitUntilGone(HWND window) {
  for (int step = 0; step < kWaitSteps && IsWindow(window); ++step) Sleep(10);
}

LPARAM At(Spot p) { return MAKELPARAM(static_cast<int16_t>(p.x), static_cast<int16_t>(p.y)); }

// Mouse input delivered to the window and handled before this returns.
void Press(HWND window, Spot p) { SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(p)); }
void Move(HWND window, Spot p) { SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, At(p)); }
void Release(HWND window, Spot p) { SendMessageA(window, WM_LBUTTONUP, 0, At(p)); }
void Click(HWND window, Spot p) {
  Press(window, p);
  Release(window, p);
}
// A click that opens a modal window: queued, so that this thread can answer it.
void ClickToOpen(HWND window, Spot p) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(p));
  PostMessageA(window, WM_LBUTTONUP, 0, At(p));
}
void PushButton(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

Rect ScreenRectOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return Rect::At(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Spot RowPoint(int row, int x = 40) { return {x, row * kRowHeight + 7}; }

// The person at the keyboard: what they do happens in the plug-in's dialog
// and, alongside, in an editing model of our own that starts from the same
// lens; `expected` is the model's stored lens after the same input.
class Person {
 public:
  Person(DWORD uiThread, const std::vector<uint8_t>& stored) : uiThread_(uiThread) {
    std::memcpy(data_.get(), stored.data(), sizeof(SequenceData));
    Unflatten(*data_);
    model_ = std::make_unique<LensEditor>(data_->lens, script_, nullptr);
  }

  // Waits for the dialog and lines the model up with its windows.
  bool Arrive() {
    dialog_ = WaitForWindow(uiThread_, kEditorTitle);
    if (!dialog_ || model_->Open() != 0) return false;
    HWND list = Control(ids::kElemList);
    RECT client;
    GetClientRect(list, &client);
    POINT origin{0, 0};
    ClientToScreen(list, &origin);
    model_->list().SetClientSize(client.right, client.bottom);
    model_->list().SetScreenRects(Rect::At(origin.x, origin.y, client.right, client.bottom),
                                  ScreenRectOf(Control(ids::kAddIcon)),
                                  ScreenRectOf(Control(ids::kDeleteIcon)));
    return true;
  }

  HWND dialog() const { return dialog_; }
  HWND Control(int id) const { return GetDlgItem(dialog_, id); }
  LensEditor& model() { return *model_; }

  void ClickRow(int row, int x = 40) {
    Click(Control(ids::kElemList), RowPoint(row, x));
    model_->list().MouseDown(RowPoint(row, x));
    model_->list().MouseUp(RowPoint(row, x));
  }

  // Drags a row of the list through `points` (list coordinates) and lets go
  // at the last one.
  void DragRow(int row, std::initializer_list<Spot> points) {
    HWND list = Control(ids::kElemList);
    Press(list, RowPoint(row));
    model_->list().MouseDown(RowPoint(row));
    Spot last = RowPoint(row);
    for (Spot p : points) {
      Move(list, p);
      model_->list().MouseMove(p);
      last = p;
    }
    Release(list, last);
    model_->list().MouseUp(last);
  }

  // The add icon's middle in list coordinates.
  Spot AddIconInList() {
    const Rect icon = ScreenRectOf(Control(ids::kAddIcon));
    const Rect list = ScreenRectOf(Control(ids::kElemList));
    return {(icon.left + icon.right) / 2 - list.left, (icon.top + icon.bottom) / 2 - list.top};
  }

  // Takes a slider's thumb and moves it `by` pixels along its track.
  void DragSlider(int id, int by) {
    WinSlider* slider = model_->SliderById(id);
    const Spot from{kSliderTrackInset + slider->ThumbPlace(), kSliderDragY};
    const Spot to{from.x + by, kSliderDragY};
    HWND window = Control(id);
    Press(window, from);
    Move(window, to);
    Release(window, to);
    slider->MouseDown(from);
    slider->MouseMove(to);
    slider->MouseUp();
  }

  // Clicks a slider's label and types `text` into "Slider Control".
  bool TypeSliderValue(int id, const char* text) {
    ClickToOpen(Control(id), {10, kSliderLabelY});
    HWND box = WaitForWindow(uiThread_, "Slider Control");
    if (!box) return false;
    SendDlgItemMessageA(box, ids::kSliderControlValue, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text));
    PushButton(box, IDOK);
    WaitUntilGone(box);
    script_.sliderTexts.push_back(text);
    model_->SliderById(id)->MouseDown({10, kSliderLabelY});
    return true;
  }

  // The stored lens the model holds when it ends with `button`.
  std::vector<uint8_t> Expected(int button) {
    model_->Command(button);
    if (model_->result() == 1) data_->lens = model_->lens();
    Flatten(*data_);
    const auto* p = reinterpret_cast<const uint8_t*>(data_.get());
    return std::vector<uint8_t>(p, p + sizeof(SequenceData));
  }

 private:
  DWORD uiThread_;
  HWND dialog_ = nullptr;
  std::unique_ptr<SequenceData> data_ = std::make_unique<SequenceData>();
  ScriptedFrontEnd script_;
  std::unique_ptr<LensEditor> model_;
};

class Win32EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = NewInstance("Glarewright");
    before = host->SequenceBytes();
  }
  void TearDown() override { ExpectCleanShutdown(*host); }

  // Runs the dialog command while `act` plays the person on a second thread.
  void RunDialog(const std::function<void(Person&)>& act) {
    Person person(GetCurrentThreadId(), before);
    std::thread hands([&] {
      if (person.Arrive()) {
        act(person);
      } else {
        ADD_FAILURE() << "the Lens Editor did not open";
      }
      // A failed step must not leave the dialog waiting for a person.
      if (person.dialog()) {
        WaitUntilGone(person.dialog());
        if (IsWindow(person.dialog())) {
          ADD_FAILURE() << "the dialog stayed open";
          PostMessageA(person.dialog(), WM_COMMAND, ids::kCancel, 0);
        }
      }
    });
    EXPECT_EQ(host->DoDialog(), PF_Err_NONE);
    hands.join();
  }

  std::unique_ptr<testhost::TestHost> host;
  std::vector<uint8_t> before;
};

TEST_F(Win32EditorTest, OkStoresWhatThePersonDid) {
  std::vector<uint8_t> expected;
  RunDialog([&](Person& person) {
    person.ClickRow(1);                          // select the second element
    person.ClickRow(0, 7);                       // its neighbour's check box
    person.DragRow(1, {{60, 60}, person.AddIconInList()});  // duplicate it
    person.ClickRow(0);
    person.DragSlider(ids::kFirstParameterSlider, 40);
    ASSERT_TRUE(person.TypeSliderValue(ids::kFirstParameterSlider + 1, "12.5"));
    EXPECT_EQ(person.model().lens().count, 4u);
    expected = person.Expected(ids::kOk);
    PushButton(person.dialog(), ids::kOk);
  });
  EXPECT_EQ(host->SequenceBytes(), expected);
  EXPECT_NE(host->SequenceBytes(), before);
}

TEST_F(Win32EditorTest, CancelLeavesTheLensAsItWas) {
  RunDialog([&](Person& person) {
    person.ClickRow(0, 7);
    person.ClickRow(2);
    person.DragSlider(ids::kFirstParameterSlider, -30);
    EXPECT_EQ(person.Expected(ids::kCancel), before);
    PushButton(person.dialog(), ids::kCancel);
  });
  EXPECT_EQ(host->SequenceBytes(), before);
}

TEST_F(Win32EditorTest, AltF4AnsweredNoLeavesTheLensAsItWas) {
  RunDialog([&](Person& person) {
    person.ClickRow(1, 7);
    // Alt+F4: the system key with the Alt bit in the key data.
    PostMessageA(person.dialog(), WM_SYSKEYDOWN, VK_F4, 0x20000001);
    HWND question = WaitForWindow(GetWindowThreadProcessId(person.dialog(), nullptr), "",
                                  person.dialog());
    ASSERT_NE(question, nullptr) << "no question on closing";
    EXPECT_TRUE(IsWindow(person.dialog()));
    PushButton(question, IDNO);
  });
  EXPECT_EQ(host->SequenceBytes(), before);
}

// The dialog as it first shows, saved as a 24-bit BMP where GW_SCREENSHOT says.
TEST_F(Win32EditorTest, Screenshot) {
  const char* path = std::getenv("GW_SCREENSHOT");
  if (!path) GTEST_SKIP() << "GW_SCREENSHOT names no file";
  RunDialog([&](Person& person) {
    HWND dialog = person.dialog();
    person.ClickRow(0);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    RECT r;
    GetWindowRect(dialog, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files hold rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool printed = PrintWindow(dialog, memory, 0) != 0;
    GdiFlush();
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageBytes;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(static_cast<const char*>(bits), imageBytes);
    const bool written = static_cast<bool>(out);
    out.close();
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(printed);
    EXPECT_TRUE(written) << path;
    PushButton(dialog, ids::kCancel);
  });
}

}  // namespace
}  // namespace gw::testing
