#include "editor/launch/recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "editor/document/paths.h"
#include "editor/document/section_files.h"
#include "editor/document/text_file.h"
#include "platform/atomic_file.h"

namespace vyr::editor {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSessionPrefix = "session-";
constexpr std::string_view kManifestName = "manifest";
constexpr std::string_view kLockName = "lock";
constexpr std::string_view kProjectName = "project.cme";
constexpr const char* kTitle = "VYR Mission Editor";

std::string SectionCopyName(Section section) {
  static constexpr std::string_view kStems[] = {"locations", "areas", "forces", "outcomes"};
  return std::string(kStems[static_cast<int>(section)]) + std::string(TextsOf(section).extension);
}

std::optional<std::string> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool FileHolds(const std::string& path, const std::string& bytes) {
  const auto on_disk = ReadWhole(path);
  return on_disk && *on_disk == bytes;
}

bool IsEmpty(const MissionInfo& info) {
  return info.vyr_missionname.empty() && info.vyr_author.empty() && info.vyr_missiondescription.empty() &&
         info.vyr_mapname.empty() && info.map_styles.empty() && info.annotation.empty();
}

// Takes the session's lock without waiting; false when another process holds it.
bool TryLock(int fd) {
  return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

std::string TimeText(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  char text[64] = "";
  if (::localtime_r(&time, &local) != nullptr) std::strftime(text, sizeof text, "%H:%M on %Y-%m-%d", &local);
  return text;
}

}  // namespace

std::string FormatManifest(const RecoveryManifest& manifest) {
  TextWriter out;
  out.Line(kManifestVersionLine);
  out.Line(std::to_string(manifest.saved_at));
  out.Line(manifest.project.name);
  out.Line(manifest.project.directory);
  for (const FileNamePair& section : manifest.sections) {
    out.Line(section.name);
    out.Line(section.directory);
  }
  out.Line(manifest.copy);
  return out.bytes();
}

Status ParseManifest(const std::string& path, const std::string& bytes, RecoveryManifest& manifest) {
  TextReader in(path, bytes);
  const auto fault = [&in] { return in.error()->ToStatus(); };
  const auto refuse = [&in](const std::string& reason) {
    return FileError{in.path(), in.line_number(), reason}.ToStatus();
  };
  std::string line;
  if (!in.Line(line, kManifestVersionLine)) return fault();
  if (line != kManifestVersionLine) return refuse("not a recovery manifest");
  if (!in.Line(line, "time")) return fault();
  char* end = nullptr;
  const long long seconds = std::strtoll(line.c_str(), &end, 10);
  if (line.empty() || end != line.c_str() + line.size())
    return refuse("the time \"" + line + "\" is not a number");
  RecoveryManifest read;
  read.saved_at = seconds;
  if (!in.Line(read.project.name, "project file name") ||
      !in.Line(read.project.directory, "project directory")) {
    return fault();
  }
  for (FileNamePair& section : read.sections) {
    if (!in.Line(section.name, "section file name") || !in.Line(section.directory, "section directory"))
      return fault();
  }
  if (!in.Line(read.copy, "copy folder")) return fault();
  if (read.copy.empty() || read.copy == "." || read.copy == ".." ||
      read.copy.find_first_of("/\\") != std::string::npos) {
    return refuse("\"" + read.copy + "\" is not a folder of the session");
  }
  if (!in.AtEnd()) {
    in.Line(line, "");
    return refuse("unexpected line after the copy folder");
  }
  manifest = std::move(read);
  return Status::Ok();
}

bool HasUnsavedChanges(const MissionDocument& document) {
  const FileNamePair& project = document.project_file();
  if (project.unnamed()) {
    for (Section section : kAllSections) {
      if (document.record_count(section) > 0) return true;
    }
    return !IsEmpty(document.info);
  }
  std::string bytes;
  if (!FormatProject(document, project.directory, bytes) || !FileHolds(project.path(), bytes)) return true;
  for (Section section : kAllSections) {
    const FileNamePair& file = document.section_file(section);
    if (file.unnamed()) {
      // A section that was not read completely holds nothing unsaved until it changes.
      if (const auto& unread = document.unread_section(section)) {
        if (SectionDigest(document, section) != unread->read_digest) return true;
        continue;
      }
      if (document.record_count(section) > 0) return true;
      continue;
    }
    if (!FormatSection(document, section, bytes) || !FileHolds(file.path(), bytes)) return true;
  }
  return false;
}

RecoverySession::RecoverySession(std::string recovery_folder)
    : recovery_folder_(std::move(recovery_folder)) {}

RecoverySession::~RecoverySession() {
  if (lock_fd_ >= 0) ::close(lock_fd_);
}

Status RecoverySession::Open() {
  if (Status made = EnsureFolder(recovery_folder_); !made) return made;
  std::string pattern = JoinPath(recovery_folder_, std::string(kSessionPrefix) + "XXXXXX");
  if (::mkdtemp(pattern.data()) == nullptr)
    return Status::Error("Cannot create a recovery folder in " + recovery_folder_);
  const std::string lock = JoinPath(pattern, kLockName);
  // Not inherited by the programs the editor starts, which would otherwise keep the lock after a crash.
  const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0 || !TryLock(fd)) {
    if (fd >= 0) ::close(fd);
    std::error_code ignored;
    fs::remove_all(pattern, ignored);
    return Status::Error("Cannot lock the recovery folder " + pattern);
  }
  folder_ = pattern;
  lock_fd_ = fd;
  generation_ = 0;
  return Status::Ok();
}

Status RecoverySession::Autosave(const MissionDocument& document) {
  if (!HasUnsavedChanges(document)) {
    Discard();
    return Status::Ok();
  }
  // The copy's project file names its sections beside it, whatever the author's names are.
  std::array<FileNamePair, 4> copy_sections;
  std::array<std::string, 4> section_bytes;
  for (Section section : kAllSections) {
    const auto i = static_cast<std::size_t>(section);
    copy_sections[i] = FileNamePair{SectionCopyName(section), ""};
    if (Status s = FormatSection(document, section, section_bytes[i]); !s) return s;
  }
  std::string project_bytes;
  if (Status s = FormatProject(document, copy_sections, "", project_bytes); !s) return s;

  RecoveryManifest manifest;
  manifest.project = document.project_file();
  for (Section section : kAllSections)
    manifest.sections[static_cast<std::size_t>(section)] = document.section_file(section);
  manifest.copy = "copy";
  // A file name that would not read back as one line cannot be restored under that name.
  RecoveryManifest check;
  if (!ParseManifest("", FormatManifest(manifest), check) || !(check == manifest))
    return Status::Error("The project's file names cannot be kept in a recovery copy");

  std::string content = FormatManifest(manifest) + project_bytes;
  for (const std::string& bytes : section_bytes)
    content += bytes;
  if (content == written_ && fs::exists(folder_)) return Status::Ok();

  if (!folder_.empty() && !fs::exists(folder_)) {  // removed behind the editor's back: start again
    ::close(lock_fd_);
    lock_fd_ = -1;
    folder_.clear();
  }
  if (folder_.empty()) {
    if (Status opened = Open(); !opened) return opened;
  }
  const std::string previous =
      generation_ > 0 ? JoinPath(folder_, "copy-" + std::to_string(generation_)) : "";
  manifest.copy = "copy-" + std::to_string(generation_ + 1);
  const std::string copy_folder = JoinPath(folder_, manifest.copy);
  const auto forget_copy = [&copy_folder] {
    std::error_code ignored;
    fs::remove_all(copy_folder, ignored);
  };
  if (Status made = EnsureFolder(copy_folder); !made) return made;
  {
    platform::FileSetWriter files;
    Status staged = files.Add(JoinPath(copy_folder, kProjectName), project_bytes);
    for (Section section : kAllSections) {
      if (!staged) break;
      staged = files.Add(JoinPath(copy_folder, SectionCopyName(section)),
                         section_bytes[static_cast<std::size_t>(section)]);
    }
    if (staged) staged = files.Commit();
    if (!staged) {
      forget_copy();
      return staged;
    }
  }
  manifest.saved_at =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
          .count();
  if (Status named =
          platform::WriteFileAtomically(JoinPath(folder_, kManifestName), FormatManifest(manifest));
      !named) {
    forget_copy();
    return named;
  }
  ++generation_;
  written_ = std::move(content);
  if (!previous.empty()) {
    std::error_code ignored;
    fs::remove_all(previous, ignored);
  }
  return Status::Ok();
}

void RecoverySession::Discard() {
  if (folder_.empty()) return;
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
  ::close(lock_fd_);
  lock_fd_ = -1;
  folder_.clear();
  written_.clear();
  generation_ = 0;
}

std::vector<RecoveryCopy> FindRecoveryCopies(const std::string& recovery_folder) {
  std::vector<RecoveryCopy> copies;
  std::error_code error;
  std::vector<fs::path> folders;  // listed first: the loop below removes some
  for (auto it = fs::directory_iterator(recovery_folder, error); !error && it != fs::directory_iterator();
       it.increment(error)) {
    if (it->is_directory(error) && it->path().filename().string().starts_with(kSessionPrefix))
      folders.push_back(it->path());
  }
  for (const fs::path& path : folders) {
    const std::string folder = path.string();
    // Held while the folder is looked at, so its editor cannot be starting and stopping meanwhile.
    const int fd = ::open(JoinPath(folder, kLockName).c_str(), O_RDWR | O_CLOEXEC);
    struct CloseLock {
      int fd;
      ~CloseLock() {
        if (fd >= 0) ::close(fd);
      }
    } close_lock{fd};
    if (fd >= 0 && !TryLock(fd)) continue;  // a running editor's own copy

    const std::string manifest_path = JoinPath(folder, kManifestName);
    std::error_code ignored;
    if (!fs::exists(manifest_path, ignored)) {
      fs::remove_all(folder, ignored);  // killed before its first copy was complete
      continue;
    }
    RecoveryCopy copy{folder, {}};
    const auto bytes = ReadWhole(manifest_path);
    if (!bytes || !ParseManifest(manifest_path, *bytes, copy.manifest)) continue;
    // Only a copy that holds nothing but what the saved files hold goes; when it was taken does not matter.
    if (CopyEqualsSavedFiles(copy)) {
      fs::remove_all(folder, ignored);
      continue;
    }
    copies.push_back(std::move(copy));
  }
  std::stable_sort(copies.begin(), copies.end(), [](const RecoveryCopy& a, const RecoveryCopy& b) {
    return a.manifest.saved_at > b.manifest.saved_at;
  });
  return copies;
}

bool CopyEqualsSavedFiles(const RecoveryCopy& copy) {
  const FileNamePair& project = copy.manifest.project;
  std::error_code ignored;
  if (project.unnamed() || !fs::is_regular_file(project.path(), ignored)) return false;
  MissionDocument restored;
  return RestoreRecoveryCopy(restored, copy) && !HasUnsavedChanges(restored);
}

bool SavedAfterCopy(const RecoveryCopy& copy) {
  const FileNamePair& project = copy.manifest.project;
  std::error_code error;
  if (project.unnamed()) return false;
  const auto copied = fs::last_write_time(JoinPath(copy.folder, kManifestName), error);
  if (error) return false;
  const auto saved = fs::last_write_time(project.path(), error);
  return !error && saved > copied;
}

Status RestoreRecoveryCopy(MissionDocument& document, const RecoveryCopy& copy) {
  struct NoRecentFiles : RecentFiles {
    void AddToRecent(const std::string&) override {}
  } no_recent_files;
  const std::string project = JoinPath(JoinPath(copy.folder, copy.manifest.copy), kProjectName);
  const Status loaded = LoadProject(document, no_recent_files, project);
  for (Section section : kAllSections)
    document.SetSectionFile(section, copy.manifest.sections[static_cast<std::size_t>(section)]);
  document.SetProjectFile(copy.manifest.project);
  return loaded;
}

void RemoveRecoveryCopy(const RecoveryCopy& copy) {
  std::error_code ignored;
  fs::remove_all(copy.folder, ignored);
}

RecoveryChoice AskAboutRecovery(UserInterface& ui, const RecoveryCopy& copy) {
  const FileNamePair& project = copy.manifest.project;
  std::error_code ignored;
  const bool saved_exists = !project.unnamed() && fs::is_regular_file(project.path(), ignored);
  std::string text = "The editor was not closed normally. Work that was not saved was found: ";
  text += project.unnamed() ? std::string("a project that was never saved") : "the project " + project.path();
  text += ", as it was at " + TimeText(copy.manifest.saved_at) + ".";
  if (SavedAfterCopy(copy))
    text += " The project was saved after this copy was made, but it differs from the copy.";
  text += "\n\n";
  text += saved_exists ? "Restore it as an unsaved project, open the saved project instead, or discard it?"
                       : "Restore it as an unsaved project, or discard it?";
  std::vector<std::string> choices{"Restore"};
  if (saved_exists) choices.push_back("Open saved project");
  choices.push_back("Discard");
  const std::optional<int> chosen = ui.AskChoice(kTitle, text, choices, "Decide later");
  if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(choices.size())) return RecoveryChoice::kKeep;
  if (*chosen == 0) return RecoveryChoice::kRestore;
  if (*chosen + 1 == static_cast<int>(choices.size())) return RecoveryChoice::kDiscard;
  return RecoveryChoice::kOpenSaved;
}

RecoveryOutcome OfferRecovery(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                              const std::string& recovery_folder, RecoverySession& session) {
  for (const RecoveryCopy& copy : FindRecoveryCopies(recovery_folder)) {
    switch (AskAboutRecovery(ui, copy)) {
      case RecoveryChoice::kRestore:
        // A copy read only in part stays for another try; one restored whole lives on as this run's copy.
        if (Told(ui, RestoreRecoveryCopy(document, copy),
                 "The unsaved work could not be restored completely; its recovery copy is kept.") &&
            session.Autosave(document)) {
          RemoveRecoveryCopy(copy);
        }
        return RecoveryOutcome::kRestored;
      case RecoveryChoice::kOpenSaved:
        if (Told(ui, LoadProject(document, recent, copy.manifest.project.path()),
                 "The project could not be loaded completely.")) {
          RemoveRecoveryCopy(copy);
        }
        return RecoveryOutcome::kOpenedSaved;
      case RecoveryChoice::kDiscard:
        RemoveRecoveryCopy(copy);
        break;
      case RecoveryChoice::kKeep:
        break;
    }
  }
  return RecoveryOutcome::kNothing;
}

}  // namespace vyr::editor
