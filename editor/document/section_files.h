// Saving, saving under another name and importing one section file (locations, areas, forces or
// outcomes) of the mission document, and the file name pair and category node text that follow.
//
// The menu commands (Save, Save As, Import) tell the user about a failure through the UserInterface
// and return it as well; ExportSection and ReadSection only return it, for callers that report it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "editor/document/mission_document.h"
#include "editor/document/section_format.h"
#include "editor/document/status.h"
#include "editor/document/user_interface.h"

namespace vyr::editor {

// Adds the records of a section file through the document's own Add operations, so that nodes and
// bindings are made exactly as for records added by hand.
class DocumentSink : public SectionSink {
 public:
  explicit DocumentSink(MissionDocument& document);

  Status AddLocation(const LocationRecord& l) override;
  Status AddArea(const AreaRecord& a) override;
  Status AddForce(const std::string& name, const std::string& description) override;
  Status AddTeam(int force, const std::string& name, const std::string& description,
                 const std::string& plan) override;
  Status AddActor(int force, int team, const ActorRecord& actor) override;
  Status AddOutcome(const OutcomeRecord& o) override;

 private:
  MissionDocument& document_;
};

// The whole section file as bytes, or why the section cannot be written.
Status FormatSection(const MissionDocument& document, Section section, std::string& bytes);

// Writes every record of the section to `path` (through a temporary file), then sets the section's file
// name pair and category node text. A failed write changes nothing, the old file included.
Status ExportSection(MissionDocument& document, Section section, const std::string& path);

// Replaces the section's records with those of the file at `path`, added one by one, then sets the file
// name pair and category node text. A file that cannot be opened changes nothing. A fault part-way keeps
// the records read so far, leaves the name pair as it was, and is returned with its file and line.
Status ReadSection(MissionDocument& document, Section section, const std::string& path);

// A digest of the section's content as a save would write it.
std::size_t SectionDigest(const MissionDocument& document, Section section);

// The title of a section's Save As dialog: "Save locations as"...
std::string_view SaveSectionTitle(Section section);

// The flows below return Status::Cancelled() when the user cancels the dialog, and change nothing then.
//
// Save: an unnamed section asks for a name (Save As); a named one is written to its own file.
Status SaveSection(MissionDocument& document, UserInterface& ui, Section section);
// Save As: the section's save dialog in its directory with its file name filled in (a never-saved
// section of a saved project: beside the project, named after it), then export.
Status SaveSectionAs(MissionDocument& document, UserInterface& ui, Section section);
// Import from file: an open dialog in `program_directory` with an empty file name, then ReadSection.
Status ImportSection(MissionDocument& document, UserInterface& ui, Section section,
                     const std::string& program_directory);

namespace internal {
// Where a section's save dialog starts: its own file; for a never-saved section of the project `project`,
// the project's folder and base name with the section's extension.
FileNamePair SectionProposal(const MissionDocument& document, Section section, const FileNamePair& project);
// The section's save dialog at `proposal`; the answer carries the section's extension.
std::optional<std::string> AskSectionPath(UserInterface& ui, Section section, const FileNamePair& proposal);
// Where Save writes the section: its own file, or the name the save dialog gives for an unnamed one
// (saved with the project `project`); nothing when that dialog is cancelled. The project save writes all
// its files together.
std::optional<std::string> SectionSavePath(const MissionDocument& document, UserInterface& ui,
                                           Section section, const FileNamePair& project);
}  // namespace internal

}  // namespace vyr::editor
