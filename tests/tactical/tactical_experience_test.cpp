#include "vyrparser/core/tactical_experience.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vyr::parser {
namespace {

namespace fs = std::filesystem;

std::string Le32(std::int32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i)
    bytes += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
  return bytes;
}

class TacticalExperienceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vyr_tac_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    partial_ = (dir_ / "city").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteRaw(const std::string& extension, const std::string& bytes) {
    std::ofstream out(partial_ + "." + extension, std::ios::binary);
    out << bytes;
  }
  std::string ReadRaw(const std::string& extension) {
    std::ifstream in(partial_ + "." + extension, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void WriteExp(std::int32_t recorded) {
    WriteRaw("exp", std::string("\x01\x02", 2) + "abcd" + Le32(recorded) + "tail");
  }
  void WriteTac(const std::string& version, std::int32_t studied, const std::string& rest = "") {
    WriteRaw("tac", "[VYR tac info " + version + "]" + Le32(studied) + rest);
  }

  fs::path dir_;
  std::string partial_;
};

TEST_F(TacticalExperienceTest, MissingFilesGiveUnsupportedWithZeroCounts) {
  ExperienceAdvice advice = NeedToIncorporateMissionExperiences(partial_);
  EXPECT_EQ(advice.advice, -1);
  EXPECT_EQ(advice.missions_recorded, 0);
  EXPECT_EQ(advice.missions_studied, 0);

  // Experience present, terrain file missing: the recorded count is still reported.
  WriteExp(12);
  advice = NeedToIncorporateMissionExperiences(partial_);
  EXPECT_EQ(advice.advice, -1);
  EXPECT_EQ(advice.missions_recorded, 12);
  EXPECT_EQ(advice.missions_studied, 0);
}

TEST_F(TacticalExperienceTest, BacklogDecidesTheAdvice) {
  struct Case {
    std::int32_t recorded, studied;
    int advice;
  };
  const Case cases[] = {
      {300, 260, 0},  // backlog 40 within 50
      {300, 240, 1},  // backlog 60
      {50, 40, 0},
      {50, 39, 1},
      {51, 25, 1},
      {51, 26, 0},
      {200, 175, 0},
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
    const ExperienceAdvice advice = NeedToIncorporateMissionExperiences(partial_);
    EXPECT_EQ(advice.advice, c.advice) << c.recorded << " recorded, " << c.studied << " studied";
    EXPECT_EQ(advice.missions_recorded, c.recorded);
    EXPECT_EQ(advice.missions_studied, c.studied);
  }
}

TEST_F(TacticalExperienceTest, VersionIsReadFromTheHeaderDigits) {
  WriteExp(300);
  WriteTac("0.78", 300);
  ExperienceAdvice advice = NeedToIncorporateMissionExperiences(partial_);
  EXPECT_EQ(advice.advice, -1);
  EXPECT_EQ(advice.missions_recorded, 300);
  EXPECT_EQ(advice.missions_studied, 0);

  WriteTac("0.79", 300);
  EXPECT_EQ(NeedToIncorporateMissionExperiences(partial_).advice, 0);
  // The point is not checked and a leading 1 makes a later version.
  WriteTac("1x05", 300);
  EXPECT_EQ(NeedToIncorporateMissionExperiences(partial_).advice, 0);
  // Reading stops at the first non-digit: "0.8x" is version 8.
  WriteTac("0.8x", 300);
  EXPECT_EQ(NeedToIncorporateMissionExperiences(partial_).advice, -1);
  WriteTac(" .99", 300);
  EXPECT_EQ(NeedToIncorporateMissionExperiences(partial_).advice, -1);
}

TEST_F(TacticalExperienceTest, ShortFilesStopWhereTheyEnd) {
  WriteRaw("exp", std::string(8, '\0'));  // the recorded count is cut off
  WriteTac("0.80", 1);
  ExperienceAdvice advice = NeedToIncorporateMissionExperiences(partial_);
  EXPECT_EQ(advice.advice, -1);
  EXPECT_EQ(advice.missions_studied, 0);

  WriteExp(20);
  WriteRaw("tac", "[VYR tac info 0.80");  // 18 header bytes
  EXPECT_EQ(NeedToIncorporateMissionExperiences(partial_).advice, -1);

  // A supported header without the studied count is advised for an update.
  WriteRaw("tac", "[VYR tac info 0.80]");
  advice = NeedToIncorporateMissionExperiences(partial_);
  EXPECT_EQ(advice.advice, 1);
  EXPECT_EQ(advice.missions_recorded, 20);
  EXPECT_EQ(advice.missions_studied, 0);

  // Two bytes of the count: what was read is kept.
  WriteRaw("tac", std::string("[VYR tac info 0.80]\x05\x01", 21));
  advice = NeedToIncorporateMissionExperiences(partial_);
  EXPECT_EQ(advice.advice, 1);
  EXPECT_EQ(advice.missions_studied, 0x0105);
}

TEST_F(TacticalExperienceTest, IncorporateUpdatesOnlyTheStudiedCount) {
  const std::string rest("\x00\xff terrain data \r\n\x1a", 19);
  WriteExp(300);
  WriteTac("0.81", 240, rest);
  EXPECT_EQ(NeedToIncorporateMissionExperiences(partial_).advice, 1);

  IncorporateResult result = IncorporateMissionExperiences(partial_);
  EXPECT_EQ(result.outcome, IncorporateOutcome::kUpdated) << result.message;
  EXPECT_EQ(ReadRaw("tac"), "[VYR tac info 0.81]" + Le32(300) + rest);
  const ExperienceAdvice advice = NeedToIncorporateMissionExperiences(partial_);
  EXPECT_EQ(advice.advice, 0);
  EXPECT_EQ(advice.missions_studied, 300);

  // A second run has nothing to do and leaves the file alone.
  const auto stamp = fs::last_write_time(partial_ + ".tac");
  result = IncorporateMissionExperiences(partial_);
  EXPECT_EQ(result.outcome, IncorporateOutcome::kAlreadyCurrent);
  EXPECT_EQ(fs::last_write_time(partial_ + ".tac"), stamp);

  // No temporary files are left behind.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_))
    ++files;
  EXPECT_EQ(files, 2);
}

TEST_F(TacticalExperienceTest, IncorporateCompletesAShortCount) {
  WriteExp(7);
  WriteRaw("tac", std::string("[VYR tac info 0.79]\x01", 20));
  EXPECT_EQ(IncorporateMissionExperiences(partial_).outcome, IncorporateOutcome::kUpdated);
  EXPECT_EQ(ReadRaw("tac"), "[VYR tac info 0.79]" + Le32(7));
}

TEST_F(TacticalExperienceTest, IncorporateChangesNothingWhenMissingOrUnsupported) {
  IncorporateResult result = IncorporateMissionExperiences(partial_);
  EXPECT_EQ(result.outcome, IncorporateOutcome::kNotApplicable);
  EXPECT_NE(result.message.find("city.exp"), std::string::npos) << result.message;
  EXPECT_FALSE(fs::exists(partial_ + ".tac"));

  WriteExp(9);
  result = IncorporateMissionExperiences(partial_);
  EXPECT_EQ(result.outcome, IncorporateOutcome::kNotApplicable);
  EXPECT_FALSE(fs::exists(partial_ + ".tac"));  // never created from nothing

  WriteTac("0.78", 1, "old");
  const std::string before = ReadRaw("tac");
  result = IncorporateMissionExperiences(partial_);
  EXPECT_EQ(result.outcome, IncorporateOutcome::kNotApplicable);
  EXPECT_NE(result.message.find("unsupported version 78"), std::string::npos) << result.message;
  EXPECT_EQ(ReadRaw("tac"), before);

  WriteRaw("tac", "[VYR tac");
  EXPECT_EQ(IncorporateMissionExperiences(partial_).outcome, IncorporateOutcome::kNotApplicable);
  EXPECT_EQ(ReadRaw("tac"), "[VYR tac");

  WriteRaw("exp", "short");
  WriteTac("0.80", 1);
  EXPECT_EQ(IncorporateMissionExperiences(partial_).outcome, IncorporateOutcome::kNotApplicable);
  EXPECT_EQ(ReadRaw("tac"), "[VYR tac info 0.80]" + Le32(1));
}

TEST_F(TacticalExperienceTest, IncorporateInAReadOnlyFolderKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  WriteExp(30);
  WriteTac("0.80", 1, "keep");
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  const IncorporateResult result = IncorporateMissionExperiences(partial_);
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(result.outcome, IncorporateOutcome::kWriteFailed);
  EXPECT_NE(result.message.find("city.tac"), std::string::npos) << result.message;
  EXPECT_EQ(ReadRaw("tac"), "[VYR tac info 0.80]" + Le32(1) + "keep");
}

}  // namespace
}  // namespace vyr::parser
