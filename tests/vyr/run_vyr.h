// Runs the built vyr program and captures what it prints.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/lib_test_support.h"

namespace vyr::testing {

struct ToolRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs `program` and captures what it writes; `environment` ("NAME=value") is set for it alone.
inline ToolRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& environment = "", const std::string& stdout_to = "") {
  namespace fs = std::filesystem;
  static int run_number = 0;
  const fs::path capture = fs::temp_directory_path() / ("vyr_tool_run_" + std::to_string(::getpid()) + "_" +
                                                        std::to_string(run_number++));
  std::string command = environment.empty() ? std::string() : "env " + ShellQuote(environment) + ' ';
  command += ShellQuote(program);
  for (const std::string& argument : arguments) {
    command += ' ';
    command += ShellQuote(argument);
  }
  command += " >";
  command += stdout_to.empty() ? ShellQuote(capture.string() + ".out") : stdout_to;
  command += " 2>";
  command += ShellQuote(capture.string() + ".err");
  const int status = std::system(command.c_str());
  ToolRun run;
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadFileBytes(capture.string() + ".out");
  run.err = ReadFileBytes(capture.string() + ".err");
  fs::remove(capture.string() + ".out");
  fs::remove(capture.string() + ".err");
  return run;
}

// Runs vyr and captures what it writes; `stdout_to` ("/dev/full", "&-" to close it) sends its standard
// output there instead.
inline ToolRun RunVyr(const std::vector<std::string>& arguments, const std::string& stdout_to = "") {
  return RunProgram(std::string(VYR_BIN_DIR) + "/vyr", arguments, "", stdout_to);
}

}  // namespace vyr::testing
