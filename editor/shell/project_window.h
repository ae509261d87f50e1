// The project window: the project tree `force_tree` over the document, with the mouse and keyboard
// handling of the tree, the drop side of prefab drags and the window's placement in the main window.
// The window only reports what the author did; the main window owns the menus and runs the commands.
#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>

#include "editor/document/project_tree.h"
#include "editor/gui/prefab_windows/prefab_drag.h"

class QTreeView;

namespace vyr::editor {
class MissionDocument;
}

namespace vyr::gui {

class ProjectTreeModel;

// Where the project window goes in a client area of `client` size below a toolbar `toolbar_height`
// pixels high: the top left corner, 4275 twips wide, the client height less the toolbar less 750 twips.
QRect ProjectWindowGeometry(const QSize& client, int toolbar_height);

class ProjectWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ProjectWindow(editor::MissionDocument& document, QWidget* parent = nullptr);
  ~ProjectWindow() override;

  QTreeView* tree() const;  // objectName "force_tree"
  ProjectTreeModel* model() const;

  // Nothing is dropped until a target is set; the target must outlive the window or be reset.
  void SetPrefabDropTarget(PrefabDropTarget* target);

 signals:
  // A click with any button but the right one, or Enter, on a node; the node is already the selected node.
  void nodeClicked(vyr::editor::NodeId node);
  // A right click or the context-menu key on a node, which is already highlighted and selected.
  void contextMenuRequested(vyr::editor::NodeId node, const QPoint& global_position);
  // Delete pressed on a record node, which is already the selected node.
  void deleteRequested(vyr::editor::NodeId node);

 private:
  class Impl;
  Impl* impl_;
};

}  // namespace vyr::gui
