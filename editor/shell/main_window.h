// The editor's frame: a multi-document window holding the project window, the prefab library window and
// the property windows, with the menu bar, the tree's context menus and the toolbar. Every command ends
// in a core operation; the window only asks, shows and enables.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editor/document/mission_document.h"
#include "editor/launch/game_launch.h"
#include "editor/launch/settings.h"
#include "editor/prefabs/prefab_library.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace vyr::gui {

class AutosaveTimer;
class FindWindow;
class HistoryDock;
class ProjectWindow;
class frm_template2;
class MapDock;
class ProblemsDock;
class PropertyWindows;
class RecentFilesMenu;
class UndoActions;
struct Command;

// How long the edits must pause before the window checks whether its content differs from the saved files.
inline constexpr int kModifiedCheckMilliseconds = 300;

// What the main window uses of the world outside it; tests give stand-ins.
struct MainWindowServices {
  editor::MissionDocument& document;
  editor::SettingsStore& settings;
  editor::Launcher& launcher;
  editor::ParseFunction parse;                  // the mission script library's verdict on a file
  std::string editor_folder;                    // scratch files: preview.vyr, errorcheck.vyr
  std::string program_folder;                   // the editor program's own folder
  std::function<void()> register_library;       // start-up; not waited for
  std::function<void()> register_associations;  // the settings window's button
  editor::UserInterface* ui = nullptr;          // dialogs and messages; nullptr: Qt's own
  bool remember_geometry = false;               // keep the window's size and state in the user's settings
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up steps once the window is up: recent files, library registration, settings, a new
  // project, the project and prefab windows. `release_splash` runs before a project named on the command
  // line (`argument`: ".cme" is opened, ".vyr" imported, in any letter case; anything else is ignored).
  void StartUp(const std::string& argument, const std::function<void()>& release_splash = {});

  // Runs the command of a menu item or toolbar key by its name, as one undo step when it edits the
  // document; false when there is no such command or it does nothing.
  bool RunCommand(const QString& name);
  // Every command of the window, one row each. Built on first use, once the application object is up
  // (the desktop's keys come from its platform).
  static const std::vector<Command>& Commands();

  // What a node click opens and what the plan menu opens; by default the property windows and the plan
  // command builder (tests put stand-ins here).
  void SetPropertyWindowOpener(std::function<void(editor::NodeId)> opener);
  void SetPlanBuilderOpener(std::function<void(int page)> opener);

  ProjectWindow* project_window() const { return project_window_; }
  PropertyWindows* property_windows() const { return property_windows_.get(); }
  frm_template2* prefab_window() const { return prefab_window_; }
  editor::PrefabLibrary& prefab_library() { return *prefab_library_; }
  QMdiArea* mdi_area() const { return mdi_; }
  MapDock* map_dock() const { return map_dock_; }
  ProblemsDock* problems_dock() const { return problems_dock_; }
  HistoryDock* history_dock() const { return history_dock_; }
  QMenu* menu(const QString& name) const;
  FindWindow* find_window() const { return find_window_; }
  AutosaveTimer* autosave() const { return autosave_; }
  editor::EditorSettings& settings() { return settings_; }
  UndoActions* undo() const { return undo_; }
  editor::UserInterface& ui() { return *ui_; }

  // Places the project window at the top left of the client area.
  void ReDraw();
  // Places the prefab library window near the right edge of the client area, its top left as it is.
  void ArrangePrefabs();

 signals:
  void startUpFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateCommands();  // the menus, the toolbar and every command's action
  void CreateMap();       // the map dock
  void CreateProblems();  // the problem list and its count in the status bar
  // Opens the window of the problem's record and puts the focus on its field, the caret on its line.
  void OpenProblem(int index);
  void ToggleProblems();
  void Connect();
  // Enables and checks every command for the window's state now.
  void UpdateActions();

  void OnNodeClicked(editor::NodeId node);
  void OnContextMenu(editor::NodeId node, const QPoint& position);
  void OnDeleteRequested(editor::NodeId node);
  void UpdateCaption();
  void ToggleMap();
  void ExportMap();

  editor::LaunchContext& launch();
  editor::NodeAddress Selected() const;
  void Report(const char* title, const editor::Status& status);
  void OpenRecent(QAction* entry);
  void OpenArgument(const std::string& argument);
  void OpenPlanBuilder(int page);
  void InsertIntoSelectedTeamPlan(const QString& statement);
  void ShowPlanLine(editor::NodeId node, int line);
  void CreateModifiedCheck();

  MainWindowServices services_;
  editor::MissionDocument& document_;
  editor::EditorSettings settings_;
  std::unique_ptr<editor::UserInterface> own_ui_;
  editor::UserInterface* ui_ = nullptr;
  std::unique_ptr<editor::LaunchContext> launch_;
  std::unique_ptr<RecentFilesMenu> recent_;
  std::unique_ptr<PropertyWindows> property_windows_;
  std::unique_ptr<editor::PrefabLibrary> prefab_library_;
  FindWindow* find_window_ = nullptr;
  AutosaveTimer* autosave_ = nullptr;

  QMdiArea* mdi_ = nullptr;
  ProjectWindow* project_window_ = nullptr;
  QMdiSubWindow* project_sub_window_ = nullptr;
  QMdiSubWindow* prefab_sub_window_ = nullptr;
  frm_template2* prefab_window_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  MapDock* map_dock_ = nullptr;
  ProblemsDock* problems_dock_ = nullptr;
  HistoryDock* history_dock_ = nullptr;
  std::map<QString, QMenu*> menus_;
  std::vector<QAction*> actions_;  // one per row of Commands(), in its order
  // The kind of the node last clicked, other than a category: what the toolbar's edit buttons serve.
  editor::NodeImage clicked_ = editor::NodeImage::kRoot;

  UndoActions* undo_ = nullptr;  // a child of this window
  std::function<void(editor::NodeId)> open_property_window_;
  std::function<void(int)> open_plan_builder_;

  editor::Notifier<editor::DocumentChange>::Connection document_connection_;
  editor::Notifier<>::Connection history_connection_;
  editor::Notifier<editor::RecordEdit>::Connection edit_connection_;
  QTimer* modified_check_ = nullptr;  // marks the window modified after a pause in the edits
};

}  // namespace vyr::gui
