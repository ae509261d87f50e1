// The model's operations where no script reaches them: the single instance, the name index, calls
// without a current record, and the rename that the automation layer makes.
#include "vyrparser/core/parsed_mission.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "vyrparser/core/name_index.h"

namespace vyr::parser {
namespace {

TEST(ParsedMission, TheSingleInstanceStartsEmptyAndIsForgottenOnClose) {
  ParsedMission::Close();
  EXPECT_EQ(ParsedMission::Current(), nullptr);
  ParsedMission& m = ParsedMission::Obtain();
  EXPECT_EQ(&ParsedMission::Obtain(), &m);
  EXPECT_TRUE(m.mission_name.is_null() && m.author.is_null() && m.description.is_null() &&
              m.map_name.is_null() && m.annotation.is_null());
  EXPECT_EQ(m.map_styles, 0u);
  EXPECT_EQ(m.LocationCount() + m.AreaCount() + m.ObjectiveCount() + m.ActorCount() + m.forces.size() +
                m.all_teams.size() + m.rules.size(),
            0u);
  EXPECT_EQ(m.LocationAt(0), nullptr);
  EXPECT_EQ(m.ActorAt(0), nullptr);

  m.SetMissionName("first");
  m.AddForce("f");
  ParsedMission::Close();
  EXPECT_EQ(ParsedMission::Current(), nullptr);
  EXPECT_TRUE(ParsedMission::Obtain().mission_name.is_null());
  EXPECT_TRUE(ParsedMission::Obtain().forces.empty());
  ParsedMission::Close();
}

TEST(ParsedMission, LocationsKeepTheirOrderAndLookupFindsTheFirstOfAName) {
  ParsedMission m;
  for (int i = 0; i < 1000; ++i) {
    std::string name = "l";  // appended, not concatenated: GCC 12 warns falsely on the latter
    name += std::to_string(i % 300);
    m.AddLocation(name, float(i), 0, 0);
  }
  ASSERT_EQ(m.LocationCount(), 1000u);
  for (int i = 0; i < 1000; ++i)
    EXPECT_EQ(m.LocationAt(i)->x, float(i));
  EXPECT_EQ(m.FindLocation("l7")->x, 7.0f);
  EXPECT_EQ(m.FindLocation("l299")->x, 299.0f);
  EXPECT_EQ(m.FindLocation("L7"), nullptr);
  EXPECT_FALSE(m.HasLocation("l300"));
}

TEST(ParsedMission, CallsWithoutTheirRecordChangeNothing) {
  ParsedMission m;
  m.AddRule("ReSpawn", kRespawnIndividual);  // rule names ignore case
  m.AddRule("gravity", 1);                   // an unknown rule adds nothing
  ASSERT_EQ(m.rules.size(), 1u);
  EXPECT_EQ(m.rules[0].rule_bit, 1u);

  // No area, force, team, actor, statement list or objective yet.
  m.AddAreaStyle(kAreaStyleRoof);
  m.SetAreaRadius(5);
  m.AddLocation("a", 0, 0, 0);
  m.AddAreaName(AreaList::kLocations, "a");
  EXPECT_EQ(m.AddTeam("t"), nullptr);
  EXPECT_EQ(m.AddActor(kActorNpc, "n", "m"), nullptr);
  m.AddWeapon("w");
  m.SetSkill(3);
  m.AddNextMission("next");
  EXPECT_EQ(m.AppendInstruction(InstructionKind::kJoin, m.MakeText("x")), nullptr);
  EXPECT_TRUE(m.all_teams.empty() && m.areas.empty() && m.objectives.empty());

  // An area name that is no declared location is not appended.
  m.AddArea("x");
  m.AddAreaName(AreaList::kWindows, "a");
  m.AddAreaName(AreaList::kExits, "undeclared");
  EXPECT_EQ(m.FindArea("x")->windows.size(), 1u);
  EXPECT_TRUE(m.FindArea("x")->exits.empty());

  // A plan for a team that does not exist has no list to append to.
  m.BeginPlan("nobody");
  EXPECT_EQ(m.AppendWait(1), nullptr);
  EXPECT_STREQ(InstructionName(static_cast<InstructionKind>(27)), "");
}

TEST(ParsedMission, RenameActorChangesConditionsExactlyAndLookups) {
  ParsedMission m;
  m.AddForce("f");
  m.AddTeam("t");
  MissionActor* bob = m.AddActor(kActorNpc, "bob", "m");
  // ( eliminated("bob") || !( alive("Bob") ) ), then an objective without a condition, then alive("bob").
  MissionObjective* o = m.AddObjective(kObjectiveSuccess, "t", "x");
  m.OpenCompound();
  m.AddConditionLeaf(kConditionEliminated, "bob");
  m.SetOperator(kConditionOr);
  m.OpenCompound();
  m.AddConditionLeaf(kConditionAlive, "Bob");
  m.SetOperator(kConditionNot);
  m.CloseCompound();
  m.CloseCompound();
  m.AddObjective(kObjectiveFailure, "t", "y");
  MissionObjective* q = m.AddObjective(kObjectiveFailure, "t", "z");
  m.AddConditionLeaf(kConditionAlive, "bob");

  m.RenameActor(bob, "rob");
  EXPECT_EQ(bob->name.str(), "rob");
  EXPECT_EQ(o->condition->first->name.str(), "rob");
  EXPECT_EQ(o->condition->second->first->name.str(), "Bob");
  EXPECT_EQ(q->condition->name.str(), "rob");
  EXPECT_EQ(m.FindActor("bob"), nullptr);
  EXPECT_EQ(m.FindActor("rob"), bob);
}

// A string replaced again and again takes turns in the same two places, whatever its holder read.
TEST(ParsedMission, ReplacedTextsReuseTheirBytes) {
  ParsedMission m;
  Text skin = m.MakeText("terror/terror");
  const Text neighbour = m.MakeText("other/other!");
  m.ReplaceText(skin, "male/resdog01");
  const char* first = skin.c_str();
  m.ReplaceText(skin, "male/resdog02");
  const char* second = skin.c_str();
  for (int i = 0; i < 100000; ++i) {
    m.ReplaceText(skin, i % 2 ? "male/resdog02" : "male/resdog01");
    EXPECT_EQ(skin.c_str(), i % 2 ? second : first);
  }
  m.ReplaceText(skin, skin.view());  // from its own bytes
  EXPECT_EQ(skin.view(), "male/resdog02");
  m.ReplaceText(skin, "");
  EXPECT_TRUE(skin.empty() && !skin.is_null());
  EXPECT_EQ(neighbour.view(), "other/other!");
  // A null old string gives nothing back.
  Text none;
  m.ReplaceText(none, "x");
  EXPECT_EQ(none.view(), "x");
}

std::string Numbered(char prefix, std::uint32_t i) {
  std::string text(1, prefix);
  text += std::to_string(i);
  return text;
}

// Each use shares its texts while they repeat: equipment stays one copy through any number of
// unique messages, a use whose texts never repeat stops looking them up after a window (and looks
// again later), and a paused use still gives the right bytes. Shared texts are never given back.
TEST(ParsedMission, TextsAreSharedWhereTheyRepeat) {
  ParsedMission m;
  const Text weapon = m.ShareText("MP5/10 Submachinegun", TextUse::kEquipment);
  const Text first_radio = m.ShareText("r0", TextUse::kRadio);
  for (std::uint32_t i = 1; i < SharingSite::kWindow; ++i) {
    EXPECT_EQ(m.ShareText(Numbered('r', i), TextUse::kRadio).view(), Numbered('r', i));
    EXPECT_EQ(m.ShareText("MP5/10 Submachinegun", TextUse::kEquipment).c_str(), weapon.c_str());
  }
  // The window is over with no radio message repeated: the next ones are copies, even of known bytes.
  const Text again = m.ShareText("r0", TextUse::kRadio);
  EXPECT_EQ(again.view(), "r0");
  EXPECT_NE(again.c_str(), first_radio.c_str());
  for (std::uint32_t i = 1; i < SharingSite::kPause; ++i)
    m.ShareText("r0", TextUse::kRadio);
  EXPECT_EQ(m.ShareText("r0", TextUse::kRadio).c_str(), first_radio.c_str());  // looking again
  EXPECT_EQ(m.ShareText("MP5/10 Submachinegun", TextUse::kEquipment).c_str(), weapon.c_str());
  // A window with one repeat in three keeps sharing.
  const Text code = m.ShareText("c0", TextUse::kSignalCode);
  for (std::uint32_t i = 1; i < 2 * SharingSite::kWindow; ++i)
    m.ShareText(i % 3 ? Numbered('c', i) : "c0", TextUse::kSignalCode);
  EXPECT_EQ(m.ShareText("c0", TextUse::kSignalCode).c_str(), code.c_str());
  // Replacing a shared text leaves its bytes to the others that hold it.
  Text skin = m.ShareText("terror/terror", TextUse::kModel);
  const Text other = skin;
  m.ReplaceText(skin, "ct/swat_shared");
  m.ReplaceText(skin, "terror/xxxxxx");
  EXPECT_EQ(other.view(), "terror/terror");
}

// Replaced lists give their room back: freed neighbours merge and are handed out first.
TEST(ModelMemory, ReusableSpaceMergesAndReusesWhatIsGivenBack) {
  ModelMemory memory;
  ReusableSpace space(memory);
  char* a = static_cast<char*>(space.Allocate(100));  // 112 with its rounding
  char* b = static_cast<char*>(space.Allocate(40));
  char* c = static_cast<char*>(space.Allocate(16));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a) % 16, 0u);
  EXPECT_EQ(b, a + 112);
  EXPECT_EQ(c, b + 48);
  space.Release(b, 40);
  space.Release(a, 100);              // merges with b's room after it
  EXPECT_EQ(space.Allocate(160), a);  // the two together
  space.Release(c, 16);               // merges with nothing in use
  EXPECT_EQ(space.Allocate(16), c);
  space.Release(nullptr, 0);
}

#if !defined(VYR_MODEL_MEMORY_CHECKED)
// What was handed out counts its alignment, and neither the free end of a block given up for the
// next nor the unused rest of the current block.
TEST(ModelMemory, HandedOutCountsWhatRecordsMayHaveTouched) {
  ModelMemory memory;
  EXPECT_EQ(memory.handed_out(), 0u);
  memory.Allocate(10, 1);
  memory.Allocate(8, 8);
  EXPECT_EQ(memory.handed_out(), 24u);
  memory.Allocate(40000, 16);
  EXPECT_EQ(memory.handed_out(), 40032u);
  memory.Allocate(30000, 1);  // 25504 bytes left in the first block: a 2 MB one follows
  EXPECT_EQ(memory.handed_out(), 70032u);
  EXPECT_EQ(memory.reserved(), 65536u + (2u << 20));
  memory.Allocate(2100000, 1);  // a block of its own: the current one keeps its free room
  memory.Allocate(100, 1);
  EXPECT_EQ(memory.handed_out(), 70032u + 2100001u + 100u);
  EXPECT_EQ(memory.reserved(), 65536u + (2u << 20) + 2100001u);
}
#endif

// A list replaced by a longer copy of itself again and again, with the model's other records taken
// between the lists as a script's texts are: the room a list gives back merges only within the piece
// it came from, so long lists need pieces that hold many of them.
TEST(ModelMemory, ReusableSpaceStaysCloseToItsListsAmongOtherRecords) {
  for (const std::size_t part : {std::size_t{3200}, std::size_t{32000}}) {
    ModelMemory memory;
    ReusableSpace space(memory);
    std::vector<std::pair<char*, std::size_t>> lists(100, {nullptr, 0});
    std::size_t others = 0;
    for (int round = 1; round <= 6; ++round) {
      for (auto& [data, size] : lists) {
        char* longer = static_cast<char*>(space.Allocate(size + part));
        if (size) std::memcpy(longer, data, size);
        std::memset(longer + size, round, part);
        space.Release(data, size);
        data = longer;
        size += part;
        static_cast<char*>(memory.Allocate(50, 1))[49] = 1;
        others += 50;
      }
    }
    for (const auto& [data, size] : lists) {
      EXPECT_EQ(data[0], 1);
      EXPECT_EQ(data[size - 1], 6);
    }
    const std::size_t in_use = lists.size() * 6 * part + others;
    EXPECT_LT(memory.handed_out(), in_use + in_use / 4) << part;
  }
}

#if defined(VYR_MODEL_MEMORY_CHECKED)
// Under the address sanitizer a write just past a record is caught, as it would be on the heap.
TEST(ModelMemory, AWritePastARecordIsCaughtUnderTheSanitizer) {
  EXPECT_DEATH(
      {
        ModelMemory memory;
        volatile char* record = static_cast<char*>(memory.Allocate(10, 1));
        record[10] = 1;
      },
      "AddressSanitizer");
}
#endif

// Short strings are compared and hashed as two overlapping loads: a difference at any position of
// any length is seen, and nothing past the end is read (the copies end where their buffers do).
TEST(TextBytes, EveryDifferenceIsSeenAtEveryLength) {
  for (std::size_t n = 0; n <= 40; ++n) {
    const std::string base(n, 'a');
    const auto a = std::make_unique<char[]>(n + 1);
    std::memcpy(a.get(), base.data(), n);
    EXPECT_TRUE(SameBytes(a.get(), base.data(), n));
    for (std::size_t i = 0; i < n; ++i) {
      std::string other = base;
      other[i] = 'b';
      EXPECT_FALSE(SameBytes(a.get(), other.data(), n)) << n << " " << i;
      EXPECT_NE(HashText(base), HashText(other)) << n << " " << i;
    }
    if (n) {
      EXPECT_NE(HashText(base), HashText(base.substr(1)));
    }
  }
}

// The index answers what a front-to-back scan answers: the first name equal exactly, or equal
// ignoring the case of A-Z only (bytes of 0x80 and above are compared as they are).
TEST(NameIndex, AnswersTheFirstMatchLikeAScan) {
  ModelMemory memory;
  TextPool pool(memory);
  std::vector<Text> names;
  const std::string letters = "aAzZ@[`{_.0\xc9\xe9";
  std::mt19937 random(11);
  for (int i = 0; i < 3000; ++i) {
    std::string name;
    const std::size_t length = random() % 20;
    for (std::size_t j = 0; j < length; ++j)
      name += letters[random() % letters.size()];
    names.push_back(pool.Make(name));
  }
  auto fold = [](std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
  };
  for (const bool ignore_case : {false, true}) {
    // One name at a time, and all at once (as the actors' index is built).
    NameIndex index(ignore_case);
    for (std::size_t i = 0; i < names.size(); ++i)
      index.Insert(names[i], static_cast<std::uint32_t>(i));
    NameIndex bulk(ignore_case);
    bulk.InsertAll(static_cast<std::uint32_t>(names.size()), [&](std::uint32_t i) { return names[i]; });
    EXPECT_EQ(bulk.size(), index.size());
    for (const Text probe : names) {
      std::uint32_t expected = NameIndex::kNotFound;
      for (std::size_t i = 0; i < names.size() && expected == NameIndex::kNotFound; ++i) {
        const bool same =
            ignore_case ? fold(names[i].str()) == fold(probe.str()) : names[i].view() == probe.view();
        if (same) expected = static_cast<std::uint32_t>(i);
      }
      ASSERT_EQ(index.Find(probe.view()), expected) << ignore_case << " " << probe.str();
      ASSERT_EQ(bulk.Find(probe.view()), expected) << ignore_case << " " << probe.str();
    }
    EXPECT_EQ(index.Find("not there at all"), NameIndex::kNotFound);
  }
  NameIndex folded(true);
  const Text equipe = pool.Make("\xc9quipe");
  folded.Insert(equipe, 0);
  EXPECT_EQ(folded.Find("\xe9QUIPE"), NameIndex::kNotFound);  // only A-Z fold
  EXPECT_EQ(folded.Find("\xc9QUIPE"), 0u);
}

}  // namespace
}  // namespace vyr::parser
