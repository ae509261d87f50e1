#include "editor/document/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vyr::editor {
namespace {

// Sets environment variables for one test and puts the old values back.
class ScopedEnv {
 public:
  void Set(const char* name, const char* value) {
    if (!saved_.contains(name)) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

TEST(EditorDataFolder, OverrideThenXdgThenHome) {
  ScopedEnv env;
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
