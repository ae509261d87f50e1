#include <cstdio>
#include <string>

#include "platform/com_runtime.h"

namespace platform {

std::string DescribeHResult(HRESULT hr) {
  struct Entry {
    HRESULT code;
    const char* text;
  };
  static constexpr Entry kTexts[] = {
      {S_OK, "success"},
      {S_FALSE, "success (false)"},
      {E_NOTIMPL, "not implemented"},
      {E_NOINTERFACE, "no such interface"},
      {E_POINTER, "null pointer"},
      {E_FAIL, "unspecified failure"},
      {E_UNEXPECTED, "unexpected failure"},
      {E_ACCESSDENIED, "access denied"},
      {E_OUTOFMEMORY, "out of memory"},
      {E_INVALIDARG, "invalid argument"},
      {CLASS_E_NOAGGREGATION, "class does not support aggregation"},
      {CLASS_E_CLASSNOTAVAILABLE, "class not available from this module"},
      {REGDB_E_CLASSNOTREG, "class not registered"},
      {REGDB_E_READREGDB, "cannot read the registry"},
      {REGDB_E_WRITEREGDB, "cannot write the registry"},
      {CO_E_CLASSSTRING, "invalid class string"},
      {CO_E_DLLNOTFOUND, "module of the class cannot be loaded"},
      {CO_E_ERRORINDLL, "module of the class has no class object entry"},
      {DISP_E_MEMBERNOTFOUND, "member not found"},
      {DISP_E_TYPEMISMATCH, "type mismatch"},
      {DISP_E_UNKNOWNNAME, "unknown name"},
      {DISP_E_BADPARAMCOUNT, "wrong number of parameters"},
      {TYPE_E_LIBNOTREGISTERED, "type library not registered"},
      {SELFREG_E_TYPELIB, "type library registration failed"},
      {SELFREG_E_CLASS, "class registration failed"},
  };
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
  for (const Entry& entry : kTexts) {
    if (entry.code == hr) return std::string(code) + " " + entry.text;
  }
  return code;
}

}  // namespace platform
