#include "platform/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#ifdef _WIN32
#include "platform/codepage.h"
#endif

namespace platform {
namespace {

#ifdef _WIN32
// Names are UTF-8 and the system takes them as UTF-16; binary, so line ends arrive as they are.
int OpenForReading(const std::string& path) {
  const auto wide = Utf8ToUtf16(path);
  if (!wide) {
    errno = ENOENT;
    return -1;
  }
  return ::_wopen(reinterpret_cast<const wchar_t*>(wide->c_str()), _O_RDONLY | _O_BINARY);
}
#else
// Non-blocking, so that opening a named pipe does not wait for a writer; it is refused at Open.
int OpenForReading(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}
#endif

constexpr std::size_t kPieceSize = 65536;

ReadResult Fault(ReadFault fault, std::string reason) {
  return {fault, std::move(reason)};
}

ReadResult TooLarge(std::uint64_t max_size) {
  return Fault(ReadFault::kTooLarge,
               "cannot open the file: it is larger than " + std::to_string(max_size) + " bytes");
}

}  // namespace

FileReader::~FileReader() {
  if (fd_ >= 0) ::close(fd_);
}

ReadResult FileReader::Open(const std::string& path, std::uint64_t max_size) {
  max_size_ = max_size;
  fd_ = OpenForReading(path);
  if (fd_ < 0) {
    const int error_number = errno;
    result_ = Fault(error_number == ENOENT ? ReadFault::kMissing : ReadFault::kSystem,
                    std::string("cannot open the file: ") + std::strerror(error_number));
  } else if (struct stat info{}; ::fstat(fd_, &info) != 0) {
    result_ = Fault(ReadFault::kSystem, std::string("cannot open the file: ") + std::strerror(errno));
  } else if (S_ISDIR(info.st_mode)) {
    result_ = Fault(ReadFault::kFolder, "cannot open the file: it is a folder");
  } else if (!S_ISREG(info.st_mode)) {
    result_ = Fault(ReadFault::kNotRegularFile, "cannot open the file: it is not a regular file");
  } else if (static_cast<std::uint64_t>(info.st_size) > max_size) {
    result_ = TooLarge(max_size);
  }
  at_end_ = !result_;
  return result_;
}

// Reads the next piece into the buffer, after what is still unread; false at the end or on a fault.
bool FileReader::Fill() {
  if (at_end_) return false;
  buffer_.erase(0, position_);
  position_ = 0;
  const std::size_t old_size = buffer_.size();
  buffer_.resize(old_size + kPieceSize);
  const std::ptrdiff_t n = ReadFromFile(buffer_.data() + old_size, kPieceSize);
  // Past the size limit nothing read is kept; at the end or on a read fault the unread bytes are.
  buffer_.resize(result_.fault == ReadFault::kTooLarge ? 0 : old_size + static_cast<std::size_t>(n));
  return n > 0;
}

std::ptrdiff_t FileReader::ReadFromFile(char* destination, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd_, destination, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      at_end_ = true;
      if (n < 0)
        result_ = Fault(ReadFault::kSystem, std::string("cannot read the file: ") + std::strerror(errno));
      return 0;
    }
    total_ += static_cast<std::uint64_t>(n);
    if (total_ > max_size_) {
      at_end_ = true;
      result_ = TooLarge(max_size_);
      return 0;
    }
    return n;
  }
}

std::ptrdiff_t FileReader::Read(char* buffer, std::size_t size) {
  if (position_ == buffer_.size() && size >= kPieceSize) {
    // A large request goes straight from the file to the caller: no copy through the buffer.
    if (at_end_) return result_ ? 0 : -1;
    const std::ptrdiff_t n = ReadFromFile(buffer, size);
    return n > 0 ? n : (result_ ? 0 : -1);
  }
  if (position_ == buffer_.size() && !Fill()) return result_ ? 0 : -1;
  const std::size_t n = std::min(size, buffer_.size() - position_);
  std::memcpy(buffer, buffer_.data() + position_, n);
  position_ += n;
  return static_cast<std::ptrdiff_t>(n);
}

bool FileReader::AtEnd() {
  return position_ == buffer_.size() && !Fill();
}

bool FileReader::NextLine(std::string& line, bool* ended_by_line_feed) {
  line.clear();
  bool any = false;
  for (;;) {
    const auto end = buffer_.find('\n', position_);
    if (end != std::string::npos) {
      line.append(buffer_, position_, end - position_);
      position_ = end + 1;
      if (ended_by_line_feed != nullptr) *ended_by_line_feed = true;
      return true;
    }
    any = any || position_ < buffer_.size();
    line.append(buffer_, position_);
    position_ = buffer_.size();
    if (!Fill()) {
      if (ended_by_line_feed != nullptr) *ended_by_line_feed = false;
      return any && result_;
    }
  }
}

ReadResult ReadFileBytes(const std::string& path, std::string& bytes, std::uint64_t max_size) {
  bytes.clear();
  FileReader file;
  if (ReadResult opened = file.Open(path, max_size); !opened) return opened;
  char piece[kPieceSize];
  for (;;) {
    const std::ptrdiff_t n = file.Read(piece, sizeof piece);
    if (n == 0) return {};
    if (n < 0) {
      bytes.clear();
      return file.result();
    }
    bytes.append(piece, static_cast<std::size_t>(n));
  }
}

std::string Excerpt(std::string_view text, std::size_t max_size) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const auto printable = [](std::string_view part) {
    std::string out;
    for (char c : part) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x20 || byte == 0x7F) {
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
      } else {
        out += c;
      }
    }
    return out;
  };
  if (text.size() <= max_size) return printable(text);
  // Cut at character boundaries, so a UTF-8 name is not split inside a character.
  const auto continuation = [&text](std::size_t i) {
    return i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
  };
  std::size_t head = max_size / 2;
  while (head > 0 && continuation(head))
    --head;
  std::size_t tail = text.size() - max_size / 2;
  while (tail < text.size() && continuation(tail))
    ++tail;
  return printable(text.substr(0, head)) + "..." + printable(text.substr(tail));
}

std::string PathExcerpt(std::string_view path, std::size_t max_size) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  // The length of the UTF-8 character at `i`, or 0 when no character starts there.
  const auto character = [&path](std::size_t i) -> std::size_t {
    const auto byte = static_cast<unsigned char>(path[i]);
    std::size_t length = byte < 0x80                    ? 1
                         : byte >= 0xC2 && byte <= 0xDF ? 2
                         : byte >= 0xE0 && byte <= 0xEF ? 3
                         : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                        : 0;
    for (std::size_t k = 1; k < length; ++k) {
      if (i + k >= path.size() || (static_cast<unsigned char>(path[i + k]) & 0xC0) != 0x80) length = 0;
    }
    return length;
  };
  // A name that is no UTF-8 text at all is bytes from a damaged file: every byte beyond ASCII shows as
  // an escape then, so none of them reads as a letter (or turns the message right to left).
  bool binary = false;
  for (std::size_t i = 0; i < path.size() && !binary;) {
    const std::size_t length = character(i);
    binary = length == 0;
    i += std::max<std::size_t>(length, 1);
  }
  // The name as pieces: whole UTF-8 characters and escaped bytes, so a cut never splits either.
  std::vector<std::string> pieces;
  for (std::size_t i = 0; i < path.size();) {
    const auto byte = static_cast<unsigned char>(path[i]);
    const std::size_t length = binary && byte >= 0x80 ? 0 : character(i);
    if (length == 0 || byte < 0x20 || byte == 0x7F) {
      pieces.push_back({'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]});
      ++i;
    } else {
      pieces.emplace_back(path.substr(i, length));
      i += length;
    }
  }
  std::size_t total = 0;
  for (const std::string& piece : pieces)
    total += piece.size();
  std::string out;
  if (total <= max_size) {
    for (const std::string& piece : pieces)
      out += piece;
    return out;
  }
  const std::size_t half = max_size > 3 ? (max_size - 3) / 2 : 0;  // each side of the "..."
  std::size_t head = 0;
  for (std::size_t used = 0; head < pieces.size() && used + pieces[head].size() <= half; ++head)
    used += pieces[head].size();
  std::size_t tail = pieces.size();
  for (std::size_t used = 0; tail > head && used + pieces[tail - 1].size() <= half; --tail)
    used += pieces[tail - 1].size();
  for (std::size_t k = 0; k < head; ++k)
    out += pieces[k];
  out += "...";
  for (std::size_t k = tail; k < pieces.size(); ++k)
    out += pieces[k];
  return out;
}

}  // namespace platform
