// The mission document: general information, the five fixed-capacity tables, the editing state, the
// two one-record clipboards, the file name pairs and the project tree, kept in step by one set of
// operations. One instance per editor run; a plain class so tests can make many.
//
// Operations that can be refused (a full table, an index that is not in use, an empty clipboard)
// return a Status saying why and change nothing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "editor/document/file_name_pair.h"
#include "editor/document/notifier.h"
#include "editor/document/project_tree.h"
#include "editor/document/record_edit.h"
#include "editor/document/records.h"
#include "editor/document/status.h"

namespace vyr::editor {

inline constexpr std::string_view kCaptionPrefix = "Marrowdell's VYR Mission Editor - [";

// Record indices most recently opened in a property window; -1 = none.
struct EditingState {
  Integer current_location = -1;
  Integer current_area = -1;
  Integer current_force = -1;
  Integer current_outcome = -1;
};

enum class DocumentChange : std::uint8_t {
  kNewProject,
  kLocations,
  kAreas,
  kForces,  // forces, teams or actors
  kOutcomes,
  kFileNames,  // a file name pair, the caption or a category text
  kClipboard,
  kMissionInfo,  // the general mission information or the annotation
};

// A section file that the project names but that was not read completely. Its name pair stays
// "unnamed" (so no save writes the part that was read over the whole file); the project file keeps naming
// it until the author saves or imports that section on purpose, which drops the mark.
struct UnreadSection {
  FileNamePair file;
  std::size_t read_digest = 0;  // SectionDigest of the section as it stood right after the load

  bool operator==(const UnreadSection&) const = default;
};

class MissionDocument {
 public:
  MissionDocument();  // already in the state NewProject leaves
  ~MissionDocument();
  MissionDocument(const MissionDocument&) = delete;
  MissionDocument& operator=(const MissionDocument&) = delete;

  MissionInfo info;
  EditingState editing;

  // --- lifecycle ---
  // Empties the tables and the tree and resets the file names; keeps MissionInfo and the clipboards.
  void NewProject();
  // The six file name pairs become "unnamed" with empty directories, and the caption follows.
  void InitIDE();

  // --- records (indices must lie within the count; counts never exceed the capacities) ---
  // Read only: every change goes through an operation below, so the tree and observers stay in step.
  int location_count() const { return location_count_; }
  const LocationRecord& location(int index) const;
  int area_count() const { return area_count_; }
  const AreaRecord& area(int index) const;
  int force_count() const { return force_count_; }
  const ForceRecord& force(int index) const;
  int team_count(int force) const;
  const TeamRecord& team(int force, int team) const;
  int actor_count(int force, int team) const;
  const ActorRecord& actor(int force, int team, int actor) const;
  int outcome_count() const { return outcome_count_; }
  // The records of one section: its locations, areas, forces or outcomes.
  int record_count(Section section) const {
    switch (section) {
      case Section::kLocations:
        return location_count_;
      case Section::kAreas:
        return area_count_;
      case Section::kForces:
        return force_count_;
      case Section::kOutcomes:
        break;
    }
    return outcome_count_;
  }
  const OutcomeRecord& outcome(int index) const;

  // --- adding: into the first unused slot, with a record node that becomes the last added node ---
  Status AddLocation(const std::string& name, const std::string& desc, Integer x, Integer y, Integer z);
  Status AddArea(const std::string& name, const std::string& desc, const std::string& locations,
                 Integer radius, const std::string& style);
  Status AddForce(const std::string& name, const std::string& desc);
  Status AddTeam(int force, const std::string& name, const std::string& desc, const std::string& plan);
  Status AddActor(int force, int team, const ActorRecord& actor);
  Status AddOutcome(const std::string& force, const std::string& message, const std::string& next,
                    const std::string& type, const std::string& reason);

  // --- deleting: later records move down one slot; a force takes its teams, a team its actors ---
  Status DeleteLocation(int index);
  Status DeleteArea(int index);
  Status DeleteForce(int index);
  Status DeleteTeam(int force, int team);
  Status DeleteActor(int force, int team, int actor);
  Status DeleteOutcome(int index);

  // Bulk changes (NewProject, the Clear operations, deleting a force with teams, PasteTeam) reach the
  // tree's observers as one batch (ProjectTree::Batch); single records stay node by node.
  void ClearLocations();
  void ClearAreas();
  void ClearForces();
  void ClearOutcomes();

  // --- clipboards: whole-record copies; at most one of the two flags is set ---
  Status CopyActor(int force, int team, int actor);
  Status CopyTeam(int force, int team);
  Status CutActor(int force, int team, int actor);
  Status CutTeam(int force, int team);
  Status PasteActor(int force, int team);  // as the team's new last actor
  Status PasteTeam(int force);             // as the force's new last team, then its actors in order
  // What PasteTeam does with any team record (name, description, plan, actors), in one tree batch;
  // the force's node ends up selected.
  Status AddTeamWithActors(int force, const TeamRecord& team);
  const ActorRecord& actor_clipboard() const { return actor_clipboard_; }
  const TeamRecord& team_clipboard() const { return *team_clipboard_; }
  bool actor_on_clipboard() const { return actor_on_clipboard_; }
  bool team_on_clipboard() const { return team_on_clipboard_; }

  // --- editing one field of one record ---
  // Sets the field, keeps its node in step (a name is its node's text; an outcome type labels its node
  // "Success" or "Failure") and announces one RecordEdit with the old and the new value. A record that
  // does not exist, an element out of range or a value of the field's wrong type is refused; an equal
  // value changes and announces nothing.
  Status SetField(const RecordRef& record, Field field, const FieldValue& value, int element = 0);
  // The field's current value; nothing for a record that does not exist.
  std::optional<FieldValue> GetField(const RecordRef& record, Field field, int element = 0) const;
  Notifier<RecordEdit>& edits() { return edits_; }

  // The first tree node whose text equals `text` ignoring letter case; kNoNode when none does.
  NodeId SearchByName(std::string_view text) const { return tree_.SearchByName(text); }

  // --- file name pairs and the texts derived from them ---
  const FileNamePair& project_file() const { return project_file_; }
  const FileNamePair& section_file(Section section) const;
  const FileNamePair& mission_script_file() const { return mission_script_file_; }
  // Also sets the caption and the root node text.
  void SetProjectFile(FileNamePair pair);
  // Also sets the section's category node text, and drops the section's unread mark.
  void SetSectionFile(Section section, FileNamePair pair);
  const std::optional<UnreadSection>& unread_section(Section section) const;
  void SetUnreadSection(Section section, std::optional<UnreadSection> unread);
  void SetMissionScriptFile(FileNamePair pair);
  const std::string& caption() const { return caption_; }

  // The annotation is kept byte for byte (CR LF line breaks included).
  void SetAnnotation(std::string text);

  // A click on a node: it becomes the selected node and the current index of its kind follows its binding
  // (teams and actors set the current force). Returns where the node's record lives.
  NodeAddress MakeCurrent(NodeId node);

  // --- the project tree ---
  const ProjectTree& tree() const { return tree_; }
  ProjectTree& tree() { return tree_; }

  Notifier<DocumentChange>& changes() { return changes_; }

  // --- undo support ---
  // Some records of one section with their tree nodes: the records from `first` to the end of the
  // table, or (single) the force `first` alone with its teams and actors.
  struct Span {
    Section section = Section::kLocations;
    int first = 0;
    bool single = false;
  };
  // Told before an operation changes the records of a span, while the records are still as they were.
  class Recorder {
   public:
    virtual void WillChange(const Span& span) = 0;

   protected:
    ~Recorder() = default;
  };
  // At most one; null for none.
  void set_recorder(Recorder* recorder) { recorder_ = recorder; }

  // A span's records and nodes as saved. Swapping one into the document puts them back (node ids and
  // all, so open windows keep their nodes) and keeps in it those it replaced, so a second swap undoes
  // the first. Open property windows whose node comes back stay open, the others close.
  struct Part;
  struct PartDeleter {
    void operator()(Part* part) const;
  };
  using PartPtr = std::unique_ptr<Part, PartDeleter>;
  PartPtr SavePart(const Span& span) const;
  void SwapPart(Part& part);
  static std::size_t PartBytes(const Part& part);  // what the part holds in memory, roughly

  // The small state kept whole around an operation: the mission information, the editing state, the
  // section files and the selection.
  struct Globals {
    MissionInfo info;
    EditingState editing;
    std::array<FileNamePair, 4> section_files;
    std::array<std::optional<UnreadSection>, 4> unread_sections;
    NodeId selected = kNoNode;
    NodeId last_added = kNoNode;

    // Whether the author's work differs (not the editing state or the selection).
    bool SameWork(const Globals& other) const {
      return info == other.info && section_files == other.section_files &&
             unread_sections == other.unread_sections;
    }
  };
  Globals SaveGlobals() const;
  // Brings back `to`'s state from `from`'s. Each section whose file (name pair and unread mark) differs
  // between the two and is still as `from` has it takes `to`'s: undoing a section import names the file
  // it had before, while a save made since keeps its names.
  void RestoreGlobals(const Globals& from, const Globals& to);

 private:
  struct Tables;

  LocationRecord& writable_location(int index);
  AreaRecord& writable_area(int index);
  ForceRecord& writable_force(int index);
  TeamRecord& writable_team(int force, int team);
  ActorRecord& writable_actor(int force, int team, int actor);
  OutcomeRecord& writable_outcome(int index);

  bool ValidForce(int force) const { return force >= 0 && force < force_count_; }
  bool ValidTeam(int force, int team) const;
  bool ValidActor(int force, int team, int actor) const;
  void ClearKind(NodeImage image, NodeImage other_image);
  std::string CategoryTextOf(Section section) const;
  FieldSlot SlotOf(const RecordRef& record, Field field, int element);
  void* RecordOf(const RecordRef& record);  // the record's storage; null when it does not exist
  void WillChange(const Span& span) {
    if (recorder_ != nullptr) recorder_->WillChange(span);
  }
  bool Exists(const RecordRef& record) const;
  void Changed(DocumentChange change) { changes_.Notify(change); }

  std::unique_ptr<Tables> tables_;
  int location_count_ = 0;
  int area_count_ = 0;
  int force_count_ = 0;
  int outcome_count_ = 0;

  ActorRecord actor_clipboard_;
  std::unique_ptr<TeamRecord> team_clipboard_;
  bool actor_on_clipboard_ = false;
  bool team_on_clipboard_ = false;

  FileNamePair project_file_;
  std::array<FileNamePair, 4> section_files_;
  std::array<std::optional<UnreadSection>, 4> unread_sections_;
  FileNamePair mission_script_file_;
  std::string caption_;

  ProjectTree tree_;
  Recorder* recorder_ = nullptr;
  Notifier<DocumentChange> changes_;
  Notifier<RecordEdit> edits_;
};

// "Locations (name)", "Areas (name)", "Forces (name)", "Mission outcome (name)".
std::string CategoryText(Section section, std::string_view file_name);

}  // namespace vyr::editor
