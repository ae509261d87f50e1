#include "vyrparser/core/tactical_experience.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "tests/lib_test_support.h"

namespace vyr::parser {
namespace {

namespace fs = std::filesystem;
using ::vyr::testing::ReadFileBytes;
using ::vyr::testing::WriteFileBytes;

std::string Le32(std::int32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i)
    bytes += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
  return bytes;
}

class TacticalExperienceTest : public ::testing::Test {
 protected:
  void Write(const std::string& extension, const std::string& bytes) {
    WriteFileBytes(partial_ + "." + extension, bytes);
  }
  std::string Read(const std::string& extension) { return ReadFileBytes(partial_ + "." + extension); }
  void WriteExp(std::int32_t recorded) {
    Write("exp", std::string("\x01\x02", 2) + "abcd" + Le32(recorded) + "tail");
  }
  void WriteTac(const std::string& version, std::int32_t studied, const std::string& rest = "") {
    Write("tac", "[VYR tac info " + version + "]" + Le32(studied) + rest);
  }
  // "advice recorded studied".
  std::string Advise() {
    const ExperienceAdvice a = NeedToIncorporateMissionExperiences(partial_);
    return std::to_string(a.advice) + " " + std::to_string(a.missions_recorded) + " " +
           std::to_string(a.missions_studied);
  }

  ::vyr::testing::ScratchDir dir_;
  std::string partial_ = dir_ / "city";
};

TEST_F(TacticalExperienceTest, MissingAndShortFilesKeepWhatWasRead) {
  EXPECT_EQ(Advise(), "-1 0 0");
  WriteExp(12);  // no terrain file: the recorded count is still reported
  EXPECT_EQ(Advise(), "-1 12 0");
  Write("tac", "[VYR tac info 0.80");  // 18 header bytes
  EXPECT_EQ(Advise(), "-1 12 0");
  Write("tac", "[VYR tac info 0.80]");  // a supported header without the studied count
  EXPECT_EQ(Advise(), "1 12 0");
  Write("tac", std::string("[VYR tac info 0.80]\x05\x01", 21));  // two bytes of the count
  EXPECT_EQ(Advise(), "1 12 261");
  Write("exp", std::string(8, '\0'));  // the recorded count cut off
  EXPECT_EQ(Advise(), "-1 0 0");

  // Named pipes are never read, so nothing waits for a writer.
  WriteExp(12);
  fs::remove(partial_ + ".tac");
  ASSERT_EQ(::mkfifo((partial_ + ".tac").c_str(), 0600), 0);
  EXPECT_EQ(Advise(), "-1 12 0");
  EXPECT_EQ(IncorporateMissionExperiences(partial_).outcome, IncorporateOutcome::kNotApplicable);
  fs::remove(partial_ + ".exp");
  ASSERT_EQ(::mkfifo((partial_ + ".exp").c_str(), 0600), 0);
  EXPECT_EQ(Advise(), "-1 0 0");
}

TEST_F(TacticalExperienceTest, BacklogDecidesTheAdvice) {
  struct Case {
    std::int32_t recorded, studied;
    int advice;
  };
  const Case cases[] = {
      {300, 260, 0},
      {300, 240, 1},
      {50, 40, 0},
      {50, 39, 1},
      {51, 25, 1},
      {51, 26, 0},
      {200, 175, 0},
      {200, 174, 1},
      {201, 151, 0},
      {201, 150, 1},
      {400, 349, 1},
      {401, 301, 0},
      {401, 300, 1},
      {10, 11, 1},  // studied beyond recorded
      {0, 0, 0},
      {-5, -20, 1},               // negative recorded still uses the smallest backlog
      {INT32_MAX, INT32_MIN, 1},  // the difference must not overflow into "no need"
  };
  for (const Case& c : cases) {
    WriteExp(c.recorded);
    WriteTac("0.80", c.studied);
    EXPECT_EQ(Advise(),
              std::to_string(c.advice) + " " + std::to_string(c.recorded) + " " + std::to_string(c.studied));
  }
}

TEST_F(TacticalExperienceTest, VersionIsReadFromTheHeaderDigits) {
  WriteExp(300);
  // The point is not checked, a leading 1 makes a later version, reading stops at a non-digit.
  for (const auto& [version, expected] : {std::pair{"0.78", "-1 300 0"},
                                          {"0.79", "0 300 300"},
                                          {"1x05", "0 300 300"},
                                          {"0.8x", "-1 300 0"},
                                          {" .99", "-1 300 0"}}) {
    WriteTac(version, 300);
    EXPECT_EQ(Advise(), expected) << version;
  }
}

TEST_F(TacticalExperienceTest, IncorporateUpdatesOnlyTheStudiedCount) {
  const std::string rest("\x00\xff terrain data \r\n\x1a", 19);
  WriteExp(300);
  WriteTac("0.81", 240, rest);
  IncorporateResult result = IncorporateMissionExperiences(partial_);
  EXPECT_EQ(result.outcome, IncorporateOutcome::kUpdated) << result.message;
  EXPECT_EQ(Read("tac"), "[VYR tac info 0.81]" + Le32(300) + rest);
  EXPECT_EQ(Advise(), "0 300 300");

  // A second run has nothing to do and leaves the file alone; no temporary file is left behind.
  const auto stamp = fs::last_write_time(partial_ + ".tac");
  EXPECT_EQ(IncorporateMissionExperiences(partial_).outcome, IncorporateOutcome::kAlreadyCurrent);
  EXPECT_EQ(fs::last_write_time(partial_ + ".tac"), stamp);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 2);

  // A count cut short is completed.
  WriteExp(7);
  Write("tac", std::string("[VYR tac info 0.79]\x01", 20));
  EXPECT_EQ(IncorporateMissionExperiences(partial_).outcome, IncorporateOutcome::kUpdated);
  EXPECT_EQ(Read("tac"), "[VYR tac info 0.79]" + Le32(7));
}

TEST_F(TacticalExperienceTest, IncorporateChangesNothingWhenMissingOrUnsupported) {
  IncorporateResult result = IncorporateMissionExperiences(partial_);
  EXPECT_EQ(result.outcome, IncorporateOutcome::kNotApplicable);
  EXPECT_NE(result.message.find("city.exp"), std::string::npos) << result.message;

  WriteExp(9);
  EXPECT_EQ(IncorporateMissionExperiences(partial_).outcome, IncorporateOutcome::kNotApplicable);
  EXPECT_FALSE(fs::exists(partial_ + ".tac"));  // never created from nothing

  WriteTac("0.78", 1, "old");
  result = IncorporateMissionExperiences(partial_);
  EXPECT_EQ(result.outcome, IncorporateOutcome::kNotApplicable);
  EXPECT_NE(result.message.find("unsupported version 78"), std::string::npos) << result.message;
  EXPECT_EQ(Read("tac"), "[VYR tac info 0.78]" + Le32(1) + "old");

  Write("tac", "[VYR tac");
  EXPECT_EQ(IncorporateMissionExperiences(partial_).outcome, IncorporateOutcome::kNotApplicable);
  EXPECT_EQ(Read("tac"), "[VYR tac");

  Write("exp", "short");
  WriteTac("0.80", 1);
  EXPECT_EQ(IncorporateMissionExperiences(partial_).outcome, IncorporateOutcome::kNotApplicable);
  EXPECT_EQ(Read("tac"), "[VYR tac info 0.80]" + Le32(1));
}

TEST_F(TacticalExperienceTest, IncorporateInAReadOnlyFolderKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  WriteExp(30);
  WriteTac("0.80", 1, "keep");
  fs::permissions(partial_ + ".tac", fs::perms::owner_read);  // a writable file would be rewritten in place
  fs::permissions(dir_.path(), fs::perms::owner_read | fs::perms::owner_exec);
  const IncorporateResult result = IncorporateMissionExperiences(partial_);
  fs::permissions(dir_.path(), fs::perms::owner_all);
  EXPECT_EQ(result.outcome, IncorporateOutcome::kWriteFailed);
  EXPECT_NE(result.message.find("city.tac"), std::string::npos) << result.message;
  EXPECT_EQ(Read("tac"), "[VYR tac info 0.80]" + Le32(1) + "keep");
}

}  // namespace
}  // namespace vyr::parser
