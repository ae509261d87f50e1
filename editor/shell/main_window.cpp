#include "editor/shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <array>
#include <cstdlib>
#include <vector>

#include "editor/check/problems.h"
#include "editor/document/paths.h"
#include "editor/document/project_file.h"
#include "editor/document/section_files.h"
#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/qt_user_interface.h"
#include "editor/gui/common/shell_resources.h"
#include "editor/gui/common/twips.h"
#include "editor/gui/prefab_windows/prefab_windows.h"
#include "editor/gui/properties/command_window.h"
#include "editor/gui/properties/force_windows.h"
#include "editor/gui/properties/outcome_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/launch/error_check.h"
#include "editor/launch/launch_commands.h"
#include "editor/launch/unsaved_work.h"
#include "editor/script/import.h"
#include "editor/script/plan_builder.h"
#include "editor/shell/about_window.h"
#include "editor/shell/autosave_timer.h"
#include "editor/shell/find_window.h"
#include "editor/shell/main_window_menus.h"
#include "editor/shell/project_window.h"
#include "editor/shell/recent_files_menu.h"
#include "editor/shell/settings_window.h"
#include "editor/shell/undo_actions.h"
#include "platform/read_file.h"

namespace vyr::gui {

using editor::NodeImage;
using editor::Section;

namespace {

constexpr int kPrefabWidthTwips = 4200;
constexpr int kPrefabHeightTwips = 3675;
constexpr int kPrefabMarginTwips = 200;

// The small modal window that names the generator's step while a script is written.
class frm_compile : public QDialog {
 public:
  explicit frm_compile(QWidget* parent) : QDialog(parent) {
    setObjectName("frm_compile");
    setWindowTitle("Compiling mission...");
    setModal(true);
    comment_ = new QLabel(this);
    comment_->setObjectName("comment");
    comment_->setMinimumWidth(280);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(comment_);
  }
  void Show(std::string_view caption) {
    if (!isVisible()) show();
    comment_->setText(FromMessage(caption));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }

 private:
  QLabel* comment_;
};

// Most of the screen's free area, centred on it.
void FitToScreen(QWidget& window) {
  const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect free = screen->availableGeometry();
  window.resize(free.width() * 9 / 10, free.height() * 9 / 10);
  window.move(free.center() - QPoint(window.width() / 2, window.height() / 2));
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), document_(services_.document) {
  InitShellResources();
  setObjectName("frm_main");
  setWindowIcon(QIcon(":/icons/vyr-mission-editor.svg"));
  if (services_.ui != nullptr) {
    ui_ = services_.ui;
  } else {
    own_ui_ = std::make_unique<QtUserInterface>(this);
    ui_ = own_ui_.get();
  }

  mdi_ = new QMdiArea(this);
  mdi_->setObjectName("mdi_client");
  setCentralWidget(mdi_);

  project_window_ = new ProjectWindow(document_);
  project_sub_window_ =
      mdi_->addSubWindow(project_window_, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                              Qt::WindowMinMaxButtonsHint);
  project_sub_window_->setObjectName("frm_project");
  project_sub_window_->setWindowTitle("Project");
  project_sub_window_->hide();

  CreateMenus();
  CreateToolBar();

  // The prefab library lives in the editor's data folder, beside its scratch files.
  prefab_library_ = std::make_unique<editor::PrefabLibrary>(services_.editor_folder);
  prefab_window_ = new frm_template2(*prefab_library_, document_, *ui_, *menus_["mn_prefab_actor"],
                                     *menus_["mn_prefab_team"]);
  prefab_sub_window_ =
      mdi_->addSubWindow(prefab_window_, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  prefab_sub_window_->setWindowTitle("Prefabs");
  prefab_sub_window_->resize(Pixels(kPrefabWidthTwips), Pixels(kPrefabHeightTwips));
  prefab_sub_window_->hide();
  project_window_->SetPrefabDropTarget(prefab_window_);
  property_windows_ = std::make_unique<PropertyWindows>(document_, *mdi_, *ui_, menus_["mn_plan"]);
  for (const NodeImage outcome : {NodeImage::kPos, NodeImage::kNeg}) {
    property_windows_->Register(outcome, [](editor::MissionDocument& document, editor::NodeId node) {
      return new frm_outcome_props(document, node);
    });
  }
  open_property_window_ = [this](editor::NodeId node) { property_windows_->Open(node); };
  find_window_ = new FindWindow(
      document_, [this](editor::NodeId node) { property_windows_->HighlightNode(node); }, this);
  addDockWidget(Qt::RightDockWidgetArea, find_window_);
  find_window_->hide();
  autosave_ = new AutosaveTimer(document_, services_.editor_folder, this);
  connect(autosave_, &AutosaveTimer::failed, this,
          [this](const QString& message) { statusBar()->showMessage(message); });
  open_plan_builder_ = [this](int page) { OpenPlanBuilder(page); };
  CreateCommands();
  CreateMap();
  CreateProblems();
  Connect();
  findChild<QAction*>("mn_edit_find")->setShortcut(QKeySequence::Find);
  undo_ = new UndoActions(*this, document_);
  UpdateCaption();
  FitToScreen(*this);
  if (services_.remember_geometry) {
    QSettings store(editor::kSettingsApplication, editor::kSettingsApplication);
    // A kept geometry counts only while its screen is there (a disconnected monitor, a smaller desktop).
    if (restoreGeometry(store.value("MainWindow/geometry").toByteArray()) &&
        QGuiApplication::screenAt(geometry().center()) == nullptr) {
      FitToScreen(*this);
    }
    restoreState(store.value("MainWindow/state").toByteArray());
  }
}

MainWindow::~MainWindow() {
  // The library window holds the library, which goes with this object's members, before the children.
  project_window_->SetPrefabDropTarget(nullptr);
  delete prefab_sub_window_;
}

void MainWindow::CreateMenus() {
  for (const MenuSpec& spec : MenuTable()) {
    QMenu* menu = spec.on_menu_bar ? menuBar()->addMenu(spec.caption) : new QMenu(spec.caption, this);
    menu->setObjectName(spec.name);
    menu->menuAction()->setObjectName(QString(spec.name) + "_menu");
    if (spec.on_menu_bar && spec.hidden) menu->menuAction()->setVisible(false);
    menus_[spec.name] = menu;
    for (const ItemSpec& item : spec.items) {
      if (item.name == nullptr) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(item.caption);
      action->setObjectName(item.name);
      action->setVisible((item.flags & kHidden) == 0);
      action->setEnabled((item.flags & kDisabled) == 0);
      if (item.key != QKeySequence::UnknownKey) action->setShortcuts(StandardKeys(item.key));
    }
  }

  // The recent files follow Exit: a separator and five entries, hidden until the list fills them.
  QMenu* file = menus_["mn_file"];
  std::array<QAction*, RecentFilesMenu::kEntryCount> entries{};
  entries[0] = file->addSeparator();
  for (int i = 1; i < RecentFilesMenu::kEntryCount; ++i)
    entries[i] = file->addAction(QString("RecentFile%1").arg(i));
  for (int i = 0; i < RecentFilesMenu::kEntryCount; ++i) {
    entries[i]->setObjectName(QString("mnuRecentFile(%1)").arg(i));
    entries[i]->setVisible(false);
    if (i > 0)
      connect(entries[i], &QAction::triggered, this, [this, entry = entries[i]] { OpenRecent(entry); });
  }
  recent_ = std::make_unique<RecentFilesMenu>(services_.settings, entries);
}

void MainWindow::CreateToolBar() {
  toolbar_ = addToolBar("Toolbar1");
  toolbar_->setObjectName("Toolbar1");
  toolbar_->setMovable(false);
  toolbar_->setIconSize(QSize(24, 24));
  for (const ToolSpec& tool : kToolbar) {
    QAction* action = tool.tip == nullptr ? toolbar_->addSeparator() : toolbar_->addAction(tool.tip);
    action->setObjectName(tool.key);
    if (tool.tip == nullptr) continue;
    action->setIcon(QIcon(QString(":/icons/toolbar/%1.svg").arg(tool.key)));
    action->setToolTip(tool.tip);
    action->setEnabled(tool.enabled);
  }
}

QMenu* MainWindow::menu(const QString& name) const {
  auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second;
}

editor::LaunchContext& MainWindow::launch() {
  if (!launch_) {
    auto progress = std::make_shared<std::unique_ptr<frm_compile>>();
    launch_ = std::make_unique<editor::LaunchContext>(editor::LaunchContext{
        *ui_, services_.launcher,
        [this, progress](const std::string& file) {
          *progress = std::make_unique<frm_compile>(this);
          frm_compile* window = progress->get();
          const editor::Status status = editor::CompileWith(
              document_, [window](std::string_view caption) { window->Show(caption); })(file);
          progress->reset();
          return status;
        },
        services_.parse, services_.editor_folder,
        [this](const std::vector<editor::ScriptMessage>& messages) {
          return editor::DescribeFailedParse(document_, messages);
        }});
  }
  return *launch_;
}

editor::NodeAddress MainWindow::Selected() const {
  return document_.tree().AddressOf(document_.tree().selected());
}

void MainWindow::Report(const char* title, const editor::Status& status) {
  if (!status.ok && !status.message.empty())
    ui_->ShowMessage(title, status.message, editor::MessageIcon::kCritical);
}

void MainWindow::CreateCommands() {
  auto& doc = document_;
  auto& c = commands_;
  const auto add = [this](const char* title, const editor::Status& status) { Report(title, status); };

  // Project files.
  // Unsaved work is replaced only when the author said so.
  c["mn_file_new"] = [this, &doc] {
    if (editor::MayReplaceWork(doc, *ui_, *recent_, editor::kSaveBeforeNew, settings_.projectpath))
      doc.NewProject();
  };
  c["mn_file_open"] = [this, &doc] {
    if (editor::MayReplaceWork(doc, *ui_, *recent_, editor::kSaveBeforeOpening, settings_.projectpath))
      (void)editor::OpenProject(doc, *ui_, *recent_, settings_.projectpath);
  };
  c["open"] = c["mn_file_open"];
  c["mn_file_import"] = [this, &doc] {
    if (editor::MayReplaceWork(doc, *ui_, *recent_, editor::kSaveBeforeImporting, settings_.projectpath))
      (void)editor::ImportMissionCommand(doc, *ui_, settings_.aq2_path);
  };
  c["mn_file_save"] = [this, &doc] { (void)editor::SaveProject(doc, *ui_, *recent_, settings_.projectpath); };
  c["save"] = c["mn_file_save"];
  c["mn_file_save_as"] = [this, &doc] {
    (void)editor::SaveProjectAs(doc, *ui_, *recent_, settings_.projectpath);
  };
  c["mn_file_quit"] = [this] { close(); };
  c["mn_edit_find"] = [this] { find_window_->Start(); };

  // The Project menu.
  c["mn_project_quickrun"] = [this, &doc] { editor::QuickRunCommand(launch(), settings_, doc); };
  c["play"] = c["mn_project_quickrun"];
  c["mn_project_build"] = [this, &doc] { editor::BuildCommand(launch(), doc); };
  c["create"] = c["mn_project_build"];
  c["mn_project_preview"] = [this] { editor::PreviewScript(launch()); };
  c["mn_project_errorchecker"] = [this] { editor::ErrorCheck(launch()); };
  c["mn_project_log"] = [this, &doc] { editor::ViewLogCommand(launch(), settings_, doc); };

  c["mn_options_aq2"] = [this] {
    frm_aq2settings window(services_.settings, settings_, *ui_, services_.register_associations, this);
    window.exec();
  };
  c["mn_help_about"] = [this] {
    frm_about window(this);
    window.exec();
  };

  // Adding records.
  c["loc_add"] = [&doc, add] { add("Add location", doc.AddLocation("New location", "", 0, 0, 0)); };
  c["mn_area_add"] = [&doc, add] { add("Add area", doc.AddArea("New area", "", "[none]", 0, "open")); };
  c["mn_force_Add"] = [&doc, add] { add("Add force", doc.AddForce("New force", "")); };
  // A team or actor added under a collapsed node is shown: its parent opens and the new node is selected.
  const auto reveal = [&doc](editor::NodeId parent, const editor::Status& added) {
    if (!added) return;
    doc.tree().SetExpanded(parent, true);
    doc.MakeCurrent(doc.tree().last_added());
  };
  c["mn_team_add"] = [this, &doc, add, reveal] {
    const auto at = Selected();
    if (at.image != NodeImage::kSubForce) return;
    const editor::NodeId force = doc.tree().selected();
    const editor::Status added = doc.AddTeam(at.force, "New team", "", "");
    add("Add team", added);
    reveal(force, added);
  };
  c["mn_addnpc_npc"] = [this, &doc, add, reveal] {
    const auto at = Selected();
    if (at.image != NodeImage::kTeam) return;
    const editor::NodeId team = doc.tree().selected();
    const editor::Status added = doc.AddActor(at.force, at.team, editor::ActorRecord{});
    add("Add actor", added);
    reveal(team, added);
  };
  c["mn_outcome_success"] = [&doc, add] { add("Add outcome", doc.AddOutcome("", "", "", "success", "")); };
  c["mn_outcome_failure"] = [&doc, add] { add("Add outcome", doc.AddOutcome("", "", "", "failure", "")); };

  // The four sections.
  struct SectionItems {
    Section section;
    const char *clear, *import, *save, *save_as;
  };
  const SectionItems sections[] = {
      {Section::kLocations, "mn_loc_clear", "loc_import", "mn_loc_save", "mn_loc_saveas"},
      {Section::kAreas, "mn_area_clear", "mn_area_import", "mn_area_save", "mn_area_saveas"},
      {Section::kForces, "mn_force_clear", "mn_force_import", "mn_force_save", "mn_force_saveas"},
      {Section::kOutcomes, "mn_outcome_clear", "mn_outcome_import", "mn_outcome_save", "mn_outcome_saveas"},
  };
  for (const SectionItems& s : sections) {
    const Section section = s.section;
    c[s.clear] = [&doc, section] {
      switch (section) {
        case Section::kLocations:
          doc.ClearLocations();
          break;
        case Section::kAreas:
          doc.ClearAreas();
          break;
        case Section::kForces:
          doc.ClearForces();
          break;
        case Section::kOutcomes:
          doc.ClearOutcomes();
          break;
      }
    };
    c[s.import] = [this, &doc, section] {
      (void)editor::ImportSection(doc, *ui_, section, services_.program_folder);
    };
    c[s.save] = [this, &doc, section] { (void)editor::SaveSection(doc, *ui_, section); };
    c[s.save_as] = [this, &doc, section] { (void)editor::SaveSectionAs(doc, *ui_, section); };
  }

  // Deleting, copying and pasting the selected record.
  c["mn_loc_delete1"] = [this, &doc] {
    if (const auto at = Selected(); at.image == NodeImage::kSubLocation) (void)doc.DeleteLocation(at.index);
  };
  c["mn_area_delete1"] = [this, &doc] {
    if (const auto at = Selected(); at.image == NodeImage::kSubArea) (void)doc.DeleteArea(at.index);
  };
  c["mn_outcome_delete1"] = [this, &doc] {
    const auto at = Selected();
    if (at.image == NodeImage::kPos || at.image == NodeImage::kNeg) (void)doc.DeleteOutcome(at.index);
  };
  c["mn_npc_delete1"] = [this, &doc] {
    if (const auto at = Selected(); at.image == NodeImage::kNpc)
      (void)doc.DeleteActor(at.force, at.team, at.index);
  };
  c["mn_delete_team"] = [this, &doc] {
    if (const auto at = Selected(); at.image == NodeImage::kTeam) (void)doc.DeleteTeam(at.force, at.team);
  };
  c["mn_team_delete_force"] = [this, &doc] {
    if (const auto at = Selected(); at.image == NodeImage::kSubForce) (void)doc.DeleteForce(at.force);
  };
  c["mn_npc_copy"] = [this, &doc] {
    if (const auto at = Selected(); at.image == NodeImage::kNpc)
      (void)doc.CopyActor(at.force, at.team, at.index);
  };
  c["mn_npc_cut"] = [this, &doc] {
    if (const auto at = Selected(); at.image == NodeImage::kNpc)
      (void)doc.CutActor(at.force, at.team, at.index);
  };
  c["mn_team_copy"] = [this, &doc] {
    if (const auto at = Selected(); at.image == NodeImage::kTeam) (void)doc.CopyTeam(at.force, at.team);
  };
  c["mn_team_cut"] = [this, &doc] {
    if (const auto at = Selected(); at.image == NodeImage::kTeam) (void)doc.CutTeam(at.force, at.team);
  };
  c["mn_team_paste"] = [this, &doc, add] {
    if (const auto at = Selected(); at.image == NodeImage::kTeam)
      add("Paste actor", doc.PasteActor(at.force, at.team));
  };
  c["mn_force_paste"] = [this, &doc, add] {
    if (const auto at = Selected(); at.image == NodeImage::kSubForce)
      add("Paste team", doc.PasteTeam(at.force));
  };
  // The toolbar's buttons act on whatever record the selected node holds.
  c["copy"] = [this] {
    const auto image = Selected().image;
    if (image == NodeImage::kNpc) RunCommand("mn_npc_copy");
    if (image == NodeImage::kTeam) RunCommand("mn_team_copy");
  };
  c["cut"] = [this] {
    const auto image = Selected().image;
    if (image == NodeImage::kNpc) RunCommand("mn_npc_cut");
    if (image == NodeImage::kTeam) RunCommand("mn_team_cut");
  };
  c["paste"] = [this] {
    const auto image = Selected().image;
    if (image == NodeImage::kTeam) RunCommand("mn_team_paste");
    if (image == NodeImage::kSubForce) RunCommand("mn_force_paste");
  };

  // The prefab library's member menus.
  c["mn_prefab_actor_delete"] = [this] { prefab_window_->DeleteMember(); };
  c["mn_prefab_team_delete"] = c["mn_prefab_actor_delete"];
  c["mn_prefab_actor_paste"] = [this] { prefab_window_->PasteAsPrefab(); };
  c["mn_prefab_team_paste"] = c["mn_prefab_actor_paste"];
  c["mn_prefab_actor_edit"] = [this] { prefab_window_->EditActor(); };
  c["mn_prefab_team_view"] = [this] { prefab_window_->EditTeam(); };

  for (const editor::PlanMenuItem& item : editor::kPlanMenuItems) {
    c[QString::fromLatin1(item.name.data(), static_cast<qsizetype>(item.name.size()))] =
        [this, page = static_cast<int>(item.page)] {
          if (open_plan_builder_) open_plan_builder_(page);
        };
  }
}

void MainWindow::Connect() {
  for (QAction* action : findChildren<QAction*>()) {
    const QString name = action->objectName();
    if (commands_.count(name) == 0) continue;
    connect(action, &QAction::triggered, this, [this, name] { RunCommand(name); });
  }
  connect(project_window_, &ProjectWindow::nodeClicked, this, &MainWindow::OnNodeClicked);
  connect(project_window_, &ProjectWindow::contextMenuRequested, this, &MainWindow::OnContextMenu);
  connect(project_window_, &ProjectWindow::deleteRequested, this, &MainWindow::OnDeleteRequested);
  document_connection_ = document_.changes().Connect([this](editor::DocumentChange change) {
    if (change == editor::DocumentChange::kClipboard) UpdatePasteItems();
    if (change == editor::DocumentChange::kFileNames || change == editor::DocumentChange::kNewProject)
      UpdateCaption();
  });
}

bool MainWindow::RunCommand(const QString& name) {
  auto it = commands_.find(name);
  if (it == commands_.end()) return false;
  const auto command = it->second;  // a command may rebuild the table's surroundings, not the table
  if (undo_ != nullptr) {
    undo_->Run(name, command);
  } else {
    command();
  }
  return true;
}

void MainWindow::SetPropertyWindowOpener(std::function<void(editor::NodeId)> opener) {
  open_property_window_ = std::move(opener);
}

void MainWindow::SetPlanBuilderOpener(std::function<void(int page)> opener) {
  open_plan_builder_ = std::move(opener);
}

void MainWindow::OpenPlanBuilder(int page) {
  frm_command builder(
      document_, [this](const QString& statement) { InsertIntoSelectedTeamPlan(statement); }, this);
  builder.ShowPage(page);
  builder.exec();
}

// The plan menu is reached from a team window, whose node is then the selected node with a "P" key.
void MainWindow::InsertIntoSelectedTeamPlan(const QString& statement) {
  const editor::TreeNode* node = document_.tree().Find(document_.tree().selected());
  if (node == nullptr || node->key.size() < 2 || node->key[0] != 'P') return;
  const int slot = std::atoi(node->key.c_str() + 1);
  if (auto* team = qobject_cast<frm_team_props*>(property_windows_->WindowInSlot(slot))) {
    const editor::EditHistory::Group step(undo_->history(), "Insert plan command");
    team->InsertIntoPlan(statement);
  }
}

void MainWindow::UpdateCaption() {
  setWindowTitle(FromPath(document_.caption()));
}

// Copying or cutting an actor offers "Paste actor" and withdraws "Paste team", and the other way round.
void MainWindow::UpdatePasteItems() {
  findChild<QAction*>("mn_team_paste")->setEnabled(document_.actor_on_clipboard());
  findChild<QAction*>("mn_force_paste")->setEnabled(document_.team_on_clipboard());
}

void MainWindow::SetEditButtons(bool copy_cut, bool paste) {
  findChild<QAction*>("copy")->setEnabled(copy_cut);
  findChild<QAction*>("cut")->setEnabled(copy_cut);
  findChild<QAction*>("paste")->setEnabled(paste);
}

void MainWindow::OnNodeClicked(editor::NodeId node) {
  const editor::TreeNode* clicked = document_.tree().Find(node);
  if (clicked == nullptr || IsCategory(clicked->image)) return;
  switch (clicked->image) {
    case NodeImage::kSubForce:
      SetEditButtons(false, document_.team_on_clipboard());
      break;
    case NodeImage::kTeam:
      SetEditButtons(true, document_.actor_on_clipboard());
      break;
    case NodeImage::kNpc:
      SetEditButtons(true, false);
      break;
    default:
      SetEditButtons(false, false);
      break;
  }
  if (open_property_window_) open_property_window_(node);
}

void MainWindow::OnContextMenu(editor::NodeId node, const QPoint& position) {
  const editor::TreeNode* clicked = document_.tree().Find(node);
  if (clicked == nullptr) return;
  if (const char* name = ContextMenuOf(clicked->image)) menus_[name]->popup(position);
}

void MainWindow::OnDeleteRequested(editor::NodeId node) {
  const editor::TreeNode* target = document_.tree().Find(node);
  if (target == nullptr) return;
  if (const char* command = DeleteCommandOf(target->image)) RunCommand(command);
}

void MainWindow::ReDraw() {
  if (isMinimized()) return;
  project_sub_window_->setGeometry(ProjectWindowGeometry(mdi_->viewport()->size(), toolbar_->height()));
}

void MainWindow::ArrangePrefabs() {
  const int left = mdi_->viewport()->width() - prefab_sub_window_->width() - Pixels(kPrefabMarginTwips);
  prefab_sub_window_->move(std::max(0, left), prefab_sub_window_->y());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  ReDraw();
}

void MainWindow::StartUp(const std::string& argument, const std::function<void()>& release_splash) {
  recent_->LoadRecentMenu();
  if (!services_.program_folder.empty()) QDir::setCurrent(FromPath(services_.program_folder));
  if (services_.register_library) services_.register_library();
  settings_ = editor::LoadSettings(services_.settings, services_.program_folder);
  document_.NewProject();
  prefab_window_->LoadLibrary();
  prefab_sub_window_->show();
  project_sub_window_->show();
  QTimer::singleShot(1, this, [this] {
    ReDraw();
    ArrangePrefabs();
    project_window_->setFocus();
    emit startUpFinished();
  });
  if (release_splash) release_splash();
  // Work a crashed or killed editor left behind comes before a file named on the command line.
  if (editor::OfferRecovery(document_, *ui_, *recent_, autosave_->recovery_folder(), autosave_->session()) ==
      editor::RecoveryOutcome::kNothing) {
    OpenArgument(argument);
  }
  autosave_->Start(settings_.autosave_seconds);
}

void MainWindow::OpenArgument(const std::string& argument) {
  if (argument.size() < 4) return;
  const QString ending = FromPath(argument.substr(argument.size() - 4)).toLower();
  if (ending == ".vyr") {
    (void)editor::ImportMission(document_, argument, *ui_);
  } else if (ending == ".cme") {
    Report("Open Project", editor::LoadProject(document_, *recent_, argument));
  }
}

void MainWindow::OpenRecent(QAction* entry) {
  const std::string path = recent_->PathOf(entry);
  if (!QFileInfo(FromPath(path)).isFile()) {
    const std::string text = "The project file " + platform::PathExcerpt(path) +
                             " no longer exists.\n\nRemove it from the list of recent files?";
    if (ui_->AskQuestion("Open Project", text, false) == editor::Answer::kYes)
      recent_->RemoveFromRecent(path);
    return;
  }
  if (!editor::MayReplaceWork(document_, *ui_, *recent_, editor::kSaveBeforeOpening, settings_.projectpath))
    return;
  Report("Open Project", editor::LoadProject(document_, *recent_, path));
  recent_->LoadRecentMenu();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Cancel, and a save that failed or was cancelled, keep the editor open rather than losing the work.
  if (!editor::SaveFirstIfAsked(document_, *ui_, *recent_, editor::kSaveBeforeClosing,
                                settings_.projectpath)) {
    event->ignore();
    return;
  }
  prefab_window_->Unload();
  autosave_->Start(0);
  autosave_->session().Discard();  // an exit the author chose: nothing to recover
  if (services_.remember_geometry) {
    QSettings store(editor::kSettingsApplication, editor::kSettingsApplication);
    store.setValue("MainWindow/geometry", saveGeometry());
    store.setValue("MainWindow/state", saveState());
  }
  event->accept();
}

}  // namespace vyr::gui
