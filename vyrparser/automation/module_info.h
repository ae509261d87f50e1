// What the module says about itself; on Windows these were its string table and version block.
#pragma once

namespace vyr::automation {

inline constexpr const char* kModuleName = "vyrmission";
inline constexpr const char* kFileVersion = "1, 0, 0, 1";
inline constexpr const char* kProductVersion = "1, 0, 0, 1";
inline constexpr const char* kFileDescription = "vyrmission Module";
inline constexpr const char* kProductName = "vyrmission Module";
inline constexpr const char* kInternalName = "vyrmission";
inline constexpr const char* kOriginalFilename = "vyrmission.DLL";
// The module registers itself (DllRegisterServer / DllUnregisterServer).
inline constexpr const char* kOleSelfRegister = "OLESelfRegister";

}  // namespace vyr::automation
