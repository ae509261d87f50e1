#include "vyrparser/core/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vyr::parser {
namespace {

WriteResult Describe(const std::filesystem::path& path, const char* what, int error) {
  return {false, "cannot write " + path.string() + ": " + what + ": " + std::strerror(error)};
}

// The mode of a file being replaced, so an update does not change who may read it; -1 for a new file.
int ExistingMode(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return static_cast<int>(info.st_mode & 07777);
  return -1;
}

}  // namespace

WriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const std::string stem = path.filename().string();
  if (stem.empty()) return {false, "cannot write " + path.string() + ": no file name"};

  int fd = -1;
  std::filesystem::path temp;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = folder / ("." + stem + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter++));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return Describe(path, "cannot create a temporary file", errno);
  }
  if (fd < 0) return Describe(path, "cannot create a temporary file", EEXIST);

  auto fail = [&](const char* what) {
    const int error = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Describe(path, what, error);
  };
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("write failed");
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  const int mode = ExistingMode(path);
  if (mode >= 0 && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) return fail("cannot set permissions");
  if (::fsync(fd) != 0) return fail("cannot flush to disk");
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    return Describe(path, "close failed", error);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    return Describe(path, "cannot replace the file", error);
  }
  return {};
}

}  // namespace vyr::parser
