#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "vyrparser/core/text.h"

namespace vyr::parser {

// Hash index from names to record positions that keeps the first record of each name, so a
// lookup answers what a front-to-back scan would. It holds only hashes and positions (8 bytes a
// slot); `name_of(position)` gives the name of a record already inserted, for comparison. A record's
// name must keep its hash while indexed (re-index after renaming).
class NameIndex {
 public:
  static constexpr std::uint32_t kNotFound = UINT32_MAX;

  explicit NameIndex(bool ignore_case = false) : ignore_case_(ignore_case) {}

  // Records `position` under `name` unless an earlier record of the same name is indexed.
  template <class NameOf>
  void Insert(Text name, std::uint32_t position, NameOf name_of) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    const std::string_view view = name.view();
    const std::uint32_t h = Hash(view);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = h & mask;
    for (; slots_[i].position_plus_one; i = (i + 1) & mask) {
      if (slots_[i].hash == h && Equal(name_of(slots_[i].position_plus_one - 1), view)) return;
    }
    slots_[i] = Slot{h, position + 1};
    ++count_;
  }

  // The first position recorded under `name`, or kNotFound.
  template <class NameOf>
  std::uint32_t Find(std::string_view name, NameOf name_of) const {
    if (slots_.empty()) return kNotFound;
    const std::uint32_t h = Hash(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask; slots_[i].position_plus_one; i = (i + 1) & mask) {
      const std::uint32_t position = slots_[i].position_plus_one - 1;
      if (slots_[i].hash == h && Equal(name_of(position), name)) return position;
    }
    return kNotFound;
  }

  void Clear();
  // Makes room for `count` names in all, so inserting them grows nothing.
  void Reserve(std::size_t count);
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t position_plus_one = 0;  // 0: empty slot
  };

  std::uint32_t Hash(std::string_view name) const { return HashText(name, ignore_case_); }

  bool Equal(Text a, std::string_view b) const {
    const std::string_view v = a.view();
    if (v.size() != b.size()) return false;
    if (!ignore_case_) return std::memcmp(v.data(), b.data(), b.size()) == 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
      if (Fold(static_cast<unsigned char>(v[i])) != Fold(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
  }

  static unsigned char Fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
  }

  void Grow();
  void Rehash(std::size_t size);

  bool ignore_case_;
  LargeTable<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace vyr::parser
