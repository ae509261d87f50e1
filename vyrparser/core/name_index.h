#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace vyr::parser {

// Hash index from names to record positions that keeps the first record of each name, so a
// lookup answers what a front-to-back scan would. Names are read back through `name_of`, so the
// index stores only positions and hashes.
class NameIndex {
 public:
  using NameOf = std::function<std::string_view(std::uint32_t)>;
  static constexpr std::uint32_t kNotFound = UINT32_MAX;

  explicit NameIndex(bool ignore_case = false) : ignore_case_(ignore_case) {}

  // Records `position` under `name` unless an earlier record of the same name is indexed.
  void Insert(std::string_view name, std::uint32_t position, const NameOf& name_of);
  // The first position recorded under `name`, or kNotFound.
  std::uint32_t Find(std::string_view name, const NameOf& name_of) const;
  void Clear();
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    std::uint32_t position_plus_one = 0;  // 0: empty slot
    std::uint32_t hash = 0;
  };
  std::uint32_t Hash(std::string_view name) const;
  bool Equal(std::string_view a, std::string_view b) const;
  void Grow();

  bool ignore_case_;
  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace vyr::parser
