#include "vyrparser/core/text.h"

#include <algorithm>

namespace vyr::parser {

Text TextPool::Make(std::string_view s) {
  const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(s.size(), UINT32_MAX - 8));
  const std::size_t need = sizeof n + n + 1;
  if (!released_.empty()) {
    const auto it = released_.find(n);
    if (it != released_.end() && !it->second.empty()) {
      char* p = it->second.back();
      it->second.pop_back();
      std::memmove(p + sizeof n, s.data(), n);
      p[sizeof n + n] = '\0';
      return Text(p + sizeof n);
    }
  }
  if (need > left_) {
    // Long strings get a block of their own so the current block's free space is not wasted.
    const std::size_t size = need > kBlockSize / 4 ? need : kBlockSize;
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    char* block = blocks_.back().get();
    if (size != kBlockSize) {
      std::memcpy(block, &n, sizeof n);
      std::memcpy(block + sizeof n, s.data(), n);
      block[sizeof n + n] = '\0';
      return Text(block + sizeof n);  // the current block keeps its free space
    }
    next_ = block;
    left_ = size;
  }
  char* p = next_;
  std::memcpy(p, &n, sizeof n);
  if (n) std::memcpy(p + sizeof n, s.data(), n);
  p[sizeof n + n] = '\0';
  next_ += need;
  left_ -= need;
  return Text(p + sizeof n);
}

void TextPool::Release(Text text) {
  if (text.is_null()) return;
  released_[static_cast<std::uint32_t>(text.size())].push_back(const_cast<char*>(text.data_) -
                                                               sizeof(std::uint32_t));
}

}  // namespace vyr::parser
