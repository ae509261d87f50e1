#include "vyrparser/core/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace vyr::parser {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(AtomicFileTest, ReplacesContentKeepsModeAndLeavesNoTemporary) {
  const fs::path dir = fs::temp_directory_path() / "vyr_atomic_file_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path target = dir / "out.vyr";

  EXPECT_TRUE(WriteFileAtomically(target, std::string("a\r\nb\0c", 6)));
  EXPECT_EQ(Slurp(target), std::string("a\r\nb\0c", 6));

  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_TRUE(WriteFileAtomically(target, ""));
  EXPECT_EQ(Slurp(target), "");
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir))
    ++entries;
  EXPECT_EQ(entries, 1);

  const WriteResult result = WriteFileAtomically(dir / "no" / "such" / "folder.vyr", "x");
  EXPECT_FALSE(result);
  EXPECT_NE(result.message.find("folder.vyr"), std::string::npos) << result.message;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vyr::parser
