// Whole-file writes that never leave a half-written target behind.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace platform {

// Writes `bytes` to a new temporary file in the target's folder, flushes it to disk, renames it over
// `path` and flushes the folder. A file that is replaced keeps its permission bits; a new one gets
// 0666 less the umask. On any failure the old file is intact, the temporary file is removed and the
// message reads "<path>: <reason>", as in "a.mlc: cannot replace the file: Is a directory".
//
// A symbolic link is written through: the file it points at is replaced, the link stays. A target that
// is not a regular file (a device, a named pipe, a name under /proc such as /dev/stdout) is written
// into directly and never replaced. When the folder allows no new file but the existing file may be
// written, the file is rewritten in place; that write is not atomic (see FileSetWriter).
Status WriteFileAtomically(const std::string& path, std::string_view bytes);

// Files replaced together: Add writes each whole to its temporary file, and Commit replaces the targets
// only once every one was written, so a failure while adding leaves every target as it was. Commit first
// writes the targets that cannot be replaced (devices, in-place rewrites), then renames the rest; only
// a rename failing there (a folder put in a file's place meanwhile) leaves earlier targets replaced.
// Temporary files of a set that is not committed are removed with it.
class FileSetWriter {
 public:
  FileSetWriter();
  ~FileSetWriter();
  FileSetWriter(const FileSetWriter&) = delete;
  FileSetWriter& operator=(const FileSetWriter&) = delete;

  Status Add(const std::string& path, std::string_view bytes);
  Status Commit();

#ifndef _WIN32
  // Makes the renames recoverable as one: Commit writes this record (atomically, flushed) before the
  // first rename, naming every temporary file and its target, and removes it after the last. A process
  // killed in between leaves the record for FinishFileSet. Use CommitRecordPath for its name.
  void SetCommitRecord(std::string record_path);
#endif

 private:
  struct Pending;
  std::vector<std::unique_ptr<Pending>> pending_;
  std::string record_path_;
};

#ifndef _WIN32
// The commit record of a set saved with the file at `path`: a hidden file beside it, ".NAME.vyr-commit",
// which no reader of the editor's files takes for one of its own (its first line is no version line).
std::string CommitRecordPath(const std::string& path);

enum class FileSetOutcome {
  kNone,        // no record: nothing was left half-done
  kCompleted,   // every temporary file was whole: the renames were finished, every target is new
  kDiscarded,   // a temporary file was missing or damaged: the temporaries went, the targets stay
  kInProgress,  // the process that wrote the record still runs: left alone
};

// Finishes or undoes what a killed writer left at `record_path`, then removes the record. An error
// only when a rename or removal is refused; the record then stays for the next try.
Status FinishFileSet(const std::string& record_path, FileSetOutcome* outcome = nullptr);

// Finishes every commit record in `folder`, then removes the temporary files of this writer that
// processes no longer running left there. Add does this for each folder it writes into.
Status FinishInterruptedWrites(const std::string& folder);

namespace testing {
// Called at each step of a write that a kill could interrupt: "write" (half the bytes of a temporary
// file written), "record" (every temporary whole, no record yet), "rename" (before each rename) and
// "unrecord" (before the record is removed). Null turns it off. For tests that kill the writer there.
void SetFaultHook(void (*hook)(const char* step));
}  // namespace testing
#endif

// When SIGINT, SIGTERM, SIGHUP or SIGPIPE ends the program, removes the temporary files of writes in
// progress first, then ends it by the same signal. Signals the program ignores or handles stay so.
void RemoveTemporaryFilesOnSignals();

}  // namespace platform
