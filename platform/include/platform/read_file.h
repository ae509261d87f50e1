// Whole-file reads of files that may name anything: a folder, a named pipe, a device, a huge file.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class ReadFault {
  kNone,
  kMissing,         // there is no such file
  kSystem,          // the system refused to open or read it
  kFolder,          // the name is a folder
  kNotRegularFile,  // a named pipe, a device, a socket: never read, so nothing can block
  kTooLarge,        // more than the caller's limit
};

struct ReadResult {
  ReadFault fault = ReadFault::kNone;
  std::string reason;  // without the path: "cannot open the file: it is a folder"

  explicit operator bool() const { return fault == ReadFault::kNone; }
};

// Reads the whole regular file at `path` into `bytes` (cleared first) when it holds at most `max_size`
// bytes, through interrupted reads and a file that grows while it is read.
ReadResult ReadFileBytes(const std::string& path, std::string& bytes, std::uint64_t max_size);

}  // namespace platform
