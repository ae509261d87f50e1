// Every test here reaches the library the way the editor does: through a registry file in a temporary
// folder, platform::CoCreateInstance and the interface's table of operations.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"
#include "platform/com.h"
#include "platform/registry.h"
#include "vyrparser/automation/ivyrmission.h"

namespace vyr::automation::testing {

inline const std::string kLibraryPath = std::string(VYR_LIB_DIR) + "/libvyrparser.so";
inline const std::string kRaidScript = std::string(VYR_TEST_DATA_DIR) + "/automation/raid.vyr";

// A string argument; freed with the holder.
inline platform::BStr Arg(const char* utf8_as_page_text) {
  return platform::BStr(platform::Cp1252ToUtf16(utf8_as_page_text));
}

// The text of a returned string as code page bytes (what the model holds).
inline std::string Text(const platform::BStr& s) {
  return platform::Utf16ToCp1252(s.View());
}

// A VARIANT of type `vt` whose value member `field` is set to `value`.
template <typename T>
platform::VARIANT Make(platform::VARTYPE vt, T platform::VARIANT::*field, T value) {
  platform::VARIANT x;
  platform::VariantInit(&x);
  x.vt = vt;
  x.*field = value;
  return x;
}
inline platform::VARIANT I2(std::int16_t v) {
  return Make(platform::VT_I2, &platform::VARIANT::iVal, v);
}
inline platform::VARIANT I4(std::int32_t v) {
  return Make(platform::VT_I4, &platform::VARIANT::lVal, v);
}
inline platform::VARIANT R8(double v) {
  return Make(platform::VT_R8, &platform::VARIANT::dblVal, v);
}
inline platform::VARIANT R4(float v) {
  return Make(platform::VT_R4, &platform::VARIANT::fltVal, v);
}
inline platform::VARIANT Of(platform::VARTYPE vt) {
  return Make(vt, &platform::VARIANT::lVal, 0);
}
inline platform::VARIANT Str(platform::BSTR s) {
  return Make(platform::VT_BSTR, &platform::VARIANT::bstrVal, s);
}
template <typename T>
platform::VARIANT Ref(platform::VARTYPE vt, T* p) {
  return Make(static_cast<platform::VARTYPE>(platform::VT_BYREF | vt), &platform::VARIANT::byref,
              static_cast<void*>(p));
}

class AutomationTest : public ::testing::Test {
 protected:
  // The registry file lives for the whole program (the environment below); each test starts from a
  // freshly registered library and an empty parsed mission.
  void SetUp() override;
  platform::ComPtr<IVYRMission> NewMission();
  // Parses a file, returning TryParseMission's result.
  std::int16_t Parse(IVYRMission* mission, const std::string& path);
  platform::RegistryTree Registry() const;
  std::string WriteTempFile(const std::string& name, const std::string& bytes);

  static std::string folder_;
  static std::string registry_file_;
  platform::ComPtr<IVYRMission> mission_;
};

}  // namespace vyr::automation::testing
