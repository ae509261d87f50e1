// vyr-map PROJECT.cme OUT.svg|OUT.png [--force NAME]: the editor's map of a project as a file, written
// through a temporary file. Exits 0 written; 1 the project cannot be read, the force is unknown or the
// picture cannot be written; 64 usage error. `vyr map` runs this program with its own operands.
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/gui/map_view/map_painting.h"
#include "platform/atomic_file.h"
#include "tools/vyr/editor_session.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 64;

int Usage() {
  std::cerr << "vyr map: expected PROJECT.cme OUT.svg|OUT.png [--force NAME]\n";
  return kExitUsage;
}

int Run(std::vector<std::string> operands) {
  if (!operands.empty() && (operands[0] == "--help" || operands[0] == "-h")) {
    std::cout << "usage: vyr-map PROJECT.cme OUT.svg|OUT.png [--force NAME]\n"
                 "draw the project's map as the editor does; --force shows one force's routes only\n";
    return kExitOk;
  }
  // "--" ends options, so file names that start with "-" can be given.
  if (!operands.empty() && operands[0] == "--") operands.erase(operands.begin());
  std::vector<std::string> files;
  std::string force;
  bool one_force = false;
  for (std::size_t i = 0; i < operands.size(); ++i) {
    if (operands[i] == "--force") {
      if (i + 1 == operands.size() || one_force) {
        std::cerr << "vyr map: --force needs one force name\n";
        return kExitUsage;
      }
      force = operands[++i];
      one_force = true;
    } else {
      files.push_back(operands[i]);
    }
  }
  if (files.size() != 2) return Usage();

  // Pictures need Qt's fonts but never a screen; Qt's own notes about its setup are no concern of the
  // command's user, whose messages are the command's.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  int argc = 1;
  char name[] = "vyr-map";
  char* argv[] = {name, nullptr};
  const QGuiApplication application(argc, argv);

  vyr::editor::MissionDocument document;
  vyr::tool::NoRecentFiles recent;
  if (vyr::editor::Status loaded = vyr::editor::LoadProject(document, recent, files[0]); !loaded) {
    std::cerr << "vyr map: " << loaded.message << '\n';
    return kExitFailure;
  }
  vyr::gui::MapPaintOptions options;
  if (one_force) {
    int shown = -1;
    for (int f = 0; f < document.force_count() && shown < 0; ++f) {
      if (document.force(f).force_name == force) shown = f;
    }
    if (shown < 0) {
      std::cerr << "vyr map: " << files[0] << ": no force named \"" << force << "\"\n";
      return kExitFailure;
    }
    options.hidden_forces.assign(static_cast<std::size_t>(document.force_count()), true);
    options.hidden_forces[static_cast<std::size_t>(shown)] = false;
  }
  if (vyr::editor::Status written = vyr::gui::ExportMissionMap(document, files[1], options); !written) {
    std::cerr << "vyr map: " << written.message << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  // Interrupted while it writes, the program must not leave its temporary file beside the target.
  platform::RemoveTemporaryFilesOnSignals();
  return Run(std::vector<std::string>(argv + 1, argv + argc));
}
