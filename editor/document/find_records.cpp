#include "editor/document/find_records.h"

#include <array>

namespace vyr::editor {

namespace {

// Each byte folds to one or two bytes; the second is 0 when there is one.
using FoldTable = std::array<std::array<char, 2>, 256>;

constexpr FoldTable MakeFoldTable() {
  FoldTable table{};
  for (int c = 0; c < 256; ++c)
    table[static_cast<std::size_t>(c)] = {static_cast<char>(c), 0};
  const auto set = [&table](int c, char a, char b = 0) { table[static_cast<std::size_t>(c)] = {a, b}; };
  for (int c = 'A'; c <= 'Z'; ++c)
    set(c, static_cast<char>(c + 32));
  // Upper and lower case share the same layout 0x20 apart from 0xC0 on; 0xD7 and 0xF7 are signs.
  for (int base : {0xC0, 0xE0}) {
    for (int c = 0; c <= 5; ++c)
      set(base + c, 'a');
    set(base + 0x06, 'a', 'e');
    set(base + 0x07, 'c');
    for (int c = 0x08; c <= 0x0B; ++c)
      set(base + c, 'e');
    for (int c = 0x0C; c <= 0x0F; ++c)
      set(base + c, 'i');
    set(base + 0x10, 'd');
    set(base + 0x11, 'n');
    for (int c = 0x12; c <= 0x16; ++c)
      set(base + c, 'o');
    set(base + 0x18, 'o');
    for (int c = 0x19; c <= 0x1C; ++c)
      set(base + c, 'u');
    set(base + 0x1D, 'y');
    set(base + 0x1E, 't', 'h');
  }
  set(0xDF, 's', 's');
  set(0xFF, 'y');
  set(0x83, 'f');  // f with hook
  set(0x8A, 's');  // S and s caron
  set(0x9A, 's');
  set(0x8C, 'o', 'e');
  set(0x9C, 'o', 'e');
  set(0x8E, 'z');  // Z and z caron
  set(0x9E, 'z');
  set(0x9F, 'y');  // Y diaeresis
  return table;
}

constexpr FoldTable kFold = MakeFoldTable();

void FoldInto(std::string_view text, std::string& out) {
  out.clear();
  for (const char c : text) {
    const auto& folded = kFold[static_cast<unsigned char>(c)];
    out += folded[0];
    if (folded[1] != 0) out += folded[1];
  }
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

// The searched text, folded once; `scratch` holds each field folded in turn, so a search allocates
// only while the longest field grows it.
class Matcher {
 public:
  explicit Matcher(std::string_view text) : wanted_(FoldForSearch(text)) {}

  bool Holds(std::string_view field) {
    if (field.size() * 2 < wanted_.size()) return false;
    FoldInto(field, scratch_);
    return scratch_.find(wanted_) != std::string::npos;
  }

  // The 1-based lines of `text` that hold the text, each once.
  template <typename Take>
  void EachLine(std::string_view text, Take take) {
    FoldInto(text, scratch_);
    std::size_t from = 0;
    int line = 1;
    std::size_t counted = 0;  // line breaks before this offset are in `line`
    int last = 0;
    for (std::size_t at; (at = scratch_.find(wanted_, from)) != std::string::npos; from = at + 1) {
      for (; counted < at; ++counted)
        if (scratch_[counted] == '\n') ++line;
      if (line != last) take(line);
      last = line;
    }
  }

 private:
  std::string wanted_;
  std::string scratch_;
};

// The text with comments and string literals blanked out (line breaks kept), so that a name is looked
// for only where the script could name a place.
std::string ScriptWordsOnly(std::string_view text) {
  std::string out(text);
  std::size_t i = 0;
  const auto blank = [&out](std::size_t at) {
    if (out[at] != '\n' && out[at] != '\r') out[at] = ' ';
  };
  while (i < out.size()) {
    if (out[i] == '"') {
      blank(i++);
      while (i < out.size() && out[i] != '"')
        blank(i++);
      if (i < out.size()) blank(i++);
    } else if (out[i] == '/' && i + 1 < out.size() && out[i + 1] == '/') {
      while (i < out.size() && out[i] != '\n')
        blank(i++);
    } else if (out[i] == '/' && i + 1 < out.size() && out[i + 1] == '*') {
      blank(i++);
      blank(i++);
      while (i < out.size() && !(out[i] == '*' && i + 1 < out.size() && out[i + 1] == '/'))
        blank(i++);
      for (int k = 0; k < 2 && i < out.size(); ++k)
        blank(i++);
    } else {
      ++i;
    }
  }
  return out;
}

bool IsWordByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' || u == '.' ||
         u >= 0x80;
}

// The 1-based lines of `text` where `name` stands as a whole word outside comments and strings.
std::vector<int> LinesNaming(std::string_view text, std::string_view name) {
  std::vector<int> lines;
  if (name.empty() || text.find(name) == std::string_view::npos) return lines;
  const std::string words = ScriptWordsOnly(text);
  int line = 1;
  std::size_t counted = 0;
  for (std::size_t at = words.find(name); at != std::string::npos; at = words.find(name, at + 1)) {
    const std::size_t end = at + name.size();
    if ((at > 0 && IsWordByte(words[at - 1])) || (end < words.size() && IsWordByte(words[end]))) continue;
    for (; counted < at; ++counted)
      if (words[counted] == '\n') ++line;
    if (lines.empty() || lines.back() != line) lines.push_back(line);
  }
  return lines;
}

bool ListNames(std::string_view list, std::string_view name) {
  while (!list.empty()) {
    const std::size_t end = list.find('?');
    if (list.substr(0, end) == name) return true;
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return false;
}

std::string_view LineOf(std::string_view text, int line) {
  for (int i = 1; i < line; ++i) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return {};
    text.remove_prefix(end + 1);
  }
  text = text.substr(0, text.find('\n'));
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return TrimBlanks(text);
}

std::string OutcomeLabel(const MissionDocument& document, int index) {
  const NodeId node = document.tree().OutcomeNode(index);
  return document.tree().Contains(node) ? document.tree().node(node).text : std::string();
}

}  // namespace

std::string FoldForSearch(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  FoldInto(text, out);
  return out;
}

std::vector<RecordMatch> FindRecords(const MissionDocument& document, std::string_view text, KindMask kinds) {
  std::vector<RecordMatch> matches;
  text = TrimBlanks(text);
  if (text.empty()) return matches;
  Matcher matcher(text);
  const ProjectTree& tree = document.tree();
  const auto look = [&](NodeId node, const RecordRef& record, Field field, std::string_view value) {
    if (matcher.Holds(value)) matches.push_back({node, record, field, 0});
  };
  const auto wanted = [kinds](RecordKind kind) { return (kinds & KindBit(kind)) != 0; };

  if (wanted(RecordKind::kLocation)) {
    for (int i = 0; i < document.location_count(); ++i) {
      const LocationRecord& location = document.location(i);
      const NodeId node = tree.LocationNode(i);
      look(node, RecordRef::Location(i), Field::kLocName, location.loc_name);
      look(node, RecordRef::Location(i), Field::kLocDesc, location.loc_desc);
    }
  }
  if (wanted(RecordKind::kArea)) {
    for (int i = 0; i < document.area_count(); ++i) {
      const AreaRecord& area = document.area(i);
      const NodeId node = tree.AreaNode(i);
      look(node, RecordRef::Area(i), Field::kAreaName, area.area_name);
      look(node, RecordRef::Area(i), Field::kAreaDesc, area.area_desc);
    }
  }
  const bool teams = wanted(RecordKind::kTeam);
  const bool actors = wanted(RecordKind::kActor);
  for (int f = 0; f < document.force_count(); ++f) {
    if (wanted(RecordKind::kForce)) {
      const ForceRecord& force = document.force(f);
      look(tree.ForceNode(f), RecordRef::Force(f), Field::kForceName, force.force_name);
      look(tree.ForceNode(f), RecordRef::Force(f), Field::kForceDesc, force.force_desc);
    }
    if (!teams && !actors) continue;
    for (int t = 0; t < document.team_count(f); ++t) {
      const TeamRecord& team = document.team(f, t);
      if (teams) {
        const NodeId node = tree.TeamNode(f, t);
        look(node, RecordRef::Team(f, t), Field::kTeamName, team.team_name);
        look(node, RecordRef::Team(f, t), Field::kTeamDesc, team.team_desc);
        matcher.EachLine(team.plan, [&](int line) {
          matches.push_back({node, RecordRef::Team(f, t), Field::kPlan, line});
        });
      }
      if (!actors) continue;
      for (int a = 0; a < document.actor_count(f, t); ++a)
        look(tree.ActorNode(f, t, a), RecordRef::Actor(f, t, a), Field::kNpcName,
             document.actor(f, t, a).npc_name);
    }
  }
  if (wanted(RecordKind::kOutcome)) {
    for (int i = 0; i < document.outcome_count(); ++i) {
      const OutcomeRecord& outcome = document.outcome(i);
      const NodeId node = tree.OutcomeNode(i);
      look(node, RecordRef::Outcome(i), Field::kOutcomeType, OutcomeLabel(document, i));
      look(node, RecordRef::Outcome(i), Field::kOutcomeMessage, outcome.outcome_message);
      look(node, RecordRef::Outcome(i), Field::kOutcomeReason, outcome.outcome_reason);
    }
  }
  return matches;
}

std::vector<RecordMatch> FindUsages(const MissionDocument& document, NodeId node) {
  std::vector<RecordMatch> usages;
  const ProjectTree& tree = document.tree();
  const NodeAddress address = tree.AddressOf(node);
  std::string name;
  if (address.image == NodeImage::kSubLocation && address.index >= 0 &&
      address.index < document.location_count()) {
    name = document.location(address.index).loc_name;
    for (int i = 0; i < document.area_count(); ++i) {
      if (ListNames(document.area(i).area_locations, name))
        usages.push_back({tree.AreaNode(i), RecordRef::Area(i), Field::kAreaLocations, 0});
    }
  } else if (address.image == NodeImage::kSubArea && address.index >= 0 &&
             address.index < document.area_count()) {
    name = document.area(address.index).area_name;
  } else {
    return usages;
  }
  for (int f = 0; f < document.force_count(); ++f) {
    for (int t = 0; t < document.team_count(f); ++t) {
      for (const int line : LinesNaming(document.team(f, t).plan, name))
        usages.push_back({tree.TeamNode(f, t), RecordRef::Team(f, t), Field::kPlan, line});
    }
  }
  for (int i = 0; i < document.outcome_count(); ++i) {
    if (!LinesNaming(document.outcome(i).outcome_reason, name).empty())
      usages.push_back({tree.OutcomeNode(i), RecordRef::Outcome(i), Field::kOutcomeReason, 0});
  }
  return usages;
}

std::string_view KindName(RecordKind kind) {
  switch (kind) {
    case RecordKind::kMission:
      return "Mission";
    case RecordKind::kLocation:
      return "Location";
    case RecordKind::kArea:
      return "Area";
    case RecordKind::kForce:
      return "Force";
    case RecordKind::kTeam:
      return "Team";
    case RecordKind::kActor:
      return "Actor";
    case RecordKind::kOutcome:
      break;
  }
  return "Outcome";
}

std::string MatchPath(const MissionDocument& document, const RecordMatch& match) {
  const RecordRef& r = match.record;
  const auto valid = [](int index, int count) { return index >= 0 && index < count; };
  switch (r.kind) {
    case RecordKind::kLocation:
      return valid(r.index, document.location_count()) ? document.location(r.index).loc_name : std::string();
    case RecordKind::kArea:
      return valid(r.index, document.area_count()) ? document.area(r.index).area_name : std::string();
    case RecordKind::kForce:
    case RecordKind::kTeam:
    case RecordKind::kActor: {
      if (!valid(r.force, document.force_count())) return {};
      std::string path = document.force(r.force).force_name;
      if (r.kind == RecordKind::kForce || !valid(r.team, document.team_count(r.force))) return path;
      path += " / " + document.team(r.force, r.team).team_name;
      if (r.kind == RecordKind::kActor && valid(r.index, document.actor_count(r.force, r.team)))
        path += " / " + document.actor(r.force, r.team, r.index).npc_name;
      return path;
    }
    case RecordKind::kOutcome: {
      if (!valid(r.index, document.outcome_count())) return {};
      const std::string label = OutcomeLabel(document, r.index);
      const std::string& message = document.outcome(r.index).outcome_message;
      return message.empty() ? label : label + ": " + message;
    }
    case RecordKind::kMission:
      break;
  }
  return {};
}

std::string MatchPlace(const MissionDocument& document, const RecordMatch& match) {
  const RecordRef& r = match.record;
  switch (match.field) {
    case Field::kOutcomeReason: {
      if (r.index < 0 || r.index >= document.outcome_count()) return "Trigger";
      return "Trigger: " + std::string(LineOf(document.outcome(r.index).outcome_reason, 1));
    }
    case Field::kPlan: {
      std::string place = "Plan line " + std::to_string(match.line);
      if (r.force >= 0 && r.force < document.force_count() && r.team >= 0 &&
          r.team < document.team_count(r.force))
        place += ": " + std::string(LineOf(document.team(r.force, r.team).plan, match.line));
      return place;
    }
    default:
      break;
  }
  return std::string(InfoOf(match.field).caption);
}

}  // namespace vyr::editor
