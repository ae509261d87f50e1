// The game's own names for an actor's equipment, shared by the generator and the import, and the
// quoting (editor/document/quoted.h) both use when they write a name into a script.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "editor/document/quoted.h"

namespace vyr::editor {

// In field order: weapon1..weapon6, item1..item5, ammo1..ammo5.
inline constexpr std::array<std::string_view, 6> kWeaponNames = {
    "Dual MK23 Pistols",           "MP5/10 Submachinegun", "M4 Assault Rifle",
    "M3 Super 90 Assault Shotgun", "Handcannon",           "Sniper Rifle"};
inline constexpr std::array<std::string_view, 5> kItemNames = {"Bandolier", "Kevlar Vest", "Lasersight",
                                                               "Silencer", "Stealth Slippers"};
inline constexpr std::array<std::string_view, 5> kAmmoNames = {
    "Pistol Clip", "Machinegun Magazine", "M4 Clip", "12 Gauge Shells", "AP Sniper Ammo"};

}  // namespace vyr::editor
