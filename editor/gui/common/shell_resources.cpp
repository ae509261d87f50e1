#include "editor/gui/common/shell_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitShellResourcesOnce() {
  Q_INIT_RESOURCE(shell);
}

namespace vyr::gui {

void InitShellResources() {
  static const bool done = (InitShellResourcesOnce(), true);
  (void)done;
}

}  // namespace vyr::gui
