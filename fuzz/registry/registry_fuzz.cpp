// The registry file is outside input: any text must parse or be refused, never crash, and whatever
// parses must survive a write and a read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const auto tree = platform::RegistryTree::Parse(text, &error);
  if (!tree) {
    if (error.rfind("line ", 0) != 0) std::abort();
    return 0;
  }
  const std::string written = tree->Serialize();
  const auto again = platform::RegistryTree::Parse(written, &error);
  if (!again || !(*again == *tree) || again->Serialize() != written) std::abort();
  return 0;
}
