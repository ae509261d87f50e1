// HKEY_CLASSES_ROOT on Windows: every call of the tree is one call of the system's registry. Paths and
// names are UTF-8 here and UTF-16 there.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/registry.h"

namespace platform {
namespace {

std::wstring Wide(std::string_view text) {
  const auto wide = Utf8ToUtf16(text);
  if (!wide) return {};
  return std::wstring(wide->begin(), wide->end());
}

std::string Narrow(const wchar_t* text, std::size_t length) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

// An open key, closed when it goes.
class Key {
 public:
  Key(std::string_view path, REGSAM access, bool create) {
    const std::wstring wide = Wide(path);
    status_ = create ? ::RegCreateKeyExW(HKEY_CLASSES_ROOT, wide.c_str(), 0, nullptr, 0, access, nullptr,
                                         &key_, nullptr)
                     : ::RegOpenKeyExW(HKEY_CLASSES_ROOT, wide.c_str(), 0, access, &key_);
    if (status_ != ERROR_SUCCESS) key_ = nullptr;
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  HKEY get() const { return key_; }
  LONG status() const { return status_; }

 private:
  HKEY key_ = nullptr;
  LONG status_ = ERROR_SUCCESS;
};

}  // namespace

bool RegistryTree::Refused(long status) {
  if (status != ERROR_SUCCESS) refused_ = true;
  return status == ERROR_SUCCESS;
}

bool RegistryTree::CreateKey(std::string_view path) {
  return Refused(Key(path, KEY_WRITE, true).status());
}

bool RegistryTree::KeyExists(std::string_view path) const {
  return Key(path, KEY_READ, false).get() != nullptr;
}

bool RegistryTree::SetString(std::string_view path, std::string_view name, std::string_view text) {
  const Key key(path, KEY_WRITE, true);
  if (key.get() == nullptr) return Refused(key.status());
  const std::wstring value = Wide(text);
  return Refused(::RegSetValueExW(key.get(), Wide(name).c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
}

bool RegistryTree::SetNumber(std::string_view path, std::string_view name, std::uint32_t number) {
  const Key key(path, KEY_WRITE, true);
  if (key.get() == nullptr) return Refused(key.status());
  const DWORD value = number;
  return Refused(::RegSetValueExW(key.get(), Wide(name).c_str(), 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&value), sizeof value));
}

std::optional<RegistryValue> RegistryTree::QueryValue(std::string_view path, std::string_view name) const {
  const Key key(path, KEY_READ, false);
  if (key.get() == nullptr) return std::nullopt;
  const std::wstring value_name = Wide(name);
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExW(key.get(), value_name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<BYTE> data(size + sizeof(wchar_t));
  if (::RegQueryValueExW(key.get(), value_name.c_str(), nullptr, &type, data.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  RegistryValue result;
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    result.kind = RegistryValue::Kind::kNumber;
    std::memcpy(&result.number, data.data(), sizeof(DWORD));
  } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
      text.pop_back();
    result.text = Narrow(text.data(), text.size());
  } else {
    return std::nullopt;
  }
  return result;
}

std::optional<std::string> RegistryTree::QueryString(std::string_view path, std::string_view name) const {
  auto value = QueryValue(path, name);
  if (!value || value->kind != RegistryValue::Kind::kString) return std::nullopt;
  return std::move(value->text);
}

std::optional<std::uint32_t> RegistryTree::QueryNumber(std::string_view path, std::string_view name) const {
  const auto value = QueryValue(path, name);
  if (!value || value->kind != RegistryValue::Kind::kNumber) return std::nullopt;
  return value->number;
}

bool RegistryTree::DeleteValue(std::string_view path, std::string_view name) {
  const Key key(path, KEY_SET_VALUE, false);
  return key.get() != nullptr && ::RegDeleteValueW(key.get(), Wide(name).c_str()) == ERROR_SUCCESS;
}

bool RegistryTree::DeleteTree(std::string_view path) {
  if (path.empty()) return false;
  const LONG status = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, Wide(path).c_str());
  if (status == ERROR_FILE_NOT_FOUND) return false;
  return Refused(status);
}

std::vector<std::string> RegistryTree::SubKeyNames(std::string_view path) const {
  std::vector<std::string> names;
  const Key key(path, KEY_READ, false);
  if (key.get() == nullptr) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (::RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.push_back(Narrow(name, length));
  }
  return names;
}

std::vector<std::string> RegistryTree::ValueNames(std::string_view path) const {
  std::vector<std::string> names;
  const Key key(path, KEY_READ, false);
  if (key.get() == nullptr) return names;
  wchar_t name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD length = 16384;
    if (::RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.push_back(Narrow(name, length));
  }
  return names;
}

Registry Registry::Default() {
  return Registry("HKEY_CLASSES_ROOT");
}

Status Registry::Load(RegistryTree* tree) const {
  *tree = RegistryTree();
  return Status::Ok();
}

// The system applies each change at once: a refused one ends nothing, it is reported at the end.
Status Registry::Update(const std::function<void(RegistryTree&)>& edit) {
  RegistryTree tree;
  edit(tree);
  if (tree.refused_) return Status::Error(path_ + ": a change was refused");
  return Status::Ok();
}

}  // namespace platform
