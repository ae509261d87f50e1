// A project whose tables are all full, saved to a scratch folder once per benchmark program: 101
// locations, 101 areas, 101 forces of 21 teams of 21 actors (44,541 actors) and 101 outcomes.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/document/section_files.h"

namespace vyr::bench {

using namespace vyr::editor;

class NoDialogs : public UserInterface {
 public:
  std::optional<std::string> AskOpenPath(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> AskSavePath(const FileDialogRequest&) override { return std::nullopt; }
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
  Answer AskQuestion(const std::string&, const std::string&, bool) override { return Answer::kCancel; }
};

class NoRecent : public RecentFiles {
 public:
  void AddToRecent(const std::string&) override {}
};

inline std::string Numbered(const char* stem, int number) {
  std::string out(stem);
  out += std::to_string(number);
  return out;
}

inline void FillToCapacity(MissionDocument& doc) {
  doc.info.vyr_missionname = "Full house";
  doc.info.annotation = "Every table full.\r\nSecond line.";
  for (int i = 0; i < kMaxLocations; ++i) {
    doc.AddLocation(Numbered("location", i), "a described point", static_cast<Integer>(i * 10),
                    static_cast<Integer>(-i), 64);
  }
  for (int i = 0; i < kMaxAreas; ++i) {
    doc.AddArea(Numbered("area", i), "", "location1?location2?location3?", 256, "open?roof?");
  }
  for (int f = 0; f < kMaxForces; ++f) {
    doc.AddForce(Numbered("force", f), "a force");
    for (int t = 0; t < kMaxTeams; ++t) {
      doc.AddTeam(
          f, Numbered("team", t), "",
          "  insert at location1 using \"column\";\r\n  wait until ready;\r\n  attack towards location2;");
      for (int a = 0; a < kMaxActors; ++a) {
        ActorRecord actor;
        actor.npc_name = Numbered("actor", a);
        actor.npc_skill = 0.75f;
        actor.weapon[static_cast<std::size_t>(a % 6)] = true;
        actor.ammo[static_cast<std::size_t>(a % 5)] = 4;
        actor.item[static_cast<std::size_t>(a % 5)] = true;
        doc.AddActor(f, t, actor);
      }
    }
  }
  for (int i = 0; i < kMaxOutcomes; ++i) {
    doc.AddOutcome(Numbered("force", i), "Well done", "m2?m3?", i % 2 == 0 ? "success" : "failure",
                   "timeout(300)");
  }
}

struct SavedFullProject {
  SavedFullProject() {
    folder =
        (std::filesystem::temp_directory_path() / ("vyr-bench-" + std::to_string(::getpid()))).string() + "/";
    std::filesystem::create_directories(folder);
    FillToCapacity(doc);
    for (Section section : kAllSections) {
      ExportSection(doc, section, folder + "full" + std::string(TextsOf(section).extension));
    }
    WriteProject(doc, ui, recent, folder + "full.cme");
  }
  ~SavedFullProject() { std::filesystem::remove_all(folder); }

  std::string folder;
  MissionDocument doc;
  NoDialogs ui;
  NoRecent recent;
};

inline SavedFullProject& SharedFullProject() {
  static SavedFullProject fixture;
  return fixture;
}

}  // namespace vyr::bench
