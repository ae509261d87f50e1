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
  char* p = static_cast<char*>(memory_.Allocate(need, 1));
  std::memcpy(p, &n, sizeof n);
  if (n) std::memcpy(p + sizeof n, s.data(), n);
  p[sizeof n + n] = '\0';
  return Text(p + sizeof n);
}

Text TextPool::Intern(std::string_view s) {
  bool found;
  return Lookup(s, found);
}

Text TextPool::Share(std::string_view s, SharingSite& site) {
  if (site.paused_ > 0) {
    --site.paused_;
    return Make(s);
  }
  bool found;
  const Text text = Lookup(s, found);
  site.hits_ += found;
  if (++site.lookups_ == SharingSite::kWindow) {
    if (site.hits_ * 4 < site.lookups_) site.paused_ = SharingSite::kPause;
    site.lookups_ = site.hits_ = 0;
  }
  return text;
}

Text TextPool::Lookup(std::string_view s, bool& found) {
  found = true;
  if ((shared_count_ + 1) * 2 > shared_.size()) {
    LargeTable<Shared> old = std::move(shared_);
    shared_.assign(old.empty() ? 64 : old.size() * 2, Shared{});
    const std::size_t mask = shared_.size() - 1;
    for (const Shared& e : old) {
      if (e.text.is_null()) continue;
      std::size_t i = e.hash & mask;
      while (!shared_[i].text.is_null())
        i = (i + 1) & mask;
      shared_[i] = e;
    }
  }
  const std::uint32_t h = HashText(s);
  const std::size_t mask = shared_.size() - 1;
  std::size_t i = h & mask;
  for (; !shared_[i].text.is_null(); i = (i + 1) & mask) {
    if (shared_[i].hash == h && shared_[i].text.size() == s.size() &&
        SameBytes(shared_[i].text.c_str(), s.data(), s.size()))
      return shared_[i].text;
  }
  found = false;
  shared_[i] = Shared{h, Make(s)};
  ++shared_count_;
  return shared_[i].text;
}

bool TextPool::IsShared(Text text) const {
  if (shared_.empty()) return false;
  const std::uint32_t h = HashText(text.view());
  const std::size_t mask = shared_.size() - 1;
  for (std::size_t i = h & mask; !shared_[i].text.is_null(); i = (i + 1) & mask) {
    if (shared_[i].text.data_ == text.data_) return true;
  }
  return false;
}

void TextPool::Release(Text text) {
  if (text.is_null() || IsShared(text)) return;
  released_[static_cast<std::uint32_t>(text.size())].push_back(const_cast<char*>(text.data_) -
                                                               sizeof(std::uint32_t));
}

}  // namespace vyr::parser
