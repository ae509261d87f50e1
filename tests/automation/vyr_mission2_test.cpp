// IVYRMission2 as a client reaches it: QueryInterface on the object the class factory made.
#include <sstream>

#include "automation_fixture.h"

namespace vyr::automation::testing {
namespace {

using namespace platform;

// Two teams named "alpha" in different forces, a team without actors, a plan only the first "alpha" gets.
const char* const kSquads =
    "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"city\" {\n"
    "  location l1 = <0, 0, 0>; location l2 = <1, 1, 1> };\n"
    "force \"blue\" { team \"alpha\" { npc \"bob\" \"terror/terror\" { weapon \"Handcannon\";\n"
    "    ammo \"M4 Clip\" = 3; skill = 2 } }; team \"empty\" { }; };\n"
    "force \"red\" { team \"alpha\" { player \"pat\" \"male/resdog\" { }; npc \"sam\" \"a/b\" { skill = 3 } "
    "}; };\n"
    "objectives { success (\"empty\", \"won\") = eliminated(\"alpha\") -> { \"m2\" } };\n"
    "plan \"alpha\" { attack towards l1 }; }\n";

// An out-string slot holding `initial` until a call writes a new string into it.
class Out {
 public:
  explicit Out(const char* initial) : initial_(Arg(initial)), slot_(initial_.Get()) {}
  Out(const Out&) = delete;
  Out& operator=(const Out&) = delete;
  ~Out() {
    if (slot_ != initial_.Get()) SysFreeString(slot_);
  }
  BSTR* Put() { return &slot_; }
  std::string Str() const { return platform::Utf16ToCp1252(std::u16string_view(slot_, SysStringLen(slot_))); }

 private:
  BStr initial_;
  BSTR slot_;
};

class Mission2 : public AutomationTest {
 protected:
  void SetUp() override {
    AutomationTest::SetUp();
    ASSERT_EQ(mission_->QueryInterface(IID_IVYRMission2, second_.PutVoid()), S_OK);
  }
  std::int16_t ParseText(const std::string& text) {
    return Parse(mission_.Get(), WriteTempFile("squads.vyr", text));
  }
  std::int32_t Count(HRESULT (IVYRMission2::*get)(std::int32_t*)) {
    std::int32_t n = -1;
    EXPECT_EQ((second_.Get()->*get)(&n), S_OK);
    return n;
  }
  // "name|description|actor count" of a team.
  std::string Team(std::int32_t force, std::int32_t team) {
    Out name("untouched"), description("untouched");
    std::int32_t actors = -1;
    EXPECT_EQ(second_->GetTeamData(force, team, name.Put(), description.Put(), &actors), S_OK);
    return name.Str() + "|" + description.Str() + "|" + std::to_string(actors);
  }
  std::string Plan(std::int32_t force, std::int32_t team) {
    Out plan("untouched");
    EXPECT_EQ(second_->GetForceTeamPlan(force, team, plan.Put()), S_OK);
    return plan.Str();
  }
  std::string Actor(std::int32_t force, std::int32_t team, std::int32_t actor) {
    Out type("t"), name("n"), skin("s");
    float skill = -1;
    EXPECT_EQ(second_->TeamActorInfo(force, team, actor, type.Put(), name.Put(), skin.Put(), &skill), S_OK);
    std::ostringstream out;
    out << type.Str() << " " << name.Str() << " " << skin.Str() << " " << skill;
    return out.str();
  }
  // "line|near|cause" of each message of the last parse.
  std::vector<std::string> Messages() {
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < Count(&IVYRMission2::GetParseMessageCount); ++i) {
      std::int32_t line = -1;
      BStr near_text, cause;
      EXPECT_EQ(second_->GetParseMessage(i, &line, near_text.Put(), cause.Put()), S_OK);
      out.push_back(std::to_string(line) + "|" + Text(near_text) + "|" + Text(cause));
    }
    return out;
  }

  ComPtr<IVYRMission2> second_;
};

TEST_F(Mission2, ForcesTeamsAndActorsAsTheScriptDeclaresThem) {
  ASSERT_EQ(ParseText(kSquads), 0);
  EXPECT_EQ(Count(&IVYRMission2::GetForceCount), 2);
  BStr name, description;
  std::int32_t teams = -1;
  EXPECT_EQ(second_->GetForceData(1, name.Put(), description.Put(), &teams), S_OK);
  EXPECT_EQ(Text(name) + "|" + Text(description) + "|" + std::to_string(teams), "red||1");
  std::int32_t count = -1;
  EXPECT_EQ(second_->GetTeamCount(0, &count), S_OK);
  EXPECT_EQ(count, 2);

  EXPECT_EQ(Team(0, 0), "alpha||1");
  EXPECT_EQ(Team(0, 1), "empty||0");  // no actor names it, yet it is there
  EXPECT_EQ(Team(1, 0), "alpha||2");
  // Each team's own plan: the script's one plan "alpha" belongs to the first team of the name.
  EXPECT_EQ(Plan(0, 0), "  attack towards l1;\n");
  EXPECT_EQ(Plan(1, 0), "");

  EXPECT_EQ(Actor(1, 0, 0), "player pat male/resdog 0");
  EXPECT_EQ(Actor(1, 0, 1), "npc sam a/b 3");
  count = -1;
  EXPECT_EQ(second_->TeamActorCount(1, 0, &count), S_OK);
  EXPECT_EQ(count, 2);
  count = -1;
  EXPECT_EQ(second_->GetTeamActorItemCount(0, 0, 0, Arg("m4 clip").Get(), &count), S_OK);
  EXPECT_EQ(count, 3);

  // Changes through the second interface are the model's: the first one sees them.
  ASSERT_EQ(second_->SetTeamActorName(1, 0, 1, Arg("tom").Get()), S_OK);
  ASSERT_EQ(second_->SetTeamActorType(1, 0, 1, Arg("player").Get()), S_OK);
  ASSERT_EQ(second_->SetTeamActorModelSkin(1, 0, 1, Arg("c/d").Get()), S_OK);
  ASSERT_EQ(second_->SetTeamActorSkill(1, 0, 1, 4.5f), S_OK);
  ASSERT_EQ(second_->SetTeamActorItemCount(1, 0, 1, Arg("Handcannon").Get(), 2), S_OK);
  BStr type, actor_name, skin;
  float skill = 0;
  EXPECT_EQ(mission_->ActorInfo(2, type.Put(), actor_name.Put(), skin.Put(), &skill), S_OK);
  EXPECT_EQ(Text(type) + " " + Text(actor_name) + " " + Text(skin), "player tom c/d");
  EXPECT_EQ(skill, 4.5f);
  std::int16_t cannons = -1;
  EXPECT_EQ(mission_->GetActorItemCount(2, Arg("handcannon").Get(), &cannons), S_OK);
  EXPECT_EQ(cannons, 2);

  EXPECT_EQ(Count(&IVYRMission2::ActorCount32), 3);
  EXPECT_EQ(Count(&IVYRMission2::GetLocationCount32), 2);
  EXPECT_EQ(Count(&IVYRMission2::GetAreaCount32), 0);
  EXPECT_EQ(Count(&IVYRMission2::GetObjectiveCount32), 1);
  std::int16_t actors = -1;  // the first interface's operations through the second's table
  EXPECT_EQ(second_->ActorCount(&actors), S_OK);
  EXPECT_EQ(actors, 3);
}

TEST_F(Mission2, AnInvalidForceTeamOrActorLeavesTheOutParametersAlone) {
  ASSERT_EQ(ParseText(kSquads), 0);
  for (auto [force, team] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 2}, {1, 1}})
    EXPECT_EQ(Team(force, team), "untouched|untouched|-1") << force << " " << team;
  EXPECT_EQ(Plan(0, 2), "untouched");
  for (auto [team, actor] : {std::pair{0, 1}, {0, -1}, {1, 0}, {2, 0}})
    EXPECT_EQ(Actor(0, team, actor), "t n s -1") << team << " " << actor;
  std::int32_t untouched = 7;
  EXPECT_EQ(second_->GetTeamCount(5, &untouched), S_OK);
  EXPECT_EQ(second_->GetTeamActorItemCount(0, 0, 9, Arg("Handcannon").Get(), &untouched), S_OK);
  EXPECT_EQ(untouched, 7);
  Out cause("untouched");
  EXPECT_EQ(second_->GetParseMessage(0, &untouched, nullptr, cause.Put()), S_OK);
  EXPECT_EQ(cause.Str(), "untouched");
  EXPECT_EQ(second_->SetTeamActorName(0, 1, 0, Arg("x").Get()), S_OK);  // the empty team: nothing to rename
}

TEST_F(Mission2, TheLastParsesMessagesWithLineNearTextAndCause) {
  // A semantic check, a literal running over a line break (its near text is the line feed), a stray
  // character, and a file that is not there.
  EXPECT_EQ(
      ParseText(std::string(kSquads).replace(std::string(kSquads).find("towards l1"), 10, "towards l9")), 2);
  EXPECT_EQ(Messages(), std::vector<std::string>{"7|l9|use of undeclared location"});
  ASSERT_EQ(mission_->CloseMission(), S_OK);
  EXPECT_EQ(Count(&IVYRMission2::GetParseMessageCount), 0);

  EXPECT_EQ(ParseText("mission \"m\" {\n author \"a\n b\";"), 2);
  EXPECT_EQ(Messages(), std::vector<std::string>{"3|\n|parse error"});
  mission_->CloseMission();
  EXPECT_EQ(ParseText("mission \"m\" {\n\n $"), 2);
  EXPECT_EQ(Messages(), std::vector<std::string>{"3|$|unexpected character"});
  mission_->CloseMission();
  EXPECT_EQ(Parse(mission_.Get(), folder_ + "/absent.vyr"), 1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("0||", 0), 0u) << Messages()[0];
  EXPECT_NE(Messages()[0].find("No such file"), std::string::npos) << Messages()[0];

  // A parse that succeeds has none.
  EXPECT_EQ(ParseText(kSquads), 0);
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace vyr::automation::testing
