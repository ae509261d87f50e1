#include "vyrparser/automation/printing.h"

namespace vyr::automation {

std::string PlanText(const parser::InstructionList&, int) { return {}; }

std::string ConditionText(const parser::ConditionNode*) { return {}; }

bool WriteMissionFile(const std::filesystem::path&, const parser::ParsedMission&) { return false; }

}  // namespace vyr::automation
