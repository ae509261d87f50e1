// The writer's pieces the automation object uses, as texts and files.
#pragma once

#include <filesystem>
#include <string>

#include "vyrparser/core/parsed_mission.h"

namespace vyr::automation {

// A team's plan as the statement printer writes it at the given indentation, whole (no length limit).
std::string PlanText(const parser::InstructionList& plan, int indentation);
// One condition on one line; "" for none.
std::string ConditionText(const parser::ConditionNode* condition);
// Writes the whole mission; false when the file cannot be written (the old file is then intact).
bool WriteMissionFile(const std::filesystem::path& path, const parser::ParsedMission& mission);

}  // namespace vyr::automation
