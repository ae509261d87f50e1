#include "vyrparser/core/parser.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "vyrparser/core/scanner.h"

namespace vyr::parser {

namespace {

// The table-driven parser this one stands in for holds one stack entry per grammar symbol of the
// prefix it has recognised, plus one; its stack grows from 200 entries by doubling and gives up when
// it would need 10000. Counting the same entries makes the same scripts fail the same way.
constexpr int kMaxStackDepth = 10000;

// Thrown inside the parser once the message is written; never leaves this file.
struct ParseStop {};

class Parser {
 public:
  Parser(std::string_view input, ParsedMission& mission, std::ostream& errors)
      : scanner_(input), m_(mission), errors_(errors) {}

  bool Run();

 private:
  // ---- tokens and the stack count
  const Token& Peek();
  Tok PeekKind() { return Peek().kind; }
  Token Take();
  Token Expect(Tok kind);
  void Push();
  void ReduceTo(int base);
  [[noreturn]] void Fail(const char* cause);
  [[noreturn]] void SyntaxError() { Fail("parse error"); }

  template <class IsStart, class Element>
  void OptionalList(IsStart is_start, Element element);

  // ---- grammar rules
  void MissionScript();
  void AuthorClause();
  void DescriptionClause();
  void RulesSection();
  void RespawnRule();
  void MapSection();
  void MapStyleClause();
  void MapStyle();
  void AnnotationClause();
  void LocationDecl();
  void AreaDecl();
  void AreaStyleClause();
  void LocationRefList(AreaList list);
  void ListClause(Tok keyword, AreaList list, bool with_semicolon);
  void RadiusClause();
  void ForceList();
  void ForceDecl();
  void TeamList();
  void TeamDecl();
  void MemberDecl();
  void Equipment();
  void SkillClause();
  void Number(float& value);
  void ObjectivesSection();
  void Objective();
  void Condition();
  void SimpleCondition();
  void NextMissionBlock();
  void PlanList();
  void PlanDecl();
  void StatementList();
  void OnHeader();
  void Event();
  void Statement();
  void WaitStatement();
  void PatrolStatement();
  Text LocationName();

  Scanner scanner_;
  Token lookahead_;
  bool has_lookahead_ = false;
  std::string_view last_text_;
  int depth_ = 1;  // the initial state's entry
  ParsedMission& m_;
  std::ostream& errors_;

  // Parse context that lives only for one parse.
  Text plan_owner_;
  std::uint32_t events_ = 0;
  std::string_view event_code_;
  bool in_event_code_ = false;
  bool in_condition_ = false;
};

bool IsStatementStart(Tok k) {
  switch (k) {
    case Tok::kWait:
    case Tok::kAbort:
    case Tok::kAdvance:
    case Tok::kAssemble:
    case Tok::kAttack:
    case Tok::kContinue:
    case Tok::kDefend:
    case Tok::kFreeze:
    case Tok::kInsert:
    case Tok::kJoin:
    case Tok::kMoveup:
    case Tok::kObserve:
    case Tok::kPatrol:
    case Tok::kPhase:
    case Tok::kPullback:
    case Tok::kRadio:
    case Tok::kOn:
    case Tok::kSignal:
    case Tok::kSnipe:
    case Tok::kSpawn:
    case Tok::kSplit:
    case Tok::kSpread:
    case Tok::kTake:
      return true;
    default:
      return false;
  }
}

// ---------------------------------------------------------------- tokens, stack, messages

// Tokens are read only when the grammar needs one to decide, so "near" names the right token.
const Token& Parser::Peek() {
  if (!has_lookahead_) {
    lookahead_ = scanner_.Next();
    last_text_ = lookahead_.text;
    if (lookahead_.kind == Tok::kLexError) {
      // A NUL byte prints as nothing, as a C string would.
      const std::string_view bad =
          lookahead_.text.substr(0, lookahead_.text.find('\0') == std::string_view::npos ? 1 : 0);
      errors_ << "ERROR in syntax found by lex, at line " << scanner_.line() << ", near: \"" << bad
              << "\".\n";
      errors_.flush();
      throw ParseStop{};
    }
    has_lookahead_ = true;
  }
  return lookahead_;
}

// Shifts the lookahead onto the stack.
Token Parser::Take() {
  Peek();
  has_lookahead_ = false;
  Push();
  return lookahead_;
}

Token Parser::Expect(Tok kind) {
  if (PeekKind() != kind) SyntaxError();
  return Take();
}

void Parser::Push() {
  if (++depth_ >= kMaxStackDepth) Fail("parser stack overflow");
}

// A rule whose symbols start at `base` is recognised: they become one entry. For an empty rule that
// is a new entry and may overflow the stack.
void Parser::ReduceTo(int base) {
  depth_ = base;
  Push();
}

void Parser::Fail(const char* cause) {
  const std::string_view near = last_text_.empty() ? std::string_view("<unknown>") : last_text_;
  errors_ << "ERROR in syntax found, at line " << scanner_.line() << "\nnear: '" << near << "'.\nCAUSE "
          << cause << "\n";
  errors_.flush();
  throw ParseStop{};
}

bool Parser::Run() {
  try {
    MissionScript();
    if (PeekKind() != Tok::kEnd) SyntaxError();
    return true;
  } catch (const ParseStop&) {
    // An objective whose condition was being read keeps none.
    if (in_condition_) m_.AbandonCondition();
    return false;
  }
}

// A list of elements separated by ";", which may be empty and may end with ";":
//   list: empty | element | element ";" list
template <class IsStart, class Element>
void Parser::OptionalList(IsStart is_start, Element element) {
  const int base = depth_;
  for (;;) {
    if (!is_start(PeekKind())) {
      Push();  // the empty tail
      break;
    }
    element();
    if (PeekKind() != Tok::kSemicolon) break;
    Take();
  }
  ReduceTo(base);
}

// ---------------------------------------------------------------- the mission and its header

// mission_script: "mission" STRING "{" author_clause description_clause rules_section map_section
//                 force_list objectives_section plan_list "}"
void Parser::MissionScript() {
  const int base = depth_;
  Expect(Tok::kMission);
  m_.SetMissionName(Expect(Tok::kString).text);
  Expect(Tok::kLBrace);
  AuthorClause();
  DescriptionClause();
  RulesSection();
  MapSection();
  ForceList();
  ObjectivesSection();
  PlanList();
  Expect(Tok::kRBrace);
  ReduceTo(base);
}

// author_clause: "author" STRING ";"
void Parser::AuthorClause() {
  const int base = depth_;
  Expect(Tok::kAuthor);
  m_.SetAuthor(Expect(Tok::kString).text);
  Expect(Tok::kSemicolon);
  ReduceTo(base);
}

// description_clause: "description" STRING ";"
void Parser::DescriptionClause() {
  const int base = depth_;
  Expect(Tok::kDescription);
  m_.SetDescription(Expect(Tok::kString).text);
  Expect(Tok::kSemicolon);
  ReduceTo(base);
}

// rules_section: "rules" "{" rule_list "}" ";"
// rule_list: empty | respawn_rule | respawn_rule ";" rule_list
void Parser::RulesSection() {
  const int base = depth_;
  Expect(Tok::kRules);
  Expect(Tok::kLBrace);
  OptionalList([](Tok k) { return k == Tok::kRespawn; }, [this] { RespawnRule(); });
  Expect(Tok::kRBrace);
  Expect(Tok::kSemicolon);
  ReduceTo(base);
}

// respawn_rule: "respawn" "=" "none" | "respawn" "=" "individual" | "respawn" "=" "team"
void Parser::RespawnRule() {
  const int base = depth_;
  Expect(Tok::kRespawn);
  Expect(Tok::kEquals);
  std::uint32_t value = 0;
  switch (PeekKind()) {
    case Tok::kNone:
      value = kRespawnNone;
      break;
    case Tok::kIndividual:
      value = kRespawnIndividual;
      break;
    case Tok::kTeam:
      value = kRespawnTeam;
      break;
    default:
      SyntaxError();
  }
  Take();
  m_.AddRule("respawn", value);
  ReduceTo(base);
}

// ---------------------------------------------------------------- the map

// map_section: "map" STRING "{" map_style_clause annotation_clause location_list area_list "}" ";"
// location_list: empty | location_decl | location_decl ";" location_list
// area_list: empty | area_decl | area_decl ";" area_list
void Parser::MapSection() {
  const int base = depth_;
  Expect(Tok::kMap);
  m_.SetMapName(Expect(Tok::kString).text);
  Expect(Tok::kLBrace);
  MapStyleClause();
  AnnotationClause();
  OptionalList([](Tok k) { return k == Tok::kLocation; }, [this] { LocationDecl(); });
  OptionalList([](Tok k) { return k == Tok::kArea; }, [this] { AreaDecl(); });
  Expect(Tok::kRBrace);
  Expect(Tok::kSemicolon);
  ReduceTo(base);
}

// map_style_clause: empty | "style" "=" map_style_list ";"
// map_style_list: map_style | map_style "," map_style_list
void Parser::MapStyleClause() {
  const int base = depth_;
  if (PeekKind() != Tok::kStyle) {
    Push();
    return;
  }
  Take();
  Expect(Tok::kEquals);
  const int list_base = depth_;
  for (;;) {
    MapStyle();
    if (PeekKind() != Tok::kComma) break;
    Take();
  }
  ReduceTo(list_base);
  Expect(Tok::kSemicolon);
  ReduceTo(base);
}

// map_style: "open" | "urban" | "dark" | "indoor"
void Parser::MapStyle() {
  const int base = depth_;
  switch (PeekKind()) {
    case Tok::kUrban:
      m_.AddMapStyle(kMapStyleUrban);
      break;
    case Tok::kDark:
      m_.AddMapStyle(kMapStyleDark);
      break;
    case Tok::kOpen:
      m_.AddMapStyle(kMapStyleOpen);
      break;
    case Tok::kIndoor:
      m_.AddMapStyle(kMapStyleIndoor);
      break;
    default:
      SyntaxError();
  }
  Take();
  ReduceTo(base);
}

// annotation_clause: empty | "annotation" "=" string_sequence ";"
// string_sequence: STRING | STRING string_sequence
void Parser::AnnotationClause() {
  const int base = depth_;
  if (PeekKind() != Tok::kAnnotation) {
    Push();
    return;
  }
  Take();
  Expect(Tok::kEquals);
  const int sequence_base = depth_;
  do {
    m_.AppendAnnotation(Expect(Tok::kString).text);
  } while (PeekKind() == Tok::kString);
  ReduceTo(sequence_base);
  Expect(Tok::kSemicolon);
  ReduceTo(base);
}

// location_decl: "location" IDENT "=" "<" INT "," INT "," INT ">"
void Parser::LocationDecl() {
  const int base = depth_;
  Expect(Tok::kLocation);
  const std::string_view name = Expect(Tok::kIdent).text;
  Expect(Tok::kEquals);
  Expect(Tok::kLess);
  const std::int16_t x = Expect(Tok::kInt).int_value;
  Expect(Tok::kComma);
  const std::int16_t y = Expect(Tok::kInt).int_value;
  Expect(Tok::kComma);
  const std::int16_t z = Expect(Tok::kInt).int_value;
  Expect(Tok::kGreater);
  m_.AddLocation(name, x, y, z);
  ReduceTo(base);
}

// area_decl: "area" IDENT "{" area_style_clause ";" area_locations_clause ";" entrances_clause
//            exits_clause windows_clause radius_clause optional_semicolon "}"
void Parser::AreaDecl() {
  const int base = depth_;
  Expect(Tok::kArea);
  m_.AddArea(Expect(Tok::kIdent).text);
  Expect(Tok::kLBrace);
  AreaStyleClause();
  Expect(Tok::kSemicolon);
  // area_locations_clause: "locations" "=" location_ref_list
  const int locations_base = depth_;
  Expect(Tok::kLocations);
  Expect(Tok::kEquals);
  LocationRefList(AreaList::kLocations);
  ReduceTo(locations_base);
  Expect(Tok::kSemicolon);
  ListClause(Tok::kEntrances, AreaList::kEntrances, true);
  ListClause(Tok::kExits, AreaList::kExits, true);
  ListClause(Tok::kWindows, AreaList::kWindows, false);
  RadiusClause();
  // optional_semicolon: empty | ";"
  if (PeekKind() == Tok::kSemicolon) {
    const int semicolon_base = depth_;
    Take();
    ReduceTo(semicolon_base);
  } else {
    Push();
  }
  Expect(Tok::kRBrace);
  ReduceTo(base);
}

// area_style_clause: "style" "=" "open" | "style" "=" "closed" | "style" "=" "roof"
void Parser::AreaStyleClause() {
  const int base = depth_;
  Expect(Tok::kStyle);
  Expect(Tok::kEquals);
  switch (PeekKind()) {
    case Tok::kOpen:
      m_.AddAreaStyle(kAreaStyleOpen);
      break;
    case Tok::kClosed:
      m_.AddAreaStyle(kAreaStyleClosed);
      break;
    case Tok::kRoof:
      m_.AddAreaStyle(kAreaStyleRoof);
      break;
    default:
      SyntaxError();
  }
  Take();
  ReduceTo(base);
}

// entrances_clause: empty | "entrances" "=" location_ref_list ";"
// exits_clause: empty | "exits" "=" location_ref_list ";"
// windows_clause: empty | "windows" "=" location_ref_list
void Parser::ListClause(Tok keyword, AreaList list, bool with_semicolon) {
  const int base = depth_;
  if (PeekKind() != keyword) {
    Push();
    return;
  }
  Take();
  Expect(Tok::kEquals);
  LocationRefList(list);
  if (with_semicolon) Expect(Tok::kSemicolon);
  ReduceTo(base);
}

// location_ref_list: IDENT | IDENT "," location_ref_list
void Parser::LocationRefList(AreaList list) {
  const int base = depth_;
  for (;;) {
    const std::string_view name = Expect(Tok::kIdent).text;
    if (!m_.HasLocation(name)) Fail("use of undeclared location");
    m_.AddAreaName(list, name);
    if (PeekKind() != Tok::kComma) break;
    Take();
  }
  ReduceTo(base);
}

// radius_clause: empty | "radius" "=" INT
void Parser::RadiusClause() {
  const int base = depth_;
  if (PeekKind() != Tok::kRadius) {
    Push();
    return;
  }
  Take();
  Expect(Tok::kEquals);
  m_.SetAreaRadius(Expect(Tok::kInt).int_value);
  ReduceTo(base);
}

// ---------------------------------------------------------------- forces

// force_list: force_decl ";" | force_decl ";" force_list
void Parser::ForceList() {
  const int base = depth_;
  do {
    ForceDecl();
    Expect(Tok::kSemicolon);
  } while (PeekKind() == Tok::kForce);
  ReduceTo(base);
}

// force_decl: "force" STRING "{" team_list "}"
void Parser::ForceDecl() {
  const int base = depth_;
  Expect(Tok::kForce);
  m_.AddForce(Expect(Tok::kString).text);
  Expect(Tok::kLBrace);
  TeamList();
  Expect(Tok::kRBrace);
  ReduceTo(base);
}

// team_list: team_decl ";" | team_decl ";" team_list
void Parser::TeamList() {
  const int base = depth_;
  do {
    TeamDecl();
    Expect(Tok::kSemicolon);
  } while (PeekKind() == Tok::kTeam);
  ReduceTo(base);
}

// team_decl: "team" STRING "{" member_list "}"
// member_list: empty | member_decl | member_decl ";" member_list
void Parser::TeamDecl() {
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
void Parser::MemberDecl() {
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
void Parser::Equipment() {
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
void Parser::SkillClause() {
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
void Parser::Number(float& value) {
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
void Parser::ObjectivesSection() {
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
void Parser::Objective() {
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
void Parser::Condition() {
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
void Parser::SimpleCondition() {
  const int base = depth_;
  const Tok kind = PeekKind();
  switch (kind) {
    case Tok::kEliminated:
    case Tok::kAlive: {
      Take();
      Expect(Tok::kLParen);
      const std::string_view name = Expect(Tok::kString).text;
      if (!m_.HasTeam(name) && !m_.HasActor(name) && !m_.HasForce(name)) {
        Fail("use of undeclared member, team or force");
      }
      Expect(Tok::kRParen);
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
void Parser::NextMissionBlock() {
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

// ---------------------------------------------------------------- plans

// plan_list: ";" | plan_decl ";" | plan_decl ";" plan_list
void Parser::PlanList() {
  const int base = depth_;
  if (PeekKind() == Tok::kSemicolon) {
    Take();
    ReduceTo(base);
    return;
  }
  for (;;) {
    PlanDecl();
    Expect(Tok::kSemicolon);
    const Tok next = PeekKind();
    if (next == Tok::kPlan) continue;
    if (next == Tok::kSemicolon) {
      // The list's tail may be the lone ";".
      const int tail_base = depth_;
      Take();
      ReduceTo(tail_base);
    }
    break;
  }
  ReduceTo(base);
}

// plan_decl: "plan" STRING "{" statement_list "}"
void Parser::PlanDecl() {
  const int base = depth_;
  Expect(Tok::kPlan);
  const std::string_view team_name = Expect(Tok::kString).text;
  const MissionTeam* team = m_.FindTeam(team_name);
  if (!team) Fail("use of undeclared team");
  m_.BeginPlan(team_name);
  plan_owner_ = team->name;
  Expect(Tok::kLBrace);
  StatementList();
  Expect(Tok::kRBrace);
  m_.EndPlan();
  ReduceTo(base);
}

// statement_list: empty | statement | statement ";" statement_list
// The bodies of nested on statements are lists too; they are kept on a stack of our own.
void Parser::StatementList() {
  struct OpenOn {
    int enclosing_list_base;
    int on_base;
  };
  std::vector<OpenOn> open;
  int list_base = depth_;
  for (;;) {
    bool list_ends = true;
    const Tok k = PeekKind();
    if (!IsStatementStart(k)) {
      Push();  // the empty tail
    } else if (k == Tok::kOn) {
      open.push_back({list_base, depth_});
      OnHeader();
      list_base = depth_;
      continue;
    } else {
      Statement();
      if (PeekKind() == Tok::kSemicolon) {
        Take();
        list_ends = false;
      }
    }
    while (list_ends) {
      ReduceTo(list_base);
      if (open.empty()) return;
      // The list was an on statement's body: "{" statement_list "}"
      m_.PopStatementList();
      Expect(Tok::kRBrace);
      const OpenOn on = open.back();
      open.pop_back();
      ReduceTo(on.on_base);
      list_base = on.enclosing_list_base;
      if (PeekKind() == Tok::kSemicolon) {
        Take();
        list_ends = false;
      }
    }
  }
}

// statement: "on" "(" event_list ")" "{" statement_list "}"   (up to and including the "{")
// event_list: event | event "," event_list
void Parser::OnHeader() {
  Expect(Tok::kOn);
  Expect(Tok::kLParen);
  events_ = 0;
  event_code_ = {};
  in_event_code_ = false;
  const int list_base = depth_;
  for (;;) {
    Event();
    if (PeekKind() != Tok::kComma) break;
    Take();
  }
  ReduceTo(list_base);
  Expect(Tok::kRParen);
  m_.AppendOn(plan_owner_, events_, in_event_code_ ? m_.MakeText(event_code_) : Text());
  Expect(Tok::kLBrace);
  m_.PushStatementList();
}

// event: "contact" | "under" "fire" | "casualty" | "code" STRING
void Parser::Event() {
  const int base = depth_;
  switch (PeekKind()) {
    case Tok::kContact:
      Take();
      events_ |= kEventContact;
      break;
    case Tok::kUnder:
      Take();
      Expect(Tok::kFire);
      events_ |= kEventUnderFire;
      break;
    case Tok::kCasualty:
      Take();
      events_ |= kEventCasualty;
      break;
    case Tok::kCode:
      Take();
      event_code_ = Expect(Tok::kString).text;
      in_event_code_ = true;
      events_ |= kEventCode;
      break;
    default:
      SyntaxError();
  }
  ReduceTo(base);
}

// An IDENT naming a location: the location's name, or a semantic error.
Text Parser::LocationName() {
  const std::string_view name = Expect(Tok::kIdent).text;
  const MissionLocation* location = m_.FindLocation(name);
  if (!location) Fail("use of undeclared location");
  return location->name;
}

// statement: every form but "on" (see the grammar table: wait ... take cover)
void Parser::Statement() {
  const int base = depth_;
  const Text owner = plan_owner_;
  switch (PeekKind()) {
    case Tok::kWait:
      WaitStatement();
      break;
    case Tok::kPatrol:
      PatrolStatement();
      break;
    case Tok::kAbort:  // "abort"
      Take();
      m_.AppendInstruction(InstructionKind::kAbort, owner);
      break;
    case Tok::kJoin:  // "join"
      Take();
      m_.AppendInstruction(InstructionKind::kJoin, owner);
      break;
    case Tok::kSpawn:  // "spawn"
      Take();
      m_.AppendInstruction(InstructionKind::kSpawn, owner);
      break;
    case Tok::kAdvance: {  // "advance" "towards" IDENT "using" STRING
      Take();
      Expect(Tok::kTowards);
      const Text location = LocationName();
      Expect(Tok::kUsing);
      const std::string_view how = Expect(Tok::kString).text;
      m_.AppendInstruction(InstructionKind::kAdvance, owner, location, m_.MakeText(how));
      break;
    }
    case Tok::kAssemble:  // "assemble" "at" IDENT "using" STRING
    case Tok::kInsert: {  // "insert" "at" IDENT "using" STRING
      const InstructionKind kind =
          Take().kind == Tok::kAssemble ? InstructionKind::kAssemble : InstructionKind::kInsert;
      Expect(Tok::kAt);
      const Text location = LocationName();
      Expect(Tok::kUsing);
      const std::string_view how = Expect(Tok::kString).text;
      m_.AppendInstruction(kind, owner, location, m_.MakeText(how));
      break;
    }
    case Tok::kMoveup:      // "moveup" "to" IDENT "using" STRING
    case Tok::kPullback: {  // "pullback" "to" IDENT "using" STRING
      const InstructionKind kind =
          Take().kind == Tok::kMoveup ? InstructionKind::kMoveup : InstructionKind::kPullback;
      Expect(Tok::kTo);
      const Text location = LocationName();
      Expect(Tok::kUsing);
      const std::string_view how = Expect(Tok::kString).text;
      m_.AppendInstruction(kind, owner, location, m_.MakeText(how));
      break;
    }
    case Tok::kAttack: {  // "attack" "towards" IDENT
      Take();
      Expect(Tok::kTowards);
      m_.AppendInstruction(InstructionKind::kAttack, owner, LocationName());
      break;
    }
    case Tok::kContinue: {  // "continue" "with" "phase" STRING
      Take();
      Expect(Tok::kWith);
      Expect(Tok::kPhase);
      m_.AppendInstruction(InstructionKind::kContinue, owner, m_.MakeText(Expect(Tok::kString).text));
      break;
    }
    case Tok::kDefend: {  // "defend" "towards" IDENT "from" IDENT
      Take();
      Expect(Tok::kTowards);
      const Text towards = LocationName();
      Expect(Tok::kFrom);
      const Text from = LocationName();
      m_.AppendInstruction(InstructionKind::kDefend, owner, towards, from);
      break;
    }
    case Tok::kFreeze:    // "freeze" "towards" IDENT "for" INT | ... FLOAT
    case Tok::kSpread: {  // "spread" "towards" IDENT "within" INT | ... FLOAT
      const bool freeze = Take().kind == Tok::kFreeze;
      Expect(Tok::kTowards);
      const Text location = LocationName();
      Expect(freeze ? Tok::kFor : Tok::kWithin);
      float value = 0;
      if (PeekKind() == Tok::kFloat) {
        value = Take().float_value;
      } else {
        value = Expect(Tok::kInt).int_value;
      }
      m_.AppendInstruction(freeze ? InstructionKind::kFreeze : InstructionKind::kSpread, owner, location, {},
                           value);
      break;
    }
    case Tok::kObserve:  // "observe" IDENT
      Take();
      m_.AppendInstruction(InstructionKind::kObserve, owner, LocationName());
      break;
    case Tok::kPhase:  // "phase" STRING
      Take();
      m_.AppendInstruction(InstructionKind::kPhase, m_.MakeText(Expect(Tok::kString).text));
      break;
    case Tok::kRadio:  // "radio" STRING
      Take();
      m_.AppendInstruction(InstructionKind::kRadio, owner, m_.MakeText(Expect(Tok::kString).text));
      break;
    case Tok::kSignal: {  // "signal" "towards" IDENT [STRING] | "signal" "code" STRING
      Take();
      if (PeekKind() == Tok::kCode) {
        Take();
        m_.AppendInstruction(InstructionKind::kSignalCode, owner, m_.MakeText(Expect(Tok::kString).text));
        break;
      }
      Expect(Tok::kTowards);
      const Text location = LocationName();
      Text code;
      if (PeekKind() == Tok::kString) code = m_.MakeText(Take().text);
      m_.AppendInstruction(InstructionKind::kSignalTowards, owner, location, code);
      break;
    }
    case Tok::kSnipe: {  // "snipe" "from" IDENT "towards" IDENT
      Take();
      Expect(Tok::kFrom);
      const Text from = LocationName();
      Expect(Tok::kTowards);
      const Text towards = LocationName();
      m_.AppendInstruction(InstructionKind::kSnipe, owner, from, towards);
      break;
    }
    case Tok::kSplit: {  // "split" STRING INT
      Take();
      const std::string_view team = Expect(Tok::kString).text;
      const std::int16_t count = Expect(Tok::kInt).int_value;
      m_.AppendInstruction(InstructionKind::kSplit, owner, m_.MakeText(team), {}, count);
      break;
    }
    case Tok::kTake:  // "take" "cover" "from" IDENT
      Take();
      Expect(Tok::kCover);
      Expect(Tok::kFrom);
      m_.AppendInstruction(InstructionKind::kTakeCover, owner, LocationName());
      break;
    default:
      SyntaxError();
  }
  ReduceTo(base);
}

// statement: "wait" INT | "wait" FLOAT | "wait" "forever" | "wait" "until" wait_condition
// wait_condition: "ready" | "assembled" | "code" "(" STRING ")"
void Parser::WaitStatement() {
  Expect(Tok::kWait);
  switch (PeekKind()) {
    case Tok::kInt:
      m_.AppendWait(Take().int_value);
      return;
    case Tok::kFloat:
      m_.AppendWait(Take().float_value);
      return;
    case Tok::kForever:
      Take();
      m_.AppendWait(kWaitForever);
      return;
    case Tok::kUntil:
      break;
    default:
      SyntaxError();
  }
  Take();
  const int base = depth_;
  switch (PeekKind()) {
    case Tok::kReady:
      Take();
      ReduceTo(base);
      m_.AppendInstruction(InstructionKind::kWaitUntilReady, plan_owner_);
      return;
    case Tok::kAssembled:
      Take();
      ReduceTo(base);
      m_.AppendInstruction(InstructionKind::kWaitUntilAssembled, plan_owner_);
      return;
    case Tok::kCode: {
      Take();
      Expect(Tok::kLParen);
      const std::string_view code = Expect(Tok::kString).text;
      Expect(Tok::kRParen);
      ReduceTo(base);
      m_.AppendInstruction(InstructionKind::kWaitUntilCode, plan_owner_, m_.MakeText(code));
      return;
    }
    default:
      SyntaxError();
  }
}

// statement: "patrol" | "patrol" "(" patrol_area_list ")"
// patrol_area_list: IDENT | IDENT "," patrol_area_list
void Parser::PatrolStatement() {
  Expect(Tok::kPatrol);
  if (PeekKind() != Tok::kLParen) {
    // Only the token after "patrol" tells that it stands alone.
    if (m_.AreaCount() < 2) Fail("patrol command requires at least 2 areas to be defined");
    m_.AppendInstruction(InstructionKind::kPatrol, plan_owner_);
    return;
  }
  Take();
  m_.ClearPendingPatrolAreas();
  int count = 0;
  const int list_base = depth_;
  for (;;) {
    const std::string_view name = Expect(Tok::kIdent).text;
    ++count;
    const MissionArea* area = m_.FindArea(name);
    if (!area) Fail("undefined area label in patrol area list");
    m_.AddPendingPatrolArea(area->name);
    if (PeekKind() != Tok::kComma) break;
    Take();
  }
  ReduceTo(list_base);
  Expect(Tok::kRParen);
  if (count < 2) Fail("patrol area list needs to include at least two areas");
  m_.AppendPatrol(plan_owner_);
}

ParseResult ParseOwnedBuffer(char* data, std::size_t size, ParsedMission& mission, std::ostream& errors) {
  size = DropCarriageReturnsBeforeLineFeeds(data, size);
  data[size] = '\0';
  try {
    Parser parser(std::string_view(data, size), mission, errors);
    return parser.Run() ? ParseResult::kSuccess : ParseResult::kParseProblem;
  } catch (const std::bad_alloc&) {
    errors << "ERROR in syntax found\nCAUSE out of memory\n";
    errors.flush();
    return ParseResult::kParseProblem;
  }
}

}  // namespace

ParseResult ParseMissionFile(const std::filesystem::path& path, ParsedMission& mission,
                             std::ostream& errors) {
  std::error_code ec;
  if (path.empty() || std::filesystem::is_directory(path, ec)) return ParseResult::kFileProblem;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return ParseResult::kFileProblem;

  // Read the whole file in one go into a buffer with room for the terminating NUL.
  const auto expected = std::filesystem::file_size(path, ec);
  std::size_t capacity = ec ? 64 * 1024 : static_cast<std::size_t>(expected) + 1;
  std::size_t size = 0;
  std::unique_ptr<char[]> data;
  try {
    data = std::make_unique_for_overwrite<char[]>(capacity);
    for (;;) {
      if (size + 1 == capacity) {
        // The file grew, or its size was unknown: make room and go on.
        auto bigger = std::make_unique_for_overwrite<char[]>(capacity * 2);
        std::memcpy(bigger.get(), data.get(), size);
        data = std::move(bigger);
        capacity *= 2;
      }
      const std::size_t n = std::fread(data.get() + size, 1, capacity - 1 - size, file.get());
      size += n;
      if (n == 0) break;
    }
  } catch (const std::bad_alloc&) {
    errors << "input in flex scanner failed\n";
    return ParseResult::kParseProblem;
  }
  if (std::ferror(file.get())) {
    errors << "input in flex scanner failed\n";
    errors.flush();
    return ParseResult::kParseProblem;
  }
  file.reset();
  return ParseOwnedBuffer(data.get(), size, mission, errors);
}

ParseResult ParseMissionFile(const std::filesystem::path& path, ParsedMission& mission) {
  return ParseMissionFile(path, mission, std::cerr);
}

ParseResult ParseMissionBuffer(std::string_view bytes, ParsedMission& mission, std::ostream& errors) {
  std::unique_ptr<char[]> data;
  try {
    data = std::make_unique_for_overwrite<char[]>(bytes.size() + 1);
  } catch (const std::bad_alloc&) {
    errors << "input in flex scanner failed\n";
    return ParseResult::kParseProblem;
  }
  if (!bytes.empty()) std::memcpy(data.get(), bytes.data(), bytes.size());
  return ParseOwnedBuffer(data.get(), bytes.size(), mission, errors);
}

ParseResult ParseMissionBuffer(std::string_view bytes, ParsedMission& mission) {
  return ParseMissionBuffer(bytes, mission, std::cerr);
}

}  // namespace vyr::parser
