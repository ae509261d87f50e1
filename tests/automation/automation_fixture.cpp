#include "automation_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/com_runtime.h"

namespace vyr::automation::testing {

std::string AutomationTest::folder_;
std::string AutomationTest::registry_file_;

namespace {

class RegistryEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/vyr-automation-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    ::setenv("VYR_REGISTRY_FILE", (folder_ + "/registry.reg").c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string folder_;
};

RegistryEnvironment* const g_environment =
    static_cast<RegistryEnvironment*>(::testing::AddGlobalTestEnvironment(new RegistryEnvironment));

}  // namespace

void AutomationTest::SetUp() {
  folder_ = g_environment->folder_;
  registry_file_ = folder_ + "/registry.reg";
  std::string message;
  ASSERT_EQ(platform::RegisterServer(kLibraryPath, false, &message), platform::S_OK) << message;
  mission_ = NewMission();
  ASSERT_TRUE(mission_);
  ASSERT_EQ(mission_->CloseMission(), platform::S_OK);
}

platform::ComPtr<IVYRMission> AutomationTest::NewMission() {
  platform::ComPtr<IVYRMission> mission;
  std::string why;
  const platform::HRESULT hr =
      platform::CoCreateInstance(CLSID_VYRMission, IID_IVYRMission, mission.PutVoid(), &why);
  EXPECT_EQ(hr, platform::S_OK) << why;
  return mission;
}

std::int16_t AutomationTest::Parse(IVYRMission* mission, const std::string& path) {
  std::int16_t result = -7;
  platform::BStr name(platform::Cp1252ToUtf16(path));
  EXPECT_EQ(mission->TryParseMission(name.Get(), &result), platform::S_OK);
  return result;
}

platform::RegistryTree AutomationTest::Registry() const {
  platform::RegistryTree tree;
  EXPECT_TRUE(platform::Registry(registry_file_).Load(&tree));
  return tree;
}

std::string AutomationTest::WriteTempFile(const std::string& name, const std::string& bytes) {
  const std::string path = folder_ + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

}  // namespace vyr::automation::testing
