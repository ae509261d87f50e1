// The project tree as a Qt item model: one column, the tree's node ids as internal ids. It only
// translates the tree's change events into Qt's begin/end calls; it never changes the tree.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <array>

#include "editor/document/project_tree.h"

namespace vyr::gui {

class ProjectTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  // The tree must outlive the model.
  explicit ProjectTreeModel(editor::ProjectTree& tree, QObject* parent = nullptr);
  ~ProjectTreeModel() override;

  const editor::ProjectTree& tree() const { return tree_; }
  // The index of a node; invalid for kNoNode or a node that is gone.
  QModelIndex IndexOf(editor::NodeId node) const;
  // The node of an index; kNoNode for an invalid index.
  static editor::NodeId NodeOf(const QModelIndex& index);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void OnTreeEvent(const editor::TreeEvent& event);

  editor::ProjectTree& tree_;
  std::array<QIcon, 12> icons_;  // by NodeImage; null until the picture is in the resources
  editor::Notifier<editor::TreeEvent>::Connection connection_;
};

}  // namespace vyr::gui
