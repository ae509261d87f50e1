// Writes a ParsedMission back out as mission script text, in the library's fixed layout.
// Everything written parses again into the same model (a player's skill aside: it is not written).
#pragma once

#include <filesystem>
#include <string>

#include "platform/status.h"
#include "vyrparser/core/parsed_mission.h"

namespace vyr::parser {

// Success, or the path and the reason the file could not be written.
using WriteResult = platform::Status;

// The whole mission as text, lines ended by a bare line feed.
std::string MissionText(const ParsedMission& mission);

// Writes the whole mission to `path` with CR LF line ends, through a temporary file renamed into place.
WriteResult WriteMission(const ParsedMission& mission, const std::filesystem::path& path);

// Every statement of `list`, each ending with ";" and a line feed, at `indentation` blanks.
std::string PrintStatements(const InstructionList& list, int indentation);

// One condition on one line without a line end; "" for a null node.
std::string PrintCondition(const ConditionNode* node);

// Appending forms of the printers, for callers that build one larger text.
void AppendStatements(std::string& out, const InstructionList& list, int indentation);
void AppendCondition(std::string& out, const ConditionNode* node);

// Turns every line feed into CR LF, as a text-mode stream on Windows writes it.
std::string WithCrLf(const std::string& text);

}  // namespace vyr::parser
