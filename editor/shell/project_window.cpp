#include "editor/shell/project_window.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <utility>

#include "editor/document/mission_document.h"
#include "editor/gui/common/twips.h"
#include "editor/gui/prefab_windows/prefab_drag.h"
#include "editor/shell/project_tree_model.h"

namespace vyr::gui {

using editor::kNoNode;
using editor::NodeId;
using editor::NodeImage;
using editor::TreeChange;

namespace {

constexpr int kWindowWidthTwips = 4275;
constexpr int kWindowHeightLossTwips = 750;
constexpr int kTreeWidthLossTwips = 120;
constexpr int kTreeHeightLossTwips = 340;

}  // namespace

QRect ProjectWindowGeometry(const QSize& client, int toolbar_height) {
  const int height = client.height() - toolbar_height - Pixels(kWindowHeightLossTwips);
  return QRect(0, 0, Pixels(kWindowWidthTwips), std::max(height, 0));
}

class ProjectWindow::Impl {
 public:
  class ForceTree;

  Impl(ProjectWindow& window, editor::MissionDocument& document);

  editor::ProjectTree& tree() { return document_.tree(); }
  // A mouse click, or Enter, on a node.
  void Click(NodeId node, Qt::MouseButton button, const QPoint& global_position);
  void ContextMenuKey();
  void DeleteKey();
  // The view's current index moved (arrow keys and the like): the selected node follows.
  void CurrentMoved();
  // The node under `position` when it can take the dragged prefab and a drop target is set.
  NodeId DropNodeAt(const QPoint& position, const QMimeData* data);
  bool Drop(const QPoint& position, const QMimeData* data);

  ProjectWindow& window_;
  editor::MissionDocument& document_;
  ProjectTreeModel* model_;
  ForceTree* view_;
  PrefabDropTarget* drop_target_ = nullptr;
  editor::Notifier<editor::TreeEvent>::Connection connection_;

 private:
  void OnTreeEvent(const editor::TreeEvent& event);
  void FollowSelection();
  // Opens out the view as the tree's expanded flags say, from `parent` down.
  void FollowExpanded(const QModelIndex& parent);
};

// The tree view with the editor's own mouse, keyboard and drop handling: Qt's item selection is not
// used, the view only shows the document's selected node.
class ProjectWindow::Impl::ForceTree : public QTreeView {
 public:
  ForceTree(Impl& impl, QWidget* parent) : QTreeView(parent), impl_(impl) {}

  void SetDropHighlight(NodeId node) {
    if (std::exchange(drop_highlight_, node) != node) viewport()->update();
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    event->accept();
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    if (event->button() == Qt::LeftButton && OnArrow(index, position)) setExpanded(index, !isExpanded(index));
  }
  // Nodes react on release, as a click completes.
  void mouseReleaseEvent(QMouseEvent* event) override {
    event->accept();
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    if (!index.isValid() || InBranchArea(index, position)) return;
    impl_.Click(ProjectTreeModel::NodeOf(index), event->button(), event->globalPosition().toPoint());
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    event->accept();
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    if (!index.isValid() || event->button() != Qt::LeftButton || !model()->hasChildren(index)) return;
    if (OnArrow(index, position) || !InBranchArea(index, position)) setExpanded(index, !isExpanded(index));
  }
  void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }

  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        event->accept();
        if (const NodeId node = ProjectTreeModel::NodeOf(currentIndex()); node != kNoNode)
          impl_.Click(node, Qt::LeftButton, {});
        return;
      case Qt::Key_Delete:
        event->accept();
        impl_.DeleteKey();
        return;
      default:
        QTreeView::keyPressEvent(event);
        impl_.CurrentMoved();
    }
  }
  // Right clicks are handled on release; only the keyboard's menu request comes this way.
  void contextMenuEvent(QContextMenuEvent* event) override {
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard) impl_.ContextMenuKey();
  }

  void dragEnterEvent(QDragEnterEvent* event) override {
    if (ReadPrefabMimeData(event->mimeData())) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
  }
  void dragMoveEvent(QDragMoveEvent* event) override {
    const NodeId node = impl_.DropNodeAt(event->position().toPoint(), event->mimeData());
    SetDropHighlight(node);
    if (node != kNoNode) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
  }
  void dragLeaveEvent(QDragLeaveEvent* event) override {
    SetDropHighlight(kNoNode);
    event->accept();
  }
  void dropEvent(QDropEvent* event) override {
    SetDropHighlight(kNoNode);
    if (impl_.Drop(event->position().toPoint(), event->mimeData())) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
  }

  // The node that would take the dragged prefab is drawn as selected.
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
    if (drop_highlight_ == kNoNode || ProjectTreeModel::NodeOf(index) != drop_highlight_) {
      QTreeView::drawRow(painter, option, index);
      return;
    }
    QStyleOptionViewItem highlighted = option;
    highlighted.state |= QStyle::State_Selected;
    QTreeView::drawRow(painter, highlighted, index);
  }

 private:
  // Left of the node's picture and label: the expand/collapse control and the indentation.
  bool InBranchArea(const QModelIndex& index, const QPoint& position) const {
    return position.x() < visualRect(index).left();
  }
  // On the expand/collapse control of a node that has children.
  bool OnArrow(const QModelIndex& index, const QPoint& position) const {
    return index.isValid() && model()->hasChildren(index) && InBranchArea(index, position) &&
           position.x() >= visualRect(index).left() - indentation();
  }

  Impl& impl_;
  NodeId drop_highlight_ = kNoNode;
};

ProjectWindow::Impl::Impl(ProjectWindow& window, editor::MissionDocument& document)
    : window_(window),
      document_(document),
      model_(new ProjectTreeModel(document.tree(), &window)),
      view_(new ForceTree(*this, &window)) {
  view_->setObjectName("force_tree");
  view_->setHeaderHidden(true);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setExpandsOnDoubleClick(false);
  view_->setUniformRowHeights(true);  // lets a full tree lay out in one pass
  view_->setAcceptDrops(true);
  view_->viewport()->setAcceptDrops(true);
  view_->setModel(model_);

  QObject::connect(view_, &QTreeView::expanded, &window, [this](const QModelIndex& index) {
    tree().SetExpanded(ProjectTreeModel::NodeOf(index), true);
  });
  QObject::connect(view_, &QTreeView::collapsed, &window, [this](const QModelIndex& index) {
    tree().SetExpanded(ProjectTreeModel::NodeOf(index), false);
  });
  // Connected after the model, so the model has caught up when this runs.
  connection_ = tree().changes().Connect([this](const editor::TreeEvent& event) { OnTreeEvent(event); });
  FollowExpanded(QModelIndex());
  FollowSelection();
}

void ProjectWindow::Impl::OnTreeEvent(const editor::TreeEvent& event) {
  switch (event.change) {
    case TreeChange::kChanged: {
      const QModelIndex index = model_->IndexOf(event.node);
      const editor::TreeNode* node = tree().Find(event.node);
      if (index.isValid() && node != nullptr && view_->isExpanded(index) != node->expanded)
        view_->setExpanded(index, node->expanded);
      break;
    }
    case TreeChange::kReset:
      FollowExpanded(QModelIndex());
      break;
    case TreeChange::kSelection:
      FollowSelection();
      break;
    default:
      break;
  }
}

void ProjectWindow::Impl::FollowExpanded(const QModelIndex& parent) {
  const int rows = model_->rowCount(parent);
  for (int row = 0; row < rows; ++row) {
    const QModelIndex index = model_->index(row, 0, parent);
    const editor::TreeNode& node = tree().node(ProjectTreeModel::NodeOf(index));
    if (node.children.empty()) continue;
    if (node.expanded) view_->expand(index);
    FollowExpanded(index);
  }
}

void ProjectWindow::Impl::FollowSelection() {
  const QModelIndex index = model_->IndexOf(tree().selected());
  QItemSelectionModel* selection = view_->selectionModel();
  if (!index.isValid()) {
    selection->clear();
    return;
  }
  selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  view_->scrollTo(index);
}

void ProjectWindow::Impl::Click(NodeId node, Qt::MouseButton button, const QPoint& global_position) {
  document_.MakeCurrent(node);
  if (button == Qt::RightButton) {
    emit window_.contextMenuRequested(node, global_position);
  } else {
    emit window_.nodeClicked(node);
  }
}

void ProjectWindow::Impl::ContextMenuKey() {
  const QModelIndex index = view_->currentIndex();
  if (!index.isValid()) return;
  view_->scrollTo(index);
  const QRect rect = view_->visualRect(index);
  Click(ProjectTreeModel::NodeOf(index), Qt::RightButton, view_->viewport()->mapToGlobal(rect.bottomLeft()));
}

void ProjectWindow::Impl::DeleteKey() {
  const NodeId node = ProjectTreeModel::NodeOf(view_->currentIndex());
  const editor::TreeNode* found = tree().Find(node);
  if (found == nullptr || !editor::IsRecordImage(found->image)) return;
  document_.MakeCurrent(node);
  emit window_.deleteRequested(node);
}

void ProjectWindow::Impl::CurrentMoved() {
  const NodeId node = ProjectTreeModel::NodeOf(view_->currentIndex());
  if (node != kNoNode && node != tree().selected()) tree().Select(node);
}

NodeId ProjectWindow::Impl::DropNodeAt(const QPoint& position, const QMimeData* data) {
  const std::optional<PrefabDrag> drag = ReadPrefabMimeData(data);
  if (!drag || drop_target_ == nullptr) return kNoNode;
  const NodeId node = ProjectTreeModel::NodeOf(view_->indexAt(position));
  const editor::TreeNode* found = tree().Find(node);
  if (found == nullptr) return kNoNode;
  const NodeImage wanted = drag->kind == PrefabDrag::Kind::kActor ? NodeImage::kTeam : NodeImage::kSubForce;
  return found->image == wanted ? node : kNoNode;
}

bool ProjectWindow::Impl::Drop(const QPoint& position, const QMimeData* data) {
  const NodeId node = DropNodeAt(position, data);
  if (node == kNoNode) return false;
  document_.MakeCurrent(node);
  drop_target_->DropPrefab(*ReadPrefabMimeData(data), node);
  return true;
}

ProjectWindow::ProjectWindow(editor::MissionDocument& document, QWidget* parent)
    : QWidget(parent), impl_(new Impl(*this, document)) {
  setWindowTitle(tr("Project"));
  auto* layout = new QVBoxLayout(this);
  // The tree is the window's inner size less 120 twips across and 340 twips down.
  const int side = Pixels(kTreeWidthLossTwips) / 2;
  const int top = side;
  layout->setContentsMargins(side, top, side, Pixels(kTreeHeightLossTwips) - top);
  layout->addWidget(impl_->view_);
}

ProjectWindow::~ProjectWindow() {
  impl_->connection_.Disconnect();
  delete impl_->view_;  // the view calls back into impl_, so it goes first
  delete impl_->model_;
  delete impl_;
}

QTreeView* ProjectWindow::tree() const {
  return impl_->view_;
}

ProjectTreeModel* ProjectWindow::model() const {
  return impl_->model_;
}

void ProjectWindow::SetPrefabDropTarget(PrefabDropTarget* target) {
  impl_->drop_target_ = target;
}

}  // namespace vyr::gui
