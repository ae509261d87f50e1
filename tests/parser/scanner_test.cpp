// Token by token: keywords, numbers, string pieces, comments and the line counter.
#include "vyrparser/core/scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "vyrparser/core/script_parser.h"

namespace vyr::parser {
namespace {

struct Scanned {
  std::vector<Tok> kinds;
  std::vector<std::string> texts;
  std::vector<int> lines;  // the line counter after each token
  std::vector<int> ints;
  std::vector<float> floats;
};

// Hands out the bytes of a string in pieces of at most `piece` bytes per read, and fails once
// `fail_at` bytes have gone out.
class PieceSource : public ByteSource {
 public:
  PieceSource(std::string_view bytes, std::size_t piece, std::size_t fail_at = SIZE_MAX)
      : bytes_(bytes), piece_(piece), fail_at_(fail_at) {}
  std::ptrdiff_t Read(char* dst, std::size_t n) override {
    if (given_ >= fail_at_) return -1;
    n = std::min({n, piece_, bytes_.size() - given_, fail_at_ - given_});
    std::memcpy(dst, bytes_.data() + given_, n);
    given_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::string_view bytes_;
  std::size_t piece_;
  std::size_t fail_at_;
  std::size_t given_ = 0;
};

// Scans to the end of the input or to the first lexical error (included).
Scanned ScanWith(Scanner& scanner) {
  Scanned out;
  for (;;) {
    const Token t = scanner.Next();
    if (t.kind == Tok::kEnd) break;
    out.kinds.push_back(t.kind);
    out.texts.emplace_back(t.text);
    out.lines.push_back(scanner.line());
    if (t.kind == Tok::kInt) out.ints.push_back(t.int_value);
    if (t.kind == Tok::kFloat) out.floats.push_back(t.float_value);
    if (t.kind == Tok::kLexError || t.kind == Tok::kReadError) break;
  }
  return out;
}

bool operator==(const Scanned& a, const Scanned& b) {
  return a.kinds == b.kinds && a.texts == b.texts && a.lines == b.lines && a.ints == b.ints &&
         a.floats == b.floats;
}

// Scans `input` held whole, and read through windows of several sizes in short reads: every way
// must give the same tokens, texts, lines and values.
Scanned ScanAll(const std::string& input) {
  Scanner whole(std::string_view(input.c_str(), input.size()));
  const Scanned out = ScanWith(whole);
  for (const std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{70}}) {
    PieceSource source(input, chunk == 70 ? 5 : chunk);
    Scanner windowed(source, chunk);
    EXPECT_TRUE(ScanWith(windowed) == out) << "chunk " << chunk << ": " << input;
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
  // Every keyword of the language is recognised, and nothing one letter longer or shorter is.
  struct Keyword {
    const char* text;
    Tok kind;
  };
  const Keyword keywords[] = {
#define VYR_TEST_KEYWORD(name, text) {text, Tok::k##name},
      VYR_KEYWORDS(VYR_TEST_KEYWORD)
#undef VYR_TEST_KEYWORD
  };
  // "location" and "locations" are both keywords.
  auto kind_of = [&](const std::string& text) {
    for (const Keyword& k : keywords)
      if (text == k.text) return k.kind;
    return Tok::kIdent;
  };
  for (const Keyword& k : keywords) {
    const std::string word = k.text;
    const Scanned w = ScanAll(word + " " + word + "s " + word.substr(0, word.size() - 1) + " x" + word);
    EXPECT_EQ(w.kinds,
              (Kinds{k.kind, kind_of(word + "s"), kind_of(word.substr(0, word.size() - 1)), Tok::kIdent}))
        << word;
  }
}

TEST(Scanner, WordsEndAtTheFirstByteNoWordHolds) {
  // Every length across the 16-byte steps, ended by every byte value: the word is the letters,
  // digits, "_" and "." before it.
  const std::string letters = "aZ_.9zA0b.Y_";
  for (std::size_t length = 1; length <= 40; ++length) {
    std::string word;
    for (std::size_t i = 0; i < length; ++i)
      word += letters[(i * 7 + length) % letters.size()];
    word[0] = 'w';
    for (int end = 0; end < 256; ++end) {
      const char c = static_cast<char>(end);
      const bool part = std::isalnum(end) || c == '_' || c == '.';
      const std::string input = word + c + "x;";
      Scanner scanner(input);
      const Token t = scanner.Next();
      ASSERT_EQ(t.kind, Tok::kIdent);
      ASSERT_EQ(t.text.size(), part ? length + 2 : length) << length << " " << end;  // "x" follows
    }
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

TEST(Scanner, FloatsAreTheNearestSingleAtEveryLength) {
  // Short and long forms, signs, leading and trailing zeros: each value must be bit for bit the
  // correctly rounded conversion of its text.
  std::mt19937 random(7);
  std::string input;
  for (int i = 0; i < 60000; ++i) {
    const std::string number = std::to_string(i < 20000 ? i : random() % 100000000);
    const std::string digits = std::string(random() % 3, '0') + number + std::to_string(random() % 10);
    const std::size_t point = 1 + random() % (digits.size() - 1);
    if (i % 3 == 0) input += '-';
    input.append(digits, 0, point).append(".").append(digits, point).append(" ");
  }
  input += "0.0 -0.0 9999999.9 1.1754943e3 3.4028235";
  Scanner scanner(input);
  int floats = 0;
  for (Token t = scanner.Next(); t.kind != Tok::kEnd; t = scanner.Next()) {
    if (t.kind != Tok::kFloat) continue;
    ++floats;
    float expected = 0.0f;
    std::from_chars(t.text.data(), t.text.data() + t.text.size(), expected);
    ASSERT_EQ(std::memcmp(&expected, &t.float_value, sizeof(float)), 0) << t.text;
  }
  EXPECT_EQ(floats, 60005);
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
  // A literal cut off by the end of the input just ends; one right after another stays apart.
  EXPECT_EQ(ScanAll("\"abc").texts, (Texts{"abc"}));
  EXPECT_EQ(ScanAll("\"ab\"\"cd\"\"\"e").texts, (Texts{"ab", "cd", "e"}));
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

// Scanning the stored bytes gives the tokens and lines the text-mode stream would, also where a run
// of white space puts a CR LF pair across the scanner's 16-byte steps.
TEST(Scanner, CarriageReturnsBeforeLineFeedsAreInvisible) {
  const std::string alphabet[] = {"\r\n", "\r", "\n", "*", "/", "/*",    "*/", "//",
                                  "\"",   "a",  " ",  "5", "-", "x\r\n", "\t", std::string(15, ' ')};
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

// The reader marks the end of the bytes in memory with a NUL: a NUL of the script itself must not
// pass for it, wherever it stands.
TEST(Scanner, NulBytesInTheScriptAreNotTheEndOfTheInput) {
  using namespace std::string_literals;
  Scanned s = ScanAll("a\n\0\nb"s);
  EXPECT_EQ(s.kinds, (Kinds{Tok::kIdent, Tok::kLexError}));
  EXPECT_EQ(s.texts.back(), "\0"s);
  EXPECT_EQ(s.lines.back(), 2);
  s = ScanAll("\"a\n\0\""s);
  EXPECT_EQ(s.kinds, (Kinds{Tok::kString, Tok::kString, Tok::kLexError}));
  // Comments hold any byte, a NUL at a line's end included.
  s = ScanAll("/* \0\n*\0 */ x // \0\n\0"s);
  EXPECT_EQ(s.kinds, (Kinds{Tok::kIdent, Tok::kLexError}));
  EXPECT_EQ(s.lines, (std::vector<int>{2, 3}));
}

// The parser holds a few tokens' texts while it reads on: each stays intact for the tokens after it.
TEST(Scanner, TextsStayValidForTheTokensKept) {
  std::string input;
  for (int i = 0; i < 400; ++i) {
    input += "loc_";
    input += std::to_string(i);
    input += i % 3 ? "\n\"s" : " ;\n";
    if (i % 3) {
      input += std::to_string(i);
      input += "\" ";
    }
  }
  PieceSource source(input, 3);
  Scanner scanner(source, 1);
  std::vector<std::string_view> views;
  std::vector<std::string> copies;
  for (Token t = scanner.Next(); t.kind != Tok::kEnd; t = scanner.Next()) {
    ASSERT_NE(t.kind, Tok::kLexError);
    views.push_back(t.text);
    copies.emplace_back(t.text);
    const std::size_t first = views.size() > Scanner::kTokensKept ? views.size() - Scanner::kTokensKept : 0;
    for (std::size_t i = first; i < views.size(); ++i)
      ASSERT_EQ(views[i], copies[i]) << "token " << i << " after " << views.size();
  }
  EXPECT_EQ(copies.size(), 400u + 400u);
}

TEST(Scanner, AFailedReadEndsTheTokensWithAReadError) {
  std::string input;
  for (int i = 0; i < 50; ++i)
    input += "wait 5; radio \"hello there\"; abort;\n";
  PieceSource source(input, 4, 1000);
  Scanner scanner(source, 4);
  const Scanned s = ScanWith(scanner);
  // Whole tokens read before the failure come first; the failure ends the tokens.
  Scanner whole(std::string_view(input.c_str(), input.size()));
  const Scanned all = ScanWith(whole);
  ASSERT_GE(s.kinds.size(), 2u);
  EXPECT_LT(s.kinds.size(), all.kinds.size());
  EXPECT_EQ(s.kinds.back(), Tok::kReadError);
  EXPECT_TRUE(std::equal(s.texts.begin(), s.texts.end() - 1, all.texts.begin()));
  EXPECT_EQ(scanner.Next().kind, Tok::kReadError);
  // The parser reports the failure and keeps the records it read whole.
  std::string script = "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" {\n";
  for (int i = 0; i < 3000; ++i)
    script += "location l" + std::to_string(i) + " = <1, 2, 3>;\n";
  PieceSource broken(script, SIZE_MAX, script.size() / 2);
  ParsedMission m;
  std::ostringstream errors;
  EXPECT_FALSE(ScriptParser(broken, m, errors).Run());
  EXPECT_EQ(errors.str(), "input in flex scanner failed\n");
  EXPECT_GT(m.LocationCount(), 1000u);
  EXPECT_LT(m.LocationCount(), 3000u);
  // An empty source is just the end.
  PieceSource empty("", 4);
  Scanner nothing(empty);
  EXPECT_EQ(nothing.Next().kind, Tok::kEnd);
  EXPECT_EQ(nothing.Next().kind, Tok::kEnd);
}

}  // namespace
}  // namespace vyr::parser
