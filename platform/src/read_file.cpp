#include "platform/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace platform {
namespace {

ReadResult Fault(ReadFault fault, std::string reason) {
  return {fault, std::move(reason)};
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

ReadResult ReadFileBytes(const std::string& path, std::string& bytes, std::uint64_t max_size) {
  bytes.clear();
  // Non-blocking, so that opening a named pipe does not wait for a writer; it is refused just below.
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) {
    const int error_number = errno;
    return Fault(error_number == ENOENT ? ReadFault::kMissing : ReadFault::kSystem,
                 std::string("cannot open the file: ") + std::strerror(error_number));
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) {
    return Fault(ReadFault::kSystem, std::string("cannot open the file: ") + std::strerror(errno));
  }
  if (S_ISDIR(info.st_mode)) return Fault(ReadFault::kFolder, "cannot open the file: it is a folder");
  if (!S_ISREG(info.st_mode)) {
    return Fault(ReadFault::kNotRegularFile, "cannot open the file: it is not a regular file");
  }
  const auto too_large = [max_size] {
    return Fault(ReadFault::kTooLarge,
                 "cannot open the file: it is larger than " + std::to_string(max_size) + " bytes");
  };
  if (static_cast<std::uint64_t>(info.st_size) > max_size) return too_large();

  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error_number = errno;
      bytes.clear();
      return Fault(ReadFault::kSystem, std::string("cannot read the file: ") + std::strerror(error_number));
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (bytes.size() > max_size) {
      bytes.clear();
      return too_large();
    }
  }
  return {};
}

}  // namespace platform
