#include "tools/vyr/subcommands.h"

#include <array>

namespace vyr::tool {

namespace {

// To add a subcommand: declare its Run function in subcommands.h, give it a file, add a row here.
constexpr std::array kSubcommands = {
    Subcommand{"check", "FILE", "parse a mission script; the parser's messages on stderr; exit 0, 1 or 2", 1,
               1, RunCheck},
    Subcommand{"dump", "FILE", "print the parsed mission as JSON", 1, 1, RunDump},
    Subcommand{"rewrite", "IN OUT", "parse IN and write it to OUT in the library's layout", 2, 2, RunRewrite},
    Subcommand{"plan", "FILE TEAM", "print a team's plan", 2, 2, RunPlan},
    Subcommand{"advise", "PARTIAL", "print 'advice recorded studied' for PARTIAL.exp and PARTIAL.tac", 1, 1,
               RunAdvise},
    Subcommand{"incorporate", "PARTIAL", "bring PARTIAL.tac up to date with PARTIAL.exp", 1, 1,
               RunIncorporate},
    Subcommand{"build", "[--check] PROJECT.cme OUT.vyr",
               "write the mission script of a project; --check also parses it with the registered library", 2,
               3, RunBuild},
    Subcommand{"import", "SCRIPT.vyr OUT.cme",
               "turn a mission script into a project and its four section files named after OUT", 2, 2,
               RunImport},
    Subcommand{"map", "PROJECT.cme OUT.svg|OUT.png [--force NAME]",
               "draw the project's map as the editor does; --force shows one force's routes only", 2, 4,
               RunMap},
    Subcommand{"problems", "[--json] PROJECT.cme",
               "list a project's problems, one a line; exit 0 no error, 2 errors, 1 unreadable", 1, 2,
               RunProblems},
};

}  // namespace

std::span<const Subcommand> Subcommands() {
  return kSubcommands;
}

bool TakeOption(Arguments& operands, std::string_view option) {
  if (operands.empty() || operands.front() != option) return false;
  operands.erase(operands.begin());
  return true;
}

}  // namespace vyr::tool
