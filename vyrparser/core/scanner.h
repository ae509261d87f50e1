#pragma once

// The mission script scanner: turns the script's bytes into tokens one at a time, keeping the line
// counter the error messages report. Tokens point into the bytes in memory. The bytes are the file's
// as stored: a CR right before a line feed is read as if a text-mode stream had dropped it; any other
// CR is a lexical error.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

namespace vyr::parser {

// Every keyword of the language, in one list so the token kinds and the spellings stay in step.
// clang-format off
#define VYR_KEYWORDS(X) \
  X(Mission, "mission") X(Author, "author") X(Description, "description") X(Map, "map") \
  X(Area, "area") X(Style, "style") X(Open, "open") X(Closed, "closed") X(Roof, "roof") \
  X(Locations, "locations") X(Entrances, "entrances") X(Exits, "exits") X(Windows, "windows") \
  X(Urban, "urban") X(Dark, "dark") X(Indoor, "indoor") X(Radius, "radius") X(Location, "location") \
  X(Force, "force") X(Team, "team") X(Npc, "npc") X(Ammo, "ammo") X(Item, "item") X(Skill, "skill") \
  X(Weapon, "weapon") X(Player, "player") X(Rules, "rules") X(Success, "success") \
  X(Failure, "failure") X(Respawn, "respawn") X(Plan, "plan") X(At, "at") X(On, "on") X(Set, "set") \
  X(For, "for") X(Forever, "forever") X(From, "from") X(To, "to") X(Towards, "towards") \
  X(Using, "using") X(With, "with") X(Within, "within") X(Wait, "wait") X(Abort, "abort") \
  X(Advance, "advance") X(Assemble, "assemble") X(Attack, "attack") X(Continue, "continue") \
  X(Cover, "cover") X(Defend, "defend") X(Freeze, "freeze") X(Insert, "insert") X(Join, "join") \
  X(Observe, "observe") X(Moveup, "moveup") X(Patrol, "patrol") X(Pullback, "pullback") \
  X(Phase, "phase") X(Radio, "radio") X(Signal, "signal") X(Snipe, "snipe") X(Spawn, "spawn") \
  X(Split, "split") X(Spread, "spread") X(Take, "take") X(Until, "until") X(Ready, "ready") \
  X(Assembled, "assembled") X(Code, "code") X(Contact, "contact") X(Under, "under") X(Fire, "fire") \
  X(Casualty, "casualty") X(Objectives, "objectives") X(Occupied, "occupied") \
  X(Eliminated, "eliminated") X(Alive, "alive") X(Timeout, "timeout") X(None, "none") \
  X(Individual, "individual") X(Annotation, "annotation")
// clang-format on

enum class Tok : std::uint8_t {
  kEnd,        // end of input
  kLexError,   // a character no lexical rule accepts; the text is that character
  kReadError,  // the source failed to supply the script's bytes
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

// Supplies the bytes of a script that is read piece by piece.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to `n` bytes to `dst`: the number copied, 0 at the end, or -1 when reading failed.
  virtual std::ptrdiff_t Read(char* dst, std::size_t n) = 0;
};

// Bytes held in memory by the caller, who keeps them alive while they are read.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : rest_(bytes) {}
  std::ptrdiff_t Read(char* dst, std::size_t n) override;

 private:
  std::string_view rest_;
};

// Reads the script in runs of whole lines: every token but a block comment ends before a line feed,
// so a token never straddles two runs, and each run is followed by a NUL sentinel. The token
// functions scan plain memory and meet the end of a run only as that sentinel.
class Scanner {
 public:
  static constexpr std::size_t kDefaultChunkSize = 128 * 1024;
  // A token's text stays valid until this many further tokens have been read.
  static constexpr std::uint64_t kTokensKept = 64;

  // Scans `input`, which the caller keeps alive while scanning, copied in one chunk.
  explicit Scanner(std::string_view input);
  // Scans what `source` supplies, reading about `chunk_size` bytes at a time (more when a line is
  // longer), so only a window of the script is in memory. Once a read fails, the lines read whole
  // before it are scanned and then every token is a kReadError.
  explicit Scanner(ByteSource& source, std::size_t chunk_size = kDefaultChunkSize);
  ~Scanner();
  Scanner(const Scanner&) = delete;
  Scanner& operator=(const Scanner&) = delete;

  // Reads the next token into `t`.
  void Read(Token& t) {
    if (--until_retirement_ == 0) RetireChunks();
    // Opening or closing quotes produce no token: switch state and go on scanning.
    while (!(in_string_ ? ScanString(t) : ScanNormal(t))) {
    }
  }
  Token Next() {
    Token t;
    Read(t);
    return t;
  }
  // The line counter: 1 plus the line feeds consumed so far (not those a block comment's "*"
  // swallows). Worked out when asked, which is only for messages.
  int line() const;

 private:
  struct Chunk {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::uint64_t retire_after = 0;  // the token serial from which no token's text lies in it
  };

  // Each returns false when it produced no token (a quote switched the state, a comment or a run
  // ended): Read then scans again from p_. ScanNormal hands every such case, and every number, to a
  // function of its own as its last step, so its own path through a token makes no call.
  bool ScanNormal(Token& t);
  bool ScanString(Token& t);
  bool ScanNumber(const char* start, const char* digits, Token& t);
  // Skips a line comment from its "//" at `p`, up to its line feed.
  bool SkipLineComment(const char* p);
  // Skips a block comment from after its "/*" at p_; when the input ends inside it, `t` is the
  // token that ends the scan.
  bool SkipBlockComment(Token& t);
  // At the end of a run: makes the next one current, or produces the token at the end of the input.
  bool NextRun(Token& t);
  // The token at the end of the input: kEnd, or kReadError after a failed read.
  void EndOfInput(Token& t);

  // The reader: makes the next run of whole lines current (p_ at its start); false at the end of the
  // input. The run before stays readable for kTokensKept tokens.
  bool Fill();
  Chunk TakeChunk(std::size_t capacity);
  void RetireChunks();

  const char* p_;    // the next byte to scan
  const char* lim_;  // the end of the current run: a NUL sentinel and padding follow
  bool in_string_ = false;
  bool at_end_ = false;  // the source has nothing more
  bool read_failed_ = false;
  // The line counter's parts: 1 plus the line feeds of the runs before the current one, the line
  // feeds of the current run up to counted_to_, less the line feeds swallowed in comments.
  int lines_before_run_ = 1;
  int swallowed_feeds_ = 0;
  mutable const char* counted_to_;
  mutable int lines_counted_ = 0;

  std::unique_ptr<MemorySource> own_source_;
  ByteSource* source_ = nullptr;
  std::size_t chunk_size_ = kDefaultChunkSize;
  // Tokens are numbered from 1 as they are read. Only a countdown changes per token; the serial of
  // the token being read is next_retirement_ - until_retirement_.
  std::uint64_t next_retirement_ = UINT64_MAX;   // the serial at which the oldest retiring chunk goes
  std::uint64_t until_retirement_ = UINT64_MAX;  // tokens to read until then
  std::uint64_t Serial() const { return next_retirement_ - until_retirement_; }
  void SetNextRetirement(std::uint64_t serial, std::uint64_t at) {
    next_retirement_ = at;
    until_retirement_ = at - serial;
  }
  Chunk current_;
  std::deque<Chunk> retiring_;
  std::vector<Chunk> spare_;
  std::vector<char> carry_;  // bytes read after the last line feed of the current run
};

}  // namespace vyr::parser
