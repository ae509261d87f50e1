#include "platform/com_runtime.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/registry.h"
#include "tests/lib_test_support.h"

using namespace platform;

namespace {

// {6A1B2C3D-0001-4E5F-8A9B-0C1D2E3F4A5B}: the class of the sample server module.
constexpr CLSID kSampleClsid{0x6A1B2C3D, 0x0001, 0x4E5F, {0x8A, 0x9B, 0x0C, 0x1D, 0x2E, 0x3F, 0x4A, 0x5B}};
constexpr CLSID kUnknownClsid{0x6A1B2C3D, 0x0002, 0x4E5F, {0x8A, 0x9B, 0x0C, 0x1D, 0x2E, 0x3F, 0x4A, 0x5B}};

const std::string kSampleModule = std::string(VYR_LIB_DIR) + "/sample_server.so";
const std::string kNoEntryModule = std::string(VYR_LIB_DIR) + "/no_entry_module.so";
const std::string kRegsvr = std::string(VYR_BIN_DIR) + "/vyr-regsvr";

class ComRuntime : public ::testing::Test {
 protected:
  RegistryTree Tree() const {
    RegistryTree tree;
    EXPECT_TRUE(Registry(registry_file_).Load(&tree));
    return tree;
  }
  void RegisterModuleAs(const CLSID& clsid, const std::string& module) {
    ASSERT_TRUE(Registry(registry_file_).Update([&](RegistryTree& t) {
      t.SetString("CLSID\\" + GuidToString(clsid) + "\\InprocServer32", "", module);
    }));
  }
  // Runs vyr-regsvr with the given arguments; returns its exit code and fills its output.
  int RunRegsvr(const std::string& args, std::string* output) {
    const std::string out_file = folder_ + "/out.txt";
    const std::string command = kRegsvr + " " + args + " >" + out_file + " 2>&1";
    const int status = std::system(command.c_str());
    *output = ::vyr::testing::ReadFileBytes(out_file);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  const ::vyr::testing::ScratchDir dir_;
  const std::string folder_ = dir_.path().string();
  const std::string registry_file_ = folder_ + "/registry.reg";
  const ::vyr::testing::ScopedEnv env_{"VYR_REGISTRY_FILE", registry_file_};
};

TEST_F(ComRuntime, UnregisteredClassIsReportedAndOutPointerCleared) {
  void* object = reinterpret_cast<void*>(0x1);
  std::string why;
  EXPECT_EQ(CoCreateInstance(kUnknownClsid, IID_IUnknown, &object, &why), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(why, "class {6A1B2C3D-0002-4E5F-8A9B-0C1D2E3F4A5B} is not registered in " + registry_file_);
  EXPECT_EQ(CoCreateInstance(kUnknownClsid, IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(ComRuntime, ADamagedRegistryIsReportedNotGuessedAt) {
  std::ofstream(registry_file_) << "Windows Registry Editor Version 5.00\n[HKEY_CLASSES_ROOT\\a]\n@=broken\n";
  void* object = reinterpret_cast<void*>(0x1);
  std::string why;
  EXPECT_EQ(CoCreateInstance(kSampleClsid, IID_IUnknown, &object, &why), REGDB_E_READREGDB);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(why,
            "registry file " + registry_file_ + ", line 3: a value is a quoted string or dword:XXXXXXXX");
  std::string message;
  EXPECT_EQ(EnsureServerRegistered(kSampleClsid, kSampleModule, &message), REGDB_E_READREGDB);
}

TEST_F(ComRuntime, UnloadableModulesGiveClearResults) {
  RegisterModuleAs(kUnknownClsid, folder_ + "/missing.so");
  void* object = nullptr;
  std::string why;
  EXPECT_EQ(CoCreateInstance(kUnknownClsid, IID_IUnknown, &object, &why), CO_E_DLLNOTFOUND);
  EXPECT_EQ(why.rfind("cannot load " + folder_ + "/missing.so: ", 0), 0u) << why;

  RegisterModuleAs(kUnknownClsid, kNoEntryModule);
  EXPECT_EQ(CoCreateInstance(kUnknownClsid, IID_IUnknown, &object, &why), CO_E_ERRORINDLL);
  EXPECT_EQ(why, kNoEntryModule + " does not export DllGetClassObject");
  EXPECT_EQ(object, nullptr);

  // A server that does not serve the class it is registered for.
  RegisterModuleAs(kUnknownClsid, kSampleModule);
  EXPECT_EQ(CoCreateInstance(kUnknownClsid, IID_IUnknown, &object, &why), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ComRuntime, RegsvrRegistersAndCreationFollows) {
  std::string output;
  ASSERT_EQ(RunRegsvr(kSampleModule, &output), 0) << output;
  EXPECT_EQ(output, "DllRegisterServer in " + kSampleModule + " succeeded.\n");
  EXPECT_EQ(Tree().QueryString("CLSID\\" + GuidToString(kSampleClsid) + "\\InprocServer32", ""),
            std::filesystem::canonical(kSampleModule).string());

  ComPtr<IUnknown> object;
  ASSERT_EQ(CoCreateInstance(kSampleClsid, IID_IUnknown, object.PutVoid()), S_OK);
  EXPECT_TRUE(object);
  ComPtr<IUnknown> second;  // the module is loaded once and serves again
  ASSERT_EQ(CoCreateInstance(kSampleClsid, IID_IUnknown, second.PutVoid()), S_OK);
  EXPECT_NE(object.Get(), second.Get());
  void* dispatch = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(CoCreateInstance(kSampleClsid, IID_IDispatch, &dispatch), E_NOINTERFACE);
  EXPECT_EQ(dispatch, nullptr);

  ASSERT_EQ(RunRegsvr("-s -u " + kSampleModule, &output), 0);
  EXPECT_EQ(output, "");
  EXPECT_FALSE(Tree().KeyExists("CLSID\\" + GuidToString(kSampleClsid)));
  EXPECT_EQ(CoCreateInstance(kSampleClsid, IID_IUnknown, second.PutVoid()), REGDB_E_CLASSNOTREG);
}

TEST_F(ComRuntime, RegsvrExitCodesAndMessages) {
  std::string output;
  EXPECT_EQ(RunRegsvr("", &output), 1);
  EXPECT_NE(output.find("Usage: vyr-regsvr"), std::string::npos);
  EXPECT_EQ(RunRegsvr("-x lib.so", &output), 1);
  EXPECT_NE(output.find("unknown option \"-x\""), std::string::npos);
  EXPECT_EQ(RunRegsvr("a.so b.so", &output), 1);
  EXPECT_EQ(RunRegsvr(folder_ + "/missing.so", &output), 3);
  EXPECT_EQ(output.rfind("vyr-regsvr: cannot load " + folder_ + "/missing.so: ", 0), 0u) << output;
  EXPECT_EQ(RunRegsvr("-s " + folder_ + "/missing.so", &output), 3);
  EXPECT_EQ(output, "");
  EXPECT_EQ(RunRegsvr(kNoEntryModule, &output), 4);
  EXPECT_EQ(output, "vyr-regsvr: " + kNoEntryModule +
                        " was loaded, but the DllRegisterServer entry point was not found.\n");

  // A registry file that cannot be read makes registration fail, and the file stays as it was.
  const std::string other = folder_ + "/other.reg";
  std::ofstream(other) << "garbage\n";
  EXPECT_EQ(RunRegsvr("--registry " + other + " " + kSampleModule, &output), 5);
  EXPECT_EQ(output, "vyr-regsvr: DllRegisterServer in " + kSampleModule +
                        " failed: 0x80040201 class registration failed\n");
  EXPECT_FALSE(std::filesystem::exists(registry_file_));
}

TEST_F(ComRuntime, EnsureRegisteredOnlyWhenTheClassIsNotUsable) {
  std::string message;
  EXPECT_EQ(EnsureServerRegistered(kSampleClsid, kSampleModule, &message), S_OK) << message;
  const RegistryTree first = Tree();
  EXPECT_EQ(EnsureServerRegistered(kSampleClsid, kSampleModule, &message), S_FALSE);
  EXPECT_EQ(Tree(), first);
  // The registered module vanished: register again.
  RegisterModuleAs(kSampleClsid, folder_ + "/gone.so");
  EXPECT_EQ(EnsureServerRegistered(kSampleClsid, kSampleModule, &message), S_OK);
  EXPECT_EQ(Tree(), first);
}

TEST_F(ComRuntime, ProgIdLookup) {
  ASSERT_TRUE(Registry(registry_file_).Update([](RegistryTree& t) {
    t.SetString("Sample.Thing\\CLSID", "", GuidToString(kSampleClsid));
    t.SetString("Broken.Thing\\CLSID", "", "not a guid");
  }));
  CLSID clsid = GUID_NULL;
  EXPECT_EQ(CLSIDFromProgID("sample.thing", &clsid), S_OK);
  EXPECT_EQ(clsid, kSampleClsid);
  EXPECT_EQ(CLSIDFromProgID("Broken.Thing", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(clsid, GUID_NULL);
  EXPECT_EQ(CLSIDFromProgID("", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromProgID("Nope", nullptr), E_POINTER);
}

TEST(DescribeHResult, NamesKnownCodesAndShowsOthersInHex) {
  EXPECT_EQ(DescribeHResult(REGDB_E_CLASSNOTREG), "0x80040154 class not registered");
  EXPECT_EQ(DescribeHResult(0x12345), "0x00012345");
}

}  // namespace
