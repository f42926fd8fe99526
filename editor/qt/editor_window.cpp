#include "editor/qt/editor_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/qt/element_list_model.h"
#include "editor/qt/parameter_panel.h"
#include "editor/qt/preview_view.h"
#include "lens/element_types.h"
#include "lensfile/lensfile.h"
#include "lensfile/safe_write.h"

namespace gw::qt {
namespace {

constexpr char kSettingsGroup[] = "LensEditor";
const QString kLoadFilter = "lns Files (*.gwr);;AllFiles (*.*)";
const QString kSaveFilter = "gwr Files (*.gwr);;AllFiles (*.*)";

QString Display(const std::string& path) { return QString::fromStdString(path); }

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

int DisabledElements(const Lens& lens) {
  int off = 0;
  for (uint32_t i = 0; i < UsableCount(lens); ++i) off += lens.elements[i].enabled == 0;
  return off;
}

// The lens without its switched-off elements: the same picture.
Lens WithoutDisabled(const Lens& lens) {
  Lens kept = lens;
  kept.count = 0;
  for (uint32_t i = 0; i < UsableCount(lens); ++i) {
    if (lens.elements[i].enabled) kept.elements[kept.count++] = lens.elements[i];
  }
  return kept;
}

}  // namespace

std::string WithLensExtension(const std::string& path) {
  return QFileInfo(Display(path)).suffix().isEmpty() ? path + ".gwr" : path;
}

EditorWindow::EditorWindow(const Lens& lens, EditSession session, QWidget* parent)
    : QMainWindow(parent), document_(lens), session_(std::move(session)) {
  setObjectName("LensEditor");
  if (!session_.background.isNull()) {
    session_.frameWidth = session_.background.width();
    session_.frameHeight = session_.background.height();
  }
  if (!session_.file.empty()) {
    SafeWriteOptions options;
    options.replaceReadOnly = session_.replaceReadOnly;
    const SafeWriteResult check = CheckWritable(session_.file, options);
    if (!check.ok()) targetProblem_ = QString::fromStdString(check.reason);
  }
  BuildActions();
  BuildMenus();
  setCentralWidget(BuildCentre());
  lightReadout_ = new QLabel(this);
  lightReadout_->setObjectName("lightReadout");
  statusBar()->addPermanentWidget(lightReadout_);

  listener_ = document_.AddListener([this](const LensChange& change) { Changed(change); });
  preview_->SetLens(document_.lens());
  ShowPreviewSettings();
  ShowSelection();
  UpdateTitle();

  resize(1100, 720);
  if (session_.rememberSize) {
    QSettings settings;
    settings.beginGroup(kSettingsGroup);
    restoreGeometry(settings.value("geometry").toByteArray());
    sideBySide_->restoreState(settings.value("sideBySide").toByteArray());
    stacked_->restoreState(settings.value("stacked").toByteArray());
  }
}

EditorWindow::~EditorWindow() {
  document_.RemoveListener(listener_);
  // The parts that listen to the document go before it does (Qt would take
  // them down only after the window's members).
  delete centralWidget();
  delete model_;
}

QAction* EditorWindow::Action(const QString& name) const { return findChild<QAction*>(name); }

// ------------------------------------------------------------ building

void EditorWindow::BuildActions() {
  // Icons of the desktop's theme where it has them, of the style otherwise.
  const auto make = [this](const char* name, const QString& text, QKeySequence key,
                           const char* themed, QStyle::StandardPixmap icon, auto slot) {
    auto* action = new QAction(QIcon::fromTheme(themed, style()->standardIcon(icon)), text, this);
    action->setObjectName(name);
    if (!key.isEmpty()) action->setShortcut(key);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
  };
  using SP = QStyle::StandardPixmap;
  make("load", "&Load...", QKeySequence::Open, "document-open", SP::SP_DialogOpenButton,
       [this] { Load(false); });
  make("append", "&Append...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), "document-import",
       SP::SP_FileDialogDetailedView, [this] { Load(true); });
  make("save", "&Save", QKeySequence::Save, "document-save", SP::SP_DialogSaveButton,
       [this] { Save(); });
  make("saveCopy", "Save &As...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
       "document-save-as", SP::SP_DriveFDIcon, [this] { SaveCopy(); });
  make("ok", "&OK", QKeySequence(Qt::CTRL | Qt::Key_Return), "dialog-ok", SP::SP_DialogOkButton,
       [this] { Ok(); });
  make("cancel", "&Cancel", QKeySequence::Cancel, "dialog-cancel", SP::SP_DialogCancelButton,
       [this] { Cancel(); });
  QAction* undo = make("undo", "&Undo", QKeySequence::Undo, "edit-undo", SP::SP_ArrowBack,
                       [this] { document_.Undo(); });
  QAction* redo = make("redo", "&Redo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "edit-redo",
                       SP::SP_ArrowForward, [this] { document_.Redo(); });
  redo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  undo->setEnabled(false);
  redo->setEnabled(false);
  make("duplicate", "D&uplicate", QKeySequence(Qt::CTRL | Qt::Key_D), "edit-copy",
       SP::SP_FileLinkIcon, [this] { Duplicate(); });
  make("delete", "&Delete", QKeySequence::Delete, "edit-delete", SP::SP_TrashIcon,
       [this] { document_.Delete(document_.selection()); });
  make("rename", "Re&name", QKeySequence(Qt::Key_F2), "edit-rename", SP::SP_FileIcon, [this] {
    if (document_.selection() >= 0) list_->edit(model_->index(document_.selection()));
  });
  make("moveUp", "Move &Up", QKeySequence(Qt::ALT | Qt::Key_Up), "go-up", SP::SP_ArrowUp,
       [this] { document_.Move(document_.selection(), document_.selection() - 1); });
  make("moveDown", "Move Do&wn", QKeySequence(Qt::ALT | Qt::Key_Down), "go-down", SP::SP_ArrowDown,
       [this] { document_.Move(document_.selection(), document_.selection() + 1); });
  for (const ElementTypeInfo& type : ElementTypes()) {
    auto* action = new QAction(QString::fromLatin1(type.listName), this);
    action->setObjectName(QString("add ") + type.listName);
    connect(action, &QAction::triggered, this, [this, t = type.type] { AddElement(t); });
  }
}

void EditorWindow::BuildMenus() {
  AddActions(menuBar()->addMenu("&File"),
             {"load", "append", "", "save", "saveCopy", "", "ok", "cancel"});
  AddActions(menuBar()->addMenu("&Edit"),
             {"undo", "redo", "", "duplicate", "delete", "rename", "", "moveUp", "moveDown"});
  QMenu* add = menuBar()->addMenu("Add &Element");
  add->setObjectName("addMenu");
  for (const ElementTypeInfo& type : ElementTypes()) {
    add->addAction(Action(QString("add ") + type.listName));
  }

  QToolBar* tools = addToolBar("Lens");
  tools->setObjectName("tools");
  tools->setMovable(false);
  tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  auto* addButton = new QToolButton(tools);
  addButton->setObjectName("addButton");
  addButton->setText("Add");
  addButton->setIcon(
      QIcon::fromTheme("list-add", style()->standardIcon(QStyle::SP_FileDialogNewFolder)));
  addButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  addButton->setMenu(add);
  addButton->setPopupMode(QToolButton::InstantPopup);
  tools->addWidget(addButton);
  AddActions(tools, {"duplicate", "delete", "", "undo", "redo", "", "load", "append", "save"});
}

// The actions named, in order; "" stands for a separator.
template <typename Bar>
void EditorWindow::AddActions(Bar* bar, std::initializer_list<const char*> names) const {
  for (const char* name : names) {
    if (*name) {
      bar->addAction(Action(name));
    } else {
      bar->addSeparator();
    }
  }
}

QWidget* EditorWindow::BuildCentre() {
  auto* centre = new QWidget(this);
  auto* layout = new QVBoxLayout(centre);

  banner_ = new QLabel(centre);
  banner_->setObjectName("banner");
  banner_->setWordWrap(true);
  banner_->setStyleSheet(
      "QLabel { background: #fff3cd; color: #5c4400; padding: 6px; "
      "border: 1px solid #e0c060; }");
  banner_->setText(QString("%1 cannot be written: %2. OK will ask where to keep the lens.")
                       .arg(Display(session_.file), targetProblem_));
  banner_->setVisible(!targetProblem_.isEmpty());
  layout->addWidget(banner_);

  // The elements, in drawing order.
  auto* elements = new QWidget(centre);
  auto* elementsLayout = new QVBoxLayout(elements);
  elementsLayout->setContentsMargins(0, 0, 0, 0);
  model_ = new ElementListModel(document_, this);
  model_->nameRefused = [this](const QString& reason) {
    QMessageBox::warning(this, "Rename",
                         "That name cannot be kept in a lens file: " + reason + ".");
  };
  list_ = new QListView(elements);
  list_->setObjectName("elements");
  list_->setModel(model_);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setDragDropMode(QAbstractItemView::DragDrop);
  list_->setDefaultDropAction(Qt::MoveAction);
  list_->setDragDropOverwriteMode(false);
  list_->setDropIndicatorShown(true);
  list_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!syncingSelection_) document_.Select(current.row());
          });
  elementsLayout->addWidget(Caption("E&lements:", list_, elements));
  elementsLayout->addWidget(list_);

  // The preview over its controls, and the parameters under them.
  preview_ =
      new PreviewView(session_.frameWidth, session_.frameHeight, session_.background, centre);
  preview_->lightMoved = [this](float, float) { ShowPreviewSettings(); };
  auto* previewArea = new QWidget(centre);
  auto* previewLayout = new QVBoxLayout(previewArea);
  previewLayout->setContentsMargins(0, 0, 0, 0);
  previewLayout->addWidget(preview_, 1);
  previewLayout->addWidget(BuildPreviewControls());

  parameters_ = new ParameterPanel(document_, centre);
  parameters_->setObjectName("parameters");
  parameters_->sliderHeld = [this](bool held) { preview_->SetSliderDragging(held); };
  auto* scroll = new QScrollArea(centre);
  scroll->setWidget(parameters_);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setMinimumWidth(parameters_->minimumSizeHint().width() +
                          style()->pixelMetric(QStyle::PM_ScrollBarExtent));

  // The list over the parameters on the left, the preview beside them.
  stacked_ = new QSplitter(Qt::Vertical, centre);
  stacked_->setObjectName("stacked");
  stacked_->addWidget(elements);
  stacked_->addWidget(scroll);
  stacked_->setStretchFactor(1, 1);
  stacked_->setSizes({200, 460});
  stacked_->setCollapsible(0, false);
  stacked_->setCollapsible(1, false);
  sideBySide_ = new QSplitter(Qt::Horizontal, centre);
  sideBySide_->setObjectName("sideBySide");
  sideBySide_->addWidget(stacked_);
  sideBySide_->addWidget(previewArea);
  sideBySide_->setStretchFactor(1, 1);
  sideBySide_->setSizes({380, 720});
  sideBySide_->setCollapsible(0, false);
  sideBySide_->setCollapsible(1, false);
  layout->addWidget(sideBySide_, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, centre);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { Cancel(); });
  layout->addWidget(buttons);
  return centre;
}

QWidget* EditorWindow::BuildPreviewControls() {
  auto* controls = new QWidget(this);
  auto* rows = new QVBoxLayout(controls);
  rows->setContentsMargins(0, 0, 0, 0);
  auto* light = new QHBoxLayout;
  auto* look = new QHBoxLayout;
  rows->addLayout(light);
  rows->addLayout(look);
  const auto changed = [this] {
    if (showingSettings_) return;
    PreviewSettings s = preview_->settings();
    s.lightX = static_cast<float>(lightX_->value());
    s.lightY = static_cast<float>(lightY_->value());
    s.brightness = static_cast<float>(brightness_->value() / 100.0);
    s.scale = static_cast<float>(scale_->value());
    s.angle = static_cast<float>(angle_->value());
    SetPreviewSettings(s);
  };
  lightX_ = new QSpinBox(controls);
  lightX_->setObjectName("lightX");
  lightX_->setRange(0, session_.frameWidth);
  lightY_ = new QSpinBox(controls);
  lightY_->setObjectName("lightY");
  lightY_->setRange(0, session_.frameHeight);
  brightness_ = new QDoubleSpinBox(controls);
  brightness_->setObjectName("brightness");
  brightness_->setRange(0.0, 300.0);
  brightness_->setDecimals(0);
  brightness_->setSuffix(" %");
  scale_ = new QDoubleSpinBox(controls);
  scale_->setObjectName("scale");
  scale_->setRange(0.1, 5.0);
  scale_->setSingleStep(0.05);
  angle_ = new QDoubleSpinBox(controls);
  angle_->setObjectName("angle");
  angle_->setRange(-360.0, 360.0);
  angle_->setDecimals(1);
  angle_->setSuffix(QString::fromUtf8("\u00b0"));
  for (QSpinBox* box : {lightX_, lightY_}) {
    box->setKeyboardTracking(false);
    connect(box, &QSpinBox::valueChanged, this, changed);
  }
  for (QDoubleSpinBox* box : {brightness_, scale_, angle_}) {
    box->setKeyboardTracking(false);
    connect(box, &QDoubleSpinBox::valueChanged, this, changed);
  }
  colour_ = new QToolButton(controls);
  colour_->setObjectName("previewColour");
  colour_->setIconSize(kSwatchSize);
  connect(colour_, &QToolButton::clicked, this, [this] {
    PreviewSettings s = preview_->settings();
    const QColor chosen =
        QColorDialog::getColor(QColor(s.colour.r, s.colour.g, s.colour.b), this, "Flare Colour");
    if (!chosen.isValid()) return;
    s.colour = {static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
                static_cast<uint8_t>(chosen.blue())};
    SetPreviewSettings(s);
  });
  auto* reset = new QPushButton("Reset", controls);
  reset->setObjectName("reset");
  reset->setToolTip("The preview's light, colour, brightness, scale and angle as they started");
  connect(reset, &QPushButton::clicked, this, [this] {
    SetPreviewSettings(DefaultPreviewSettings(session_.frameWidth, session_.frameHeight));
  });
  auto* fast = new QCheckBox("Fast Drags", controls);
  fast->setObjectName("fastDrags");
  fast->setToolTip("Draw the preview at half size while the light is dragged");
  fast->setChecked(preview_->fastDrags());
  connect(fast, &QCheckBox::toggled, this, [this](bool on) { preview_->SetFastDrags(on); });
  auto* compare = new QPushButton("Compare", controls);
  compare->setObjectName("compare");
  compare->setToolTip("Hold to see the picture on the clipboard in place of the flare");
  connect(compare, &QPushButton::pressed, this, [this] {
    const QImage picture = QGuiApplication::clipboard()->image();
    if (picture.isNull()) {
      QApplication::beep();
      statusBar()->showMessage("The clipboard holds no picture to compare with.", 4000);
      return;
    }
    preview_->Compare(picture);
  });
  connect(compare, &QPushButton::released, this, [this] { preview_->Compare({}); });

  light->addWidget(Caption("Light &x:", lightX_, controls));
  light->addWidget(lightX_);
  light->addWidget(Caption("&y:", lightY_, controls));
  light->addWidget(lightY_);
  light->addWidget(Caption("&Brightness:", brightness_, controls));
  light->addWidget(brightness_);
  light->addWidget(Caption("S&cale:", scale_, controls));
  light->addWidget(scale_);
  light->addStretch(1);
  look->addWidget(Caption("An&gle:", angle_, controls));
  look->addWidget(angle_);
  look->addWidget(Caption("Color:", colour_, controls));
  look->addWidget(colour_);
  look->addWidget(fast);
  look->addStretch(1);
  look->addWidget(compare);
  look->addWidget(reset);
  return controls;
}

// ------------------------------------------------------------ keeping up

void EditorWindow::Changed(const LensChange& change) {
  if (change.Redraws()) preview_->SetLens(document_.lens());
  switch (change.kind) {
    case LensChangeKind::Selection:
    case LensChangeKind::Elements:
    case LensChangeKind::Whole:
      ShowSelection();
      break;
    default:
      break;
  }
  UpdateTitle();
}

void EditorWindow::ShowSelection() {
  syncingSelection_ = true;
  const QModelIndex current = model_->index(document_.selection());
  if (current.isValid()) {
    list_->selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
    list_->scrollTo(current);
  } else {
    list_->selectionModel()->clear();
  }
  syncingSelection_ = false;
  const bool selected = document_.selection() >= 0;
  for (const char* name : {"duplicate", "delete", "rename"}) Action(name)->setEnabled(selected);
  Action("moveUp")->setEnabled(document_.selection() > 0);
  Action("moveDown")->setEnabled(selected && document_.selection() < document_.count() - 1);
}

void EditorWindow::UpdateTitle() {
  const QString name = session_.file.empty() ? QString("Untitled lens")
                                             : QFileInfo(Display(session_.file)).fileName();
  setWindowTitle(name + "[*] \u2014 Lens Editor");
  setWindowModified(document_.Modified());
  Action("undo")->setEnabled(document_.CanUndo());
  Action("redo")->setEnabled(document_.CanRedo());
}

void EditorWindow::ShowPreviewSettings() {
  const PreviewSettings& s = preview_->settings();
  showingSettings_ = true;
  lightX_->setValue(static_cast<int>(s.lightX));
  lightY_->setValue(static_cast<int>(s.lightY));
  brightness_->setValue(s.brightness * 100.0);
  scale_->setValue(s.scale);
  angle_->setValue(s.angle);
  colour_->setIcon(ColourSwatch(s.colour));
  showingSettings_ = false;
  // Ready for `glarewright render --light X,Y`.
  lightReadout_->setText(QString("Light at %1, %2 in the %3 \u00d7 %4 frame")
                             .arg(static_cast<int>(s.lightX))
                             .arg(static_cast<int>(s.lightY))
                             .arg(session_.frameWidth)
                             .arg(session_.frameHeight));
}

void EditorWindow::SetPreviewSettings(const PreviewSettings& settings) {
  preview_->SetSettings(settings);
  ShowPreviewSettings();
}

// ------------------------------------------------------------ elements

void EditorWindow::AddElement(ElementType type) {
  if (document_.full()) {
    QMessageBox::warning(this, "Alert", "Maximum Number of Elements Reached.");
    return;
  }
  document_.Add(type);
}

void EditorWindow::Duplicate() {
  if (document_.selection() < 0) return;
  if (document_.full()) {
    QMessageBox::warning(this, "Alert", "Maximum Number of Elements Reached.");
    return;
  }
  document_.Duplicate(document_.selection());
}

// ------------------------------------------------------------ files

std::optional<Lens> EditorWindow::LensForFile() {
  const Lens& lens = document_.lens();
  const int off = DisabledElements(lens);
  if (off == 0) return lens;
  QMessageBox question(QMessageBox::Question, "Elements switched off",
                       off == 1 ? QString("1 element is switched off.")
                                : QString("%1 elements are switched off.").arg(off),
                       QMessageBox::NoButton, this);
  question.setObjectName("switchedOffQuestion");
  question.setInformativeText(
      "A lens file keeps every element on. Leave the switched-off elements out of the file "
      "(the flare stays as you see it), or keep them in, switched on?");
  QPushButton* leaveOut = question.addButton("Leave Them Out", QMessageBox::AcceptRole);
  QPushButton* keepOn = question.addButton("Keep Them On", QMessageBox::AcceptRole);
  question.addButton(QMessageBox::Cancel);
  question.setDefaultButton(leaveOut);
  question.exec();
  if (question.clickedButton() == leaveOut) return WithoutDisabled(lens);
  if (question.clickedButton() == keepOn) return lens;
  return std::nullopt;
}

EditorWindow::Written EditorWindow::Write(const std::string& path, QString& reason) {
  const std::optional<Lens> lens = LensForFile();
  if (!lens) return Written::Declined;
  SafeWriteOptions options;
  options.replaceReadOnly = session_.replaceReadOnly && path == session_.file;
  const SafeWriteResult result = WriteBytesSafely(path, EncodeLensFile(*lens), options);
  if (!result.ok()) {
    reason = QString::fromStdString(result.reason);
    return Written::Failed;
  }
  return Written::Yes;
}

std::string EditorWindow::ChooseFileToSave(const QString& title) {
  QFileDialog chooser(this, title, QString(), kSaveFilter);
  chooser.setAcceptMode(QFileDialog::AcceptSave);
  chooser.setDefaultSuffix("gwr");
  if (!session_.file.empty()) chooser.selectFile(Display(session_.file));
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return {};
  return WithLensExtension(chooser.selectedFiles().front().toStdString());
}

// Asks for another file, writes the lens there and makes it the session's.
bool EditorWindow::SaveElsewhere(const QString& why) {
  QMessageBox box(QMessageBox::Warning, "Lens Editor", why, QMessageBox::NoButton, this);
  box.setObjectName("writeFailed");
  QPushButton* elsewhere = box.addButton("Save Elsewhere...", QMessageBox::AcceptRole);
  box.addButton(QMessageBox::Cancel);
  box.exec();
  if (box.clickedButton() != elsewhere) return false;
  const std::string path = ChooseFileToSave("Keep the Lens In");
  if (path.empty()) return false;
  QString reason;
  switch (Write(path, reason)) {
    case Written::Yes:
      session_.file = path;
      targetProblem_.clear();
      banner_->hide();
      return true;
    case Written::Declined:
      return false;
    case Written::Failed:
      return SaveElsewhere(
          QString("The lens could not be written to %1: %2.").arg(Display(path), reason));
  }
  return false;
}

void EditorWindow::Save() {
  if (!WriteToSessionFile()) return;
  document_.MarkSaved();
  UpdateTitle();
  statusBar()->showMessage("Saved in " + Display(session_.file), 4000);
}

void EditorWindow::SaveCopy() {
  const std::string path = ChooseFileToSave("Save the Lens");
  if (path.empty()) return;
  QString reason;
  if (Write(path, reason) == Written::Failed) {
    QMessageBox::warning(
        this, "Lens Editor",
        QString("The lens could not be written to %1: %2.").arg(Display(path), reason));
    return;
  }
  statusBar()->showMessage("Saved in " + Display(path), 4000);
}

void EditorWindow::Load(bool append) {
  const QString path = QFileDialog::getOpenFileName(
      this, append ? "Append the Elements of a Lens" : "Load a Lens", QString(), kLoadFilter);
  if (path.isEmpty()) return;
  const int32_t status = document_.Load(path.toStdString(), append);
  if (status < 0) {
    QMessageBox::warning(this, "Lens Editor",
                         QString("%1 cannot be loaded: %2.")
                             .arg(path, QString::fromLatin1(LensFileStatusMessage(status))));
  }
}

// ------------------------------------------------------------ ending

void EditorWindow::Ok() {
  if (Keep()) close();
}

void EditorWindow::Cancel() {
  if (EndWithoutOk()) close();
}

bool EditorWindow::WriteToSessionFile() {
  if (session_.file.empty()) {
    session_.file = ChooseFileToSave("Keep the Lens In");
    if (session_.file.empty()) return false;  // still editing
    UpdateTitle();
  }
  if (!targetProblem_.isEmpty()) {
    return SaveElsewhere(
        QString("%1 cannot be written: %2.").arg(Display(session_.file), targetProblem_));
  }
  QString reason;
  switch (Write(session_.file, reason)) {
    case Written::Yes: return true;
    case Written::Declined: return false;
    case Written::Failed:
      return SaveElsewhere(QString("The lens could not be written to %1: %2.")
                               .arg(Display(session_.file), reason));
  }
  return false;
}

bool EditorWindow::Keep() {
  if (!WriteToSessionFile()) return false;
  outcome_ = Outcome::Kept;
  document_.MarkSaved();
  return true;
}

bool EditorWindow::EndWithoutOk() {
  if (!document_.Modified()) {
    outcome_ = Outcome::Cancelled;
    return true;
  }
  QMessageBox question(QMessageBox::Question, "Lens Editor", "Save Changes to Lens Editor?",
                       QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  question.setObjectName("saveChangesQuestion");
  question.setDefaultButton(QMessageBox::Save);
  switch (question.exec()) {
    case QMessageBox::Save:
      return Keep();
    case QMessageBox::Discard:
      outcome_ = Outcome::Cancelled;
      return true;
    default:
      return false;  // still editing
  }
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (outcome_ == Outcome::Editing && !EndWithoutOk()) {
    event->ignore();
    return;
  }
  if (session_.rememberSize) {
    QSettings settings;
    settings.beginGroup(kSettingsGroup);
    settings.setValue("geometry", saveGeometry());
    settings.setValue("sideBySide", sideBySide_->saveState());
    settings.setValue("stacked", stacked_->saveState());
  }
  event->accept();
  if (finished) finished();
}

}  // namespace gw::qt
