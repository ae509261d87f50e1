// The mission script generator: turns the mission document into the script text the bot system reads.
// It writes what the document holds without checking it; finding mistakes is the error check's job.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/document/record_edit.h"

#include "editor/document/status.h"

namespace vyr::editor {

class MissionDocument;

// Receives each step's caption as the generator reaches it, for a progress window.
using CompileProgress = std::function<void(std::string_view caption)>;

// The address on the fourth header line; padded with blanks to the width of the separator lines.
inline constexpr std::string_view kMakerAddress = "https://www.example.org/vyr-mission-editor";

// The whole script text for `document`, every line ended by CR LF; captions go to `progress` in order.
// The only change to the document: an area list that lacks its final "?" gets it appended.
std::string GenerateScript(MissionDocument& document, const CompileProgress& progress = {});

// Where one line of a generated script comes from: the record, the field when one field wrote it (none
// for a record's framing: braces, keywords, blank lines), and for a field whose text spans lines (a plan,
// the annotation) the 1-based line of that text (1 for a one-line field); 0 when no field wrote it.
struct ScriptLineSource {
  RecordRef record;
  std::optional<Field> field;
  int text_line = 0;
};

// A script and its line map: lines[n - 1] tells where line n (as the parser counts lines) comes from.
struct GeneratedScript {
  std::string text;
  std::vector<ScriptLineSource> lines;
};

// The same bytes as GenerateScript, with the line map, and the document left exactly as it is.
GeneratedScript GenerateScriptWithLines(const MissionDocument& document);

// Writes the script for `document` to `file_name`, whole or not at all: an existing file stays
// intact when writing fails, and the failure names the file and the reason. "Done." is the last
// caption, reported once the file is in place.
Status CompileMission(MissionDocument& document, const std::string& file_name,
                      const CompileProgress& progress = {});

// The skill form of the script: "1", "0.5", "0.25", "0.00001" (at most seven significant digits, never an
// exponent, which the script's numbers cannot have).
std::string SkillText(float value);

}  // namespace vyr::editor
