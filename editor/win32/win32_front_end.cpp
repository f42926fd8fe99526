// The Lens Editor on Win32: dialog 101 and the window classes ElemList,
// WinSlider, Colorbox and PreviewWnd, each window showing one model object
// and handing its events to it; the small dialogs 131, 134 and 136; the
// system's file and colour choosers, message boxes and clipboard.
#include <windows.h>
#include <windowsx.h>

#include <commdlg.h>

#include <map>
#include <string>

#include "lens/control_ids.h"
#include "editor/dib.h"
#include "editor/front_end.h"
#include "editor/lens_editor.h"
#include "editor/win32/this_module.h"

namespace gw {
namespace {

constexpr int kFileNameLength = 256;
constexpr int kCompareSide = 28;
constexpr COLORREF kDisabledInk = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kDisabledBox = RGB(0xA0, 0xA0, 0xA0);

const char kElemListClass[] = "ElemList";
const char kSliderClass[] = "WinSlider";
const char kColorboxClass[] = "Colorbox";
const char kPreviewClass[] = "PreviewWnd";

template <typename Model>
Model* ModelOf(HWND window) {
  return reinterpret_cast<Model*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Every custom window keeps its model object, handed over at creation.
bool KeepModel(HWND window, UINT message, LPARAM lParam) {
  if (message != WM_NCCREATE) return false;
  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  return true;
}

Point MousePoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// Whether a mouse message says the left button is still down. A release
// can go unseen (the mouse taken away by Alt+Tab, a system dialog): the
// models then end the drag instead of following a pointer that only hovers.
bool ButtonDown(WPARAM wParam) { return (wParam & MK_LBUTTON) != 0; }

// WM_CAPTURECHANGED: another window (lParam) now holds the mouse.
bool CaptureTakenFrom(HWND window, LPARAM lParam) {
  return reinterpret_cast<HWND>(lParam) != window;
}

Rect ScreenRect(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return {r.left, r.top, r.right, r.bottom};
}

class Win32FrontEnd;
Win32FrontEnd& FrontEnd();

class Win32FrontEnd final : public EditorFrontEnd {
 public:
  int32_t RunDialog(LensEditor& editor, void* parent) override {
    editor_ = &editor;
    DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(ids::kEditorDialog), static_cast<HWND>(parent),
                    &DialogProc, reinterpret_cast<LPARAM>(this));
    editor_ = nullptr;
    dialog_ = nullptr;
    return editor.result();
  }

  bool Acquire(EditorResource resource, int id, void* model) override;
  void Release(EditorResource resource, int id) override;

  bool ScreenHasPalette() override {
    HDC screen = GetDC(nullptr);
    const bool palette = GetDeviceCaps(screen, BITSPIXEL) == 8;
    ReleaseDC(nullptr, screen);
    return palette;
  }

  MessageAnswer ShowMessage(const MessageBoxRequest& request) override {
    UINT flags = request.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    if (request.icon == MessageIcon::Stop) flags |= MB_ICONSTOP;
    if (request.icon == MessageIcon::Exclamation) flags |= MB_ICONEXCLAMATION;
    const int answer = MessageBoxA(dialog_, request.text.c_str(), request.caption.c_str(), flags);
    if (request.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
  }

  void Beep(BeepKind kind) override {
    MessageBeep(kind == BeepKind::Exclamation ? MB_ICONEXCLAMATION : 0xFFFFFFFF);
  }

  void Redraw(EditorArea area, int id) override;

  void SetWaitCursor(bool on) override {
    SetCursor(LoadCursorA(nullptr, on ? IDC_WAIT : IDC_ARROW));
    if (on) {
      SetCapture(Window(ids::kPreviewWnd));
    } else {
      ReleaseCapture();
    }
  }

  bool AltHeld() override { return GetKeyState(VK_MENU) < 0; }

  std::optional<std::string> ChooseFileToOpen(std::span<const FileFilter> filters) override {
    return ChooseFile(filters, false);
  }
  std::optional<std::string> ChooseFileToSave(std::span<const FileFilter> filters) override {
    return ChooseFile(filters, true);
  }

  std::optional<uint32_t> ChooseColour(uint32_t initial,
                                       std::array<uint32_t, 16>& custom) override {
    static_assert(sizeof(COLORREF) == sizeof(uint32_t));
    CHOOSECOLORA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = dialog_;
    chooser.rgbResult = initial;
    chooser.lpCustColors = reinterpret_cast<COLORREF*>(custom.data());
    chooser.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorA(&chooser)) return std::nullopt;
    return chooser.rgbResult;
  }

  std::optional<std::string> EditName(std::string_view current) override {
    TextExchange exchange{ids::kNameEdit, std::string(current), {}, nullptr};
    if (DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(ids::kNameDialog), dialog_, &TextWindowProc,
                        reinterpret_cast<LPARAM>(&exchange)) != IDOK) {
      return std::nullopt;
    }
    return exchange.result;
  }

  std::optional<std::string> EditSliderValue(const SliderControlTexts& texts) override {
    TextExchange exchange{ids::kSliderControlValue, texts.value, {}, &texts};
    if (DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(ids::kSliderControlDialog), dialog_,
                        &TextWindowProc, reinterpret_cast<LPARAM>(&exchange)) != IDOK) {
      return std::nullopt;
    }
    return exchange.result;
  }

  void RunAddElementWindow(AddElementWindow& window) override {
    DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(ids::kAddElementDialog), dialog_,
                    &AddElementProc, reinterpret_cast<LPARAM>(&window));
  }

  ClipboardContents ReadClipboard() override {
    ClipboardContents contents;
    if (!OpenClipboard(dialog_)) return contents;
    contents.opened = true;
    if (IsClipboardFormatAvailable(CF_DIB)) {
      if (HANDLE data = GetClipboardData(CF_DIB)) {
        const auto* bytes = static_cast<const uint8_t*>(GlobalLock(data));
        if (bytes) contents.dib.assign(bytes, bytes + GlobalSize(data));  // our own copy
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
    return contents;
  }

  LensEditor* editor() const { return editor_; }
  HWND Window(int id) const {
    const auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second;
  }
  HPALETTE palette() const { return palette_; }
  HPEN greyPen() const { return greyPen_; }
  HCURSOR dragCursor() const { return dragCursor_; }
  HBITMAP compareBitmap(bool pressed) const { return pressed ? compareDown_ : compareUp_; }

  // The list's drop targets and client size, as they stand now.
  void PlaceList() {
    HWND list = Window(ids::kElemList);
    if (!list || !editor_) return;
    RECT client;
    GetClientRect(list, &client);
    POINT origin{0, 0};
    ClientToScreen(list, &origin);
    editor_->list().SetClientSize(client.right, client.bottom);
    editor_->list().SetScreenRects(Rect::At(origin.x, origin.y, client.right, client.bottom),
                                   ScreenRect(GetDlgItem(dialog_, ids::kAddIcon)),
                                   ScreenRect(GetDlgItem(dialog_, ids::kDeleteIcon)));
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    bar.nMin = 0;
    bar.nMax = editor_->list().scrollMax();
    bar.nPage = static_cast<UINT>(editor_->list().visibleRows());
    bar.nPos = editor_->list().top();
    SetScrollInfo(list, SB_VERT, &bar, TRUE);
  }

  // Ends the modal loop once the model has ended the dialog.
  void FinishIfEnded() {
    if (editor_ && editor_->ended() && dialog_) EndDialog(dialog_, editor_->result());
  }

 private:
  struct TextExchange {
    int editId;
    std::string start;
    std::string result;
    const SliderControlTexts* texts;  // the "Slider Control" window's, or null
  };

  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK TextWindowProc(HWND dialog, UINT message, WPARAM wParam,
                                         LPARAM lParam);
  static INT_PTR CALLBACK AddElementProc(HWND dialog, UINT message, WPARAM wParam,
                                         LPARAM lParam);

  void Initialise(HWND dialog);
  void DrawCompareButton(const DRAWITEMSTRUCT& item);
  std::optional<std::string> ChooseFile(std::span<const FileFilter> filters, bool save);
  bool Register(const char* name, WNDPROC procedure, UINT style);
  HWND Create(const char* className, int id, Rect place, DWORD style, void* model);

  LensEditor* editor_ = nullptr;
  HWND dialog_ = nullptr;
  std::map<int, HWND> windows_;
  HPALETTE palette_ = nullptr;
  HPEN greyPen_ = nullptr;
  HCURSOR dragCursor_ = nullptr;
  HBITMAP compareUp_ = nullptr;
  HBITMAP compareDown_ = nullptr;
};

// ------------------------------------------------------------ custom windows

// WM_PAINT draws through BeginPaint; WM_PRINTCLIENT draws the same into the caller's context, so
// that PrintWindow captures each window as the screen shows it.
template <class Painter>
void PaintWith(HWND window, UINT message, WPARAM wParam, Painter paint) {
  if (message == WM_PRINTCLIENT) {
    paint(reinterpret_cast<HDC>(wParam));
    return;
  }
  PAINTSTRUCT paintStruct;
  paint(BeginPaint(window, &paintStruct));
  EndPaint(window, &paintStruct);
}

void DrawTriangle(HDC dc, POINT a, POINT b, POINT c) {
  const POINT corners[] = {a, b, c};
  Polygon(dc, corners, 3);
}

void PaintList(HWND window, HDC dc, ElemList& list) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  for (const ListRow& row : list.Rows()) {
    const int y = row.y;
    Rectangle(dc, 2, y + 2, 13, y + 13);
    if (row.enabled) {
      MoveToEx(dc, 2, y + 2, nullptr);
      LineTo(dc, 13, y + 13);
      MoveToEx(dc, 12, y + 2, nullptr);
      LineTo(dc, 1, y + 13);
    }
    MoveToEx(dc, 14, y, nullptr);
    LineTo(dc, 14, y + kRowHeight);
    TextOutA(dc, 16, y + 1, row.name.c_str(), static_cast<int>(row.name.size()));
    MoveToEx(dc, 0, y + kRowHeight, nullptr);
    LineTo(dc, client.right, y + kRowHeight);
    if (row.selected) {
      RECT inverted{15, y + 1, client.right, y + kRowHeight};
      InvertRect(dc, &inverted);
    }
  }
  if (const auto y = list.DropLineY()) {
    MoveToEx(dc, 15, *y, nullptr);
    LineTo(dc, list.width() - 1, *y);
  }
}

void PaintSlider(HWND window, HDC dc, WinSlider& slider) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const bool enabled = slider.enabled();
  SelectObject(dc, enabled ? GetStockObject(BLACK_PEN) : FrontEnd().greyPen());
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, enabled ? RGB(0, 0, 0) : kDisabledInk);
  SetBkMode(dc, TRANSPARENT);
  const int length = slider.trackLength();
  const int place = slider.ThumbPlace();
  if (slider.Vertical()) {
    MoveToEx(dc, 0, kSliderTrackInset, nullptr);
    LineTo(dc, 0, kSliderTrackInset + length);
    const int y = kSliderTrackInset + place;
    if (enabled) DrawTriangle(dc, {2, y}, {7, y - 5}, {7, y + 5});
  } else {
    const int line = slider.Labelled() ? 13 : 0;
    const int tip = slider.Labelled() ? 15 : 2;
    MoveToEx(dc, kSliderTrackInset, line, nullptr);
    LineTo(dc, kSliderTrackInset + length, line);
    const int x = kSliderTrackInset + place;
    if (enabled) DrawTriangle(dc, {x, tip}, {x + 5, tip + 5}, {x - 5, tip + 5});
    if (slider.Labelled()) {
      const std::string text = slider.LabelLine();
      TextOutA(dc, 5, 0, text.c_str(), static_cast<int>(text.size()));
    }
  }
}

void PaintColorbox(HWND window, HDC dc, Colorbox& box) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (box.enabled()) {
    HBRUSH fill = CreateSolidBrush(box.colour());
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, 1, 14, 40, 31);  // a one-pixel shadow at the right and bottom
    Rectangle(dc, 0, 13, 39, 30);
    SelectObject(dc, oldBrush);
    DeleteObject(fill);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 0, 0, box.label().c_str(), static_cast<int>(box.label().size()));
  } else {
    HPEN grey = CreatePen(PS_SOLID, 1, kDisabledBox);
    HGDIOBJ oldPen = SelectObject(dc, grey);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 13, 39, 30);
    SelectObject(dc, oldPen);
    DeleteObject(grey);
  }
}

void PaintPreview(HWND, HDC dc, PreviewPanel& preview) {
  const DisplayImage image = preview.Displayed();
  const int32_t width = DibWidth(image.info.data());
  const int32_t height = DibHeight(image.info.data());
  // A half-size image during a fast drag fills the window all the same.
  StretchDIBits(dc, 0, 0, kPreviewWidth, kPreviewHeight, 0, 0, width,
                height < 0 ? -height : height, image.bits,
                reinterpret_cast<const BITMAPINFO*>(image.info.data()),
                image.paletteIndices ? DIB_PAL_COLORS : DIB_RGB_COLORS, SRCCOPY);
}

LRESULT CALLBACK ElemListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (KeepModel(window, message, lParam)) return DefWindowProcA(window, message, wParam, lParam);
  ElemList* list = ModelOf<ElemList>(window);
  if (!list) return DefWindowProcA(window, message, wParam, lParam);
  Win32FrontEnd& frontEnd = FrontEnd();
  switch (message) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintWith(window, message, wParam, [&](HDC dc) { PaintList(window, dc, *list); });
      return 0;
    case WM_LBUTTONDOWN:
      frontEnd.PlaceList();
      list->MouseDown(MousePoint(lParam));
      if (list->dragging()) SetCapture(window);
      return 0;
    case WM_MOUSEMOVE:
      if (!list->dragging()) break;
      list->MouseMove(MousePoint(lParam), ButtonDown(wParam));
      if (!list->dragging()) {
        if (GetCapture() == window) ReleaseCapture();
        break;
      }
      SetCursor(list->cursor() == DragCursor::Forbidden ? LoadCursorA(nullptr, IDC_NO)
                                                        : frontEnd.dragCursor());
      return 0;
    case WM_LBUTTONUP:
      list->MouseUp(MousePoint(lParam));
      if (GetCapture() == window) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      if (CaptureTakenFrom(window, lParam)) list->CaptureLost();
      return 0;
    case WM_LBUTTONDBLCLK:
      list->DoubleClick(MousePoint(lParam));
      return 0;
    case WM_VSCROLL: {
      ScrollRequest request = ScrollRequest::Other;
      switch (LOWORD(wParam)) {
        case SB_LINEUP: request = ScrollRequest::LineUp; break;
        case SB_LINEDOWN: request = ScrollRequest::LineDown; break;
        case SB_PAGEUP: request = ScrollRequest::PageUp; break;
        case SB_PAGEDOWN: request = ScrollRequest::PageDown; break;
        case SB_THUMBPOSITION: request = ScrollRequest::ThumbPosition; break;
        case SB_THUMBTRACK: request = ScrollRequest::ThumbTrack; break;
        default: break;
      }
      list->Scroll(request, HIWORD(wParam));
      return 0;
    }
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK SliderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (KeepModel(window, message, lParam)) return DefWindowProcA(window, message, wParam, lParam);
  WinSlider* slider = ModelOf<WinSlider>(window);
  if (!slider) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintWith(window, message, wParam, [&](HDC dc) { PaintSlider(window, dc, *slider); });
      return 0;
    case WM_LBUTTONDOWN:
      slider->MouseDown(MousePoint(lParam));
      if (slider->dragging()) SetCapture(window);
      return 0;
    case WM_MOUSEMOVE:
      if (!slider->dragging()) return 0;
      slider->MouseMove(MousePoint(lParam), ButtonDown(wParam));
      if (!slider->dragging() && GetCapture() == window) ReleaseCapture();
      return 0;
    case WM_LBUTTONUP:
      slider->MouseUp();
      if (GetCapture() == window) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      if (CaptureTakenFrom(window, lParam)) slider->CaptureLost();
      return 0;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ColorboxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (KeepModel(window, message, lParam)) return DefWindowProcA(window, message, wParam, lParam);
  Colorbox* box = ModelOf<Colorbox>(window);
  if (!box) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintWith(window, message, wParam, [&](HDC dc) { PaintColorbox(window, dc, *box); });
      return 0;
    case WM_LBUTTONDOWN:
      box->Click();
      return 0;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (KeepModel(window, message, lParam)) return DefWindowProcA(window, message, wParam, lParam);
  PreviewPanel* preview = ModelOf<PreviewPanel>(window);
  if (!preview) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintWith(window, message, wParam, [&](HDC dc) { PaintPreview(window, dc, *preview); });
      return 0;
    case WM_LBUTTONDOWN:
      SetCapture(window);
      preview->ImageMouseDown(MousePoint(lParam));
      return 0;
    case WM_MOUSEMOVE:
      preview->ImageMouseMove(MousePoint(lParam), ButtonDown(wParam));
      if (!ButtonDown(wParam) && GetCapture() == window) ReleaseCapture();
      return 0;
    case WM_LBUTTONUP:
      preview->ImageMouseUp();
      if (GetCapture() == window) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      if (CaptureTakenFrom(window, lParam)) preview->ImageCaptureLost();
      return 0;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// ------------------------------------------------------------ the dialog

void Win32FrontEnd::Initialise(HWND dialog) {
  dialog_ = dialog;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - kEditorWidth) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - kEditorHeight) / 2, kEditorWidth, kEditorHeight,
               SWP_NOZORDER);
  for (const DialogControl& control : DialogControls()) {
    HWND item = GetDlgItem(dialog, control.id);
    if (!item) continue;
    const UINT flags = SWP_NOZORDER | (control.place.Width() > 0 ? 0 : SWP_NOSIZE);
    SetWindowPos(item, nullptr, control.place.left, control.place.top, control.place.Width(),
                 control.place.Height(), flags);
    // The two option check boxes show only for an element that uses them.
    if (control.id != ids::kAnamorphic && control.id != ids::kOption) ShowWindow(item, SW_SHOW);
  }
  SetFocus(GetDlgItem(dialog, ids::kOk));
  editor_->Open();
  PlaceList();
}

void Win32FrontEnd::DrawCompareButton(const DRAWITEMSTRUCT& item) {
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  if (HBITMAP bitmap = compareBitmap(pressed)) {
    HDC memory = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(memory, bitmap);
    StretchBlt(item.hDC, 0, 0, kCompareSide, kCompareSide, memory, 0, 0, kCompareSide,
               kCompareSide, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  editor_->CompareButtonDrawn(pressed);
}

INT_PTR CALLBACK Win32FrontEnd::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<Win32FrontEnd*>(lParam);
    self->Initialise(dialog);
    self->FinishIfEnded();  // a failure while opening has ended it
    return FALSE;           // the focus is set
  }
  auto* self = reinterpret_cast<Win32FrontEnd*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!self || !self->editor_) return FALSE;
  LensEditor& editor = *self->editor_;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == ids::kAnamorphic || id == ids::kOption) {
        editor.Command(id, IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0);
      } else if (id == ids::kFastDrags) {
        editor.SetFastDrags(IsDlgButtonChecked(dialog, id) == BST_CHECKED);
      } else if (id == ids::kAddIcon || id == ids::kDeleteIcon) {
        if (HIWORD(wParam) == STN_CLICKED) editor.Command(id);
      } else if (id != ids::kCompare) {
        editor.Command(id);
      }
      self->FinishIfEnded();
      return TRUE;
    }
    case WM_CLOSE:
      editor.RequestClose();
      self->FinishIfEnded();
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != ids::kCompare) return FALSE;
      self->DrawCompareButton(*item);
      return TRUE;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && self->palette_) {
        HDC dc = GetDC(dialog);
        SelectPalette(dc, self->palette_, FALSE);
        if (RealizePalette(dc) > 0) InvalidateRect(dialog, nullptr, TRUE);
        ReleaseDC(dialog, dc);
      }
      return FALSE;
    case WM_DESTROY:
      editor.Close();
      return FALSE;
    default: return FALSE;
  }
}

bool Win32FrontEnd::Register(const char* name, WNDPROC procedure, UINT style) {
  WNDCLASSA existing;
  if (GetClassInfoA(ThisModule(), name, &existing)) return true;
  WNDCLASSA c{};
  c.style = style;
  c.lpfnWndProc = procedure;
  c.hInstance = ThisModule();
  c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  c.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  c.lpszClassName = name;
  return RegisterClassA(&c) != 0;
}

HWND Win32FrontEnd::Create(const char* className, int id, Rect place, DWORD style, void* model) {
  HWND window = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, place.left,
                                place.top, place.Width(), place.Height(), dialog_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(),
                                model);
  if (window) windows_[id] = window;
  return window;
}

bool Win32FrontEnd::Acquire(EditorResource resource, int id, void* model) {
  switch (resource) {
    case EditorResource::Palette: {
      // Entry j stands for entry j of the system palette.
      struct {
        WORD version, count;
        PALETTEENTRY entries[256];
      } logical{0x300, 256, {}};
      for (int j = 0; j < 256; ++j) {
        logical.entries[j] = {static_cast<BYTE>(j), 0, 0, PC_EXPLICIT};
      }
      palette_ = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
      return palette_ != nullptr;
    }
    case EditorResource::SliderClass:
      greyPen_ = CreatePen(PS_SOLID, 1, kDisabledInk);
      return Register(kSliderClass, &SliderProc, 0);
    case EditorResource::ColorboxClass: return Register(kColorboxClass, &ColorboxProc, 0);
    case EditorResource::ElemListClass:
      dragCursor_ = LoadCursorA(ThisModule(), MAKEINTRESOURCEA(ids::kDragCursor));
      return Register(kElemListClass, &ElemListProc, CS_DBLCLKS);
    case EditorResource::PreviewClass:
      return Register(kPreviewClass, &PreviewProc, CS_BYTEALIGNCLIENT | CS_OWNDC);
    case EditorResource::ElemListWindow:
      return Create(kElemListClass, id, kListPlace, WS_BORDER | WS_VSCROLL, model) != nullptr;
    case EditorResource::PreviewWindow: {
      HWND preview = Create(kPreviewClass, id, kPreviewPlace, 0, model);
      if (preview && palette_) SelectPalette(GetDC(preview), palette_, FALSE);  // its own DC
      return preview != nullptr;
    }
    case EditorResource::SliderWindow:
      return Create(kSliderClass, id, static_cast<WinSlider*>(model)->place(), 0, model) !=
             nullptr;
    case EditorResource::ColorboxWindow:
      return Create(kColorboxClass, id, static_cast<Colorbox*>(model)->place(), 0, model) !=
             nullptr;
    case EditorResource::ButtonBitmaps:
      compareUp_ = static_cast<HBITMAP>(
          LoadImageA(ThisModule(), MAKEINTRESOURCEA(ids::kCompareUpBitmap), IMAGE_BITMAP, 0, 0, 0));
      compareDown_ = static_cast<HBITMAP>(LoadImageA(
          ThisModule(), MAKEINTRESOURCEA(ids::kCompareDownBitmap), IMAGE_BITMAP, 0, 0, 0));
      return compareUp_ && compareDown_;
  }
  return false;
}

void Win32FrontEnd::Release(EditorResource resource, int id) {
  switch (resource) {
    case EditorResource::Palette:
      DeleteObject(palette_);
      palette_ = nullptr;
      break;
    case EditorResource::SliderClass:
      UnregisterClassA(kSliderClass, ThisModule());
      DeleteObject(greyPen_);
      greyPen_ = nullptr;
      break;
    case EditorResource::ColorboxClass: UnregisterClassA(kColorboxClass, ThisModule()); break;
    case EditorResource::ElemListClass: UnregisterClassA(kElemListClass, ThisModule()); break;
    case EditorResource::PreviewClass: UnregisterClassA(kPreviewClass, ThisModule()); break;
    case EditorResource::ElemListWindow:
    case EditorResource::PreviewWindow:
    case EditorResource::SliderWindow:
    case EditorResource::ColorboxWindow:
      if (HWND window = Window(id)) {
        DestroyWindow(window);
        windows_.erase(id);
      }
      break;
    case EditorResource::ButtonBitmaps:
      DeleteObject(compareUp_);
      DeleteObject(compareDown_);
      compareUp_ = compareDown_ = nullptr;
      break;
  }
}

void Win32FrontEnd::Redraw(EditorArea area, int id) {
  if (!dialog_) return;
  HWND window = nullptr;
  switch (area) {
    case EditorArea::Dialog: window = dialog_; break;
    case EditorArea::List:
      PlaceList();
      window = Window(ids::kElemList);
      break;
    case EditorArea::Preview: window = Window(ids::kPreviewWnd); break;
    case EditorArea::Slider:
    case EditorArea::Colorbox: window = Window(id); break;
    case EditorArea::CheckBoxes:
      for (int which : {1, 2}) {
        const PanelCheckBox& box = editor_->panel().checkBox(which);
        SetDlgItemTextA(dialog_, box.id, box.label.c_str());
        CheckDlgButton(dialog_, box.id, box.checked ? BST_CHECKED : BST_UNCHECKED);
        ShowWindow(GetDlgItem(dialog_, box.id), box.shown ? SW_SHOW : SW_HIDE);
      }
      return;
  }
  if (!window) return;
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);  // at once: drags give direct feedback
}

std::optional<std::string> Win32FrontEnd::ChooseFile(std::span<const FileFilter> filters,
                                                     bool save) {
  std::string filter;
  for (const FileFilter& f : filters) {
    filter.append(f.description).push_back('\0');
    filter.append(f.pattern).push_back('\0');
  }
  char name[kFileNameLength] = "";
  OPENFILENAMEA chooser{};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = dialog_;
  chooser.lpstrFilter = filter.c_str();
  chooser.nFilterIndex = 1;
  chooser.lpstrFile = name;
  chooser.nMaxFile = sizeof name;
  chooser.Flags = save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST
                       : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  const BOOL chosen = save ? GetSaveFileNameA(&chooser) : GetOpenFileNameA(&chooser);
  if (!chosen) return std::nullopt;
  return std::string(name);
}

// The name window and the "Slider Control" window: texts in, one edit
// field's text out.
INT_PTR CALLBACK Win32FrontEnd::TextWindowProc(HWND dialog, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const auto* exchange = reinterpret_cast<const TextExchange*>(lParam);
      if (const SliderControlTexts* texts = exchange->texts) {
        SetDlgItemTextA(dialog, ids::kSliderControlTitle, texts->title.c_str());
        SetDlgItemTextA(dialog, ids::kSliderControlMinimum, texts->minimum.c_str());
        SetDlgItemTextA(dialog, ids::kSliderControlMaximum, texts->maximum.c_str());
      }
      SetDlgItemTextA(dialog, exchange->editId, exchange->start.c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* exchange = reinterpret_cast<TextExchange*>(GetWindowLongPtrA(dialog, DWLP_USER));
        char text[kMaxNameLength + 1] = "";  // 62 characters at most, in either window
        GetDlgItemTextA(dialog, exchange->editId, text, sizeof text);
        exchange->result = text;
        EndDialog(dialog, IDOK);
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);  // Cancel, or the close box
      }
      return TRUE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK Win32FrontEnd::AddElementProc(HWND dialog, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  auto* window = reinterpret_cast<AddElementWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      window = reinterpret_cast<AddElementWindow*>(lParam);
      const Point place = window->position();
      SetWindowPos(dialog, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      for (int i = 0; i < AddElementWindow::kEntries; ++i) {
        SendDlgItemMessageA(dialog, ids::kAddElementList, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(AddElementWindow::Entry(i)));
      }
      SendDlgItemMessageA(dialog, ids::kAddElementList, LB_SETCURSEL, window->selection(), 0);
      EnableWindow(GetDlgItem(dialog, ids::kAddElementUndo), FALSE);
      SetFocus(GetDlgItem(dialog, ids::kAddElementClose));
      return FALSE;
    }
    case WM_COMMAND: {
      if (!window) return FALSE;
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == ids::kAddElementList && code == LBN_SELCHANGE) {
        window->Select(static_cast<int>(
            SendDlgItemMessageA(dialog, ids::kAddElementList, LB_GETCURSEL, 0, 0)));
      } else if ((id == ids::kAddElementList && code == LBN_DBLCLK) ||
                 id == ids::kAddElementAdd || id == IDOK) {
        window->Add();
      } else if (id == ids::kAddElementUndo) {
        window->Undo();
      } else if (id == ids::kAddElementClose || id == IDCANCEL) {
        RECT r;
        GetWindowRect(dialog, &r);
        window->Close({r.left, r.top});
        EndDialog(dialog, 0);
        return TRUE;
      }
      EnableWindow(GetDlgItem(dialog, ids::kAddElementUndo), window->undoEnabled());
      return TRUE;
    }
    default: return FALSE;
  }
}

Win32FrontEnd& FrontEnd() {
  static Win32FrontEnd frontEnd;
  return frontEnd;
}

}  // namespace

EditorFrontEnd& ModuleFrontEnd() { return FrontEnd(); }

}  // namespace gw
