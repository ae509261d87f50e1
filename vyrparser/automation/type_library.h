// The type library of VYRMISSIONLib, compiled into the module: what late-bound callers may call,
// and the registry entries that make it usable.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/com.h"

namespace vyr::automation {

inline constexpr const char* kTypeLibraryName = "VYRMISSIONLib";
inline constexpr const char* kTypeLibraryHelp = "vyrmission 1.0 Type Library";
inline constexpr const char* kTypeLibraryVersion = "1.0";
inline constexpr platform::LCID kTypeLibraryLocale = 1033;
inline constexpr const char* kClassHelp = "VYRMission Class";
inline constexpr const char* kInterfaceHelp = "IVYRMission Interface";
inline constexpr const char* kInterface2Help = "IVYRMission2 Interface";

enum class ParamType : std::uint8_t { kI2, kI4, kR4, kBstr };
enum ParamFlag : std::uint8_t { kParamIn = 1, kParamOut = 2, kParamRetval = 4 };

// The automation type a parameter of this kind travels as.
inline platform::VARTYPE VarTypeOf(ParamType type) {
  switch (type) {
    case ParamType::kI2:
      return platform::VT_I2;
    case ParamType::kI4:
      return platform::VT_I4;
    case ParamType::kR4:
      return platform::VT_R4;
    case ParamType::kBstr:
      return platform::VT_BSTR;
  }
  return platform::VT_EMPTY;
}

struct ParamDescription {
  const char* name;  // "" for the unnamed value of a property put
  ParamType type;
  std::uint8_t flags;  // 0 for a string pointer declared without a direction: written like [out]
};

struct FunctionDescription {
  const char* name;
  platform::DISPID dispid;
  platform::WORD invoke_kind;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
  int slot;                    // position in the table of operations
  const char* help;
  std::span<const ParamDescription> params;
};

// The operations of IVYRMission in slot order (slots 7 to 38).
std::span<const FunctionDescription> IVYRMissionFunctions();
// The operations of IVYRMission2 in slot order: those of IVYRMission, then slots 39 to 57.
std::span<const FunctionDescription> IVYRMission2Functions();

// An interface as GetTypeInfo describes it: its identity and its rows.
struct InterfaceDescription {
  const char* name;
  const char* help;
  platform::IID iid;
  std::span<const FunctionDescription> functions;
};
const InterfaceDescription& IVYRMissionDescription();
// IVYRMission2 with all its rows, IVYRMission's first.
const InterfaceDescription& IVYRMission2Description();

// A new ITypeInfo (one reference, holding the module loaded) for the dispatch view of a dual interface: one
// function per row, [out, retval] as the function's result, other outputs as pointers.
platform::HRESULT CreateTypeInfo(const InterfaceDescription& description, platform::ITypeInfo** info);

// GetIDsOfNames over `functions`: the member name, then names of its parameters (their positions),
// all compared ignoring case. Unknown names get DISPID_UNKNOWN and the result DISP_E_UNKNOWNNAME.
platform::HRESULT LookUpNames(std::span<const FunctionDescription> functions, platform::LPOLESTR* names,
                              platform::UINT name_count, platform::DISPID* dispids);

// Registers the type library of the module at `module_path` (the type library of its resources on
// Windows, the compiled-in description elsewhere), with the module's folder as its help folder.
platform::HRESULT RegisterTypeLibrary(const std::string& module_path);
// Removes what RegisterTypeLibrary wrote; the library key stays while another version is registered.
platform::HRESULT UnregisterTypeLibrary();
// True when the registry names a module for the type library.
bool TypeLibraryRegistered();

}  // namespace vyr::automation
