// The four section file formats: locations (.mlc), areas (.mar), forces with their teams and actors
// (.mfr) and outcomes (.moc). Each begins with a version line, then records follow one another by
// position with no separator and no count.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "editor/document/records.h"
#include "editor/document/status.h"
#include "editor/document/text_file.h"

namespace vyr::editor {

inline constexpr std::string_view kSectionVersionLine = "[VERSION 0.2]";
inline constexpr std::string_view kPlanStartMarker = " -PLAN STARTS HERE -";
inline constexpr std::string_view kPlanEndMarker = " -PLAN ENDS HERE -";

enum class SectionKind { kLocations, kAreas, kForces, kOutcomes };
inline constexpr SectionKind kAllSections[] = {SectionKind::kLocations, SectionKind::kAreas,
                                               SectionKind::kForces, SectionKind::kOutcomes};

// The fixed texts that belong to one kind of section.
struct SectionTexts {
  std::string_view extension;      // ".mlc"
  std::string_view save_filter;    // Save As dialog
  std::string_view import_title;   // Import dialog
  std::string_view import_filter;  // Import dialog
  std::string_view node_caption;   // category node: caption + " (" + file name + ")"
  std::string_view record_name;    // in messages: "location"
};
const SectionTexts& TextsOf(SectionKind kind);

// "Locations (base.mlc)".
std::string CategoryNodeText(SectionKind kind, const std::string& file_name);

// Receives the records of a section file in file order, the way the document's Add operations take them.
// `force` and `team` are indices of records this reader has already passed on.
class SectionSink {
 public:
  virtual ~SectionSink() = default;
  virtual void AddLocation(const LocationRecord& location) = 0;
  virtual void AddArea(const AreaRecord& area) = 0;
  virtual void AddForce(const std::string& name, const std::string& description) = 0;
  virtual void AddTeam(int force, const std::string& name, const std::string& description,
                       const std::string& plan) = 0;
  virtual void AddActor(int force, int team, const ActorRecord& actor) = 0;
  virtual void AddOutcome(const OutcomeRecord& outcome) = 0;
};

// Writers: the whole file as bytes. They refuse (and write nothing) when a value would break the layout:
// a line break in a one-line field, or a plan line equal to the plan's end marker.
Status FormatLocations(std::span<const LocationRecord> locations, std::string& bytes);
Status FormatAreas(std::span<const AreaRecord> areas, std::string& bytes);
Status FormatForces(std::span<const ForceRecord> forces, std::string& bytes);
Status FormatOutcomes(std::span<const OutcomeRecord> outcomes, std::string& bytes);

// Reads the bytes of a section file of `kind` and passes each whole record to `sink` as soon as it is read.
// On a fault (a file ending inside a record, a number out of range, more records than a table holds)
// the records passed so far stay passed, reading stops, and the fault is returned with its line.
std::optional<FileError> ReadSectionBytes(SectionKind kind, const std::string& path, const std::string& bytes,
                                          SectionSink& sink);

}  // namespace vyr::editor
