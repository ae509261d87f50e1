// The mission script generator: turns the mission document into the script text the bot system reads.
// It writes what the document holds without checking it; finding mistakes is the error check's job.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "editor/document/records.h"
#include "editor/document/status.h"

namespace vyr::editor {

class MissionDocument;

// Receives each step's caption as the generator reaches it, for a progress window.
using CompileProgress = std::function<void(std::string_view caption)>;

// The address on the fourth header line; padded with blanks to the width of the separator lines.
inline constexpr std::string_view kMakerAddress = "https://www.example.org/vyr-mission-editor";

// The records the generator reads. Areas are writable because an area list that lacks its final "?"
// gets it appended in the document before it is written.
struct ScriptSource {
  const MissionInfo& info;
  std::span<const LocationRecord> locations;
  std::span<AreaRecord> areas;
  std::span<const ForceRecord> forces;
  std::span<const OutcomeRecord> outcomes;
};

// The whole script text, every line ended by CR LF. Captions go to `progress` in order.
std::string GenerateScript(const ScriptSource& source, const CompileProgress& progress = {});

// Writes the script for `document` to `file_name`, whole or not at all: an existing file stays
// intact when writing fails, and the failure names the file and the reason.
Status CompileMission(MissionDocument& document, const std::string& file_name,
                      const CompileProgress& progress = {});

// Number forms of the script: " 25", " 0", "-3" for integers; "1", "0.5" for skills.
std::string SignSpaceInteger(int value);
std::string SkillText(float value);

}  // namespace vyr::editor
