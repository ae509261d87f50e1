#include "platform/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/atomic_file.h"
#include "platform/read_file.h"

namespace platform {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRootName = "HKEY_CLASSES_ROOT";
// Far beyond any registry this system writes, yet it keeps a wrong file from filling the memory.
constexpr std::uint64_t kMaxRegistryFileSize = std::uint64_t{1} << 30;

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool LessNoCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

bool ValidKeyName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == '[' || c == ']') return false;
  }
  return true;
}

// Splits "a\b\c"; nullopt when a part is empty or holds a character a key name cannot have.
std::optional<std::vector<std::string_view>> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  if (path.empty()) return parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('\\', start);
    const std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
    if (!ValidKeyName(part)) return std::nullopt;
    parts.push_back(part);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return parts;
}

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  out += '"';
}

// Reads a quoted string at text[*pos]; leaves *pos after the closing quote.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t* pos, std::string* error) {
  if (*pos >= text.size() || text[*pos] != '"') {
    *error = "expected '\"'";
    return std::nullopt;
  }
  std::string out;
  for (std::size_t i = *pos + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      *pos = i + 1;
      return out;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == text.size()) break;
    switch (text[i]) {
      case '\\':
        out += '\\';
        break;
      case '"':
        out += '"';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        *error = std::string("unknown escape '\\") + text[i] + "'";
        return std::nullopt;
    }
  }
  *error = "unterminated string";
  return std::nullopt;
}

std::optional<std::uint32_t> ParseHex32(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + static_cast<std::uint32_t>(d);
  }
  return value;
}

}  // namespace

// ---- RegistryTree ----

const RegistryTree::Key* RegistryTree::Find(std::string_view path) const {
  const auto parts = SplitPath(path);
  if (!parts) return nullptr;
  const Key* key = &root_;
  for (std::string_view part : *parts) {
    const auto it = std::find_if(key->children.begin(), key->children.end(),
                                 [&](const Key& k) { return EqualNoCase(k.name, part); });
    if (it == key->children.end()) return nullptr;
    key = &*it;
  }
  return key;
}

RegistryTree::Key* RegistryTree::Find(std::string_view path) {
  return const_cast<Key*>(static_cast<const RegistryTree*>(this)->Find(path));
}

RegistryTree::Key* RegistryTree::Create(std::string_view path) {
  const auto parts = SplitPath(path);
  if (!parts) return nullptr;
  Key* key = &root_;
  for (std::string_view part : *parts) {
    auto it = std::lower_bound(key->children.begin(), key->children.end(), part,
                               [](const Key& k, std::string_view n) { return LessNoCase(k.name, n); });
    if (it == key->children.end() || !EqualNoCase(it->name, part)) {
      it = key->children.insert(it, Key{std::string(part), {}, {}});
    }
    key = &*it;
  }
  return key;
}

bool RegistryTree::CreateKey(std::string_view path) {
  return Create(path) != nullptr;
}

bool RegistryTree::KeyExists(std::string_view path) const {
  return Find(path) != nullptr;
}

bool RegistryTree::SetString(std::string_view path, std::string_view name, std::string_view text) {
  Key* key = Create(path);
  if (key == nullptr) return false;
  RegistryValue value{RegistryValue::Kind::kString, std::string(text), 0};
  for (auto& [n, v] : key->values) {
    if (EqualNoCase(n, name)) {
      v = std::move(value);
      return true;
    }
  }
  key->values.emplace_back(std::string(name), std::move(value));
  return true;
}

bool RegistryTree::SetNumber(std::string_view path, std::string_view name, std::uint32_t number) {
  Key* key = Create(path);
  if (key == nullptr) return false;
  RegistryValue value{RegistryValue::Kind::kNumber, {}, number};
  for (auto& [n, v] : key->values) {
    if (EqualNoCase(n, name)) {
      v = std::move(value);
      return true;
    }
  }
  key->values.emplace_back(std::string(name), std::move(value));
  return true;
}

std::optional<RegistryValue> RegistryTree::QueryValue(std::string_view path, std::string_view name) const {
  const Key* key = Find(path);
  if (key == nullptr) return std::nullopt;
  for (const auto& [n, v] : key->values) {
    if (EqualNoCase(n, name)) return v;
  }
  return std::nullopt;
}

std::optional<std::string> RegistryTree::QueryString(std::string_view path, std::string_view name) const {
  auto value = QueryValue(path, name);
  if (!value || value->kind != RegistryValue::Kind::kString) return std::nullopt;
  return std::move(value->text);
}

std::optional<std::uint32_t> RegistryTree::QueryNumber(std::string_view path, std::string_view name) const {
  auto value = QueryValue(path, name);
  if (!value || value->kind != RegistryValue::Kind::kNumber) return std::nullopt;
  return value->number;
}

bool RegistryTree::DeleteValue(std::string_view path, std::string_view name) {
  Key* key = Find(path);
  if (key == nullptr) return false;
  const auto it = std::find_if(key->values.begin(), key->values.end(),
                               [&](const auto& entry) { return EqualNoCase(entry.first, name); });
  if (it == key->values.end()) return false;
  key->values.erase(it);
  return true;
}

bool RegistryTree::DeleteTree(std::string_view path) {
  if (path.empty()) return false;
  const std::size_t cut = path.rfind('\\');
  Key* parent = cut == std::string_view::npos ? &root_ : Find(path.substr(0, cut));
  if (parent == nullptr) return false;
  const std::string_view leaf = cut == std::string_view::npos ? path : path.substr(cut + 1);
  const auto it = std::find_if(parent->children.begin(), parent->children.end(),
                               [&](const Key& k) { return EqualNoCase(k.name, leaf); });
  if (it == parent->children.end()) return false;
  parent->children.erase(it);
  return true;
}

std::vector<std::string> RegistryTree::SubKeyNames(std::string_view path) const {
  std::vector<std::string> names;
  if (const Key* key = Find(path)) {
    for (const Key& child : key->children)
      names.push_back(child.name);
  }
  return names;
}

std::vector<std::string> RegistryTree::ValueNames(std::string_view path) const {
  std::vector<std::string> names;
  if (const Key* key = Find(path)) {
    for (const auto& entry : key->values)
      names.push_back(entry.first);
  }
  return names;
}

void RegistryTree::SerializeKey(const Key& key, const std::string& path, std::string& out) {
  out += '[';
  out += path;
  out += "]\n";
  for (const auto& [name, value] : key.values) {
    if (name.empty()) {
      out += '@';
    } else {
      AppendQuoted(out, name);
    }
    out += '=';
    if (value.kind == RegistryValue::Kind::kString) {
      AppendQuoted(out, value.text);
    } else {
      char digits[16];
      std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(value.number));
      out += digits;
    }
    out += '\n';
  }
  out += '\n';
  for (const Key& child : key.children)
    SerializeKey(child, path + '\\' + child.name, out);
}

std::string RegistryTree::Serialize() const {
  std::string out(kHeader);
  out += "\n\n";
  if (!root_.values.empty()) {
    Key values_only{root_.name, root_.values, {}};
    SerializeKey(values_only, std::string(kRootName), out);
  }
  for (const Key& child : root_.children)
    SerializeKey(child, std::string(kRootName) + '\\' + child.name, out);
  return out;
}

namespace {

// Reads the file text one line at a time, so a file read from disk stops at its first bad line.
class RegistryParser {
 public:
  // False, with the reason kept, on a bad line.
  bool Line(std::string_view line) {
    ++line_number_;
    if (line_number_ == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!seen_header_) {
      if (line != kHeader) return Fail("expected the header \"" + std::string(kHeader) + "\"");
      seen_header_ = true;
      return true;
    }
    if (line.empty() || line.front() == ';') return true;
    if (line.front() == '[') {
      if (line.back() != ']') return Fail("a key line must end with ']'");
      const std::string_view full = line.substr(1, line.size() - 2);
      std::string_view path;
      if (full == kRootName) {
        path = {};
      } else if (full.size() > kRootName.size() && full.substr(0, kRootName.size()) == kRootName &&
                 full[kRootName.size()] == '\\') {
        path = full.substr(kRootName.size() + 1);
      } else {
        return Fail("key outside HKEY_CLASSES_ROOT: \"" + Excerpt(full) + "\"");
      }
      if (!tree_.CreateKey(path)) return Fail("bad key name \"" + Excerpt(full) + "\"");
      section_ = std::string(path);
      return true;
    }
    if (!section_) return Fail("a value before any key");
    std::size_t at = 0;
    std::string name;
    std::string reason;
    if (line.front() == '@') {
      at = 1;
    } else {
      auto quoted = ReadQuoted(line, &at, &reason);
      if (!quoted) return Fail(reason);
      name = std::move(*quoted);
    }
    if (at >= line.size() || line[at] != '=') return Fail("expected '=' after the value name");
    ++at;
    if (at < line.size() && line[at] == '"') {
      auto value = ReadQuoted(line, &at, &reason);
      if (!value) return Fail(reason);
      if (at != line.size()) return Fail("text after the value");
      tree_.SetString(*section_, name, *value);
    } else if (line.substr(at, 6) == "dword:") {
      const auto number = ParseHex32(line.substr(at + 6));
      if (!number) return Fail("bad dword \"" + Excerpt(line.substr(at + 6)) + "\"");
      tree_.SetNumber(*section_, name, *number);
    } else {
      return Fail("a value is a quoted string or dword:XXXXXXXX");
    }
    return true;
  }

  std::optional<RegistryTree> Finish(std::string* error) {
    if (!seen_header_ && error_.empty()) {
      line_number_ = 1;  // an empty file lacks its first line
      Fail("expected the header \"" + std::string(kHeader) + "\"");
    }
    if (!error_.empty()) {
      if (error != nullptr) *error = error_;
      return std::nullopt;
    }
    return std::move(tree_);
  }

 private:
  bool Fail(const std::string& why) {
    error_ = "line " + std::to_string(line_number_) + ": " + why;
    return false;
  }

  RegistryTree tree_;
  std::optional<std::string> section_;  // the key path values go to
  std::size_t line_number_ = 0;
  bool seen_header_ = false;
  std::string error_;
};

}  // namespace

std::optional<RegistryTree> RegistryTree::Parse(std::string_view text, std::string* error) {
  RegistryParser parser;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    if (!parser.Line(text.substr(pos, end - pos))) break;
    pos = end + 1;
  }
  return parser.Finish(error);
}

// ---- Registry ----

Registry Registry::Default() {
  if (const char* file = std::getenv("VYR_REGISTRY_FILE"); file != nullptr && *file != '\0') {
    return Registry(file);
  }
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    base = std::string(home) + "/.local/share";
  } else {
    base = "/tmp";
  }
  return Registry(base + "/vyr/registry.reg");
}

namespace {

// Holds an flock on "<file>.lock" for its lifetime; the lock file is never replaced, the data file is.
class FileLock {
 public:
  FileLock(const std::string& data_path, bool exclusive, bool create_folder) {
    const std::string lock_path = data_path + ".lock";
    if (create_folder) {
      std::error_code ec;
      std::filesystem::create_directories(std::filesystem::path(data_path).parent_path(), ec);
    }
    fd_ = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    while (::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0) {
      if (errno != EINTR) {
        error_ = errno;
        ::close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing drops the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return fd_ >= 0; }
  int Error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

// Reads and parses the registry file line by line, stopping at the first bad line. A missing file is
// an empty registry (*exists is set to false).
Status ReadRegistryFile(const std::string& path, RegistryTree* tree, bool* exists,
                        std::string_view when_damaged = {}) {
  *tree = RegistryTree();
  FileReader file;
  ReadResult read = file.Open(path, kMaxRegistryFileSize);
  *exists = read.fault != ReadFault::kMissing;
  if (!*exists) return Status::Ok();
  if (!read) return Status::Error(path + ": " + read.reason);
  RegistryParser parser;
  std::string line;
  while (file.NextLine(line)) {
    if (!parser.Line(line)) break;
  }
  if (!file.result()) return Status::Error(path + ": " + file.result().reason);
  std::string error;
  auto parsed = parser.Finish(&error);
  if (!parsed) return Status::Error("registry file " + path + ", " + error + std::string(when_damaged));
  *tree = std::move(*parsed);
  return Status::Ok();
}

}  // namespace

Status Registry::Load(RegistryTree* tree) const {
  *tree = RegistryTree();
  FileLock lock(path_, false, false);
  if (!lock.Held() && lock.Error() != ENOENT) {
    return Status::Error("cannot lock the registry file " + path_ + ": " + std::strerror(lock.Error()));
  }
  bool exists = false;
  return ReadRegistryFile(path_, tree, &exists);
}

Status Registry::Update(const std::function<void(RegistryTree&)>& edit) {
  FileLock lock(path_, true, true);
  if (!lock.Held()) {
    return Status::Error("cannot lock the registry file " + path_ + ": " + std::strerror(lock.Error()));
  }
  RegistryTree tree;
  bool exists = false;
  if (Status read = ReadRegistryFile(path_, &tree, &exists, "; left unchanged"); !read) return read;
  const RegistryTree before = tree;
  edit(tree);
  if (exists && tree == before) return Status::Ok();
  return WriteFileAtomically(path_, tree.Serialize());
}

}  // namespace platform
