#include "editor/element_list.h"

#include <algorithm>

#include "lens/control_ids.h"
#include "lens/element_types.h"

namespace gw {
namespace {

constexpr int kOfferedTypes = 7;  // entries 0-6 are types 0-6; 7 and 8 are never offered

const MessageBoxRequest kLimitAlert{"Maximum Number of Elements Reached.", "Alert",
                                    MessageIcon::Exclamation, MessageButtons::Ok};

}  // namespace

// ------------------------------------------------------------ add-element window

AddElementWindow::AddElementWindow(ElemList& list) : list_(list) {}

const char* AddElementWindow::Entry(int i) {
  const auto types = ElementTypes();
  return i >= 0 && i < kEntries ? types[static_cast<size_t>(i)].listName : "";
}

int16_t AddElementWindow::TypeOf(int entry) {
  return static_cast<int16_t>(entry < kOfferedTypes ? entry : entry + 2);
}

void AddElementWindow::Select(int entry) {
  if (entry < 0 || entry >= kEntries || entry == selection_) return;
  selection_ = entry;
  undoEnabled_ = false;
}

void AddElementWindow::Add() {
  const int before = list_.count();
  list_.Add(selection_);
  // "X" takes back an add that happened, never one the limit refused.
  undoEnabled_ = list_.count() != before;
}

void AddElementWindow::Undo() {
  if (!undoEnabled_) return;
  list_.DeleteSelected();
  undoEnabled_ = false;
}

Point AddElementWindow::position() const { return list_.addWindowPosition_; }

void AddElementWindow::Close(Point windowPosition) { list_.addWindowPosition_ = windowPosition; }

// ------------------------------------------------------------ list

ElemList::ElemList(LensDocument& document, DialogSink& dialog, EditorFrontEnd& frontEnd)
    : document_(document), dialog_(dialog), frontEnd_(frontEnd) {
  // Until the front-end says where things lie on the screen, the dialog's own
  // coordinates stand for it.
  SetClientSize(width_, height_);
  SetScreenRects(Rect::At(clientOrigin_.x, clientOrigin_.y, width_, height_),
                 Rect::At(kAddIconPlace.x, kAddIconPlace.y, 32, 24),
                 Rect::At(kDeleteIconPlace.x, kDeleteIconPlace.y, 32, 24));
}

EditorStatus ElemList::Create() {
  classRegistered_ = frontEnd_.Acquire(EditorResource::ElemListClass, 0, this);
  windowCreated_ =
      classRegistered_ && frontEnd_.Acquire(EditorResource::ElemListWindow, ids::kElemList, this);
  if (!windowCreated_) return EditorStatus::NoWindow;
  document_.Select(-1);
  top_ = 0;
  indicatorRow_ = -1;
  scrollMax_ = std::max(0, count() - 1);
  return EditorStatus::Ok;
}

void ElemList::Destroy() {
  if (windowCreated_) frontEnd_.Release(EditorResource::ElemListWindow, ids::kElemList);
  if (classRegistered_) frontEnd_.Release(EditorResource::ElemListClass, 0);
  windowCreated_ = classRegistered_ = false;
}

void ElemList::SetClientSize(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
  visibleRows_ = std::max(0, height / kRowHeight);
}

void ElemList::SetScreenRects(Rect list, Rect addIcon, Rect deleteIcon) {
  listRect_ = list;
  clientOrigin_ = {list.left, list.top};
  addIconRect_ = addIcon;
  deleteIconRect_ = deleteIcon;
}

std::vector<ListRow> ElemList::Rows() const {
  std::vector<ListRow> rows;
  const int last = std::min(top_ + visibleRows_, count() - 1);
  for (int i = top_; i <= last; ++i) {
    const LensElement& e = *document_.element(i);
    rows.push_back({i, (i - top_) * kRowHeight, e.enabled != 0, i == selection(),
                    std::string(ElementName(e))});
  }
  return rows;
}

std::optional<int32_t> ElemList::DropLineY() const {
  if (indicatorRow_ < 0) return std::nullopt;
  const int s = selection() - top_;
  if (indicatorRow_ < s) return kRowHeight * indicatorRow_ + 1;
  if (indicatorRow_ > s) return kRowHeight * indicatorRow_ + 14;
  return std::nullopt;
}

// ------------------------------------------------------------ pointer

void ElemList::MouseDown(Point p) {
  const int index = top_ + p.y / kRowHeight;
  if (index >= count() || index < 0) {
    document_.Select(-1);
    NotifySelected();
    Redraw();
  } else if (p.x >= kCheckBoxRight) {
    dragging_ = true;  // the window system captures the mouse until the release
    document_.Select(index);
    Redraw();
    NotifySelected();
  } else {
    document_.SetEnabled(index, document_.element(index)->enabled == 0);
    Redraw();
    NotifyChanged();
  }
}

ElemList::DropTarget ElemList::TargetOf(Point client) const {
  const Point screen{client.x + clientOrigin_.x, client.y + clientOrigin_.y};
  if (listRect_.Contains(screen)) return DropTarget::List;
  if (addIconRect_.Contains(screen)) return DropTarget::AddIcon;
  if (deleteIconRect_.Contains(screen)) return DropTarget::DeleteIcon;
  return DropTarget::Elsewhere;
}

int ElemList::TargetRow(Point client) const {
  return std::min(client.y / kRowHeight, count() - 1 - top_);
}

void ElemList::MouseMove(Point p, bool buttonDown) {
  if (!dragging_) return;
  if (!buttonDown) return CaptureLost();
  switch (TargetOf(p)) {
    case DropTarget::List:
      cursor_ = DragCursor::Drag;
      indicatorRow_ = TargetRow(p);
      break;
    case DropTarget::AddIcon:
      indicatorRow_ = -1;
      cursor_ = DragCursor::Drag;
      break;
    case DropTarget::DeleteIcon:
      cursor_ = DragCursor::Drag;
      break;
    case DropTarget::Elsewhere:
      if (p.y > kListHeight) {
        Scroll(ScrollRequest::LineDown);
        cursor_ = DragCursor::Drag;
      } else if (p.y < 0) {
        Scroll(ScrollRequest::LineUp);
        cursor_ = DragCursor::Drag;
      } else {
        indicatorRow_ = -1;
        cursor_ = DragCursor::Forbidden;
      }
      break;
  }
  frontEnd_.Redraw(EditorArea::List);
}

void ElemList::MouseUp(Point p) {
  if (!dragging_) return;
  switch (TargetOf(p)) {
    case DropTarget::List: Move(selection(), top_ + TargetRow(p)); break;
    case DropTarget::AddIcon: DuplicateSelected(); break;
    case DropTarget::DeleteIcon: DeleteSelected(); break;
    case DropTarget::Elsewhere: break;
  }
  indicatorRow_ = -1;
  dragging_ = false;
  cursor_ = DragCursor::Arrow;
  Redraw();
}

void ElemList::CaptureLost() {
  if (!dragging_) return;
  indicatorRow_ = -1;
  dragging_ = false;
  cursor_ = DragCursor::Arrow;
  Redraw();
}

void ElemList::DoubleClick(Point p) {
  const int index = top_ + p.y / kRowHeight;
  if (index < 0 || index >= count() || selection() < 0) return;
  const auto text = frontEnd_.EditName(ElementName(*document_.element(selection())));
  if (!text) return;
  RenameSelected(*text);
  Redraw();
}

void ElemList::Scroll(ScrollRequest request, int position) {
  const int rows = count();
  switch (request) {
    case ScrollRequest::LineUp: SetTop(std::max(top_ - 1, 0)); break;
    case ScrollRequest::LineDown: SetTop(std::min(top_ + 1, rows - visibleRows_)); break;
    case ScrollRequest::PageUp: SetTop(top_ - std::min(visibleRows_, top_)); break;
    case ScrollRequest::PageDown: SetTop(top_ + std::min(visibleRows_, rows - top_)); break;
    case ScrollRequest::ThumbPosition: SetTop(position); break;
    case ScrollRequest::ThumbTrack:
      if (position == lastTracked_) return;
      lastTracked_ = position;
      SetTop(position);
      break;
    case ScrollRequest::Other: break;
  }
  Redraw();
}

// The scroll bar keeps its position within 0 .. count - visible rows.
void ElemList::SetTop(int top) {
  scrollMax_ = std::max(0, count() - 1);
  top_ = std::clamp(top, 0, std::max(0, count() - visibleRows_));
}

void ElemList::ScrollToEnd() { SetTop(count() - visibleRows_); }

// ------------------------------------------------------------ edits

bool ElemList::Full() const {
  if (!document_.full()) return false;
  frontEnd_.ShowMessage(kLimitAlert);
  return true;
}

void ElemList::Select(int index) {
  document_.Select(index);
  Redraw();
  NotifySelected();
}

void ElemList::Move(int from, int to) {
  if (from < 0 || from >= count() || to < 0 || to >= count()) return;
  document_.Move(from, to);  // the selection goes with the moved element
  Redraw();
}

void ElemList::DuplicateSelected() {
  if (selection() < 0 || Full()) return;
  document_.Duplicate(selection());
  ScrollToEnd();
  Redraw();
  NotifySelected();
  NotifyChanged();
}

void ElemList::DeleteSelected() {
  if (selection() < 0) return;
  document_.Delete(selection());
  ScrollToEnd();
  NotifySelected();
  Redraw();
  NotifyChanged();
}

void ElemList::Add(int entry) {
  if (entry < 0 || entry >= AddElementWindow::kEntries || Full()) return;
  document_.Add(static_cast<ElementType>(AddElementWindow::TypeOf(entry)));
  ScrollToEnd();
  NotifySelected();
  Redraw();
  NotifyChanged();
}

void ElemList::RenameSelected(std::string_view text) { document_.Rename(selection(), text); }

void ElemList::OpenAddWindow() {
  AddElementWindow window(*this);
  frontEnd_.RunAddElementWindow(window);
}

void ElemList::ResetAfterLoad() {
  top_ = 0;
  document_.Select(-1);
  scrollMax_ = std::max(0, count() - 1);
  frontEnd_.Redraw(EditorArea::Dialog);
  Redraw();
  NotifySelected();
  NotifyChanged();
}

void ElemList::Redraw() { frontEnd_.Redraw(EditorArea::List); }
void ElemList::NotifySelected() { dialog_.Message(ids::kElementSelected, selection()); }
void ElemList::NotifyChanged() { dialog_.Command(ids::kElemList, 1); }

}  // namespace gw
