#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "editor/document/file_name_pair.h"
#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/script/import.h"
#include "tools/vyr/editor_session.h"
#include "tools/vyr/subcommands.h"

namespace vyr::tool {

namespace {

// OUT.cme without its extension (any letter case), to name the section files after it.
std::string BaseName(const std::string& project) {
  const std::size_t dot = project.size() >= 4 ? project.size() - 4 : std::string::npos;
  if (dot != std::string::npos) {
    std::string extension = project.substr(dot);
    for (char& c : extension)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".cme") return project.substr(0, dot);
  }
  return project;
}

}  // namespace

// vyr import SCRIPT.vyr OUT.cme: 0 written, 1 library or write failure, 2 the script does not parse.
int RunImport(const Arguments& operands) {
  const std::string& script = operands[0];
  // An absolute name lets the project refer to its sections as lying beside it, wherever it is read from.
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(operands[1], ec);
  const std::string project = ec ? operands[1] : absolute.lexically_normal().string();
  if (!EnsureLibrary("import")) return kExitFailure;

  editor::MissionDocument document;
  ToolUserInterface ui("import");
  const editor::Status imported = editor::ImportMission(document, script, ui);
  if (!imported) {
    // The parser's first messages may follow the verdict.
    return imported.message.starts_with(editor::kImportParseError) ? kExitParseProblem : kExitFailure;
  }

  const std::string base = BaseName(project);
  document.SetSectionFile(editor::Section::kLocations, editor::SplitPath(base + ".mlc"));
  document.SetSectionFile(editor::Section::kAreas, editor::SplitPath(base + ".mar"));
  document.SetSectionFile(editor::Section::kForces, editor::SplitPath(base + ".mfr"));
  document.SetSectionFile(editor::Section::kOutcomes, editor::SplitPath(base + ".moc"));
  NoRecentFiles recent;
  if (editor::Status written = editor::WriteProject(document, ui, recent, project); !written) {
    std::cerr << "vyr import: " << written.message << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace vyr::tool
