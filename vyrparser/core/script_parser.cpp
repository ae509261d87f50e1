#include "vyrparser/core/script_parser.h"

#include <ostream>
#include <string>

namespace vyr::parser {

// ---------------------------------------------------------------- tokens, stack, messages

void ScriptParser::BadInput() {
  if (lookahead_.kind == Tok::kReadError) {
    errors_ << "input in flex scanner failed\n";
  } else {
    // A NUL byte prints as nothing, as a C string would.
    const std::string_view bad =
        lookahead_.text.substr(0, lookahead_.text.find('\0') == std::string_view::npos ? 1 : 0);
    errors_ << "ERROR in syntax found by lex, at line " << scanner_.line() << ", near: \"" << bad << "\".\n";
  }
  errors_.flush();
  throw ParseStop{};
}

void ScriptParser::Fail(const char* cause) {
  // The token read last is the lookahead, whether or not it was taken.
  const std::string_view near = lookahead_.text.empty() ? std::string_view("<unknown>") : lookahead_.text;
  errors_ << "ERROR in syntax found, at line " << scanner_.line() << "\nnear: '" << near << "'.\nCAUSE "
          << cause << "\n";
  errors_.flush();
  throw ParseStop{};
}

bool ScriptParser::Run() {
  try {
    MissionScript();
    if (PeekKind() != Tok::kEnd) SyntaxError();
    return true;
  } catch (const ParseStop&) {
    // An objective whose condition was being read keeps none; an annotation keeps its pieces read,
    // a plan the statements read whole (not those of an unfinished on body).
    if (in_condition_) m_.AbandonCondition();
    if (in_annotation_) FlushAnnotation();
    m_.EndPlan();
    return false;
  }
}

// ---------------------------------------------------------------- the mission and its header

// mission_script: "mission" STRING "{" author_clause description_clause rules_section map_section
//                 force_list objectives_section plan_list "}"
void ScriptParser::MissionScript() {
  const Rule rule(*this);
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
  rule.Reduce();
}

// author_clause: "author" STRING ";"
void ScriptParser::AuthorClause() {
  const Rule rule(*this);
  Expect(Tok::kAuthor);
  m_.SetAuthor(Expect(Tok::kString).text);
  Expect(Tok::kSemicolon);
  rule.Reduce();
}

// description_clause: "description" STRING ";"
void ScriptParser::DescriptionClause() {
  const Rule rule(*this);
  Expect(Tok::kDescription);
  m_.SetDescription(Expect(Tok::kString).text);
  Expect(Tok::kSemicolon);
  rule.Reduce();
}

// rules_section: "rules" "{" rule_list "}" ";"
// rule_list: empty | respawn_rule | respawn_rule ";" rule_list
void ScriptParser::RulesSection() {
  const Rule rule(*this);
  Expect(Tok::kRules);
  Expect(Tok::kLBrace);
  OptionalList([](Tok k) { return k == Tok::kRespawn; }, [this] { RespawnRule(); });
  Expect(Tok::kRBrace);
  Expect(Tok::kSemicolon);
  rule.Reduce();
}

// respawn_rule: "respawn" "=" "none" | "respawn" "=" "individual" | "respawn" "=" "team"
void ScriptParser::RespawnRule() {
  const Rule rule(*this);
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
  rule.Reduce();
}

// ---------------------------------------------------------------- the map

// map_section: "map" STRING "{" map_style_clause annotation_clause location_list area_list "}" ";"
// location_list: empty | location_decl | location_decl ";" location_list
// area_list: empty | area_decl | area_decl ";" area_list
void ScriptParser::MapSection() {
  const Rule rule(*this);
  Expect(Tok::kMap);
  m_.SetMapName(Expect(Tok::kString).text);
  Expect(Tok::kLBrace);
  MapStyleClause();
  AnnotationClause();
  OptionalList([](Tok k) { return k == Tok::kLocation; }, [this] { LocationDecl(); });
  OptionalList([](Tok k) { return k == Tok::kArea; }, [this] { AreaDecl(); });
  Expect(Tok::kRBrace);
  Expect(Tok::kSemicolon);
  rule.Reduce();
}

// map_style_clause: empty | "style" "=" map_style_list ";"
// map_style_list: map_style | map_style "," map_style_list
void ScriptParser::MapStyleClause() {
  const Rule rule(*this);
  if (PeekKind() != Tok::kStyle) {
    Push();
    return;
  }
  Take();
  Expect(Tok::kEquals);
  const Rule list(*this);
  for (;;) {
    MapStyle();
    if (PeekKind() != Tok::kComma) break;
    Take();
  }
  list.Reduce();
  Expect(Tok::kSemicolon);
  rule.Reduce();
}

// map_style: "open" | "urban" | "dark" | "indoor"
void ScriptParser::MapStyle() {
  const Rule rule(*this);
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
  rule.Reduce();
}

void ScriptParser::FlushAnnotation() {
  m_.AppendAnnotation(annotation_);
  std::string().swap(annotation_);
  in_annotation_ = false;
}

// annotation_clause: empty | "annotation" "=" string_sequence ";"
// string_sequence: STRING | STRING string_sequence
void ScriptParser::AnnotationClause() {
  const Rule rule(*this);
  if (PeekKind() != Tok::kAnnotation) {
    Push();
    return;
  }
  Take();
  Expect(Tok::kEquals);
  const Rule sequence(*this);
  in_annotation_ = true;
  do {
    annotation_.append(Expect(Tok::kString).text);
  } while (PeekKind() == Tok::kString);
  FlushAnnotation();
  sequence.Reduce();
  Expect(Tok::kSemicolon);
  rule.Reduce();
}

// location_decl: "location" IDENT "=" "<" INT "," INT "," INT ">"
void ScriptParser::LocationDecl() {
  const Rule rule(*this);
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
  rule.Reduce();
}

// area_decl: "area" IDENT "{" area_style_clause ";" area_locations_clause ";" entrances_clause
//            exits_clause windows_clause radius_clause optional_semicolon "}"
void ScriptParser::AreaDecl() {
  const Rule rule(*this);
  Expect(Tok::kArea);
  m_.AddArea(Expect(Tok::kIdent).text);
  Expect(Tok::kLBrace);
  AreaStyleClause();
  Expect(Tok::kSemicolon);
  // area_locations_clause: "locations" "=" location_ref_list
  const Rule locations(*this);
  Expect(Tok::kLocations);
  Expect(Tok::kEquals);
  LocationRefList(AreaList::kLocations);
  locations.Reduce();
  Expect(Tok::kSemicolon);
  ListClause(Tok::kEntrances, AreaList::kEntrances, true);
  ListClause(Tok::kExits, AreaList::kExits, true);
  ListClause(Tok::kWindows, AreaList::kWindows, false);
  RadiusClause();
  // optional_semicolon: empty | ";"
  if (PeekKind() == Tok::kSemicolon) {
    const Rule semicolon(*this);
    Take();
    semicolon.Reduce();
  } else {
    Push();
  }
  Expect(Tok::kRBrace);
  rule.Reduce();
}

// area_style_clause: "style" "=" "open" | "style" "=" "closed" | "style" "=" "roof"
void ScriptParser::AreaStyleClause() {
  const Rule rule(*this);
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
  rule.Reduce();
}

// entrances_clause: empty | "entrances" "=" location_ref_list ";"
// exits_clause: empty | "exits" "=" location_ref_list ";"
// windows_clause: empty | "windows" "=" location_ref_list
void ScriptParser::ListClause(Tok keyword, AreaList list, bool with_semicolon) {
  const Rule rule(*this);
  if (PeekKind() != keyword) {
    Push();
    return;
  }
  Take();
  Expect(Tok::kEquals);
  LocationRefList(list);
  if (with_semicolon) Expect(Tok::kSemicolon);
  rule.Reduce();
}

// location_ref_list: IDENT | IDENT "," location_ref_list
void ScriptParser::LocationRefList(AreaList list) {
  const Rule rule(*this);
  for (;;) {
    const std::string_view name = Expect(Tok::kIdent).text;
    if (!m_.HasLocation(name)) Fail("use of undeclared location");
    m_.AddAreaName(list, name);
    if (PeekKind() != Tok::kComma) break;
    Take();
  }
  rule.Reduce();
}

// radius_clause: empty | "radius" "=" INT
void ScriptParser::RadiusClause() {
  const Rule rule(*this);
  if (PeekKind() != Tok::kRadius) {
    Push();
    return;
  }
  Take();
  Expect(Tok::kEquals);
  m_.SetAreaRadius(Expect(Tok::kInt).int_value);
  rule.Reduce();
}

}  // namespace vyr::parser
