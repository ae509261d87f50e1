#include "vyrparser/core/script_parser.h"

#include <vector>

namespace vyr::parser {

// ---------------------------------------------------------------- forces

// force_list: force_decl ";" | force_decl ";" force_list
void ScriptParser::ForceList() {
  const Rule rule(*this);
  do {
    ForceDecl();
    Expect(Tok::kSemicolon);
  } while (PeekKind() == Tok::kForce);
  rule.Reduce();
}

// force_decl: "force" STRING "{" team_list "}"
void ScriptParser::ForceDecl() {
  const Rule rule(*this);
  Expect(Tok::kForce);
  m_.AddForce(Expect(Tok::kString).text);
  Expect(Tok::kLBrace);
  TeamList();
  Expect(Tok::kRBrace);
  rule.Reduce();
}

// team_list: team_decl ";" | team_decl ";" team_list
void ScriptParser::TeamList() {
  const Rule rule(*this);
  do {
    TeamDecl();
    Expect(Tok::kSemicolon);
  } while (PeekKind() == Tok::kTeam);
  rule.Reduce();
}

// team_decl: "team" STRING "{" member_list "}"
// member_list: empty | member_decl | member_decl ";" member_list
void ScriptParser::TeamDecl() {
  const Rule rule(*this);
  Expect(Tok::kTeam);
  m_.AddTeam(Expect(Tok::kString).text);
  Expect(Tok::kLBrace);
  OptionalList([](Tok k) { return k == Tok::kNpc || k == Tok::kPlayer; }, [this] { MemberDecl(); });
  Expect(Tok::kRBrace);
  rule.Reduce();
}

// member_decl: "npc" STRING STRING "{" equipment_list skill_clause "}"
//            | "player" STRING STRING "{" equipment_list optional_skill "}"
// equipment_list: empty | equipment | equipment ";" equipment_list
// optional_skill: empty | skill_clause
void ScriptParser::MemberDecl() {
  const Rule rule(*this);
  const bool npc = PeekKind() == Tok::kNpc;
  Take();
  const std::string_view name = Expect(Tok::kString).text;
  const std::string_view model_and_skin = Expect(Tok::kString).text;
  m_.AddActor(npc ? kActorNpc : kActorPlayer, name, model_and_skin);
  Expect(Tok::kLBrace);
  OptionalList([](Tok k) { return k == Tok::kWeapon || k == Tok::kAmmo || k == Tok::kItem; },
               [this] { Equipment(); });
  if (npc) {
    SkillClause();
  } else if (PeekKind() == Tok::kSkill) {
    const Rule skill(*this);
    SkillClause();
    skill.Reduce();
  } else {
    Push();
  }
  Expect(Tok::kRBrace);
  rule.Reduce();
}

// equipment: "weapon" STRING | "ammo" STRING "=" INT | "item" STRING
void ScriptParser::Equipment() {
  const Rule rule(*this);
  switch (Take().kind) {
    case Tok::kWeapon:
      m_.AddWeapon(Expect(Tok::kString).text);
      break;
    case Tok::kItem:
      m_.AddItem(Expect(Tok::kString).text);
      break;
    default: {
      const std::string_view name = Expect(Tok::kString).text;
      Expect(Tok::kEquals);
      m_.AddAmmunition(name, Expect(Tok::kInt).int_value);
      break;
    }
  }
  rule.Reduce();
}

// skill_clause: "skill" "=" number | "skill" "=" number ";"
void ScriptParser::SkillClause() {
  const Rule rule(*this);
  Expect(Tok::kSkill);
  Expect(Tok::kEquals);
  float value = 0;
  Number(value);
  if (PeekKind() == Tok::kSemicolon) Take();
  m_.SetSkill(value);
  rule.Reduce();
}

// number: FLOAT | INT
void ScriptParser::Number(float& value) {
  const Rule rule(*this);
  if (PeekKind() == Tok::kFloat) {
    value = Take().float_value;
  } else {
    value = Expect(Tok::kInt).int_value;
  }
  rule.Reduce();
}

// ---------------------------------------------------------------- objectives

// objectives_section: "objectives" "{" objective_list "}" ";"
// objective_list: empty | objective | objective ";" objective_list
void ScriptParser::ObjectivesSection() {
  const Rule rule(*this);
  Expect(Tok::kObjectives);
  Expect(Tok::kLBrace);
  OptionalList([](Tok k) { return k == Tok::kSuccess || k == Tok::kFailure; }, [this] { Objective(); });
  Expect(Tok::kRBrace);
  Expect(Tok::kSemicolon);
  rule.Reduce();
}

// objective: "success" "(" STRING "," STRING ")" "=" condition "->" next_mission_block
//          | "failure" "(" STRING "," STRING ")" "=" condition "->" next_mission_block
void ScriptParser::Objective() {
  const Rule rule(*this);
  const std::uint32_t type = Take().kind == Tok::kSuccess ? kObjectiveSuccess : kObjectiveFailure;
  Expect(Tok::kLParen);
  const std::string_view owner = Expect(Tok::kString).text;
  Expect(Tok::kComma);
  const std::string_view message = Expect(Tok::kString).text;
  Expect(Tok::kRParen);
  if (!m_.HasTeam(owner) && !m_.HasForce(owner)) Fail("use of undeclared team or force");
  m_.AddObjective(type, owner, message);
  Expect(Tok::kEquals);
  in_condition_ = true;
  Condition();
  in_condition_ = false;
  Expect(Tok::kArrow);
  NextMissionBlock();
  rule.Reduce();
}

// condition: simple_condition
//          | "(" condition logic_operator condition ")"
//          | "!" "(" condition ")"
// logic_operator: "||" | "&&"
// Nesting is unlimited, so the pending compounds live on a stack of our own, not the native one.
void ScriptParser::Condition() {
  enum class Awaiting { kOperator, kClose, kNotClose };
  struct Compound {
    Awaiting awaiting;
    Rule rule;
  };
  std::vector<Compound> open;
  for (;;) {
    const Rule rule(*this);
    if (PeekKind() == Tok::kLParen) {
      m_.OpenCompound();
      Take();
      open.push_back({Awaiting::kOperator, rule});
      continue;
    }
    if (PeekKind() == Tok::kBang) {
      m_.OpenCompound();
      Take();
      Expect(Tok::kLParen);
      open.push_back({Awaiting::kNotClose, rule});
      continue;
    }
    SimpleCondition();
    rule.Reduce();
    // A condition is complete: close the compounds it completes, up to one that awaits its operator.
    for (;;) {
      if (open.empty()) return;
      Compound& compound = open.back();
      if (compound.awaiting == Awaiting::kOperator) {
        const Tok op = PeekKind();
        if (op != Tok::kOrOr && op != Tok::kAndAnd) SyntaxError();
        const Rule logic_operator(*this);
        Take();
        m_.SetOperator(op == Tok::kAndAnd ? kConditionAnd : kConditionOr);
        logic_operator.Reduce();
        compound.awaiting = Awaiting::kClose;
        break;  // read the second operand
      }
      Expect(Tok::kRParen);
      if (compound.awaiting == Awaiting::kNotClose) m_.SetOperator(kConditionNot);
      m_.CloseCompound();
      compound.rule.Reduce();
      open.pop_back();
    }
  }
}

// simple_condition: "eliminated" "(" STRING ")" | "occupied" "(" IDENT ")"
//                 | "alive" "(" STRING ")" | "timeout" "(" INT ")"
void ScriptParser::SimpleCondition() {
  const Rule rule(*this);
  const Tok kind = PeekKind();
  switch (kind) {
    case Tok::kEliminated:
    case Tok::kAlive: {
      Take();
      Expect(Tok::kLParen);
      const std::string_view name = Expect(Tok::kString).text;
      Expect(Tok::kRParen);
      // The check belongs to the whole term, as the objective owner's does: it runs at the ")".
      const Text member = m_.DeclaredMember(name);
      if (!member) Fail("use of undeclared member, team or force");
      m_.AddConditionLeaf(kind == Tok::kEliminated ? kConditionEliminated : kConditionAlive, member);
      break;
    }
    case Tok::kOccupied: {
      Take();
      Expect(Tok::kLParen);
      const std::string_view area = Expect(Tok::kIdent).text;
      Expect(Tok::kRParen);
      m_.AddConditionLeaf(kConditionOccupied, area);
      break;
    }
    case Tok::kTimeout: {
      Take();
      Expect(Tok::kLParen);
      const std::int16_t seconds = Expect(Tok::kInt).int_value;
      Expect(Tok::kRParen);
      m_.AddTimeoutLeaf(seconds);
      break;
    }
    default:
      SyntaxError();
  }
  rule.Reduce();
}

// next_mission_block: "{" next_mission_list "}"
// next_mission_list: STRING | STRING "," next_mission_list
void ScriptParser::NextMissionBlock() {
  const Rule rule(*this);
  Expect(Tok::kLBrace);
  const Rule list(*this);
  for (;;) {
    m_.AddNextMission(Expect(Tok::kString).text);
    if (PeekKind() != Tok::kComma) break;
    Take();
  }
  list.Reduce();
  Expect(Tok::kRBrace);
  rule.Reduce();
}

}  // namespace vyr::parser
