// HKEY_CLASSES_ROOT. Here a per-user stand-in: a tree of keys holding string and 32-bit number values, kept
// in a ".reg"-style text file. On Windows the same calls go straight to the system's registry. Key and value
// names compare ignoring ASCII case and keep their spelling.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/status.h"

namespace platform {

struct RegistryValue {
  enum class Kind { kString, kNumber };
  Kind kind = Kind::kString;
  std::string text;          // kString: UTF-8 text
  std::uint32_t number = 0;  // kNumber

  friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// Key paths are relative to HKEY_CLASSES_ROOT, parts separated by '\' ("CLSID\{...}\InprocServer32");
// the empty path is the root. An empty value name is the key's default value.
class RegistryTree {
 public:
  // Creates the key and any missing parent; true when it exists afterwards.
  bool CreateKey(std::string_view path);
  bool KeyExists(std::string_view path) const;
  // Set* create the key when it is missing.
  bool SetString(std::string_view path, std::string_view name, std::string_view text);
  bool SetNumber(std::string_view path, std::string_view name, std::uint32_t number);
  std::optional<RegistryValue> QueryValue(std::string_view path, std::string_view name) const;
  std::optional<std::string> QueryString(std::string_view path, std::string_view name) const;
  std::optional<std::uint32_t> QueryNumber(std::string_view path, std::string_view name) const;
  bool DeleteValue(std::string_view path, std::string_view name);
  // Removes the key with everything below it; false when there was no such key. The root cannot be removed.
  bool DeleteTree(std::string_view path);
  std::vector<std::string> SubKeyNames(std::string_view path) const;
  std::vector<std::string> ValueNames(std::string_view path) const;

#ifndef _WIN32
  // The file text: a header line, then one "[HKEY_CLASSES_ROOT\...]" section per key with its values.
  std::string Serialize() const;
  // Reads what Serialize writes; on bad text returns nullopt and sets *error to "line N: reason".
  static std::optional<RegistryTree> Parse(std::string_view text, std::string* error);

  friend bool operator==(const RegistryTree&, const RegistryTree&) = default;
#endif

 private:
#ifdef _WIN32
  friend class Registry;
  // The system's registry is the tree: nothing is held but whether a change was refused.
  bool Refused(long status);
  bool refused_ = false;
#else
  struct Key {
    std::string name;
    std::vector<std::pair<std::string, RegistryValue>> values;  // in order of first setting
    std::vector<Key> children;                                  // sorted by name ignoring case

    friend bool operator==(const Key&, const Key&) = default;
  };
  Key* Find(std::string_view path);
  const Key* Find(std::string_view path) const;
  Key* Create(std::string_view path);
  static void SerializeKey(const Key& key, const std::string& path, std::string& out);

  Key root_;
#endif
};

// The registry file of this user. Every access takes a lock on "<file>.lock", so that processes that
// change the registry at the same time (the editor and vyr-regsvr at start-up) lose nothing.
class Registry {
 public:
  explicit Registry(std::string path) : path_(std::move(path)) {}
  // VYR_REGISTRY_FILE when set, else $XDG_DATA_HOME/vyr/registry.reg (~/.local/share when unset).
  static Registry Default();

  const std::string& Path() const { return path_; }
  // A missing file reads as an empty tree.
  Status Load(RegistryTree* tree) const;
  // Read-modify-write under the lock; the file is replaced atomically, and only when the edit changed it.
  // A file that cannot be read is left alone and the edit is not applied.
  Status Update(const std::function<void(RegistryTree&)>& edit);

 private:
  std::string path_;
};

}  // namespace platform
