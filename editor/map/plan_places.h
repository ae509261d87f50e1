// The locations a plan text names, found by a statement scanner rather than a parser: the map wants
// them from plans that may be unfinished or wrong, and a plan that does not parse still has places.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vyr::editor {

// What a named location is to the team at that point of its plan.
enum class PlaceRole : unsigned char {
  kPosition,  // the team goes there (insert at, advance towards, moveup to, attack towards, ...)
  kSight,     // the team faces or aims at it from where it is (snipe ... towards, observe, ...)
};

struct PlanPlace {
  std::string_view verb;  // the statement's first word: "insert", "snipe", ...; static storage
  std::string name;       // the location as written
  PlaceRole role = PlaceRole::kPosition;
  int line = 1;  // 1-based line of the plan text
};

// Every location named by a statement of `plan`, in plan order, nested statement lists included.
// Comments and string literals are skipped as the script language has them; a statement that
// breaks off before its location names none. Any bytes are accepted.
std::vector<PlanPlace> ScanPlanPlaces(std::string_view plan);

// Each team's scanned places, kept between readings of one document by the map and the problem check
// alike, so a plan is scanned once after each change of its text, whoever reads it first.
class PlanScans {
 public:
  // The places of the plan of team `team` of force `force`, whose text is now `plan`.
  const std::vector<PlanPlace>& Of(int force, int team, std::string_view plan);
  // Plans scanned so far: a plan read again unchanged does not count.
  long scan_count() const { return scan_count_; }

 private:
  struct Scanned {
    bool scanned = false;
    std::string text;
    std::vector<PlanPlace> places;
  };
  std::vector<std::vector<Scanned>> plans_;  // by force, then team
  long scan_count_ = 0;
};

}  // namespace vyr::editor
