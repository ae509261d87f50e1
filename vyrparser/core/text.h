#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vyrparser/core/model_memory.h"

namespace vyr::parser {

// An immutable 8-bit string owned by a TextPool (and so by the model that owns the pool).
// A default-constructed Text is the missing (null) string. Copying a Text shares the same bytes;
// to change a record's string, assign it a new Text made by the model.
class Text {
 public:
  Text() = default;

  bool is_null() const { return data_ == nullptr; }
  explicit operator bool() const { return data_ != nullptr; }

  // The bytes; empty for a null Text.
  std::string_view view() const { return data_ ? std::string_view(data_, size()) : std::string_view(); }
  std::string str() const { return std::string(view()); }
  // NUL-terminated bytes; "" for a null Text.
  const char* c_str() const { return data_ ? data_ : ""; }
  std::size_t size() const {
    if (!data_) return 0;
    std::uint32_t n;
    std::memcpy(&n, data_ - sizeof n, sizeof n);
    return n;
  }
  bool empty() const { return size() == 0; }

  // True when both are null or both hold the same bytes.
  friend bool SameText(Text a, Text b) {
    if (a.is_null() || b.is_null()) return a.is_null() == b.is_null();
    return a.view() == b.view();
  }

 private:
  friend class TextPool;
  explicit Text(const char* data) : data_(data) {}
  const char* data_ = nullptr;  // preceded by a 32-bit length, followed by a NUL
};

// A hash of `bytes`; with `fold_case`, A-Z hash as a-z.
std::uint32_t HashText(std::string_view bytes, bool fold_case = false);

// The model's strings, in the model's memory: no heap block per string, all freed with the model.
class TextPool {
 public:
  explicit TextPool(ModelMemory& memory) : memory_(memory) {}
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;

  Text Make(std::string_view s);
  // A text equal to `s` that every record asking for the same bytes shares: scripts repeat their
  // equipment, formations and messages many times over.
  Text Intern(std::string_view s);
  // Takes back the bytes of `text`, which no record may hold any more: a later text of the same
  // length gets them. Shared texts are never taken back.
  void Release(Text text);

 private:
  ModelMemory& memory_;
  // Released texts by length.
  std::unordered_map<std::uint32_t, std::vector<char*>> released_;
  // The shared texts: open addressing, at most half full.
  struct Shared {
    std::uint32_t hash = 0;
    Text text;  // null: empty slot
  };
  bool IsShared(Text text) const;
  LargeTable<Shared> shared_;
  std::size_t shared_count_ = 0;
};

}  // namespace vyr::parser
