#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "editor/check/problems.h"
#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "tools/vyr/editor_session.h"
#include "tools/vyr/subcommands.h"
#include "vyrparser/core/parse_messages.h"
#include "vyrparser/core/parser.h"

namespace vyr::tool {

namespace {

using Json = nlohmann::ordered_json;

// The library's parser over the generated script in memory: the authority the editor asks through the
// registered library, without needing one registered.
editor::ParseVerdict ParseInMemory(std::string_view script) {
  parser::ParsedMission mission;
  std::ostringstream errors;
  editor::ParseVerdict verdict;
  verdict.parsed = parser::ParseMissionBuffer(script, mission, errors) == parser::ParseResult::kSuccess;
  for (const parser::ParseMessage& message : parser::ReadParseMessages(errors.str()))
    verdict.messages.push_back({message.line, message.near_text, message.cause});
  return verdict;
}

std::string_view KindName(editor::RecordKind kind) {
  switch (kind) {
    case editor::RecordKind::kMission:
      break;
    case editor::RecordKind::kLocation:
      return "location";
    case editor::RecordKind::kArea:
      return "area";
    case editor::RecordKind::kForce:
      return "force";
    case editor::RecordKind::kTeam:
      return "team";
    case editor::RecordKind::kActor:
      return "actor";
    case editor::RecordKind::kOutcome:
      return "outcome";
  }
  return "mission";
}

Json RecordJson(const editor::RecordRef& record) {
  Json json = {{"kind", KindName(record.kind)}};
  if (record.force >= 0) json["force"] = record.force;
  if (record.team >= 0) json["team"] = record.team;
  if (record.index >= 0) json["index"] = record.index;
  return json;
}

}  // namespace

// vyr problems [--json] PROJECT.cme: one line per problem; 0 no error (warnings allowed), 2 at least one
// error, 1 the project cannot be read.
int RunProblems(const Arguments& operands) {
  Arguments files = operands;
  const bool json = TakeOption(files, "--json");
  if (files.size() != 1) {
    std::cerr << "vyr problems: expected [--json] PROJECT.cme\n";
    return kExitUsage;
  }
  editor::MissionDocument document;
  NoRecentFiles recent;
  if (editor::Status loaded = editor::LoadProject(document, recent, files[0]); !loaded) {
    std::cerr << "vyr problems: " << loaded.message << '\n';
    return kExitFailure;
  }
  const std::vector<editor::Problem> problems = editor::FindProblems(document, ParseInMemory);
  int errors = 0;
  Json list = Json::array();
  for (const editor::Problem& problem : problems) {
    const bool error = problem.severity == editor::Severity::kError;
    errors += error;
    const std::string path = editor::RecordPath(document, problem.record);
    const std::string field = problem.field ? std::string(editor::FieldLabel(*problem.field)) : std::string();
    if (json) {
      Json entry = {
          {"severity", error ? "error" : "warning"}, {"path", path}, {"record", RecordJson(problem.record)}};
      if (!field.empty()) entry["field"] = field;
      if (problem.line > 0) entry["line"] = problem.line;
      entry["message"] = problem.what;
      list.push_back(std::move(entry));
      continue;
    }
    std::cout << (error ? "error: " : "warning: ") << path;
    if (!field.empty()) std::cout << ", " << field;
    if (problem.line > 0) std::cout << ", line " << problem.line;
    std::cout << ": " << problem.what << '\n';
  }
  if (json) {
    const Json out = {{"errors", errors},
                      {"warnings", static_cast<int>(problems.size()) - errors},
                      {"problems", std::move(list)}};
    std::cout << out.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
  }
  return errors > 0 ? kExitParseProblem : kExitOk;
}

}  // namespace vyr::tool
