#include "editor/map/mission_map.h"

#include <gtest/gtest.h>

#include <random>

#include "editor/document/mission_document.h"

namespace vyr::editor {
namespace {

std::string Places(std::string_view plan) {
  std::string out;
  for (const PlanPlace& place : ScanPlanPlaces(plan)) {
    out += std::string(place.verb) + (place.role == PlaceRole::kSight ? "^" : "@") + place.name + ":" +
           std::to_string(place.line) + " ";
  }
  return out;
}

// A route as text: force/team, then each step's location index, verb, "@" or "^", name, where it is
// drawn and its line.
std::string Route(const MapRoute& route) {
  std::string out = std::to_string(route.force);
  out.append("/").append(std::to_string(route.team)).append(":");
  for (const RouteStep& s : route.steps) {
    out.append(" ").append(std::to_string(s.location)).append(s.verb);
    out.append(s.role == PlaceRole::kSight ? "^" : "@").append(s.name).append("(");
    out.append(std::to_string(static_cast<int>(s.x)))
        .append(",")
        .append(std::to_string(static_cast<int>(s.y)));
    out.append("):").append(std::to_string(s.line));
  }
  return out;
}

TEST(PlanPlacesTest, EveryStatementFormInPlanOrder) {
  EXPECT_EQ(
      Places("  insert at a using \"column\";\r\n  wait until ready;\r\n"
             "advance towards b_1.c9 using \"line\"; moveup to c using \"x\";\r\n"
             "pullback to d using \"x\"; assemble at e using \"x\"; attack towards f;\r\n"
             "defend towards g from h; snipe from i towards j; spread towards k within 40;\r\n"
             "freeze towards l for 2.5; observe m; signal towards n \"Red\"; take cover from o;"),
      "insert@a:1 advance@b_1.c9:3 moveup@c:3 pullback@d:4 assemble@e:4 attack@f:4 defend@g:5 defend@h:5 "
      "snipe@i:5 snipe^j:5 spread@k:5 freeze^l:6 observe^m:6 signal^n:6 take^o:6 ");
}

TEST(PlanPlacesTest, NestingCommentsStringsAndBrokenStatements) {
  // Statements nested in on-blocks count; comments and string literals name nothing.
  EXPECT_EQ(
      Places("on (contact, code \"advance towards q\") {\n  on (casualty) { pullback to b using \"c\"; }\n"
             "  attack towards c; };"),
      "pullback@b:2 attack@c:3 ");
  // Line feeds inside block comments and strings are counted.
  EXPECT_EQ(Places("// attack towards x\nadvance /* towards\ny */ towards z; signal towards w \"a\nb\";\n"
                   "attack towards v;"),
            "advance@z:3 signal^w:3 attack@v:5 ");
  // "**/" does not end a block comment, and a line feed taken with a "*" is not counted.
  EXPECT_EQ(Places("/* a **/ attack towards x; */ attack towards y; /* *\n */\nattack towards z"),
            "attack@y:1 attack@z:2 ");
  // Keywords are case-sensitive; a statement that breaks off names nothing, and what follows still counts.
  EXPECT_EQ(Places("Attack towards a; advance towards; defend towards a from; snipe from \"b\" towards c;"
                   "insert at 5; attack towards d"),
            "attack@d:1 ");
  // An unterminated literal or comment swallows the rest.
  EXPECT_EQ(Places("attack towards a; radio \"attack towards b"), "attack@a:1 ");
  EXPECT_EQ(Places("attack towards a; /* attack towards b"), "attack@a:1 ");
  EXPECT_EQ(Places(""), "");
}

TEST(PlanPlacesTest, AnyBytesEndWithPlausiblePlaces) {
  static const char kAlphabet[] = "attack towards insert at snipe from defend ;{}()\"/*\n\r\t\0\xff-_.Az9";
  const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 200, ' ');
    for (char& c : text)
      c = round % 2 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
    int lines = 1;
    for (char c : text)
      lines += c == '\n';
    for (const PlanPlace& place : ScanPlanPlaces(text)) {
      ASSERT_FALSE(place.name.empty());
      ASSERT_GE(place.line, 1);
      ASSERT_LE(place.line, lines);
    }
  }
}

class MissionMapTest : public ::testing::Test {
 protected:
  MissionMapTest() {
    doc_.AddLocation("a", "", 100, 200, 0);
    doc_.AddLocation("b", "", -300, 50, 0);
    doc_.AddLocation("a", "", 9, 9, 0);  // a second "a": names resolve to the first
    doc_.AddForce("Blue", "");
  }
  MissionDocument doc_;
};

TEST_F(MissionMapTest, AreasAreCirclesAroundTheirLocations) {
  doc_.AddArea("yard", "", "a?zz?b", 64, "open?");
  doc_.AddArea("new", "", "[none]", 0, "open");
  const MissionMap map = BuildMissionMap(doc_);
  ASSERT_EQ(map.points.size(), 3u);
  EXPECT_EQ(map.points[1].x, -300);
  EXPECT_EQ(map.points[1].y, 50);
  ASSERT_EQ(map.circles.size(), 2u);
  EXPECT_EQ(map.circles[0].location, 0);
  EXPECT_EQ(map.circles[1].location, 1);
  EXPECT_EQ(map.circles[1].radius, 64);
  ASSERT_EQ(map.warnings.size(), 1u);
  EXPECT_EQ(WarningText(doc_, map.warnings[0]), "Area yard: no location named \"zz\"");
  EXPECT_EQ(map.warnings[0].x, 100);  // at the area's first location
  // Circles widen the bounds; a margin keeps the outermost shapes off the edge.
  EXPECT_LT(map.bounds.left, -364);
  EXPECT_GT(map.bounds.top, 264);
  EXPECT_EQ(ListedNames("?x??y"), (std::vector<std::string_view>{"x", "y"}));
}

TEST_F(MissionMapTest, RoutesFollowThePlanAndMarkMissingLocations) {
  doc_.AddTeam(0, "Alpha", "",
               "attack towards gone;\r\ninsert at b using \"c\";\r\nsnipe from a towards b;\r\n"
               "advance towards Nowhere using \"c\";");
  doc_.AddTeam(0, "Idle", "", "wait forever;");
  doc_.AddForce("Red", "");
  doc_.AddTeam(1, "Lost", "", "insert at x using \"c\"");
  const MissionMap map = BuildMissionMap(doc_);
  ASSERT_EQ(map.routes.size(), 2u);
  // A missing location before the first move stands where the team goes first, later ones where it is
  // (at "a", where the sniper went).
  EXPECT_EQ(Route(map.routes[0]),
            "0/0: -1attack@gone(-300,50):1 1insert@b(-300,50):2 0snipe@a(100,200):3 1snipe^b(-300,50):3 "
            "-1advance@Nowhere(100,200):4");
  EXPECT_EQ(map.routes[1].force, 1);
  ASSERT_EQ(map.warnings.size(), 3u);
  EXPECT_EQ(WarningText(doc_, map.warnings[0]), "Blue / Alpha, line 1: no location named \"gone\"");
  EXPECT_EQ(map.warnings[0].x, -300);
  EXPECT_EQ(WarningText(doc_, map.warnings[1]), "Blue / Alpha, line 4: no location named \"Nowhere\"");
  // A team that is never placed has its marks in the middle of the map.
  EXPECT_EQ(map.warnings[2].x, (map.bounds.left + map.bounds.right) / 2);
  EXPECT_EQ(map.routes[1].steps[0].y, (map.bounds.bottom + map.bounds.top) / 2);
}

// A builder rescans only plans whose text changed, but places every route anew from the locations as
// they are.
TEST_F(MissionMapTest, ABuilderRescansOnlyChangedPlans) {
  doc_.AddTeam(0, "Alpha", "", "insert at a; advance towards b;");
  doc_.AddTeam(0, "Bravo", "", "insert at b;");
  MissionMapBuilder builder;
  ASSERT_EQ(builder.Build(doc_).routes.size(), 2u);
  EXPECT_EQ(builder.scans()->scan_count(), 2);

  // Locations moved or renamed are seen without rescanning anything.
  ASSERT_TRUE(doc_.SetField(RecordRef::Location(1), Field::kLocX, Integer(-7)));
  ASSERT_TRUE(doc_.SetField(RecordRef::Location(0), Field::kLocName, std::string("c")));
  MissionMap map = builder.Build(doc_);
  EXPECT_EQ(Route(map.routes[0]), "0/0: 2insert@a(9,9):1 1advance@b(-7,50):1");  // "a" is now the second
  EXPECT_EQ(builder.scans()->scan_count(), 2);

  // A changed plan is rescanned, and only that one.
  ASSERT_TRUE(doc_.SetField(RecordRef::Team(0, 1), Field::kPlan, std::string("insert at b; observe zz;")));
  map = builder.Build(doc_);
  EXPECT_EQ(builder.scans()->scan_count(), 3);
  ASSERT_EQ(map.routes.size(), 2u);
  EXPECT_EQ(map.routes[1].steps.size(), 2u);
  ASSERT_EQ(map.warnings.size(), 1u);
  EXPECT_EQ(map.warnings[0].name, "zz");

  // Teams that come and go, or swap plans, never leave a stale scan: the build equals a fresh one.
  doc_.AddForce("Red", "");
  doc_.AddTeam(1, "Lost", "", "insert at b;");
  ASSERT_TRUE(doc_.SetField(RecordRef::Team(0, 0), Field::kPlan, std::string("insert at b; observe zz;")));
  ASSERT_TRUE(doc_.SetField(RecordRef::Team(0, 1), Field::kPlan, std::string("insert at a; observe yy;")));
  map = builder.Build(doc_);
  const MissionMap fresh = BuildMissionMap(doc_);
  ASSERT_EQ(map.routes.size(), 3u);
  for (std::size_t r = 0; r < fresh.routes.size(); ++r)
    EXPECT_EQ(Route(map.routes[r]), Route(fresh.routes[r]));
  EXPECT_EQ(map.routes[2].force, 1);
  ASSERT_EQ(map.warnings.size(), 2u);
  EXPECT_EQ(map.warnings[1].name, "yy");
}

// An empty plan, an out-of-range team and a plan emptied after a scan all read as no places.
TEST(PlanScansTest, EmptyPlansAndBadIndicesHaveNoPlaces) {
  PlanScans scans;
  EXPECT_TRUE(scans.Of(-1, 0, "insert at a;").empty());
  EXPECT_TRUE(scans.Of(0, -1, "insert at a;").empty());
  EXPECT_EQ(scans.scan_count(), 0);
  EXPECT_TRUE(scans.Of(3, 4, "").empty());
  EXPECT_TRUE(scans.Of(3, 4, "").empty());
  EXPECT_EQ(scans.scan_count(), 1);  // an empty plan read twice is scanned once
  EXPECT_EQ(scans.Of(3, 4, "insert at a;").size(), 1u);
  EXPECT_TRUE(scans.Of(3, 4, "").empty());
  EXPECT_EQ(scans.scan_count(), 3);
}

TEST(MissionMapEmptyTest, NothingPlacedGivesASquareAroundTheOrigin) {
  MissionDocument doc;
  const MissionMap map = BuildMissionMap(doc);
  EXPECT_TRUE(map.points.empty());
  EXPECT_FALSE(map.bounds.empty());
  EXPECT_EQ(map.bounds.left, -map.bounds.right);
  doc.AddLocation("only", "", 5, 5, 0);
  EXPECT_FALSE(BuildMissionMap(doc).bounds.empty());
}

}  // namespace
}  // namespace vyr::editor
