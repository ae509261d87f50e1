// The editor's game and project settings: keys, defaults, conversions, and the rules of the
// settings window, which saves every value the moment its control changes.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "editor/document/user_interface.h"
#include "editor/launch/settings_store.h"

namespace vyr::editor {

inline constexpr const char* kKeyAQ2Path = "AQ2Path";
inline constexpr const char* kKeyBulletHoleLimit = "bholelimit";
inline constexpr const char* kKeySplatLimit = "splatlimit";
inline constexpr const char* kKeyEjectShells = "EjectShells";
inline constexpr const char* kKeyBreakableGlass = "BreakableGlass";
inline constexpr const char* kKeyDeveloper = "Developer";
inline constexpr const char* kKeyProjectPath = "projectpath";
// Seconds between recovery copies of unsaved work; 0 turns them off.
inline constexpr const char* kKeyAutosaveInterval = "AutosaveInterval";
inline constexpr int kMaxAutosaveSeconds = 86400;

// The entries of both limit lists of the settings window, in order.
inline constexpr std::array<const char*, 6> kLimitEntries = {"40", "35", "30", "20", "10", "5"};

// The run-time copies shared by the launch commands and the main window.
struct EditorSettings {
  std::string aq2_path;  // the game folder, the one that holds gamex86.dll
  std::string bholelimit = "40";
  std::string splatlimit = "20";
  bool eject_shells = true;
  bool breakable_glass = true;
  bool developer = true;
  std::string projectpath;    // default folder for mission projects, no trailing separator
  int autosave_seconds = 60;  // 0: no recovery copies
};

enum class SettingsLimit { kBulletHoles, kSplats };
enum class SettingsFlag { kEjectShells, kBreakableGlass, kDeveloper };

// "0" (or any number equal to zero) is false, any other number true; "True" and "False" in any case.
// Anything else has no boolean value.
std::optional<bool> TextToBool(std::string_view text);

// Reads the seven keys in their fixed order, then the autosave interval; a missing key, a flag that is not
// a boolean or an interval that is not a whole number of seconds up to a day gives its default. Nothing
// is written back.
EditorSettings LoadSettings(const SettingsStore& store, const std::string& editor_folder);

// The logic of the settings window. The window binds its controls to these handlers.
class SettingsForm {
 public:
  SettingsForm(SettingsStore& store, EditorSettings& settings) : store_(store), settings_(settings) {}

  // While loading, the window fills its controls; changes of the limits and of the project folder
  // are then not saved (the game folder is).
  void BeginLoading() { loading_ = true; }
  void EndLoading() { loading_ = false; }
  bool loading() const { return loading_; }

  void LimitChanged(SettingsLimit limit, const std::string& text);
  void FlagClicked(SettingsFlag flag, bool checked);
  void ProjectPathChanged(const std::string& text);
  void GamePathChanged(const std::string& text);
  // Seconds between recovery copies, 0 for none; kept within 0 .. kMaxAutosaveSeconds.
  void AutosaveIntervalChanged(int seconds);

  // Asks for the game's gamex86.dll; the folder that holds it (no trailing separator) is the new
  // text of the game folder box, or nothing when the user cancels.
  std::optional<std::string> Browse(UserInterface& ui) const;

 private:
  SettingsStore& store_;
  EditorSettings& settings_;
  bool loading_ = false;
};

}  // namespace vyr::editor
