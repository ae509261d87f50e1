#include "platform/com_runtime.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>

#include "platform/registry.h"

namespace platform {
namespace {

void SetText(std::string* out, std::string text) {
  if (out != nullptr) *out = std::move(text);
}

std::string DlError() {
  const char* text = ::dlerror();
  return text != nullptr ? text : "unknown reason";
}

// Modules stay loaded for the life of the process: objects and class objects they handed out live in them.
std::mutex& ModulesMutex() {
  static std::mutex mutex;
  return mutex;
}
std::map<std::string, void*>& LoadedModules() {
  static std::map<std::string, void*> modules;
  return modules;
}

void* LoadModuleOnce(const std::string& path, std::string* error_text) {
  std::lock_guard<std::mutex> lock(ModulesMutex());
  auto& modules = LoadedModules();
  if (auto it = modules.find(path); it != modules.end()) return it->second;
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    SetText(error_text, "cannot load " + path + ": " + DlError());
    return nullptr;
  }
  modules.emplace(path, handle);
  return handle;
}

template <typename Fn>
Fn Symbol(void* handle, const char* name) {
  return reinterpret_cast<Fn>(::dlsym(handle, name));
}

}  // namespace

HRESULT CoCreateInstance(REFCLSID clsid, REFIID iid, void** object, std::string* error_text) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  RegistryTree tree;
  Registry registry = Registry::Default();
  if (Status loaded = registry.Load(&tree); !loaded) {
    SetText(error_text, loaded.message);
    return REGDB_E_READREGDB;
  }
  const std::string key = "CLSID\\" + GuidToString(clsid) + "\\InprocServer32";
  const auto module = tree.QueryString(key, "");
  if (!module || module->empty()) {
    SetText(error_text, "class " + GuidToString(clsid) + " is not registered in " + registry.Path());
    return REGDB_E_CLASSNOTREG;
  }
  void* handle = LoadModuleOnce(*module, error_text);
  if (handle == nullptr) return CO_E_DLLNOTFOUND;
  const auto get_class_object = Symbol<DllGetClassObjectFn>(handle, "DllGetClassObject");
  if (get_class_object == nullptr) {
    SetText(error_text, *module + " does not export DllGetClassObject");
    return CO_E_ERRORINDLL;
  }
  ComPtr<IClassFactory> factory;
  HRESULT hr = get_class_object(clsid, IID_IClassFactory, factory.PutVoid());
  if (FAILED(hr) || !factory) {
    SetText(error_text,
            *module + " has no class object for " + GuidToString(clsid) + ": " + DescribeHResult(hr));
    return FAILED(hr) ? hr : E_UNEXPECTED;
  }
  hr = factory->CreateInstance(nullptr, iid, object);
  if (FAILED(hr)) {
    *object = nullptr;
    SetText(error_text, "creating " + GuidToString(clsid) + " failed: " + DescribeHResult(hr));
  }
  return hr;
}

HRESULT CLSIDFromProgID(std::string_view prog_id, CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = GUID_NULL;
  RegistryTree tree;
  if (!Registry::Default().Load(&tree)) return REGDB_E_READREGDB;
  if (prog_id.empty()) return CO_E_CLASSSTRING;
  const auto text = tree.QueryString(std::string(prog_id) + "\\CLSID", "");
  if (!text) return CO_E_CLASSSTRING;
  const auto guid = GuidFromString(*text);
  if (!guid) return CO_E_CLASSSTRING;
  *clsid = *guid;
  return S_OK;
}

HRESULT RegisterServer(const std::string& library_path, bool unregister, std::string* message) {
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  // A path without a slash would make the loader search the library path; the registry wants this file.
  std::error_code ec;
  std::string path = std::filesystem::absolute(library_path, ec).string();
  if (ec) path = library_path;
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    SetText(message, "cannot load " + library_path + ": " + DlError());
    return CO_E_DLLNOTFOUND;
  }
  const auto function = Symbol<DllRegisterServerFn>(handle, entry);
  if (function == nullptr) {
    SetText(message, library_path + " was loaded, but the " + entry + " entry point was not found.");
    ::dlclose(handle);
    return CO_E_ERRORINDLL;
  }
  const HRESULT hr = function();
  if (SUCCEEDED(hr)) {
    SetText(message, std::string(entry) + " in " + library_path + " succeeded.");
  } else {
    SetText(message, std::string(entry) + " in " + library_path + " failed: " + DescribeHResult(hr));
  }
  ::dlclose(handle);
  return hr;
}

std::string ModuleFileName(const void* address) {
  Dl_info info{};
  if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
  std::error_code ec;
  const std::filesystem::path path = std::filesystem::absolute(info.dli_fname, ec);
  return ec ? std::string(info.dli_fname) : path.lexically_normal().string();
}

HRESULT EnsureServerRegistered(REFCLSID clsid, const std::string& library_path, std::string* message) {
  RegistryTree tree;
  if (Status loaded = Registry::Default().Load(&tree); !loaded) {
    SetText(message, loaded.message);
    return REGDB_E_READREGDB;
  }
  const auto module = tree.QueryString("CLSID\\" + GuidToString(clsid) + "\\InprocServer32", "");
  struct stat info {};
  if (module && !module->empty() && ::stat(module->c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    SetText(message, "class " + GuidToString(clsid) + " is registered to " + *module);
    return S_FALSE;
  }
  return RegisterServer(library_path, false, message);
}

}  // namespace platform
