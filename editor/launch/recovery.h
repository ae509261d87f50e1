// Recovery copies of unsaved work. While the project holds changes that its own files do not, the editor
// keeps a copy of the whole project (project file, four sections, annotation) in a session folder of its
// own under the editor's data folder, never beside the author's files. The session folder stays locked
// while the editor runs, so a copy whose lock is free was left by an editor that crashed or was killed,
// and the next start offers it back.
//
// A session folder holds "lock", "manifest" and one folder per copy ("copy-1", "copy-2", ...). A copy is
// written whole into a new folder before the manifest (replaced atomically) names it, so a kill at any
// moment leaves the previous copy or the new one, never a mixture.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/document/file_name_pair.h"
#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/document/status.h"
#include "editor/document/user_interface.h"

namespace vyr::editor {

inline constexpr std::string_view kManifestVersionLine = "[VYR RECOVERY 1]";
inline constexpr std::string_view kRecoveryFolderName = "recovery";
inline constexpr int kDefaultAutosaveSeconds = 60;

// What a copy says about the project it was taken from: the original file names, so that a restored
// project saves where the author expects, and when the copy was made.
struct RecoveryManifest {
  std::int64_t saved_at = 0;  // seconds since the epoch
  FileNamePair project;
  std::array<FileNamePair, 4> sections;  // in section order
  std::string copy;                      // the copy's folder within the session folder

  bool operator==(const RecoveryManifest&) const = default;
};

std::string FormatManifest(const RecoveryManifest& manifest);
// Refuses a manifest that is cut short, has another version line, or names a copy folder outside its
// session folder; the message names the file and line.
Status ParseManifest(const std::string& path, const std::string& bytes, RecoveryManifest& manifest);

// Whether the document holds anything its own files do not: a never-saved project with any record or
// any mission information, or a saved one whose project or section files differ from what saving would
// write now (or cannot be read).
bool HasUnsavedChanges(const MissionDocument& document);

// One editor run's recovery copy. The session folder is made, and locked for the life of the object,
// at the first copy.
class RecoverySession {
 public:
  explicit RecoverySession(std::string recovery_folder);
  ~RecoverySession();  // releases the lock and keeps the copy, as a crash would
  RecoverySession(const RecoverySession&) = delete;
  RecoverySession& operator=(const RecoverySession&) = delete;

  // The periodic step: writes a copy when the document has unsaved changes that the last copy does not
  // hold, and removes the copy when nothing is unsaved any more. A copy that cannot be written leaves
  // the previous one as it was and says why.
  Status Autosave(const MissionDocument& document);
  // A normal exit: the copy and the session folder go.
  void Discard();

  bool has_copy() const { return !written_.empty(); }
  const std::string& folder() const { return folder_; }  // empty before the first copy

 private:
  Status Open();

  std::string recovery_folder_;
  std::string folder_;
  int lock_fd_ = -1;
  int generation_ = 0;
  std::string written_;  // the bytes of the last copy, to write only what changed
};

// A copy left by an editor that no longer runs.
struct RecoveryCopy {
  std::string folder;  // its session folder
  RecoveryManifest manifest;
};

// The copies no running editor owns whose content differs from the saved files of their project (or
// whose project was never saved or is gone), newest first, whenever they were made. A copy that equals
// the saved files and session folders that never completed a copy are removed; a folder whose manifest
// cannot be read is left alone.
std::vector<RecoveryCopy> FindRecoveryCopies(const std::string& recovery_folder);

// Whether the copy, restored, would hold nothing its saved project files do not.
bool CopyEqualsSavedFiles(const RecoveryCopy& copy);
// Whether the project file was written after the copy was made.
bool SavedAfterCopy(const RecoveryCopy& copy);

// Loads the copy into the document as an unsaved project under the original project and section file
// names. When the copy cannot be read completely the names are set all the same (so a save never writes
// into the recovery folder), what was read stays, and the fault is returned.
Status RestoreRecoveryCopy(MissionDocument& document, const RecoveryCopy& copy);
void RemoveRecoveryCopy(const RecoveryCopy& copy);

enum class RecoveryChoice { kRestore, kOpenSaved, kDiscard, kKeep };

// The start-up question for one copy. "Open saved project" is offered only when the project file exists.
RecoveryChoice AskAboutRecovery(UserInterface& ui, const RecoveryCopy& copy);

enum class RecoveryOutcome { kNothing, kRestored, kOpenedSaved };

// Asks about each copy, newest first, until one is restored or its saved project opened. A restored copy
// is handed to `session` (written again as this run's copy) before the old one goes; a discarded copy
// goes at once; a copy the author does not decide on stays for the next start. Faults are told.
RecoveryOutcome OfferRecovery(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                              const std::string& recovery_folder, RecoverySession& session);

}  // namespace vyr::editor
