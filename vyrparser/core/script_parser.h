#pragma once

// The mission script parser: one function per grammar rule, each with the rule it recognises above
// it. Internal to the library; the entry points are in parser.h.

#include <cstdint>
#include <ostream>
#include <string_view>

#include "vyrparser/core/parsed_mission.h"
#include "vyrparser/core/scanner.h"

namespace vyr::parser {

// prefix it has recognised, plus one; its stack grows from 200 entries by doubling and gives up when
// it would need 10000. Counting the same entries makes the same scripts fail the same way.
inline constexpr int kMaxStackDepth = 10000;

// Thrown inside the parser once the message is written; caught by Run, never leaves the parser.
struct ParseStop {};

class ScriptParser {
 public:
  ScriptParser(std::string_view input, ParsedMission& mission, std::ostream& errors)
      : scanner_(input), m_(mission), errors_(errors) {}

  bool Run();

 private:
  // ---- tokens and the stack count
  // Tokens are read only when the grammar needs one to decide, so "near" names the right token.
  const Token& Peek() {
    if (!has_lookahead_) ReadToken();
    return lookahead_;
  }
  Tok PeekKind() { return Peek().kind; }
  // Shifts the lookahead onto the stack.
  Token Take() {
    Peek();
    has_lookahead_ = false;
    Push();
    return lookahead_;
  }
  Token Expect(Tok kind) {
    if (PeekKind() != kind) SyntaxError();
    return Take();
  }
  void Push() {
    if (++depth_ >= kMaxStackDepth) Fail("parser stack overflow");
  }
  // A rule whose symbols start at `base` is recognised: they become one entry. For an empty rule
  // that is a new entry and may overflow the stack.
  void ReduceTo(int base) {
    depth_ = base;
    Push();
  }
  void ReadToken();
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

// A list of elements separated by ";", which may be empty and may end with ";":
//   list: empty | element | element ";" list
template <class IsStart, class Element>
void ScriptParser::OptionalList(IsStart is_start, Element element) {
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

}  // namespace vyr::parser
