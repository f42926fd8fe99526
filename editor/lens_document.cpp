#include "editor/lens_document.h"

#include <algorithm>
#include <cstring>

#include "lensfile/lensfile.h"
#include "render/numeric.h"

namespace gw {
namespace {

bool SameElement(const LensElement& a, const LensElement& b) {
  return std::memcmp(&a, &b, sizeof(LensElement)) == 0;
}

// The same elements in the same order (bytes of unused slots aside).
bool SameElements(const Lens& a, const Lens& b) {
  const uint32_t n = UsableCount(a);
  if (n != UsableCount(b)) return false;
  return std::memcmp(a.elements, b.elements, sizeof(LensElement) * n) == 0;
}

}  // namespace

LensDocument::LensDocument(const Lens& lens)
    : lens_(lens), saved_(std::make_unique<Lens>(lens)) {}

const LensElement* LensDocument::element(int index) const {
  return index >= 0 && index < count() ? &lens_.elements[index] : nullptr;
}

LensElement* LensDocument::Editable(int index) {
  return index >= 0 && index < count() ? &lens_.elements[index] : nullptr;
}

int LensDocument::AddListener(Listener listener) {
  listeners_.emplace_back(nextListener_, std::move(listener));
  return nextListener_++;
}

void LensDocument::RemoveListener(int id) {
  std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void LensDocument::Notify(const LensChange& change) {
  // A listener may add or remove listeners: walk a copy.
  const auto listeners = listeners_;
  for (const auto& [id, listener] : listeners) listener(change);
}

void LensDocument::Keep(std::deque<std::unique_ptr<State>>& steps) const {
  steps.push_back(std::make_unique<State>(State{lens_, selection_}));
  if (steps.size() > kUndoSteps) steps.pop_front();
}

void LensDocument::Record() {
  redo_.clear();
  if (gestureDepth_ > 0 && gestureRecorded_) return;
  gestureRecorded_ = gestureDepth_ > 0;
  Keep(undo_);
}

void LensDocument::BeginGesture() { ++gestureDepth_; }

void LensDocument::EndGesture() {
  if (gestureDepth_ == 0) return;
  if (--gestureDepth_ == 0) gestureRecorded_ = false;
}

void LensDocument::Select(int index) {
  const int selection = index >= 0 && index < count() ? index : -1;
  if (selection == selection_) return;
  selection_ = selection;
  Notify({LensChangeKind::Selection, selection_});
}

bool LensDocument::Add(ElementType type) {
  if (full()) return false;
  Record();
  const int index = count();
  LensElement& e = lens_.elements[index];
  InitElement(static_cast<int16_t>(type), e);
  // A new element follows the lens's first one in being anamorphic.
  if (index > 0) e.anamorphic = lens_.elements[0].anamorphic;
  lens_.count = static_cast<uint32_t>(index + 1);
  selection_ = index;
  Notify({LensChangeKind::Elements, index});
  return true;
}

bool LensDocument::Duplicate(int index) {
  if (!element(index) || full()) return false;
  Record();
  const int copy = count();
  lens_.elements[copy] = lens_.elements[index];
  lens_.count = static_cast<uint32_t>(copy + 1);
  selection_ = copy;
  Notify({LensChangeKind::Elements, copy});
  return true;
}

void LensDocument::Delete(int index) {
  if (!element(index)) return;
  Record();
  std::memmove(&lens_.elements[index], &lens_.elements[index + 1],
               sizeof(LensElement) * static_cast<size_t>(count() - 1 - index));
  lens_.count = static_cast<uint32_t>(count() - 1);
  if (selection_ > index) --selection_;
  if (selection_ >= count()) selection_ = count() - 1;  // -1 once the lens is empty
  Notify({LensChangeKind::Elements, index});
}

void LensDocument::Move(int from, int to) {
  if (!element(from) || !element(to) || from == to) return;
  Record();
  const LensElement moved = lens_.elements[from];
  if (from > to) {
    std::memmove(&lens_.elements[to + 1], &lens_.elements[to],
                 sizeof(LensElement) * static_cast<size_t>(from - to));
  } else {
    std::memmove(&lens_.elements[from], &lens_.elements[from + 1],
                 sizeof(LensElement) * static_cast<size_t>(to - from));
  }
  lens_.elements[to] = moved;
  if (selection_ == from) {
    selection_ = to;
  } else if (from < to && selection_ > from && selection_ <= to) {
    --selection_;
  } else if (from > to && selection_ >= to && selection_ < from) {
    ++selection_;
  }
  Notify({LensChangeKind::Elements, to});
}

void LensDocument::Rename(int index, std::string_view text) {
  const LensElement* e = element(index);
  if (!e) return;
  text = text.substr(0, std::min(text.find('\0'), size_t{kMaxNameLength}));
  LensElement renamed = *e;
  renamed.name[0] = static_cast<char>(kNameMarker);
  std::memcpy(renamed.name + 1, text.data(), text.size());
  renamed.name[1 + text.size()] = '\0';  // the bytes after it stay as they are
  if (SameElement(renamed, *e)) return;
  Record();
  *Editable(index) = renamed;
  Notify({LensChangeKind::Name, index});
}

void LensDocument::SetEnabled(int index, bool on) {
  const LensElement* e = element(index);
  if (!e || (e->enabled != 0) == on) return;
  Record();
  Editable(index)->enabled = on ? 1 : 0;
  Notify({LensChangeKind::Enabled, index});
}

void LensDocument::SetNumber(int index, ElementField field, float value) {
  const LensElement* e = element(index);
  if (!e) return;
  LensElement changed = *e;
  switch (Describe(field).kind) {
    case FieldKind::Real: WriteReal(changed, field, value); break;
    case FieldKind::Whole: WriteWhole(changed, field, SaturateToI16(TruncToInt(value))); break;
    case FieldKind::Byte: WriteByte(changed, field, value != 0.0f ? 1 : 0); break;
    default: return;
  }
  if (SameElement(changed, *e)) return;
  Record();
  *Editable(index) = changed;
  Notify({LensChangeKind::Field, index, field});
}

void LensDocument::SetColour(int index, ElementField field, Rgb colour) {
  const LensElement* e = element(index);
  if (!e || Describe(field).kind != FieldKind::Colour) return;
  LensElement changed = *e;
  WriteColour(changed, field, colour);
  if (SameElement(changed, *e)) return;
  Record();
  *Editable(index) = changed;
  Notify({LensChangeKind::Field, index, field});
}

int32_t LensDocument::Load(const std::string& path, bool append) {
  Lens loaded = lens_;
  const int32_t status = LoadLensFile(path.c_str(), loaded, append);
  if (status < 0) return status;
  Record();
  lens_ = loaded;
  selection_ = -1;
  Notify({LensChangeKind::Whole});
  return status;
}

void LensDocument::Replace(const Lens& lens) {
  Record();
  lens_ = lens;
  selection_ = -1;
  Notify({LensChangeKind::Whole});
}

void LensDocument::Restore(std::deque<std::unique_ptr<State>>& from,
                           std::deque<std::unique_ptr<State>>& to) {
  if (from.empty()) return;
  Keep(to);
  lens_ = from.back()->lens;
  selection_ = from.back()->selection;
  from.pop_back();
  gestureRecorded_ = false;  // a change later in an open gesture is a step of its own
  Notify({LensChangeKind::Whole});
}

void LensDocument::Undo() { Restore(undo_, redo_); }
void LensDocument::Redo() { Restore(redo_, undo_); }

bool LensDocument::Modified() const { return !SameElements(lens_, *saved_); }

void LensDocument::MarkSaved() { *saved_ = lens_; }

}  // namespace gw
