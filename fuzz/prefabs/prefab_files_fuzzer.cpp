// Reads arbitrary bytes as a prefab library of actors or of teams (the first byte picks which). What is
// read either is refused by the writer or writes a file that reads back and writes again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "editor/prefabs/prefab_files.h"

namespace {

using namespace vyr::editor;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

template <class Record>
void Fuzz(const std::string& bytes) {
  PrefabGroups<Record> groups;
  TextReader in("fuzz", bytes);
  ReadPrefabGroups(in, groups);
  std::string written;
  if (!FormatPrefabLibrary(groups, written)) return;
  PrefabGroups<Record> again;
  TextReader again_in("again", written);
  Check(!ReadPrefabGroups(again_in, again).has_value());
  std::string rewritten;
  Check(static_cast<bool>(FormatPrefabLibrary(again, rewritten)));
  Check(rewritten == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0) {
    Fuzz<ActorRecord>(bytes);
  } else {
    Fuzz<TeamRecord>(bytes);
  }
  return 0;
}
