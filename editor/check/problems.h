// The problems of a mission: what the author must fix before the script parses or the game can run it
// (errors), and what parses but is likely a mistake (warnings), each on the record and field that causes
// it. The document's own rules find most of them; the library's parser, run over the generated script,
// is the authority, and its messages are mapped back to the record and field that wrote the line.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/document/record_edit.h"
#include "editor/map/plan_places.h"
#include "editor/script/generator.h"
#include "editor/script/mission_reader.h"

namespace vyr::editor {

class MissionDocument;

enum class Severity : unsigned char { kError, kWarning };

struct Problem {
  Severity severity = Severity::kError;
  RecordRef record;
  std::optional<Field> field;  // none when the record as a whole is at fault
  int line = 0;                // the 1-based line of a plan, annotation or condition text; 0 otherwise
  std::string message;         // in the author's terms, starting with where: "Team Alpha, plan line 3: ..."
  std::string what;            // the message without where: "no location named "Nowhere""

  bool operator==(const Problem&) const = default;
};

// What the library made of a script: whether it parsed, and its messages.
struct ParseVerdict {
  bool parsed = false;
  std::vector<ScriptMessage> messages;
};
using ScriptParser = std::function<ParseVerdict(std::string_view script)>;

// The document's own rules, in record order: no parse, no files. Plans are scanned through `scans` when
// given (the map shares them), so a plan unchanged since either last read it is not scanned again.
std::vector<Problem> CheckDocument(const MissionDocument& document, PlanScans* scans = nullptr);

// The errors CheckDocument finds on `record`, without the work for other records: for a record's window.
std::vector<Problem> CheckRecord(const MissionDocument& document, const RecordRef& record);

// The parser's messages about `script` as problems on the records that wrote their lines. A message
// without a line, or beyond the script, goes to the mission as a whole.
std::vector<Problem> MapParseMessages(const MissionDocument& document, const GeneratedScript& script,
                                      const std::vector<ScriptMessage>& messages);

// Every problem: the document's rules, then what the parser says of the generated script that those
// rules do not already say about the same record and field. The document is not changed.
std::vector<Problem> FindProblems(const MissionDocument& document, const ScriptParser& parse,
                                  PlanScans* scans = nullptr);

// Every problem, given what the parser said of `script` (the document's, with its line map).
std::vector<Problem> ProblemsOfVerdict(const MissionDocument& document, const GeneratedScript& script,
                                       const ParseVerdict& verdict, PlanScans* scans = nullptr);

// For a message box after a script failed to parse with `messages`: the first `most` errors, one a line
// ("Team Alpha, plan line 3: no location named "Nowhere""), how many more there are, then the parser's
// first message about the generated script's line.
std::string DescribeFailedParse(const MissionDocument& document, const std::vector<ScriptMessage>& messages,
                                std::size_t most = 8);

// A parser that writes the script to `scratch_file` (replacing it) and asks `reader` for the verdict.
// A script that cannot be written or parsed for want of the file gives a message of its own.
ScriptParser ReaderParser(MissionReader& reader, std::string scratch_file);

bool HasError(const std::vector<Problem>& problems);

// Where a record sits in the project tree: "Mission", "Areas / yard", "Forces / Blue / Alpha / Kim",
// "Mission outcome / Success 2".
std::string RecordPath(const MissionDocument& document, const RecordRef& record);

// The field as a property window labels it: "Author", "Plan", "Style", ...
std::string_view FieldLabel(Field field);

// The language's string rule: why `text` cannot stand between quotes, or nothing when it can. Only an
// annotation (`several_lines`) may hold line breaks; elsewhere the text must also not be empty.
std::optional<std::string> StringFault(std::string_view text, bool several_lines);

// The language's name rule (locations and areas): why `name` cannot be one, or nothing when it can.
std::optional<std::string> NameFault(std::string_view name);

bool IsScriptKeyword(std::string_view word);

}  // namespace vyr::editor
