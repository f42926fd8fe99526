// The lens's elements as a Qt list model: one row per element in drawing
// order, its name (renamed in place), its check box (switched on and off),
// and rows dragged to another place or, with Ctrl, copied there. Every edit
// goes to the lens document; the document's notices update the views.
#pragma once

#include <QAbstractListModel>
#include <QString>
#include <functional>

#include "editor/lens_document.h"

namespace gw::qt {

class ElementListModel final : public QAbstractListModel {
 public:
  // The mime type of dragged rows: the row numbers, as text.
  static constexpr char kRowsMimeType[] = "application/x-glarewright-element-rows";

  explicit ElementListModel(LensDocument& document, QObject* parent = nullptr);
  ~ElementListModel() override;

  // Told why a name was refused (it cannot be stored in a lens file).
  std::function<void(const QString& reason)> nameRefused;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  Qt::DropActions supportedDropActions() const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

 private:
  void Changed(const LensChange& change);

  LensDocument& document_;
  int listener_ = 0;
};

// An element's name as people read it (the bytes are Latin-1).
QString NameOf(const LensElement& element);

}  // namespace gw::qt
