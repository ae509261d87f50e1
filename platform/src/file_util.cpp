#include "file_util.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

Status ReadWholeFile(const std::string& path, std::string* text, bool* exists) {
  text->clear();
  *exists = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return Status::Ok();
    return Status::Error("cannot open " + path + ": " + std::strerror(errno));
  }
  *exists = true;
  char buffer[8192];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return Status::Error("cannot read " + path + ": " + std::strerror(err));
    }
    text->append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return Status::Ok();
}

}  // namespace platform
