#include "editor/shell/recent_files_menu.h"

#include <QAction>
#include <vector>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

namespace {

std::string RecentKey(int number) {
  return "RecentFile" + std::to_string(number);
}

}  // namespace

void RecentFilesMenu::LoadRecentMenu() {
  const auto first = store_.GetSetting(editor::kRecentSection, RecentKey(1));
  if (!first || first->empty()) return;
  // The store may hold a fifth value written by something else; it gets the fifth entry.
  int shown = 0;
  for (int number = 1; number < kEntryCount; ++number) {
    const auto path = store_.GetSetting(editor::kRecentSection, RecentKey(number));
    if (!path || path->empty()) continue;
    ++shown;
    entries_[0]->setVisible(true);
    QString caption = FromPath(*path);
    entries_[shown]->setText(caption.replace(u'&', QStringLiteral("&&")));
    entries_[shown]->setData(FromPath(*path));
    entries_[shown]->setVisible(true);
  }
}

bool RecentFilesMenu::IsInRecentMenu(const std::string& path) const {
  const QString wanted = FromPath(path);
  for (int i = 1; i <= kListLength; ++i) {
    if (entries_[i]->isVisible() && entries_[i]->data().toString() == wanted) return true;
  }
  return false;
}

void RecentFilesMenu::AddToRecent(const std::string& path) {
  if (!IsInRecentMenu(path)) {
    for (int i = kListLength - 1; i >= 1; --i) {
      const auto older = store_.GetSetting(editor::kRecentSection, RecentKey(i));
      if (older && !older->empty()) store_.SaveSetting(editor::kRecentSection, RecentKey(i + 1), *older);
    }
    store_.SaveSetting(editor::kRecentSection, RecentKey(1), path);
  }
  LoadRecentMenu();
}

void RecentFilesMenu::RemoveFromRecent(const std::string& path) {
  std::vector<std::string> kept;
  int stored = 0;
  for (int number = 1; number < kEntryCount; ++number) {
    const auto listed = store_.GetSetting(editor::kRecentSection, RecentKey(number));
    if (!listed) continue;
    stored = number;
    if (!listed->empty() && *listed != path) kept.push_back(*listed);
  }
  for (int number = 1; number <= stored; ++number) {
    const std::size_t at = static_cast<std::size_t>(number - 1);
    store_.SaveSetting(editor::kRecentSection, RecentKey(number),
                       at < kept.size() ? kept[at] : std::string());
  }
  // LoadRecentMenu only shows entries: a shorter (or empty) list must not leave old ones behind.
  for (QAction* entry : entries_)
    entry->setVisible(false);
  LoadRecentMenu();
}

std::string RecentFilesMenu::PathOf(const QAction* entry) const {
  return ToPath(entry->data().toString());
}

}  // namespace vyr::gui
