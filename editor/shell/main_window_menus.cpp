#include "editor/shell/main_window_menus.h"

#include <QAction>
#include <QDockWidget>
#include <QString>

#include "editor/document/project_file.h"
#include "editor/document/section_files.h"
#include "editor/gui/map_view/map_view.h"
#include "editor/gui/prefab_windows/prefab_windows.h"
#include "editor/launch/error_check.h"
#include "editor/launch/launch_commands.h"
#include "editor/launch/unsaved_work.h"
#include "editor/script/import.h"
#include "editor/script/plan_builder.h"
#include "editor/shell/about_window.h"
#include "editor/shell/autosave_timer.h"
#include "editor/shell/find_window.h"
#include "editor/shell/history_dock.h"
#include "editor/shell/main_window.h"
#include "editor/shell/problems_dock.h"
#include "editor/shell/recent_files_menu.h"
#include "editor/shell/settings_window.h"
#include "editor/shell/undo_actions.h"

namespace vyr::gui {

using editor::NodeImage;
using editor::Section;

const std::vector<MenuSpec>& Menus() {
  static const std::vector<MenuSpec> menus = {
      {"mn_file", "&File", true, false},
      {"mn_edit", "&Edit", true, false},
      {"mn_project", "&Project", true, false},
      {"mn_options", "&Options", true, false},
      {"mn_view", "&View", true, false},
      {"mn_window", "&Window", true, true},
      {"mn_help", "&Help", true, false},
      {"loc", "loc", false, true, {NodeImage::kLocation}},
      {"mn_area", "mn_area", false, true, {NodeImage::kArea}},
      {"mn_force", "mn_force", false, true, {NodeImage::kForce}},
      {"mn_team", "mn_team", false, true, {NodeImage::kSubForce}},
      {"mn_addnpc", "mn_addnpc", false, true, {NodeImage::kTeam}},
      {"mn_outcome", "mn_outcome", false, true, {NodeImage::kOutcome}},
      {"mn_loc_delete", "mn_loc_delete", false, true, {NodeImage::kSubLocation}},
      {"mn_outcome_delete", "mn_outcome_delete", false, true, {NodeImage::kPos, NodeImage::kNeg}},
      {"mn_area_delete", "mn_area_delete", false, true, {NodeImage::kSubArea}},
      {"mn_npc_delete", "mn_npc_delete", false, true, {NodeImage::kNpc}},
      {"mn_plan", "mn_plan", false, true},
      {"mn_prefab_actor", "mn_prefab_actor", false, true},
      {"mn_prefab_team", "mn_prefab_team", false, true},
  };
  return menus;
}

namespace {

bool Never(const MainWindow&) {
  return false;
}

}  // namespace

// The rows are in menu order; the toolbar's buttons are the rows marked kToolbar, in table order.
const std::vector<Command>& MainWindow::Commands() {
  using W = MainWindow;
  // A command on the selected record: runs only while the selected node is of one of the kinds.
  const auto on = [](std::initializer_list<NodeImage> kinds,
                     void (*run)(W&, const editor::NodeAddress&)) -> std::function<void(W&)> {
    std::vector<NodeImage> wanted(kinds);
    return [wanted, run](W& w) {
      const editor::NodeAddress at = w.Selected();
      for (const NodeImage kind : wanted) {
        if (at.image == kind) return run(w, at);
      }
    };
  };
  const auto clear = [](void (editor::MissionDocument::*clear)()) -> std::function<void(W&)> {
    return [clear](W& w) { (w.document_.*clear)(); };
  };
  const auto import = [](Section section) -> std::function<void(W&)> {
    return [section](W& w) {
      (void)editor::ImportSection(w.document_, *w.ui_, section, w.services_.program_folder);
    };
  };
  const auto save = [](Section section) -> std::function<void(W&)> {
    return [section](W& w) { (void)editor::SaveSection(w.document_, *w.ui_, section); };
  };
  const auto save_as = [](Section section) -> std::function<void(W&)> {
    return [section](W& w) { (void)editor::SaveSectionAs(w.document_, *w.ui_, section); };
  };
  const auto plan = [](const char* name, const char* caption, editor::PlanPage page, unsigned flags = 0) {
    return Command{.name = name,
                   .caption = caption,
                   .menu = "mn_plan",
                   .flags = flags,
                   .undo = "Insert plan command",
                   .run = [page](W& w) {
                     if (w.open_plan_builder_) w.open_plan_builder_(static_cast<int>(page));
                   }};
  };
  // Unsaved work is replaced only when the author said so.
  const auto replace = [](std::string_view question, void (*then)(W&)) -> std::function<void(W&)> {
    return [question, then](W& w) {
      if (editor::MayReplaceWork(w.document_, *w.ui_, *w.recent_, question, w.settings_.projectpath)) then(w);
    };
  };
  // A team or actor added under a collapsed node is shown: its parent opens and the new node is selected.
  static constexpr auto add_below = [](W& w, const char* title, const editor::Status& added) {
    w.Report(title, added);
    if (!added) return;
    w.document_.tree().SetExpanded(w.document_.tree().selected(), true);
    w.document_.MakeCurrent(w.document_.tree().last_added());
  };
  using editor::PlanPage;

  static const std::vector<Command> commands = {
      // File
      {.name = "mn_file_new",
       .caption = "&New",
       .menu = "mn_file",
       .flags = kNewDocument,
       .keys = StandardKeys(QKeySequence::New),
       .run = replace(editor::kSaveBeforeNew, [](W& w) { w.document_.NewProject(); })},
      {.name = "mn_file_open",
       .caption = "&Open Project",
       .menu = "mn_file",
       .flags = kNewDocument,
       .keys = StandardKeys(QKeySequence::Open),
       .run = replace(editor::kSaveBeforeOpening,
                      [](W& w) {
                        (void)editor::OpenProject(w.document_, *w.ui_, *w.recent_, w.settings_.projectpath);
                      })},
      {.name = "mn_file_import",
       .caption = "&Import Mission",
       .menu = "mn_file",
       .flags = kNewDocument,
       .run = replace(
           editor::kSaveBeforeImporting,
           [](W& w) { (void)editor::ImportMissionCommand(w.document_, *w.ui_, w.settings_.aq2_path); })},
      {.name = "mn_file_save",
       .caption = "&Save Project",
       .menu = "mn_file",
       .keys = StandardKeys(QKeySequence::Save),
       .run =
           [](W& w) { (void)editor::SaveProject(w.document_, *w.ui_, *w.recent_, w.settings_.projectpath); }},
      {.name = "mn_file_save_as",
       .caption = "Save Project &as",
       .menu = "mn_file",
       .keys = StandardKeys(QKeySequence::SaveAs),
       .run =
           [](W& w) {
             (void)editor::SaveProjectAs(w.document_, *w.ui_, *w.recent_, w.settings_.projectpath);
           }},
      {.name = "mn_file_export_map",
       .caption = "&Export map as image...",
       .menu = "mn_file",
       .run = [](W& w) { w.ExportMap(); }},
      {.name = "mn_file_quit",
       .caption = "E&xit",
       .menu = "mn_file",
       .flags = kSeparatorBefore,
       .keys = StandardKeys(QKeySequence::Quit),
       .run = [](W& w) { w.close(); }},
      {.name = "open",
       .caption = "Open mission",
       .flags = kToolbar | kSeparatorBefore,
       .icon = "open",
       .forward = [](const W&) { return "mn_file_open"; }},
      {.name = "save",
       .caption = "Save mission",
       .flags = kToolbar,
       .icon = "save",
       .forward = [](const W&) { return "mn_file_save"; }},

      // Edit
      {.name = "mn_edit_undo",
       .caption = "&Undo",
       .menu = "mn_edit",
       .flags = kToolbar,
       .keys = {QKeySequence(QKeySequence::Undo)},
       .icon = "undo",
       .run = [](W& w) { w.undo_->Undo(); },
       .enabled = [](const W& w) { return w.undo_ != nullptr && w.undo_->history().CanUndo(); }},
      {.name = "mn_edit_redo",
       .caption = "&Redo",
       .menu = "mn_edit",
       .flags = kToolbar,
       .keys = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
       .icon = "redo",
       .run = [](W& w) { w.undo_->Redo(); },
       .enabled = [](const W& w) { return w.undo_ != nullptr && w.undo_->history().CanRedo(); }},
      // "Search item" never worked; Find does what it promised, so it stays out of sight.
      {.name = "mn_edit_search",
       .caption = "&Search item",
       .menu = "mn_edit",
       .flags = kSeparatorBefore | kHidden,
       .enabled = Never},
      {.name = "mn_edit_find",
       .caption = "&Find...",
       .menu = "mn_edit",
       .keys = {QKeySequence(QKeySequence::Find)},
       .run = [](W& w) { w.find_window_->Start(); }},
      // The toolbar's edit buttons act on whatever record the selected node holds, and are enabled for
      // the kind of the node last clicked.
      {.name = "copy",
       .caption = "Copy actor",
       .flags = kToolbar | kSeparatorBefore,
       .icon = "copy",
       .forward = [](const W& w) -> const char* {
         const NodeImage image = w.Selected().image;
         return image == NodeImage::kNpc    ? "mn_npc_copy"
                : image == NodeImage::kTeam ? "mn_team_copy"
                                            : nullptr;
       },
       .enabled = [](const W& w) { return w.clicked_ == NodeImage::kTeam || w.clicked_ == NodeImage::kNpc; }},
      {.name = "cut",
       .caption = "Cut actor",
       .flags = kToolbar,
       .icon = "cut",
       .forward = [](const W& w) -> const char* {
         const NodeImage image = w.Selected().image;
         return image == NodeImage::kNpc ? "mn_npc_cut" : image == NodeImage::kTeam ? "mn_team_cut" : nullptr;
       },
       .enabled = [](const W& w) { return w.clicked_ == NodeImage::kTeam || w.clicked_ == NodeImage::kNpc; }},
      {.name = "paste",
       .caption = "Paste actor",
       .flags = kToolbar,
       .icon = "paste",
       .forward = [](const W& w) -> const char* {
         const NodeImage image = w.Selected().image;
         return image == NodeImage::kTeam       ? "mn_team_paste"
                : image == NodeImage::kSubForce ? "mn_force_paste"
                                                : nullptr;
       },
       .enabled =
           [](const W& w) {
             return (w.clicked_ == NodeImage::kTeam && w.document_.actor_on_clipboard()) ||
                    (w.clicked_ == NodeImage::kSubForce && w.document_.team_on_clipboard());
           }},

      // Project
      {.name = "mn_project_quickrun",
       .caption = "QuickRun",
       .menu = "mn_project",
       .run = [](W& w) { editor::QuickRunCommand(w.launch(), w.settings_, w.document_); }},
      {.name = "mn_project_build",
       .caption = "&Build",
       .menu = "mn_project",
       .run = [](W& w) { editor::BuildCommand(w.launch(), w.document_); }},
      {.name = "mn_project_preview",
       .caption = "&Preview script",
       .menu = "mn_project",
       .flags = kSeparatorBefore,
       .run = [](W& w) { editor::PreviewScript(w.launch()); }},
      {.name = "mn_project_errorchecker",
       .caption = "&ErrorChecker",
       .menu = "mn_project",
       .run = [](W& w) { editor::ErrorCheck(w.launch()); }},
      {.name = "mn_project_log",
       .caption = "&View log",
       .menu = "mn_project",
       .run = [](W& w) { editor::ViewLogCommand(w.launch(), w.settings_, w.document_); }},
      {.name = "create",
       .caption = "Build mission script",
       .flags = kToolbar | kSeparatorBefore,
       .icon = "create",
       .forward = [](const W&) { return "mn_project_build"; }},
      {.name = "play",
       .caption = "Launch VYR for ActionQuake2 with this mission",
       .flags = kToolbar,
       .icon = "play",
       .forward = [](const W&) { return "mn_project_quickrun"; }},

      // Options, View, Window, Help
      {.name = "mn_options_aq2",
       .caption = "AQ2 &Settings",
       .menu = "mn_options",
       .run =
           [](W& w) {
             frm_aq2settings window(w.services_.settings, w.settings_, *w.ui_,
                                    w.services_.register_associations, &w);
             window.exec();
             w.autosave_->Start(w.settings_.autosave_seconds);
           }},
      {.name = "mn_options_ide",
       .caption = "&Mission Editor Settings",
       .menu = "mn_options",
       .flags = kHidden},
      {.name = "mn_options_prefabs", .caption = "&Prefabs", .menu = "mn_options", .flags = kHidden},
      {.name = "mn_view_map",
       .caption = "&Map",
       .menu = "mn_view",
       .flags = kCheckable,
       .run = [](W& w) { w.ToggleMap(); },
       .checked = [](const W& w) { return w.map_dock_ != nullptr && !w.map_dock_->isHidden(); }},
      {.name = "mn_view_problems",
       .caption = "&Problems",
       .menu = "mn_view",
       .flags = kCheckable,
       .run = [](W& w) { w.ToggleProblems(); },
       .checked = [](const W& w) { return w.problems_dock_ != nullptr && !w.problems_dock_->isHidden(); }},
      {.name = "mn_view_history",
       .caption = "&History",
       .menu = "mn_view",
       .flags = kCheckable,
       .run =
           [](W& w) {
             w.history_dock_->setVisible(w.history_dock_->isHidden());
             w.UpdateActions();
           },
       .checked = [](const W& w) { return w.history_dock_ != nullptr && !w.history_dock_->isHidden(); }},
      {.name = "mn_window_cascade", .caption = "&Cascade", .menu = "mn_window", .enabled = Never},
      {.name = "mn_window_tile", .caption = "&Tile", .menu = "mn_window", .enabled = Never},
      {.name = "mn_window_debug",
       .caption = "Interal Debug window",
       .menu = "mn_window",
       .flags = kSeparatorBefore},
      {.name = "mn_help_about",
       .caption = "&About",
       .menu = "mn_help",
       .run =
           [](W& w) {
             frm_about window(&w);
             window.exec();
           }},

      // Locations
      {.name = "loc_add",
       .caption = "&Add new location",
       .menu = "loc",
       .undo = "Add location",
       .run = [](W& w) { w.Report("Add location", w.document_.AddLocation("New location", "", 0, 0, 0)); }},
      {.name = "mn_loc_clear",
       .caption = "&Clear",
       .menu = "loc",
       .flags = kSeparatorBefore,
       .undo = "Clear locations",
       .run = clear(&editor::MissionDocument::ClearLocations)},
      {.name = "loc_import",
       .caption = "&Import from file",
       .menu = "loc",
       .flags = kSeparatorBefore,
       .undo = "Import locations",
       .run = import(Section::kLocations)},
      {.name = "mn_loc_save", .caption = "&Save", .menu = "loc", .run = save(Section::kLocations)},
      {.name = "mn_loc_saveas", .caption = "Save &As", .menu = "loc", .run = save_as(Section::kLocations)},

      // Areas
      {.name = "mn_area_add",
       .caption = "&Add new area",
       .menu = "mn_area",
       .undo = "Add area",
       .run = [](W& w) { w.Report("Add area", w.document_.AddArea("New area", "", "[none]", 0, "open")); }},
      {.name = "mn_area_clear",
       .caption = "&Clear",
       .menu = "mn_area",
       .flags = kSeparatorBefore,
       .undo = "Clear areas",
       .run = clear(&editor::MissionDocument::ClearAreas)},
      {.name = "mn_area_import",
       .caption = "&Import from file",
       .menu = "mn_area",
       .flags = kSeparatorBefore,
       .undo = "Import areas",
       .run = import(Section::kAreas)},
      {.name = "mn_area_save", .caption = "&Save", .menu = "mn_area", .run = save(Section::kAreas)},
      {.name = "mn_area_saveas", .caption = "Save &As", .menu = "mn_area", .run = save_as(Section::kAreas)},

      // Forces
      {.name = "mn_force_Add",
       .caption = "&Add new force",
       .menu = "mn_force",
       .undo = "Add force",
       .run = [](W& w) { w.Report("Add force", w.document_.AddForce("New force", "")); }},
      {.name = "mn_force_clear",
       .caption = "&Clear",
       .menu = "mn_force",
       .flags = kSeparatorBefore,
       .undo = "Clear forces",
       .run = clear(&editor::MissionDocument::ClearForces)},
      {.name = "mn_force_import",
       .caption = "&Import from file",
       .menu = "mn_force",
       .flags = kSeparatorBefore,
       .undo = "Import forces",
       .run = import(Section::kForces)},
      {.name = "mn_force_save", .caption = "&Save", .menu = "mn_force", .run = save(Section::kForces)},
      {.name = "mn_force_saveas",
       .caption = "Save &As",
       .menu = "mn_force",
       .run = save_as(Section::kForces)},

      // A force's node
      {.name = "mn_team_add",
       .caption = "&Add team",
       .menu = "mn_team",
       .undo = "Add team",
       .run = on({NodeImage::kSubForce},
                 [](W& w, const editor::NodeAddress& at) {
                   add_below(w, "Add team", w.document_.AddTeam(at.force, "New team", "", ""));
                 })},
      {.name = "mn_force_paste",
       .caption = "&Paste team",
       .menu = "mn_team",
       .undo = "Paste team",
       .run = on({NodeImage::kSubForce},
                 [](W& w, const editor::NodeAddress& at) {
                   w.Report("Paste team", w.document_.PasteTeam(at.force));
                 }),
       .enabled = [](const W& w) { return w.document_.team_on_clipboard(); }},
      {.name = "mn_team_delete_force",
       .caption = "&Delete force",
       .menu = "mn_team",
       .flags = kSeparatorBefore | kDeleteKey,
       .undo = "Delete force",
       .run = on({NodeImage::kSubForce},
                 [](W& w, const editor::NodeAddress& at) { (void)w.document_.DeleteForce(at.force); })},

      // A team's node
      {.name = "mn_addnpc_npc",
       .caption = "&Add actor",
       .menu = "mn_addnpc",
       .undo = "Add actor",
       .run = on({NodeImage::kTeam},
                 [](W& w, const editor::NodeAddress& at) {
                   add_below(w, "Add actor", w.document_.AddActor(at.force, at.team, editor::ActorRecord{}));
                 })},
      {.name = "mn_team_paste",
       .caption = "&Paste actor",
       .menu = "mn_addnpc",
       .undo = "Paste actor",
       .run = on({NodeImage::kTeam},
                 [](W& w, const editor::NodeAddress& at) {
                   w.Report("Paste actor", w.document_.PasteActor(at.force, at.team));
                 }),
       .enabled = [](const W& w) { return w.document_.actor_on_clipboard(); }},
      {.name = "mn_team_copy",
       .caption = "&Copy",
       .menu = "mn_addnpc",
       .flags = kSeparatorBefore,
       .run = on({NodeImage::kTeam},
                 [](W& w, const editor::NodeAddress& at) { (void)w.document_.CopyTeam(at.force, at.team); })},
      {.name = "mn_team_cut",
       .caption = "&Cut",
       .menu = "mn_addnpc",
       .undo = "Cut team",
       .run = on({NodeImage::kTeam},
                 [](W& w, const editor::NodeAddress& at) { (void)w.document_.CutTeam(at.force, at.team); })},
      {.name = "mn_delete_team",
       .caption = "&Delete team",
       .menu = "mn_addnpc",
       .flags = kSeparatorBefore | kDeleteKey,
       .undo = "Delete team",
       .run =
           on({NodeImage::kTeam},
              [](W& w, const editor::NodeAddress& at) { (void)w.document_.DeleteTeam(at.force, at.team); })},

      // Outcomes
      {.name = "mn_outcome_success",
       .caption = "Add &Success",
       .menu = "mn_outcome",
       .undo = "Add outcome",
       .run = [](W& w) { w.Report("Add outcome", w.document_.AddOutcome("", "", "", "success", "")); }},
      {.name = "mn_outcome_failure",
       .caption = "Add &Failure",
       .menu = "mn_outcome",
       .undo = "Add outcome",
       .run = [](W& w) { w.Report("Add outcome", w.document_.AddOutcome("", "", "", "failure", "")); }},
      {.name = "mn_outcome_clear",
       .caption = "&Clear",
       .menu = "mn_outcome",
       .flags = kSeparatorBefore,
       .undo = "Clear outcomes",
       .run = clear(&editor::MissionDocument::ClearOutcomes)},
      {.name = "mn_outcome_import",
       .caption = "&Import from file",
       .menu = "mn_outcome",
       .flags = kSeparatorBefore,
       .undo = "Import outcomes",
       .run = import(Section::kOutcomes)},
      {.name = "mn_outcome_save", .caption = "&Save", .menu = "mn_outcome", .run = save(Section::kOutcomes)},
      {.name = "mn_outcome_saveas",
       .caption = "Save &As",
       .menu = "mn_outcome",
       .run = save_as(Section::kOutcomes)},

      // A record's node
      {.name = "mn_loc_delete1",
       .caption = "&Delete",
       .menu = "mn_loc_delete",
       .flags = kDeleteKey,
       .undo = "Delete location",
       .run = on({NodeImage::kSubLocation},
                 [](W& w, const editor::NodeAddress& at) { (void)w.document_.DeleteLocation(at.index); })},
      // Every area, plan and outcome that names the record: the right click made its node the selected one.
      {.name = "mn_loc_delete_usages",
       .caption = "Find &usages",
       .menu = "mn_loc_delete",
       .run = on({NodeImage::kSubLocation},
                 [](W& w, const editor::NodeAddress&) {
                   w.find_window_->ShowUsages(w.document_.tree().selected());
                 })},
      {.name = "mn_outcome_delete1",
       .caption = "&Delete",
       .menu = "mn_outcome_delete",
       .flags = kDeleteKey,
       .undo = "Delete outcome",
       .run = on({NodeImage::kPos, NodeImage::kNeg},
                 [](W& w, const editor::NodeAddress& at) { (void)w.document_.DeleteOutcome(at.index); })},
      {.name = "mn_area_delete1",
       .caption = "&Delete",
       .menu = "mn_area_delete",
       .flags = kDeleteKey,
       .undo = "Delete area",
       .run = on({NodeImage::kSubArea},
                 [](W& w, const editor::NodeAddress& at) { (void)w.document_.DeleteArea(at.index); })},
      // Every area, plan and outcome that names the record: the right click made its node the selected one.
      {.name = "mn_area_delete_usages",
       .caption = "Find &usages",
       .menu = "mn_area_delete",
       .run = on({NodeImage::kSubArea},
                 [](W& w, const editor::NodeAddress&) {
                   w.find_window_->ShowUsages(w.document_.tree().selected());
                 })},
      {.name = "mn_npc_copy",
       .caption = "&Copy",
       .menu = "mn_npc_delete",
       .run = on({NodeImage::kNpc},
                 [](W& w, const editor::NodeAddress& at) {
                   (void)w.document_.CopyActor(at.force, at.team, at.index);
                 })},
      {.name = "mn_npc_cut",
       .caption = "&Cut",
       .menu = "mn_npc_delete",
       .undo = "Cut actor",
       .run = on({NodeImage::kNpc},
                 [](W& w, const editor::NodeAddress& at) {
                   (void)w.document_.CutActor(at.force, at.team, at.index);
                 })},
      {.name = "mn_npc_delete1",
       .caption = "&Delete",
       .menu = "mn_npc_delete",
       .flags = kSeparatorBefore | kDeleteKey,
       .undo = "Delete actor",
       .run = on({NodeImage::kNpc},
                 [](W& w, const editor::NodeAddress& at) {
                   (void)w.document_.DeleteActor(at.force, at.team, at.index);
                 })},

      // The plan menu of a team's window: the plan command builder on its page.
      plan("mn_plan_insert", "&Insert", PlanPage::kInsert),
      plan("mn_plan_patrol", "&Patrol", PlanPage::kPatrol, kSeparatorBefore),
      plan("mn_plan_snipe", "&Snipe", PlanPage::kSnipe),
      plan("mn_plan_attack", "&Attack", PlanPage::kAttack, kSeparatorBefore),
      plan("mn_plan_defend", "&Defend", PlanPage::kDefend),
      plan("mn_plan_advance", "Ad&vance", PlanPage::kAdvance),
      plan("mn_plan_pullback", "&Pullback", PlanPage::kPullback),
      plan("mn_plan_moveup", "&Moveup", PlanPage::kMoveup, kSeparatorBefore),
      plan("mn_plan_spread", "&Spread", PlanPage::kSpread),
      plan("mn_plan_assemble", "&Assemble", PlanPage::kAssemble),
      plan("mn_plan_radio", "&Radio", PlanPage::kRadio, kSeparatorBefore),
      plan("mn_plan_signalcode", "&Signal code", PlanPage::kSignalCode),
      plan("mn_plan_oncontact", "&On(contact)", PlanPage::kOn, kSeparatorBefore),
      plan("mn_plan_oncode", "On(&code)", PlanPage::kOn),
      plan("mn_plan_abort", "&Abort", PlanPage::kAbort),
      plan("mn_plan_phase", "&Phase", PlanPage::kPhase),
      plan("mn_plan_continue", "&Continue with phase", PlanPage::kContinue),
      plan("mn_plan_wait", "&Wait", PlanPage::kWait, kSeparatorBefore),

      // The prefab library's member menus: the library, not the document.
      {.name = "mn_prefab_actor_delete",
       .caption = "&Delete",
       .menu = "mn_prefab_actor",
       .run = [](W& w) { w.prefab_window_->DeleteMember(); }},
      {.name = "mn_prefab_actor_edit",
       .caption = "&View/Edit",
       .menu = "mn_prefab_actor",
       .run = [](W& w) { w.prefab_window_->EditActor(); }},
      {.name = "mn_prefab_actor_paste",
       .caption = "&Paste as prefab",
       .menu = "mn_prefab_actor",
       .flags = kSeparatorBefore,
       .run = [](W& w) { w.prefab_window_->PasteAsPrefab(); }},
      {.name = "mn_prefab_team_delete",
       .caption = "&Delete",
       .menu = "mn_prefab_team",
       .run = [](W& w) { w.prefab_window_->DeleteMember(); }},
      {.name = "mn_prefab_team_view",
       .caption = "&View/Edit",
       .menu = "mn_prefab_team",
       .run = [](W& w) { w.prefab_window_->EditTeam(); }},
      {.name = "mn_prefab_team_paste",
       .caption = "&Paste as prefab",
       .menu = "mn_prefab_team",
       .flags = kSeparatorBefore,
       .run = [](W& w) { w.prefab_window_->PasteAsPrefab(); }},
  };
  return commands;
}

QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key) {
  QList<QKeySequence> keys = QKeySequence::keyBindings(key);
  if (!keys.isEmpty()) return keys;
  switch (key) {
    case QKeySequence::New:
      return {QKeySequence(Qt::CTRL | Qt::Key_N)};
    case QKeySequence::Open:
      return {QKeySequence(Qt::CTRL | Qt::Key_O)};
    case QKeySequence::Save:
      return {QKeySequence(Qt::CTRL | Qt::Key_S)};
    case QKeySequence::SaveAs:
      return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)};
    case QKeySequence::Quit:
      return {QKeySequence(Qt::CTRL | Qt::Key_Q)};
    default:
      return {};
  }
}

bool IsCategory(NodeImage image) {
  return image == NodeImage::kLocation || image == NodeImage::kArea || image == NodeImage::kForce ||
         image == NodeImage::kOutcome;
}

}  // namespace vyr::gui
