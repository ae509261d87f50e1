#include "editor/shell/project_tree_model.h"

#include <QFile>
#include <QFont>
#include <string>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

using editor::NodeId;
using editor::TreeChange;

ProjectTreeModel::ProjectTreeModel(editor::ProjectTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
  for (std::size_t i = 0; i < icons_.size(); ++i) {
    const std::string_view key = editor::ImageKey(static_cast<editor::NodeImage>(i));
    const QString path = QStringLiteral(":/icons/tree/%1.svg")
                             .arg(QLatin1String(key.data(), static_cast<qsizetype>(key.size())));
    if (QFile::exists(path)) icons_[i] = QIcon(path);
  }
  connection_ = tree_.changes().Connect([this](const editor::TreeEvent& event) { OnTreeEvent(event); });
}

ProjectTreeModel::~ProjectTreeModel() = default;

void ProjectTreeModel::OnTreeEvent(const editor::TreeEvent& event) {
  switch (event.change) {
    case TreeChange::kAboutToAdd:
      beginInsertRows(IndexOf(event.parent), event.row, event.row);
      break;
    case TreeChange::kAdded:
      endInsertRows();
      break;
    case TreeChange::kAboutToRemove:
      beginRemoveRows(IndexOf(event.parent), event.row, event.row);
      break;
    case TreeChange::kRemoved:
      endRemoveRows();
      break;
    case TreeChange::kChanged: {
      const QModelIndex changed = IndexOf(event.node);
      if (changed.isValid()) emit dataChanged(changed, changed);
      break;
    }
    case TreeChange::kAboutToReset:
      beginResetModel();
      break;
    case TreeChange::kReset:
      endResetModel();
      break;
    case TreeChange::kSelection:
      break;  // the view's current index is the window's business
  }
}

QModelIndex ProjectTreeModel::IndexOf(NodeId node) const {
  if (node == tree_.root()) return createIndex(0, 0, static_cast<quintptr>(node));
  const int row = tree_.RowOf(node);
  if (row < 0) return {};
  return createIndex(row, 0, static_cast<quintptr>(node));
}

NodeId ProjectTreeModel::NodeOf(const QModelIndex& index) {
  return index.isValid() ? static_cast<NodeId>(index.internalId()) : editor::kNoNode;
}

QModelIndex ProjectTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  if (!parent.isValid())
    return row == 0 ? createIndex(0, 0, static_cast<quintptr>(tree_.root())) : QModelIndex();
  const NodeId child = tree_.ChildAt(NodeOf(parent), row);
  return child == editor::kNoNode ? QModelIndex() : createIndex(row, 0, static_cast<quintptr>(child));
}

QModelIndex ProjectTreeModel::parent(const QModelIndex& child) const {
  const editor::TreeNode* node = tree_.Find(NodeOf(child));
  if (node == nullptr || node->parent == editor::kNoNode) return {};
  return IndexOf(node->parent);
}

int ProjectTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return 1;
  if (parent.column() != 0) return 0;
  const editor::TreeNode* node = tree_.Find(NodeOf(parent));
  return node == nullptr ? 0 : static_cast<int>(node->children.size());
}

int ProjectTreeModel::columnCount(const QModelIndex&) const {
  return 1;
}

QVariant ProjectTreeModel::data(const QModelIndex& index, int role) const {
  const editor::TreeNode* node = tree_.Find(NodeOf(index));
  if (node == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
      return FromCodePage(node->text);
    case Qt::FontRole: {
      if (!node->bold) return {};
      QFont font;
      font.setBold(true);
      return font;
    }
    case Qt::DecorationRole: {
      const QIcon& icon = icons_[static_cast<std::size_t>(node->image)];
      return icon.isNull() ? QVariant() : QVariant(icon);
    }
    default:
      return {};
  }
}

Qt::ItemFlags ProjectTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace vyr::gui
