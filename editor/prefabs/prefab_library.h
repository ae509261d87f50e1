// The prefab library: ready-made actors and teams kept in named groups between missions, in the files
// "prefab_actors.dat" and "prefab_teams.dat" of the editor's data folder, and exchanged one group at a
// time as ".prb" files. One instance per editor run; the library window shows it and calls its commands.
//
// Commands never show a message: each returns what went wrong (a capacity refusal naming the limit, a
// write that failed) for the window to show, and Status::Cancelled() when there is nothing to tell (a
// cancelled dialog, an empty name). A refused command changes nothing. A command that changes a library
// writes that library's file at once, through a temporary file; when that write fails the change stays in
// memory, the failure is returned, and Save() tries again when the window unloads.
//
// A library file that fails to load part-way keeps what was read and is left on disk as it is, unless
// its library changes: then it is first copied beside itself as a backup ("prefab_actors.dat.bak").
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "editor/document/mission_document.h"
#include "editor/document/notifier.h"
#include "editor/document/record_edit.h"
#include "editor/document/status.h"
#include "editor/document/text_file.h"
#include "editor/document/user_interface.h"
#include "editor/prefabs/prefab_tables.h"

namespace vyr::editor {

inline constexpr std::string_view kImportPrefabsTitle = "Import prefabs";
inline constexpr std::string_view kExportPrefabsTitle = "Export prefabs";

enum class PrefabChange : std::uint8_t {
  kLoaded,   // both libraries: fill the combos and list the current group again
  kMode,     // c_combo: show the other group combo and list its current group
  kGroups,   // the group names of `mode` or its current group: fill its combo, list the current group
  kMembers,  // the members of (`mode`, `group`): list them again
  kMember,   // a field of the actor (`group`, `member`, `team_actor`): rename its list item or tree node
};

struct PrefabEvent {
  PrefabChange change = PrefabChange::kLoaded;
  PrefabMode mode = PrefabMode::kActors;
  int group = -1;
  int member = -1;
  int team_actor = -1;
};

// An actor the prefab actor window edits: a member of an actor group (library mode, `team_actor` -1) or
// actor `team_actor` of the member of a team group (team-member mode).
struct PrefabActorRef {
  int group = -1;
  int member = -1;
  int team_actor = -1;

  static PrefabActorRef Library(int group, int member) { return {group, member, -1}; }
  static PrefabActorRef TeamMember(int group, int member, int actor) { return {group, member, actor}; }
};

// The items of mn_prefab_actor / mn_prefab_team that have an enabling rule ("&View/Edit" is always on).
struct PrefabMenuState {
  bool delete_enabled = false;  // an item lay under the mouse
  bool paste_enabled = false;   // the mission's clipboard holds an actor (Actors) or a team (Teams)
};

class PrefabLibrary {
 public:
  // The files live in `folder` (the editor's data folder); nothing is read before Load().
  explicit PrefabLibrary(std::string folder);
  ~PrefabLibrary();
  PrefabLibrary(const PrefabLibrary&) = delete;
  PrefabLibrary& operator=(const PrefabLibrary&) = delete;

  // --- load and unload ---
  // Reads both files, replacing the libraries; each selects its first group, the mode becomes Actors.
  // A missing file is an empty library and no fault. Otherwise returns every fault, with file and line.
  Status Load();
  // Writes each library whose last write failed; the failure, when it fails again.
  Status Save();
  std::string actor_file() const;
  std::string team_file() const;
  const std::string& folder() const { return folder_; }

  // --- what the window shows ---
  const PrefabActors& actors() const { return actors_; }
  const PrefabTeams& teams() const { return teams_; }
  PrefabMode mode() const { return mode_; }
  void SetMode(PrefabMode mode);
  // The group the combo of `mode` selects; -1 when that library has no groups.
  int current_group(PrefabMode mode) const { return current_[Index(mode)]; }
  int current_group() const { return current_group(mode_); }
  std::vector<std::string> GroupNames() const;  // of the current mode
  void SelectGroup(int group);                  // of the current mode; one not in use is ignored
  // The members of the current group, in slot order: the items of t_list.
  std::vector<std::string> ListedMembers() const;

  // t_list's clicked member and the member under the mouse when the context menu opened; -1 for none.
  // Listing a group again resets both.
  int clicked_member() const { return clicked_member_; }
  void SetClickedMember(int member) { clicked_member_ = member; }
  int menu_member() const { return menu_member_; }
  void SetMenuMember(int member) { menu_member_ = member; }
  PrefabMenuState MenuState(const MissionDocument& document) const;

  // --- group commands, on the current mode ---
  Status AddGroup(const std::string& name);     // appended and selected
  Status RenameGroup(const std::string& name);  // the current group
  Status DeleteGroup();                         // the current group; then the first group is selected
  // "Import prefabs": the groups of a ".prb" file appended to the library its first line names. A file
  // that does not read to its end, or groups that would not fit, are refused whole.
  Status Import(UserInterface& ui);
  // "Export prefabs": the current group into a ".prb" file.
  Status Export(UserInterface& ui);

  // --- member commands ---
  // The mission's clipboard actor (Actors mode) or team (Teams mode, without its plan) after the last
  // member of the current group.
  Status PasteAsPrefab(const MissionDocument& document);
  Status DeleteMember();  // the menu member of the current mode; later members move up

  // --- the prefab windows ---
  // Nothing for an actor that does not exist.
  const ActorRecord* Actor(const PrefabActorRef& ref) const;
  // One field of a prefab actor, as the actor window's handlers edit a mission actor (Field::kNpcPlayer to
  // Field::kItem, `element` for weapons, ammunition and items). A library member's name may not be empty.
  // An equal value changes nothing.
  Status SetActorField(const PrefabActorRef& ref, Field field, const FieldValue& value, int element = 0);

  Notifier<PrefabEvent>& changes() { return changes_; }

 private:
  // What this library knows of one file.
  struct FileState {
    std::optional<std::string> on_disk;  // the bytes read at load; nothing when they could not be read
    bool damaged = false;                // did not load to its end: replaced only after a backup
    bool unsaved = false;                // changed, and not yet written
  };

  static std::size_t Index(PrefabMode mode) { return static_cast<std::size_t>(mode); }
  std::string FileOf(PrefabMode mode) const;
  int GroupCount() const;  // of the current mode
  Status LoadFile(PrefabMode mode);
  // Writes the library of `mode` when it has unsaved changes, keeping a damaged original first.
  Status Flush(PrefabMode mode);
  Status KeepBackup(PrefabMode mode);
  // Marks the library of `mode` changed, announces `event` and writes the file.
  Status Changed(PrefabMode mode, PrefabEvent event);
  void ListAgain() { clicked_member_ = menu_member_ = -1; }
  template <class Record>
  Status Paste(PrefabGroups<Record>& groups, Record record);
  template <class Record>
  Status ImportGroups(PrefabGroups<Record>& into, TextReader& in, PrefabMode mode);
  template <class Record>
  Status ExportGroup(const PrefabGroups<Record>& groups, const std::string& path);

  std::string folder_;
  PrefabActors actors_;
  PrefabTeams teams_;
  PrefabMode mode_ = PrefabMode::kActors;
  std::array<int, 2> current_{-1, -1};
  int clicked_member_ = -1;
  int menu_member_ = -1;
  std::array<FileState, 2> files_;
  Notifier<PrefabEvent> changes_;
};

}  // namespace vyr::editor
