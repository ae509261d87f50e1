#include "test_scripts.h"

#include <sstream>

namespace vyr::parser::testing {

std::string Script(std::string_view map_body, std::string_view objectives, std::string_view plans) {
  std::string s = "mission \"m\"\n{\n  author \"a\";\n  description \"d\";\n  rules { respawn = none; };\n";
  s += "  map \"city\" {\n";
  s += map_body;
  s += "\n  };\n";
  s += "  force \"blue\" {\n    team \"alpha\" { npc \"bob\" \"terror/terror\" { skill = 3 } };\n";
  s += "    team \"bravo\" { player \"pat\" \"male/jungle\" { } };\n  };\n";
  s += "  objectives {\n";
  s += objectives;
  s += "\n  };\n";
  s += plans;
  s += "\n}\n";
  return s;
}

std::string PlanScript(std::string_view statements) {
  std::string plan = "  plan \"alpha\" {\n";
  plan += statements;
  plan += "\n  };";
  return Script(
      "    location l1 = <0, 0, 0>; location l2 = <1, 2, 3>; location l3 = <4, 5, 6>;\n"
      "    area a1 { style = open; locations = l1; };\n"
      "    area a2 { style = roof; locations = l2, l3; }",
      "", plan);
}

Outcome Parse(std::string_view text, ParsedMission& mission) {
  std::ostringstream errors;
  const ParseResult result = ParseMissionBuffer(text, mission, errors);
  return {result, errors.str()};
}

std::string SyntaxReport(int line, std::string_view near, std::string_view cause) {
  std::ostringstream s;
  s << "ERROR in syntax found, at line " << line << "\nnear: '" << near << "'.\nCAUSE " << cause << "\n";
  return s.str();
}

}  // namespace vyr::parser::testing
