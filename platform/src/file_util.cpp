#include "file_util.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

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

Status WriteFileAtomically(const std::string& path, const std::string& text) {
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0)
    return Status::Error("cannot create a temporary file beside " + path + ": " + std::strerror(errno));
  auto fail = [&](const char* what) {
    const int err = errno;
    ::close(fd);
    ::unlink(name.data());
    return Status::Error(std::string("cannot ") + what + " " + path + ": " + std::strerror(err));
  };
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("write");
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail("flush");
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(name.data());
    return Status::Error("cannot write " + path + ": " + std::strerror(err));
  }
  if (::rename(name.data(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(name.data());
    return Status::Error("cannot replace " + path + ": " + std::strerror(err));
  }
  return Status::Ok();
}

}  // namespace platform
