// The mission script generator: turns the mission document into the script text the bot system reads.
// It writes what the document holds without checking it; finding mistakes is the error check's job.
#pragma once

#include <functional>
#include <string>
#include <string_view>

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

// Writes the script for `document` to `file_name`, whole or not at all: an existing file stays
// intact when writing fails, and the failure names the file and the reason. "Done." is the last
// caption, reported once the file is in place.
Status CompileMission(MissionDocument& document, const std::string& file_name,
                      const CompileProgress& progress = {});

// The skill form of the script: "1", "0.5", "0.25", "0.00001" (at most seven significant digits, never an
// exponent, which the script's numbers cannot have).
std::string SkillText(float value);

}  // namespace vyr::editor
