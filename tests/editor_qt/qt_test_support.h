// Driving the Qt editor as a person does: waiting for the preview, acting
// on the modal windows and menus it opens.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace gw::qt::testing {

// Runs events until `done` holds or `ms` have passed; whether it held.
inline bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QTest::qWait(5);
  }
  return true;
}

// Once `find` gives a widget (or after thirty seconds, with null), `act` on
// it. A file chooser can take seconds to come up on a busy machine; a
// window that never comes fails the test that waits for it.
inline void WhenThere(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(qApp);
  auto tries = std::make_shared<int>(3000);
  QObject::connect(timer, &QTimer::timeout, [timer, find, act, tries] {
    QWidget* found = find();
    if (!found && --*tries > 0) return;
    timer->stop();
    timer->deleteLater();
    act(found);
  });
  timer->start(10);
}

// `act` on the next modal window of kind W: a file chooser, a message box,
// the colour chooser (null when none comes).
template <typename W>
void OnNext(std::function<void(W*)> act) {
  WhenThere(
      [] { return static_cast<QWidget*>(qobject_cast<W*>(QApplication::activeModalWidget())); },
      [act](QWidget* w) { act(static_cast<W*>(w)); });
}

// Picks `path` in a file chooser, types it into the name field as a person
// does, and takes it. (QFileDialog::selectFile alone leaves the field as it
// is once the field has the keyboard focus, which comes whenever the window
// system gives it: the chooser would then be left open, waiting.)
inline void ChooseFile(QFileDialog* chooser, const QString& path) {
  chooser->selectFile(path);  // its folder, and no other file selected
  if (auto* name = chooser->findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
  QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
}

// Clicks the entry `text` of the next popup menu.
inline void OnNextMenuClick(const QString& text) {
  WhenThere([] { return QApplication::activePopupWidget(); },
            [text](QWidget* popup) {
              auto* menu = qobject_cast<QMenu*>(popup);
              if (!menu) return;
              for (QAction* action : menu->actions()) {
                if (action->text() == text) {
                  QTest::mouseClick(menu, Qt::LeftButton, {},
                                    menu->actionGeometry(action).center());
                  return;
                }
              }
              menu->close();
            });
}

}  // namespace gw::qt::testing
