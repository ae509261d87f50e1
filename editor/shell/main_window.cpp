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
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cstdlib>

#include "editor/check/problems.h"
#include "editor/document/paths.h"
#include "editor/document/project_file.h"
#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/qt_user_interface.h"
#include "editor/gui/common/shell_resources.h"
#include "editor/gui/common/twips.h"
#include "editor/gui/prefab_windows/prefab_windows.h"
#include "editor/gui/properties/command_window.h"
#include "editor/gui/properties/force_windows.h"
#include "editor/gui/properties/outcome_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/launch/launch_commands.h"
#include "editor/launch/recovery.h"
#include "editor/launch/unsaved_work.h"
#include "editor/script/import.h"
#include "editor/shell/autosave_timer.h"
#include "editor/shell/find_window.h"
#include "editor/shell/history_dock.h"
#include "editor/shell/main_window_menus.h"
#include "editor/shell/problems_dock.h"
#include "editor/shell/project_window.h"
#include "editor/shell/recent_files_menu.h"
#include "editor/shell/undo_actions.h"
#include "platform/read_file.h"

namespace vyr::gui {

using editor::NodeImage;

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

  CreateCommands();

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
  undo_ = new UndoActions(*this, document_);  // after the library window: it makes drops one step each
  property_windows_ = std::make_unique<PropertyWindows>(document_, *mdi_, *ui_, menus_["mn_plan"]);
  for (const NodeImage outcome : {NodeImage::kPos, NodeImage::kNeg}) {
    property_windows_->Register(outcome, [](editor::MissionDocument& document, editor::NodeId node) {
      return new frm_outcome_props(document, node);
    });
  }
  open_property_window_ = [this](editor::NodeId node) { property_windows_->Open(node); };
  find_window_ = new FindWindow(
      document_,
      [this](editor::NodeId node, int plan_line) {
        property_windows_->HighlightNode(node);
        if (plan_line > 0) ShowPlanLine(node, plan_line);
      },
      this);
  addDockWidget(Qt::RightDockWidgetArea, find_window_);
  find_window_->hide();
  autosave_ = new AutosaveTimer(document_, services_.editor_folder, this);
  // A failed recovery copy stays in sight, its reason in the tooltip, until a later copy succeeds.
  auto* autosave_failed = new QLabel(this);
  autosave_failed->setObjectName("autosave_failed");
  autosave_failed->setPixmap(QIcon(":/icons/status/autosave_failed.svg").pixmap(16, 16));
  autosave_failed->hide();
  statusBar()->addPermanentWidget(autosave_failed);
  connect(autosave_, &AutosaveTimer::failed, autosave_failed, [autosave_failed](const QString& message) {
    autosave_failed->setToolTip(message);
    autosave_failed->setAccessibleName(message);
    autosave_failed->show();
  });
  connect(autosave_, &AutosaveTimer::recovered, autosave_failed, &QLabel::hide);
  open_plan_builder_ = [this](int page) { OpenPlanBuilder(page); };
  CreateModifiedCheck();
  CreateMap();
  CreateProblems();
  history_dock_ = new HistoryDock(undo_->history(), this);
  addDockWidget(Qt::RightDockWidgetArea, history_dock_);
  history_dock_->hide();
  connect(history_dock_, &QDockWidget::visibilityChanged, this, [this] { UpdateActions(); });
  Connect();
  UpdateActions();
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

void MainWindow::CreateCommands() {
  for (const MenuSpec& spec : Menus()) {
    QMenu* menu = spec.on_menu_bar ? menuBar()->addMenu(spec.caption) : new QMenu(spec.caption, this);
    menu->setObjectName(spec.name);
    menu->menuAction()->setObjectName(QString(spec.name) + "_menu");
    if (spec.on_menu_bar && spec.hidden) menu->menuAction()->setVisible(false);
    menus_[spec.name] = menu;
  }
  toolbar_ = addToolBar("Toolbar1");
  toolbar_->setObjectName("Toolbar1");
  toolbar_->setMovable(false);
  toolbar_->setIconSize(QSize(24, 24));

  int toolbar_separators = 0;
  for (const Command& command : Commands()) {
    QMenu* menu = command.menu != nullptr ? menus_.at(command.menu) : nullptr;
    // A menu's own windows find its items among its children.
    auto* action = new QAction(command.caption, menu != nullptr ? static_cast<QObject*>(menu) : this);
    action->setObjectName(command.name);
    action->setShortcuts(command.keys);
    action->setVisible((command.flags & kHidden) == 0);
    action->setCheckable((command.flags & kCheckable) != 0);
    if (command.icon != nullptr) action->setIcon(QIcon(QString(":/icons/toolbar/%1.svg").arg(command.icon)));
    const bool separated = (command.flags & kSeparatorBefore) != 0;
    if (menu != nullptr) {
      if (separated) menu->addSeparator();
      menu->addAction(action);
    }
    if ((command.flags & kToolbar) != 0) {
      if (separated) toolbar_->addSeparator()->setObjectName(QString("sep%1").arg(++toolbar_separators));
      toolbar_->addAction(action);
      action->setToolTip(command.caption);
    }
    if (menu == nullptr && (command.flags & kToolbar) == 0) addAction(action);  // keys only
    connect(action, &QAction::triggered, this, [this, name = action->objectName()] { RunCommand(name); });
    actions_.push_back(action);
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
        },
        [this] {
          if (problems_dock_->isHidden()) ToggleProblems();
          problems_dock_->raise();
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

void MainWindow::Connect() {
  connect(project_window_, &ProjectWindow::nodeClicked, this, &MainWindow::OnNodeClicked);
  connect(project_window_, &ProjectWindow::contextMenuRequested, this, &MainWindow::OnContextMenu);
  connect(project_window_, &ProjectWindow::deleteRequested, this, &MainWindow::OnDeleteRequested);
  document_connection_ = document_.changes().Connect([this](editor::DocumentChange change) {
    UpdateActions();
    if (change == editor::DocumentChange::kFileNames || change == editor::DocumentChange::kNewProject)
      UpdateCaption();
    modified_check_->start();
  });
  history_connection_ = undo_->history().changes().Connect([this] { UpdateActions(); });
  edit_connection_ =
      document_.edits().Connect([this](const editor::RecordEdit&) { modified_check_->start(); });
}

// Comparing with the saved files reads them (tens of milliseconds on a full mission), so the check
// waits for a pause in the edits rather than running on every key.
void MainWindow::CreateModifiedCheck() {
  modified_check_ = new QTimer(this);
  modified_check_->setObjectName("modified_check");
  modified_check_->setSingleShot(true);
  modified_check_->setInterval(kModifiedCheckMilliseconds);
  connect(modified_check_, &QTimer::timeout, this,
          [this] { setWindowModified(editor::HasUnsavedChanges(document_)); });
}

bool MainWindow::RunCommand(const QString& name) {
  const auto& commands = Commands();
  const auto command = std::find_if(commands.begin(), commands.end(),
                                    [&name](const Command& row) { return name == QLatin1String(row.name); });
  if (command == commands.end()) return false;
  if (command->forward != nullptr) {
    if (const char* target = command->forward(*this)) RunCommand(target);
    return true;
  }
  if (!command->run) return false;
  if (command->undo != kNotAnEdit) {
    undo_->history().Perform(command->undo, [this, command] { command->run(*this); });
  } else {
    command->run(*this);
  }
  modified_check_->start();  // a save changes what the content is compared with
  return true;
}

void MainWindow::UpdateActions() {
  const auto& commands = Commands();
  for (std::size_t i = 0; i < actions_.size(); ++i) {
    if (commands[i].enabled != nullptr) actions_[i]->setEnabled(commands[i].enabled(*this));
    if (commands[i].checked != nullptr) actions_[i]->setChecked(commands[i].checked(*this));
  }
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
  if (auto* team = qobject_cast<frm_team_props*>(property_windows_->WindowInSlot(slot)))
    team->InsertIntoPlan(statement);
}

// The team window of `node` with the caret at the start of plan line `line` (1-based).
void MainWindow::ShowPlanLine(editor::NodeId node, int line) {
  const editor::TreeNode* team_node = document_.tree().Find(node);
  if (team_node == nullptr || team_node->key.size() < 2 || team_node->key[0] != 'P') return;
  auto* team =
      qobject_cast<frm_team_props*>(property_windows_->WindowInSlot(std::atoi(team_node->key.c_str() + 1)));
  auto* plan = team != nullptr ? team->findChild<QPlainTextEdit*>("rtfb") : nullptr;
  if (plan == nullptr) return;
  const QTextBlock block = plan->document()->findBlockByNumber(line - 1);
  if (!block.isValid()) return;
  plan->setTextCursor(QTextCursor(block));
  plan->ensureCursorVisible();
  // After the click or key that chose the line has done with the focus.
  QTimer::singleShot(0, plan, [plan] { plan->setFocus(Qt::OtherFocusReason); });
}

void MainWindow::UpdateCaption() {
  setWindowTitle(FromPath(document_.caption()) + "[*]");
}

void MainWindow::OnNodeClicked(editor::NodeId node) {
  const editor::TreeNode* clicked = document_.tree().Find(node);
  if (clicked == nullptr || IsCategory(clicked->image)) return;
  clicked_ = clicked->image;
  UpdateActions();
  if (open_property_window_) open_property_window_(node);
}

void MainWindow::OnContextMenu(editor::NodeId node, const QPoint& position) {
  const editor::TreeNode* clicked = document_.tree().Find(node);
  if (clicked == nullptr) return;
  for (const MenuSpec& spec : Menus()) {
    if (std::find(spec.context_of.begin(), spec.context_of.end(), clicked->image) != spec.context_of.end())
      menus_[spec.name]->popup(position);
  }
}

// The Delete key runs the delete item of the node's context menu.
void MainWindow::OnDeleteRequested(editor::NodeId node) {
  const editor::TreeNode* target = document_.tree().Find(node);
  if (target == nullptr) return;
  for (const MenuSpec& spec : Menus()) {
    if (std::find(spec.context_of.begin(), spec.context_of.end(), target->image) == spec.context_of.end())
      continue;
    for (const Command& command : Commands()) {
      if ((command.flags & kDeleteKey) != 0 && command.menu != nullptr &&
          std::string_view(command.menu) == spec.name)
        RunCommand(command.name);
    }
  }
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
