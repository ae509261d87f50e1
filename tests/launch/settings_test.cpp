#include "editor/launch/settings.h"

#include <gtest/gtest.h>

#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using testing::ScriptedUi;

std::optional<std::string> Stored(const SettingsStore& store, const char* key) {
  return store.GetSetting(kSettingsSection, key);
}

// Anything else is no boolean: the caller falls back to the default instead of failing.
TEST(TextToBool, NumbersAndWords) {
  const std::pair<const char*, std::optional<bool>> cases[] = {
      {"0", false},          {"-1", true},         {"2.5", true},         {"0.0", false},
      {" 0 ", false},        {"True", true},       {"FALSE", false},      {"", std::nullopt},
      {"yes", std::nullopt}, {"1x", std::nullopt}, {"nan", std::nullopt}, {"inf", std::nullopt},
      {"-", std::nullopt}};
  for (const auto& [text, value] : cases)
    EXPECT_EQ(TextToBool(text), value) << text;
}

TEST(LoadSettings, FirstStartGivesDefaultsAndWritesNothing) {
  MemorySettingsStore store;
  EditorSettings settings = LoadSettings(store, "/home/me/.local/share/VYR Mission Editor");
  EXPECT_EQ(settings.aq2_path, "");
  EXPECT_EQ(settings.bholelimit + "/" + settings.splatlimit, "40/20");
  EXPECT_TRUE(settings.eject_shells && settings.breakable_glass && settings.developer);
  EXPECT_EQ(settings.projectpath, "/home/me/.local/share/VYR Mission Editor");
  EXPECT_EQ(Stored(store, kKeyAQ2Path), std::nullopt);
  EXPECT_EQ(Stored(store, kKeyProjectPath), std::nullopt);
}

TEST(LoadSettings, TheAutosaveIntervalIsWholeSecondsUpToADay) {
  const std::pair<const char*, int> cases[] = {
      {nullptr, 60}, {"0", 0},    {" 15 ", 15}, {"86400", 86400}, {"86401", 60},
      {"-5", 60},    {"1.5", 60}, {"soon", 60}, {"", 60},         {"99999999999", 60}};
  for (const auto& [text, seconds] : cases) {
    MemorySettingsStore store;
    if (text != nullptr) store.SaveSetting("Settings", "AutosaveInterval", text);
    EXPECT_EQ(LoadSettings(store, "").autosave_seconds, seconds) << (text ? text : "missing");
  }
}

TEST(LoadSettings, StoredValuesAreReadAsTheyStand) {
  MemorySettingsStore store;
  store.SaveSetting("Settings", "AQ2Path", "/games/quake2/action");
  store.SaveSetting("Settings", "bholelimit", "lots");  // limits are not checked
  store.SaveSetting("Settings", "splatlimit", "5");
  store.SaveSetting("Settings", "EjectShells", "0");
  store.SaveSetting("Settings", "BreakableGlass", "False");
  store.SaveSetting("Settings", "Developer", "maybe");  // not a boolean: the default
  store.SaveSetting("Settings", "projectpath", "");
  store.SaveSetting("Recent", "EjectShells", "1");  // another section does not count
  EditorSettings settings = LoadSettings(store, "/app");
  EXPECT_EQ(settings.aq2_path, "/games/quake2/action");
  EXPECT_EQ(settings.bholelimit + "/" + settings.splatlimit, "lots/5");
  EXPECT_FALSE(settings.eject_shells);
  EXPECT_FALSE(settings.breakable_glass);
  EXPECT_TRUE(settings.developer);
  EXPECT_EQ(settings.projectpath, "");  // stored empty is not missing
}

// The settings window's form over the settings of a first start.
struct SettingsFormTest : ::testing::Test {
  MemorySettingsStore store;
  EditorSettings settings = LoadSettings(store, "/app");
  SettingsForm form{store, settings};
};

TEST_F(SettingsFormTest, LoadingSuppressesLimitAndProjectPathButNotGamePath) {
  form.BeginLoading();
  form.LimitChanged(SettingsLimit::kBulletHoles, "40");
  form.LimitChanged(SettingsLimit::kSplats, "20");
  form.ProjectPathChanged("/app");
  form.GamePathChanged("");
  form.EndLoading();
  EXPECT_EQ(Stored(store, kKeyBulletHoleLimit), std::nullopt);
  EXPECT_EQ(Stored(store, kKeySplatLimit), std::nullopt);
  EXPECT_EQ(Stored(store, kKeyProjectPath), std::nullopt);
  EXPECT_EQ(Stored(store, kKeyAQ2Path), "");

  form.LimitChanged(SettingsLimit::kBulletHoles, "12a");
  form.LimitChanged(SettingsLimit::kSplats, "");
  EXPECT_EQ(Stored(store, kKeyBulletHoleLimit), "12a");
  EXPECT_EQ(Stored(store, kKeySplatLimit), "");
  EXPECT_EQ(settings.bholelimit, "12a");
  EXPECT_EQ(settings.splatlimit, "");
}

TEST_F(SettingsFormTest, FlagsAreWrittenAsOneAndZeroAndReadBack) {
  form.FlagClicked(SettingsFlag::kEjectShells, true);
  EXPECT_EQ(Stored(store, kKeyEjectShells), "1");
  form.FlagClicked(SettingsFlag::kEjectShells, false);
  EXPECT_EQ(Stored(store, kKeyEjectShells), "0");
  form.FlagClicked(SettingsFlag::kBreakableGlass, false);
  form.FlagClicked(SettingsFlag::kDeveloper, true);
  EXPECT_EQ(Stored(store, kKeyBreakableGlass), "0");
  EXPECT_EQ(Stored(store, kKeyDeveloper), "1");

  EditorSettings next_start = LoadSettings(store, "/app");
  EXPECT_FALSE(next_start.eject_shells);
  EXPECT_FALSE(next_start.breakable_glass);
  EXPECT_TRUE(next_start.developer);
}

TEST_F(SettingsFormTest, ProjectPathLosesOneTrailingSeparator) {
  form.ProjectPathChanged("C:\\Missions\\");
  EXPECT_EQ(Stored(store, kKeyProjectPath), "C:\\Missions");
  EXPECT_EQ(settings.projectpath, "C:\\Missions");
  form.ProjectPathChanged("/home/me/missions//");
  EXPECT_EQ(Stored(store, kKeyProjectPath), "/home/me/missions/");
  form.ProjectPathChanged("\\");
  EXPECT_EQ(Stored(store, kKeyProjectPath), "");
  EXPECT_EQ(settings.projectpath, "");

  // Emptying the box changes the run-time folder but keeps the stored one.
  form.ProjectPathChanged("/kept");
  form.ProjectPathChanged("");
  EXPECT_EQ(Stored(store, kKeyProjectPath), "/kept");
  EXPECT_EQ(settings.projectpath, "");
}

TEST_F(SettingsFormTest, TheAutosaveIntervalIsKeptWithinADayAndReadBack) {
  form.BeginLoading();
  form.AutosaveIntervalChanged(5);
  EXPECT_EQ(Stored(store, kKeyAutosaveInterval), std::nullopt) << "filling the window stores nothing";
  EXPECT_EQ(settings.autosave_seconds, 60);
  form.EndLoading();
  for (const auto& [given, kept] : {std::pair{120, "120"}, {0, "0"}, {-5, "0"}, {86401, "86400"}}) {
    form.AutosaveIntervalChanged(given);
    EXPECT_EQ(Stored(store, kKeyAutosaveInterval), kept) << given;
    EXPECT_EQ(LoadSettings(store, "").autosave_seconds, settings.autosave_seconds) << given;
  }
}

TEST_F(SettingsFormTest, BrowseGivesTheFolderOfTheChosenFile) {
  settings.aq2_path = "/old";
  ScriptedUi ui;
  ui.Answer("/games/quake2/action/gamex86.dll");
  EXPECT_EQ(form.Browse(ui), "/games/quake2/action");
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].request.title, "Locate your Action Quake2 folder");
  EXPECT_EQ(ui.dialogs[0].request.filter, "gamex86.dll|gamex86.dll");
  EXPECT_EQ(ui.dialogs[0].request.directory, "/old");

  ui.Answer("C:\\Games\\Quake2\\action\\gamex86.dll");
  EXPECT_EQ(form.Browse(ui), "C:\\Games\\Quake2\\action");

  ui.Answer(std::nullopt);
  EXPECT_EQ(form.Browse(ui), std::nullopt);
  EXPECT_EQ(settings.aq2_path, "/old");
  EXPECT_EQ(Stored(store, kKeyAQ2Path), std::nullopt);
}

}  // namespace
}  // namespace vyr::editor
