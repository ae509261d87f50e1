#include "editor/properties/property_window.h"

namespace vyr::gui {

PropertyWindow::PropertyWindow(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : QWidget(parent), document_(document), node_(node) {}

void PropertyWindow::Activate() {
  if (document_.tree().Contains(node_)) document_.MakeCurrent(node_);
}

}  // namespace vyr::gui
