#include "editor/document/find_records.h"

#include <algorithm>

namespace vyr::editor {

namespace {

bool HoldsIgnoringCase(std::string_view name, std::string_view text) {
  const auto same = [](char a, char b) {
    return FoldLetterCase(static_cast<unsigned char>(a)) == FoldLetterCase(static_cast<unsigned char>(b));
  };
  return std::search(name.begin(), name.end(), text.begin(), text.end(), same) != name.end();
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<RecordMatch> FindRecords(const MissionDocument& document, std::string_view text,
                                     std::size_t limit) {
  std::vector<RecordMatch> matches;
  text = TrimBlanks(text);
  if (text.empty()) return matches;
  const ProjectTree& tree = document.tree();
  const auto take = [&](std::string_view name, NodeId node, const char* kind, std::string path) {
    if (matches.size() < limit && HoldsIgnoringCase(name, text))
      matches.push_back({node, kind, std::move(path)});
  };
  for (int i = 0; i < document.location_count(); ++i) {
    const std::string& name = document.location(i).loc_name;
    take(name, tree.LocationNode(i), "Location", name);
  }
  for (int i = 0; i < document.area_count(); ++i) {
    const std::string& name = document.area(i).area_name;
    take(name, tree.AreaNode(i), "Area", name);
  }
  for (int f = 0; f < document.force_count(); ++f) {
    const std::string& force = document.force(f).force_name;
    take(force, tree.ForceNode(f), "Force", force);
    for (int t = 0; t < document.team_count(f); ++t) {
      const std::string team = force + " / " + document.team(f, t).team_name;
      take(document.team(f, t).team_name, tree.TeamNode(f, t), "Team", team);
      for (int a = 0; a < document.actor_count(f, t); ++a) {
        const std::string& actor = document.actor(f, t, a).npc_name;
        take(actor, tree.ActorNode(f, t, a), "Actor", team + " / " + actor);
      }
    }
  }
  for (int i = 0; i < document.outcome_count(); ++i) {
    const NodeId node = tree.OutcomeNode(i);
    const std::string label = tree.Contains(node) ? tree.node(node).text : std::string();
    const std::string& message = document.outcome(i).outcome_message;
    if (matches.size() < limit && (HoldsIgnoringCase(label, text) || HoldsIgnoringCase(message, text)))
      matches.push_back({node, "Outcome", message.empty() ? label : label + ": " + message});
  }
  return matches;
}

}  // namespace vyr::editor
