// Mission script import: turns an existing mission script into a new mission document, built through
// the document's ordinary Add operations so the project tree looks as if the author had typed it all.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "editor/document/status.h"
#include "editor/document/user_interface.h"

namespace vyr::editor {

class MissionDocument;
class MissionReader;
struct ScriptMessage;

inline constexpr std::string_view kImportErrorTitle = "Error";
inline constexpr std::string_view kImportParseError = "This mission contains errors and cannot be imported.";
inline constexpr std::string_view kImportDialogTitle = "Import";
inline constexpr std::string_view kImportFilter = "Mission Script (*.vyr)|*.vyr";

// The open-file request of File > Import Mission: "Import", mission scripts, starting in the "missions"
// folder of the game folder `start_folder` (the settings' game folder; empty when none is set).
FileDialogRequest ImportMissionRequest(const std::string& start_folder);

// File > Import Mission: asks with ImportMissionRequest, then ImportMission of the chosen script;
// Status::Cancelled() when the dialog is cancelled.
Status ImportMissionCommand(MissionDocument& document, UserInterface& ui, const std::string& start_folder);

// Parses the script `file_name`, then starts a new project and fills it from the script. Failures are
// shown through `ui` (the script cannot be read, with the system's reason; it does not parse; the library
// cannot be loaded) and returned; the document is then left exactly as it was. Records beyond the document's
// capacities are left out and named in a warning that is shown and returned as the message of a successful
// status.
Status ImportMission(MissionDocument& document, const std::string& file_name, UserInterface& ui);

// The same with a reader of the caller's choosing.
Status ImportMission(MissionDocument& document, const std::string& file_name, UserInterface& ui,
                     MissionReader& reader);

// Mapping helpers, exposed for tests.
std::string MapStylesToList(int bits);   // "indoor?open?dark?urban?" order; "none?" when no bit
std::string AreaStylesToList(int bits);  // "roof?closed?open?" order; "none?" when no bit
std::string LfToCrLf(std::string_view text);
// Rounds half to even and clamps to the 16-bit range; NaN gives 0.
std::int16_t RoundToInteger(float value);

// The first `most` parse messages for a message box, one a line ("Line 12, near 'gate': use of
// undeclared location"), then how many more there are; "" for none.
std::string DescribeParseMessages(const std::vector<ScriptMessage>& messages, std::size_t most = 5);

}  // namespace vyr::editor
