// The four section file formats: locations (.mlc), areas (.mar), forces with their teams and actors
// (.mfr) and outcomes (.moc). Each begins with a version line, then records follow one another by
// position with no separator and no count.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "editor/document/project_tree.h"
#include "editor/document/records.h"
#include "editor/document/status.h"
#include "editor/document/text_file.h"

namespace vyr::editor {

inline constexpr std::string_view kSectionVersionLine = "[VERSION 0.2]";
inline constexpr std::string_view kPlanStartMarker = " -PLAN STARTS HERE -";
inline constexpr std::string_view kPlanEndMarker = " -PLAN ENDS HERE -";

// Whether `line` can begin a section file: "[VERSION " with any version, then "]". Other versions are read
// with this layout.
bool IsSectionVersionLine(std::string_view line);

inline constexpr Section kAllSections[] = {Section::kLocations, Section::kAreas, Section::kForces,
                                           Section::kOutcomes};

// The fixed texts that belong to one kind of section.
struct SectionTexts {
  std::string_view extension;      // ".mlc"
  std::string_view save_filter;    // Save As dialog
  std::string_view import_title;   // Import dialog
  std::string_view import_filter;  // Import dialog
  std::string_view record_name;    // in messages: "location"
  int capacity;
};
const SectionTexts& TextsOf(Section section);

// Receives the records of a section file in file order, the way the document's Add operations take them.
// `force` and `team` are indices of records this reader has already passed on. A refusal stops the reader.
class SectionSink {
 public:
  virtual ~SectionSink() = default;
  virtual Status AddLocation(const LocationRecord& location) = 0;
  virtual Status AddArea(const AreaRecord& area) = 0;
  virtual Status AddForce(const std::string& name, const std::string& description) = 0;
  virtual Status AddTeam(int force, const std::string& name, const std::string& description,
                         const std::string& plan) = 0;
  virtual Status AddActor(int force, int team, const ActorRecord& actor) = 0;
  virtual Status AddOutcome(const OutcomeRecord& outcome) = 0;
};

// The 17 lines that every actor layout (forces file, prefab files) ends with: ammo1 to ammo5, weapon1 to
// weapon6, item1 to item5 and npc_player.
void WriteActorEquipment(TextWriter& out, const ActorRecord& actor);
bool ReadActorEquipment(TextReader& in, ActorRecord& actor);

// Record `index` of a table whose first `count` records are written.
template <class Record>
using RecordAt = std::function<const Record&(int index)>;

// Writers: the whole file as bytes. They refuse (and write nothing) when a value would break the layout:
// a line break in a one-line field, or a plan line equal to the plan's end marker.
Status FormatLocations(int count, const RecordAt<LocationRecord>& at, std::string& bytes);
Status FormatAreas(int count, const RecordAt<AreaRecord>& at, std::string& bytes);
Status FormatForces(int count, const RecordAt<ForceRecord>& at, std::string& bytes);
Status FormatOutcomes(int count, const RecordAt<OutcomeRecord>& at, std::string& bytes);

// Reads the bytes of a section file of the kind `section` and passes each whole record to `sink` as soon as
// it is read. On a fault (a file ending inside a record, a number out of range, more records than a table
// holds) the records passed so far stay passed, reading stops, and the fault is returned with its line.
std::optional<FileError> ReadSectionBytes(Section section, const std::string& path, const std::string& bytes,
                                          SectionSink& sink);
// The same, reading the lines from `in` as they are needed.
std::optional<FileError> ReadSectionLines(Section section, TextReader& in, SectionSink& sink);

}  // namespace vyr::editor
