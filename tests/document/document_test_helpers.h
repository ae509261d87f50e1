// Small builders and views shared by the document tests.
#pragma once

#include <string>
#include <vector>

#include "editor/document/project_tree.h"
#include "tests/editor_test_support.h"

namespace vyr::editor::testing {

// Every byte from 0x80 to 0xFF once, in order.
inline std::string HighBytes() {
  std::string high;
  for (int b = 0x80; b <= 0xFF; ++b)
    high += static_cast<char>(b);
  return high;
}

// The text cut after each of its CR LF lines but the last: element k-1 holds the first k lines.
inline std::vector<std::string> CutsAfterEachLine(const std::string& bytes) {
  std::vector<std::string> cuts;
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
    cuts.push_back(bytes.substr(0, at + 2));
  if (!cuts.empty()) cuts.pop_back();
  return cuts;
}

// `forces` forces named "force<n>", each with `teams` teams of `actors` default actors.
inline void AddForces(MissionDocument& doc, int forces, int teams, int actors) {
  for (int f = 0; f < forces; ++f) {
    const int force = doc.force_count();
    ASSERT_TRUE(doc.AddForce(Numbered("force", f), ""));
    for (int t = 0; t < teams; ++t) {
      ASSERT_TRUE(doc.AddTeam(force, Numbered("team", t), "", ""));
      for (int a = 0; a < actors; ++a)
        ASSERT_TRUE(doc.AddActor(force, t, ActorRecord{}));
    }
  }
}

// A file dialog as "kind | title | filter | directory | proposed name".
inline std::string DialogText(const ScriptedUi::Dialog& dialog) {
  const FileDialogRequest& r = dialog.request;
  return dialog.kind + " | " + r.title + " | " + r.filter + " | " + r.directory + " | " + r.file_name;
}

// Window events as "closed <slot>" or "reindexed <slot> to <node index>", joined by "; ".
inline std::string EventsText(const std::vector<WindowEvent>& events) {
  std::string text;
  for (const WindowEvent& e : events) {
    if (!text.empty()) text += "; ";
    text += (e.change == WindowChange::kClosed ? "closed " : "reindexed ") + std::to_string(e.slot);
    if (e.change == WindowChange::kReindexed) text += " to " + std::to_string(e.node_index);
  }
  return text;
}

}  // namespace vyr::editor::testing
