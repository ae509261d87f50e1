// The recent-files list: up to four project paths in the settings section "Recent" ("RecentFile1" is the
// newest), shown in the File menu as the entries mnuRecentFile(1) .. (5) behind the separator (0).
#pragma once

#include <array>
#include <string>

#include "editor/document/project_file.h"
#include "editor/launch/settings_store.h"

class QAction;

namespace vyr::gui {

class RecentFilesMenu : public editor::RecentFiles {
 public:
  static constexpr int kEntryCount = 6;  // the separator and five entries
  static constexpr int kListLength = 4;

  RecentFilesMenu(editor::SettingsStore& store, std::array<QAction*, kEntryCount> entries)
      : store_(store), entries_(entries) {}

  // Shows the stored paths as entries; with no "RecentFile1" the menu stays as it is.
  void LoadRecentMenu();
  bool IsInRecentMenu(const std::string& path) const;
  // A new path goes first and the fourth falls off; a listed one keeps its place.
  void AddToRecent(const std::string& path) override;
  // Takes the path out of the list; the newer ones keep their order and the older ones move up.
  void RemoveFromRecent(const std::string& path);

  // The path an entry shows.
  std::string PathOf(const QAction* entry) const;

 private:
  editor::SettingsStore& store_;
  std::array<QAction*, kEntryCount> entries_;
};

}  // namespace vyr::gui
