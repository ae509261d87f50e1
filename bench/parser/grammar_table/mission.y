/* The grammar of mission scripts for bison, with the actions that fill a plain model and the name
   checks that refuse undeclared names. The lists are right-recursive as the language defines them,
   so the parser's stack (200 states, doubling to 10000) bounds a list as it does in the library. */
%define api.prefix {gt_}
%define parse.error simple

%code requires {
#include <string>
#include "mission_model.h"
#define GT_STYPE_IS_TRIVIAL 1
}

%code {
#include <cstdio>
#include <cstdlib>

extern int gt_line;
extern char* gt_text;
extern FILE* gt_in;
int gt_lex();

namespace {

using namespace grammar_table;

struct Context {
  Mission* mission = nullptr;
  Area* area = nullptr;
  int area_list = 0;
  Force* force = nullptr;
  Team* team = nullptr;
  Actor* actor = nullptr;
  Objective* objective = nullptr;
  InstructionList* list = nullptr;
  std::vector<InstructionList*> stack;
  std::string owner;
  std::vector<std::string> patrol;
  int events = 0;
  std::string code;
};

Context context;

void gt_error(const char* cause) {
  const char* near = gt_text && *gt_text ? gt_text : "<unknown>";
  std::fprintf(stderr, "ERROR in syntax found, at line %d\nnear: '%s'.\nCAUSE %s\n", gt_line, near,
               cause && std::string(cause) == "memory exhausted" ? "parser stack overflow" : "parse error");
}

void SemanticError(const char* cause) {
  const char* near = gt_text && *gt_text ? gt_text : "<unknown>";
  std::fprintf(stderr, "ERROR in syntax found, at line %d\nnear: '%s'.\nCAUSE %s\n", gt_line, near, cause);
}

// Takes over a string the scanner copied.
std::string Take(char* text) {
  std::string s(text);
  std::free(text);
  return s;
}

bool IsLocation(const std::string& name) {
  return context.mission->location_names.count(name) != 0;
}

Instruction* Append(int kind) {
  auto* instruction = new Instruction;
  instruction->kind = kind;
  if (kind != 1) instruction->owner = context.owner;
  context.list->push_back(instruction);
  return instruction;
}

// The locations a statement names (already checked when each name was read).
void Located(Instruction* instruction, char* first, char* second = nullptr) {
  instruction->first = Take(first);
  if (second) instruction->second = Take(second);
}

bool AddObjective(int type, char* owner, char* message) {
  auto* objective = new Objective{type, Take(owner), Take(message), nullptr, {}};
  const Mission& m = *context.mission;
  if (!m.team_names.count(objective->owner) && !m.force_names.count(objective->owner)) {
    SemanticError("use of undeclared team or force");
    delete objective;
    return false;
  }
  context.mission->objectives.push_back(objective);
  context.objective = objective;
  return true;
}

Condition* Leaf(int kind) {
  auto* condition = new Condition;
  condition->kind = kind;
  return condition;
}

}  // namespace

#define CHECK(ok) do { if (!(ok)) YYABORT; } while (0)
}

%union {
  char* text;
  int integer;
  float real;
  grammar_table::Condition* condition;
}
%token <text> GT_IDENT GT_STRING
%token <integer> GT_INT
%token <real> GT_FLOAT
%token GT_LEX_ERROR
%token GT_MISSION GT_AUTHOR GT_DESCRIPTION GT_MAP GT_AREA GT_STYLE GT_OPEN GT_CLOSED GT_ROOF GT_LOCATIONS
%token GT_ENTRANCES GT_EXITS GT_WINDOWS GT_URBAN GT_DARK GT_INDOOR GT_RADIUS GT_LOCATION GT_FORCE GT_TEAM
%token GT_NPC GT_AMMO GT_ITEM GT_SKILL GT_WEAPON GT_PLAYER GT_RULES GT_SUCCESS GT_FAILURE GT_RESPAWN GT_PLAN
%token GT_AT GT_ON GT_SET GT_FOR GT_FOREVER GT_FROM GT_TO GT_TOWARDS GT_USING GT_WITH GT_WITHIN GT_WAIT
%token GT_ABORT GT_ADVANCE GT_ASSEMBLE GT_ATTACK GT_CONTINUE GT_COVER GT_DEFEND GT_FREEZE GT_INSERT GT_JOIN
%token GT_OBSERVE GT_MOVEUP GT_PATROL GT_PULLBACK GT_PHASE GT_RADIO GT_SIGNAL GT_SNIPE GT_SPAWN GT_SPLIT
%token GT_SPREAD GT_TAKE GT_UNTIL GT_READY GT_ASSEMBLED GT_CODE GT_CONTACT GT_UNDER GT_FIRE GT_CASUALTY
%token GT_OBJECTIVES GT_OCCUPIED GT_ELIMINATED GT_ALIVE GT_TIMEOUT GT_NONE GT_INDIVIDUAL GT_ANNOTATION
%token GT_AND GT_OR GT_ARROW

%nterm <text> place
%nterm <real> number
%nterm <condition> condition simple_condition
%nterm <integer> logic_operator map_style area_style wait_condition

%%

mission_script
  : GT_MISSION GT_STRING { context.mission->name = Take($2); }
    '{' author_clause description_clause rules_section map_section force_list objectives_section plan_list '}'
  ;
author_clause : GT_AUTHOR GT_STRING ';' { context.mission->author = Take($2); } ;
description_clause : GT_DESCRIPTION GT_STRING ';' { context.mission->description = Take($2); } ;
rules_section : GT_RULES '{' rule_list '}' ';' ;
rule_list : %empty | respawn_rule | respawn_rule ';' rule_list ;
respawn_rule
  : GT_RESPAWN '=' GT_NONE { context.mission->rules.emplace_back("respawn", 0); }
  | GT_RESPAWN '=' GT_INDIVIDUAL { context.mission->rules.emplace_back("respawn", 2); }
  | GT_RESPAWN '=' GT_TEAM { context.mission->rules.emplace_back("respawn", 1); }
  ;
map_section
  : GT_MAP GT_STRING { context.mission->map = Take($2); }
    '{' map_style_clause annotation_clause location_list area_list '}' ';'
  ;
map_style_clause : %empty | GT_STYLE '=' map_style_list ';' ;
map_style_list
  : map_style { context.mission->map_styles |= $1; }
  | map_style { context.mission->map_styles |= $1; } ',' map_style_list
  ;
map_style : GT_OPEN { $$ = 4; } | GT_URBAN { $$ = 1; } | GT_DARK { $$ = 2; } | GT_INDOOR { $$ = 8; } ;
annotation_clause : %empty | GT_ANNOTATION '=' string_sequence ';' ;
string_sequence
  : annotation_piece
  | annotation_piece string_sequence
  ;
annotation_piece : GT_STRING { char* s = $1; context.mission->annotation += s; std::free(s); } ;
location_list : %empty | location_decl | location_decl ';' location_list ;
location_decl
  : GT_LOCATION GT_IDENT '=' '<' GT_INT ',' GT_INT ',' GT_INT '>'
    {
      auto* location = new Location{Take($2), static_cast<float>($5), static_cast<float>($7),
                                    static_cast<float>($9)};
      context.mission->locations.push_back(location);
      context.mission->location_names.emplace(location->name, location);
    }
  ;
area_list : %empty | area_decl | area_decl ';' area_list ;
area_decl
  : GT_AREA GT_IDENT
    {
      context.area = new Area;
      context.area->name = Take($2);
      context.mission->areas.push_back(context.area);
      context.mission->area_names.emplace(context.area->name, context.area);
    }
    '{' area_style_clause ';' area_locations_clause ';' entrances_clause exits_clause windows_clause
    radius_clause optional_semicolon '}'
  ;
area_style_clause : GT_STYLE '=' area_style { context.area->style |= $3; } ;
area_style : GT_OPEN { $$ = 1; } | GT_CLOSED { $$ = 2; } | GT_ROOF { $$ = 4; } ;
area_locations_clause : GT_LOCATIONS '=' { context.area_list = 0; } location_ref_list ;
entrances_clause : %empty | GT_ENTRANCES '=' { context.area_list = 1; } location_ref_list ';' ;
exits_clause : %empty | GT_EXITS '=' { context.area_list = 2; } location_ref_list ';' ;
windows_clause : %empty | GT_WINDOWS '=' { context.area_list = 3; } location_ref_list ;
radius_clause : %empty | GT_RADIUS '=' GT_INT { context.area->radius = $3; } ;
optional_semicolon : %empty | ';' ;
location_ref_list : location_ref | location_ref ',' location_ref_list ;
location_ref
  : GT_IDENT
    {
      std::string name = Take($1);
      if (!IsLocation(name)) {
        SemanticError("use of undeclared location");
        YYABORT;
      }
      context.area->lists[context.area_list].push_back(std::move(name));
    }
  ;
force_list : force_decl ';' | force_decl ';' force_list ;
force_decl
  : GT_FORCE GT_STRING
    {
      context.force = new Force;
      context.force->name = Take($2);
      context.mission->forces.push_back(context.force);
      context.mission->force_names.emplace(context.force->name, context.force);
    }
    '{' team_list '}'
  ;
team_list : team_decl ';' | team_decl ';' team_list ;
team_decl
  : GT_TEAM GT_STRING
    {
      context.team = new Team;
      context.team->name = Take($2);
      context.force->teams.push_back(context.team);
      context.mission->teams.push_back(context.team);
      context.mission->team_names.emplace(context.team->name, context.team);
    }
    '{' member_list '}'
  ;
member_list : %empty | member_decl | member_decl ';' member_list ;
member_decl
  : member_head '{' equipment_list skill_clause '}'
  | player_head '{' equipment_list optional_skill '}'
  ;
member_head : GT_NPC GT_STRING GT_STRING
    {
      context.actor = new Actor{0, Take($2), Take($3), {}, {}, {}, 1};
      context.team->actors.push_back(context.actor);
      context.mission->actors.push_back(context.actor);
      context.mission->actor_names.emplace(context.actor->name, context.actor);
    }
  ;
player_head : GT_PLAYER GT_STRING GT_STRING
    {
      context.actor = new Actor{1, Take($2), Take($3), {}, {}, {}, 1};
      context.team->actors.push_back(context.actor);
      context.mission->actors.push_back(context.actor);
      context.mission->actor_names.emplace(context.actor->name, context.actor);
    }
  ;
equipment_list : %empty | equipment | equipment ';' equipment_list ;
equipment
  : GT_WEAPON GT_STRING { context.actor->weapons.push_back(Take($2)); }
  | GT_AMMO GT_STRING '=' GT_INT { context.actor->ammo.emplace_back(Take($2), $4); }
  | GT_ITEM GT_STRING { context.actor->items.push_back(Take($2)); }
  ;
skill_clause
  : GT_SKILL '=' number { context.actor->skill = $3 > 5.0f ? 5.0f : $3 < 1.0f ? 1.0f : $3; }
  | GT_SKILL '=' number ';' { context.actor->skill = $3 > 5.0f ? 5.0f : $3 < 1.0f ? 1.0f : $3; }
  ;
optional_skill : %empty | skill_clause ;
number : GT_FLOAT { $$ = $1; } | GT_INT { $$ = static_cast<float>($1); } ;

objectives_section : GT_OBJECTIVES '{' objective_list '}' ';' ;
objective_list : %empty | objective | objective ';' objective_list ;
objective
  : objective_head '=' condition GT_ARROW '{' next_mission_list '}' { context.objective->condition = $3; }
  ;
objective_head
  : GT_SUCCESS '(' GT_STRING ',' GT_STRING ')' { CHECK(AddObjective(0, $3, $5)); }
  | GT_FAILURE '(' GT_STRING ',' GT_STRING ')' { CHECK(AddObjective(1, $3, $5)); }
  ;
condition
  : simple_condition { $$ = $1; }
  | '(' condition logic_operator condition ')' { $$ = Leaf($3); $$->left = $2; $$->right = $4; }
  | '!' '(' condition ')' { $$ = Leaf(4); $$->left = $3; }
  ;
logic_operator : GT_OR { $$ = 2; } | GT_AND { $$ = 1; } ;
simple_condition
  : GT_ELIMINATED '(' GT_STRING ')'
    {
      $$ = Leaf(8);
      $$->name = Take($3);
      const Mission& m = *context.mission;
      if (!m.team_names.count($$->name) && !m.actor_names.count($$->name) && !m.force_names.count($$->name)) {
        SemanticError("use of undeclared member, team or force");
        YYABORT;
      }
    }
  | GT_OCCUPIED '(' GT_IDENT ')' { $$ = Leaf(16); $$->name = Take($3); }
  | GT_ALIVE '(' GT_STRING ')'
    {
      $$ = Leaf(32);
      $$->name = Take($3);
      const Mission& m = *context.mission;
      if (!m.team_names.count($$->name) && !m.actor_names.count($$->name) && !m.force_names.count($$->name)) {
        SemanticError("use of undeclared member, team or force");
        YYABORT;
      }
    }
  | GT_TIMEOUT '(' GT_INT ')' { $$ = Leaf(64); $$->value = $3; }
  ;
next_mission_list : next_mission | next_mission ',' next_mission_list ;
next_mission : GT_STRING { context.objective->next.push_back(Take($1)); } ;

plan_list : ';' | plan_decl ';' | plan_decl ';' plan_list ;
plan_decl
  : GT_PLAN GT_STRING
    {
      std::string owner = Take($2);
      auto team = context.mission->team_names.find(owner);
      if (team == context.mission->team_names.end()) {
        SemanticError("use of undeclared team");
        YYABORT;
      }
      context.list = &team->second->plan;
      context.owner = std::move(owner);
    }
    '{' statement_list '}' { context.list = nullptr; }
  ;
statement_list : %empty | statement | statement ';' statement_list ;
statement
  : GT_WAIT GT_INT { Append(1)->value = static_cast<float>($2); }
  | GT_WAIT GT_FLOAT { Append(1)->value = $2; }
  | GT_WAIT GT_FOREVER { Append(1)->value = -1; }
  | GT_WAIT GT_UNTIL wait_condition { Append(2)->events = $3; }
  | GT_WAIT GT_UNTIL GT_CODE '(' GT_STRING ')' { Instruction* i = Append(2); i->events = 3; i->text = Take($5); }
  | GT_ABORT { Append(3); }
  | GT_ADVANCE GT_TOWARDS place GT_USING GT_STRING
    { Instruction* i = Append(4); i->text = Take($5); Located(i, $3); }
  | GT_ASSEMBLE GT_AT place GT_USING GT_STRING
    { Instruction* i = Append(5); i->text = Take($5); Located(i, $3); }
  | GT_ATTACK GT_TOWARDS place { Located(Append(6), $3); }
  | GT_CONTINUE GT_WITH GT_PHASE GT_STRING { Append(7)->text = Take($4); }
  | GT_DEFEND GT_TOWARDS place GT_FROM place { Located(Append(8), $3, $5); }
  | GT_FREEZE GT_TOWARDS place GT_FOR GT_INT
    { Instruction* i = Append(9); i->value = static_cast<float>($5); Located(i, $3); }
  | GT_FREEZE GT_TOWARDS place GT_FOR GT_FLOAT
    { Instruction* i = Append(9); i->value = $5; Located(i, $3); }
  | GT_INSERT GT_AT place GT_USING GT_STRING
    { Instruction* i = Append(10); i->text = Take($5); Located(i, $3); }
  | GT_JOIN { Append(11); }
  | GT_MOVEUP GT_TO place GT_USING GT_STRING
    { Instruction* i = Append(12); i->text = Take($5); Located(i, $3); }
  | GT_OBSERVE place { Located(Append(13), $2); }
  | GT_PATROL
    {
      if (context.mission->areas.size() < 2) {
        SemanticError("patrol command requires at least 2 areas to be defined");
        YYABORT;
      }
      Append(14);
    }
  | GT_PATROL '(' { context.patrol.clear(); } patrol_area_list ')'
    {
      if (context.patrol.size() < 2) {
        SemanticError("patrol area list needs to include at least two areas");
        YYABORT;
      }
      Append(14)->patrol = context.patrol;
      context.patrol.clear();
    }
  | GT_PHASE GT_STRING { Instruction* i = Append(15); i->owner = Take($2); }
  | GT_PULLBACK GT_TO place GT_USING GT_STRING
    { Instruction* i = Append(16); i->text = Take($5); Located(i, $3); }
  | GT_RADIO GT_STRING { Append(17)->text = Take($2); }
  | on_head '{'
    {
      context.stack.push_back(context.list);
      context.list = new InstructionList;
    }
    statement_list '}'
    {
      InstructionList* body = context.list;
      context.list = context.stack.back();
      context.stack.pop_back();
      context.list->back()->body = body;
    }
  | GT_SIGNAL GT_TOWARDS place { Located(Append(19), $3); }
  | GT_SIGNAL GT_TOWARDS place GT_STRING
    { Instruction* i = Append(19); i->text = Take($4); Located(i, $3); }
  | GT_SIGNAL GT_CODE GT_STRING { Append(20)->text = Take($3); }
  | GT_SNIPE GT_FROM place GT_TOWARDS place { Located(Append(21), $3, $5); }
  | GT_SPAWN { Append(22); }
  | GT_SPLIT GT_STRING GT_INT { Instruction* i = Append(23); i->text = Take($2); i->value = static_cast<float>($3); }
  | GT_SPREAD GT_TOWARDS place GT_WITHIN GT_INT
    { Instruction* i = Append(24); i->value = static_cast<float>($5); Located(i, $3); }
  | GT_SPREAD GT_TOWARDS place GT_WITHIN GT_FLOAT
    { Instruction* i = Append(24); i->value = $5; Located(i, $3); }
  | GT_TAKE GT_COVER GT_FROM place { Located(Append(25), $4); }
  ;
place
  : GT_IDENT
    {
      if (!IsLocation($1)) {
        std::free($1);
        SemanticError("use of undeclared location");
        YYABORT;
      }
      $$ = $1;
    }
  ;
wait_condition : GT_READY { $$ = 1; } | GT_ASSEMBLED { $$ = 2; } ;
patrol_area_list : patrol_area | patrol_area ',' patrol_area_list ;
patrol_area
  : GT_IDENT
    {
      std::string name = Take($1);
      if (!context.mission->area_names.count(name)) {
        SemanticError("undefined area label in patrol area list");
        YYABORT;
      }
      context.patrol.push_back(std::move(name));
    }
  ;
on_head
  : GT_ON '(' { context.events = 0; context.code.clear(); } event_list ')'
    {
      Instruction* i = Append(18);
      i->events = context.events;
      i->text = context.code;
    }
  ;
event_list : event | event ',' event_list ;
event
  : GT_CONTACT { context.events |= 2; }
  | GT_UNDER GT_FIRE { context.events |= 4; }
  | GT_CASUALTY { context.events |= 8; }
  | GT_CODE GT_STRING { context.events |= 16; context.code = Take($2); }
  ;

%%

namespace grammar_table {

int ParseFile(const char* path, Mission& mission) {
  gt_in = std::fopen(path, "rb");
  if (!gt_in) return 1;
  gt_line = 1;
  context = Context{};
  context.mission = &mission;
  const int result = gt_parse();
  std::fclose(gt_in);
  return result == 0 ? 0 : 2;
}

}  // namespace grammar_table
