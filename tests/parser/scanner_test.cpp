// Token by token: keywords, numbers, string pieces, comments and the line counter.
#include "vyrparser/core/scanner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vyr::parser {
namespace {

struct Scanned {
  std::vector<Tok> kinds;
  std::vector<std::string> texts;
  std::vector<int> lines;  // the line counter after each token
  std::vector<int> ints;
  std::vector<float> floats;
};

// Scans to the end of the input or to the first lexical error (included).
Scanned ScanAll(const std::string& input) {
  Scanner scanner(std::string_view(input.c_str(), input.size()));
  Scanned out;
  for (;;) {
    const Token t = scanner.Next();
    if (t.kind == Tok::kEnd) break;
    out.kinds.push_back(t.kind);
    out.texts.emplace_back(t.text);
    out.lines.push_back(scanner.line());
    if (t.kind == Tok::kInt) out.ints.push_back(t.int_value);
    if (t.kind == Tok::kFloat) out.floats.push_back(t.float_value);
    if (t.kind == Tok::kLexError) break;
  }
  return out;
}

using Kinds = std::vector<Tok>;
using Texts = std::vector<std::string>;

TEST(Scanner, KeywordsAreExactLowerCaseWholeWords) {
  const Scanned s = ScanAll("wait Wait wait. waiting locations location under fire set l2.x a_b");
  EXPECT_EQ(s.kinds, (Kinds{Tok::kWait, Tok::kIdent, Tok::kIdent, Tok::kIdent, Tok::kLocations,
                            Tok::kLocation, Tok::kUnder, Tok::kFire, Tok::kSet, Tok::kIdent, Tok::kIdent}));
  EXPECT_EQ(s.texts[2], "wait.");
  EXPECT_EQ(s.texts[9], "l2.x");
  // Every keyword of the language is recognised.
  for (const char* word : {"mission", "description", "annotation", "individual", "eliminated", "assembled",
                           "objectives", "entrances", "pullback", "moveup", "towards", "within", "forever"}) {
    EXPECT_NE(ScanAll(word).kinds.at(0), Tok::kIdent) << word;
  }
}

TEST(Scanner, NumbersAndPunctuation) {
  const Scanned s = ScanAll("5. -12 3.25 -0.5 70000 -70000 99999999999 -99999999999 007 5abc ->-1");
  EXPECT_EQ(s.kinds,
            (Kinds{Tok::kInt, Tok::kDot, Tok::kInt, Tok::kFloat, Tok::kFloat, Tok::kInt, Tok::kInt, Tok::kInt,
                   Tok::kInt, Tok::kInt, Tok::kInt, Tok::kIdent, Tok::kArrow, Tok::kInt}));
  // 16-bit wrap; beyond 32 bits the value saturates first.
  EXPECT_EQ(s.ints, (std::vector<int>{5, -12, 4464, -4464, -1, 0, 7, 5, -1}));
  EXPECT_EQ(s.floats, (std::vector<float>{3.25f, -0.5f}));
  EXPECT_EQ(ScanAll("0.1").floats.at(0), 0.1f);  // the nearest single-precision value
  EXPECT_EQ(
      ScanAll("{}(),=<>;!.&&||").kinds,
      (Kinds{Tok::kLBrace, Tok::kRBrace, Tok::kLParen, Tok::kRParen, Tok::kComma, Tok::kEquals, Tok::kLess,
             Tok::kGreater, Tok::kSemicolon, Tok::kBang, Tok::kDot, Tok::kAndAnd, Tok::kOrOr}));
  for (const char* bad : {"+5", "-", "- 5", "&", "|x", "/", "@", "$", "\t\x7f"}) {
    const Scanned e = ScanAll(bad);
    ASSERT_FALSE(e.kinds.empty()) << bad;
    EXPECT_EQ(e.kinds.back(), Tok::kLexError) << bad;
    EXPECT_EQ(e.texts.back().size(), 1u);
  }
}

TEST(Scanner, StringLiteralsComeInPieces) {
  // Runs, a line feed piece of its own, and no token for the quotes or an empty literal.
  Scanned s = ScanAll("\"ab c\" \"\" \"x\ny\n\" \"a+b\"");
  EXPECT_EQ(s.kinds,
            (Kinds{Tok::kString, Tok::kString, Tok::kString, Tok::kString, Tok::kString, Tok::kString}));
  EXPECT_EQ(s.texts, (Texts{"ab c", "x", "\n", "y", "\n", "a+b"}));
  EXPECT_EQ(s.lines, (std::vector<int>{1, 1, 2, 2, 3, 3}));
  // Keywords, numbers and comment markers mean nothing inside a literal.
  s = ScanAll("\"wait 5 // x /\" -1");
  EXPECT_EQ(s.texts, (Texts{"wait 5 // x /", "-1"}));
  // A string character cannot open a run, not even after a line feed.
  s = ScanAll("\"a\n=b\"");
  EXPECT_EQ(s.kinds.back(), Tok::kLexError);
  EXPECT_EQ(s.texts.back(), "=");
  EXPECT_EQ(s.lines.back(), 2);
  // Start characters, then the later ones.
  s = ScanAll("\" !'(),-./09:?AZaz\\_#%&+=@^|\"");
  EXPECT_EQ(s.texts, (Texts{" !'(),-./09:?AZaz\\_#%&+=@^|"}));
  for (char bad : std::string("\t$*;<>[]`{}~\x01\x7f\x80\xff")) {
    s = ScanAll(std::string("\"a") + bad + "\"");
    EXPECT_EQ(s.kinds.back(), Tok::kLexError) << int(bad);
    EXPECT_EQ(s.texts.back(), std::string(1, bad));
  }
  // A literal cut off by the end of the input just ends.
  EXPECT_EQ(ScanAll("\"abc").texts, (Texts{"abc"}));
}

TEST(Scanner, CommentsAndTheLineCounter) {
  Scanned s = ScanAll("a // b \" c\nd /* e\n f **/ g */ h\n\ni");
  EXPECT_EQ(s.texts, (Texts{"a", "d", "h", "i"}));
  EXPECT_EQ(s.lines, (std::vector<int>{1, 2, 3, 5}));
  // A "*" swallows the character after it, a line feed included, which is then not counted.
  s = ScanAll("/* *\n \n *\n*/ x");
  EXPECT_EQ(s.texts, (Texts{"x"}));
  EXPECT_EQ(s.lines, (std::vector<int>{2}));
  // A comment may hold any byte, a lone carriage return included.
  EXPECT_EQ(ScanAll("/* \r\x01\xff\" */ x // \r\x02\ny").texts, (Texts{"x", "y"}));
  // The end of the input inside a comment: a final "*" is an error, anything else just ends.
  s = ScanAll("x /* abc *");
  EXPECT_EQ(s.kinds, (Kinds{Tok::kIdent, Tok::kLexError}));
  EXPECT_EQ(s.texts.back(), "*");
  EXPECT_EQ(ScanAll("x /* abc **").kinds, (Kinds{Tok::kIdent}));
  EXPECT_EQ(ScanAll("x /* abc").kinds, (Kinds{Tok::kIdent}));
  EXPECT_EQ(ScanAll("x // abc").kinds, (Kinds{Tok::kIdent}));
  // Outside comments and literals a carriage return is an error.
  EXPECT_EQ(ScanAll("x\ry").kinds, (Kinds{Tok::kIdent, Tok::kLexError}));
}

// What a text-mode stream delivers: every CR right before a line feed dropped.
std::string TextMode(const std::string& raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    out += raw[i];
  }
  return out;
}

// Scanning the stored bytes gives the tokens and lines the text-mode stream would.
TEST(Scanner, CarriageReturnsBeforeLineFeedsAreInvisible) {
  const std::string alphabet[] = {"\r\n", "\r", "\n", "*", "/", "/*", "*/",
                                  "//",   "\"", "a",  " ", "5", "-",  "x\r\n"};
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string raw;
    const int pieces = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < pieces; ++i)
      raw += alphabet[random() % std::size(alphabet)];
    const std::string text = TextMode(raw);
    // "\r\r\n" leaves a CR before a line feed, which this scanner would drop once more.
    if (text.find("\r\n") != std::string::npos) continue;
    const Scanned a = ScanAll(raw);
    const Scanned b = ScanAll(text);
    ASSERT_EQ(a.kinds, b.kinds) << raw;
    ASSERT_EQ(a.texts, b.texts) << raw;
    ASSERT_EQ(a.lines, b.lines) << raw;
  }
  const Scanned s = ScanAll("\"a\r\nb\" /* *\r\n */ c\r\n\r\nd");
  EXPECT_EQ(s.texts, (Texts{"a", "\n", "b", "c", "d"}));
  EXPECT_EQ(s.lines, (std::vector<int>{1, 2, 2, 2, 4}));
}

}  // namespace
}  // namespace vyr::parser
