// Reads of files that may name anything: a folder, a named pipe, a device, a huge file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

// A regular file read front to back in pieces, so a reader can stop at its first fault without holding
// the rest. Anything but a regular file is refused at Open without blocking. More bytes than the limit,
// whatever size the system reports (a /proc file reports 0), is a kTooLarge fault.
class FileReader {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  ReadResult Open(const std::string& path, std::uint64_t max_size);
  // Up to `size` bytes into `buffer`: the count, 0 at the end of the file, -1 on a fault (see result()).
  std::ptrdiff_t Read(char* buffer, std::size_t size);
  // The next line without its line feed; `*ended_by_line_feed` tells whether one followed. False at the
  // end of the file (a file ending in a line feed has no empty last line) and on a fault.
  bool NextLine(std::string& line, bool* ended_by_line_feed = nullptr);
  // True at the end of the file and after a fault; reads ahead at most one piece to know.
  bool AtEnd();
  const ReadResult& result() const { return result_; }

 private:
  bool Fill();
  // One read of the file into `destination`: the count, or 0 at the end or on a fault (then at_end_).
  std::ptrdiff_t ReadFromFile(char* destination, std::size_t size);

  int fd_ = -1;
  std::uint64_t max_size_ = 0;
  std::uint64_t total_ = 0;
  std::string buffer_;
  std::size_t position_ = 0;
  bool at_end_ = false;
  ReadResult result_;
};

// Reads the whole regular file at `path` into `bytes` (cleared first) when it holds at most `max_size`
// bytes, through interrupted reads and a file that grows while it is read.
ReadResult ReadFileBytes(const std::string& path, std::string& bytes, std::uint64_t max_size);

// `text` fit to be quoted in a message: control bytes as "\xNN", and when longer than `max_size` its
// beginning and end around "...". For names and contents taken from files that may be damaged.
std::string Excerpt(std::string_view text, std::size_t max_size = 80);
inline constexpr std::size_t kPathExcerpt = 200;  // for file names, which are longer than most values

// A file name fit to be quoted in a message: names are UTF-8, so control bytes are shown as "\xNN", and
// so is every byte beyond ASCII when the name is no UTF-8 text (a name read from a damaged file shows as
// escapes, not as other characters). The whole is at most `max_size` bytes, its beginning and end
// around "...".
std::string PathExcerpt(std::string_view path, std::size_t max_size = kPathExcerpt);

}  // namespace platform
