#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vyr::parser {

// Hash index from names to record positions that keeps the first record of each name, so a
// lookup answers what a front-to-back scan would. Names are read back through `name_of`
// (position -> name), so the index stores only positions and hashes.
class NameIndex {
 public:
  static constexpr std::uint32_t kNotFound = UINT32_MAX;

  explicit NameIndex(bool ignore_case = false) : ignore_case_(ignore_case) {}

  // Records `position` under `name` unless an earlier record of the same name is indexed.
  template <class NameOf>
  void Insert(std::string_view name, std::uint32_t position, const NameOf& name_of) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    const std::uint32_t h = Hash(name);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = h & mask;
    while (slots_[i].position_plus_one) {
      if (slots_[i].hash == h && Equal(name_of(slots_[i].position_plus_one - 1), name)) return;
      i = (i + 1) & mask;
    }
    slots_[i] = Slot{position + 1, h};
    ++count_;
  }

  // The first position recorded under `name`, or kNotFound.
  template <class NameOf>
  std::uint32_t Find(std::string_view name, const NameOf& name_of) const {
    if (slots_.empty()) return kNotFound;
    const std::uint32_t h = Hash(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask; slots_[i].position_plus_one; i = (i + 1) & mask) {
      if (slots_[i].hash == h && Equal(name_of(slots_[i].position_plus_one - 1), name)) {
        return slots_[i].position_plus_one - 1;
      }
    }
    return kNotFound;
  }

  void Clear();
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    std::uint32_t position_plus_one = 0;  // 0: empty slot
    std::uint32_t hash = 0;
  };

  static unsigned char Fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
  }

  // FNV-1a over the (case-folded) bytes.
  std::uint32_t Hash(std::string_view name) const {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : name) {
      h ^= ignore_case_ ? Fold(c) : c;
      h *= 16777619u;
    }
    return h;
  }

  bool Equal(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    if (!ignore_case_) return a == b;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
  }

  void Grow();

  bool ignore_case_;
  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace vyr::parser
