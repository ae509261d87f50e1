// How values cross the automation boundary, for the operations of both interfaces: strings arrive as
// BSTRs and become code page bytes (file names UTF-8), and out-parameters are written only when given.
#pragma once

#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "platform/com.h"

namespace vyr::automation {

inline std::string Bytes(platform::BSTR text) {
  if (text == nullptr) return {};
  return platform::Utf16ToCp1252(std::u16string_view(text, platform::SysStringLen(text)));
}

inline std::string FileName(platform::BSTR text) {
  if (text == nullptr) return {};
  return platform::Utf16ToUtf8(std::u16string_view(text, platform::SysStringLen(text)));
}

inline platform::BSTR MakeBstr(std::string_view bytes) {
  const std::u16string wide = platform::Cp1252ToUtf16(bytes);
  return platform::SysAllocStringLen(wide.data(), static_cast<platform::UINT>(wide.size()));
}

inline void Put(platform::BSTR* out, std::string_view bytes) {
  if (out != nullptr) *out = MakeBstr(bytes);
}

template <typename T>
void Put(T* out, T value) {
  if (out != nullptr) *out = value;
}

}  // namespace vyr::automation
