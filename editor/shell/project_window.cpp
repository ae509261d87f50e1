// Placeholder until the tree view lands.
#include "editor/shell/project_window.h"

#include <QTreeView>
#include <QVBoxLayout>

namespace vyr::gui {

class ProjectWindow::Impl {
 public:
  QTreeView* tree = nullptr;
};

QRect ProjectWindowGeometry(const QSize& client, int toolbar_height) {
  return QRect(0, 0, 285, client.height() - toolbar_height - 50);
}

ProjectWindow::ProjectWindow(editor::MissionDocument&, QWidget* parent) : QWidget(parent), impl_(new Impl) {
  impl_->tree = new QTreeView(this);
  impl_->tree->setObjectName("force_tree");
  (new QVBoxLayout(this))->addWidget(impl_->tree);
}
ProjectWindow::~ProjectWindow() {
  delete impl_;
}
QTreeView* ProjectWindow::tree() const {
  return impl_->tree;
}
ProjectTreeModel* ProjectWindow::model() const {
  return nullptr;
}
void ProjectWindow::SetPrefabDropTarget(PrefabDropTarget*) {}

}  // namespace vyr::gui
