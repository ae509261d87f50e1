// Class creation and server registration on Windows: the system's COM does the work.
#include <string>

#include "platform/codepage.h"
#include "platform/com_runtime.h"

namespace platform {
namespace {

void SetText(std::string* out, std::string text) {
  if (out != nullptr) *out = std::move(text);
}

std::wstring Wide(std::string_view text) {
  const auto wide = Utf8ToUtf16(text);
  return wide ? std::wstring(wide->begin(), wide->end()) : std::wstring();
}

}  // namespace

HRESULT CoCreateInstance(REFCLSID clsid, REFIID iid, void** object, std::string* error_text) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  const HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
  if (FAILED(hr)) SetText(error_text, "creating " + GuidToString(clsid) + " failed: " + DescribeHResult(hr));
  return hr;
}

HRESULT CLSIDFromProgID(std::string_view prog_id, CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = GUID_NULL;
  if (prog_id.empty()) return CO_E_CLASSSTRING;
  return ::CLSIDFromProgID(Wide(prog_id).c_str(), clsid);
}

HRESULT RegisterServer(const std::string& library_path, bool unregister, std::string* message) {
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  const HMODULE module = ::LoadLibraryW(Wide(library_path).c_str());
  if (module == nullptr) {
    SetText(message, "cannot load " + library_path);
    return CO_E_DLLNOTFOUND;
  }
  const auto function =
      reinterpret_cast<DllRegisterServerFn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, entry)));
  if (function == nullptr) {
    SetText(message, library_path + " was loaded, but the " + entry + " entry point was not found.");
    ::FreeLibrary(module);
    return CO_E_ERRORINDLL;
  }
  const HRESULT hr = function();
  SetText(message, std::string(entry) + " in " + library_path +
                       (SUCCEEDED(hr) ? " succeeded." : " failed: " + DescribeHResult(hr)));
  ::FreeLibrary(module);
  return hr;
}

std::string ModuleFileName(const void* address) {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCWSTR>(address), &module)) {
    return {};
  }
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // cut short: try again with room for a long path
  }
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(path.data()), path.size()));
}

HRESULT EnsureServerRegistered(REFCLSID clsid, const std::string& library_path, std::string* message) {
  IUnknown* probe = nullptr;
  if (SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(&probe)))) {
    probe->Release();
    SetText(message, "class " + GuidToString(clsid) + " is registered");
    return S_FALSE;
  }
  return RegisterServer(library_path, false, message);
}

}  // namespace platform
