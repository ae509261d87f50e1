#include "editor/prefabs/prefab_library.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "editor/document/paths.h"
#include "editor/prefabs/prefab_files.h"
#include "platform/atomic_file.h"
#include "platform/read_file.h"

namespace vyr::editor {

namespace {

// A full team library is about a megabyte; this keeps a wrong file from filling the memory.
constexpr std::uint64_t kMaxLibraryFileSize = std::uint64_t{64} << 20;

constexpr PrefabMode kModes[] = {PrefabMode::kActors, PrefabMode::kTeams};

// The first of "x.bak", "x.bak2", "x.bak3" ... that names nothing, so an older backup is never replaced.
std::string FreeBackupPath(const std::string& path) {
  std::string candidate = path + ".bak";
  for (int n = 2; n < 1000; ++n) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, error))) break;
    candidate = path + ".bak" + std::to_string(n);
  }
  return candidate;
}

template <class T>
Status Assign(T& slot, const FieldValue& value) {
  const T* given = std::get_if<T>(&value);
  if (!given) return Status::Error("The value has the wrong type for this field.");
  slot = *given;
  return Status::Ok();
}

template <class T, std::size_t N>
Status AssignElement(std::array<T, N>& slots, int element, const FieldValue& value) {
  if (element < 0 || element >= static_cast<int>(N)) {
    return Status::Error("There is no element " + std::to_string(element + 1) + " of this field.");
  }
  return Assign(slots[static_cast<std::size_t>(element)], value);
}

Status SetActorValue(ActorRecord& actor, Field field, const FieldValue& value, int element) {
  if (element != 0 && field != Field::kWeapon && field != Field::kAmmo && field != Field::kItem) {
    return Status::Error("This field has no elements.");
  }
  switch (field) {
    case Field::kNpcPlayer:
      return Assign(actor.npc_player, value);
    case Field::kNpcName:
      return Assign(actor.npc_name, value);
    case Field::kNpcSkill:
      return Assign(actor.npc_skill, value);
    case Field::kNpcSkin:
      return Assign(actor.npc_skin, value);
    case Field::kWeapon:
      return AssignElement(actor.weapon, element, value);
    case Field::kAmmo:
      return AssignElement(actor.ammo, element, value);
    case Field::kItem:
      return AssignElement(actor.item, element, value);
    default:
      return Status::Error("The field is not a field of an actor.");
  }
}

}  // namespace

PrefabLibrary::PrefabLibrary(std::string folder) : folder_(std::move(folder)) {}
PrefabLibrary::~PrefabLibrary() = default;

std::string PrefabLibrary::FileOf(PrefabMode mode) const {
  return JoinPath(folder_, mode == PrefabMode::kActors ? kActorLibraryFileName : kTeamLibraryFileName);
}
std::string PrefabLibrary::actor_file() const {
  return FileOf(PrefabMode::kActors);
}
std::string PrefabLibrary::team_file() const {
  return FileOf(PrefabMode::kTeams);
}

// --- load and unload ---

Status PrefabLibrary::Load() {
  actors_ = PrefabActors();
  teams_ = PrefabTeams();
  files_ = {};
  std::string faults;
  for (PrefabMode mode : kModes) {
    if (Status loaded = LoadFile(mode); !loaded) faults += loaded.message + "\n";
  }
  mode_ = PrefabMode::kActors;
  current_ = {actors_.group_count() > 0 ? 0 : -1, teams_.group_count() > 0 ? 0 : -1};
  ListAgain();
  changes_.Notify(PrefabEvent{PrefabChange::kLoaded});
  if (faults.empty()) return Status::Ok();
  return Status::Error(
      "The prefab library could not be read completely.\n\n" + faults +
      "\nThe prefabs read before the fault are kept. The file is left as it is; when you change "
      "its prefabs, it is first kept beside itself as a backup copy (\".bak\").");
}

Status PrefabLibrary::LoadFile(PrefabMode mode) {
  const std::string path = FileOf(mode);
  FileState& file = files_[Index(mode)];
  std::string bytes;
  const platform::ReadResult read = platform::ReadFileBytes(path, bytes, kMaxLibraryFileSize);
  if (!read) {
    if (read.fault == platform::ReadFault::kMissing) {
      file.on_disk = std::string();  // a first start: an empty library
      return Status::Ok();
    }
    file.damaged = true;
    return FileError{path, 0, read.reason}.ToStatus();
  }
  file.on_disk = bytes;
  TextReader in(path, std::move(bytes));
  const auto fault =
      mode == PrefabMode::kActors ? ReadPrefabGroups(in, actors_) : ReadPrefabGroups(in, teams_);
  if (!fault) return Status::Ok();
  file.damaged = true;
  return fault->ToStatus();
}

Status PrefabLibrary::Save() {
  std::string faults;
  for (PrefabMode mode : kModes) {
    if (Status saved = Flush(mode); !saved) faults += saved.message + "\n";
  }
  if (faults.empty()) return Status::Ok();
  return Status::Error("The prefab library could not be saved.\n\n" + faults);
}

Status PrefabLibrary::Flush(PrefabMode mode) {
  FileState& file = files_[Index(mode)];
  if (!file.unsaved) return Status::Ok();
  const std::string path = FileOf(mode);
  std::string bytes;
  const Status formatted =
      mode == PrefabMode::kActors ? FormatPrefabLibrary(actors_, bytes) : FormatPrefabLibrary(teams_, bytes);
  if (!formatted) return FileError{path, 0, formatted.message}.ToStatus();
  if (Status folder = EnsureFolder(folder_); !folder) return folder;
  if (file.damaged) {
    if (Status kept = KeepBackup(mode); !kept) return kept;
  }
  if (Status written = platform::WriteFileAtomically(path, bytes); !written) return written;
  file.on_disk = std::move(bytes);
  file.damaged = false;
  file.unsaved = false;
  return Status::Ok();
}

Status PrefabLibrary::KeepBackup(PrefabMode mode) {
  const std::string path = FileOf(mode);
  const FileState& file = files_[Index(mode)];
  if (!file.on_disk) {
    return FileError{path, 0,
                     "not replaced: it could not be read at start-up, and replacing it would lose it"}
        .ToStatus();
  }
  const std::string backup = FreeBackupPath(path);
  if (Status kept = platform::WriteFileAtomically(backup, *file.on_disk); !kept) {
    return FileError{path, 0, "not replaced: its backup copy could not be written (" + kept.message + ")"}
        .ToStatus();
  }
  return Status::Ok();
}

Status PrefabLibrary::Changed(PrefabMode mode, PrefabEvent event) {
  files_[Index(mode)].unsaved = true;
  changes_.Notify(event);
  return Flush(mode);
}

// --- what the window shows ---

void PrefabLibrary::SetMode(PrefabMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  ListAgain();
  changes_.Notify(PrefabEvent{PrefabChange::kMode, mode_, current_group()});
}

int PrefabLibrary::GroupCount() const {
  return mode_ == PrefabMode::kActors ? actors_.group_count() : teams_.group_count();
}

std::vector<std::string> PrefabLibrary::GroupNames() const {
  return mode_ == PrefabMode::kActors ? actors_.group_names() : teams_.group_names();
}

void PrefabLibrary::SelectGroup(int group) {
  if (group < 0 || group >= GroupCount()) return;
  current_[Index(mode_)] = group;
  ListAgain();
  changes_.Notify(PrefabEvent{PrefabChange::kMembers, mode_, group});
}

std::vector<std::string> PrefabLibrary::ListedMembers() const {
  const int group = current_group();
  if (group < 0) return {};
  return mode_ == PrefabMode::kActors ? actors_.MemberNames(group) : teams_.MemberNames(group);
}

PrefabMenuState PrefabLibrary::MenuState(const MissionDocument& document) const {
  const int group = current_group();
  PrefabMenuState state;
  state.delete_enabled = mode_ == PrefabMode::kActors ? actors_.ValidMember(group, menu_member_)
                                                      : teams_.ValidMember(group, menu_member_);
  state.paste_enabled =
      mode_ == PrefabMode::kActors ? document.actor_on_clipboard() : document.team_on_clipboard();
  return state;
}

// --- group commands ---

Status PrefabLibrary::AddGroup(const std::string& name) {
  if (name.empty()) return Status::Cancelled();
  if (Status checked = CheckGroupName(name); !checked) return checked;
  const auto append = [&](auto& groups) { return groups.AppendGroup(name); };
  Status added = mode_ == PrefabMode::kActors ? append(actors_) : append(teams_);
  if (!added) return added;
  current_[Index(mode_)] = GroupCount() - 1;
  ListAgain();
  return Changed(mode_, PrefabEvent{PrefabChange::kGroups, mode_, current_group()});
}

Status PrefabLibrary::RenameGroup(const std::string& name) {
  const int group = current_group();
  if (group < 0) return Status::Error("There is no prefab group to rename.");
  if (name.empty()) return Status::Cancelled();
  if (Status checked = CheckGroupName(name); !checked) return checked;
  if (mode_ == PrefabMode::kActors) {
    actors_.RenameGroup(group, name);
  } else {
    teams_.RenameGroup(group, name);
  }
  return Changed(mode_, PrefabEvent{PrefabChange::kGroups, mode_, group});
}

Status PrefabLibrary::DeleteGroup() {
  const int group = current_group();
  if (group < 0) return Status::Error("There is no prefab group to delete.");
  if (mode_ == PrefabMode::kActors) {
    actors_.DeleteGroup(group);
  } else {
    teams_.DeleteGroup(group);
  }
  current_[Index(mode_)] = GroupCount() > 0 ? 0 : -1;
  ListAgain();
  return Changed(mode_, PrefabEvent{PrefabChange::kGroups, mode_, current_group()});
}

Status PrefabLibrary::Import(UserInterface& ui) {
  const auto path = ui.AskOpenPath(
      FileDialogRequest{std::string(kImportPrefabsTitle), std::string(kPrefabFilter), folder_, ""});
  if (!path) return Status::Cancelled();
  FileError error;
  std::optional<TextReader> in = TextReader::Open(*path, error);
  if (!in) return error.ToStatus();
  const std::optional<PrefabMode> kind = ReadExchangeHeader(*in);
  if (!kind) return FileError{*path, 0, "the file is empty"}.ToStatus();
  return *kind == PrefabMode::kActors ? ImportGroups(actors_, *in, *kind) : ImportGroups(teams_, *in, *kind);
}

template <class Record>
Status PrefabLibrary::ImportGroups(PrefabGroups<Record>& into, TextReader& in, PrefabMode mode) {
  PrefabGroups<Record> read;
  if (const auto fault = ReadPrefabGroups(in, read)) {
    return Status::Error("Nothing was imported: " + fault->Message());
  }
  if (read.group_count() == 0) return FileError{in.path(), 0, "the file holds no prefab group"}.ToStatus();
  if (into.group_count() + read.group_count() > kMaxPrefabGroups) {
    return Status::Error("Nothing was imported: the library holds at most " +
                         std::to_string(kMaxPrefabGroups) + " groups; it has " +
                         std::to_string(into.group_count()) + " and the file adds " +
                         std::to_string(read.group_count()) + ".");
  }
  for (const std::string& name : read.group_names()) {
    if (Status checked = CheckGroupName(name); !checked)
      return Status::Error("Nothing was imported: " + checked.message);
  }
  for (int g = 0; g < read.group_count(); ++g) {
    const int group = into.group_count();
    (void)into.AppendGroup(read.group_name(g));
    for (int m = 0, count = read.member_count(g); m < count; ++m)
      (void)into.AppendMember(group, read.member(g, m));
  }
  int& current = current_[Index(mode)];
  if (current < 0) current = 0;
  if (mode == mode_) ListAgain();
  return Changed(mode, PrefabEvent{PrefabChange::kGroups, mode, current});
}

Status PrefabLibrary::Export(UserInterface& ui) {
  const int group = current_group();
  if (group < 0) return Status::Error("There is no prefab group to export.");
  const auto path = AskSaveFile(
      ui, FileDialogRequest{std::string(kExportPrefabsTitle), std::string(kPrefabFilter), folder_, ""});
  if (!path) return Status::Cancelled();
  std::string bytes;
  const Status formatted = mode_ == PrefabMode::kActors ? FormatPrefabExchange(actors_, group, bytes)
                                                        : FormatPrefabExchange(teams_, group, bytes);
  if (!formatted) return FileError{*path, 0, formatted.message}.ToStatus();
  return platform::WriteFileAtomically(*path, bytes);
}

// --- member commands ---

Status PrefabLibrary::PasteAsPrefab(const MissionDocument& document) {
  if (current_group() < 0) return Status::Error("There is no prefab group to paste into: add one first.");
  if (mode_ == PrefabMode::kActors) {
    if (!document.actor_on_clipboard()) return Status::Error("There is no actor on the clipboard.");
    return Paste(actors_, document.actor_clipboard());
  }
  if (!document.team_on_clipboard()) return Status::Error("There is no team on the clipboard.");
  TeamRecord team = document.team_clipboard();
  team.plan.clear();  // prefab teams never carry a plan
  return Paste(teams_, std::move(team));
}

template <class Record>
Status PrefabLibrary::Paste(PrefabGroups<Record>& groups, Record record) {
  if (Status checked = CheckPrefab(record); !checked)
    return Status::Error("Cannot paste the " + checked.message + ".");
  const int group = current_group();
  if (Status added = groups.AppendMember(group, record); !added) return added;
  ListAgain();
  return Changed(mode_, PrefabEvent{PrefabChange::kMembers, mode_, group});
}

Status PrefabLibrary::DeleteMember() {
  const int group = current_group();
  const int member = menu_member_;
  if (mode_ == PrefabMode::kActors) {
    if (!actors_.ValidMember(group, member)) return Status::Cancelled();
    actors_.DeleteMember(group, member);
  } else {
    if (!teams_.ValidMember(group, member)) return Status::Cancelled();
    teams_.DeleteMember(group, member);
  }
  ListAgain();
  return Changed(mode_, PrefabEvent{PrefabChange::kMembers, mode_, group});
}

// --- the prefab windows ---

const ActorRecord* PrefabLibrary::Actor(const PrefabActorRef& ref) const {
  if (ref.team_actor < 0) {
    return actors_.ValidMember(ref.group, ref.member) ? &actors_.member(ref.group, ref.member) : nullptr;
  }
  if (!teams_.ValidMember(ref.group, ref.member)) return nullptr;
  const TeamRecord& team = teams_.member(ref.group, ref.member);
  if (ref.team_actor >= team.actor_count) return nullptr;
  return &team.actors[static_cast<std::size_t>(ref.team_actor)];
}

Status PrefabLibrary::SetActorField(const PrefabActorRef& ref, Field field, const FieldValue& value,
                                    int element) {
  auto* actor = const_cast<ActorRecord*>(Actor(ref));
  if (!actor) return Status::Error("There is no such prefab actor.");
  ActorRecord edited = *actor;
  if (Status set = SetActorValue(edited, field, value, element); !set) return set;
  if (edited == *actor) return Status::Ok();
  const bool library_mode = ref.team_actor < 0;
  if (library_mode) {
    if (Status checked = CheckPrefab(edited); !checked) return checked;
  } else {
    TeamRecord team = teams_.member(ref.group, ref.member);
    team.actors[static_cast<std::size_t>(ref.team_actor)] = edited;
    if (Status checked = CheckPrefab(team); !checked) return checked;
  }
  *actor = std::move(edited);
  const PrefabMode mode = library_mode ? PrefabMode::kActors : PrefabMode::kTeams;
  return Changed(mode, PrefabEvent{PrefabChange::kMember, mode, ref.group, ref.member, ref.team_actor});
}

}  // namespace vyr::editor
