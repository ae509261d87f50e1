// Helpers shared by the launch tests: a recording launcher and stand-ins for the generator and the
// parser library, besides the editor tests' own helpers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/launch/game_launch.h"
#include "editor/launch/launcher.h"
#include "tests/editor_test_support.h"

namespace vyr::editor::testing {

struct Started {
  std::string program;
  std::vector<std::string> arguments;
  std::string working_folder;
};

class RecordingLauncher : public Launcher {
 public:
  Status OpenTextFile(const std::string& path) override {
    opened.push_back(path);
    return result;
  }
  Status StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& working_folder) override {
    started.push_back({program, arguments, working_folder});
    return result;
  }

  Status result = Status::Ok();
  std::vector<std::string> opened;
  std::vector<Started> started;
};

// Stands in for the generator (writes a marker text, or fails) and for the library (a fixed verdict),
// and records what they were asked.
struct FakeTools {
  Status compile_status = Status::Ok();
  ParseOutcome outcome{true, 0, ""};
  std::vector<std::string> compiled;
  std::vector<std::string> parsed;

  CompileFunction Compile() {
    return [this](const std::string& file) {
      compiled.push_back(file);
      if (!compile_status) return compile_status;
      Spit(file, "mission\r\n{\r\n}\r\n");
      return Status::Ok();
    };
  }
  ParseFunction Parse() {
    return [this](const std::string& file) {
      parsed.push_back(file);
      return outcome;
    };
  }
};

// What every launch command test starts from; each adds the LaunchContext it needs.
struct LaunchTest : ::testing::Test {
  ScratchFolder data;
  ScriptedUi ui;
  RecordingLauncher launcher;
  FakeTools tools;
};

}  // namespace vyr::editor::testing
