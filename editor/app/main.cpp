// vyr-mission-editor: the desktop mission editor. Optional argument: a project (.cme) to open or a
// mission script (.vyr) to import. With VYR_EDITOR_QUIT_WHEN_READY set, the program prints the main
// window's title once start-up has finished and ends (exit 0): a check that an installed editor starts.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "editor/document/mission_document.h"
#include "editor/document/paths.h"
#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/qt_settings_store.h"
#include "editor/gui/common/shell_resources.h"
#include "editor/launch/launcher.h"
#include "editor/launch/library_parse.h"
#include "editor/launch/user_registry.h"
#include "editor/shell/main_window.h"
#include "editor/shell/splash_window.h"
#include "editor/shell/startup.h"
#include "platform/atomic_file.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // A signal in the middle of a save leaves no temporary file behind.
  platform::RemoveTemporaryFilesOnSignals();
  QApplication::setOrganizationName(vyr::editor::kSettingsApplication);
  QApplication::setApplicationName(vyr::editor::kSettingsApplication);
  QApplication::setApplicationVersion(VYR_VERSION);
  QApplication::setDesktopFileName("vyr-mission-editor");
  vyr::gui::InitShellResources();
  QApplication::setWindowIcon(QIcon(":/icons/vyr-mission-editor.svg"));

  // The whole command line after the program, as one path: a file name with blanks needs no quotes.
  // It is made absolute now, because start-up moves into the program's folder before opening it.
  QString given = QApplication::arguments().mid(1).join(u' ');
  if (!given.isEmpty()) given = QFileInfo(given).absoluteFilePath();
  const std::string argument = vyr::gui::ToPath(given);
  const std::string program_folder = vyr::gui::ToPath(QApplication::applicationDirPath());
  std::string program_path = vyr::editor::CurrentProgramPath();
  if (program_path.empty()) program_path = vyr::gui::ToPath(QApplication::applicationFilePath());

  const std::string editor_folder = vyr::editor::EditorDataFolder();
  (void)vyr::editor::EnsureFolder(editor_folder);

  vyr::editor::MissionDocument document;
  vyr::gui::QtSettingsStore settings;
  vyr::editor::PosixLauncher launcher;
  std::unique_ptr<vyr::gui::MainWindow> window;

  // The splash is up first; its timer brings up the main window, which puts the splash away.
  // The splash's timer may fire as soon as anything runs the event loop, so it is connected first.
  frm_splash splash;
  QObject::connect(&splash, &frm_splash::startMainWindow, [&] {
    window = std::make_unique<vyr::gui::MainWindow>(vyr::gui::MainWindowServices{
        document, settings, launcher, vyr::editor::LibraryParser(), editor_folder, program_folder,
        [program_folder] { vyr::gui::RegisterLibraryDetached(program_folder); },
        [program_path] { vyr::gui::RegisterMissionFileTypes(program_path); }, nullptr, true});
    if (std::getenv("VYR_EDITOR_QUIT_WHEN_READY") != nullptr) {
      QObject::connect(window.get(), &vyr::gui::MainWindow::startUpFinished, [&window] {
        // The caption as the title bar shows it: Qt's "[*]" stands for the unsaved-work mark.
        const QString caption = window->windowTitle().remove(QStringLiteral("[*]"));
        std::printf("vyr-mission-editor: ready: %s\n", caption.toUtf8().constData());
        std::fflush(stdout);
        QApplication::exit(0);
      });
    }
    window->show();
    window->StartUp(argument, [&splash] {
      splash.OnTop(false);
      splash.StopTimers();
      splash.hide();
    });
  });
  splash.show();
  vyr::gui::RegisterProjectFileType(program_path);
  return app.exec();
}
