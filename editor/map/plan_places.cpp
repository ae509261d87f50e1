#include "editor/map/plan_places.h"

#include <array>

namespace vyr::editor {

namespace {

// The statements that name locations, as written after their first word: "@" is a location the
// team goes to, "^" one it faces; other words must follow literally.
struct StatementForm {
  std::string_view verb;
  std::array<std::string_view, 4> rest;
};
constexpr std::array<StatementForm, 13> kForms = {{
    {"insert", {"at", "@"}},
    {"advance", {"towards", "@"}},
    {"moveup", {"to", "@"}},
    {"pullback", {"to", "@"}},
    {"assemble", {"at", "@"}},
    {"attack", {"towards", "@"}},
    {"defend", {"towards", "@", "from", "@"}},
    {"snipe", {"from", "@", "towards", "^"}},
    {"spread", {"towards", "@"}},
    {"freeze", {"towards", "^"}},
    {"observe", {"^"}},
    {"signal", {"towards", "^"}},
    {"take", {"cover", "from", "^"}},
}};

enum class TokenKind : unsigned char { kEnd, kWord, kOther };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string_view text;
  int line = 1;
};

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Words (the script's identifiers and keywords) and single other characters; spacing, comments and
// string literals are skipped and counted for lines only.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  Token Next() {
    SkipSpacing();
    Token token;
    token.line = line_;
    if (pos_ >= text_.size()) return token;
    const std::size_t start = pos_;
    if (IsLetter(text_[pos_])) {
      ++pos_;
      while (pos_ < text_.size() &&
             (IsLetter(text_[pos_]) || IsDigit(text_[pos_]) || text_[pos_] == '_' || text_[pos_] == '.'))
        ++pos_;
      token.kind = TokenKind::kWord;
    } else {
      ++pos_;
      token.kind = TokenKind::kOther;
    }
    token.text = text_.substr(start, pos_ - start);
    return token;
  }

 private:
  char At(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

  void SkipSpacing() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '/' && At(pos_ + 1) == '/') {
        while (pos_ < text_.size() && text_[pos_] != '\n')
          ++pos_;
      } else if (c == '/' && At(pos_ + 1) == '*') {
        SkipBlockComment();
      } else if (c == '"') {
        SkipString();
      } else {
        return;
      }
    }
  }

  // A "*" takes the next character with it unless that is "/", so "**/" does not end the comment;
  // a line feed taken that way is not counted, as the script's own reader does.
  void SkipBlockComment() {
    pos_ += 2;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '*') {
        if (At(pos_ + 1) == '/') {
          pos_ += 2;
          return;
        }
        pos_ += 2;
      } else {
        if (c == '\n') ++line_;
        ++pos_;
      }
    }
    pos_ = text_.size();
  }

  void SkipString() {
    ++pos_;
    while (pos_ < text_.size() && text_[pos_] != '"') {
      if (text_[pos_] == '\n') ++line_;
      ++pos_;
    }
    if (pos_ < text_.size()) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

// Matches `form` after its verb; appends its places and leaves `scanner` behind it on success.
bool Match(const StatementForm& form, Scanner& scanner, std::vector<PlanPlace>& places) {
  Scanner ahead = scanner;
  const std::size_t before = places.size();
  for (std::string_view part : form.rest) {
    if (part.empty()) break;
    const Token token = ahead.Next();
    if (token.kind != TokenKind::kWord) {
      places.resize(before);
      return false;
    }
    if (part == "@" || part == "^") {
      places.push_back(PlanPlace{form.verb, std::string(token.text),
                                 part == "@" ? PlaceRole::kPosition : PlaceRole::kSight, token.line});
    } else if (token.text != part) {
      places.resize(before);
      return false;
    }
  }
  scanner = ahead;
  return true;
}

}  // namespace

std::vector<PlanPlace> ScanPlanPlaces(std::string_view plan) {
  std::vector<PlanPlace> places;
  Scanner scanner(plan);
  for (Token token = scanner.Next(); token.kind != TokenKind::kEnd; token = scanner.Next()) {
    if (token.kind != TokenKind::kWord) continue;
    for (const StatementForm& form : kForms) {
      if (form.verb == token.text) {
        Match(form, scanner, places);
        break;
      }
    }
  }
  return places;
}

const std::vector<PlanPlace>& PlanScans::Of(int force, int team, std::string_view plan) {
  static const std::vector<PlanPlace> kNone;
  if (force < 0 || team < 0) return kNone;
  if (plans_.size() <= static_cast<std::size_t>(force)) plans_.resize(static_cast<std::size_t>(force) + 1);
  std::vector<Scanned>& teams = plans_[static_cast<std::size_t>(force)];
  if (teams.size() <= static_cast<std::size_t>(team)) teams.resize(static_cast<std::size_t>(team) + 1);
  Scanned& scanned = teams[static_cast<std::size_t>(team)];
  if (scanned.scanned && scanned.text == plan) return scanned.places;
  scanned.scanned = true;
  scanned.text.assign(plan);
  scanned.places = ScanPlanPlaces(plan);
  ++scan_count_;
  return scanned.places;
}

}  // namespace vyr::editor
