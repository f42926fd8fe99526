// The Lens Editor's window on Qt: the dialog's buttons, labels, frames and
// check boxes where the editor places them; the model's own controls are
// added by the front-end as the model builds them.
#pragma once

#include <QDialog>

#include "editor/lens_editor.h"

class QCheckBox;
class QLabel;

namespace gw::qt {

class EditorWindow final : public QDialog {
 public:
  EditorWindow(LensEditor& editor, QWidget* parent);

  LensEditor& editor() { return editor_; }
  // A control by its id: a button, a check box, a model's widget.
  QWidget* Control(int id) const;
  // Brings the panel's two check boxes up to the model.
  void SyncCheckBoxes();
  // Closes the window once the model has ended the dialog.
  void FinishIfEnded();
  // A line under the preview: where the light stands in the user's frame.
  void SetFrameSize(int width, int height);
  void UpdateFrameLight();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void AddControl(const DialogControl& control);

  LensEditor& editor_;
  QLabel* frameLight_ = nullptr;
  int frameWidth_ = 0;
  int frameHeight_ = 0;
};

}  // namespace gw::qt
