// The editor's settings kept with QSettings: organization and application "VYR Mission Editor",
// one group per section ("Settings", "Recent"). Values are stored as UTF-8 text.
#pragma once

#include <memory>

#include "editor/launch/settings_store.h"

class QSettings;
class QString;

namespace vyr::gui {

class QtSettingsStore : public editor::SettingsStore {
 public:
  QtSettingsStore();                                  // the user's own store
  explicit QtSettingsStore(const QString& ini_file);  // a store of its own, for tests and portable runs
  ~QtSettingsStore() override;

  std::optional<std::string> GetSetting(const std::string& section, const std::string& key) const override;
  void SaveSetting(const std::string& section, const std::string& key, const std::string& value) override;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace vyr::gui
