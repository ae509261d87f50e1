#include "vyrparser/automation/actor_operations.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "vyrparser/automation/values.h"

namespace vyr::automation {
namespace {

using parser::ParsedMission;
using parser::Text;

constexpr std::array<std::string_view, 7> kWeaponNames = {
    "MK23 Pistol", "MP5/10 Submachinegun", "M4 Assault Rifle", "M3 Super 90 Assault Shotgun",
    "Handcannon",  "Sniper Rifle",         "Dual MK23 Pistols"};
constexpr std::array<std::string_view, 5> kAmmunitionNames = {"Pistol Clip", "Machinegun Magazine", "M4 Clip",
                                                              "12 Gauge Shells", "AP Sniper Ammo"};
constexpr std::array<std::string_view, 5> kItemNames = {"Silencer", "Stealth Slippers", "Bandolier",
                                                        "Kevlar Vest", "Lasersight"};

template <std::size_t N>
bool InList(const std::array<std::string_view, N>& list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

// Keeps the first `wanted` entries named `name` (ignoring case), drops the rest, then appends copies of
// `name` until there are `wanted`.
void SetNamedCount(ParsedMission& model, parser::ModelList<Text>& list, std::string_view name, int wanted) {
  std::vector<Text> kept(list.begin(), list.end());
  int found = 0;
  std::erase_if(kept, [&](const Text& entry) {
    if (!EqualIgnoringCase(entry.view(), name)) return false;
    return found++ >= wanted;
  });
  for (; found < wanted; ++found)
    kept.push_back(model.MakeText(name));
  model.AssignList(list, std::span<const Text>(kept));
}

}  // namespace

void DescribeActor(const parser::MissionActor& actor, platform::BSTR* theActorType,
                   platform::BSTR* theActorName, platform::BSTR* theActorModelAndSkin, float* theActorSkill) {
  Put(theActorType, actor.type == parser::kActorPlayer ? "player" : "npc");
  Put(theActorName, actor.name.view());
  Put(theActorModelAndSkin, actor.model_and_skin.view());
  Put(theActorSkill, actor.skill);
}

std::int64_t CountActorItems(const parser::MissionActor& actor, std::string_view name) {
  std::int64_t count = 0;
  for (const Text& weapon : actor.weapons)
    count += EqualIgnoringCase(weapon.view(), name) ? 1 : 0;
  for (const parser::AmmoEntry& ammo : actor.ammunition) {
    if (EqualIgnoringCase(ammo.name.view(), name)) count += ammo.count;
  }
  for (const Text& item : actor.items)
    count += EqualIgnoringCase(item.view(), name) ? 1 : 0;
  return count;
}

void ChangeActorItemCount(ParsedMission& model, parser::MissionActor& actor, std::string_view name,
                          std::int16_t count) {
  if (InList(kWeaponNames, name)) {
    SetNamedCount(model, actor.weapons, name, count);
  } else if (InList(kItemNames, name)) {
    SetNamedCount(model, actor.items, name, count);
  } else if (InList(kAmmunitionNames, name)) {
    std::vector<parser::AmmoEntry> ammunition(actor.ammunition.begin(), actor.ammunition.end());
    const auto it = std::find_if(ammunition.begin(), ammunition.end(), [&](const parser::AmmoEntry& entry) {
      return EqualIgnoringCase(entry.name.view(), name);
    });
    if (it == ammunition.end()) {
      ammunition.push_back(parser::AmmoEntry{model.MakeText(name), count});
    } else if (count == 0) {
      ammunition.erase(it);
    } else {
      it->count = count;
    }
    model.AssignList(actor.ammunition, std::span<const parser::AmmoEntry>(ammunition));
  }
}

void ChangeActorModelSkin(ParsedMission& model, parser::MissionActor& actor, std::string_view text) {
  model.ReplaceText(actor.model_and_skin, text);
}

void ChangeActorType(parser::MissionActor& actor, std::string_view type) {
  if (type == "npc") {
    actor.type = parser::kActorNpc;
  } else if (type == "player") {
    actor.type = parser::kActorPlayer;
  }
}

}  // namespace vyr::automation
