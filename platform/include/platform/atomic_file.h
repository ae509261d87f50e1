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

 private:
  struct Pending;
  std::vector<std::unique_ptr<Pending>> pending_;
};

// When SIGINT, SIGTERM, SIGHUP or SIGPIPE ends the program, removes the temporary files of writes in
// progress first, then ends it by the same signal. Signals the program ignores or handles stay so.
void RemoveTemporaryFilesOnSignals();

}  // namespace platform
