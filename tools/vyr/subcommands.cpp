#include "tools/vyr/subcommands.h"

#include <array>

namespace vyr::tool {

namespace {

// To add a subcommand: declare its Run function in subcommands.h, give it a file, add a row here.
constexpr std::array kSubcommands = {
    Subcommand{"advise", "PARTIAL", "print 'advice recorded studied' for PARTIAL.exp and PARTIAL.tac", 1, 1,
               RunAdvise},
    Subcommand{"incorporate", "PARTIAL", "bring PARTIAL.tac up to date with PARTIAL.exp", 1, 1,
               RunIncorporate},
};

}  // namespace

std::span<const Subcommand> Subcommands() {
  return kSubcommands;
}

}  // namespace vyr::tool
