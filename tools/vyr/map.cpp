#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "tools/vyr/subcommands.h"

extern char** environ;

namespace vyr::tool {
namespace {

// The vyr-map installed beside this program, else the one on PATH (empty: let the search decide).
std::string VyrMapBesideThisProgram() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  const std::filesystem::path beside = self.parent_path() / "vyr-map";
  return ::access(beside.c_str(), X_OK) == 0 ? beside.string() : std::string();
}

}  // namespace

// vyr map PROJECT.cme OUT.svg|OUT.png [--force NAME]: drawing needs Qt's widgets, which the editor's
// vyr-map program brings; it gets the operands and its exit status is this command's.
int RunMap(const Arguments& operands) {
  const std::string beside = VyrMapBesideThisProgram();
  const std::string program = beside.empty() ? std::string("vyr-map") : beside;
  // "--" first: vyr has already taken its own, and an operand such as "-h" stays a file name.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  char end_of_options[] = "--";
  argv.push_back(end_of_options);
  for (const std::string& operand : operands)
    argv.push_back(const_cast<char*>(operand.c_str()));
  argv.push_back(nullptr);

  std::cout.flush();
  std::cerr.flush();
  pid_t child = 0;
  const int spawned = beside.empty()
                          ? ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ)
                          : ::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (spawned != 0) {
    std::cerr
        << "vyr map: drawing maps needs vyr-map, installed with the editor (package vyr-mission-editor)\n";
    return kExitFailure;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      std::cerr << "vyr map: lost track of vyr-map: " << std::generic_category().message(errno) << '\n';
      return kExitFailure;
    }
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  std::cerr << "vyr map: vyr-map stopped by signal " << WTERMSIG(status) << '\n';
  return kExitFailure;
}

}  // namespace vyr::tool
