// A minimal in-process server for the platform tests: one class, registered and unregistered by itself.
#include <dlfcn.h>

#include <string>

#include "platform/com.h"
#include "platform/registry.h"

using namespace platform;

namespace {

// {6A1B2C3D-0001-4E5F-8A9B-0C1D2E3F4A5B}
constexpr CLSID kSampleClsid{0x6A1B2C3D, 0x0001, 0x4E5F, {0x8A, 0x9B, 0x0C, 0x1D, 0x2E, 0x3F, 0x4A, 0x5B}};

class Sample final : public IUnknown {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown) {
      *object = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  ULONG refs_ = 0;
};

class Factory final : public IClassFactory {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* sample = new Sample;
    sample->AddRef();
    const HRESULT hr = sample->QueryInterface(riid, object);
    sample->Release();
    return hr;
  }
  HRESULT LockServer(int) override { return S_OK; }
};

Factory g_factory;

std::string ModulePath() {
  Dl_info info{};
  ::dladdr(reinterpret_cast<void*>(&ModulePath), &info);
  return info.dli_fname != nullptr ? info.dli_fname : "";
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid,
                                                                            void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!(clsid == kSampleClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, object);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer() {
  const std::string key = "CLSID\\" + GuidToString(kSampleClsid);
  const Status done = Registry::Default().Update([&](RegistryTree& tree) {
    tree.SetString(key, "", "Sample Class");
    tree.SetString(key + "\\InprocServer32", "", ModulePath());
  });
  return done ? S_OK : SELFREG_E_CLASS;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
  const Status done = Registry::Default().Update(
      [&](RegistryTree& tree) { tree.DeleteTree("CLSID\\" + GuidToString(kSampleClsid)); });
  return done ? S_OK : SELFREG_E_CLASS;
}
