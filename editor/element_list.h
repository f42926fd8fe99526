// The element list: one row per element of the working lens, with a check
// box that switches the element on and off and its name; rows are selected,
// dragged to a new place, onto the add icon (duplicate) or the delete icon.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/front_end.h"
#include "editor/geometry.h"
#include "editor/lens_document.h"

namespace gw {

inline constexpr int kRowHeight = 15;
inline constexpr int kCheckBoxRight = 14;  // a press left of this is on the check box
inline constexpr int kListHeight = 218;    // the list window's height, for drag scrolling
inline constexpr Rect kListPlace = Rect::At(373, 80, 163, 218);
inline constexpr Point kAddIconPlace{405, 304};
inline constexpr Point kDeleteIconPlace{460, 304};
inline constexpr Point kElementsLabelPlace{389, 63};
inline constexpr Point kAddWindowStart{495, 370};

// Scroll-bar requests, as the window system names them.
enum class ScrollRequest : uint8_t {
  LineUp,
  LineDown,
  PageUp,
  PageDown,
  ThumbPosition,
  ThumbTrack,
  Other,
};

enum class DragCursor : uint8_t { Arrow, Drag, Forbidden };

// One visible row as it is painted.
struct ListRow {
  int index;  // element index
  int32_t y;  // top of the row in the list window
  bool enabled;
  bool selected;
  std::string name;
};

class ElemList;

// The add-element window's state: its list of types, its selection, whether
// "X" may take back the last add, and where it stands on the screen.
class AddElementWindow {
 public:
  explicit AddElementWindow(ElemList& list);

  static constexpr int kEntries = 19;
  // The entries in list order: "GlowBall" .. "Chroma Fan".
  static const char* Entry(int i);
  // Entries 0-6 are types 0-6, entries 7-18 types 9-20.
  static int16_t TypeOf(int entry);

  int selection() const { return selection_; }
  bool undoEnabled() const { return undoEnabled_; }
  // Where the window opens: where it stood when it was last closed.
  Point position() const;

  void Select(int entry);  // another entry: "X" disabled
  void Add();              // "Add", or a double click on the selected entry
  void Undo();             // "X": deletes the element just added
  void Close(Point windowPosition);  // "Close": remembers where it stood

 private:
  ElemList& list_;
  int selection_ = 0;
  bool undoEnabled_ = false;
};

class ElemList {
 public:
  ElemList(LensDocument& document, DialogSink& dialog, EditorFrontEnd& frontEnd);

  // Window-system part; Ok or NoWindow. The client area's size and where the
  // list, the add icon and the delete icon lie on the screen (the three drop
  // targets) are set by the front-end once it has placed them.
  EditorStatus Create();
  void Destroy();
  void SetClientSize(int32_t width, int32_t height);
  void SetScreenRects(Rect list, Rect addIcon, Rect deleteIcon);

  int selection() const { return document_.selection(); }
  int top() const { return top_; }
  int visibleRows() const { return visibleRows_; }
  int32_t width() const { return width_; }
  int indicatorRow() const { return indicatorRow_; }
  bool dragging() const { return dragging_; }
  DragCursor cursor() const { return cursor_; }
  Point addWindowPosition() const { return addWindowPosition_; }
  // The scroll bar: range 0..max, page, position.
  int scrollMax() const { return scrollMax_; }
  int scrollPage() const { return visibleRows_; }
  int scrollPosition() const { return top_; }

  // Rows top .. min(top + visible rows, count - 1), the last one partly visible.
  std::vector<ListRow> Rows() const;
  // The drop line's y in the list window, when one is drawn (x 15 to width - 1).
  std::optional<int32_t> DropLineY() const;

  // The pointer, in list client coordinates. A move with the button no
  // longer down, or the mouse taken away by the window system, ends a drag
  // without dropping: the release happened somewhere unseen.
  void MouseDown(Point p);
  void MouseMove(Point p, bool buttonDown = true);
  void MouseUp(Point p);
  void CaptureLost();
  void DoubleClick(Point p);
  void Scroll(ScrollRequest request, int position = 0);

  // Structural edits (each with its own rules for selection and scrolling).
  void Select(int index);
  void Move(int from, int to);
  void DuplicateSelected();
  void DeleteSelected();
  void Add(int entry);
  void RenameSelected(std::string_view text);
  void OpenAddWindow();
  void ResetAfterLoad();

 private:
  friend class AddElementWindow;
  enum class DropTarget : uint8_t { List, AddIcon, DeleteIcon, Elsewhere };

  int count() const { return document_.count(); }
  bool Full() const;  // shows the limit alert when the lens holds 100
  DropTarget TargetOf(Point client) const;
  int TargetRow(Point client) const;
  void SetTop(int top);
  void ScrollToEnd();
  void Redraw();
  void NotifySelected();
  void NotifyChanged();

  LensDocument& document_;
  DialogSink& dialog_;
  EditorFrontEnd& frontEnd_;
  int top_ = 0;
  int scrollMax_ = 0;
  int lastTracked_ = -1;
  int visibleRows_ = 14;
  int32_t width_ = 145;
  int32_t height_ = 216;
  int indicatorRow_ = -1;
  bool dragging_ = false;
  DragCursor cursor_ = DragCursor::Arrow;
  Point clientOrigin_ = {kListPlace.left + 1, kListPlace.top + 1};  // screen
  Rect listRect_;
  Rect addIconRect_;
  Rect deleteIconRect_;
  Point addWindowPosition_ = kAddWindowStart;
  bool classRegistered_ = false;
  bool windowCreated_ = false;
};

}  // namespace gw
