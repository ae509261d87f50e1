#include "vyrparser/core/number_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace vyr::parser {
namespace {

TEST(NumberFormatTest, GeneralFormatHasSixDigitsAndNoTrailingZeros) {
  EXPECT_EQ(FormatGeneral(100.0f), "100");
  EXPECT_EQ(FormatGeneral(-12.5f), "-12.5");
  EXPECT_EQ(FormatGeneral(3.0f), "3");
  EXPECT_EQ(FormatGeneral(2.5f), "2.5");
  EXPECT_EQ(FormatGeneral(0.0f), "0");
  EXPECT_EQ(FormatGeneral(3.14159265f), "3.14159");
  EXPECT_EQ(FormatGeneral(0.0001f), "0.0001");
  EXPECT_EQ(FormatGeneral(100000.0f), "100000.0");  // beyond 16 bits: must not read back wrapped
  EXPECT_EQ(FormatGeneral(32767.0f), "32767");
  EXPECT_EQ(FormatGeneral(-32768.0f), "-32768");
  EXPECT_EQ(FormatGeneral(32768.0f), "32768.0");
  EXPECT_EQ(FormatGeneral(-32769.0f), "-32769.0");
  EXPECT_EQ(FormatGeneral(9999.9f), "9999.9");
  EXPECT_EQ(FormatGeneral(99999.5f), "99999.5");
}

TEST(NumberFormatTest, ExponentsBecomePlainDecimal) {
  EXPECT_EQ(FormatGeneral(1e6f), "1000000.0");
  EXPECT_EQ(FormatGeneral(1234567.0f), "1234570.0");  // the six digits of the general format
  EXPECT_EQ(FormatGeneral(-2.5e7f), "-25000000.0");
  EXPECT_EQ(FormatGeneral(1e-5f), "0.00001");
  EXPECT_EQ(FormatGeneral(-1.5e-7f), "-0.00000015");
  EXPECT_EQ(FormatGeneral(1.23456e-5f), "0.0000123456");
  EXPECT_EQ(FormatGeneral(std::numeric_limits<float>::infinity()),
            "340282000000000000000000000000000000000.0");
  EXPECT_EQ(FormatGeneral(-std::numeric_limits<float>::infinity()),
            "-340282000000000000000000000000000000000.0");
  EXPECT_EQ(FormatGeneral(std::numeric_limits<float>::quiet_NaN()), "0");
}

TEST(NumberFormatTest, CoordinatesAreRightAlignedInWidthFive) {
  EXPECT_EQ(FormatCoordinate(1.0f), "    1");
  EXPECT_EQ(FormatCoordinate(-10.0f), "  -10");
  EXPECT_EQ(FormatCoordinate(100.0f), "  100");
  EXPECT_EQ(FormatCoordinate(12345.0f), "12345");
  EXPECT_EQ(FormatCoordinate(-32768.0f), "-32768");  // wider than the field: never cut
}

}  // namespace
}  // namespace vyr::parser
