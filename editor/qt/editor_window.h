// The Lens Editor on Qt 6: a window of its own on the lens document. The
// element list on the left, the preview and the selected element's
// parameters on the right, menus and a tool bar for adding, loading,
// appending and saving, undo and redo, and OK and Cancel. OK keeps the lens
// in the session's file; nothing the user has not seen is ever written.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "editor/lens_document.h"
#include "editor/preview_render.h"

class QAction;
class QDoubleSpinBox;
class QLabel;
class QListView;
class QSpinBox;
class QSplitter;
class QToolButton;

namespace gw::qt {

class ElementListModel;
class ParameterPanel;
class PreviewView;

// What a session edits and where OK keeps the lens.
struct EditSession {
  std::string file{};     // the lens file OK writes; empty: asked when OK is pressed
  QImage background{};    // the user's frame behind the flare; null: black
  int frameWidth = 1920;  // the frame's size when there is no background
  int frameHeight = 1080;
  bool rememberSize = true;  // the window's size kept between sessions
  bool replaceReadOnly = false;  // the session's file may be replaced though read-only
};

class EditorWindow final : public QMainWindow {
 public:
  enum class Outcome { Editing, Kept, Cancelled };

  EditorWindow(const Lens& lens, EditSession session, QWidget* parent = nullptr);
  ~EditorWindow() override;

  LensDocument& document() { return document_; }
  Outcome outcome() const { return outcome_; }
  // The file OK wrote the lens to.
  const std::string& keptIn() const { return session_.file; }
  // Why the session's file cannot be written, found when the window opened;
  // empty when it can.
  const QString& targetProblem() const { return targetProblem_; }

  QListView* elementList() const { return list_; }
  ParameterPanel* parameters() const { return parameters_; }
  PreviewView* preview() const { return preview_; }
  // An action of the menus by its object name ("undo", "add GlowBall", ...).
  QAction* Action(const QString& name) const;

  // OK: writes the lens to the session's file and closes; Cancel: closes,
  // asking first when something changed.
  void Ok();
  void Cancel();
  // Told once the window has closed, whatever the outcome.
  std::function<void()> finished;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class Written { Yes, Declined, Failed };

  void BuildActions();
  void BuildMenus();
  template <typename Bar>
  void AddActions(Bar* bar, std::initializer_list<const char*> names) const;
  QWidget* BuildCentre();
  QWidget* BuildPreviewControls();
  void Changed(const LensChange& change);
  void ShowSelection();
  void UpdateTitle();
  void ShowPreviewSettings();
  void SetPreviewSettings(const PreviewSettings& settings);

  // The lens as a lens file will hold it: when elements are switched off,
  // the user says whether to leave them out or keep them on (nullopt:
  // neither, go back to editing).
  std::optional<Lens> LensForFile();
  Written Write(const std::string& path, QString& reason);
  std::string ChooseFileToSave(const QString& title);
  bool SaveElsewhere(const QString& why);
  // Writes the lens to the session's file, asking for one when there is
  // none and for another when it cannot be written; whether it was written.
  bool WriteToSessionFile();
  void Save();
  void SaveCopy();
  void Load(bool append);
  void AddElement(ElementType type);
  void Duplicate();
  // Writes the lens to the session's file (or where the user says, when it
  // cannot be written there); true when the session's outcome is Kept.
  bool Keep();
  // Cancel: asks first when something changed; true when the session ends.
  bool EndWithoutOk();

  LensDocument document_;
  EditSession session_;
  QString targetProblem_;
  Outcome outcome_ = Outcome::Editing;
  int listener_ = 0;
  bool syncingSelection_ = false;

  ElementListModel* model_ = nullptr;
  QListView* list_ = nullptr;
  ParameterPanel* parameters_ = nullptr;
  PreviewView* preview_ = nullptr;
  QSplitter* sideBySide_ = nullptr;
  QSplitter* stacked_ = nullptr;
  QLabel* banner_ = nullptr;
  QLabel* lightReadout_ = nullptr;
  QSpinBox* lightX_ = nullptr;
  QSpinBox* lightY_ = nullptr;
  QDoubleSpinBox* brightness_ = nullptr;
  QDoubleSpinBox* scale_ = nullptr;
  QDoubleSpinBox* angle_ = nullptr;
  QToolButton* colour_ = nullptr;
  bool showingSettings_ = false;
};

// "name.gwr" for a name without an extension; other names as they are.
std::string WithLensExtension(const std::string& path);

}  // namespace gw::qt
