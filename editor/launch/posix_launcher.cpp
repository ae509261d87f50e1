#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "editor/launch/launcher.h"

extern char** environ;

namespace vyr::editor {

namespace {

struct SpawnResult {
  pid_t pid = -1;
  int error = 0;
};

// Spawns with stdin and stdout from/to /dev/null (and stderr too when `quiet`); `working_folder`
// empty keeps ours. A program name without "/" is looked up in PATH.
SpawnResult Spawn(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& working_folder, bool new_session, bool quiet) {
  std::vector<std::string> args_text;
  args_text.reserve(arguments.size() + 1);
  args_text.push_back(program);
  args_text.insert(args_text.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& text : args_text)
    argv.push_back(text.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  if (quiet) posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  if (!working_folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, working_folder.c_str());

  // The child starts with default signal handling and an empty mask whatever the editor has set.
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (new_session) flags |= POSIX_SPAWN_SETSID;
  posix_spawnattr_setflags(&attributes, flags);
  sigset_t empty;
  sigemptyset(&empty);
  posix_spawnattr_setsigmask(&attributes, &empty);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGCHLD);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGTERM);
  posix_spawnattr_setsigdefault(&attributes, &defaults);

  SpawnResult result;
  bool search_path = program.find('/') == std::string::npos;
  result.error = search_path
                     ? posix_spawnp(&result.pid, program.c_str(), &actions, &attributes, argv.data(), environ)
                     : posix_spawn(&result.pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return result;
}

std::string StartError(const std::string& program, const std::string& working_folder, int error) {
  std::string text = "Cannot start " + program;
  if (!working_folder.empty()) text += " in " + working_folder;
  return text + ": " + std::strerror(error);
}

}  // namespace

Status PosixLauncher::OpenTextFile(const std::string& path) {
  SpawnResult spawned = Spawn(text_viewer_, {path}, "", /*new_session=*/true, /*quiet=*/false);
  if (spawned.error != 0) return Status::Error(StartError(text_viewer_, "", spawned.error));
  // The desktop's opener ends at once, and unsuccessfully, when no program shows the file; one that
  // found a program hands over or keeps running. So a short look tells a failure without waiting for
  // the viewer to be closed.
  const auto deadline = std::chrono::steady_clock::now() + kViewerVerdictTime;
  for (;;) {
    int status = 0;
    const pid_t ended = waitpid(spawned.pid, &status, WNOHANG);
    if (ended == spawned.pid) {
      if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return Status::Ok();
      return Status::Error(WIFEXITED(status)
                               ? text_viewer_ + " ended with exit code " + std::to_string(WEXITSTATUS(status))
                               : text_viewer_ + " was ended by signal " + std::to_string(WTERMSIG(status)));
    }
    if (ended < 0 && errno != EINTR) return Status::Ok();  // nothing to wait for: no verdict either
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::thread([pid = spawned.pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return Status::Ok();
}

Status PosixLauncher::StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                                   const std::string& working_folder) {
  SpawnResult spawned = Spawn(program, arguments, working_folder, /*new_session=*/true, /*quiet=*/false);
  if (spawned.error != 0) return Status::Error(StartError(program, working_folder, spawned.error));
  // We never wait for the program, but someone must collect its exit status.
  std::thread([pid = spawned.pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return Status::Ok();
}

RunResult RunAndWait(const std::string& program, const std::vector<std::string>& arguments) {
  RunResult result;
  SpawnResult spawned = Spawn(program, arguments, "", /*new_session=*/false, /*quiet=*/true);
  if (spawned.error != 0) {
    result.message = StartError(program, "", spawned.error);
    return result;
  }
  result.started = true;
  int status = 0;
  pid_t waited;
  while ((waited = waitpid(spawned.pid, &status, 0)) < 0 && errno == EINTR) {
  }
  if (waited < 0) {
    result.message = program + ": " + std::strerror(errno);
  } else if (WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
    if (result.exit_code != 0)
      result.message = program + " ended with exit code " + std::to_string(result.exit_code);
  } else {
    result.message = program + " was ended by signal " + std::to_string(WTERMSIG(status));
  }
  return result;
}

}  // namespace vyr::editor
