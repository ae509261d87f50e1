// COM and automation for the rest of the system: the real ones on Windows, our stand-ins elsewhere, and
// helpers of our own that read the same on both.
#pragma once

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#ifdef _WIN32
#include "platform/com_windows.h"
#else
#include "platform/com_standin.h"
#endif

namespace platform {

// Automation strings are UTF-16 on every platform; only the name of the code unit type differs
// (wchar_t on Windows, char16_t here), so our code reads and makes them as char16_t.
static_assert(sizeof(OLECHAR) == sizeof(char16_t));

inline std::u16string_view OleText(const OLECHAR* text, std::size_t length) {
  return text == nullptr ? std::u16string_view{}
                         : std::u16string_view(reinterpret_cast<const char16_t*>(text), length);
}
// A whole BSTR, embedded zeros included; null reads as "".
inline std::u16string_view OleText(BSTR text) {
  return OleText(text, text == nullptr ? 0 : SysStringLen(text));
}
// A zero-terminated name as GetIDsOfNames receives it.
inline std::u16string_view OleName(const OLECHAR* text) {
  if (text == nullptr) return {};
  std::size_t n = 0;
  while (text[n] != 0)
    ++n;
  return OleText(text, n);
}
// A new BSTR holding `text`; null when out of memory.
inline BSTR AllocOleText(std::u16string_view text) {
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

// Formats as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, the registry's spelling.
inline std::string GuidToString(const GUID& g) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.Data1), static_cast<unsigned>(g.Data2),
                static_cast<unsigned>(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

// Accepts exactly "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with hex digits of either case.
inline std::optional<GUID> GuidFromString(std::string_view text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  std::uint8_t bytes[16];
  std::size_t n = 0;
  for (std::size_t i = 1; i < 37;) {
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      if (text[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    auto hex = [](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    const int hi = hex(text[i]);
    const int lo = hex(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
    i += 2;
  }
  GUID g{};
  g.Data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
            (std::uint32_t{bytes[2]} << 8) | bytes[3];
  g.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
  g.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
  std::memcpy(g.Data4, bytes + 8, 8);
  return g;
}

// ---- RAII holders ----

// Owns one reference to an interface; releases it on destruction.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* p) : p_(p) {}  // adopts a reference
  ComPtr(const ComPtr& other) : p_(other.p_) {
    if (p_ != nullptr) p_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Releases what is held and gives the slot for an out-parameter.
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  T* Detach() { return std::exchange(p_, nullptr); }

 private:
  T* p_ = nullptr;
};

// Owns one automation string; frees it on destruction.
class BStr {
 public:
  BStr() = default;
  // Takes ownership of a string allocated with SysAllocString*.
  static BStr Adopt(BSTR adopted) {
    BStr held;
    held.s_ = adopted;
    return held;
  }
  explicit BStr(std::u16string_view text) : s_(AllocOleText(text)) {}
  BStr(const BStr&) = delete;
  BStr& operator=(const BStr&) = delete;
  BStr(BStr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
  BStr& operator=(BStr&& other) noexcept {
    if (this != &other) {
      SysFreeString(s_);
      s_ = std::exchange(other.s_, nullptr);
    }
    return *this;
  }
  ~BStr() { SysFreeString(s_); }

  BSTR Get() const { return s_; }
  // Frees what is held and gives the slot for an out-parameter.
  BSTR* Put() {
    SysFreeString(std::exchange(s_, nullptr));
    return &s_;
  }
  BSTR Detach() { return std::exchange(s_, nullptr); }
  UINT Length() const { return SysStringLen(s_); }
  std::u16string_view View() const { return OleText(s_); }

 private:
  BSTR s_ = nullptr;
};

}  // namespace platform
