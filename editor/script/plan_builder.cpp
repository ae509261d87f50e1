#include "editor/script/plan_builder.h"

#include <algorithm>
#include <utility>

#include "editor/document/mission_document.h"
#include "editor/script/vocabulary.h"

namespace vyr::editor {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kReady = "  wait until ready;\r\n";

ComboChoice MakeCombo(std::vector<std::string> entries) {
  ComboChoice combo;
  combo.entries = std::move(entries);
  combo.Select(0);
  return combo;
}

std::vector<std::string> Colours() {
  return {"Red", "Green", "Blue", "Yellow"};
}

}  // namespace

const std::array<std::string_view, kPlanPageCount> kPlanPageCaptions = {
    "Insert",   "Patrol",           "Snipe",  "Attack",   "Defend",   "Advance",
    "Pullback", "Moveup",           "Spread", "Assemble", "Radio",    "Signal code",
    "Wait",     "On(contact/code)", "Abort",  "Phase",    "Continue",
};

const std::array<PlanMenuItem, 18> kPlanMenuItems = {{
    {"mn_plan_insert", "&Insert", PlanPage::kInsert},
    {"mn_plan_patrol", "&Patrol", PlanPage::kPatrol},
    {"mn_plan_snipe", "&Snipe", PlanPage::kSnipe},
    {"mn_plan_attack", "&Attack", PlanPage::kAttack},
    {"mn_plan_defend", "&Defend", PlanPage::kDefend},
    {"mn_plan_advance", "Ad&vance", PlanPage::kAdvance},
    {"mn_plan_pullback", "&Pullback", PlanPage::kPullback},
    {"mn_plan_moveup", "&Moveup", PlanPage::kMoveup},
    {"mn_plan_spread", "&Spread", PlanPage::kSpread},
    {"mn_plan_assemble", "&Assemble", PlanPage::kAssemble},
    {"mn_plan_radio", "&Radio", PlanPage::kRadio},
    {"mn_plan_signalcode", "&Signal code", PlanPage::kSignalCode},
    {"mn_plan_wait", "&Wait", PlanPage::kWait},
    {"mn_plan_oncontact", "&On(contact)", PlanPage::kOn},
    {"mn_plan_oncode", "On(&code)", PlanPage::kOn},
    {"mn_plan_abort", "&Abort", PlanPage::kAbort},
    {"mn_plan_phase", "&Phase", PlanPage::kPhase},
    {"mn_plan_continue", "&Continue with phase", PlanPage::kContinue},
}};

int ComboChoice::SelectedIndex() const {
  auto it = std::find(entries.begin(), entries.end(), text);
  return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

void ComboChoice::Select(int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < entries.size()) {
    text = entries[static_cast<std::size_t>(index)];
  } else {
    text.clear();
  }
}

void MultiChoice::SetSelected(std::size_t index, bool on) {
  if (index < selected.size()) selected[index] = on;
}

PlanEdit InsertAtCaret(const std::string& text, std::size_t caret, const std::string& statement) {
  const std::size_t pos = std::min(caret, text.size());
  PlanEdit edit;
  edit.text.reserve(text.size() + statement.size());
  edit.text.append(text, 0, pos);
  edit.text += statement;
  edit.text.append(text, pos, std::string::npos);
  edit.caret = pos + statement.size();
  return edit;
}

PlanCommandBuilder::PlanCommandBuilder(std::vector<std::string> location_names,
                                       std::vector<std::string> area_names) {
  for (ComboChoice* list :
       {&insert_location, &snipe_from, &Snipe_to, &attack_location, &defend_location, &defend_pullback,
        &advance_to, &pullback_to, &moveup_to, &spread_to, &assemble_at}) {
    *list = MakeCombo(location_names);
  }
  for (ComboChoice& f : formation)
    f = MakeCombo({"column"});
  patrol_list.entries = std::move(area_names);
  patrol_list.selected.assign(patrol_list.entries.size(), false);
  code_color = MakeCombo(Colours());
  wait_color = MakeCombo(Colours());
  oncodecolor = MakeCombo({"contact", "Red", "Green", "Blue", "Yellow"});
  wait_type = MakeCombo({"Time delay", "Wait until ready", "Wait forever", "Wait until go code"});
}

PlanCommandBuilder PlanCommandBuilder::FromDocument(const MissionDocument& document) {
  std::vector<std::string> locations;
  locations.reserve(static_cast<std::size_t>(document.location_count()));
  for (int i = 0; i < document.location_count(); ++i)
    locations.push_back(document.location(i).loc_name);
  std::vector<std::string> areas;
  areas.reserve(static_cast<std::size_t>(document.area_count()));
  for (int i = 0; i < document.area_count(); ++i)
    areas.push_back(document.area(i).area_name);
  return PlanCommandBuilder(std::move(locations), std::move(areas));
}

bool PlanCommandBuilder::BuildCommand() {
  std::string out;
  auto line = [&out](std::string_view text) {
    out += text;
    out += kCrLf;
  };
  switch (page) {
    case PlanPage::kInsert:
      line("  insert at " + insert_location.text + " using " + Quoted(formation[0].text) + ";");
      out += kReady;
      break;
    case PlanPage::kPatrol: {
      std::string names;
      bool any = false;
      for (std::size_t i = 0; i < patrol_list.entries.size() && i < patrol_list.selected.size(); ++i) {
        if (!patrol_list.selected[i]) continue;
        if (any) names += ", ";
        names += patrol_list.entries[i];
        any = true;
      }
      line(any ? "  patrol (" + names + ");" : std::string("  patrol;"));
      break;
    }
    case PlanPage::kSnipe:
      line("  snipe from " + snipe_from.text + " towards " + Snipe_to.text + ";");
      break;
    case PlanPage::kAttack:
      line("  attack towards " + attack_location.text + ";");
      out += kReady;
      break;
    case PlanPage::kDefend:
      line("  defend towards " + defend_location.text + " from " + defend_pullback.text + ";");
      out += kReady;
      break;
    case PlanPage::kAdvance:
      line("  advance towards " + advance_to.text + " using " + Quoted(formation[1].text) + ";");
      out += kReady;
      break;
    case PlanPage::kPullback:
      line("  pullback to " + pullback_to.text + " using " + Quoted(formation[2].text) + ";");
      out += kReady;
      break;
    case PlanPage::kMoveup:
      line("  moveup to " + moveup_to.text + " using " + Quoted(formation[3].text) + ";");
      out += kReady;
      break;
    case PlanPage::kSpread:
      line("  spread towards " + spread_to.text + " within " + spread_within + ";");
      out += kReady;
      break;
    case PlanPage::kAssemble:
      line("  assemble at " + assemble_at.text + " using " + Quoted(formation[4].text) + ";");
      out += kReady;
      break;
    case PlanPage::kRadio:
      line("  radio " + Quoted(radio_message) + ";");
      break;
    case PlanPage::kSignalCode:
      line("  signal code " + Quoted(code_color.text) + ";");
      break;
    case PlanPage::kWait:
      switch (wait_type.SelectedIndex()) {
        case 0:
          line("  wait " + txt_timedelay + ";");
          break;
        case 1:
          out += kReady;
          break;
        case 2:
          line("  wait forever;");
          break;
        case 3:
          line("  wait until code(" + Quoted(wait_color.text) + ");");
          break;
        default:
          return false;  // no wait type selected: nothing is built
      }
      break;
    case PlanPage::kOn: {
      // A colour is a code event, which the script language writes as: code "Red".
      const std::string trigger =
          oncodecolor.text == "contact" ? oncodecolor.text : "code " + Quoted(oncodecolor.text);
      line("  on(" + trigger + ")");
      line("  {");
      line("");
      line("  };");
      break;
    }
    case PlanPage::kAbort:
      line("  abort;");
      break;
    case PlanPage::kPhase:
      line("  phase " + Quoted(phasename) + ";");
      break;
    case PlanPage::kContinue:
      line("  continue with phase " + Quoted(contname) + ";");
      break;
  }
  CommandText = std::move(out);
  return true;
}

PlanEdit PlanCommandBuilder::InsertInto(const std::string& text, std::size_t caret) {
  BuildCommand();
  return InsertAtCaret(text, caret, CommandText);
}

WaitPageEnabling PlanCommandBuilder::WaitEnabling() const {
  WaitPageEnabling e;
  const int type = wait_type.SelectedIndex();
  const bool delay = type == 0;
  const bool code = type == 3;
  e.time_delay = e.Label23 = e.txt_timedelay = delay;
  e.wait_code = e.wait_color = code;
  return e;
}

}  // namespace vyr::editor
