// The lens being edited: the working lens, the selection, the typed
// operations that change them, one notice per change that says what changed,
// and undo/redo of every change. No windows, pixels or control ids: the
// Win32 dialog model and the Qt editor both edit through it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lens/element_fields.h"
#include "lens/lens.h"

namespace gw {

// What one change touched.
enum class LensChangeKind : uint8_t {
  Selection,  // only the selection
  Field,      // one field of one element (`index`, `field`)
  Name,       // one element's name (`index`)
  Enabled,    // one element switched on or off (`index`)
  Elements,   // elements added, duplicated, deleted or moved
  Whole,      // the whole lens: loaded, or a step undone or redone
};

struct LensChange {
  LensChangeKind kind;
  int index = -1;
  ElementField field = ElementField::Brightness;  // Field only

  // Whether the picture the lens draws may have changed.
  bool Redraws() const { return kind != LensChangeKind::Selection && kind != LensChangeKind::Name; }
};

class LensDocument {
 public:
  using Listener = std::function<void(const LensChange&)>;

  // Steps kept for undo; the oldest are forgotten beyond it (12 kB each).
  static constexpr size_t kUndoSteps = 500;

  explicit LensDocument(const Lens& lens);
  LensDocument(const LensDocument&) = delete;
  LensDocument& operator=(const LensDocument&) = delete;

  const Lens& lens() const { return lens_; }
  int count() const { return static_cast<int>(UsableCount(lens_)); }
  bool full() const { return lens_.count >= kMaxElements; }
  const LensElement* element(int index) const;
  // The selected element's index, or -1.
  int selection() const { return selection_; }

  // Listeners hear of every change after it is made, in the order they were
  // added. The returned number removes one again.
  int AddListener(Listener listener);
  void RemoveListener(int id);

  // Operations. Each acts on the working lens, notifies once, and is one
  // undo step (unless it changed nothing). An index out of range changes
  // nothing.
  void Select(int index);  // -1: none
  // Appends a new element with its type's defaults, anamorphic as element 0
  // when there is one, and selects it. False when the lens is full.
  bool Add(ElementType type);
  // Appends a copy of element `index` and selects it. False when full.
  bool Duplicate(int index);
  // Removes an element; the selection stays on the element it was on, or
  // on the one that takes the deleted one's place (the one before it when
  // it was the last).
  void Delete(int index);
  // Moves an element to another index; the selection follows the elements.
  void Move(int from, int to);
  // Stores marker "p" and at most 62 characters of `text` (up to a NUL);
  // the field's bytes after the terminator are left as they are.
  void Rename(int index, std::string_view text);
  void SetEnabled(int index, bool on);
  // A real, whole-number or byte field; a whole number is the value
  // truncated toward zero and held to 16 bits, a byte 1 when `value` is not 0.
  void SetNumber(int index, ElementField field, float value);
  void SetColour(int index, ElementField field, Rgb colour);
  // A lens file replacing the elements or appended to them; the status of
  // LoadLensFile, and nothing changed on a failure. The selection is cleared.
  int32_t Load(const std::string& path, bool append);
  // Any lens in place of the working one (a preset, a lens from elsewhere).
  void Replace(const Lens& lens);

  // Changes made between these two are one undo step (a slider dragged).
  // They nest; a gesture that changed nothing adds no step.
  void BeginGesture();
  void EndGesture();

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  void Undo();
  void Redo();

  // Whether the elements differ from those last marked saved (at the start:
  // the lens the document was made with).
  bool Modified() const;
  void MarkSaved();

 private:
  struct State {
    Lens lens;
    int selection;
  };

  LensElement* Editable(int index);
  void Keep(std::deque<std::unique_ptr<State>>& steps) const;
  // Called before a change: keeps the state to undo to (once per gesture)
  // and forgets what could be redone.
  void Record();
  void Notify(const LensChange& change);
  void Restore(std::deque<std::unique_ptr<State>>& from, std::deque<std::unique_ptr<State>>& to);

  Lens lens_;
  int selection_ = -1;
  std::unique_ptr<Lens> saved_;
  std::deque<std::unique_ptr<State>> undo_;
  std::deque<std::unique_ptr<State>> redo_;
  int gestureDepth_ = 0;
  bool gestureRecorded_ = false;
  std::vector<std::pair<int, Listener>> listeners_;
  int nextListener_ = 1;
};

}  // namespace gw
