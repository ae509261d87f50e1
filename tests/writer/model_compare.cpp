#include "tests/writer/model_compare.h"

#include <sstream>
#include <string>
#include <vector>

namespace vyr::testing {
namespace {

using parser::ConditionNode;
using parser::InstructionList;
using parser::Text;

// Built by appending: "literal" + std::string temporaries trip a false -Wrestrict in GCC 12.
std::string At(std::string base, const char* name, std::size_t i) {
  base += name;
  base += '[';
  base += std::to_string(i);
  base += ']';
  return base;
}

std::string Shown(Text text) {
  if (text.is_null()) return "<null>";
  std::string shown = "\"";
  shown += text.view();
  shown += '"';
  return shown;
}

// Collects the first difference; every later comparison is skipped.
class Comparer {
 public:
  bool ok() const { return difference_.empty(); }
  const std::string& difference() const { return difference_; }

  void Strings(const std::string& where, Text a, Text b) {
    if (ok() && !SameText(a, b))
      Fail(where, Shown(a), Shown(b));
  }
  template <typename T>
  void Values(const std::string& where, const T& a, const T& b) {
    if (ok() && !(a == b)) {
      std::ostringstream sa, sb;
      sa << a;
      sb << b;
      Fail(where, sa.str(), sb.str());
    }
  }
  bool Sizes(const std::string& where, std::size_t a, std::size_t b) {
    Values(where + " count", a, b);
    return ok();
  }
  void Names(const std::string& where, const std::vector<Text>& a, const std::vector<Text>& b) {
    if (!Sizes(where, a.size(), b.size())) return;
    for (std::size_t i = 0; i < a.size(); ++i)
      Strings(At(where, "", i), a[i], b[i]);
  }

  void Condition(const std::string& where, const ConditionNode* a, const ConditionNode* b) {
    if (!ok()) return;
    if (!a || !b) {
      Values(where + " present", a != nullptr, b != nullptr);
      return;
    }
    Values(where + ".kind", a->kind, b->kind);
    Strings(where + ".name", a->name, b->name);
    Values(where + ".value", a->value, b->value);
    Condition(where + ".first", a->first, b->first);
    Condition(where + ".second", a->second, b->second);
  }

  void Plan(const std::string& where, const InstructionList& a, const InstructionList& b) {
    if (!Sizes(where, a.instructions.size(), b.instructions.size())) return;
    for (std::size_t i = 0; i < a.instructions.size() && ok(); ++i) {
      const auto& x = a.instructions[i];
      const auto& y = b.instructions[i];
      const std::string at = At(where, "", i);
      Values(at + ".kind", static_cast<int>(x.kind), static_cast<int>(y.kind));
      Values(at + ".events", x.events, y.events);
      Values(at + ".value", x.value, y.value);
      Strings(at + ".first", x.first, y.first);
      Strings(at + ".second", x.second, y.second);
      Strings(at + ".third", x.third, y.third);
      Values(at + ".patrol list present", x.patrol_areas != nullptr, y.patrol_areas != nullptr);
      if (ok() && x.patrol_areas) Names(at + ".patrol", *x.patrol_areas, *y.patrol_areas);
      Values(at + ".body present", x.body != nullptr, y.body != nullptr);
      if (ok() && x.body) Plan(at + ".body", *x.body, *y.body);
    }
  }

 private:
  void Fail(const std::string& where, const std::string& a, const std::string& b) {
    difference_ = where + ": " + a + " vs " + b;
  }
  std::string difference_;
};

}  // namespace

::testing::AssertionResult SameModel(const parser::ParsedMission& a, const parser::ParsedMission& b) {
  Comparer c;
  c.Strings("mission name", a.mission_name, b.mission_name);
  c.Strings("author", a.author, b.author);
  c.Strings("description", a.description, b.description);
  c.Strings("map name", a.map_name, b.map_name);
  c.Strings("annotation", a.annotation, b.annotation);
  c.Values("map styles", a.map_styles, b.map_styles);
  if (c.Sizes("rules", a.rules.size(), b.rules.size())) {
    for (std::size_t i = 0; i < a.rules.size(); ++i) {
      c.Values("rule bit", a.rules[i].rule_bit, b.rules[i].rule_bit);
      c.Values("rule value", a.rules[i].value, b.rules[i].value);
    }
  }
  if (c.Sizes("locations", a.locations.size(), b.locations.size())) {
    for (std::size_t i = 0; i < a.locations.size(); ++i) {
      const std::string at = At("", "location", i);
      c.Strings(at + ".name", a.locations[i].name, b.locations[i].name);
      c.Values(at + ".x", a.locations[i].x, b.locations[i].x);
      c.Values(at + ".y", a.locations[i].y, b.locations[i].y);
      c.Values(at + ".z", a.locations[i].z, b.locations[i].z);
    }
  }
  if (c.Sizes("areas", a.areas.size(), b.areas.size())) {
    for (std::size_t i = 0; i < a.areas.size(); ++i) {
      const auto& x = *a.areas[i];
      const auto& y = *b.areas[i];
      const std::string at = At("", "area", i);
      c.Strings(at + ".name", x.name, y.name);
      c.Values(at + ".styles", x.styles, y.styles);
      c.Names(at + ".locations", x.locations, y.locations);
      c.Names(at + ".entrances", x.entrances, y.entrances);
      c.Names(at + ".exits", x.exits, y.exits);
      c.Names(at + ".windows", x.windows, y.windows);
      c.Values(at + ".radius", x.radius, y.radius);
    }
  }
  if (c.Sizes("forces", a.forces.size(), b.forces.size())) {
    for (std::size_t f = 0; f < a.forces.size(); ++f) {
      const auto& fx = *a.forces[f];
      const auto& fy = *b.forces[f];
      const std::string at = At("", "force", f);
      c.Strings(at + ".name", fx.name, fy.name);
      if (!c.Sizes(at + ".teams", fx.teams.size(), fy.teams.size())) break;
      for (std::size_t t = 0; t < fx.teams.size(); ++t) {
        const auto& tx = *fx.teams[t];
        const auto& ty = *fy.teams[t];
        const std::string team = At(at, ".team", t);
        c.Strings(team + ".name", tx.name, ty.name);
        c.Plan(team + ".plan", tx.plan, ty.plan);
        if (!c.Sizes(team + ".members", tx.members.size(), ty.members.size())) break;
        for (std::size_t m = 0; m < tx.members.size(); ++m) {
          const auto& x = *tx.members[m];
          const auto& y = *ty.members[m];
          const std::string member = At(team, ".member", m);
          c.Values(member + ".type", x.type, y.type);
          c.Strings(member + ".name", x.name, y.name);
          c.Strings(member + ".model and skin", x.model_and_skin, y.model_and_skin);
          if (x.type == parser::kActorNpc) c.Values(member + ".skill", x.skill, y.skill);
          c.Names(member + ".weapons", x.weapons, y.weapons);
          c.Names(member + ".items", x.items, y.items);
          if (c.Sizes(member + ".ammunition", x.ammunition.size(), y.ammunition.size())) {
            for (std::size_t i = 0; i < x.ammunition.size(); ++i) {
              c.Strings(member + ".ammo name", x.ammunition[i].name, y.ammunition[i].name);
              c.Values(member + ".ammo count", x.ammunition[i].count, y.ammunition[i].count);
            }
          }
        }
      }
    }
  }
  if (c.Sizes("all teams", a.all_teams.size(), b.all_teams.size()))
    for (std::size_t i = 0; i < a.all_teams.size(); ++i)
      c.Strings(At("", "all teams", i), a.all_teams[i]->name, b.all_teams[i]->name);
  if (c.Sizes("all actors", a.all_actors.size(), b.all_actors.size()))
    for (std::size_t i = 0; i < a.all_actors.size(); ++i)
      c.Strings(At("", "all actors", i), a.all_actors[i]->name, b.all_actors[i]->name);
  if (c.Sizes("objectives", a.objectives.size(), b.objectives.size())) {
    for (std::size_t i = 0; i < a.objectives.size(); ++i) {
      const auto& x = *a.objectives[i];
      const auto& y = *b.objectives[i];
      const std::string at = At("", "objective", i);
      c.Values(at + ".type", x.type, y.type);
      c.Strings(at + ".owner", x.owner, y.owner);
      c.Strings(at + ".message", x.message, y.message);
      c.Condition(at + ".condition", x.condition, y.condition);
      c.Names(at + ".next missions", x.next_missions, y.next_missions);
    }
  }
  if (c.ok()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << c.difference();
}

}  // namespace vyr::testing
