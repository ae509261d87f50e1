// How values cross the automation boundary, for the operations of both interfaces: strings arrive as
// BSTRs and become code page bytes (file names UTF-8), and out-parameters are written only when given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "platform/com.h"

namespace vyr::automation {

inline std::string Bytes(platform::BSTR text) {
  if (text == nullptr) return {};
  return platform::Utf16ToCp1252(platform::OleText(text));
}

inline std::string FileName(platform::BSTR text) {
  if (text == nullptr) return {};
  return platform::Utf16ToUtf8(platform::OleText(text));
}

inline platform::BSTR MakeBstr(std::string_view bytes) {
  return platform::AllocOleText(platform::Cp1252ToUtf16(bytes));
}

// How many out-parameters this thread has written: a late-bound call passes results back to its
// caller only when the operation wrote them (an invalid index writes none).
inline thread_local std::uint64_t outputs_written = 0;

inline void Put(platform::BSTR* out, std::string_view bytes) {
  if (out == nullptr) return;
  *out = MakeBstr(bytes);
  ++outputs_written;
}

template <typename T>
void Put(T* out, T value) {
  if (out == nullptr) return;
  *out = value;
  ++outputs_written;
}

}  // namespace vyr::automation
