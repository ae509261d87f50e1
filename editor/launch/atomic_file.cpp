#include "editor/launch/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vyr::editor {

namespace {

Status Failure(const std::string& path, int error) {
  return Status::Error("Cannot write " + path + ": " + std::strerror(error));
}

mode_t CurrentUmask() {
  mode_t mask = umask(0);
  umask(mask);
  return mask;
}

}  // namespace

Status WriteFileAtomically(const std::string& path, std::string_view contents) {
  std::string pattern = path + ".tmp-XXXXXX";
  std::vector<char> temp_name(pattern.begin(), pattern.end());
  temp_name.push_back('\0');
  int fd = mkstemp(temp_name.data());
  if (fd < 0) return Failure(path, errno);

  // mkstemp creates the file for the owner only; give it what a plain new file would get, or keep
  // the mode of the file we replace.
  struct stat existing {};
  mode_t mode = stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());
  int error = 0;
  if (fchmod(fd, mode) != 0) error = errno;

  const char* data = contents.data();
  std::size_t left = contents.size();
  while (error == 0 && left > 0) {
    ssize_t written = write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temp_name.data(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    unlink(temp_name.data());
    return Failure(path, error);
  }
  return Status::Ok();
}

}  // namespace vyr::editor
