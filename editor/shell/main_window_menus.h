// The main window's vocabulary as tables: its menus, and one record per command with its caption, keys,
// icon, place in the menus and on the toolbar, what it runs, when it is enabled and the undo step it
// makes. The window builds its menus, toolbar, context menus, enabling and undo wiring from them, so a
// new command is one row of MainWindow::Commands().
#pragma once

#include <QKeySequence>
#include <QList>
#include <functional>
#include <vector>

#include "editor/document/project_tree.h"

namespace vyr::gui {

class MainWindow;

struct MenuSpec {
  const char* name;
  const char* caption;
  bool on_menu_bar;
  bool hidden;                                  // on the menu bar but out of sight
  std::vector<editor::NodeImage> context_of{};  // the tree nodes that show it as their context menu
};

// Every menu in order: the menu bar's, then the hidden context menus.
const std::vector<MenuSpec>& Menus();

enum CommandFlag : unsigned {
  kToolbar = 1u << 0,          // also a toolbar button, in table order; its caption is the tool tip
  kSeparatorBefore = 1u << 1,  // a separator goes before it, in its menu and on the toolbar
  kHidden = 1u << 2,
  kCheckable = 1u << 3,
  kDeleteKey = 1u << 4,    // the Delete key runs it on a node whose context menu holds it
  kNewDocument = 1u << 5,  // replaces the whole document: no step, the history starts anew
};

// The undo label of a command that leaves the document as it is.
inline constexpr const char* kNotAnEdit = nullptr;

struct Command {
  const char* name;                        // the action's object name
  const char* caption;                     // the menu text; on the toolbar, the tool tip
  const char* menu = nullptr;              // the menu that holds it; nullptr: toolbar or keys only
  unsigned flags = 0;                      // CommandFlag
  QList<QKeySequence> keys{};              // its shortcuts
  const char* icon = nullptr;              // the image of the same name under :/icons/toolbar/
  const char* undo = nullptr;              // the label of the one step it runs in, or kNotAnEdit
  std::function<void(MainWindow&)> run{};  // what it does; empty: nothing (the item is a placeholder)
  // Instead of running: the command it hands on to for the selection, or nullptr for none.
  const char* (*forward)(const MainWindow&) = nullptr;
  bool (*enabled)(const MainWindow&) = nullptr;  // nullptr: always enabled
  bool (*checked)(const MainWindow&) = nullptr;  // for a checkable command
};

bool IsCategory(editor::NodeImage image);

// The desktop's keys for a standard command; where the platform names none, the usual one of desktop
// editors (Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S, Ctrl+Q).
QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key);

}  // namespace vyr::gui
