#include "vyrparser/core/script_parser.h"

#include <vector>

namespace vyr::parser {

// ---------------------------------------------------------------- forces

// force_list: force_decl ";" | force_decl ";" force_list
void ScriptParser::ForceList() {
  const int base = depth_;
  do {
    ForceDecl();
    Expect(Tok::kSemicolon);
  } while (PeekKind() == Tok::kForce);
  ReduceTo(base);
}

// force_decl: "force" STRING "{" team_list "}"
void ScriptParser::ForceDecl() {
  const int base = depth_;
  Expect(Tok::kForce);
  m_.AddForce(Expect(Tok::kString).text);
  Expect(Tok::kLBrace);
  TeamList();
  Expect(Tok::kRBrace);
  ReduceTo(base);
}

// team_list: team_decl ";" | team_decl ";" team_list
void ScriptParser::TeamList() {
  const int base = depth_;
  do {
    TeamDecl();
    Expect(Tok::kSemicolon);
  } while (PeekKind() == Tok::kTeam);
  ReduceTo(base);
}

// team_decl: "team" STRING "{" member_list "}"
// member_list: empty | member_decl | member_decl ";" member_list
void ScriptParser::TeamDecl() {
  const int base = depth_;
  Expect(Tok::kTeam);
  m_.AddTeam(Expect(Tok::kString).text);
  Expect(Tok::kLBrace);
  OptionalList([](Tok k) { return k == Tok::kNpc || k == Tok::kPlayer; }, [this] { MemberDecl(); });
  Expect(Tok::kRBrace);
  ReduceTo(base);
}

// member_decl: "npc" STRING STRING "{" equipment_list skill_clause "}"
//            | "player" STRING STRING "{" equipment_list optional_skill "}"
// equipment_list: empty | equipment | equipment ";" equipment_list
// optional_skill: empty | skill_clause
void ScriptParser::MemberDecl() {
  const int base = depth_;
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
    const int skill_base = depth_;
    SkillClause();
    ReduceTo(skill_base);
  } else {
    Push();
  }
  Expect(Tok::kRBrace);
  ReduceTo(base);
}

// equipment: "weapon" STRING | "ammo" STRING "=" INT | "item" STRING
void ScriptParser::Equipment() {
  const int base = depth_;
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
  ReduceTo(base);
}

// skill_clause: "skill" "=" number | "skill" "=" number ";"
void ScriptParser::SkillClause() {
  const int base = depth_;
  Expect(Tok::kSkill);
  Expect(Tok::kEquals);
  float value = 0;
  Number(value);
  if (PeekKind() == Tok::kSemicolon) Take();
  m_.SetSkill(value);
  ReduceTo(base);
}

// number: FLOAT | INT
void ScriptParser::Number(float& value) {
  const int base = depth_;
  if (PeekKind() == Tok::kFloat) {
    value = Take().float_value;
  } else {
    value = Expect(Tok::kInt).int_value;
  }
  ReduceTo(base);
}

// ---------------------------------------------------------------- objectives

// objectives_section: "objectives" "{" objective_list "}" ";"
// objective_list: empty | objective | objective ";" objective_list
void ScriptParser::ObjectivesSection() {
  const int base = depth_;
  Expect(Tok::kObjectives);
  Expect(Tok::kLBrace);
  OptionalList([](Tok k) { return k == Tok::kSuccess || k == Tok::kFailure; }, [this] { Objective(); });
  Expect(Tok::kRBrace);
  Expect(Tok::kSemicolon);
  ReduceTo(base);
}

// objective: "success" "(" STRING "," STRING ")" "=" condition "->" next_mission_block
//          | "failure" "(" STRING "," STRING ")" "=" condition "->" next_mission_block
void ScriptParser::Objective() {
  const int base = depth_;
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
  ReduceTo(base);
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
    int base;
  };
  std::vector<Compound> open;
  for (;;) {
    const int base = depth_;
    if (PeekKind() == Tok::kLParen) {
      m_.OpenCompound();
      Take();
      open.push_back({Awaiting::kOperator, base});
      continue;
    }
    if (PeekKind() == Tok::kBang) {
      m_.OpenCompound();
      Take();
      Expect(Tok::kLParen);
      open.push_back({Awaiting::kNotClose, base});
      continue;
    }
    SimpleCondition();
    ReduceTo(base);
    // A condition is complete: close the compounds it completes, up to one that awaits its operator.
    for (;;) {
      if (open.empty()) return;
      Compound& compound = open.back();
      if (compound.awaiting == Awaiting::kOperator) {
        const Tok op = PeekKind();
        if (op != Tok::kOrOr && op != Tok::kAndAnd) SyntaxError();
        const int op_base = depth_;
        Take();
        m_.SetOperator(op == Tok::kAndAnd ? kConditionAnd : kConditionOr);
        ReduceTo(op_base);
        compound.awaiting = Awaiting::kClose;
        break;  // read the second operand
      }
      Expect(Tok::kRParen);
      if (compound.awaiting == Awaiting::kNotClose) m_.SetOperator(kConditionNot);
      m_.CloseCompound();
      ReduceTo(compound.base);
      open.pop_back();
    }
  }
}

// simple_condition: "eliminated" "(" STRING ")" | "occupied" "(" IDENT ")"
//                 | "alive" "(" STRING ")" | "timeout" "(" INT ")"
void ScriptParser::SimpleCondition() {
  const int base = depth_;
  const Tok kind = PeekKind();
  switch (kind) {
    case Tok::kEliminated:
    case Tok::kAlive: {
      Take();
      Expect(Tok::kLParen);
      const std::string_view name = Expect(Tok::kString).text;
      Expect(Tok::kRParen);
      // The check belongs to the whole term, as the objective owner's does: it runs at the ")".
      if (!m_.HasTeam(name) && !m_.HasActor(name) && !m_.HasForce(name)) {
        Fail("use of undeclared member, team or force");
      }
      m_.AddConditionLeaf(kind == Tok::kEliminated ? kConditionEliminated : kConditionAlive, name);
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
  ReduceTo(base);
}

// next_mission_block: "{" next_mission_list "}"
// next_mission_list: STRING | STRING "," next_mission_list
void ScriptParser::NextMissionBlock() {
  const int base = depth_;
  Expect(Tok::kLBrace);
  const int list_base = depth_;
  for (;;) {
    m_.AddNextMission(Expect(Tok::kString).text);
    if (PeekKind() != Tok::kComma) break;
    Take();
  }
  ReduceTo(list_base);
  Expect(Tok::kRBrace);
  ReduceTo(base);
}

}  // namespace vyr::parser
