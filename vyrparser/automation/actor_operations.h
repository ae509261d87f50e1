// The actor operations both interfaces offer, on an actor already found by index: IVYRMission finds it
// by its position among all actors, IVYRMission2 by force, team and position.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/com.h"
#include "vyrparser/core/parsed_mission.h"

namespace vyr::automation {

void DescribeActor(const parser::MissionActor& actor, platform::BSTR* theActorType,
                   platform::BSTR* theActorName, platform::BSTR* theActorModelAndSkin, float* theActorSkill);
// Weapons and items named `name` plus the counts of ammunition entries of that name, ignoring case.
std::int64_t CountActorItems(const parser::MissionActor& actor, std::string_view name);
// `name` is matched exactly against the fixed weapon, item and ammunition lists; other names change nothing.
void ChangeActorItemCount(parser::ParsedMission& model, parser::MissionActor& actor, std::string_view name,
                          std::int16_t count);
void ChangeActorModelSkin(parser::ParsedMission& model, parser::MissionActor& actor, std::string_view text);
// "npc" and "player" exactly; anything else changes nothing.
void ChangeActorType(parser::MissionActor& actor, std::string_view type);

}  // namespace vyr::automation
