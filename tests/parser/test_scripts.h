#pragma once

#include <string>
#include <string_view>

#include "vyrparser/core/parsed_mission.h"
#include "vyrparser/core/parser.h"

namespace vyr::parser::testing {

// The smallest useful script, on one line.
inline constexpr std::string_view kSmallest =
    R"(mission "m" { author "a"; description "d"; rules { respawn = none; }; map "city" { location l1 = <0, 0, 0>; location l2 = <100, 0, 0> }; force "blue" { team "alpha" { npc "bob" "terror/terror" { weapon "Handcannon"; skill = 3 } }; }; objectives { }; plan "alpha" { advance towards l2 using "walk" }; })";

// A script with `map_body` inside the map's braces, `objectives` inside the objectives' braces and
// `plans` as the plan list (one ";" when empty); one force "blue" with teams "alpha" (npc "bob") and
// "bravo" (player "pat").
std::string Script(std::string_view map_body, std::string_view objectives = "", std::string_view plans = ";");

// `statements` as the plan of team "alpha", in a map with locations l1..l3 and areas a1, a2.
std::string PlanScript(std::string_view statements);

struct Outcome {
  ParseResult result;
  std::string errors;
};

// Parses `text` into `mission`, capturing the messages.
Outcome Parse(std::string_view text, ParsedMission& mission);

// The three-line report of a syntax or semantic error.
std::string SyntaxReport(int line, std::string_view near, std::string_view cause);

}  // namespace vyr::parser::testing
