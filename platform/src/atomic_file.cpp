#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
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

// ---- fault points for tests ----

std::atomic<void (*)(const char*)> fault_hook{nullptr};

void FaultPoint(const char* step) {
  if (auto* hook = fault_hook.load()) hook(step);
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
  // A signal no longer removes it: a commit record names it, for the next writer to finish the set.
  void KeepOnSignals() { ForgetForSignals(std::exchange(signal_slot_, -1)); }

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

// ---- commit records and what killed writers leave ----

constexpr std::string_view kTemporaryPrefix = ".vyr-save-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::string_view kRecordSuffix = ".vyr-commit";
constexpr std::string_view kRecordHeader = "VYR FILE SET 1";
constexpr std::uint64_t kMaxRecordSize = 1 << 20;

// Tells a whole temporary file from a cut or damaged one; eight bytes a step, so a large save barely
// notices it.
std::uint64_t ContentHash(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull ^ bytes.size();
  const auto mix = [&hash](std::uint64_t word) {
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    hash ^= hash >> 32;
  };
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, 8);
    mix(word);
  }
  for (; i < bytes.size(); ++i)
    mix(static_cast<unsigned char>(bytes[i]));
  return hash;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

// One rename of a set: the temporary file, what it holds, and the file it replaces.
struct RecordEntry {
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  std::string temporary;
  std::string target;
};

// "VYR FILE SET 1", "pid P", "files N", then per file "SIZE HASH", the temporary and the target (absolute,
// so another working folder finds them), then "end". False when a name could not be read back.
bool FormatRecord(const std::vector<RecordEntry>& entries, std::string& text) {
  text = std::string(kRecordHeader) + "\npid " + std::to_string(::getpid()) + "\nfiles " +
         std::to_string(entries.size()) + "\n";
  for (const RecordEntry& entry : entries) {
    const std::string temporary = AbsolutePath(entry.temporary);
    const std::string target = AbsolutePath(entry.target);
    if (temporary.find('\n') != std::string::npos || target.find('\n') != std::string::npos) return false;
    text += std::to_string(entry.size) + " " + std::to_string(entry.hash) + "\n" + temporary + "\n" + target +
            "\n";
  }
  text += "end\n";
  return true;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseRecord(std::string_view text, long& pid, std::vector<RecordEntry>& entries) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos) return false;  // every line ends, "end" included
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  std::size_t count = 0;
  if (lines.size() < 4 || lines[0] != kRecordHeader || !lines[1].starts_with("pid ") ||
      !ParseNumber(lines[1].substr(4), pid) || !lines[2].starts_with("files ") ||
      !ParseNumber(lines[2].substr(6), count) || lines.size() != 4 + 3 * count || lines.back() != "end") {
    return false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view numbers = lines[3 + 3 * i];
    const auto blank = numbers.find(' ');
    RecordEntry entry;
    if (blank == std::string_view::npos || !ParseNumber(numbers.substr(0, blank), entry.size) ||
        !ParseNumber(numbers.substr(blank + 1), entry.hash)) {
      return false;
    }
    entry.temporary = lines[4 + 3 * i];
    entry.target = lines[5 + 3 * i];
    if (entry.temporary.empty() || entry.target.empty()) return false;
    entries.push_back(std::move(entry));
  }
  return true;
}

// Records this process is committing right now, so that a record with our own process number is taken
// as left behind only when it is none of them (process numbers come round again, in containers at once).
std::mutex& ActiveRecordsMutex() {
  static std::mutex mutex;
  return mutex;
}
std::set<std::string>& ActiveRecords() {
  static std::set<std::string> records;
  return records;
}
class ActiveRecord {
 public:
  explicit ActiveRecord(const std::string& path) : path_(AbsolutePath(path)) {
    const std::lock_guard<std::mutex> lock(ActiveRecordsMutex());
    ActiveRecords().insert(path_);
  }
  ~ActiveRecord() {
    const std::lock_guard<std::mutex> lock(ActiveRecordsMutex());
    ActiveRecords().erase(path_);
  }
  ActiveRecord(const ActiveRecord&) = delete;
  ActiveRecord& operator=(const ActiveRecord&) = delete;

 private:
  std::string path_;
};

bool RecordActiveHere(const std::string& path) {
  const std::lock_guard<std::mutex> lock(ActiveRecordsMutex());
  return ActiveRecords().count(AbsolutePath(path)) != 0;
}

bool ProcessRuns(long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// The process that made a temporary file ".vyr-save-PID-N.tmp", or 0 for any other name.
long TemporaryOwner(std::string_view name) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return 0;
  name =
      name.substr(kTemporaryPrefix.size(), name.size() - kTemporaryPrefix.size() - kTemporarySuffix.size());
  const auto dash = name.find('-');
  long pid = 0;
  unsigned long counter = 0;
  if (dash == std::string_view::npos || !ParseNumber(name.substr(0, dash), pid) ||
      !ParseNumber(name.substr(dash + 1), counter) || pid <= 0) {
    return 0;
  }
  return pid;
}

// Whether the file at `path` holds exactly `size` bytes hashing to `hash`.
bool Holds(const std::string& path, std::uint64_t size, std::uint64_t hash) {
  std::string bytes;
  return ReadFileBytes(path, bytes, size + 1) && bytes.size() == size && ContentHash(bytes) == hash;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

// ---- FileSetWriter ----

struct FileSetWriter::Pending {
  enum class How { kRename, kDirect, kInPlace } how = How::kRename;
  std::string path;    // as the caller named it, for messages
  std::string target;  // the file renamed over or written
  std::unique_ptr<TemporaryFile> temporary;
  std::string bytes;       // kDirect and kInPlace: written at Commit
  int fd = -1;             // kInPlace: opened at Add, proving the file may be written
  std::uint64_t size = 0;  // kRename: what the temporary file holds, for the commit record
  std::uint64_t hash = 0;

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
  FinishInterruptedWrites(folder_prefix);  // best effort: this write does not depend on it
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
  // In two pieces, so that a test can kill the writer with the temporary file half written.
  const std::string_view first_half = bytes.substr(0, bytes.size() / 2);
  if (!WriteAll(temporary.fd(), first_half)) return Failure(path, "cannot write the file", errno);
  FaultPoint("write");
  if (!WriteAll(temporary.fd(), bytes.substr(first_half.size())) || !SyncFile(temporary.fd())) {
    return Failure(path, "cannot write the file", errno);
  }
  pending->size = bytes.size();
  pending->hash = ContentHash(bytes);
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
  std::vector<RecordEntry> entries;
  for (const auto& pending : pending_) {
    if (pending->how == Pending::How::kRename)
      entries.push_back({pending->size, pending->hash, pending->temporary->name(), pending->target});
  }
  // One rename is atomic by itself; more need the record to be finished together after a kill.
  const bool recorded = !record_path_.empty() && entries.size() > 1;
  std::optional<ActiveRecord> active;
  if (recorded) {
    std::string record;
    if (!FormatRecord(entries, record)) {
      return Status::Error(Excerpt(record_path_, kPathExcerpt) +
                           ": cannot write the commit record: a file name holds a line break");
    }
    active.emplace(record_path_);
    FaultPoint("record");
    if (Status written = WriteFileAtomically(record_path_, record); !written) return written;
    for (auto& pending : pending_) {
      if (pending->how == Pending::How::kRename) pending->temporary->KeepOnSignals();
    }
  }
  for (auto& pending : pending_) {
    if (pending->how != Pending::How::kRename) continue;
    FaultPoint("rename");
    if (::rename(pending->temporary->name().c_str(), pending->target.c_str()) != 0) {
      const int error_number = errno;
      // The remaining temporary files go with this writer: the record would only find them missing.
      if (recorded) ::unlink(record_path_.c_str());
      return Failure(pending->path, "cannot replace the file", error_number);
    }
    pending->temporary->Kept();
    SyncFolder(FolderPrefix(pending->target));
  }
  if (recorded) {
    FaultPoint("unrecord");
    ::unlink(record_path_.c_str());
    SyncFolder(FolderPrefix(record_path_));
  }
  pending_.clear();
  return Status::Ok();
}

void FileSetWriter::SetCommitRecord(std::string record_path) {
  record_path_ = std::move(record_path);
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
  FileSetWriter writer;
  if (Status added = writer.Add(path, bytes); !added) return added;
  return writer.Commit();
}

std::string CommitRecordPath(const std::string& path) {
  const std::string folder = FolderPrefix(path);
  return folder + "." + path.substr(folder.size()) + std::string(kRecordSuffix);
}

Status FinishFileSet(const std::string& record_path, FileSetOutcome* outcome) {
  FileSetOutcome ignored;
  FileSetOutcome& result = outcome != nullptr ? *outcome : ignored;
  result = FileSetOutcome::kNone;
  std::string text;
  if (const ReadResult read = ReadFileBytes(record_path, text, kMaxRecordSize); !read) {
    if (read.fault == ReadFault::kMissing) return Status::Ok();
    return Status::Error(Excerpt(record_path, kPathExcerpt) + ": " + read.reason);
  }
  long pid = 0;
  std::vector<RecordEntry> entries;
  const bool parsed = ParseRecord(text, pid, entries);
  if (parsed && (pid == ::getpid() ? RecordActiveHere(record_path) : ProcessRuns(pid))) {
    result = FileSetOutcome::kInProgress;
    return Status::Ok();
  }
  // A temporary file still there must be whole; one already renamed left its bytes in the target.
  bool whole = parsed;
  for (const RecordEntry& entry : entries) {
    if (!whole) break;
    whole = Exists(entry.temporary) ? Holds(entry.temporary, entry.size, entry.hash)
                                    : Holds(entry.target, entry.size, entry.hash);
  }
  for (const RecordEntry& entry : entries) {
    if (!Exists(entry.temporary)) continue;
    if (whole) {
      if (::rename(entry.temporary.c_str(), entry.target.c_str()) != 0)
        return Failure(entry.target, "cannot finish the interrupted save", errno);
      SyncFolder(FolderPrefix(entry.target));
    } else if (::unlink(entry.temporary.c_str()) != 0 && errno != ENOENT) {
      return Failure(entry.temporary, "cannot remove the interrupted save's temporary file", errno);
    }
  }
  if (::unlink(record_path.c_str()) != 0 && errno != ENOENT)
    return Failure(record_path, "cannot remove the commit record", errno);
  SyncFolder(FolderPrefix(record_path));
  result = whole ? FileSetOutcome::kCompleted : FileSetOutcome::kDiscarded;
  return Status::Ok();
}

Status FinishInterruptedWrites(const std::string& folder) {
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  DIR* listing = ::opendir(prefix.empty() ? "." : prefix.c_str());
  if (listing == nullptr) return Status::Ok();  // nothing can have been left where nothing can be listed
  std::vector<std::string> records, stale;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name.size() > kRecordSuffix.size() && name.ends_with(kRecordSuffix)) {
      records.push_back(prefix + std::string(name));
    } else if (const long pid = TemporaryOwner(name); pid > 0 && pid != ::getpid() && !ProcessRuns(pid)) {
      stale.push_back(prefix + std::string(name));
    }
  }
  ::closedir(listing);
  // Whole sets first: their temporary files are not leftovers but the new files.
  Status status = Status::Ok();
  bool records_remain = false;
  for (const std::string& record : records) {
    Status finished = FinishFileSet(record);
    if (!finished && status) status = finished;
    records_remain = records_remain || Exists(record);
  }
  if (records_remain) return status;  // a record still names some of them
  for (const std::string& temporary : stale) {
    if (::unlink(temporary.c_str()) != 0 && errno != ENOENT && status) {
      status = Failure(temporary, "cannot remove a temporary file left by an ended process", errno);
    }
  }
  return status;
}

namespace testing {
void SetFaultHook(void (*hook)(const char* step)) {
  fault_hook.store(hook);
}
}  // namespace testing

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
