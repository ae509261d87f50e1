// The mission project file (.cme): the general mission information, the annotation, and the names of
// the four section files, with the Open, Save and Save As flows of a project.
//
// OpenProject, SaveProject and SaveProjectAs tell the user about a failure through the UserInterface and
// return it as well; LoadProject and WriteProject only return it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "editor/document/mission_document.h"
#include "editor/document/status.h"
#include "editor/document/user_interface.h"

namespace vyr::editor {

inline constexpr std::string_view kProjectVersionLine = "[VERSION 0.2]";
inline constexpr std::string_view kLocalMarker = "[LOCAL]";
inline constexpr std::string_view kStartAnnotation = "[START ANNOTATION]";
inline constexpr std::string_view kStopAnnotation = "[STOP ANNOTATION]";
inline constexpr std::string_view kProjectFilter = "Mission Project (*.cme)|*.cme";
inline constexpr std::string_view kSaveProjectTitle = "Save project as";

// Every path the editor loads or writes goes to the recent-files list.
class RecentFiles {
 public:
  virtual ~RecentFiles() = default;
  virtual void AddToRecent(const std::string& path) = 0;
};

// A section directory as the project file keeps it: "[LOCAL]" plus the rest when it begins with the
// project directory (compared as the file system compares names), otherwise unchanged.
std::string StoredDirectory(const std::string& section_directory, const std::string& project_directory);
// The reverse: only an exact-case "[LOCAL]" prefix is replaced by the project file's directory; a "\"
// in the rest (as Windows writes "[LOCAL]Sub\") is a folder separator.
std::string ExpandedDirectory(const std::string& stored, const std::string& project_directory);

// The project file as bytes for a project at `project_directory`, or why it cannot be written.
Status FormatProject(const MissionDocument& document, const std::string& project_directory,
                     std::string& bytes);
// The same, naming `sections` (in section order) instead of the document's own section files.
Status FormatProject(const MissionDocument& document, const std::array<FileNamePair, 4>& sections,
                     const std::string& project_directory, std::string& bytes);

// Reads the project file and, as each is named, its section files into a fresh document. The project
// name, caption and root text are set first and the mission information is emptied; a fault part-way
// keeps what was read and is returned with its file and line. A section file that cannot be read
// completely is marked unread (UnreadSection) and the load goes on; the returned fault names every such
// file. Every node ends up expanded and the root selected.
Status LoadProject(MissionDocument& document, RecentFiles& recent, const std::string& path);

// Saves the four sections (an unnamed one asks for its name, beside the project and named after it) and
// the project file as one set: every file is written whole before any is replaced. A section that was not
// read keeps naming its file, which is not written; when it has changed since, the author is asked. A
// cancelled dialog (Status::Cancelled()), two files of the set on one path, or a file that cannot be
// written leaves all five files and every name as they were.
Status WriteProject(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                    const std::string& path);

// The three commands return Status::Cancelled() when the user cancels a dialog, and tell nothing then.
//
// Open Project: the "Open" dialog in `project_directory`, then LoadProject.
Status OpenProject(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                   const std::string& project_directory);
// Save Project: Save As for an unnamed project, else WriteProject to its own file.
Status SaveProject(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                   const std::string& new_project_directory = {});
// Save Project as: the "Save project as" dialog in the project directory with the project name filled
// in; a never-saved project starts in `new_project_directory` (the settings' project folder) when that
// folder exists. A name typed without an extension gets ".cme".
Status SaveProjectAs(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                     const std::string& new_project_directory = {});

}  // namespace vyr::editor
