#include "platform/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/read_file.h"

namespace platform {
namespace {

constexpr int kCreateAttempts = 100;
constexpr int kMaxLinks = 40;  // as the system's own limit on links followed in one name

// The folder part of `path` with its trailing slash: "" for a bare name, "/" for a file in the root.
std::string FolderPrefix(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

Status Failure(const std::string& path, std::string_view what, int error_number) {
  std::string message = Excerpt(path, kPathExcerpt) + ": ";
  message += what;
  message += ": ";
  message += std::strerror(error_number);
  return Status::Error(std::move(message));
}

// ---- temporary files a signal must not leave behind ----

// Fixed slots, each claimed, then filled, then marked ready, so the signal handler reads only whole names.
constexpr int kSignalSlots = 16;
enum SlotState : int { kFree, kFilling, kReady };
struct SignalSlot {
  std::atomic<int> state{kFree};
  char name[PATH_MAX] = {};
};
SignalSlot signal_slots[kSignalSlots];

int RememberForSignals(const std::string& name) {
  if (name.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kSignalSlots; ++i) {
    SignalSlot& slot = signal_slots[i];
    int expected = kFree;
    if (!slot.state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) continue;
    std::memcpy(slot.name, name.c_str(), name.size() + 1);
    slot.state.store(kReady, std::memory_order_release);
    return i;
  }
  return -1;  // more writes at once than slots: this one is not cleaned up after a signal
}

void ForgetForSignals(int slot) {
  if (slot >= 0) signal_slots[slot].state.store(kFree, std::memory_order_release);
}

extern "C" void RemoveTemporariesAndDie(int signal_number) {
  for (SignalSlot& slot : signal_slots) {
    if (slot.state.load(std::memory_order_acquire) == kReady) ::unlink(slot.name);
  }
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
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
    if (fd_ < 0) {
      name_.clear();
    } else {
      signal_slot_ = RememberForSignals(name_);
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty()) ::unlink(name_.c_str());
    ForgetForSignals(signal_slot_);
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
  void Kept() {
    name_.clear();
    ForgetForSignals(std::exchange(signal_slot_, -1));
  }

 private:
  int fd_ = -1;
  int signal_slot_ = -1;
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

bool UnderProc(const std::string& path) {
  char resolved[PATH_MAX];
  const std::string folder = FolderPrefix(path);
  if (::realpath(folder.empty() ? "." : folder.c_str(), resolved) == nullptr) return false;
  return std::strncmp(resolved, "/proc/", 6) == 0;
}

enum class TargetKind { kReplace, kDirect, kFolder };

struct Target {
  TargetKind kind = TargetKind::kReplace;
  std::string path;  // kReplace: the file to replace, links followed; otherwise the name as given
};

// Follows symbolic links to the file a write must reach. A name under /proc (/dev/stdout leads to
// /proc/self/fd/1) stands for an open file, not for a name that may be replaced.
Target Resolve(const std::string& path) {
  std::string current = path;
  for (int step = 0; step < kMaxLinks; ++step) {
    if (UnderProc(current)) return {TargetKind::kDirect, path};
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0) return {TargetKind::kReplace, current};
    if (S_ISREG(info.st_mode)) return {TargetKind::kReplace, current};
    if (S_ISDIR(info.st_mode)) return {TargetKind::kFolder, path};
    if (!S_ISLNK(info.st_mode)) return {TargetKind::kDirect, path};
    char link[PATH_MAX];
    const ssize_t n = ::readlink(current.c_str(), link, sizeof link - 1);
    if (n < 0) return {TargetKind::kReplace, current};
    const std::string points_to(link, static_cast<std::size_t>(n));
    current = points_to.front() == '/' ? points_to : FolderPrefix(current) + points_to;
  }
  return {TargetKind::kReplace, path};  // a loop of links: the rename reports it
}

}  // namespace

// ---- FileSetWriter ----

struct FileSetWriter::Pending {
  enum class How { kRename, kDirect, kInPlace } how = How::kRename;
  std::string path;    // as the caller named it, for messages
  std::string target;  // the file renamed over or written
  std::unique_ptr<TemporaryFile> temporary;
  std::string bytes;  // kDirect and kInPlace: written at Commit
  int fd = -1;        // kInPlace: opened at Add, proving the file may be written

  ~Pending() {
    if (fd >= 0) ::close(fd);
  }
};

FileSetWriter::FileSetWriter() = default;
FileSetWriter::~FileSetWriter() = default;

Status FileSetWriter::Add(const std::string& path, std::string_view bytes) {
  if (path.empty() || path.back() == '/') {
    return Status::Error(Excerpt(path, kPathExcerpt) + ": cannot write the file: the name is empty");
  }
  auto pending = std::make_unique<Pending>();
  pending->path = path;
  const Target target = Resolve(path);
  pending->target = target.path;
  if (target.kind == TargetKind::kFolder) return Failure(path, "cannot replace the file", EISDIR);
  if (target.kind == TargetKind::kDirect) {
    pending->how = Pending::How::kDirect;
    pending->bytes = bytes;
    pending_.push_back(std::move(pending));
    return Status::Ok();
  }

  const std::string folder_prefix = FolderPrefix(target.path);
  pending->temporary = std::make_unique<TemporaryFile>(folder_prefix);
  TemporaryFile& temporary = *pending->temporary;
  if (!temporary.created()) {
    const int error_number = errno;
    // A folder that takes no new file may still hold a file that can be rewritten where it is.
    if (error_number == EACCES || error_number == EPERM) {
      struct stat info {};
      const int fd = ::stat(target.path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
                         ? ::open(target.path.c_str(), O_WRONLY | O_CLOEXEC)
                         : -1;
      if (fd >= 0) {
        pending->how = Pending::How::kInPlace;
        pending->fd = fd;
        pending->temporary.reset();
        pending->bytes = bytes;
        pending_.push_back(std::move(pending));
        return Status::Ok();
      }
    }
    return Failure(path, "cannot create a temporary file in its folder", error_number);
  }

  // A replaced file keeps who may read it; a file that was private must not become readable by others.
  struct stat old_info {};
  if (::stat(target.path.c_str(), &old_info) == 0 && S_ISREG(old_info.st_mode) &&
      ::fchmod(temporary.fd(), old_info.st_mode & 07777) != 0) {
    return Failure(path, "cannot keep the file's permissions", errno);
  }
  if (!WriteAll(temporary.fd(), bytes) || !SyncFile(temporary.fd())) {
    return Failure(path, "cannot write the file", errno);
  }
  if (!temporary.Close()) return Failure(path, "cannot write the file", errno);
  pending_.push_back(std::move(pending));
  return Status::Ok();
}

Status FileSetWriter::Commit() {
  for (auto& pending : pending_) {
    if (pending->how == Pending::How::kDirect) {
      // Blocks on a named pipe until a reader comes, as any program writing into one does. Appending,
      // since /dev/stdout on a file opens that file afresh at its start, over what was written before.
      const int fd = ::open(pending->target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
      if (fd < 0) return Failure(pending->path, "cannot open the file for writing", errno);
      const bool written = WriteAll(fd, pending->bytes);
      const int error_number = errno;
      ::close(fd);
      if (!written) return Failure(pending->path, "cannot write the file", error_number);
    } else if (pending->how == Pending::How::kInPlace) {
      const int fd = pending->fd;
      // Reserve the space first, so a full disk is found before the old contents are touched.
      if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(pending->bytes.size())) != 0 &&
          errno == ENOSPC) {
        return Failure(pending->path, "cannot rewrite the file in place", ENOSPC);
      }
      if (::lseek(fd, 0, SEEK_SET) != 0 || !WriteAll(fd, pending->bytes) ||
          ::ftruncate(fd, static_cast<off_t>(pending->bytes.size())) != 0 || !SyncFile(fd)) {
        return Failure(pending->path, "the file was rewritten in place and may be damaged", errno);
      }
    }
  }
  for (auto& pending : pending_) {
    if (pending->how != Pending::How::kRename) continue;
    if (::rename(pending->temporary->name().c_str(), pending->target.c_str()) != 0) {
      return Failure(pending->path, "cannot replace the file", errno);
    }
    pending->temporary->Kept();
    SyncFolder(FolderPrefix(pending->target));
  }
  pending_.clear();
  return Status::Ok();
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
  FileSetWriter writer;
  if (Status added = writer.Add(path, bytes); !added) return added;
  return writer.Commit();
}

void RemoveTemporaryFilesOnSignals() {
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    struct sigaction old_action {};
    if (::sigaction(signal_number, nullptr, &old_action) != 0 || old_action.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndDie;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal_number, &action, nullptr);
  }
}

}  // namespace platform
