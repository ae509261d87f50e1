#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace platform {
namespace {

constexpr int kCreateAttempts = 100;

// The folder part of `path` with its trailing slash: "" for a bare name, "/" for a file in the root.
std::string FolderPrefix(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

Status Failure(const std::string& path, std::string_view what, int error_number) {
  std::string message = path + ": ";
  message += what;
  message += ": ";
  message += std::strerror(error_number);
  return Status::Error(std::move(message));
}

// Owns the temporary file until it is renamed into place; every early return removes it.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& folder_prefix) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < kCreateAttempts && fd_ < 0; ++attempt) {
      // A short name of our own, so a target name near the length limit still leaves room for it.
      name_ = folder_prefix + ".vyr-save-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
              ".tmp";
      fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && errno != EEXIST && errno != EINTR) break;
    }
    if (fd_ < 0) name_.clear();
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty()) ::unlink(name_.c_str());
  }

  bool created() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& name() const { return name_; }

  // Closes the descriptor; the file stays until Kept() or destruction. Linux releases the descriptor
  // even when close reports EINTR, and the data is already on disk by then, so that is no failure.
  bool Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 || errno == EINTR;
  }
  void Kept() { name_.clear(); }

 private:
  int fd_ = -1;
  std::string name_;
};

// Writes all of `bytes`, through interrupted and partial writes.
bool WriteAll(int fd, std::string_view bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {  // no progress and no reason given: treat it as a full disk rather than spin
      errno = ENOSPC;
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return true;
}

bool SyncFile(int fd) {
  while (::fsync(fd) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// Makes the rename itself durable. Best effort: the new file is in place whatever this reports.
void SyncFolder(const std::string& folder_prefix) {
  const std::string folder = folder_prefix.empty() ? "." : folder_prefix;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  SyncFile(fd);
  ::close(fd);
}

}  // namespace

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty() || path.back() == '/') {
    return Status::Error(path + ": cannot write the file: the name is empty");
  }
  const std::string folder_prefix = FolderPrefix(path);
  TemporaryFile temporary(folder_prefix);
  if (!temporary.created()) return Failure(path, "cannot create a temporary file in its folder", errno);

  // A replaced file keeps who may read it; a file that was private must not become readable by others.
  struct stat old_info {};
  if (::stat(path.c_str(), &old_info) == 0 && S_ISREG(old_info.st_mode) &&
      ::fchmod(temporary.fd(), old_info.st_mode & 07777) != 0) {
    return Failure(path, "cannot keep the file's permissions", errno);
  }
  if (!WriteAll(temporary.fd(), bytes) || !SyncFile(temporary.fd())) {
    return Failure(path, "cannot write the file", errno);
  }
  if (!temporary.Close()) return Failure(path, "cannot write the file", errno);
  if (::rename(temporary.name().c_str(), path.c_str()) != 0) {
    return Failure(path, "cannot replace the file", errno);
  }
  temporary.Kept();
  SyncFolder(folder_prefix);
  return Status::Ok();
}

}  // namespace platform
