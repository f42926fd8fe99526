#include "editor/qt/element_list_model.h"

#include <QMimeData>

#include "lens/element_types.h"

namespace gw::qt {

QString NameOf(const LensElement& element) {
  const std::string_view name = ElementName(element);
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

ElementListModel::ElementListModel(LensDocument& document, QObject* parent)
    : QAbstractListModel(parent), document_(document) {
  listener_ = document_.AddListener([this](const LensChange& change) { Changed(change); });
}

ElementListModel::~ElementListModel() { document_.RemoveListener(listener_); }

void ElementListModel::Changed(const LensChange& change) {
  switch (change.kind) {
    case LensChangeKind::Name:
    case LensChangeKind::Enabled: {
      const QModelIndex row = index(change.index);
      emit dataChanged(row, row);
      break;
    }
    case LensChangeKind::Elements:
    case LensChangeKind::Whole:
      beginResetModel();
      endResetModel();
      break;
    case LensChangeKind::Selection:
    case LensChangeKind::Field:
      break;  // the rows show neither
  }
}

int ElementListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : document_.count();
}

QVariant ElementListModel::data(const QModelIndex& index, int role) const {
  const LensElement* e = document_.element(index.row());
  if (!e || index.parent().isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return NameOf(*e);
    case Qt::CheckStateRole:
      return e->enabled ? Qt::Checked : Qt::Unchecked;
    case Qt::ToolTipRole: {
      const ElementTypeInfo* type = FindElementType(e->type);
      return type ? QString::fromLatin1(type->listName)
                  : QString("type %1: draws nothing").arg(e->type);
    }
    default:
      return {};
  }
}

bool ElementListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!document_.element(index.row())) return false;
  if (role == Qt::CheckStateRole) {
    document_.SetEnabled(index.row(), value.toInt() == Qt::Checked);
    return true;
  }
  if (role != Qt::EditRole) return false;
  std::string latin1;
  const std::string problem = ElementNameProblem(value.toString().toStdString(), latin1);
  if (!problem.empty()) {
    if (nameRefused) nameRefused(QString::fromStdString(problem));
    return false;
  }
  document_.Rename(index.row(), latin1);
  return true;
}

Qt::ItemFlags ElementListModel::flags(const QModelIndex& index) const {
  // Rows are dropped between rows, never onto one.
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEditable |
         Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

Qt::DropActions ElementListModel::supportedDropActions() const {
  return Qt::MoveAction | Qt::CopyAction;
}

QStringList ElementListModel::mimeTypes() const { return {kRowsMimeType}; }

QMimeData* ElementListModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setData(kRowsMimeType, QByteArray::number(indexes.front().row()));
  return data;
}

bool ElementListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                    const QModelIndex& parent) {
  if (!data || !data->hasFormat(kRowsMimeType) || parent.isValid()) return false;
  bool number = false;
  const int from = data->data(kRowsMimeType).toInt(&number);
  if (!number || !document_.element(from)) return false;
  // `row` is where the row goes in the list as it stands (-1: the end).
  const int before = row < 0 || row > document_.count() ? document_.count() : row;
  if (action == Qt::CopyAction) {
    if (document_.full()) return false;
    document_.BeginGesture();  // one step: the copy and where it goes
    document_.Duplicate(from);
    document_.Move(document_.count() - 1, before);
    document_.EndGesture();
    return true;
  }
  if (action != Qt::MoveAction) return false;
  // Done here: the rows the view then asks to remove stay (removeRows does
  // nothing in this model).
  document_.Move(from, before > from ? before - 1 : before);
  return true;
}

}  // namespace gw::qt
