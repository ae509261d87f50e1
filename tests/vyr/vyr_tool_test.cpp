#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/vyr/run_vyr.h"

namespace vyr::testing {
namespace {

namespace fs = std::filesystem;

class VyrToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vyr_tool_test_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(dir_ / name, std::ios::binary);
    out << bytes;
  }

  fs::path dir_;
};

TEST_F(VyrToolTest, HelpVersionAndUsageErrors) {
  ToolRun run = RunVyr({"--help"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.err, "");
  for (const char* command : {"advise PARTIAL", "incorporate PARTIAL"})
    EXPECT_NE(run.out.find(command), std::string::npos) << command << " missing from\n" << run.out;

  run = RunVyr({"--version"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out.rfind("vyr ", 0), 0u) << run.out;

  run = RunVyr({});
  EXPECT_EQ(run.exit_code, 64);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("missing command"), std::string::npos) << run.err;

  run = RunVyr({"frobnicate", "x"});
  EXPECT_EQ(run.exit_code, 64);
  EXPECT_NE(run.err.find("unknown command 'frobnicate'"), std::string::npos) << run.err;

  run = RunVyr({"--bogus"});
  EXPECT_EQ(run.exit_code, 64);
  EXPECT_NE(run.err.find("unknown option '--bogus'"), std::string::npos) << run.err;

  run = RunVyr({"advise"});
  EXPECT_EQ(run.exit_code, 64);
  EXPECT_NE(run.err.find("usage: vyr advise PARTIAL"), std::string::npos) << run.err;
  run = RunVyr({"advise", "a", "b"});
  EXPECT_EQ(run.exit_code, 64);
  EXPECT_EQ(run.out, "");

  run = RunVyr({"advise", "--help"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.out.find("usage: vyr advise PARTIAL"), std::string::npos) << run.out;
}

TEST_F(VyrToolTest, AdviseAndIncorporate) {
  const std::string partial = Path("city");
  ToolRun run = RunVyr({"advise", partial});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "-1 0 0\n");

  run = RunVyr({"incorporate", partial});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("city.exp"), std::string::npos) << run.err;

  // 300 recorded (0x012C), 240 studied (0xF0): a backlog of 60 is advised.
  Write("city.exp", std::string("\0\0\0\0\0\0\x2c\x01\0\0", 10));
  Write("city.tac", std::string("[VYR tac info 0.80]\xf0\0\0\0rest", 27));
  run = RunVyr({"advise", partial});
  EXPECT_EQ(run.out, "1 300 240\n");

  run = RunVyr({"incorporate", partial});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ReadWhole(Path("city.tac")), std::string("[VYR tac info 0.80]\x2c\x01\0\0rest", 27));
  EXPECT_EQ(RunVyr({"advise", partial}).out, "0 300 300\n");

  // A file name that starts with "-" is reached after "--".
  Write("-odd.exp", std::string("\0\0\0\0\0\0\x05\0\0\0", 10));
  run = RunVyr({"advise", "--", "-odd"});
  EXPECT_EQ(run.exit_code, 0);
}

}  // namespace
}  // namespace vyr::testing
