#include <iostream>

#include "tools/vyr/subcommands.h"
#include "vyrparser/core/tactical_experience.h"

namespace vyr::tool {

// vyr advise PARTIAL: one line "advice recorded studied", as the automation interface reports them.
int RunAdvise(const Arguments& operands) {
  const parser::ExperienceAdvice advice = parser::NeedToIncorporateMissionExperiences(operands[0]);
  std::cout << advice.advice << ' ' << advice.missions_recorded << ' ' << advice.missions_studied << '\n';
  return kExitOk;
}

}  // namespace vyr::tool
