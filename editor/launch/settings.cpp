#include "editor/launch/settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>

#include "editor/document/paths.h"

namespace vyr::editor {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

std::string Get(const SettingsStore& store, const char* key, const std::string& fallback) {
  return store.GetSetting(kSettingsSection, key).value_or(fallback);
}

bool GetFlag(const SettingsStore& store, const char* key, bool fallback) {
  auto text = store.GetSetting(kSettingsSection, key);
  if (!text) return fallback;
  return TextToBool(*text).value_or(fallback);
}

}  // namespace

std::optional<bool> TextToBool(std::string_view text) {
  text = TrimBlanks(text);
  if (EqualsIgnoringCase(text, "True")) return true;
  if (EqualsIgnoringCase(text, "False")) return false;
  if (text.empty()) return std::nullopt;
  std::string number(text);
  char* end = nullptr;
  double value = std::strtod(number.c_str(), &end);
  // strtod also reads "inf" and "nan"; only plain decimal numbers count.
  for (char c : number) {
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '+' && c != 'e' &&
        c != 'E')
      return std::nullopt;
  }
  if (end != number.c_str() + number.size()) return std::nullopt;
  return value != 0.0;
}

EditorSettings LoadSettings(const SettingsStore& store, const std::string& editor_folder) {
  EditorSettings settings;
  settings.aq2_path = Get(store, kKeyAQ2Path, "");
  settings.bholelimit = Get(store, kKeyBulletHoleLimit, "40");
  settings.splatlimit = Get(store, kKeySplatLimit, "20");
  settings.eject_shells = GetFlag(store, kKeyEjectShells, true);
  settings.breakable_glass = GetFlag(store, kKeyBreakableGlass, true);
  settings.developer = GetFlag(store, kKeyDeveloper, true);
  settings.projectpath = Get(store, kKeyProjectPath, editor_folder);
  if (auto interval = store.GetSetting(kSettingsSection, kKeyAutosaveInterval)) {
    const std::string_view text = TrimBlanks(*interval);
    int seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size() && seconds >= 0 &&
        seconds <= kMaxAutosaveSeconds) {
      settings.autosave_seconds = seconds;
    }
  }
  return settings;
}

void SettingsForm::LimitChanged(SettingsLimit limit, const std::string& text) {
  if (loading_) return;
  // Stored as typed: the quick run copies the text into the game configuration as it stands.
  if (limit == SettingsLimit::kBulletHoles) {
    store_.SaveSetting(kSettingsSection, kKeyBulletHoleLimit, text);
    settings_.bholelimit = text;
  } else {
    store_.SaveSetting(kSettingsSection, kKeySplatLimit, text);
    settings_.splatlimit = text;
  }
}

void SettingsForm::FlagClicked(SettingsFlag flag, bool checked) {
  const char* key = kKeyEjectShells;
  bool* value = &settings_.eject_shells;
  if (flag == SettingsFlag::kBreakableGlass) {
    key = kKeyBreakableGlass;
    value = &settings_.breakable_glass;
  } else if (flag == SettingsFlag::kDeveloper) {
    key = kKeyDeveloper;
    value = &settings_.developer;
  }
  store_.SaveSetting(kSettingsSection, key, checked ? "1" : "0");
  *value = checked;
}

void SettingsForm::ProjectPathChanged(const std::string& text) {
  if (loading_) return;
  std::string folder = DropTrailingSeparator(text);
  if (!text.empty()) store_.SaveSetting(kSettingsSection, kKeyProjectPath, folder);
  settings_.projectpath = folder;
}

void SettingsForm::GamePathChanged(const std::string& text) {
  store_.SaveSetting(kSettingsSection, kKeyAQ2Path, text);
  settings_.aq2_path = text;
}

void SettingsForm::AutosaveIntervalChanged(int seconds) {
  if (loading_) return;
  seconds = std::clamp(seconds, 0, kMaxAutosaveSeconds);
  store_.SaveSetting(kSettingsSection, kKeyAutosaveInterval, std::to_string(seconds));
  settings_.autosave_seconds = seconds;
}

std::optional<std::string> SettingsForm::Browse(UserInterface& ui) const {
  FileDialogRequest request{"Locate your Action Quake2 folder", "gamex86.dll|gamex86.dll", settings_.aq2_path,
                            ""};
  auto picked = ui.AskOpenPath(request);
  if (!picked) return std::nullopt;
  return TrimTrailingSeparators(FolderWithSeparator(*picked));
}

}  // namespace vyr::editor
