// The main window's vocabulary as tables: its menus with their items, captions and initial states, the
// toolbar's buttons, and the context menu and delete command of each kind of tree node.
#pragma once

#include <QKeySequence>
#include <QList>
#include <array>
#include <vector>

#include "editor/document/project_tree.h"

namespace vyr::gui {

enum ItemFlag : unsigned { kVisibleEnabled = 0, kHidden = 1, kDisabled = 2 };

struct ItemSpec {
  const char* name;  // nullptr: a separator
  const char* caption = "";
  unsigned flags = kVisibleEnabled;
  QKeySequence::StandardKey key = QKeySequence::UnknownKey;  // the desktop's key for the command, if any
};

struct MenuSpec {
  const char* name;
  const char* caption;
  bool on_menu_bar;
  bool hidden;
  std::vector<ItemSpec> items;
};

// Every menu in order: the menu bar's, then the hidden context menus.
const std::vector<MenuSpec>& MenuTable();

struct ToolSpec {
  const char* key;
  const char* tip;  // nullptr: a separator
  bool enabled;
};

// The toolbar's buttons in order; a separator has no tool tip.
extern const std::array<ToolSpec, 10> kToolbar;

// The context menu a node of this kind shows; nullptr for the root.
const char* ContextMenuOf(editor::NodeImage image);
// The command the Delete key runs on a record node: the same as its menu's delete item; nullptr otherwise.
const char* DeleteCommandOf(editor::NodeImage image);
bool IsCategory(editor::NodeImage image);

// The desktop's keys for a standard command; where the platform names none, the usual one of desktop
// editors (Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S, Ctrl+Q).
QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key);

}  // namespace vyr::gui
