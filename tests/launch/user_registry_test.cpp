#include "editor/launch/user_registry.h"

#include <gtest/gtest.h>

#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

class NoTools : public ToolRunner {
 public:
  RunResult Run(const std::string& program, const std::vector<std::string>&) override {
    return {false, -1, "Cannot start " + program};
  }
};

TEST(UserRegistryWriter, EntriesLandBelowTheRootWithoutTheLeadingBackslash) {
  ScratchFolder folder;
  platform::Registry registry(folder / "registry.reg");
  UserRegistryWriter writer(registry);
  NoTools tools;
  AssociationTargets targets{
      writer, "/opt/vyr/bin", {folder / "data", "/opt/vyr/bin/vyr-mission-editor", ""}, tools};
  std::vector<std::string> notes;
  ASSERT_TRUE(RegisterProjectFileType(targets, &notes));
  EXPECT_EQ(notes.size(), 3u);  // every tool missing, none fatal

  platform::RegistryTree tree;
  ASSERT_TRUE(registry.Load(&tree));
  EXPECT_EQ(tree.QueryString(".cme", ""), "cmefile");
  EXPECT_EQ(tree.QueryNumber("cmefile", "EditFlags"), 0u);
  EXPECT_EQ(tree.QueryString("cmefile\\Shell\\Open\\command", ""), "/opt/vyr/bin\\VYR Mission Editor.exe %1");
  EXPECT_FALSE(tree.KeyExists(".vyr"));  // scripts only on request
  EXPECT_TRUE(writer.failures().empty());
  EXPECT_TRUE(std::filesystem::exists(folder / "data/mime/packages/vyr-mission-editor-cme.xml"));
  EXPECT_FALSE(std::filesystem::exists(folder / "data/mime/packages/vyr-mission-editor-vyr.xml"));

  ASSERT_TRUE(RegisterMissionFileTypes(targets));
  ASSERT_TRUE(registry.Load(&tree));
  EXPECT_EQ(tree.QueryString(".vyr", ""), "vyrfile");
  EXPECT_EQ(tree.QueryString(".vyr\\DefaultIcon", ""), "/opt/vyr/bin\\VYR-ME.ico");
  EXPECT_TRUE(std::filesystem::exists(folder / "data/mime/packages/vyr-mission-editor-vyr.xml"));
}

TEST(UserRegistryWriter, FailedWritesAreCollectedAndTheRestStillTried) {
  ScratchFolder folder;
  Spit(folder / "blocked", "a file, not a folder");
  UserRegistryWriter writer(platform::Registry(folder / "blocked/registry.reg"));
  RegisterVyrFiles(writer, "/opt/vyr/bin");
  EXPECT_EQ(writer.failures().size(), 9u);

  // Other roots are not ours to write.
  UserRegistryWriter other(platform::Registry(folder / "registry.reg"));
  other.SetStringValue(0x80000001, "\\Software", "", "x");
  EXPECT_FALSE(std::filesystem::exists(folder / "registry.reg"));
}

}  // namespace
}  // namespace vyr::editor
