// A client that knows only the identifiers, the slot numbers and the binary shapes: no interface
// declaration, no C++ classes of ours; a plain table of function pointers reached through void**.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "platform/com_runtime.h"
#include "platform/registry.h"
#include "tests/lib_test_support.h"

namespace {

using Hr = std::int32_t;

// Strings as the library expects them: a 32-bit byte length, then UTF-16 units, then a zero unit,
// in a block from malloc.
char16_t* NewString(const char* ascii) {
  const std::uint32_t units = static_cast<std::uint32_t>(std::strlen(ascii));
  const std::uint32_t bytes = units * 2;
  auto* block = static_cast<unsigned char*>(std::malloc(4 + bytes + 2));
  std::memcpy(block, &bytes, 4);
  auto* text = reinterpret_cast<char16_t*>(block + 4);
  for (std::uint32_t i = 0; i <= units; ++i)
    text[i] = static_cast<unsigned char>(ascii[i]);
  return text;
}
std::string Take(char16_t* s) {
  std::uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<unsigned char*>(s) - 4, 4);
  std::string out;
  for (std::uint32_t i = 0; i < bytes / 2; ++i)
    out += static_cast<char>(s[i]);
  std::free(reinterpret_cast<unsigned char*>(s) - 4);
  return out;
}

void** Table(void* object) {
  return *static_cast<void***>(object);
}

template <typename Fn>
Fn Slot(void* object, int slot) {
  return reinterpret_cast<Fn>(Table(object)[slot]);
}

TEST(PlainClient, CreatesParsesQueriesAndReleasesThroughTheTable) {
  const vyr::testing::ScratchDir dir;
  const vyr::testing::ScopedEnv registry("VYR_REGISTRY_FILE", dir / "registry.reg");
  ASSERT_EQ(platform::RegisterServer(std::string(VYR_LIB_DIR) + "/libvyrparser.so", false), 0);

  // The identifiers in their registry spelling; the GUID shape is {u32, u16, u16, u8[8]}.
  const auto clsid = platform::GuidFromString("{D2CE3E35-323A-11D3-9C8F-F170BB19FA62}");
  const auto iid = platform::GuidFromString("{D2CE3E34-323A-11D3-9C8F-F170BB19FA62}");
  ASSERT_TRUE(clsid && iid);
  void* object = nullptr;
  ASSERT_EQ(platform::CoCreateInstance(*clsid, *iid, &object), 0);
  ASSERT_NE(object, nullptr);

  using NoArgs = std::uint32_t (*)(void*);
  using StringOut = Hr (*)(void*, char16_t**);
  using Parse = Hr (*)(void*, char16_t*, std::int16_t*);
  using CountOut = Hr (*)(void*, std::int16_t*);
  using ActorInfo = Hr (*)(void*, std::int16_t, char16_t**, char16_t**, char16_t**, float*);
  using SkillOut = Hr (*)(void*, float*);
  using SkillIn = Hr (*)(void*, float);
  using LocationData = Hr (*)(void*, std::int16_t, char16_t**, float*, float*, float*);

  EXPECT_EQ(Slot<Hr (*)(void*)>(object, 12)(object), 0);  // CloseMission
  char16_t* file = NewString(VYR_TEST_DATA_DIR "/automation/raid.vyr");
  std::int16_t result = -1;
  EXPECT_EQ(Slot<Parse>(object, 11)(object, file, &result), 0);  // TryParseMission
  std::free(reinterpret_cast<unsigned char*>(file) - 4);
  EXPECT_EQ(result, 0);

  char16_t* text = nullptr;
  // MissionAuthor, MissionMap, MissionDescription; then ActorCount and GetMapStyles.
  for (const auto& [slot, expected] :
       {std::pair{9, "J. Doe"}, {10, "urban/ware1"}, {8, "Go in. Kill all."}}) {
    EXPECT_EQ(Slot<StringOut>(object, slot)(object, &text), 0);
    EXPECT_EQ(Take(text), expected);
  }
  std::int16_t count = 0;
  for (const auto& [slot, expected] : {std::pair{13, 3}, {35, 6}}) {
    EXPECT_EQ(Slot<CountOut>(object, slot)(object, &count), 0);
    EXPECT_EQ(count, expected);
  }
  char16_t *type = nullptr, *name = nullptr, *skin = nullptr;
  float skill = 0;
  EXPECT_EQ(Slot<ActorInfo>(object, 14)(object, 0, &type, &name, &skin, &skill), 0);
  EXPECT_EQ(Take(type), "npc");
  EXPECT_EQ(Take(name), "bob");
  EXPECT_EQ(Take(skin), "terror/terror");
  EXPECT_EQ(Slot<SkillIn>(object, 16)(object, 4.0f), 0);     // OverallSkill put
  EXPECT_EQ(Slot<SkillOut>(object, 15)(object, &skill), 0);  // OverallSkill get
  EXPECT_EQ(skill, 4.0f);
  float x = 0, y = 0, z = 0;
  EXPECT_EQ(Slot<LocationData>(object, 27)(object, 1, &text, &x, &y, &z), 0);  // GetLocationData
  EXPECT_EQ(Take(text), "hq");
  EXPECT_EQ(z, 7.0f);
  using NextMission = Hr (*)(void*, std::int16_t, std::int16_t, char16_t**);
  EXPECT_EQ(Slot<NextMission>(object, 38)(object, 1, 0, &text), 0);  // GetObjectiveNextMission, the last slot
  EXPECT_EQ(Take(text), "m3");

  EXPECT_EQ(Slot<NoArgs>(object, 1)(object), 2u);  // AddRef
  EXPECT_EQ(Slot<NoArgs>(object, 2)(object), 1u);  // Release
  EXPECT_EQ(Slot<NoArgs>(object, 2)(object), 0u);  // the last Release destroys the object
}

}  // namespace
