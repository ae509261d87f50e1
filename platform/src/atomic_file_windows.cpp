// Whole-file writes on Windows: a temporary file beside the target, flushed, then moved over it in one
// step. Names are UTF-8 here and UTF-16 for the system.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>

#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/read_file.h"

namespace platform {
namespace {

constexpr int kCreateAttempts = 100;

std::wstring Wide(std::string_view text) {
  const auto wide = Utf8ToUtf16(text);
  return wide ? std::wstring(wide->begin(), wide->end()) : std::wstring();
}

std::string FolderPrefix(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::u16string message(reinterpret_cast<const char16_t*>(text), n);
  ::LocalFree(text);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u'.'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(error) : Utf16ToUtf8(message);
}

Status Failure(const std::string& path, std::string_view what, DWORD error) {
  return Status::Error(Excerpt(path, kPathExcerpt) + ": " + std::string(what) + ": " + SystemText(error));
}

// Owns the temporary file until it is moved into place; every early return removes it.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& folder_prefix) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < kCreateAttempts && handle_ == INVALID_HANDLE_VALUE; ++attempt) {
      name_ = Wide(folder_prefix + ".vyr-save-" + std::to_string(::GetCurrentProcessId()) + "-" +
                   std::to_string(counter++) + ".tmp");
      handle_ =
          ::CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle_ == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    error_ = handle_ == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
    if (handle_ == INVALID_HANDLE_VALUE) name_.clear();
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    Close();
    if (!name_.empty()) ::DeleteFileW(name_.c_str());
  }

  DWORD error() const { return error_; }
  bool created() const { return handle_ != INVALID_HANDLE_VALUE; }
  const std::wstring& name() const { return name_; }

  bool Write(std::string_view bytes) {
    while (!bytes.empty()) {
      const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      DWORD written = 0;
      if (!::WriteFile(handle_, bytes.data(), piece, &written, nullptr) || written == 0) return false;
      bytes.remove_prefix(written);
    }
    return ::FlushFileBuffers(handle_) != 0;
  }
  bool Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    const bool closed = ::CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }
  void Kept() { name_.clear(); }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD error_ = 0;
  std::wstring name_;
};

}  // namespace

struct FileSetWriter::Pending {
  std::string path;
  std::unique_ptr<TemporaryFile> temporary;
};

FileSetWriter::FileSetWriter() = default;
FileSetWriter::~FileSetWriter() = default;

Status FileSetWriter::Add(const std::string& path, std::string_view bytes) {
  if (path.empty() || path.back() == '/' || path.back() == '\\') {
    return Status::Error(Excerpt(path, kPathExcerpt) + ": cannot write the file: the name is empty");
  }
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return Failure(path, "cannot replace the file", ERROR_DIRECTORY);
  }
  auto pending = std::make_unique<Pending>();
  pending->path = path;
  pending->temporary = std::make_unique<TemporaryFile>(FolderPrefix(path));
  TemporaryFile& temporary = *pending->temporary;
  if (!temporary.created()) {
    return Failure(path, "cannot create a temporary file in its folder", temporary.error());
  }
  if (!temporary.Write(bytes) || !temporary.Close()) {
    return Failure(path, "cannot write the file", ::GetLastError());
  }
  pending_.push_back(std::move(pending));
  return Status::Ok();
}

Status FileSetWriter::Commit() {
  for (auto& pending : pending_) {
    if (!::MoveFileExW(pending->temporary->name().c_str(), Wide(pending->path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return Failure(pending->path, "cannot replace the file", ::GetLastError());
    }
    pending->temporary->Kept();
  }
  pending_.clear();
  return Status::Ok();
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
  FileSetWriter writer;
  if (Status added = writer.Add(path, bytes); !added) return added;
  return writer.Commit();
}

// Console signals end a Windows program without unwinding; the temporary names are unique per process,
// so one left behind never stands in the way of a later write.
void RemoveTemporaryFilesOnSignals() {}

}  // namespace platform
