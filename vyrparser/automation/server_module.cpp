// The server module: its lock count, the class object of VYRMission, registration, and the four
// entry points that are the library's only exported symbols.
#include <atomic>
#include <string>

#include "platform/com.h"
#include "platform/com_runtime.h"
#include "platform/registry.h"
#include "vyrparser/automation/module.h"
#include "vyrparser/automation/module_info.h"
#include "vyrparser/automation/serial_call.h"
#include "vyrparser/automation/type_library.h"
#include "vyrparser/automation/vyr_mission.h"

namespace vyr::automation {
namespace {

using namespace platform;

std::atomic<long> g_lock_count{0};

// The class object lives as long as the module; references to it do not keep the module loaded.
class VYRMissionFactory final : public IClassFactory {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    const SerialCall serial;
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override {
    const SerialCall serial;
    return ++refs_;
  }
  ULONG Release() override {
    const SerialCall serial;
    return --refs_;
  }
  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    const SerialCall serial;
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return VYRMission::Create(riid, object);
  }
  HRESULT LockServer(int lock) override {
    const SerialCall serial;
    if (lock != 0) {
      LockModule();
    } else {
      UnlockModule();
    }
    return S_OK;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

VYRMissionFactory& ClassObject() {
  static VYRMissionFactory factory;  // made on first request; initialisation is thread-safe
  return factory;
}

// The absolute path this library was loaded from.
std::string ModulePath() {
  return ModuleFileName(reinterpret_cast<const void*>(&ModulePath));
}

std::string ClassKey() {
  return "CLSID\\" + GuidToString(CLSID_VYRMission);
}

// The class's registry entries; the class key is replaced whole, the ProgID keys are updated in place.
void WriteClassEntries(RegistryTree& tree, const std::string& module_path) {
  const std::string clsid = GuidToString(CLSID_VYRMission);
  tree.SetString(kVYRMissionProgId, "", kClassHelp);
  tree.SetString(std::string(kVYRMissionProgId) + "\\CLSID", "", clsid);
  tree.SetString(kVYRMissionVersionIndependentProgId, "", kClassHelp);
  tree.SetString(std::string(kVYRMissionVersionIndependentProgId) + "\\CLSID", "", clsid);
  tree.SetString(std::string(kVYRMissionVersionIndependentProgId) + "\\CurVer", "", kVYRMissionProgId);

  const std::string key = ClassKey();
  tree.DeleteTree(key);
  tree.SetString(key, "", kClassHelp);
  tree.SetString(key + "\\ProgID", "", kVYRMissionProgId);
  tree.SetString(key + "\\VersionIndependentProgID", "", kVYRMissionVersionIndependentProgId);
  tree.CreateKey(key + "\\Programmable");
  tree.SetString(key + "\\InprocServer32", "", module_path);
#ifndef _WIN32
  // Windows registers no threading model, so COM keeps every call on the main thread. Here calls come
  // from any thread and the library runs them one at a time: that is what "Both" tells a reader.
  tree.SetString(key + "\\InprocServer32", "ThreadingModel", "Both");
#endif
  tree.SetString(key + "\\TypeLib", "", GuidToString(LIBID_VYRMISSIONLib));
}

void RemoveClassEntries(RegistryTree& tree) {
  tree.DeleteTree(ClassKey());  // the CLSID key itself stays
  tree.DeleteTree(kVYRMissionProgId);
  tree.DeleteTree(kVYRMissionVersionIndependentProgId);
}

}  // namespace

void LockModule() {
  g_lock_count.fetch_add(1);
}
void UnlockModule() {
  g_lock_count.fetch_sub(1);
}
long ModuleLockCount() {
  return g_lock_count.load();
}

}  // namespace vyr::automation

using namespace vyr::automation;
using namespace platform;  // result codes are macros on Windows: named unqualified

PLATFORM_EXPORT HRESULT DllCanUnloadNow() {
  const SerialCall serial;
  return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

PLATFORM_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  const SerialCall serial;
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!(clsid == CLSID_VYRMission)) return CLASS_E_CLASSNOTAVAILABLE;
  return ClassObject().QueryInterface(iid, object);
}

PLATFORM_EXPORT HRESULT DllRegisterServer() {
  const SerialCall serial;
  const std::string module_path = ModulePath();
  if (module_path.empty()) return SELFREG_E_CLASS;
  Registry registry = Registry::Default();
  if (!registry.Update([&](RegistryTree& tree) { WriteClassEntries(tree, module_path); })) {
    return SELFREG_E_CLASS;
  }
  return RegisterTypeLibrary(module_path);
}

PLATFORM_EXPORT HRESULT DllUnregisterServer() {
  const SerialCall serial;
  Registry registry = Registry::Default();
  if (!registry.Update(RemoveClassEntries)) return SELFREG_E_CLASS;
  return UnregisterTypeLibrary();
}
