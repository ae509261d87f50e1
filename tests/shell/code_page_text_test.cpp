// Text crossing between the code page and Qt: the high control range byte by byte, what fits, box line
// breaks both ways, and file names that are not UTF-8.
#include "editor/gui/common/code_page_text.h"

#include <gtest/gtest.h>

#include <QTextDocument>
#include <array>

namespace vyr::gui {
namespace {

TEST(CodePageText, TheHighControlRangeConvertsByteForByteAndFits) {
  constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                              0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  for (int b = 0x80; b <= 0x9F; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const QString text = FromCodePage(byte);
    ASSERT_EQ(text.size(), 1) << "byte " << b;
    EXPECT_EQ(text.at(0).unicode(), kHigh[static_cast<std::size_t>(b - 0x80)]) << "byte " << b;
    EXPECT_TRUE(FitsCodePage(text, 0)) << "byte " << b;
    EXPECT_EQ(ToCodePage(text), byte) << "byte " << b;
  }
  // The bytes around the range, and a whole line of them.
  EXPECT_EQ(FromCodePage("\x7F\xA0\xFF"), QString::fromUtf16(u"\u007F\u00A0\u00FF"));
  EXPECT_EQ(ToCodePage(FromCodePage("Jos\xE9 \x80 5\x92s")), "Jos\xE9 \x80 5\x92s");
}

TEST(CodePageText, AQuestionMarkFitsAndForeignCharactersAreNamedWhole) {
  CodePageValidator validator;
  int position = 0;
  for (const QString& fits :
       {QStringLiteral("?"), QStringLiteral("where?"), QStringLiteral("\u20AC\u0178")}) {
    QString input = fits;
    EXPECT_TRUE(FirstForeignCharacter(fits).isEmpty()) << fits.toStdString();
    EXPECT_EQ(validator.validate(input, position), QValidator::Acceptable) << fits.toStdString();
    EXPECT_EQ(input, fits);
  }
  EXPECT_EQ(ToCodePage(QStringLiteral("a?b")), "a?b");

  const QString chinese = QString::fromUtf16(u"ab\u4E2Dc?");
  EXPECT_FALSE(FitsCodePage(chinese, 2));
  EXPECT_TRUE(FitsCodePage(chinese, 4));
  EXPECT_EQ(FirstForeignCharacter(chinese), QString::fromUtf16(u"\u4E2D"));
  // A pair is one character; a lone half is one too. U+0080 has no byte of its own.
  EXPECT_EQ(FirstForeignCharacter(QString::fromUtf16(u"x\U0001F600y")), QString::fromUtf16(u"\U0001F600"));
  const QString lone = QString(QChar(0xD83D)) + QStringLiteral("z");
  EXPECT_EQ(FirstForeignCharacter(lone), QString(QChar(0xD83D)));
  EXPECT_EQ(FirstForeignCharacter(QString(QChar(0x0080))), QString(QChar(0x0080)));
  EXPECT_TRUE(FirstForeignCharacter(QString()).isEmpty());
}

TEST(CodePageText, BoxLineBreaksBecomeCrLfAndForeignCharactersAreTakenOut) {
  EXPECT_EQ(ToBoxLines("one\r\ntwo\r\n"), QStringLiteral("one\ntwo\n"));
  EXPECT_EQ(ToBoxLines("lone\rcr"), QStringLiteral("lone\rcr"));

  // Shift+Enter puts U+2028 in the box, Enter starts a paragraph (U+2029): both are CR LF.
  QTextDocument box;
  box.setPlainText(QString::fromUtf16(u"a\u2028b\nc\u00A0d?"));
  EXPECT_EQ(FromBoxLines(box),
            "a\r\nb\r\nc\xA0"
            "d?");

  box.setPlainText(QString::fromUtf16(u"\u4E2Da\u2028\U0001F600b\nc\u4E8C"));
  EXPECT_EQ(TakeOutForeignCharacters(box), QString::fromUtf16(u"\u4E2D"));
  EXPECT_EQ(FromBoxLines(box), "a\r\nb\r\nc");
  (void)TakeOutForeignCharacters(box);  // nothing more to take
  EXPECT_EQ(FromBoxLines(box), "a\r\nb\r\nc");
}

TEST(CodePageText, NamesAreUtf8AndOtherBytesReadAsTheCodePage) {
  EXPECT_EQ(FromPath("/home/jos\xC3\xA9/\xE4\xB8\xAD.cme"),
            QString::fromUtf16(u"/home/jos\u00E9/\u4E2D.cme"));
  EXPECT_EQ(ToPath(QString::fromUtf16(u"/home/jos\u00E9/\u4E2D.cme")), "/home/jos\xC3\xA9/\xE4\xB8\xAD.cme");
  // Not UTF-8: a lone high byte, a sequence cut short, an overlong form.
  EXPECT_EQ(FromPath("/home/jos\xE9/a.cme"), QString::fromUtf16(u"/home/jos\u00E9/a.cme"));
  EXPECT_EQ(FromPath("x\xC3"), QString::fromUtf16(u"x\u00C3"));
  EXPECT_EQ(FromPath("\xC0\xAF"), QString::fromUtf16(u"\u00C0\u00AF"));
  EXPECT_EQ(FromMessage("Cannot read jos\xE9.mlc: \x93gone\x94"),
            QString::fromUtf16(u"Cannot read jos\u00E9.mlc: \u201Cgone\u201D"));
  EXPECT_EQ(FromMessage("caf\xC3\xA9"), QString::fromUtf16(u"caf\u00E9"));
}

}  // namespace
}  // namespace vyr::gui
