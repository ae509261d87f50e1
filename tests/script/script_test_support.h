// Helpers shared by the script tools' tests: test data, temporary folders, readable text diffs.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "editor/document/mission_document.h"

namespace vyr::editor {

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadTestData(const std::string& relative) {
  return ReadFileBytes(std::filesystem::path(VYR_TEST_DATA_DIR) / relative);
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Makes line ends visible so a failing comparison shows where CR LF went wrong.
inline std::vector<std::string> VisibleLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (char c : text) {
    if (c == '\r') {
      current += "<CR>";
    } else if (c == '\n') {
      lines.push_back(current + "<LF>");
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

// Compares two texts byte for byte, reporting the first differing line of each.
inline void ExpectSameText(const std::string& expected, const std::string& actual) {
  if (expected == actual) return;
  const std::vector<std::string> want = VisibleLines(expected);
  const std::vector<std::string> got = VisibleLines(actual);
  std::size_t i = 0;
  while (i < want.size() && i < got.size() && want[i] == got[i])
    ++i;
  ADD_FAILURE() << "texts differ at line " << (i + 1)
                << "\n  expected: " << (i < want.size() ? want[i] : "<end of text>")
                << "\n  actual:   " << (i < got.size() ? got[i] : "<end of text>");
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vyr-script-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Fills a document with the warehouse mission: two locations, one area, one force with one team of a
// player and an npc, and one outcome.
inline void BuildWarehouse(MissionDocument& doc) {
  doc.NewProject();
  doc.info.vyr_missionname = "Warehouse";
  doc.info.vyr_author = "Kim";
  doc.info.vyr_missiondescription = "Clear the warehouse.";
  doc.info.vyr_mapname = "urban1";
  doc.info.annotation = "Night raid";
  doc.info.map_styles = "indoor?";  // never written: the style line is fixed
  ASSERT_TRUE(doc.AddLocation("gate", "", 100, -20, 0));
  ASSERT_TRUE(doc.AddLocation("tower", "", -5, 40, 128));
  ASSERT_TRUE(doc.AddArea("yard", "", "gate?tower?", 200, "open?"));
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Alpha", "", "  insert at gate using \"column\";\r\n  wait until ready;"));
  ActorRecord lead;
  lead.npc_player = true;
  lead.npc_name = "Lead";
  lead.npc_skill = 1.0f;
  lead.weapon[0] = true;
  lead.item[1] = true;
  lead.ammo[0] = 2;
  ASSERT_TRUE(doc.AddActor(0, 0, lead));
  ActorRecord bot;
  bot.npc_name = "Bot";
  bot.npc_skill = 0.5f;
  bot.weapon[1] = true;
  bot.ammo[1] = 3;
  ASSERT_TRUE(doc.AddActor(0, 0, bot));
  ASSERT_TRUE(doc.AddOutcome("Blue", "Well done", "m2?m3?", "success", "timeout(300)"));
}

}  // namespace vyr::editor
