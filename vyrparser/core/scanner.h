#pragma once

// The mission script scanner: turns a NUL-terminated buffer into tokens one at a time, keeping
// the line counter the error messages report. Tokens point into the buffer; nothing is allocated.

#include <cstdint>
#include <string_view>

namespace vyr::parser {

// Every keyword of the language, in one list so the token kinds and the spellings stay in step.
#define VYR_KEYWORDS(X)                                                                                      \
  X(Mission, "mission")                                                                                      \
  X(Author, "author")                                                                                        \
  X(Description, "description") X(Map, "map") X(Area, "area") X(Style, "style") X(Open, "open")              \
      X(Closed, "closed") X(Roof, "roof") X(Locations, "locations") X(Entrances, "entrances")                \
          X(Exits, "exits") X(Windows, "windows") X(Urban, "urban") X(Dark, "dark") X(Indoor, "indoor") X(   \
              Radius, "radius") X(Location, "location") X(Force, "force") X(Team, "team") X(Npc, "npc")      \
              X(Ammo, "ammo") X(Item, "item") X(Skill, "skill") X(Weapon, "weapon") X(Player, "player") X(   \
                  Rules, "rules") X(Success, "success") X(Failure, "failure") X(Respawn, "respawn")          \
                  X(Plan, "plan") X(At, "at") X(On, "on") X(Set, "set") X(For, "for") X(Forever, "forever")  \
                      X(From, "from") X(To, "to") X(Towards, "towards") X(Using, "using") X(With, "with")    \
                          X(Within, "within") X(Wait, "wait") X(Abort, "abort") X(Advance, "advance")        \
                              X(Assemble, "assemble") X(Attack, "attack") X(Continue, "continue")            \
                                  X(Cover, "cover") X(Defend, "defend") X(Freeze, "freeze")                  \
                                      X(Insert, "insert") X(Join, "join") X(Observe, "observe") X(           \
                                          Moveup, "moveup") X(Patrol, "patrol") X(Pullback, "pullback")      \
                                          X(Phase, "phase") X(Radio, "radio") X(Signal, "signal") X(         \
                                              Snipe, "snipe") X(Spawn, "spawn") X(Split, "split")            \
                                              X(Spread, "spread") X(Take, "take") X(Until, "until") X(       \
                                                  Ready, "ready") X(Assembled, "assembled") X(Code, "code")  \
                                                  X(Contact, "contact") X(Under, "under") X(Fire, "fire") X( \
                                                      Casualty, "casualty") X(Objectives, "objectives")      \
                                                      X(Occupied, "occupied")                                \
                                                          X(Eliminated, "eliminated")                        \
                                                              X(Alive, "alive") X(Timeout, "timeout")        \
                                                                  X(None, "none")                            \
                                                                      X(Individual, "individual")            \
                                                                          X(Annotation, "annotation")

enum class Tok : std::uint8_t {
  kEnd,       // end of input
  kLexError,  // a character no lexical rule accepts; the text is that character
  kIdent,
  kInt,
  kFloat,
  kString,
  kLBrace,
  kRBrace,
  kLParen,
  kRParen,
  kComma,
  kEquals,
  kLess,
  kGreater,
  kSemicolon,
  kBang,
  kDot,
  kAndAnd,
  kArrow,
  kOrOr,
#define VYR_KEYWORD_ENUM(name, text) k##name,
  VYR_KEYWORDS(VYR_KEYWORD_ENUM)
#undef VYR_KEYWORD_ENUM
};

struct Token {
  Tok kind = Tok::kEnd;
  std::string_view text;  // the matched text (a string piece without its quotes); empty at the end
  std::int16_t int_value = 0;
  float float_value = 0.0f;
};

class Scanner {
 public:
  // `input` must be followed by a NUL byte (input.data()[input.size()] == '\0').
  explicit Scanner(std::string_view input);

  Token Next();
  // The line counter: 1 plus the line feeds consumed so far.
  int line() const { return line_; }

 private:
  bool ScanNormal(Token& t);
  bool ScanString(Token& t);
  Token ScanNumber(const char* start);
  bool SkipBlockComment(Token& error);

  const char* p_;
  const char* end_;
  int line_ = 1;
  bool in_string_ = false;
};

// Drops every carriage return that comes right before a line feed, in place, as a text-mode stream
// does; returns the new length.
std::size_t DropCarriageReturnsBeforeLineFeeds(char* data, std::size_t size);

}  // namespace vyr::parser
