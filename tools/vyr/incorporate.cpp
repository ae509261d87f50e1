#include <iostream>

#include "tools/vyr/subcommands.h"
#include "vyrparser/core/tactical_experience.h"

namespace vyr::tool {

// vyr incorporate PARTIAL: exit 0 when PARTIAL.tac is (now) up to date, 1 when nothing could be done.
int RunIncorporate(const Arguments& operands) {
  const parser::IncorporateResult result = parser::IncorporateMissionExperiences(operands[0]);
  switch (result.outcome) {
    case parser::IncorporateOutcome::kUpdated:
    case parser::IncorporateOutcome::kAlreadyCurrent:
      std::cout << result.message << '\n';
      return kExitOk;
    case parser::IncorporateOutcome::kNotApplicable:
    case parser::IncorporateOutcome::kWriteFailed:
      break;
  }
  std::cerr << "vyr incorporate: " << result.message << '\n';
  return kExitFailure;
}

}  // namespace vyr::tool
