#include "vyrparser/core/script_parser.h"

#include <vector>

namespace vyr::parser {

namespace {

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

}  // namespace

// ---------------------------------------------------------------- plans

// plan_list: ";" | plan_decl ";" | plan_decl ";" plan_list
void ScriptParser::PlanList() {
  const Rule rule(*this);
  if (PeekKind() == Tok::kSemicolon) {
    Take();
    rule.Reduce();
    return;
  }
  for (;;) {
    PlanDecl();
    Expect(Tok::kSemicolon);
    const Tok next = PeekKind();
    if (next == Tok::kPlan) continue;
    if (next == Tok::kSemicolon) {
      // The list's tail may be the lone ";".
      const Rule tail(*this);
      Take();
      tail.Reduce();
    }
    break;
  }
  rule.Reduce();
}

// plan_decl: "plan" STRING "{" statement_list "}"
void ScriptParser::PlanDecl() {
  const Rule rule(*this);
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
  rule.Reduce();
}

// statement_list: empty | statement | statement ";" statement_list
// The bodies of nested on statements are lists too; they are kept on a stack of our own.
void ScriptParser::StatementList() {
  struct OpenOn {
    Rule enclosing_list;
    Rule statement;
  };
  std::vector<OpenOn> open;
  Rule list(*this);
  for (;;) {
    bool list_ends = true;
    const Tok k = PeekKind();
    if (!IsStatementStart(k)) {
      Push();  // the empty tail
    } else if (k == Tok::kOn) {
      open.push_back({list, Rule(*this)});
      OnHeader();
      list = Rule(*this);
      continue;
    } else {
      Statement();
      if (PeekKind() == Tok::kSemicolon) {
        Take();
        list_ends = false;
      }
    }
    while (list_ends) {
      list.Reduce();
      if (open.empty()) return;
      // The list was an on statement's body: "{" statement_list "}"
      m_.PopStatementList();
      Expect(Tok::kRBrace);
      const OpenOn on = open.back();
      open.pop_back();
      on.statement.Reduce();
      list = on.enclosing_list;
      if (PeekKind() == Tok::kSemicolon) {
        Take();
        list_ends = false;
      }
    }
  }
}

// statement: "on" "(" event_list ")" "{" statement_list "}"   (up to and including the "{")
// event_list: event | event "," event_list
void ScriptParser::OnHeader() {
  Expect(Tok::kOn);
  Expect(Tok::kLParen);
  events_ = 0;
  event_code_.clear();
  in_event_code_ = false;
  const Rule list(*this);
  for (;;) {
    Event();
    if (PeekKind() != Tok::kComma) break;
    Take();
  }
  list.Reduce();
  Expect(Tok::kRParen);
  m_.AppendOn(plan_owner_, events_, in_event_code_ ? m_.ShareText(event_code_, TextUse::kEventCode) : Text());
  Expect(Tok::kLBrace);
  m_.PushStatementList();
}

// event: "contact" | "under" "fire" | "casualty" | "code" STRING
void ScriptParser::Event() {
  const Rule rule(*this);
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
      event_code_.assign(Expect(Tok::kString).text);
      in_event_code_ = true;
      events_ |= kEventCode;
      break;
    default:
      SyntaxError();
  }
  rule.Reduce();
}

// An IDENT naming a location: the location's name, or a semantic error.
Text ScriptParser::LocationName() {
  const Text location = m_.DeclaredLocation(Expect(Tok::kIdent).text);
  if (!location) Fail("use of undeclared location");
  return location;
}

// statement: every form but "on" (see the grammar table: wait ... take cover)
void ScriptParser::Statement() {
  const Rule rule(*this);
  switch (PeekKind()) {
    case Tok::kWait:
      WaitStatement();
      break;
    case Tok::kPatrol:
      PatrolStatement();
      break;
    case Tok::kAbort:
      BareStatement(InstructionKind::kAbort);
      break;
    case Tok::kJoin:
      BareStatement(InstructionKind::kJoin);
      break;
    case Tok::kSpawn:
      BareStatement(InstructionKind::kSpawn);
      break;
    case Tok::kAdvance:
      MoveStatement(InstructionKind::kAdvance, Tok::kTowards);
      break;
    case Tok::kAssemble:
      MoveStatement(InstructionKind::kAssemble, Tok::kAt);
      break;
    case Tok::kInsert:
      MoveStatement(InstructionKind::kInsert, Tok::kAt);
      break;
    case Tok::kMoveup:
      MoveStatement(InstructionKind::kMoveup, Tok::kTo);
      break;
    case Tok::kPullback:
      MoveStatement(InstructionKind::kPullback, Tok::kTo);
      break;
    case Tok::kAttack:
      AttackStatement();
      break;
    case Tok::kContinue:
      ContinueStatement();
      break;
    case Tok::kDefend:
      DefendStatement();
      break;
    case Tok::kFreeze:
      HoldStatement(InstructionKind::kFreeze, Tok::kFor);
      break;
    case Tok::kSpread:
      HoldStatement(InstructionKind::kSpread, Tok::kWithin);
      break;
    case Tok::kObserve:
      ObserveStatement();
      break;
    case Tok::kPhase:
      PhaseStatement();
      break;
    case Tok::kRadio:
      RadioStatement();
      break;
    case Tok::kSignal:
      SignalStatement();
      break;
    case Tok::kSnipe:
      SnipeStatement();
      break;
    case Tok::kSplit:
      SplitStatement();
      break;
    case Tok::kTake:
      TakeCoverStatement();
      break;
    default:
      SyntaxError();
  }
  rule.Reduce();
}

// statement: "abort" | "join" | "spawn"
void ScriptParser::BareStatement(InstructionKind kind) {
  Take();
  m_.AppendInstruction(kind, plan_owner_);
}

// statement: "advance" "towards" IDENT "using" STRING | "assemble" "at" IDENT "using" STRING
//          | "insert" "at" IDENT "using" STRING | "moveup" "to" IDENT "using" STRING
//          | "pullback" "to" IDENT "using" STRING
void ScriptParser::MoveStatement(InstructionKind kind, Tok preposition) {
  Take();
  Expect(preposition);
  const Text location = LocationName();
  Expect(Tok::kUsing);
  const std::string_view how = Expect(Tok::kString).text;
  m_.AppendInstruction(kind, plan_owner_, location, m_.ShareText(how, TextUse::kMovement));
}

// statement: "attack" "towards" IDENT
void ScriptParser::AttackStatement() {
  Take();
  Expect(Tok::kTowards);
  m_.AppendInstruction(InstructionKind::kAttack, plan_owner_, LocationName());
}

// statement: "continue" "with" "phase" STRING
void ScriptParser::ContinueStatement() {
  Take();
  Expect(Tok::kWith);
  Expect(Tok::kPhase);
  m_.AppendInstruction(InstructionKind::kContinue, plan_owner_,
                       m_.ShareText(Expect(Tok::kString).text, TextUse::kPhase));
}

// statement: "defend" "towards" IDENT "from" IDENT
void ScriptParser::DefendStatement() {
  Take();
  Expect(Tok::kTowards);
  const Text towards = LocationName();
  Expect(Tok::kFrom);
  const Text from = LocationName();
  m_.AppendInstruction(InstructionKind::kDefend, plan_owner_, towards, from);
}

// statement: "freeze" "towards" IDENT "for" INT | "freeze" "towards" IDENT "for" FLOAT
//          | "spread" "towards" IDENT "within" INT | "spread" "towards" IDENT "within" FLOAT
void ScriptParser::HoldStatement(InstructionKind kind, Tok measure) {
  Take();
  Expect(Tok::kTowards);
  const Text location = LocationName();
  Expect(measure);
  const float value = PeekKind() == Tok::kFloat ? Take().float_value : Expect(Tok::kInt).int_value;
  m_.AppendInstruction(kind, plan_owner_, location, {}, value);
}

// statement: "observe" IDENT
void ScriptParser::ObserveStatement() {
  Take();
  m_.AppendInstruction(InstructionKind::kObserve, plan_owner_, LocationName());
}

// statement: "phase" STRING (the phase name stands where the owner does)
void ScriptParser::PhaseStatement() {
  Take();
  m_.AppendInstruction(InstructionKind::kPhase, m_.ShareText(Expect(Tok::kString).text, TextUse::kPhase));
}

// statement: "radio" STRING
void ScriptParser::RadioStatement() {
  Take();
  m_.AppendInstruction(InstructionKind::kRadio, plan_owner_,
                       m_.ShareText(Expect(Tok::kString).text, TextUse::kRadio));
}

// statement: "signal" "towards" IDENT | "signal" "towards" IDENT STRING | "signal" "code" STRING
void ScriptParser::SignalStatement() {
  Take();
  if (PeekKind() == Tok::kCode) {
    Take();
    m_.AppendInstruction(InstructionKind::kSignalCode, plan_owner_,
                         m_.ShareText(Expect(Tok::kString).text, TextUse::kSignalCode));
    return;
  }
  Expect(Tok::kTowards);
  const Text location = LocationName();
  Text code;
  if (PeekKind() == Tok::kString) code = m_.ShareText(Take().text, TextUse::kSignalCode);
  m_.AppendInstruction(InstructionKind::kSignalTowards, plan_owner_, location, code);
}

// statement: "snipe" "from" IDENT "towards" IDENT
void ScriptParser::SnipeStatement() {
  Take();
  Expect(Tok::kFrom);
  const Text from = LocationName();
  Expect(Tok::kTowards);
  const Text towards = LocationName();
  m_.AppendInstruction(InstructionKind::kSnipe, plan_owner_, from, towards);
}

// statement: "split" STRING INT
void ScriptParser::SplitStatement() {
  Take();
  const std::string_view team = Expect(Tok::kString).text;
  const std::int16_t count = Expect(Tok::kInt).int_value;
  m_.AppendInstruction(InstructionKind::kSplit, plan_owner_, m_.ShareText(team, TextUse::kSplit), {}, count);
}

// statement: "take" "cover" "from" IDENT
void ScriptParser::TakeCoverStatement() {
  Take();
  Expect(Tok::kCover);
  Expect(Tok::kFrom);
  m_.AppendInstruction(InstructionKind::kTakeCover, plan_owner_, LocationName());
}

// statement: "wait" INT | "wait" FLOAT | "wait" "forever" | "wait" "until" wait_condition
// wait_condition: "ready" | "assembled" | "code" "(" STRING ")"
void ScriptParser::WaitStatement() {
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
  const Rule rule(*this);
  switch (PeekKind()) {
    case Tok::kReady:
      Take();
      rule.Reduce();
      m_.AppendInstruction(InstructionKind::kWaitUntilReady, plan_owner_);
      return;
    case Tok::kAssembled:
      Take();
      rule.Reduce();
      m_.AppendInstruction(InstructionKind::kWaitUntilAssembled, plan_owner_);
      return;
    case Tok::kCode: {
      Take();
      Expect(Tok::kLParen);
      const std::string_view code = Expect(Tok::kString).text;
      Expect(Tok::kRParen);
      rule.Reduce();
      m_.AppendInstruction(InstructionKind::kWaitUntilCode, plan_owner_,
                           m_.ShareText(code, TextUse::kWaitCode));
      return;
    }
    default:
      SyntaxError();
  }
}

// statement: "patrol" | "patrol" "(" patrol_area_list ")"
// patrol_area_list: IDENT | IDENT "," patrol_area_list
void ScriptParser::PatrolStatement() {
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
  const Rule list(*this);
  for (;;) {
    const Text area = m_.DeclaredArea(Expect(Tok::kIdent).text);
    ++count;
    if (!area) Fail("undefined area label in patrol area list");
    m_.AddPendingPatrolArea(area);
    if (PeekKind() != Tok::kComma) break;
    Take();
  }
  list.Reduce();
  Expect(Tok::kRParen);
  if (count < 2) Fail("patrol area list needs to include at least two areas");
  m_.AppendPatrol(plan_owner_);
}

}  // namespace vyr::parser
