#include "editor/document/section_files.h"

#include <functional>
#include <optional>

#include "editor/document/file_name_pair.h"
#include "editor/document/text_file.h"
#include "platform/atomic_file.h"

namespace vyr::editor {

namespace {

constexpr std::string_view kSaveTitles[] = {"Save locations as", "Save areas as", "Save forces as",
                                            "Save outcomes as"};

void Clear(MissionDocument& document, Section section) {
  switch (section) {
    case Section::kLocations:
      document.ClearLocations();
      return;
    case Section::kAreas:
      document.ClearAreas();
      return;
    case Section::kForces:
      document.ClearForces();
      return;
    case Section::kOutcomes:
      document.ClearOutcomes();
      return;
  }
}

Status SaveAsQuietly(MissionDocument& document, UserInterface& ui, Section section) {
  const auto path = internal::AskSectionPath(
      ui, section, internal::SectionProposal(document, section, document.project_file()));
  if (!path) return Status::Cancelled();
  return ExportSection(document, section, *path);
}

}  // namespace

DocumentSink::DocumentSink(MissionDocument& document) : document_(document) {}

Status DocumentSink::AddLocation(const LocationRecord& l) {
  return document_.AddLocation(l.loc_name, l.loc_desc, l.loc_x, l.loc_y, l.loc_z);
}
Status DocumentSink::AddArea(const AreaRecord& a) {
  return document_.AddArea(a.area_name, a.area_desc, a.area_locations, a.area_radius, a.area_style);
}
Status DocumentSink::AddForce(const std::string& name, const std::string& description) {
  return document_.AddForce(name, description);
}
Status DocumentSink::AddTeam(int force, const std::string& name, const std::string& description,
                             const std::string& plan) {
  return document_.AddTeam(force, name, description, plan);
}
Status DocumentSink::AddActor(int force, int team, const ActorRecord& actor) {
  return document_.AddActor(force, team, actor);
}
Status DocumentSink::AddOutcome(const OutcomeRecord& o) {
  return document_.AddOutcome(o.outcome_force, o.outcome_message, o.nextmission, o.outcome_type,
                              o.outcome_reason);
}

Status FormatSection(const MissionDocument& document, Section section, std::string& bytes) {
  switch (section) {
    case Section::kLocations:
      return FormatLocations(
          document.location_count(), [&](int i) -> const LocationRecord& { return document.location(i); },
          bytes);
    case Section::kAreas:
      return FormatAreas(
          document.area_count(), [&](int i) -> const AreaRecord& { return document.area(i); }, bytes);
    case Section::kForces:
      return FormatForces(
          document.force_count(), [&](int i) -> const ForceRecord& { return document.force(i); }, bytes);
    case Section::kOutcomes:
      break;
  }
  return FormatOutcomes(
      document.outcome_count(), [&](int i) -> const OutcomeRecord& { return document.outcome(i); }, bytes);
}

Status ExportSection(MissionDocument& document, Section section, const std::string& path) {
  std::string bytes;
  if (Status formatted = FormatSection(document, section, bytes); !formatted) {
    return FileError{path, 0, formatted.message}.ToStatus();
  }
  if (Status written = platform::WriteFileAtomically(path, bytes); !written) return written;
  document.SetSectionFile(section, SplitPath(path));
  return Status::Ok();
}

Status ReadSection(MissionDocument& document, Section section, const std::string& path) {
  FileError error;
  std::optional<TextReader> in = TextReader::Open(path, error);
  if (!in) return error.ToStatus();
  ProjectTree::Batch batch(document.tree());
  Clear(document, section);
  DocumentSink sink(document);
  if (const auto fault = ReadSectionLines(section, *in, sink)) return fault->ToStatus();
  document.SetSectionFile(section, SplitPath(path));
  return Status::Ok();
}

std::size_t SectionDigest(const MissionDocument& document, Section section) {
  std::string bytes;
  if (!FormatSection(document, section, bytes)) return 0;
  return std::hash<std::string>{}(bytes);
}

std::string_view SaveSectionTitle(Section section) {
  return kSaveTitles[static_cast<int>(section)];
}

namespace internal {

FileNamePair SectionProposal(const MissionDocument& document, Section section, const FileNamePair& project) {
  const FileNamePair& pair = document.section_file(section);
  if (!pair.unnamed() || project.unnamed()) return pair;
  std::string stem = project.name.substr(0, project.name.rfind('.'));
  if (stem.empty()) stem = project.name;
  return FileNamePair{stem + std::string(TextsOf(section).extension), project.directory};
}

std::optional<std::string> AskSectionPath(UserInterface& ui, Section section, const FileNamePair& proposal) {
  return AskSaveFile(
      ui, FileDialogRequest{std::string(SaveSectionTitle(section)), std::string(TextsOf(section).save_filter),
                            proposal.directory, proposal.name});
}

std::optional<std::string> SectionSavePath(const MissionDocument& document, UserInterface& ui,
                                           Section section, const FileNamePair& project) {
  const FileNamePair& pair = document.section_file(section);
  if (pair.unnamed()) return AskSectionPath(ui, section, SectionProposal(document, section, project));
  return pair.path();
}

}  // namespace internal

Status SaveSection(MissionDocument& document, UserInterface& ui, Section section) {
  const std::optional<std::string> path =
      internal::SectionSavePath(document, ui, section, document.project_file());
  if (!path) return Status::Cancelled();
  return Told(ui, ExportSection(document, section, *path), "The file could not be saved.");
}

Status SaveSectionAs(MissionDocument& document, UserInterface& ui, Section section) {
  return Told(ui, SaveAsQuietly(document, ui, section), "The file could not be saved.");
}

Status ImportSection(MissionDocument& document, UserInterface& ui, Section section,
                     const std::string& program_directory) {
  const SectionTexts& texts = TextsOf(section);
  const auto path = ui.AskOpenPath(FileDialogRequest{
      std::string(texts.import_title), std::string(texts.import_filter), program_directory, ""});
  if (!path) return Status::Cancelled();
  return Told(ui, ReadSection(document, section, *path), "The file could not be read completely.");
}

}  // namespace vyr::editor
