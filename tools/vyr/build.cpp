#include <iostream>
#include <memory>

#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/script/generator.h"
#include "editor/script/mission_reader.h"
#include "tools/vyr/editor_session.h"
#include "tools/vyr/subcommands.h"

namespace vyr::tool {

// vyr build [--check] PROJECT.cme OUT.vyr: 0 written (and parsed), 1 load or write failure,
// 2 the written script does not parse (the parser's messages are on standard error).
int RunBuild(const Arguments& operands) {
  Arguments files = operands;
  const bool check = TakeOption(files, "--check");
  if (files.size() != 2) {
    std::cerr << "vyr build: expected [--check] PROJECT.cme OUT.vyr\n";
    return kExitUsage;
  }
  editor::MissionDocument document;
  NoRecentFiles recent;
  if (editor::Status loaded = editor::LoadProject(document, recent, files[0]); !loaded) {
    std::cerr << "vyr build: " << loaded.message << '\n';
    return kExitFailure;
  }
  if (editor::Status written = editor::CompileMission(document, files[1]); !written) {
    std::cerr << "vyr build: " << written.message << '\n';
    return kExitFailure;
  }
  if (!check) return kExitOk;

  if (!EnsureLibrary("build")) return kExitFailure;
  editor::Status created;
  std::unique_ptr<editor::MissionReader> reader = editor::CreateMissionReader(created);
  if (!reader) {
    std::cerr << "vyr build: " << created.message << '\n';
    return kExitFailure;
  }
  reader->CloseMission();
  const int result = reader->TryParseMission(files[1]);
  reader->CloseMission();
  if (result == 0) return kExitOk;
  std::cerr << "vyr build: " << files[1]
            << (result == 1 ? ": the written script cannot be read back\n"
                            : ": the written script does not parse\n");
  return result == 1 ? kExitFailure : kExitParseProblem;
}

}  // namespace vyr::tool
