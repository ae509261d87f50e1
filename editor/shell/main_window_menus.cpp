#include "editor/shell/main_window_menus.h"

namespace vyr::gui {

using editor::NodeImage;

namespace {

const ItemSpec kSeparator{nullptr};

}  // namespace

const std::vector<MenuSpec>& MenuTable() {
  static const std::vector<MenuSpec> table = {
      {"mn_file",
       "&File",
       true,
       false,
       {{"mn_file_new", "&New", kVisibleEnabled, QKeySequence::New},
        {"mn_file_open", "&Open Project", kVisibleEnabled, QKeySequence::Open},
        {"mn_file_import", "&Import Mission"},
        {"mn_file_save", "&Save Project", kVisibleEnabled, QKeySequence::Save},
        {"mn_file_save_as", "Save Project &as", kVisibleEnabled, QKeySequence::SaveAs},
        {"mn_file_export_map", "&Export map as image..."},
        kSeparator,
        {"mn_file_quit", "E&xit", kVisibleEnabled, QKeySequence::Quit}}},
      // "Search item" never worked; Find does what it promised, so it stays out of sight.
      {"mn_edit",
       "&Edit",
       true,
       false,
       {{"mn_edit_search", "&Search item", kHidden | kDisabled}, {"mn_edit_find", "&Find..."}}},
      {"mn_project",
       "&Project",
       true,
       false,
       {{"mn_project_quickrun", "QuickRun"},
        {"mn_project_build", "&Build"},
        kSeparator,
        {"mn_project_preview", "&Preview script"},
        {"mn_project_errorchecker", "&ErrorChecker"},
        {"mn_project_log", "&View log"}}},
      {"mn_options",
       "&Options",
       true,
       false,
       {{"mn_options_aq2", "AQ2 &Settings"},
        {"mn_options_ide", "&Mission Editor Settings", kHidden},
        {"mn_options_prefabs", "&Prefabs", kHidden}}},
      {"mn_view", "&View", true, false, {{"mn_view_map", "&Map"}, {"mn_view_problems", "&Problems"}}},
      {"mn_window",
       "&Window",
       true,
       true,
       {{"mn_window_cascade", "&Cascade", kDisabled},
        {"mn_window_tile", "&Tile", kDisabled},
        kSeparator,
        {"mn_window_debug", "Interal Debug window"}}},
      {"mn_help", "&Help", true, false, {{"mn_help_about", "&About"}}},
      {"loc",
       "loc",
       false,
       true,
       {{"loc_add", "&Add new location"},
        kSeparator,
        {"mn_loc_clear", "&Clear"},
        kSeparator,
        {"loc_import", "&Import from file"},
        {"mn_loc_save", "&Save"},
        {"mn_loc_saveas", "Save &As"}}},
      {"mn_area",
       "mn_area",
       false,
       true,
       {{"mn_area_add", "&Add new area"},
        kSeparator,
        {"mn_area_clear", "&Clear"},
        kSeparator,
        {"mn_area_import", "&Import from file"},
        {"mn_area_save", "&Save"},
        {"mn_area_saveas", "Save &As"}}},
      {"mn_force",
       "mn_force",
       false,
       true,
       {{"mn_force_Add", "&Add new force"},
        kSeparator,
        {"mn_force_clear", "&Clear"},
        kSeparator,
        {"mn_force_import", "&Import from file"},
        {"mn_force_save", "&Save"},
        {"mn_force_saveas", "Save &As"}}},
      {"mn_team",
       "mn_team",
       false,
       true,
       {{"mn_team_add", "&Add team"},
        {"mn_force_paste", "&Paste team", kDisabled},
        kSeparator,
        {"mn_team_delete_force", "&Delete force"}}},
      {"mn_addnpc",
       "mn_addnpc",
       false,
       true,
       {{"mn_addnpc_npc", "&Add actor"},
        {"mn_team_paste", "&Paste actor", kDisabled},
        kSeparator,
        {"mn_team_copy", "&Copy"},
        {"mn_team_cut", "&Cut"},
        kSeparator,
        {"mn_delete_team", "&Delete team"}}},
      {"mn_outcome",
       "mn_outcome",
       false,
       true,
       {{"mn_outcome_success", "Add &Success"},
        {"mn_outcome_failure", "Add &Failure"},
        kSeparator,
        {"mn_outcome_clear", "&Clear"},
        kSeparator,
        {"mn_outcome_import", "&Import from file"},
        {"mn_outcome_save", "&Save"},
        {"mn_outcome_saveas", "Save &As"}}},
      {"mn_loc_delete", "mn_loc_delete", false, true, {{"mn_loc_delete1", "&Delete"}}},
      {"mn_outcome_delete", "mn_outcome_delete", false, true, {{"mn_outcome_delete1", "&Delete"}}},
      {"mn_area_delete", "mn_area_delete", false, true, {{"mn_area_delete1", "&Delete"}}},
      {"mn_npc_delete",
       "mn_npc_delete",
       false,
       true,
       {{"mn_npc_copy", "&Copy"}, {"mn_npc_cut", "&Cut"}, kSeparator, {"mn_npc_delete1", "&Delete"}}},
      {"mn_plan",
       "mn_plan",
       false,
       true,
       {{"mn_plan_insert", "&Insert"},
        kSeparator,
        {"mn_plan_patrol", "&Patrol"},
        {"mn_plan_snipe", "&Snipe"},
        kSeparator,
        {"mn_plan_attack", "&Attack"},
        {"mn_plan_defend", "&Defend"},
        {"mn_plan_advance", "Ad&vance"},
        {"mn_plan_pullback", "&Pullback"},
        kSeparator,
        {"mn_plan_moveup", "&Moveup"},
        {"mn_plan_spread", "&Spread"},
        {"mn_plan_assemble", "&Assemble"},
        kSeparator,
        {"mn_plan_radio", "&Radio"},
        {"mn_plan_signalcode", "&Signal code"},
        kSeparator,
        {"mn_plan_oncontact", "&On(contact)"},
        {"mn_plan_oncode", "On(&code)"},
        {"mn_plan_abort", "&Abort"},
        {"mn_plan_phase", "&Phase"},
        {"mn_plan_continue", "&Continue with phase"},
        kSeparator,
        {"mn_plan_wait", "&Wait"}}},
      {"mn_prefab_actor",
       "mn_prefab_actor",
       false,
       true,
       {{"mn_prefab_actor_delete", "&Delete"},
        {"mn_prefab_actor_edit", "&View/Edit"},
        kSeparator,
        {"mn_prefab_actor_paste", "&Paste as prefab"}}},
      {"mn_prefab_team",
       "mn_prefab_team",
       false,
       true,
       {{"mn_prefab_team_delete", "&Delete"},
        {"mn_prefab_team_view", "&View/Edit"},
        kSeparator,
        {"mn_prefab_team_paste", "&Paste as prefab"}}},
  };
  return table;
}

const std::array<ToolSpec, 10> kToolbar = {{
    {"sep1", nullptr, true},
    {"open", "Open mission", true},
    {"save", "Save mission", true},
    {"sep2", nullptr, true},
    {"copy", "Copy actor", false},
    {"cut", "Cut actor", false},
    {"paste", "Paste actor", false},
    {"sep3", nullptr, true},
    {"create", "Build mission script", true},
    {"play", "Launch VYR for ActionQuake2 with this mission", true},
}};

// The context menu a node of each kind shows; the root shows none.
const char* ContextMenuOf(NodeImage image) {
  switch (image) {
    case NodeImage::kRoot:
      return nullptr;
    case NodeImage::kLocation:
      return "loc";
    case NodeImage::kArea:
      return "mn_area";
    case NodeImage::kForce:
      return "mn_force";
    case NodeImage::kOutcome:
      return "mn_outcome";
    case NodeImage::kSubLocation:
      return "mn_loc_delete";
    case NodeImage::kSubArea:
      return "mn_area_delete";
    case NodeImage::kSubForce:
      return "mn_team";
    case NodeImage::kTeam:
      return "mn_addnpc";
    case NodeImage::kNpc:
      return "mn_npc_delete";
    case NodeImage::kPos:
    case NodeImage::kNeg:
      return "mn_outcome_delete";
  }
  return nullptr;
}

// The command the Delete key runs on a record node: the same as its menu's delete item.
const char* DeleteCommandOf(NodeImage image) {
  switch (image) {
    case NodeImage::kSubLocation:
      return "mn_loc_delete1";
    case NodeImage::kSubArea:
      return "mn_area_delete1";
    case NodeImage::kSubForce:
      return "mn_team_delete_force";
    case NodeImage::kTeam:
      return "mn_delete_team";
    case NodeImage::kNpc:
      return "mn_npc_delete1";
    case NodeImage::kPos:
    case NodeImage::kNeg:
      return "mn_outcome_delete1";
    default:
      return nullptr;
  }
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
