// The Lens Editor on Qt, used as a person uses it: clicks, drags and typing
// on the real widgets, menus and the platform's dialogs, then a look at the
// lens bytes the document holds and the pictures the preview shows.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QDrag>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStyleOptionSlider>
#include <QToolButton>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "editor/preview_render.h"
#include "editor/qt/editor_window.h"
#include "editor/qt/element_list_model.h"
#include "editor/qt/parameter_panel.h"
#include "editor/qt/preview_view.h"
#include "lensfile/lensfile.h"
#include "presets/presets.h"
#include "render/pixels.h"
#include "tests/editor_qt/qt_test_support.h"

namespace gw::qt {
namespace {

using enum ElementType;
using testing::ChooseFile;
using testing::OnNext;
using testing::OnNextMenuClick;
using testing::WaitFor;

Lens LensOf(std::initializer_list<ElementType> types) {
  Lens lens;
  std::memset(&lens, 0, sizeof lens);
  for (ElementType type : types)
    InitElement(static_cast<int16_t>(type), lens.elements[lens.count++]);
  return lens;
}

bool SameElements(const Lens& a, const Lens& b) {
  return a.count == b.count &&
         std::memcmp(a.elements, b.elements, sizeof(LensElement) * a.count) == 0;
}

// What the preview must show: the lens drawn synchronously at the size of
// the picture shown.
QImage Expected(const Lens& lens, const PreviewSettings& settings, QSize frame, QSize size,
                const QImage& background = {}) {
  static const std::vector<uint8_t> table = [] {
    std::vector<uint8_t> t(kScreenTableSize);
    BuildScreenTable(t.data());
    return t;
  }();
  RgbImage behind;
  if (!background.isNull()) {
    const QImage scaled = background.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_RGB888);
    behind = {size.width(), size.height(), {}};
    for (int y = 0; y < size.height(); ++y) {
      behind.rgb.insert(behind.rgb.end(), scaled.constScanLine(y),
                        scaled.constScanLine(y) + size.width() * 3);
    }
  }
  RgbImage out{size.width(), size.height(), {}};
  RenderPreview(lens, settings, frame.width(), frame.height(), behind, table.data(), out);
  QImage image(size, QImage::Format_RGB888);
  for (int y = 0; y < size.height(); ++y) {
    std::memcpy(image.scanLine(y), out.rgb.data() + size_t{3} * size.width() * y,
                size_t{3} * size.width());
  }
  return image;
}

// Typed into a widget, character by character (any character: QTest's own
// keyClicks knows ASCII only).
void Type(QWidget* w, const QString& text) {
  for (const QChar c : text) {
    QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

// A file of the tests' folder, as it is.
std::string InTemp(const std::string& name) { return std::string(GW_TEST_TMPDIR) + "/" + name; }

// A file of the tests' folder, removed first.
std::string Temp(const std::string& name) {
  const std::string path = InTemp(name);
  std::remove(path.c_str());
  return path;
}

class QtEditorTest : public ::testing::Test {
 protected:
  void Open(const Lens& lens, EditSession session = {}) {
    if (!rememberSize) session.rememberSize = false;
    window = std::make_unique<EditorWindow>(lens, std::move(session));
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  void TearDown() override {
    if (window && window->outcome() == EditorWindow::Outcome::Editing) {
      window->document().MarkSaved();  // closes without asking
      window->close();
    }
    window.reset();
  }

  template <typename W = QWidget>
  W* Find(const QString& name) {
    W* w = window->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  QListView* List() { return window->elementList(); }
  QWidget* Rows() { return List()->viewport(); }
  QPoint Row(int r) { return List()->visualRect(List()->model()->index(r, 0)).center(); }
  void ClickRow(int r) { QTest::mouseClick(Rows(), Qt::LeftButton, {}, Row(r)); }
  // The window made active again, as a desktop does once a menu or a dialog
  // has closed (the offscreen platform may leave the closed popup focused).
  void Activate() {
    if (window->isActiveWindow()) return;
    QApplication::setActiveWindow(window.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  // A key pressed in the window.
  void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
    EXPECT_TRUE(WaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
    Activate();
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : window.get(), static_cast<Qt::Key>(key), modifiers);
  }
  // Types into a number field and presses Enter.
  void TypeNumber(const QString& field, const QString& text) {
    auto* box = Find<QAbstractSpinBox>(field);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
  }
  const Lens& lens() { return window->document().lens(); }
  // Where a slider's handle is.
  static QPoint Handle(QSlider* slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.subControls = QStyle::SC_All;
    return slider->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
        .center();
  }
  bool PreviewIdle() {
    return WaitFor([this] { return window->preview()->Idle(); });
  }

  bool rememberSize = false;
  std::unique_ptr<EditorWindow> window;
};

TEST_F(QtEditorTest, EveryPartOfTheWindowIsThere) {
  Open(LensOf({GlowBall, FadedRing}), {.file = Temp("parts.gwr")});
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("parts.gwr[*] \u2014 Lens Editor"));
  EXPECT_FALSE(window->isWindowModified());
  for (const char* name : {"load", "append", "save", "saveCopy", "ok", "cancel", "undo", "redo",
                           "duplicate", "delete", "rename", "moveUp", "moveDown"}) {
    EXPECT_NE(window->Action(name), nullptr) << name;
  }
  EXPECT_EQ(window->Action("undo")->shortcut(), QKeySequence::Undo);
  EXPECT_TRUE(window->Action("redo")->shortcuts().contains(QKeySequence("Ctrl+Shift+Z")));
  EXPECT_EQ(window->Action("delete")->shortcut(), QKeySequence(Qt::Key_Delete));
  EXPECT_EQ(window->Action("duplicate")->shortcut(), QKeySequence("Ctrl+D"));
  EXPECT_EQ(window->Action("save")->shortcut(), QKeySequence("Ctrl+S"));
  EXPECT_EQ(window->Action("cancel")->shortcut(), QKeySequence(Qt::Key_Escape));
  // The 19 types, by their list names, in the add menu.
  auto* addMenu = Find<QMenu>("addMenu");
  ASSERT_EQ(addMenu->actions().size(), 19);
  EXPECT_EQ(addMenu->actions()[5]->text(), "Elliptical Caustic");
  EXPECT_EQ(addMenu->actions()[18]->text(), "Chroma Fan");
  EXPECT_FALSE(window->Action("delete")->isEnabled());  // nothing selected

  // The GlowBall shows its labels from the table, and its two check boxes.
  ClickRow(0);
  ParameterPanel* panel = window->parameters();
  EXPECT_EQ(panel->heading()->text(), "GlowBall");
  EXPECT_EQ(panel->label(PanelSlot::Brightness)->text(), "Ring Brightness:");
  EXPECT_TRUE(panel->slider(PanelSlot::Iparam5)->isVisible());
  EXPECT_EQ(panel->label(PanelSlot::Color2)->text(), "Inner Color:");
  EXPECT_EQ(panel->checkBox(PanelSlot::Option)->text(), "Do Ring");
  EXPECT_TRUE(panel->checkBox(PanelSlot::Option)->isVisible());
  // Ranges and formats are the slots': whole numbers, and reals to 2 places.
  auto* gamma = qobject_cast<QSpinBox*>(panel->number(PanelSlot::Iparam5));
  ASSERT_NE(gamma, nullptr);
  EXPECT_EQ(gamma->minimum(), 0);
  EXPECT_EQ(gamma->maximum(), 2000);
  auto* brightness = qobject_cast<QDoubleSpinBox*>(panel->number(PanelSlot::Brightness));
  ASSERT_NE(brightness, nullptr);
  EXPECT_EQ(brightness->decimals(), 2);
  EXPECT_FLOAT_EQ(static_cast<float>(brightness->minimum()), 0.01f);
  EXPECT_EQ(brightness->maximum(), 5.0);
  // The FadedRing uses three sliders and the anamorphic box only.
  ClickRow(1);
  EXPECT_FALSE(panel->slider(PanelSlot::Iparam5)->isVisible());
  EXPECT_FALSE(panel->colourButton(PanelSlot::Color1)->isVisible());
  EXPECT_FALSE(panel->checkBox(PanelSlot::Option)->isVisible());
  EXPECT_TRUE(panel->checkBox(PanelSlot::Anamorphic)->isVisible());
  EXPECT_EQ(panel->label(PanelSlot::Brightness)->text(), "Brightness:");
  // A change marks the title; Ctrl+S keeps it in the file and the mark goes.
  Key(Qt::Key_Delete);
  EXPECT_TRUE(window->isWindowModified());
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(window->isWindowModified());
  Lens saved{};
  ASSERT_EQ(LoadLensFile(InTemp("parts.gwr").c_str(), saved, false), 0);
  EXPECT_EQ(saved.count, 1u);
  EXPECT_EQ(window->outcome(), EditorWindow::Outcome::Editing);
}

// A lens built from nothing with the keyboard and the mouse only; then every
// step taken back with Ctrl+Z and made again with Ctrl+Shift+Z.
TEST_F(QtEditorTest, BuildALensFromNothingAndTakeItBackStepByStep) {
  Open(LensOf({}));
  std::vector<Lens> states = {lens()};
  const auto step = [&](const char* what) {
    ASSERT_FALSE(SameElements(lens(), states.back())) << what << " changed nothing";
    states.push_back(lens());
  };
  // 1. The tool bar's Add: a Disc.
  OnNextMenuClick("Disc");
  QTest::mouseClick(Find<QToolButton>("addButton"), Qt::LeftButton);
  ASSERT_EQ(lens().count, 1u);
  step("add");
  // 2. Ctrl+D duplicates the selected Disc.
  Activate();
  List()->setFocus();
  Key(Qt::Key_D, Qt::ControlModifier);
  ASSERT_EQ(lens().count, 2u);
  step("duplicate");
  // 3. F2 renames the copy in place.
  Key(Qt::Key_F2);
  auto* name = List()->findChild<QLineEdit*>();
  ASSERT_NE(name, nullptr);
  name->selectAll();
  QTest::keyClicks(name, "Warm ghost");
  QTest::keyClick(name, Qt::Key_Return);  // the view takes the name in a moment
  ASSERT_TRUE(WaitFor([&] { return ElementName(lens().elements[1]) == "Warm ghost"; }));
  step("rename");
  // 4. The position slider dragged: many values, one step.
  QSlider* position = window->parameters()->slider(PanelSlot::Position);
  const QPoint handle = Handle(position);
  QTest::mousePress(position, Qt::LeftButton, {}, handle);
  for (int dx = 5; dx <= 60; dx += 5) QTest::mouseMove(position, handle - QPoint(dx, 0));
  // Meanwhile the preview is drawn at half size, as for a drag of the light.
  EXPECT_TRUE(WaitFor([&] { return window->preview()->showingCoarse(); }));
  QTest::mouseRelease(position, Qt::LeftButton, {}, handle - QPoint(60, 0));
  const int track = position->value();
  ASSERT_LT(track, 900);  // a new Disc stands at 1.0: position 816 of 1000
  step("slider");
  // 5. A scale typed.
  TypeNumber("scale.value", "2.5");
  step("scale");
  // 6. Color1 from the colour chooser.
  OnNext<QColorDialog>([](QColorDialog* chooser) {
    ASSERT_NE(chooser, nullptr);
    chooser->setCurrentColor(QColor(10, 20, 30));
    QTest::mouseClick(chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
  });
  QTest::mouseClick(window->parameters()->colourButton(PanelSlot::Color1), Qt::LeftButton);
  step("colour");
  // 7. "Smoothing" ticked.
  QCheckBox* smoothing = window->parameters()->checkBox(PanelSlot::Option);
  EXPECT_EQ(smoothing->text(), "Smoothing");
  QTest::mouseClick(smoothing, Qt::LeftButton, {}, QPoint(5, smoothing->height() / 2));
  step("flag");
  // 8. A Sparkle from the menu bar.
  QMenuBar* bar = window->menuBar();
  OnNextMenuClick("Sparkle");
  QTest::mouseClick(bar, Qt::LeftButton, {},
                    bar->actionGeometry(Find<QMenu>("addMenu")->menuAction()).center());
  ASSERT_TRUE(WaitFor([&] { return lens().count == 3; }));
  step("add from the menu bar");
  // 9. Alt+Up moves it above the copy.
  Activate();
  List()->setFocus();
  Key(Qt::Key_Up, Qt::AltModifier);
  step("move");
  // 10. Space switches it off.
  Key(Qt::Key_Space);
  step("switch off");
  // 11. The first Disc clicked and deleted.
  ClickRow(0);
  Key(Qt::Key_Delete);
  step("delete");

  // The lens as the steps say it should be, built field by field.
  Lens expected = LensOf({Sparkle, Disc});
  expected.elements[0].enabled = 0;
  LensElement& copy = expected.elements[1];
  SetElementName(copy, "Warm ghost");
  const float t = static_cast<float>(track) / ParameterPanel::kTrackSteps;
  copy.position = -3.0f + t * t * 6.0f;  // a square track over -3 .. 3
  copy.scale = 2.5f;
  copy.color1 = {10, 20, 30};
  copy.option = 1;
  EXPECT_TRUE(SameElements(lens(), expected));
  EXPECT_TRUE(window->isWindowModified());

  // Taken back one step at a time, and made again.
  for (size_t k = states.size() - 1; k-- > 0;) {
    ASSERT_TRUE(window->Action("undo")->isEnabled()) << k;
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(SameElements(lens(), states[k])) << "undone to step " << k;
  }
  EXPECT_FALSE(window->Action("undo")->isEnabled());
  EXPECT_FALSE(window->isWindowModified());
  for (size_t k = 1; k < states.size(); ++k) {
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(SameElements(lens(), states[k])) << "redone to step " << k;
  }
  EXPECT_FALSE(window->Action("redo")->isEnabled());
  EXPECT_TRUE(SameElements(lens(), expected));
}

TEST_F(QtEditorTest, TheHundredthElementIsTheLast) {
  Lens full = LensOf({});
  for (uint32_t i = 0; i < kMaxElements; ++i) InitElement(17, full.elements[full.count++]);
  Open(full);
  ClickRow(0);
  for (const char* how : {"duplicate", "add"}) {
    bool alerted = false;
    OnNext<QMessageBox>([&alerted](QMessageBox* box) {
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text(), "Maximum Number of Elements Reached.");
      EXPECT_EQ(box->windowTitle(), "Alert");
      alerted = true;
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    if (std::string(how) == "duplicate") {
      Key(Qt::Key_D, Qt::ControlModifier);
    } else {
      OnNextMenuClick("Sparkle");
      QTest::mouseClick(Find<QToolButton>("addButton"), Qt::LeftButton);
    }
    ASSERT_TRUE(WaitFor([&] { return alerted; })) << how;
    EXPECT_EQ(lens().count, kMaxElements);
  }
  EXPECT_FALSE(window->Action("undo")->isEnabled());
}

TEST_F(QtEditorTest, RenameByDoubleClickAndRefusedNames) {
  Open(LensOf({GlowBall, Disc}));
  ClickRow(1);
  QTest::mouseDClick(Rows(), Qt::LeftButton, {}, Row(1));
  auto* name = List()->findChild<QLineEdit*>();
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text(), "Disc");
  name->selectAll();
  Type(name, QString::fromUtf8("Amber gh\u00f6st"));  // Latin-1
  QTest::keyClick(name, Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return ElementName(lens().elements[1]) == "Amber gh\xf6st"; }));
  EXPECT_EQ(lens().elements[1].name[0], 'p');
  // A name a lens file cannot hold is refused, and why is said.
  for (const QString& bad : {QString::fromUtf8("Ghost \u20ac"), QString(63, 'n')}) {
    QString said;
    OnNext<QMessageBox>([&said](QMessageBox* box) {
      ASSERT_NE(box, nullptr);
      said = box->text();
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    Key(Qt::Key_F2);
    name = List()->findChild<QLineEdit*>();
    ASSERT_NE(name, nullptr);
    name->selectAll();
    Type(name, bad);
    QTest::keyClick(name, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said.contains(bad.size() > 62 ? "longer than 62 characters"
                                              : "only Latin-1 characters can be stored"))
        << said.toStdString();
    EXPECT_EQ(ElementName(lens().elements[1]), "Amber gh\xf6st");
  }
}

TEST_F(QtEditorTest, CheckBoxOfARowSwitchesTheElement) {
  Open(LensOf({GlowBall, Disc}));
  QStyleOptionViewItem option;
  option.rect = List()->visualRect(List()->model()->index(1, 0));
  option.features = QStyleOptionViewItem::HasCheckIndicator;
  const QPoint box = List()
                         ->style()
                         ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, List())
                         .center();
  QTest::mouseClick(Rows(), Qt::LeftButton, {}, box);
  EXPECT_EQ(lens().elements[1].enabled, 0);
  QTest::mouseClick(Rows(), Qt::LeftButton, {}, box);
  EXPECT_EQ(lens().elements[1].enabled, 1);
  EXPECT_EQ(lens().elements[0].enabled, 1);
}

// Qt's drag and drop: a row dropped between others moves there; with Ctrl
// (a copy) it is duplicated there. The events are those a drag brings.
TEST_F(QtEditorTest, ReorderAndCopyByDragAndDrop) {
  Open(LensOf({GlowBall, Disc, Stripe, Sparkle}));
  const Lens before = lens();
  const auto drop = [&](int from, int onto, Qt::DropAction action) {
    std::unique_ptr<QMimeData> data(List()->model()->mimeData({List()->model()->index(from, 0)}));
    const QRect target = List()->visualRect(List()->model()->index(onto, 0));
    const QPointF at(target.center().x(), target.top() + 2);  // its upper edge: before it
    const Qt::KeyboardModifiers keys =
        action == Qt::CopyAction ? Qt::ControlModifier : Qt::NoModifier;
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                          keys);
    QApplication::sendEvent(Rows(), &enter);
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                        keys);
    QApplication::sendEvent(Rows(), &move);
    QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, keys);
    dropped.setDropAction(action);
    QApplication::sendEvent(Rows(), &dropped);
  };
  drop(0, 3, Qt::MoveAction);  // the GlowBall before the Sparkle
  EXPECT_TRUE(std::memcmp(&lens().elements[0], &before.elements[1], sizeof(LensElement)) == 0);
  EXPECT_TRUE(std::memcmp(&lens().elements[1], &before.elements[2], sizeof(LensElement)) == 0);
  EXPECT_TRUE(std::memcmp(&lens().elements[2], &before.elements[0], sizeof(LensElement)) == 0);
  EXPECT_EQ(lens().count, 4u);
  drop(3, 0, Qt::CopyAction);  // a copy of the Sparkle at the top
  ASSERT_EQ(lens().count, 5u);
  EXPECT_TRUE(std::memcmp(&lens().elements[0], &before.elements[3], sizeof(LensElement)) == 0);
  EXPECT_TRUE(std::memcmp(&lens().elements[4], &before.elements[3], sizeof(LensElement)) == 0);
  // Each drop is one step.
  window->Action("undo")->trigger();
  EXPECT_EQ(lens().count, 4u);
  window->Action("undo")->trigger();
  EXPECT_TRUE(SameElements(lens(), before));
}

TEST_F(QtEditorTest, DragASliderAndTypeAValue) {
  Open(LensOf({Disc}));
  ClickRow(0);
  QSlider* angle = window->parameters()->slider(PanelSlot::Angle);  // -90 .. 90
  angle->setFocus();
  QTest::keyClick(angle, Qt::Key_End);
  EXPECT_EQ(lens().elements[0].angle, 90.0f);
  QTest::keyClick(angle, Qt::Key_Home);
  EXPECT_EQ(lens().elements[0].angle, -90.0f);
  // Typed: whole numbers held to the range, reals to two places.
  TypeNumber("iparam0.value", "42");
  EXPECT_EQ(lens().elements[0].iparam0, 42);
  TypeNumber("iparam0.value", "4000");  // digits past the range's end are not taken
  EXPECT_GE(lens().elements[0].iparam0, 1);
  EXPECT_LE(lens().elements[0].iparam0, 100);
  TypeNumber("spread.value", "7.5");
  EXPECT_EQ(lens().elements[0].spread, 7.5f);
  EXPECT_EQ(Find<QDoubleSpinBox>("spread.value")->text(), "7.50");
  // The slider follows the typed value.
  TypeNumber("angle.value", "0");
  EXPECT_EQ(angle->value(), ParameterPanel::kTrackSteps / 2);
}

TEST_F(QtEditorTest, PickAColourAndSetAFlag) {
  Open(LensOf({Stripe}));
  ClickRow(0);
  OnNext<QColorDialog>([](QColorDialog* chooser) {
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->currentColor(), QColor(64, 128, 255));  // the Stripe's centre colour
    chooser->setCurrentColor(QColor(1, 2, 3));
    QTest::mouseClick(chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
  });
  QTest::mouseClick(window->parameters()->colourButton(PanelSlot::Color2), Qt::LeftButton);
  EXPECT_EQ(lens().elements[0].color2.b, 3);
  // Cancelled: nothing changes.
  OnNext<QColorDialog>([](QColorDialog* chooser) {
    ASSERT_NE(chooser, nullptr);
    chooser->setCurrentColor(QColor(200, 200, 200));
    chooser->reject();
  });
  QTest::mouseClick(window->parameters()->colourButton(PanelSlot::Color2), Qt::LeftButton);
  EXPECT_EQ(lens().elements[0].color2.r, 1);
  QCheckBox* centre = window->parameters()->checkBox(PanelSlot::Option);
  EXPECT_TRUE(centre->isChecked());
  QTest::mouseClick(centre, Qt::LeftButton, {}, QPoint(5, centre->height() / 2));
  EXPECT_EQ(lens().elements[0].option, 0);
}

TEST_F(QtEditorTest, LoadReplacesAndAppendAppends) {
  const std::string path = Temp("two.gwr");
  ASSERT_EQ(SaveLensFile(path.c_str(), LensOf({Sparkle, ChromaHoop})), 0);
  Open(LensOf({GlowBall}));
  const auto choose = [path](QFileDialog* chooser) {
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->nameFilters().contains("lns Files (*.gwr)"));
    ChooseFile(chooser, QString::fromStdString(path));
  };
  OnNext<QFileDialog>(choose);
  Key(Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(lens().count, 2u);
  EXPECT_EQ(lens().elements[0].type, static_cast<int16_t>(Sparkle));
  OnNext<QFileDialog>(choose);
  Key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(lens().count, 4u);
  EXPECT_EQ(lens().elements[3].type, static_cast<int16_t>(ChromaHoop));
  // A file that is no lens: said, and the lens stays.
  const std::string text = Temp("text.gwr");
  FILE* f = std::fopen(text.c_str(), "w");
  std::fputs("no lens", f);
  std::fclose(f);
  QString said;
  OnNext<QFileDialog>([text, &said](QFileDialog* chooser) {
    ASSERT_NE(chooser, nullptr);
    ChooseFile(chooser, QString::fromStdString(text));
    OnNext<QMessageBox>([&said](QMessageBox* box) {
      ASSERT_NE(box, nullptr);
      said = box->text();
      QMetaObject::invokeMethod(box, "accept", Qt::QueuedConnection);
    });
  });
  Key(Qt::Key_O, Qt::ControlModifier);
  EXPECT_TRUE(said.contains("not a lens file")) << said.toStdString();
  EXPECT_EQ(lens().count, 4u);
}

TEST_F(QtEditorTest, SaveAsAddsTheExtensionAndWritesTheLens) {
  const std::string path = Temp("saved_by_qt");
  std::remove((path + ".gwr").c_str());
  Open(LensOf({Ellipse, Sparkle}));
  OnNext<QFileDialog>([path](QFileDialog* chooser) {
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->nameFilters().contains("gwr Files (*.gwr)"));
    ChooseFile(chooser, QString::fromStdString(path));
  });
  Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  Lens read{};
  ASSERT_EQ(LoadLensFile((path + ".gwr").c_str(), read, false), 0);
  EXPECT_EQ(EncodeLensFile(read), EncodeLensFile(lens()));
  EXPECT_EQ(WithLensExtension("a/b.c/lens"), "a/b.c/lens.gwr");
  EXPECT_EQ(WithLensExtension("lens.GWR"), "lens.GWR");
  EXPECT_EQ(WithLensExtension("lens.json"), "lens.json");
}

TEST_F(QtEditorTest, HoldingCompareShowsTheClipboard) {
  Open(LensOf({GlowBall}));
  ASSERT_TRUE(PreviewIdle());
  QImage photo(64, 48, QImage::Format_RGB888);
  photo.fill(QColor(10, 200, 30));
  QGuiApplication::clipboard()->setImage(photo);
  PreviewView* preview = window->preview();
  const QPoint middle = preview->FrameRect().center().toPoint();
  QPushButton* compare = Find<QPushButton>("compare");
  QTest::mousePress(compare, Qt::LeftButton);
  EXPECT_EQ(preview->grab().toImage().pixelColor(middle), QColor(10, 200, 30));
  QTest::mouseRelease(compare, Qt::LeftButton);
  EXPECT_NE(preview->grab().toImage().pixelColor(middle), QColor(10, 200, 30));
}

TEST_F(QtEditorTest, OkCancelEscapeAndTheQuestion) {
  const std::string path = Temp("ok.gwr");
  // Escape with nothing changed closes at once.
  Open(LensOf({GlowBall}), {.file = path});
  Key(Qt::Key_Escape);
  EXPECT_EQ(window->outcome(), EditorWindow::Outcome::Cancelled);
  EXPECT_FALSE(window->isVisible());
  // Escape after a change asks; Cancel keeps editing, Discard ends.
  Open(LensOf({GlowBall}), {.file = path});
  ClickRow(0);
  Key(Qt::Key_D, Qt::ControlModifier);
  EXPECT_TRUE(window->isWindowModified());
  for (QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::Discard}) {
    OnNext<QMessageBox>([answer](QMessageBox* box) {
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text(), "Save Changes to Lens Editor?");
      QTest::mouseClick(box->button(answer), Qt::LeftButton);
    });
    Key(Qt::Key_Escape);
  }
  EXPECT_EQ(window->outcome(), EditorWindow::Outcome::Cancelled);
  EXPECT_FALSE(std::ifstream(path).good());  // nothing written
  // Closing the window asks too; Save keeps the lens.
  Open(LensOf({GlowBall}), {.file = path});
  ClickRow(0);
  Key(Qt::Key_Delete);
  OnNext<QMessageBox>([](QMessageBox* box) {
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->button(QMessageBox::Save), Qt::LeftButton);
  });
  window->close();
  EXPECT_EQ(window->outcome(), EditorWindow::Outcome::Kept);
  Lens read{};
  ASSERT_EQ(LoadLensFile(path.c_str(), read, false), 0);
  EXPECT_EQ(read.count, 0u);
  // OK writes the lens and ends.
  Open(LensOf({Disc, Ellipse}), {.file = path});
  QTest::mouseClick(Find<QPushButton>("okButton"), Qt::LeftButton);
  EXPECT_EQ(window->outcome(), EditorWindow::Outcome::Kept);
  ASSERT_EQ(LoadLensFile(path.c_str(), read, false), 0);
  EXPECT_EQ(read.count, 2u);
}

// A target that cannot be written is said at once; OK then keeps the
// editor open, says why, and lets the lens be kept elsewhere. The read-only
// file stays as it was.
TEST_F(QtEditorTest, AnUnwritableFileIsSaidAtOnceAndOkSavesElsewhere) {
  const std::string locked = Temp("locked.gwr"), elsewhere = Temp("elsewhere.gwr");
  ASSERT_EQ(SaveLensFile(locked.c_str(), LensOf({GlowBall})), 0);
  ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
  const std::vector<uint8_t> before = EncodeLensFile(LensOf({GlowBall}));
  Open(LensOf({GlowBall, Disc}), {.file = locked});
  QLabel* banner = Find<QLabel>("banner");
  EXPECT_TRUE(banner->isVisible());
  EXPECT_TRUE(banner->text().contains("it is read-only")) << banner->text().toStdString();
  EXPECT_EQ(window->targetProblem(), "it is read-only");
  // The first OK: told why, and Cancel keeps editing.
  OnNext<QMessageBox>([](QMessageBox* box) {
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains("it is read-only"));
    QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
  });
  Key(Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(window->outcome(), EditorWindow::Outcome::Editing);
  // The second: saved elsewhere.
  OnNext<QMessageBox>([elsewhere](QMessageBox* box) {
    ASSERT_NE(box, nullptr);
    QAbstractButton* saveElsewhere = nullptr;
    for (QAbstractButton* b : box->buttons()) {
      if (b->text() == "Save Elsewhere...") saveElsewhere = b;
    }
    ASSERT_NE(saveElsewhere, nullptr);
    OnNext<QFileDialog>([elsewhere](QFileDialog* chooser) {
      ASSERT_NE(chooser, nullptr);
      ChooseFile(chooser, QString::fromStdString(elsewhere));
    });
    QTest::mouseClick(saveElsewhere, Qt::LeftButton);
  });
  QTest::mouseClick(Find<QPushButton>("okButton"), Qt::LeftButton);
  EXPECT_EQ(window->outcome(), EditorWindow::Outcome::Kept);
  EXPECT_EQ(window->keptIn(), elsewhere);
  Lens read{};
  ASSERT_EQ(LoadLensFile(elsewhere.c_str(), read, false), 0);
  EXPECT_EQ(read.count, 2u);
  std::ifstream in(locked, std::ios::binary);
  EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}), before);
  chmod(locked.c_str(), 0644);
}

// A lens file keeps every element on: elements switched off are left out,
// or kept on, as the user says, and never switched on without asking.
TEST_F(QtEditorTest, SwitchedOffElementsAreNeverSwitchedOnSilently) {
  const std::string path = Temp("switched_off.gwr");
  Lens start = LensOf({GlowBall, Disc, StarFilter});
  start.elements[1].enabled = 0;
  // Presses the question's button `text` ("Cancel": its cancel button).
  const auto answer = [](const QString& text) {
    OnNext<QMessageBox>([text](QMessageBox* box) {
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text(), "1 element is switched off.");
      QAbstractButton* chosen = text == "Cancel" ? box->button(QMessageBox::Cancel) : nullptr;
      for (QAbstractButton* b : box->buttons()) {
        if (b->text() == text) chosen = b;
      }
      ASSERT_NE(chosen, nullptr) << text.toStdString();
      QTest::mouseClick(chosen, Qt::LeftButton);
    });
  };
  Open(start, {.file = path});
  answer("Cancel");
  window->Ok();
  EXPECT_EQ(window->outcome(), EditorWindow::Outcome::Editing);
  EXPECT_FALSE(std::ifstream(path).good());
  answer("Leave Them Out");
  window->Ok();
  ASSERT_EQ(window->outcome(), EditorWindow::Outcome::Kept);
  Lens read{};
  ASSERT_EQ(LoadLensFile(path.c_str(), read, false), 0);
  ASSERT_EQ(read.count, 2u);
  EXPECT_EQ(read.elements[0].type, static_cast<int16_t>(GlowBall));
  EXPECT_EQ(read.elements[1].type, static_cast<int16_t>(StarFilter));
  // The same picture as the one approved.
  const PreviewSettings settings = DefaultPreviewSettings(1920, 1080);
  EXPECT_EQ(Expected(read, settings, {1920, 1080}, {480, 270}),
            Expected(start, settings, {1920, 1080}, {480, 270}));

  Open(start, {.file = path});
  answer("Keep Them On");
  window->Ok();
  ASSERT_EQ(LoadLensFile(path.c_str(), read, false), 0);
  EXPECT_EQ(read.count, 3u);
  EXPECT_EQ(read.elements[1].enabled, 1);
}

// The preview fills its space at the frame's aspect ratio, whatever shape
// the window takes; what it shows is the lens drawn at that size.
TEST_F(QtEditorTest, ThePreviewKeepsTheFramesAspectAtEverySize) {
  Lens lens{};
  BuildDefaultLens(lens);
  QImage frame(640, 480, QImage::Format_RGB888);  // 4:3, a gradient
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) frame.setPixelColor(x, y, QColor(x / 5, y / 4, 90));
  }
  for (const QImage& background : {QImage(), frame}) {
    Open(lens, {.background = background});
    const QSize frameSize = background.isNull() ? QSize(1920, 1080) : QSize(640, 480);
    PreviewView* preview = window->preview();
    EXPECT_EQ(preview->frameSize(), frameSize);
    for (QSize size : {QSize(1300, 640), QSize(900, 900), QSize(1000, 700)}) {
      size = size.expandedTo(window->minimumSizeHint());
      window->resize(size);
      ASSERT_TRUE(WaitFor([&] { return window->size() == size && preview->Idle(); }));
      const QRectF r = preview->FrameRect();
      EXPECT_NEAR(r.width() / r.height(), double(frameSize.width()) / frameSize.height(), 1e-9);
      // It touches two opposite sides of its space and is centred.
      EXPECT_TRUE(std::abs(r.width() - preview->width()) < 0.5 ||
                  std::abs(r.height() - preview->height()) < 0.5);
      EXPECT_NEAR(r.center().x(), preview->width() / 2.0, 0.5);
      const QImage shown = preview->picture();
      EXPECT_EQ(shown.width(), std::min<int>(std::lround(r.width()), frameSize.width()));
      EXPECT_EQ(shown.height(),
                std::lround(shown.width() * double(frameSize.height()) / frameSize.width()));
      EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB888),
                Expected(lens, preview->settings(), frameSize, shown.size(), background))
          << size.width() << " x " << size.height();
    }
  }
}

TEST_F(QtEditorTest, DragTheLightOnThePreview) {
  Lens lens{};
  BuildDefaultLens(lens);
  Open(lens);
  PreviewView* preview = window->preview();
  ASSERT_TRUE(PreviewIdle());
  const QRectF r = preview->FrameRect();
  const auto at = [&](double fx, double fy) {
    return QPoint(static_cast<int>(r.left() + fx * r.width()),
                  static_cast<int>(r.top() + fy * r.height()));
  };
  const auto light = [&](QPoint p) {
    return QPointF(std::round((p.x() - r.left()) * 1920 / r.width()),
                   std::round((p.y() - r.top()) * 1080 / r.height()));
  };
  QTest::mousePress(preview, Qt::LeftButton, {}, at(0.25, 0.5));
  QTest::mouseMove(preview, at(0.4, 0.45));
  // While it moves, half size each way ("Fast Drags").
  ASSERT_TRUE(WaitFor([&] { return preview->showingCoarse(); }));
  const int fullWidth = std::min(static_cast<int>(std::lround(r.width())), 1920);
  EXPECT_EQ(preview->picture().width(), fullWidth / 2);
  QTest::mouseMove(preview, at(0.75, 0.4));
  QTest::mouseRelease(preview, Qt::LeftButton, {}, at(0.75, 0.4));
  const QPointF expected = light(at(0.75, 0.4));
  EXPECT_EQ(preview->settings().lightX, expected.x());
  EXPECT_EQ(preview->settings().lightY, expected.y());
  EXPECT_EQ(Find<QSpinBox>("lightX")->value(), expected.x());
  EXPECT_EQ(Find<QSpinBox>("lightY")->value(), expected.y());
  EXPECT_TRUE(Find<QLabel>("lightReadout")
                  ->text()
                  .contains(QString("%1, %2 in the 1920").arg(expected.x()).arg(expected.y())));
  ASSERT_TRUE(PreviewIdle());
  EXPECT_EQ(preview->picture().width(), fullWidth);
  EXPECT_EQ(preview->picture().convertToFormat(QImage::Format_RGB888),
            Expected(lens, preview->settings(), {1920, 1080}, preview->picture().size()));
  // Beyond the frame, the light stops at its edge; the light typed works too.
  QTest::mousePress(preview, Qt::LeftButton, {}, at(0.5, 0.5));
  QTest::mouseMove(preview, QPoint(preview->width() + 40, -30));
  QTest::mouseRelease(preview, Qt::LeftButton, {}, QPoint(preview->width() + 40, -30));
  EXPECT_EQ(preview->settings().lightX, 1920.0f);
  EXPECT_EQ(preview->settings().lightY, 0.0f);
  TypeNumber("lightX", "100");
  EXPECT_EQ(preview->settings().lightX, 100.0f);
  // The preview's settings are the preview's: the lens is untouched.
  EXPECT_FALSE(window->isWindowModified());
  QTest::mouseClick(Find<QPushButton>("reset"), Qt::LeftButton);
  EXPECT_EQ(preview->settings(), DefaultPreviewSettings(1920, 1080));
}

// Many pointer moves in a row: the light ends where the pointer stopped and
// the last picture shown is of that place.
TEST_F(QtEditorTest, ADragOfManyMovesEndsWhereThePointerStopped) {
  Lens lens{};
  BuildPreset(lens, 3);
  Open(lens);
  PreviewView* preview = window->preview();
  const QRectF r = preview->FrameRect();
  const int y = static_cast<int>(r.center().y());
  QTest::mousePress(preview, Qt::LeftButton, {}, QPoint(static_cast<int>(r.left()) + 10, y));
  for (int i = 1; i <= 40; ++i) {
    QTest::mouseMove(preview, QPoint(static_cast<int>(r.left()) + 10 + 6 * i, y));
  }
  QTest::mouseRelease(preview, Qt::LeftButton, {}, QPoint(static_cast<int>(r.left()) + 250, y));
  ASSERT_TRUE(PreviewIdle());
  EXPECT_EQ(preview->settings().lightX,
            std::round((static_cast<int>(r.left()) + 250 - r.left()) * 1920 / r.width()));
  EXPECT_EQ(preview->picture().convertToFormat(QImage::Format_RGB888),
            Expected(lens, preview->settings(), {1920, 1080}, preview->picture().size()));
}

TEST_F(QtEditorTest, TheWindowRemembersItsSize) {
  rememberSize = true;
  Open(LensOf({GlowBall}));
  window->resize(930, 640);
  ASSERT_TRUE(WaitFor([&] { return window->size() == QSize(930, 640); }));
  window->Cancel();
  ASSERT_EQ(window->outcome(), EditorWindow::Outcome::Cancelled);
  Open(LensOf({Disc}));
  EXPECT_EQ(window->size(), QSize(930, 640));
}

}  // namespace
}  // namespace gw::qt
