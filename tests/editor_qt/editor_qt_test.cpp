// The Lens Editor on Qt, used as a person uses it: clicks, drags and typing
// on the real widgets, then a look at the lens bytes the editing model holds.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>

#include "editor/control_ids.h"
#include "editor/qt/editor_window.h"
#include "editor/qt/qt_front_end.h"
#include "editor/qt/widgets.h"
#include "lensfile/lensfile.h"
#include "presets/presets.h"

namespace gw::qt {
namespace {

using enum ElementType;

Lens LensOf(std::initializer_list<ElementType> types) {
  Lens lens;
  std::memset(&lens, 0, sizeof lens);
  for (ElementType type : types) InitElement(static_cast<int16_t>(type), lens.elements[lens.count++]);
  return lens;
}

bool SameBytes(const LensElement& a, const LensElement& b) {
  return std::memcmp(&a, &b, sizeof(LensElement)) == 0;
}

// Runs `act` on the next modal window once it is up (a file chooser, a
// message box, one of the editor's small windows).
void ActOnModal(const std::function<void(QWidget*)>& act, int tries) {
  QWidget* modal = QApplication::activeModalWidget();
  if ((modal && modal->objectName() != "LensEditor") || tries == 0) {
    act(modal);
    return;
  }
  QTimer::singleShot(10, [act, tries] { ActOnModal(act, tries - 1); });
}

void OnNextModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] { ActOnModal(act, 200); });
}

QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB888); }

class QtEditorTest : public ::testing::Test {
 protected:
  void Open(const Lens& lens) {
    editor = std::make_unique<LensEditor>(lens, frontEnd, nullptr);
    window = frontEnd.OpenWindow(*editor, nullptr);
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
  }
  void TearDown() override {
    if (editor) editor->Close();
    delete window;
  }

  QWidget* Control(int id) { return window->Control(id); }
  QWidget* ListViewport() {
    return static_cast<ElemListWidget*>(Control(ids::kElemList))->viewport();
  }
  static QPoint Row(int r, int x = 40) { return {x, r * kRowHeight + 7}; }
  void ClickRow(int r, int x = 40) { QTest::mouseClick(ListViewport(), Qt::LeftButton, {}, Row(r, x)); }
  const Lens& lens() { return editor->lens(); }

  QtFrontEnd frontEnd;
  std::unique_ptr<LensEditor> editor;
  EditorWindow* window = nullptr;
};

TEST_F(QtEditorTest, EveryControlOfTheDialogIsThere) {
  Open(LensOf({GlowBall, FadedRing}));
  EXPECT_EQ(window->windowTitle(), "       Lens Editor");
  EXPECT_EQ(window->size(), QSize(550, 500));
  for (int id : {1, 1102, 1027, 1028, 1031, 119, 1093, 1052, 1030, 320, 120, 121, 124, 125, 123,
                 1017, 1034, 1010, 1033, 117, 108, 109, 110, 111, 112, 113, 114, 115, 116, 127,
                 128, 1007, 1039}) {
    EXPECT_NE(Control(id), nullptr) << id;
  }
  EXPECT_EQ(Control(ids::kOk)->geometry(), QRect(461, 12, 75, 21));
  EXPECT_EQ(Control(ids::kPreviewWnd)->geometry(), QRect(26, 19, 320, 240));
  EXPECT_EQ(Control(116)->geometry(), QRect(226, 442, 200, 22));
  EXPECT_EQ(static_cast<QPushButton*>(Control(ids::kLoad))->text(), "Load...");
  EXPECT_FALSE(Control(ids::kAnamorphic)->isVisible());
  // Selecting the GlowBall shows its labels and its two check boxes.
  ClickRow(0);
  EXPECT_TRUE(Control(ids::kOption)->isVisible());
  EXPECT_EQ(static_cast<QCheckBox*>(Control(ids::kOption))->text(), "Do Ring");
  EXPECT_TRUE(static_cast<SliderWidget*>(Control(116))->model().enabled());
  ClickRow(1);
  EXPECT_FALSE(Control(ids::kOption)->isVisible());
  EXPECT_FALSE(static_cast<SliderWidget*>(Control(116))->model().enabled());
}

TEST_F(QtEditorTest, AddAnElementInTheAddWindow) {
  Open(LensOf({GlowBall}));
  OnNextModal([](QWidget* w) {
    auto* list = w->findChild<QListWidget*>("control1035");
    auto* undo = w->findChild<QPushButton*>("control1038");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 19);
    EXPECT_EQ(list->item(18)->text(), "Chroma Fan");
    EXPECT_FALSE(undo->isEnabled());
    list->scrollToItem(list->item(15));  // Disc
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(15)).center());
    QTest::mouseClick(w->findChild<QPushButton*>("control1037"), Qt::LeftButton);
    EXPECT_TRUE(undo->isEnabled());
    QTest::mouseClick(w->findChild<QPushButton*>("control1036"), Qt::LeftButton);
  });
  QTest::mouseClick(Control(ids::kAddIcon), Qt::LeftButton);
  ASSERT_EQ(lens().count, 2u);
  Lens expected = LensOf({GlowBall, Disc});
  EXPECT_TRUE(SameBytes(lens().elements[1], expected.elements[1]));
  EXPECT_EQ(editor->list().selection(), 1);
}

TEST_F(QtEditorTest, RenameByDoubleClick) {
  Open(LensOf({GlowBall, Disc}));
  ClickRow(1);
  OnNextModal([](QWidget* w) {
    auto* edit = w->findChild<QLineEdit*>("control1040");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "Disc");
    edit->clear();
    QTest::keyClicks(edit, "Amber ghost");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  QTest::mouseDClick(ListViewport(), Qt::LeftButton, {}, Row(1));
  EXPECT_EQ(ElementName(lens().elements[1]), "Amber ghost");
  EXPECT_EQ(lens().elements[1].name[0], 'p');
}

TEST_F(QtEditorTest, ReorderByDragAndDropOnTheIcons) {
  Open(LensOf({GlowBall, Disc, Stripe, Sparkle}));
  const Lens before = lens();
  QTest::mousePress(ListViewport(), Qt::LeftButton, {}, Row(0));
  QTest::mouseMove(ListViewport(), Row(2));
  EXPECT_EQ(editor->list().indicatorRow(), 2);
  QTest::mouseRelease(ListViewport(), Qt::LeftButton, {}, Row(2));
  EXPECT_TRUE(SameBytes(lens().elements[0], before.elements[1]));
  EXPECT_TRUE(SameBytes(lens().elements[1], before.elements[2]));
  EXPECT_TRUE(SameBytes(lens().elements[2], before.elements[0]));
  // Dropped on the delete icon, the dragged element goes.
  const QPoint icon = Control(ids::kDeleteIcon)->geometry().center();
  const QPoint onIcon = ListViewport()->mapFrom(window, icon);
  QTest::mousePress(ListViewport(), Qt::LeftButton, {}, Row(3));
  QTest::mouseMove(ListViewport(), onIcon);
  QTest::mouseRelease(ListViewport(), Qt::LeftButton, {}, onIcon);
  EXPECT_EQ(lens().count, 3u);
  // Dropped on the add icon, it is duplicated.
  const QPoint add = ListViewport()->mapFrom(window, Control(ids::kAddIcon)->geometry().center());
  QTest::mousePress(ListViewport(), Qt::LeftButton, {}, Row(0));
  QTest::mouseMove(ListViewport(), add);
  QTest::mouseRelease(ListViewport(), Qt::LeftButton, {}, add);
  ASSERT_EQ(lens().count, 4u);
  EXPECT_TRUE(SameBytes(lens().elements[3], before.elements[1]));
}

TEST_F(QtEditorTest, CheckBoxOfARowSwitchesTheElement) {
  Open(LensOf({GlowBall, Disc}));
  ClickRow(1, 6);
  EXPECT_EQ(lens().elements[1].enabled, 0);
  EXPECT_EQ(editor->list().selection(), -1);
  ClickRow(1, 6);
  EXPECT_EQ(lens().elements[1].enabled, 1);
}

TEST_F(QtEditorTest, DragASliderAndTypeAValue) {
  Open(LensOf({Disc}));
  ClickRow(0);
  QWidget* angle = Control(111);  // -90 .. 90 over 190 pixels
  QTest::mousePress(angle, Qt::LeftButton, {}, QPoint(100, 18));
  QTest::mouseMove(angle, QPoint(195, 18));
  QTest::mouseRelease(angle, Qt::LeftButton, {}, QPoint(195, 18));
  EXPECT_EQ(lens().elements[0].angle, 90.0f);
  QTest::mousePress(angle, Qt::LeftButton, {}, QPoint(100, 18));
  QTest::mouseRelease(angle, Qt::LeftButton, {}, QPoint(100, 18));
  EXPECT_EQ(lens().elements[0].angle, 0.0f);

  OnNextModal([](QWidget* w) {
    ASSERT_EQ(w->windowTitle(), "Slider Control");
    auto* edit = w->findChild<QLineEdit*>("control1022");
    EXPECT_EQ(edit->text(), "1");  // Center Offset of a new Disc
    edit->clear();
    QTest::keyClicks(edit, "42.7");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  QTest::mouseClick(Control(112), Qt::LeftButton, {}, QPoint(30, 5));  // on the label line
  EXPECT_EQ(lens().elements[0].iparam0, 42);
}

TEST_F(QtEditorTest, PickAColourAndSetAFlag) {
  Open(LensOf({Stripe}));
  ClickRow(0);
  frontEnd.colourChooser = [](uint32_t initial, std::array<uint32_t, 16>&) {
    EXPECT_EQ(initial, PackColour({64, 128, 255}));
    return std::optional<uint32_t>(PackColour({1, 2, 3}));
  };
  QTest::mouseClick(Control(ids::kColour2), Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(lens().elements[0].color2.b, 3);
  auto* centre = static_cast<QCheckBox*>(Control(ids::kOption));
  EXPECT_TRUE(centre->isChecked());
  QTest::mouseClick(centre, Qt::LeftButton, {}, QPoint(5, centre->height() / 2));
  EXPECT_EQ(lens().elements[0].option, 0);
}

TEST_F(QtEditorTest, LoadReplacesOrAppendsWithAlt) {
  const std::string path = std::string(GW_TEST_TMPDIR) + "/two.gwr";
  ASSERT_EQ(SaveLensFile(path.c_str(), LensOf({Sparkle, ChromaHoop})), 0);
  Open(LensOf({GlowBall}));
  const auto choose = [path](QWidget* w) {
    auto* chooser = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->nameFilters().contains("lns Files (*.gwr)"));
    chooser->selectFile(QString::fromStdString(path));
    QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
  };
  OnNextModal(choose);
  QTest::mouseClick(Control(ids::kLoad), Qt::LeftButton);
  ASSERT_EQ(lens().count, 2u);
  EXPECT_EQ(lens().elements[0].type, static_cast<int16_t>(Sparkle));
  OnNextModal(choose);
  QTest::mouseClick(Control(ids::kLoad), Qt::LeftButton, Qt::AltModifier);
  EXPECT_EQ(lens().count, 4u);
  EXPECT_EQ(lens().elements[3].type, static_cast<int16_t>(ChromaHoop));
}

TEST_F(QtEditorTest, SaveWritesTheWorkingLens) {
  const std::string path = std::string(GW_TEST_TMPDIR) + "/saved_by_qt.gwr";
  std::remove(path.c_str());
  Open(LensOf({Ellipse, Sparkle}));
  OnNextModal([path](QWidget* w) {
    auto* chooser = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->nameFilters().contains("gwr Files (*.gwr)"));
    chooser->selectFile(QString::fromStdString(path));
    QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
  });
  QTest::mouseClick(Control(ids::kSave), Qt::LeftButton);
  Lens read{};
  ASSERT_EQ(LoadLensFile(path.c_str(), read, false), 0);
  EXPECT_EQ(EncodeLensFile(read), EncodeLensFile(lens()));
}

TEST_F(QtEditorTest, HoldingThePictureButtonShowsTheClipboard) {
  Open(LensOf({GlowBall}));
  QImage photo(64, 48, QImage::Format_RGB888);
  photo.fill(QColor(10, 200, 30));
  QGuiApplication::clipboard()->setImage(photo);
  QWidget* button = Control(ids::kCompare);
  QTest::mousePress(button, Qt::LeftButton);
  EXPECT_TRUE(editor->preview().showingClipboard());
  const QImage shown = Grab(Control(ids::kPreviewWnd));
  EXPECT_EQ(shown.pixelColor(160, 120), QColor(10, 200, 30));
  QTest::mouseRelease(button, Qt::LeftButton);
  EXPECT_FALSE(editor->preview().showingClipboard());
  EXPECT_NE(Grab(Control(ids::kPreviewWnd)).pixelColor(160, 120), QColor(10, 200, 30));
}

TEST_F(QtEditorTest, OkCancelEscapeAndTheCloseQuestion) {
  Open(LensOf({GlowBall}));
  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_FALSE(editor->ended());
  OnNextModal([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Save Changes to Lens Editor?");
    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
  });
  QTest::keyClick(window, Qt::Key_F4, Qt::AltModifier);
  EXPECT_TRUE(editor->ended());
  EXPECT_EQ(editor->result(), 0);

  editor->Close();
  delete window;
  Open(LensOf({GlowBall}));
  QTest::mouseClick(Control(ids::kOk), Qt::LeftButton);
  EXPECT_EQ(editor->result(), 1);
  editor->Close();
  delete window;
  Open(LensOf({GlowBall}));
  QTest::mouseClick(Control(ids::kCancel), Qt::LeftButton);
  EXPECT_TRUE(editor->ended());
  EXPECT_EQ(editor->result(), 0);
}

TEST_F(QtEditorTest, ThePreviewShowsTheModelsImageAndFollowsTheLight) {
  Lens lens{};
  BuildDefaultLens(lens);
  Open(lens);
  QWidget* preview = Control(ids::kPreviewWnd);
  QTest::mousePress(preview, Qt::LeftButton, {}, QPoint(200, 80));
  QTest::mouseMove(preview, QPoint(400, 90));
  QTest::mouseRelease(preview, Qt::LeftButton, {}, QPoint(400, 90));
  EXPECT_EQ(editor->preview().target().lightX, 320.0f);
  EXPECT_EQ(editor->preview().target().lightY, 90.0f);
  const RgbPicture model = editor->preview().DisplayedPicture();
  const QImage shown = Grab(preview);
  ASSERT_EQ(shown.size(), QSize(320, 240));
  int different = 0;
  for (int y = 0; y < 240; ++y) {
    different += std::memcmp(shown.constScanLine(y), model.rgb.data() + y * 960, 960) != 0;
  }
  EXPECT_EQ(different, 0);
}

// How long a pointer move takes to reach the screen: the light moved by one
// event, the preview rendered and repainted. Logged, not asserted.
TEST_F(QtEditorTest, TimeFromPointerToRepaintedPreview) {
  for (int16_t preset : {int16_t{0}, int16_t{3}}) {
    Lens lens{};
    if (preset == 0) {
      BuildDefaultLens(lens);
    } else {
      BuildPreset(lens, preset);
    }
    Open(lens);
    QWidget* preview = Control(ids::kPreviewWnd);
    QTest::mousePress(preview, Qt::LeftButton, {}, QPoint(40, 100));
    QElapsedTimer clock;
    clock.start();
    constexpr int kMoves = 40;
    for (int i = 1; i <= kMoves; ++i) QTest::mouseMove(preview, QPoint(40 + 6 * i, 100));
    const double ms = clock.nsecsElapsed() / 1e6 / kMoves;
    QTest::mouseRelease(preview, Qt::LeftButton, {}, QPoint(280, 100));
    EXPECT_EQ(editor->preview().target().lightX, 280.0f);
    std::printf("pointer to repainted preview, %s: %.2f ms\n",
                preset ? std::string(PresetName(preset)).c_str() : "default lens", ms);
    editor->Close();
    delete window;
    window = nullptr;
    editor.reset();
  }
}

}  // namespace
}  // namespace gw::qt
