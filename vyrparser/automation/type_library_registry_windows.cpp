// The type library on Windows: the one in the module's TYPELIB resource, registered by the system.
#include <string>

#include "platform/codepage.h"
#include "platform/com.h"
#include "vyrparser/automation/ivyrmission.h"
#include "vyrparser/automation/type_library.h"

namespace vyr::automation {
namespace {

using namespace platform;

std::wstring Wide(const std::string& text) {
  const auto wide = Utf8ToUtf16(text);
  return wide ? std::wstring(wide->begin(), wide->end()) : std::wstring();
}

}  // namespace

HRESULT RegisterTypeLibrary(const std::string& module_path) {
  const std::wstring path = Wide(module_path);
  if (path.empty()) return SELFREG_E_TYPELIB;
  ITypeLib* library = nullptr;
  HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) {
    // A file of the same name ending in ".tlb" beside the module, as the server was once shipped.
    std::wstring tlb = path;
    const std::size_t dot = tlb.find_last_of(L'.');
    tlb = (dot == std::wstring::npos ? tlb : tlb.substr(0, dot)) + L".tlb";
    hr = ::LoadTypeLibEx(tlb.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr)) return SELFREG_E_TYPELIB;
  }
  std::wstring module = path;
  const std::size_t slash = module.find_last_of(L"\\/");
  std::wstring folder = module.substr(0, slash == std::wstring::npos ? 0 : slash);
  hr = ::RegisterTypeLib(library, module.data(), folder.data());
  library->Release();
  return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
}

// A library that was not registered is no failure: what matters is that none is registered afterwards.
HRESULT UnregisterTypeLibrary() {
  ::UnRegisterTypeLib(LIBID_VYRMISSIONLib, 1, 0, kTypeLibraryLocale, SYS_WIN64);
  return TypeLibraryRegistered() ? SELFREG_E_TYPELIB : S_OK;
}

bool TypeLibraryRegistered() {
  BSTR path = nullptr;
  const bool registered =
      SUCCEEDED(::QueryPathOfRegTypeLib(LIBID_VYRMISSIONLib, 1, 0, kTypeLibraryLocale, &path));
  SysFreeString(path);
  return registered;
}

}  // namespace vyr::automation
