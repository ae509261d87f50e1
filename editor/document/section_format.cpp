#include "editor/document/section_format.h"

#include <algorithm>

#include "platform/read_file.h"

namespace vyr::editor {

namespace {

constexpr SectionTexts kLocationTexts{
    ".mlc", "Mission locations (*.mlc)|*.mlc", "Open", "Locations (*.mlc)|*.mlc", "location", kMaxLocations};
constexpr SectionTexts kAreaTexts{
    ".mar", "Mission Areas (*.mar)|*.mar", "Open", "Areas (*.mar)|*.mar", "area", kMaxAreas};
constexpr SectionTexts kForceTexts{
    ".mfr", "Mission Forces (*.mfr)|*.mfr", "Open", "Mission Project (*.mfr)|*.mfr", "force", kMaxForces};
constexpr SectionTexts kOutcomeTexts{".moc",    "Mission Outcomes (*.moc)|*.moc",
                                     "Import",  "Mission Outcomes (*.moc)|*.moc",
                                     "outcome", kMaxOutcomes};

// Checks that a one-line value stays on its line: a line feed, alone or after a carriage return, would
// end it. `owner` names the record, built only for the message.
template <class OwnerName>
Status CheckOneLine(std::string_view value, std::string_view field, const OwnerName& owner) {
  if (value.find('\n') == std::string_view::npos) return Status::Ok();
  return Status::Error(owner() + ": " + std::string(field) +
                       " holds a line break, which a section file cannot carry");
}

std::string Owner(std::string_view record_name, int index, const std::string& name) {
  return std::string(record_name) + " " + std::to_string(index + 1) + " (\"" + platform::Excerpt(name) +
         "\")";
}

#define VYR_CHECK(expression)          \
  do {                                 \
    if (Status s = (expression); !s) { \
      return s;                        \
    }                                  \
  } while (false)

}  // namespace

const SectionTexts& TextsOf(Section section) {
  switch (section) {
    case Section::kLocations:
      return kLocationTexts;
    case Section::kAreas:
      return kAreaTexts;
    case Section::kForces:
      return kForceTexts;
    case Section::kOutcomes:
      break;
  }
  return kOutcomeTexts;
}

void WriteActorEquipment(TextWriter& out, const ActorRecord& actor) {
  for (Integer ammo : actor.ammo)
    out.Integer(ammo);
  for (bool weapon : actor.weapon)
    out.Bool(weapon);
  for (bool item : actor.item)
    out.Bool(item);
  out.Bool(actor.npc_player);
}

bool ReadActorEquipment(TextReader& in, ActorRecord& actor) {
  static constexpr const char* kAmmo[] = {"ammo1", "ammo2", "ammo3", "ammo4", "ammo5"};
  static constexpr const char* kWeapon[] = {"weapon1", "weapon2", "weapon3", "weapon4", "weapon5", "weapon6"};
  static constexpr const char* kItem[] = {"item1", "item2", "item3", "item4", "item5"};
  for (std::size_t i = 0; i < actor.ammo.size(); ++i) {
    if (!in.Integer(actor.ammo[i], kAmmo[i])) return false;
  }
  for (std::size_t i = 0; i < actor.weapon.size(); ++i) {
    if (!in.Bool(actor.weapon[i], kWeapon[i])) return false;
  }
  for (std::size_t i = 0; i < actor.item.size(); ++i) {
    if (!in.Bool(actor.item[i], kItem[i])) return false;
  }
  return in.Bool(actor.npc_player, "npc_player");
}

Status FormatLocations(int count, const RecordAt<LocationRecord>& at, std::string& bytes) {
  TextWriter out;
  out.Line(kSectionVersionLine);
  for (int i = 0; i < count; ++i) {
    const LocationRecord& l = at(i);
    const auto owner = [&] { return Owner("location", i, l.loc_name); };
    VYR_CHECK(CheckOneLine(l.loc_name, "loc_name", owner));
    VYR_CHECK(CheckOneLine(l.loc_desc, "loc_desc", owner));
    out.Line(l.loc_name);
    out.Line(l.loc_desc);
    out.Integer(l.loc_x);
    out.Integer(l.loc_y);
    out.Integer(l.loc_z);
  }
  bytes = out.bytes();
  return Status::Ok();
}

Status FormatAreas(int count, const RecordAt<AreaRecord>& at, std::string& bytes) {
  TextWriter out;
  out.Line(kSectionVersionLine);
  for (int i = 0; i < count; ++i) {
    const AreaRecord& a = at(i);
    const auto owner = [&] { return Owner("area", i, a.area_name); };
    VYR_CHECK(CheckOneLine(a.area_name, "area_name", owner));
    VYR_CHECK(CheckOneLine(a.area_desc, "area_desc", owner));
    VYR_CHECK(CheckOneLine(a.area_locations, "area_locations", owner));
    VYR_CHECK(CheckOneLine(a.area_style, "area_style", owner));
    out.Line(a.area_name);
    out.Line(a.area_desc);
    out.Line(a.area_locations);
    out.Integer(a.area_radius);
    out.Line(a.area_style);
  }
  bytes = out.bytes();
  return Status::Ok();
}

Status FormatForces(int count, const RecordAt<ForceRecord>& at, std::string& bytes) {
  TextWriter out;
  out.Line(kSectionVersionLine);
  for (int f = 0; f < count; ++f) {
    const ForceRecord& force = at(f);
    const auto force_owner = [&] { return Owner("force", f, force.force_name); };
    VYR_CHECK(CheckOneLine(force.force_name, "force_name", force_owner));
    VYR_CHECK(CheckOneLine(force.force_desc, "force_desc", force_owner));
    const int team_count = std::clamp<int>(force.team_count, 0, kMaxTeams);
    out.Line(force.force_name);
    out.Line(force.force_desc);
    out.Integer(team_count);
    for (int t = 0; t < team_count; ++t) {
      const TeamRecord& team = force.teams[static_cast<std::size_t>(t)];
      const auto team_owner = [&] { return force_owner() + ", " + Owner("team", t, team.team_name); };
      VYR_CHECK(CheckOneLine(team.team_name, "team_name", team_owner));
      VYR_CHECK(CheckOneLine(team.team_desc, "team_desc", team_owner));
      // A plan line equal to the end marker would end the plan early when the file is read back.
      for (std::size_t start = 0;;) {
        const auto end = team.plan.find(kLineEnd, start);
        const std::string_view line = std::string_view(team.plan).substr(start, end - start);
        if (line == kPlanEndMarker) {
          return Status::Error(team_owner() + ": a plan line reads \"" + std::string(kPlanEndMarker) +
                               "\", which would end the plan early");
        }
        if (end == std::string::npos) break;
        start = end + kLineEnd.size();
      }
      const int actor_count = std::clamp<int>(team.actor_count, 0, kMaxActors);
      out.Line(team.team_name);
      out.Line(team.team_desc);
      out.Line(kPlanStartMarker);
      out.Line(team.plan);
      out.Line(kPlanEndMarker);
      out.Integer(actor_count);
      for (int a = 0; a < actor_count; ++a) {
        const ActorRecord& actor = team.actors[static_cast<std::size_t>(a)];
        const auto actor_owner = [&] { return team_owner() + ", " + Owner("actor", a, actor.npc_name); };
        VYR_CHECK(CheckOneLine(actor.npc_name, "npc_name", actor_owner));
        VYR_CHECK(CheckOneLine(actor.npc_skin, "npc_skin", actor_owner));
        out.Line(actor.npc_name);
        out.Single(actor.npc_skill);
        out.Line(actor.npc_skin);
        WriteActorEquipment(out, actor);
      }
    }
  }
  bytes = out.bytes();
  return Status::Ok();
}

Status FormatOutcomes(int count, const RecordAt<OutcomeRecord>& at, std::string& bytes) {
  TextWriter out;
  out.Line(kSectionVersionLine);
  for (int i = 0; i < count; ++i) {
    const OutcomeRecord& o = at(i);
    const auto owner = [&] { return Owner("outcome", i, o.outcome_force); };
    VYR_CHECK(CheckOneLine(o.outcome_force, "outcome_force", owner));
    VYR_CHECK(CheckOneLine(o.outcome_message, "outcome_message", owner));
    VYR_CHECK(CheckOneLine(o.nextmission, "nextmission", owner));
    VYR_CHECK(CheckOneLine(o.outcome_type, "outcome_type", owner));
    VYR_CHECK(CheckOneLine(o.outcome_reason, "outcome_reason", owner));
    out.Line(o.outcome_force);
    out.Line(o.outcome_message);
    out.Line(o.nextmission);
    out.Line(o.outcome_type);
    out.Line(o.outcome_reason);
  }
  bytes = out.bytes();
  return Status::Ok();
}

namespace {

// Reads records until the end of the file; each Read* returns false on a fault, kept in the reader.
class SectionReader {
 public:
  SectionReader(TextReader& in, SectionSink& sink) : in_(in), sink_(sink) {}

  std::optional<FileError> Read(Section section) {
    std::string version;
    if (!in_.Line(version, "version line")) return FileError{in_.path(), 1, "the file is empty"};
    if (!IsSectionVersionLine(version)) {
      return FileError{in_.path(), 1,
                       "the first line is not a version line such as \"" + std::string(kSectionVersionLine) +
                           "\"; the file was not read"};
    }
    int count = 0;
    const SectionTexts& texts = TextsOf(section);
    const int capacity = texts.capacity;
    while (!in_.AtEnd()) {
      if (count == capacity) {
        return FileError{in_.path(), in_.line_number() + 1,
                         "more than " + std::to_string(capacity) + " " + std::string(texts.record_name) +
                             "s; the rest of the file was not read"};
      }
      in_.set_context(std::string(texts.record_name[0] == 'a' || texts.record_name[0] == 'o' ? "an " : "a ") +
                      std::string(texts.record_name) + " record");
      bool ok = false;
      switch (section) {
        case Section::kLocations:
          ok = ReadLocation();
          break;
        case Section::kAreas:
          ok = ReadArea();
          break;
        case Section::kForces:
          ok = ReadForce(count);
          break;
        case Section::kOutcomes:
          ok = ReadOutcome();
          break;
      }
      if (!ok) return stopped_ ? stopped_ : in_.error();
      ++count;
    }
    return std::nullopt;
  }

 private:
  bool ReadLocation() {
    LocationRecord l;
    if (!in_.Line(l.loc_name, "loc_name") || !in_.Line(l.loc_desc, "loc_desc") ||
        !in_.Integer(l.loc_x, "loc_x") || !in_.Integer(l.loc_y, "loc_y") || !in_.Integer(l.loc_z, "loc_z")) {
      return false;
    }
    if (!Passed(sink_.AddLocation(l))) return false;
    return true;
  }

  bool ReadArea() {
    AreaRecord a;
    if (!in_.Line(a.area_name, "area_name") || !in_.Line(a.area_desc, "area_desc") ||
        !in_.Line(a.area_locations, "area_locations") || !in_.Integer(a.area_radius, "area_radius") ||
        !in_.Line(a.area_style, "area_style")) {
      return false;
    }
    if (!Passed(sink_.AddArea(a))) return false;
    return true;
  }

  bool ReadOutcome() {
    OutcomeRecord o;
    if (!in_.Line(o.outcome_force, "outcome_force") || !in_.Line(o.outcome_message, "outcome_message") ||
        !in_.Line(o.nextmission, "nextmission") || !in_.Line(o.outcome_type, "outcome_type") ||
        !in_.Line(o.outcome_reason, "outcome_reason")) {
      return false;
    }
    if (!Passed(sink_.AddOutcome(o))) return false;
    return true;
  }

  bool ReadForce(int force_index) {
    std::string name, description;
    Integer team_count = 0;
    if (!in_.Line(name, "force_name") || !in_.Line(description, "force_desc") ||
        !in_.Integer(team_count, "team count")) {
      return false;
    }
    const int team_count_line = in_.line_number();
    if (!Passed(sink_.AddForce(name, description))) return false;
    const auto owner = [&] { return "force \"" + platform::Excerpt(name) + "\""; };
    for (int t = 0; t < team_count; ++t) {
      if (t == kMaxTeams) return Stop(team_count_line, team_count, kMaxTeams, "team", owner);
      if (!ReadTeam(force_index, t)) return false;
    }
    return true;
  }

  bool ReadTeam(int force_index, int team_index) {
    in_.set_context("a team record");
    std::string name, description, marker, plan, line;
    Integer actor_count = 0;
    if (!in_.Line(name, "team_name") || !in_.Line(description, "team_desc") ||
        !in_.Line(marker, "plan start marker") || !in_.Line(line, "plan")) {
      return false;
    }
    if (line != kPlanEndMarker) {
      plan = line;
      for (;;) {
        if (!in_.Line(line, "plan end marker")) return false;
        if (line == kPlanEndMarker) break;
        plan += kLineEnd;
        plan += line;
      }
    }
    if (!in_.Integer(actor_count, "actor count")) return false;
    const int actor_count_line = in_.line_number();
    if (!Passed(sink_.AddTeam(force_index, name, description, plan))) return false;
    const auto owner = [&] { return "team \"" + platform::Excerpt(name) + "\""; };
    for (int a = 0; a < actor_count; ++a) {
      if (a == kMaxActors) return Stop(actor_count_line, actor_count, kMaxActors, "actor", owner);
      if (!ReadActor(force_index, team_index)) return false;
    }
    in_.set_context("a force record");
    return true;
  }

  bool ReadActor(int force_index, int team_index) {
    in_.set_context("an actor record");
    ActorRecord actor;
    if (!in_.Line(actor.npc_name, "npc_name") || !in_.Single(actor.npc_skill, "npc_skill") ||
        !in_.Line(actor.npc_skin, "npc_skin")) {
      return false;
    }
    if (!ReadActorEquipment(in_, actor)) return false;
    if (!Passed(sink_.AddActor(force_index, team_index, actor))) return false;
    in_.set_context("a team record");
    return true;
  }

  bool Passed(const Status& added) {
    if (added) return true;
    stopped_ = FileError{in_.path(), in_.line_number(), added.message};
    return false;
  }

  // A count beyond the capacity: the records that fit have been read, and reading stops at the count line.
  template <class OwnerName>
  bool Stop(int count_line, int count, int capacity, std::string_view what, const OwnerName& owner) {
    stopped_ = FileError{in_.path(), count_line,
                         owner() + " has " + std::to_string(count) + " " + std::string(what) + "s; only " +
                             std::to_string(capacity) + " fit, the rest of the file was not read"};
    return false;
  }

  TextReader& in_;
  SectionSink& sink_;
  std::optional<FileError> stopped_;
};

}  // namespace

std::optional<FileError> ReadSectionBytes(Section section, const std::string& path, const std::string& bytes,
                                          SectionSink& sink) {
  TextReader in(path, bytes);
  return ReadSectionLines(section, in, sink);
}

bool IsSectionVersionLine(std::string_view line) {
  constexpr std::string_view kOpening = "[VERSION ";
  return line.size() > kOpening.size() + 1 && line.starts_with(kOpening) && line.ends_with(']');
}

std::optional<FileError> ReadSectionLines(Section section, TextReader& in, SectionSink& sink) {
  return SectionReader(in, sink).Read(section);
}

}  // namespace vyr::editor
