#include "platform/codepage.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b)
    bytes += static_cast<char>(b);
  return bytes;
}

TEST(Codepage, EveryByteRoundTripsThroughUtf16AndUtf8) {
  const std::string bytes = AllBytes();
  EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(bytes)), bytes);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(bytes)), bytes);
}

TEST(Codepage, MapsTheHighControlRange) {
  EXPECT_EQ(Cp1252ToUnicode(0x80), u'\u20AC');  // euro sign
  EXPECT_EQ(Cp1252ToUnicode(0x9F), u'\u0178');
  EXPECT_EQ(Cp1252ToUnicode(0xE9), u'\u00E9');
  for (unsigned char unassigned : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(Cp1252ToUnicode(unassigned), char16_t{unassigned});
  }
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
}

TEST(Codepage, CharactersOutsideThePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToCp1252(u"a\u4E2Db"), "a?b");
  EXPECT_EQ(Utf16ToCp1252(u"\U0001F600"), "?");                        // a surrogate pair is one character
  EXPECT_EQ(Utf16ToCp1252(std::u16string(1, char16_t{0xD800})), "?");  // unpaired
  EXPECT_EQ(Utf16ToCp1252(u"\u0080"), "?");  // C1 control with an assigned byte elsewhere
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), "\x80");
}

TEST(Codepage, MalformedUtf8GivesOneQuestionMarkPerBadByte) {
  EXPECT_EQ(Utf8ToCp1252("a\xFF"
                         "b"),
            "a?b");
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");            // cut short at the end
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");       // overlong
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");  // encoded surrogate
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82"
                         "x"),
            "??x");
  EXPECT_EQ(Utf8ToCp1252(""), "");
}

TEST(Codepage, FileNamesGoToUtf8WholeIncludingPairs) {
  EXPECT_EQ(Utf16ToUtf8(u"/tmp/jos\u00E9/\u4E2D.vyr"), "/tmp/jos\xC3\xA9/\xE4\xB8\xAD.vyr");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xDC00})), "\xEF\xBF\xBD");
}

}  // namespace
