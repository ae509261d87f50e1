#include "editor/document/paths.h"

#include <gtest/gtest.h>

#include "tests/lib_test_support.h"

namespace vyr::editor {
namespace {

TEST(EditorDataFolder, OverrideThenXdgThenHome) {
  ::vyr::testing::ScopedEnv env;
  env.Set("VYR_EDITOR_DATA_DIR", "/tmp/vyr-data/");
  env.Set("XDG_DATA_HOME", "/xdg");
  env.Set("HOME", "/home/me");
  EXPECT_EQ(EditorDataFolder(), "/tmp/vyr-data");
  env.Set("VYR_EDITOR_DATA_DIR", nullptr);
  EXPECT_EQ(EditorDataFolder(), "/xdg/VYR Mission Editor");
  env.Set("XDG_DATA_HOME", "relative/ignored");
  EXPECT_EQ(EditorDataFolder(), "/home/me/.local/share/VYR Mission Editor");
  env.Set("XDG_DATA_HOME", "");
  EXPECT_EQ(XdgDataHome(), "/home/me/.local/share");
}

TEST(PathHelpers, BothSeparators) {
  EXPECT_EQ(DropTrailingSeparator("a\\"), "a");
  EXPECT_EQ(DropTrailingSeparator("a//"), "a/");
  EXPECT_EQ(DropTrailingSeparator(""), "");
  EXPECT_EQ(TrimTrailingSeparators("a\\/"), "a");
  EXPECT_EQ(TrimTrailingSeparators("/"), "/");
  EXPECT_EQ(FolderWithSeparator("C:\\x/y.vyr"), "C:\\x/");
  EXPECT_EQ(FolderWithSeparator("y.vyr"), "");
  EXPECT_EQ(LastComponent("C:\\x\\y.vyr"), "y.vyr");
  EXPECT_EQ(LastComponent("dir/"), "");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("", "b"), "b");
}

}  // namespace
}  // namespace vyr::editor
