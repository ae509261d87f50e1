#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "vyrparser/core/text.h"

namespace vyr::parser {

// Hash index from names to record positions that keeps the first record of each name, so a
// lookup answers what a front-to-back scan would. A slot holds the name's hash, the position and
// the name itself, so a lookup reads the slot and the name's bytes and nothing of the record. The
// Text inserted must stay as it is while indexed (after renaming a record, index afresh).
class NameIndex {
 public:
  static constexpr std::uint32_t kNotFound = UINT32_MAX;

  explicit NameIndex(bool ignore_case = false) : ignore_case_(ignore_case) {}

  // Records `position` under `name` unless an earlier record of the same name is indexed.
  void Insert(Text name, std::uint32_t position) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    InsertHashed(name, position, Hash(name.view()));
  }

  // Inserts the names of positions 0 to count - 1, `name_of(position)`, in order. A large index is
  // filled faster so: each name's slot is asked for from memory a few names before it is written.
  template <class NameOf>
  void InsertAll(std::uint32_t count, NameOf name_of) {
    Reserve(count_ + count);
    constexpr std::uint32_t kAhead = 8;
    std::uint32_t hashes[kAhead];
    const std::size_t mask = slots_.size() - 1;
    for (std::uint32_t i = 0; i < count + kAhead; ++i) {
      // The name kAhead places back goes in, and its place in `hashes` takes this name's hash.
      if (i >= kAhead) InsertHashed(name_of(i - kAhead), i - kAhead, hashes[i % kAhead]);
      if (i < count) {
        hashes[i % kAhead] = Hash(name_of(i).view());
        __builtin_prefetch(&slots_[hashes[i % kAhead] & mask]);
      }
    }
  }

  // The first position recorded under `name`, or kNotFound.
  std::uint32_t Find(std::string_view name) const {
    const Slot* slot = Lookup(name);
    return slot ? slot->position_plus_one - 1 : kNotFound;
  }
  // The name recorded with that position, or a null Text.
  Text FindName(std::string_view name) const {
    const Slot* slot = Lookup(name);
    return slot ? slot->name : Text();
  }

  void Clear();
  // Makes room for `count` names in all, so inserting them grows nothing.
  void Reserve(std::size_t count);
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t position_plus_one = 0;  // 0: empty slot
    Text name;
  };

  void InsertHashed(Text name, std::uint32_t position, std::uint32_t h) {
    const std::string_view view = name.view();
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = h & mask;
    for (; slots_[i].position_plus_one; i = (i + 1) & mask) {
      if (slots_[i].hash == h && Equal(slots_[i].name, view)) return;
    }
    slots_[i] = Slot{h, position + 1, name};
    ++count_;
  }

  const Slot* Lookup(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const std::uint32_t h = Hash(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask; slots_[i].position_plus_one; i = (i + 1) & mask) {
      if (slots_[i].hash == h && Equal(slots_[i].name, name)) return &slots_[i];
    }
    return nullptr;
  }

  std::uint32_t Hash(std::string_view name) const { return HashText(name, ignore_case_); }

  bool Equal(Text a, std::string_view b) const {
    const std::string_view v = a.view();
    if (v.size() != b.size()) return false;
    if (!ignore_case_) return SameBytes(v.data(), b.data(), b.size());
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
