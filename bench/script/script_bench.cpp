// The script tools on the largest mission the editor holds: 101 forces x 21 teams x 21 actors.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "editor/document/mission_document.h"
#include "editor/document/user_interface.h"
#include "editor/script/generator.h"
#include "editor/script/import.h"
#include "editor/script/mission_reader.h"

namespace vyr::editor {
namespace {

class SilentUi : public UserInterface {
 public:
  std::optional<std::string> AskOpenPath(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> AskSavePath(const FileDialogRequest&) override { return std::nullopt; }
  void ShowMessage(const std::string&, const std::string& text, MessageIcon) override { last_message = text; }
  Answer AskQuestion(const std::string&, const std::string&, bool) override { return Answer::kNo; }
  std::string last_message;
};

std::string Numbered(const char* prefix, int n) {
  std::string name(prefix);
  name += std::to_string(n);
  return name;
}

void FillFullMission(MissionDocument& doc) {
  doc.NewProject();
  doc.info.vyr_missionname = "Full";
  doc.info.vyr_mapname = "urban1";
  doc.info.vyr_author = "Bench";  // the script language has no empty strings
  doc.info.vyr_missiondescription = "Every table full.";
  doc.info.annotation = "Largest mission";
  for (int l = 0; l < kMaxLocations; ++l) {
    doc.AddLocation(Numbered("loc", l), "", static_cast<Integer>(l * 10), static_cast<Integer>(-l), 0);
  }
  ActorRecord actor;
  actor.weapon[1] = true;
  actor.ammo[1] = 3;
  actor.item[1] = true;
  actor.npc_skill = 2.0f;
  for (int f = 0; f < kMaxForces; ++f) {
    doc.AddForce(Numbered("force", f), "");
    for (int t = 0; t < kMaxTeams; ++t) {
      doc.AddTeam(f, Numbered("team", f * kMaxTeams + t), "",
                  "  attack towards loc1;\r\n  wait until ready;");
      for (int a = 0; a < kMaxActors; ++a) {
        actor.npc_name = Numbered("actor", a);
        doc.AddActor(f, t, actor);
      }
    }
  }
}

std::string ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vyr-bench-XXXXXX").string();
  return mkdtemp(pattern.data()) != nullptr ? pattern : std::string(".");
}

void BM_GenerateFullMission(benchmark::State& state) {
  MissionDocument doc;
  FillFullMission(doc);
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string script = GenerateScript(doc);
    bytes = script.size();
    benchmark::DoNotOptimize(script);
  }
  state.counters["script_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_GenerateFullMission)->Unit(benchmark::kMillisecond);

void BM_ImportFullMission(benchmark::State& state) {
  const std::string folder = ScratchFolder();
  ::setenv("VYR_REGISTRY_FILE", (folder + "/registry.reg").c_str(), 1);
  if (Status registered = EnsureMissionLibraryRegistered(std::string(VYR_LIB_DIR) + "/libvyrparser.so");
      !registered) {
    state.SkipWithError(registered.message.c_str());
    return;
  }
  MissionDocument source;
  FillFullMission(source);
  const std::string script = folder + "/full.vyr";
  CompileMission(source, script);

  MissionDocument doc;
  SilentUi ui;
  int actors = 0;
  for (auto _ : state) {
    ImportMission(doc, script, ui);
    state.PauseTiming();
    actors = 0;
    for (int f = 0; f < doc.force_count(); ++f) {
      for (int t = 0; t < doc.team_count(f); ++t)
        actors += doc.actor_count(f, t);
    }
    state.ResumeTiming();
  }
  state.counters["actors_imported"] = actors;
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ImportFullMission)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace vyr::editor

BENCHMARK_MAIN();
