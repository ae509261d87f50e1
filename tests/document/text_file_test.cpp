#include "editor/document/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <utility>

#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

TEST(TextFile, NumbersAreWrittenInSignSpaceFormWithATrailingBlank) {
  TextWriter writer;
  writer.Integer(0);
  writer.Integer(120);
  writer.Integer(-32768);
  writer.Single(-0.25f);
  writer.Bool(true);
  writer.Bool(false);
  writer.Line("");
  EXPECT_EQ(writer.bytes(), " 0 \r\n 120 \r\n-32768 \r\n-.25 \r\nTrue\r\nFalse\r\n\r\n");
}

TEST(TextFile, SinglesKeepSevenSignificantDigitsAndNoLeadingZero) {
  const std::pair<float, const char*> cases[] = {
      {1.0f / 3.0f, " .3333333"},
      {2.0f / 3.0f, " .6666667"},
      {123.456f, " 123.456"},
      {100.0f, " 100"},
      {1234567.0f, " 1234567"},
      {-7.5f, "-7.5"},
      {0.00001f, " .00001"},
      {0.000012345f, " .000012345"},
      // Only very large or very small magnitudes take an exponent.
      {12345678.0f, " 1.234568E+07"},
      {1e7f, " 1E+07"},
      {0.000001f, " 1E-06"},
      {-2.5e-20f, "-2.5E-20"},
      // Rounding to seven digits may reach the next power of ten.
      {9999999.0f, " 9999999"},
      {0.99999999f, " 1"},
      // Values a reader can never produce still give a line a reader accepts.
      {-0.0f, " 0"},
      {kNaN, " 0"},
      {kInfinity, " 3.402823E+38"},
      {-kInfinity, "-3.402823E+38"}};
  for (const auto& [value, text] : cases)
    EXPECT_EQ(SignSpaceSingle(value), text) << value;
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
  const std::pair<std::string, double> cases[] = {
      {" 120 ", 120.0},
      {"\t 7", 7.0},
      {"-.5", -0.5},
      {"+3", 3.0},
      {"5.", 5.0},
      {"12abc", 12.0},
      {"1 2", 1.0},
      {"1E3", 1000.0},
      {"1.5D2", 150.0},
      {"2.5e-1", 0.25},
      {"1e+", 1.0},
      {"007", 7.0},
      // Not numbers.
      {"", 0.0},
      {" ", 0.0},
      {"abc", 0.0},
      {"-", 0.0},
      {".", 0.0},
      {"-.", 0.0},
      {"nan", 0.0},
      {"inf", 0.0},
      {"e5", 0.0},
      {std::string("\xA0") + "5", 0.0},
      // Underflow, and exponents or digit strings too long for any integer type.
      {"1e-99999999999999999999", 0.0},
      {"0e99999", 0.0},
      {"0." + std::string(100000, '0') + "1", 0.0},
      {std::string(100000, '0') + "42", 42.0}};
  for (const auto& [text, value] : cases)
    EXPECT_EQ(LeadingNumber(text), value) << text.substr(0, 40);
  for (const std::string& text :
       {std::string("1e400"), std::string("-1e99999999999999999999"), std::string(500, '9')}) {
    EXPECT_FALSE(LeadingNumber(text).has_value()) << text;
  }
}

TEST(TextFile, IntegersRoundHalfToEvenAndRefuseWhatDoesNotFit) {
  const std::pair<double, int> cases[] = {{2.5, 2},    {3.5, 4},         {-2.5, -2},
                                          {0.4999, 0}, {32767.4, 32767}, {-32768.5, -32768}};
  for (const auto& [value, integer] : cases)
    EXPECT_EQ(ToInteger(value), integer) << value;
  for (double value : {32767.5, -32769.0, 1e300, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_FALSE(ToInteger(value).has_value()) << value;
  }
}

TEST(TextFile, ReaderSplitsAtCrLfOrAtLfWhenTheFirstLineEndsSo) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"one\r\ntwo\rstill two\nand more\r\n\r\nlast", {"one", "two\rstill two\nand more", "", "last"}},
      {"only\r\n", {"only"}},  // a final CR LF does not start an empty line
      {"\r\n", {""}},
      {"", {}},
      // A file with LF line ends (a hand edit, a checkout): every LF ends a line, a CR before it too.
      {"one\ntwo\r\n\nlast\n", {"one", "two", "", "last"}},
      {"\nx", {"", "x"}}};
  for (const auto& [bytes, expected] : cases) {
    TextReader reader("x.txt", bytes);
    std::vector<std::string> lines;
    for (std::string line; !reader.AtEnd() && reader.Line(line, "a");)
      lines.push_back(line);
    EXPECT_EQ(lines, expected) << VisibleLineAt(bytes, 0);
    EXPECT_EQ(reader.line_number(), static_cast<int>(expected.size()));
  }
}

TEST(TextFile, ReaderErrorsNameTheLineAndWhatWasExpected) {
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

  // A value out of range is refused and leaves the field alone.
  TextReader numbers("n.txt", Lines({" 2.5 ", "40000", "1e39"}));
  std::int16_t integer = 1;
  ASSERT_TRUE(numbers.Integer(integer, "loc_z"));
  EXPECT_EQ(integer, 2);
  EXPECT_FALSE(numbers.Integer(integer, "area_radius"));
  EXPECT_EQ(numbers.error()->Message(), "n.txt:2: area_radius \"40000\" is out of range (-32768 to 32767)");
  EXPECT_EQ(integer, 2);
  float single = 0.5f;
  EXPECT_FALSE(numbers.Single(single, "npc_skill"));
  EXPECT_EQ(numbers.error()->Message(), "n.txt:3: npc_skill \"1e39\" is out of range");
  EXPECT_EQ(single, 0.5f);
}

TEST(TextFile, ReadingAMissingFileOrAFolderFailsWithTheReason) {
  ScratchFolder folder;
  FileError error;
  EXPECT_FALSE(TextReader::Open(folder / "none.mlc", error));
  EXPECT_EQ(error.Message(), folder / "none.mlc" + ": cannot open the file: No such file or directory");
  EXPECT_FALSE(TextReader::Open(folder.dir(), error));
  EXPECT_EQ(error.reason, "cannot open the file: it is a folder");
  EXPECT_FALSE(TextReader::Open("/dev/null", error));
  EXPECT_EQ(error.reason, "cannot open the file: it is not a regular file");
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(TextReader::Open(folder / "pipe", error)) << "a named pipe must not block the reader";
  Spit(folder / "some.mlc", std::string("a\0b\r\nc\nd", 8));
  std::optional<TextReader> reader = TextReader::Open(folder / "some.mlc", error);
  ASSERT_TRUE(reader);
  std::string line;
  ASSERT_TRUE(reader->Line(line, "first"));
  EXPECT_EQ(line, std::string("a\0b", 3));
  ASSERT_TRUE(reader->Line(line, "second"));
  EXPECT_EQ(line, "c\nd");
  EXPECT_TRUE(reader->AtEnd());

  // A damaged name is quoted as a short, printable excerpt.
  const FileError damaged{std::string(5000, 'x') + "\x01", 2, "cannot open the file"};
  EXPECT_LT(damaged.Message().size(), 250u);
  EXPECT_NE(damaged.Message().find("xxx...xxx"), std::string::npos) << damaged.Message();
  EXPECT_NE(damaged.Message().find("x\\x01:2: cannot open"), std::string::npos) << damaged.Message();
}

}  // namespace
}  // namespace vyr::editor
