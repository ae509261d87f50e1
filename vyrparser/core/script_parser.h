#pragma once

// The mission script parser: one function per grammar rule, each with the rule it recognises above
// it. Internal to the library; the entry points are in parser.h.

#include <cstdint>
#include <ostream>
#include <string>
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
  // Reads the script from `source`; tokens' texts are used only while the scanner keeps them.
  ScriptParser(ByteSource& source, ParsedMission& mission, std::ostream& errors)
      : scanner_(source), m_(mission), errors_(errors) {}

  bool Run();

 private:
  // ---- tokens and the stack count
  // Tokens are read only when the grammar needs one to decide, so "near" names the right token.
  const Token& Peek() {
    if (!has_lookahead_) ReadToken();
    return lookahead_;
  }
  Tok PeekKind() { return Peek().kind; }
  // Shifts the lookahead onto the stack. The token stays readable until the next one is read.
  const Token& Take() {
    Peek();
    has_lookahead_ = false;
    Push();
    return lookahead_;
  }
  const Token& Expect(Tok kind) {
    if (PeekKind() != kind) SyntaxError();
    return Take();
  }
  void Push() {
    if (++depth_ >= kMaxStackDepth) Fail("parser stack overflow");
  }
  // The stack entries of a rule being read, from where it starts. Reduce() makes them the rule's one
  // entry once it is recognised; for an empty rule that is a new entry and may overflow the stack.
  class Rule {
   public:
    explicit Rule(ScriptParser& parser) : parser_(&parser), base_(parser.depth_) {}
    void Reduce() const {
      parser_->depth_ = base_;
      parser_->Push();
    }

   private:
    ScriptParser* parser_;
    int base_;
  };

  void ReadToken() {
    scanner_.Read(lookahead_);
    if (lookahead_.kind == Tok::kLexError || lookahead_.kind == Tok::kReadError) BadInput();
    has_lookahead_ = true;
  }
  // A lexical error or a failed read ends the parse here.
  [[noreturn]] void BadInput();
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
  void BareStatement(InstructionKind kind);
  void MoveStatement(InstructionKind kind, Tok preposition);
  void AttackStatement();
  void ContinueStatement();
  void DefendStatement();
  void HoldStatement(InstructionKind kind, Tok measure);
  void ObserveStatement();
  void PhaseStatement();
  void RadioStatement();
  void SignalStatement();
  void SnipeStatement();
  void SplitStatement();
  void TakeCoverStatement();
  Text LocationName();
  void FlushAnnotation();

  Scanner scanner_;
  Token lookahead_;
  bool has_lookahead_ = false;
  int depth_ = 1;  // the initial state's entry
  ParsedMission& m_;
  std::ostream& errors_;

  // Parse context that lives only for one parse.
  Text plan_owner_;
  std::uint16_t events_ = 0;
  std::string event_code_;  // a copy: an event list may be longer than the scanner keeps texts
  bool in_event_code_ = false;
  bool in_condition_ = false;
  // The pieces of the annotation being read, joined: the model takes them once per clause.
  std::string annotation_;
  bool in_annotation_ = false;
};

// A list of elements separated by ";", which may be empty and may end with ";":
//   list: empty | element | element ";" list
template <class IsStart, class Element>
void ScriptParser::OptionalList(IsStart is_start, Element element) {
  const Rule rule(*this);
  for (;;) {
    if (!is_start(PeekKind())) {
      Push();  // the empty tail
      break;
    }
    element();
    if (PeekKind() != Tok::kSemicolon) break;
    Take();
  }
  rule.Reduce();
}

}  // namespace vyr::parser
