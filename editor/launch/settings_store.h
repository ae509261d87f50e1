// The per-user settings store: string values by section and key, all under the application
// "VYR Mission Editor". The GUI keeps them with QSettings; the core and its tests see only this.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace vyr::editor {

inline constexpr const char* kSettingsApplication = "VYR Mission Editor";
inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kRecentSection = "Recent";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The stored text, or nothing when the key has never been written.
  virtual std::optional<std::string> GetSetting(const std::string& section, const std::string& key) const = 0;
  virtual void SaveSetting(const std::string& section, const std::string& key, const std::string& value) = 0;
};

// Keeps the values for the life of the object; for tests and for runs that must not touch the user's store.
class MemorySettingsStore : public SettingsStore {
 public:
  std::optional<std::string> GetSetting(const std::string& section, const std::string& key) const override {
    auto it = values_.find({section, key});
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  void SaveSetting(const std::string& section, const std::string& key, const std::string& value) override {
    values_[{section, key}] = value;
  }

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace vyr::editor
