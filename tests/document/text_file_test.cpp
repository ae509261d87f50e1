#include "editor/document/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "tests/document/file_test_util.h"

namespace vyr::editor {
namespace {

using testing::Lines;
using testing::ScratchFolder;
using testing::Spit;

TEST(TextFile, NumbersAreWrittenInSignSpaceFormWithATrailingBlank) {
  TextWriter writer;
  writer.Integer(0);
  writer.Integer(120);
  writer.Integer(-64);
  writer.Integer(-32768);
  writer.Single(1.0f);
  writer.Single(0.5f);
  writer.Single(-0.25f);
  writer.Bool(true);
  writer.Bool(false);
  writer.Line("");
  EXPECT_EQ(writer.bytes(),
            " 0 \r\n 120 \r\n-64 \r\n-32768 \r\n 1 \r\n .5 \r\n-.25 \r\nTrue\r\nFalse\r\n\r\n");
}

TEST(TextFile, SinglesKeepSevenSignificantDigitsAndNoLeadingZero) {
  EXPECT_EQ(SignSpaceSingle(0.1f), " .1");
  EXPECT_EQ(SignSpaceSingle(1.0f / 3.0f), " .3333333");
  EXPECT_EQ(SignSpaceSingle(2.0f / 3.0f), " .6666667");
  EXPECT_EQ(SignSpaceSingle(123.456f), " 123.456");
  EXPECT_EQ(SignSpaceSingle(100.0f), " 100");
  EXPECT_EQ(SignSpaceSingle(1234567.0f), " 1234567");
  EXPECT_EQ(SignSpaceSingle(-7.5f), "-7.5");
  EXPECT_EQ(SignSpaceSingle(0.00001f), " .00001");
  EXPECT_EQ(SignSpaceSingle(0.000012345f), " .000012345");
  // Only very large or very small magnitudes take an exponent.
  EXPECT_EQ(SignSpaceSingle(12345678.0f), " 1.234568E+07");
  EXPECT_EQ(SignSpaceSingle(1e7f), " 1E+07");
  EXPECT_EQ(SignSpaceSingle(0.000001f), " 1E-06");
  EXPECT_EQ(SignSpaceSingle(-2.5e-20f), "-2.5E-20");
  EXPECT_EQ(SignSpaceSingle(3e38f), " 3E+38");
  // 9999999.5 rounds up to the next power of ten.
  EXPECT_EQ(SignSpaceSingle(9999999.0f), " 9999999");
  EXPECT_EQ(SignSpaceSingle(0.99999999f), " 1");
  // Values a reader can never produce still give a line a reader accepts.
  EXPECT_EQ(SignSpaceSingle(-0.0f), " 0");
  EXPECT_EQ(SignSpaceSingle(std::numeric_limits<float>::quiet_NaN()), " 0");
  EXPECT_EQ(SignSpaceSingle(std::numeric_limits<float>::infinity()), " 3.402823E+38");
  EXPECT_EQ(SignSpaceSingle(-std::numeric_limits<float>::infinity()), "-3.402823E+38");
}

TEST(TextFile, WrittenSinglesReadBackAndRewriteIdentically) {
  const float samples[] = {0.5f,  1.0f,    0.05f, 0.123456789f, 98765.43f, -1.1f,      1e-30f,
                           7e12f, 0.0001f, 1e-5f, 1e-6f,        65504.0f,  16777216.0f};
  for (float sample : samples) {
    const std::string text = SignSpaceSingle(sample);
    const auto back = LeadingNumber(text);
    ASSERT_TRUE(back.has_value()) << text;
    const auto reread = static_cast<float>(*back);
    EXPECT_EQ(SignSpaceSingle(reread), text) << sample;
    EXPECT_NEAR(reread, sample, std::fabs(sample) * 1e-6f) << text;
  }
}

TEST(TextFile, LeadingNumberSkipsBlanksAndReadsZeroWithoutANumber) {
  EXPECT_EQ(LeadingNumber(" 120 "), 120.0);
  EXPECT_EQ(LeadingNumber("-64 "), -64.0);
  EXPECT_EQ(LeadingNumber("\t 7"), 7.0);
  EXPECT_EQ(LeadingNumber(" .5 "), 0.5);
  EXPECT_EQ(LeadingNumber("-.5"), -0.5);
  EXPECT_EQ(LeadingNumber("+3"), 3.0);
  EXPECT_EQ(LeadingNumber("5."), 5.0);
  EXPECT_EQ(LeadingNumber("12abc"), 12.0);
  EXPECT_EQ(LeadingNumber("1 2"), 1.0);
  EXPECT_EQ(LeadingNumber("1E3"), 1000.0);
  EXPECT_EQ(LeadingNumber("1.5D2"), 150.0);
  EXPECT_EQ(LeadingNumber("2.5e-1"), 0.25);
  EXPECT_EQ(LeadingNumber("1e"), 1.0);
  EXPECT_EQ(LeadingNumber("1e+"), 1.0);
  EXPECT_EQ(LeadingNumber("007"), 7.0);
  // Not numbers: each reads 0.
  for (const char* text : {"", " ", "abc", "-", ".", "-.", "nan", "inf", "e5", "True",
                           "\xA0"
                           "5"}) {
    EXPECT_EQ(LeadingNumber(text), 0.0) << text;
  }
  // Out of range and underflow, with exponents too large for any integer type.
  EXPECT_FALSE(LeadingNumber("1e400").has_value());
  EXPECT_FALSE(LeadingNumber("-1e99999999999999999999").has_value());
  EXPECT_FALSE(LeadingNumber(std::string(500, '9')).has_value());
  EXPECT_EQ(LeadingNumber("1e-99999999999999999999"), 0.0);
  EXPECT_EQ(LeadingNumber("0e99999"), 0.0);
  EXPECT_EQ(LeadingNumber("0." + std::string(100000, '0') + "1"), 0.0);
  EXPECT_EQ(LeadingNumber(std::string(100000, '0') + "42"), 42.0);
}

TEST(TextFile, IntegersRoundHalfToEvenAndRefuseWhatDoesNotFit) {
  EXPECT_EQ(ToInteger(2.5), 2);
  EXPECT_EQ(ToInteger(3.5), 4);
  EXPECT_EQ(ToInteger(-2.5), -2);
  EXPECT_EQ(ToInteger(0.4999), 0);
  EXPECT_EQ(ToInteger(32767.4), 32767);
  EXPECT_EQ(ToInteger(-32768.5), -32768);
  EXPECT_FALSE(ToInteger(32767.5).has_value());
  EXPECT_FALSE(ToInteger(-32769.0).has_value());
  EXPECT_FALSE(ToInteger(1e300).has_value());
  EXPECT_FALSE(ToInteger(std::numeric_limits<double>::infinity()).has_value());
  EXPECT_FALSE(ToInteger(std::numeric_limits<double>::quiet_NaN()).has_value());
}

TEST(TextFile, ReaderSplitsAtCrLfOnly) {
  TextReader reader("x.txt", "one\r\ntwo\rstill two\nand more\r\n\r\nlast");
  std::string line;
  ASSERT_TRUE(reader.Line(line, "a"));
  EXPECT_EQ(line, "one");
  ASSERT_TRUE(reader.Line(line, "a"));
  EXPECT_EQ(line, "two\rstill two\nand more");
  ASSERT_TRUE(reader.Line(line, "a"));
  EXPECT_EQ(line, "");
  ASSERT_TRUE(reader.Line(line, "a"));
  EXPECT_EQ(line, "last");
  EXPECT_EQ(reader.line_number(), 4);
  EXPECT_TRUE(reader.AtEnd());

  TextReader ended("y.txt", "only\r\n");
  ASSERT_TRUE(ended.Line(line, "a"));
  EXPECT_TRUE(ended.AtEnd()) << "a final CR LF does not start an empty line";

  TextReader empty_line("z.txt", "\r\n");
  ASSERT_TRUE(empty_line.Line(line, "a"));
  EXPECT_EQ(line, "");
  EXPECT_TRUE(empty_line.AtEnd());

  EXPECT_TRUE(TextReader("e.txt", "").AtEnd());
}

TEST(TextFile, ReaderReportsTheEndOfFileWithTheMissingLineAndWhatWasExpected) {
  TextReader reader("/m/base.mlc", "[VERSION 0.2]\r\ngate\r\n");
  reader.set_context("a location record");
  std::string line;
  ASSERT_TRUE(reader.Line(line, "version"));
  ASSERT_TRUE(reader.Line(line, "loc_name"));
  EXPECT_FALSE(reader.Line(line, "loc_desc"));
  ASSERT_TRUE(reader.error().has_value());
  EXPECT_EQ(reader.error()->line, 3);
  EXPECT_EQ(reader.error()->Message(),
            "/m/base.mlc:3: the file ends inside a location record (loc_desc expected)");
}

TEST(TextFile, ReaderTakesNumbersAndFlagsByLine) {
  TextReader reader("n.txt",
                    Lines({"-64 ", "abc", " 2.5 ", " .5 ", "True", "true", "True ", "False", "40000"}));
  std::int16_t integer = 1;
  float single = 0;
  bool flag = false;
  ASSERT_TRUE(reader.Integer(integer, "loc_x"));
  EXPECT_EQ(integer, -64);
  ASSERT_TRUE(reader.Integer(integer, "loc_y"));
  EXPECT_EQ(integer, 0);
  ASSERT_TRUE(reader.Integer(integer, "loc_z"));
  EXPECT_EQ(integer, 2);
  ASSERT_TRUE(reader.Single(single, "npc_skill"));
  EXPECT_EQ(single, 0.5f);
  ASSERT_TRUE(reader.Bool(flag, "weapon1"));
  EXPECT_TRUE(flag);
  ASSERT_TRUE(reader.Bool(flag, "weapon2"));
  EXPECT_FALSE(flag) << "only exactly True reads true";
  ASSERT_TRUE(reader.Bool(flag, "weapon3"));
  EXPECT_FALSE(flag);
  ASSERT_TRUE(reader.Bool(flag, "weapon4"));
  EXPECT_FALSE(flag);
  EXPECT_FALSE(reader.Integer(integer, "area_radius"));
  EXPECT_EQ(reader.error()->Message(), "n.txt:9: area_radius \"40000\" is out of range (-32768 to 32767)");
  EXPECT_EQ(integer, 2) << "a refused value leaves the field alone";

  TextReader huge("s.txt", "1e39\r\n");
  EXPECT_FALSE(huge.Single(single, "npc_skill"));
  EXPECT_EQ(huge.error()->Message(), "s.txt:1: npc_skill \"1e39\" is out of range");
}

TEST(TextFile, EveryHighByteAndVeryLongLinesPassUnchanged) {
  std::string high;
  for (int b = 0x80; b <= 0xFF; ++b)
    high += static_cast<char>(b);
  const std::string long_line(1 << 20, 'x');
  TextWriter writer;
  writer.Line(high);
  writer.Line(long_line);
  TextReader reader("h.txt", writer.bytes());
  std::string line;
  ASSERT_TRUE(reader.Line(line, "a"));
  EXPECT_EQ(line, high);
  ASSERT_TRUE(reader.Line(line, "b"));
  EXPECT_EQ(line, long_line);
  EXPECT_TRUE(reader.AtEnd());
}

TEST(TextFile, ReadingAMissingFileOrAFolderFailsWithTheReason) {
  ScratchFolder folder;
  std::string bytes;
  FileError error;
  EXPECT_FALSE(ReadFileBytes(folder / "none.mlc", bytes, error));
  EXPECT_EQ(error.Message(), folder / "none.mlc" + ": cannot open the file: No such file or directory");
  EXPECT_FALSE(ReadFileBytes(folder.dir(), bytes, error));
  EXPECT_EQ(error.reason, "cannot open the file: it is a folder");
  EXPECT_FALSE(ReadFileBytes("/dev/null", bytes, error));
  EXPECT_EQ(error.reason, "cannot open the file: it is not a regular file");
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(ReadFileBytes(folder / "pipe", bytes, error)) << "a named pipe must not block the reader";
  Spit(folder / "some.mlc", std::string("a\0b", 3));
  ASSERT_TRUE(ReadFileBytes(folder / "some.mlc", bytes, error));
  EXPECT_EQ(bytes, std::string("a\0b", 3));
}

}  // namespace
}  // namespace vyr::editor
