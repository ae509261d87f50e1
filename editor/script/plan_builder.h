// The plan statement builder: the state behind the "Command Wizard" window, which helps the author
// write one plan statement at a time from lists of the mission's own locations and areas.
// The window only binds its controls to the fields below; everything it does lives here.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vyr::editor {

class MissionDocument;

// The pages of the builder's tab control, in tab order.
enum class PlanPage {
  kInsert = 0,
  kPatrol,
  kSnipe,
  kAttack,
  kDefend,
  kAdvance,
  kPullback,
  kMoveup,
  kSpread,
  kAssemble,
  kRadio,
  kSignalCode,
  kWait,
  kOn,
  kAbort,
  kPhase,
  kContinue,
};
inline constexpr int kPlanPageCount = 17;

// Tab captions, indexed by page.
extern const std::array<std::string_view, kPlanPageCount> kPlanPageCaptions;

// One item of the plan menu and the page it opens the builder on.
struct PlanMenuItem {
  std::string_view name;     // e.g. "mn_plan_insert"
  std::string_view caption;  // e.g. "&Insert"
  PlanPage page;
};
extern const std::array<PlanMenuItem, 18> kPlanMenuItems;

// A combo box: its list entries and its current text (selected or typed).
struct ComboChoice {
  std::vector<std::string> entries;
  std::string text;

  // Index of the entry equal to the text, or -1 when the text is no entry (or nothing is selected).
  int SelectedIndex() const;
  // Selects entry `index`; an index outside the list clears the selection.
  void Select(int index);
};

// A list box with several selectable entries.
struct MultiChoice {
  std::vector<std::string> entries;
  std::vector<bool> selected;  // same length as entries

  void SetSelected(std::size_t index, bool on);
};

// Which controls of the wait page are enabled for the current wait type.
struct WaitPageEnabling {
  bool time_delay = false;  // frame
  bool Label23 = false;
  bool txt_timedelay = false;
  bool wait_code = false;  // frame
  bool wait_color = false;
};

// A plan text and its caret, as the team window's plan box holds them.
struct PlanEdit {
  std::string text;
  std::size_t caret = 0;
};

// Puts `statement` into `text` at `caret` (clamped to the text) and places the caret right behind it.
PlanEdit InsertAtCaret(const std::string& text, std::size_t caret, const std::string& statement);

class PlanCommandBuilder {
 public:
  // Fills every list as the window does when it loads: locations and areas in record order,
  // the first location selected in each location list, no area selected.
  PlanCommandBuilder(std::vector<std::string> location_names, std::vector<std::string> area_names);

  // The lists from the document as it is at this moment.
  static PlanCommandBuilder FromDocument(const MissionDocument& document);

  // Builds the statement of the current page into CommandText. A build that produces nothing
  // (the wait page with no wait type selected) leaves CommandText as it was; returns whether it built.
  bool BuildCommand();

  // Builds, then inserts CommandText into a plan text at its caret.
  PlanEdit InsertInto(const std::string& text, std::size_t caret);

  WaitPageEnabling WaitEnabling() const;

  PlanPage page = PlanPage::kInsert;  // the page showing (SSTab1)
  std::string CommandText;

  // Controls, named as the window names them.
  ComboChoice insert_location;
  std::array<ComboChoice, 5> formation;
  MultiChoice patrol_list;
  ComboChoice snipe_from;
  ComboChoice Snipe_to;
  ComboChoice attack_location;
  ComboChoice defend_location;
  ComboChoice defend_pullback;
  ComboChoice advance_to;
  ComboChoice pullback_to;
  ComboChoice moveup_to;
  ComboChoice spread_to;
  std::string spread_within;
  ComboChoice assemble_at;
  std::string radio_message;
  ComboChoice code_color;
  ComboChoice wait_type;
  std::string txt_timedelay = "2";
  ComboChoice wait_color;
  ComboChoice oncodecolor;
  std::string phasename;
  std::string contname;
};

}  // namespace vyr::editor
