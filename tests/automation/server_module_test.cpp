#include <dlfcn.h>

#include <algorithm>
#include <cstdio>

#include <filesystem>
#include <sstream>

#include "automation_fixture.h"
#include "platform/com_runtime.h"
#include "tests/lib_test_support.h"

namespace vyr::automation::testing {
namespace {

using namespace platform;

const std::string kClassKey = "CLSID\\{D2CE3E35-323A-11D3-9C8F-F170BB19FA62}";
const std::string kTypeLibKey = "TypeLib\\{D2CE3E28-323A-11D3-9C8F-F170BB19FA62}";
const std::string kInterfaceKey = "Interface\\{D2CE3E34-323A-11D3-9C8F-F170BB19FA62}";
const std::string kInterface2Key = "Interface\\{D952A9C9-DEBE-4CC0-84B2-C21B4C7A054B}";

// The library as loaded by CoCreateInstance: dlopen of the same file gives the same module.
template <typename Fn>
Fn Entry(const char* name) {
  void* handle = ::dlopen(kLibraryPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  EXPECT_NE(handle, nullptr);
  auto fn = reinterpret_cast<Fn>(::dlsym(handle, name));
  ::dlclose(handle);
  return fn;
}

using Server = AutomationTest;

TEST_F(Server, RegistrationWritesExactlyTheTabulatedEntries) {
  const std::string module = std::filesystem::absolute(kLibraryPath).lexically_normal().string();
  const RegistryTree tree = Registry();
  const std::string clsid = "{D2CE3E35-323A-11D3-9C8F-F170BB19FA62}";
  const std::pair<std::string, std::string> defaults[] = {
      {"Vyrmission.VYRMission.1", "VYRMission Class"},
      {"Vyrmission.VYRMission.1\\CLSID", clsid},
      {"Vyrmission.VYRMission", "VYRMission Class"},
      {"Vyrmission.VYRMission\\CLSID", clsid},
      {"Vyrmission.VYRMission\\CurVer", "Vyrmission.VYRMission.1"},
      {kClassKey, "VYRMission Class"},
      {kClassKey + "\\ProgID", "Vyrmission.VYRMission.1"},
      {kClassKey + "\\VersionIndependentProgID", "Vyrmission.VYRMission"},
      {kClassKey + "\\InprocServer32", module},
      {kClassKey + "\\TypeLib", "{D2CE3E28-323A-11D3-9C8F-F170BB19FA62}"},
      {kTypeLibKey + "\\1.0", "vyrmission 1.0 Type Library"},
      {kTypeLibKey + "\\1.0\\409\\linux", module},
      {kTypeLibKey + "\\1.0\\FLAGS", "0"},
      {kTypeLibKey + "\\1.0\\HELPDIR", std::filesystem::path(module).parent_path().string()},
      {kInterfaceKey, "IVYRMission"},
      {kInterface2Key, "IVYRMission2"},
      {kInterface2Key + "\\TypeLib", "{D2CE3E28-323A-11D3-9C8F-F170BB19FA62}"},
  };
  for (const auto& [key, value] : defaults)
    EXPECT_EQ(tree.QueryString(key, ""), value) << key;
  EXPECT_TRUE(tree.KeyExists(kClassKey + "\\Programmable"));
  EXPECT_TRUE(tree.ValueNames(kClassKey + "\\Programmable").empty());
  // Calls may come from any thread and run one at a time: recorded as Windows' registry would.
  EXPECT_EQ(tree.ValueNames(kClassKey + "\\InprocServer32"),
            (std::vector<std::string>{"", "ThreadingModel"}));
  EXPECT_EQ(tree.QueryString(kClassKey + "\\InprocServer32", "ThreadingModel"), "Both");
  EXPECT_EQ(tree.SubKeyNames(kClassKey), (std::vector<std::string>{"InprocServer32", "ProgID", "Programmable",
                                                                   "TypeLib", "VersionIndependentProgID"}));
  EXPECT_EQ(tree.QueryString(kInterfaceKey + "\\TypeLib", "Version"), "1.0");
}

TEST_F(Server, RegisteringTwiceLeavesTheSameEntriesAndReplacesTheClassKeyWhole) {
  const std::string before = ::vyr::testing::ReadFileBytes(registry_file_);
  // A stale value under the class key goes; one beside the ProgID stays (that key is updated in place).
  ASSERT_TRUE(platform::Registry(registry_file_).Update([](RegistryTree& t) {
    t.SetString(kClassKey + "\\InprocServer32", "ThreadingModel", "Apartment");
    t.SetString(kClassKey + "\\Stale", "", "x");
  }));
  ASSERT_EQ(RegisterServer(kLibraryPath, false), S_OK);
  ASSERT_EQ(RegisterServer(kLibraryPath, false), S_OK);
  EXPECT_EQ(::vyr::testing::ReadFileBytes(registry_file_), before);
}

TEST_F(Server, UnregisteringRemovesClassProgIdsAndTypeLibraryButKeepsClsid) {
  ASSERT_TRUE(platform::Registry(registry_file_).Update([](RegistryTree& t) {
    t.SetString("CLSID\\{00000000-0000-0000-0000-000000000001}", "", "someone else");
  }));
  ASSERT_EQ(RegisterServer(kLibraryPath, true), S_OK);
  const RegistryTree tree = Registry();
  for (const std::string& gone :
       {kClassKey, std::string("Vyrmission.VYRMission.1"), std::string("Vyrmission.VYRMission"), kTypeLibKey,
        kInterfaceKey, kInterface2Key})
    EXPECT_FALSE(tree.KeyExists(gone)) << gone;
  EXPECT_TRUE(tree.KeyExists("CLSID"));
  EXPECT_EQ(tree.QueryString("CLSID\\{00000000-0000-0000-0000-000000000001}", ""), "someone else");
  // Unregistering again is harmless; creation now fails clearly.
  EXPECT_EQ(RegisterServer(kLibraryPath, true), S_OK);
  ComPtr<IVYRMission> mission;
  EXPECT_EQ(CoCreateInstance(CLSID_VYRMission, IID_IVYRMission, mission.PutVoid()), REGDB_E_CLASSNOTREG);
  EXPECT_FALSE(mission);
}

TEST_F(Server, ClassObjectAnswersOnlyItsClass) {
  const auto get_class_object = Entry<DllGetClassObjectFn>("DllGetClassObject");
  ASSERT_NE(get_class_object, nullptr);
  void* object = reinterpret_cast<void*>(0x1);
  const CLSID unknown{0xD2CE3E36, 0x323A, 0x11D3, {0x9C, 0x8F, 0xF1, 0x70, 0xBB, 0x19, 0xFA, 0x62}};
  EXPECT_EQ(get_class_object(unknown, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(get_class_object(CLSID_VYRMission, IID_IClassFactory, nullptr), E_POINTER);
  object = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(get_class_object(CLSID_VYRMission, IID_IDispatch, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(get_class_object(CLSID_VYRMission, IID_IClassFactory, factory.PutVoid()), S_OK);
  ComPtr<IClassFactory> again;
  ASSERT_EQ(get_class_object(CLSID_VYRMission, IID_IUnknown, again.PutVoid()), S_OK);
  EXPECT_EQ(static_cast<void*>(factory.Get()), static_cast<void*>(again.Get()));  // made once and kept

  ComPtr<IUnknown> aggregated;  // any outer object is refused before it is used
  EXPECT_EQ(factory->CreateInstance(mission_.Get(), IID_IUnknown, aggregated.PutVoid()),
            CLASS_E_NOAGGREGATION);
  EXPECT_FALSE(aggregated);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, aggregated.PutVoid()), E_NOINTERFACE);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(Server, ObjectsAnswerTheirFourInterfacesWithOneIdentity) {
  ComPtr<IUnknown> unknown;
  ComPtr<IDispatch> dispatch;
  ComPtr<IVYRMission> mission;
  ComPtr<IVYRMission2> second;
  ASSERT_EQ(mission_->QueryInterface(IID_IUnknown, unknown.PutVoid()), S_OK);
  ASSERT_EQ(mission_->QueryInterface(IID_IVYRMission2, second.PutVoid()), S_OK);
  ASSERT_EQ(second->QueryInterface(IID_IDispatch, dispatch.PutVoid()), S_OK);
  ASSERT_EQ(second->QueryInterface(IID_IVYRMission, mission.PutVoid()), S_OK);
  for (void* same : {static_cast<void*>(unknown.Get()), static_cast<void*>(dispatch.Get()),
                     static_cast<void*>(mission.Get()), static_cast<void*>(second.Get())})
    EXPECT_EQ(same, static_cast<void*>(mission_.Get()));
  void* other = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(mission_->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(mission_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  // Reference counts: the fixture holds one, the four above hold one each.
  EXPECT_EQ(mission_->AddRef(), 6u);
  EXPECT_EQ(mission_->Release(), 5u);
}

TEST_F(Server, ModuleUnloadsAfterTheLastReleaseWhileTheParsedMissionLivesOn) {
  const auto can_unload = Entry<DllCanUnloadNowFn>("DllCanUnloadNow");
  ASSERT_NE(can_unload, nullptr);
  ASSERT_EQ(Parse(mission_.Get(), kRaidScript), 0);
  ComPtr<IVYRMission> second = NewMission();
  EXPECT_EQ(can_unload(), S_FALSE);
  mission_.Reset();
  EXPECT_EQ(can_unload(), S_FALSE);
  second.Reset();
  EXPECT_EQ(can_unload(), S_OK);

  // LockServer holds the module without any object.
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(
      Entry<DllGetClassObjectFn>("DllGetClassObject")(CLSID_VYRMission, IID_IClassFactory, factory.PutVoid()),
      S_OK);
  EXPECT_EQ(factory->LockServer(1), S_OK);
  EXPECT_EQ(can_unload(), S_FALSE);
  EXPECT_EQ(factory->LockServer(0), S_OK);
  EXPECT_EQ(can_unload(), S_OK);
  // A refused interface destroys the new object at once.
  void* refused = nullptr;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &refused), E_NOINTERFACE);
  EXPECT_EQ(can_unload(), S_OK);

  // The next object still sees the mission parsed before.
  ComPtr<IVYRMission> third = NewMission();
  std::int16_t actors = 0;
  EXPECT_EQ(third->ActorCount(&actors), S_OK);
  EXPECT_EQ(actors, 3);
}

TEST_F(Server, OnlyTheFourEntryPointsAreExported) {
  // Nothing of the parser, the model or the platform layer leaks out to clash with a client's own copy.
  const std::string command = "nm -D --defined-only " + kLibraryPath + " 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> names;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::istringstream fields(line);
    std::string address, kind, name;
    fields >> address >> kind >> name;
    names.push_back(name);
  }
  if (::pclose(pipe) != 0 && names.empty()) GTEST_SKIP() << "nm is not available";
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                             "DllUnregisterServer"}));
}

TEST_F(Server, ClientsRegisterTheBuiltLibraryWhenTheClassIsMissing) {
  EXPECT_EQ(std::filesystem::canonical(BuiltVYRMissionLibrary()), std::filesystem::canonical(kLibraryPath));
  const std::string fresh = folder_ + "/fresh.reg";
  ::setenv("VYR_REGISTRY_FILE", fresh.c_str(), 1);
  ComPtr<IVYRMission> mission;
  std::string why;
  EXPECT_EQ(CreateVYRMission(&mission, {}, &why), REGDB_E_CLASSNOTREG);  // no library to fall back on
  EXPECT_EQ(CreateVYRMission(&mission, BuiltVYRMissionLibrary(), &why), S_OK) << why;
  EXPECT_TRUE(mission);
  RegistryTree tree;
  EXPECT_TRUE(platform::Registry(fresh).Load(&tree));
  ::setenv("VYR_REGISTRY_FILE", registry_file_.c_str(), 1);
  EXPECT_TRUE(tree.KeyExists(kClassKey + "\\InprocServer32"));
  EXPECT_EQ(CreateVYRMission(nullptr), E_POINTER);
}

TEST_F(Server, RegistrationFailureIsReportedAndTheRegistryKept) {
  const std::string damaged = "not a registry\n";
  const std::string path = WriteTempFile("damaged.reg", damaged);
  ::setenv("VYR_REGISTRY_FILE", path.c_str(), 1);
  std::string message;
  const HRESULT hr = RegisterServer(kLibraryPath, false, &message);
  ::setenv("VYR_REGISTRY_FILE", registry_file_.c_str(), 1);
  EXPECT_EQ(hr, SELFREG_E_CLASS);
  EXPECT_EQ(message,
            "DllRegisterServer in " + kLibraryPath + " failed: 0x80040201 class registration failed");
  EXPECT_EQ(::vyr::testing::ReadFileBytes(path), damaged);
}

}  // namespace
}  // namespace vyr::automation::testing
