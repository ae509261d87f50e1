#include <iostream>

#include "tools/vyr/subcommands.h"

#ifdef VYR_WITH_MAP
#include <QGuiApplication>
#include <cstdlib>

#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/gui/map_view/map_painting.h"
#include "tools/vyr/editor_session.h"
#endif

namespace vyr::tool {

// vyr map PROJECT.cme OUT.svg|OUT.png [--force NAME]: the editor's map of the project, written
// through a temporary file; 0 written, 1 the project cannot be read, the force is unknown or the
// picture cannot be written.
int RunMap(const Arguments& operands) {
  Arguments files;
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
  if (files.size() != 2) {
    std::cerr << "vyr map: expected PROJECT.cme OUT.svg|OUT.png [--force NAME]\n";
    return kExitUsage;
  }
#ifdef VYR_WITH_MAP
  // Pictures need Qt's fonts but never a screen; Qt's own notes about its setup are no concern of the
  // command's user, whose messages are the command's.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  int argc = 1;
  char name[] = "vyr";
  char* argv[] = {name, nullptr};
  const QGuiApplication application(argc, argv);

  editor::MissionDocument document;
  NoRecentFiles recent;
  if (editor::Status loaded = editor::LoadProject(document, recent, files[0]); !loaded) {
    std::cerr << "vyr map: " << loaded.message << '\n';
    return kExitFailure;
  }
  gui::MapPaintOptions options;
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
  if (editor::Status written = gui::ExportMissionMap(document, files[1], options); !written) {
    std::cerr << "vyr map: " << written.message << '\n';
    return kExitFailure;
  }
  return kExitOk;
#else
  std::cerr << "vyr map: this vyr was built without the editor's windows, which draw the map\n";
  return kExitFailure;
#endif
}

}  // namespace vyr::tool
