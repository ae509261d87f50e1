// Starting other programs without waiting for them: the text editor for previews and logs, the game
// for a quick run. The GUI starts them with Qt; the core has a POSIX implementation of its own.
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "editor/document/status.h"

namespace vyr::editor {

class Launcher {
 public:
  virtual ~Launcher() = default;

  // Shows a text file with the desktop's handler for it. Does not wait for the viewer; an error means
  // no viewer could be started for the file.
  virtual Status OpenTextFile(const std::string& path) = 0;

  // Starts `program` with `arguments` (not including the program itself) in `working_folder`.
  // Does not wait and does not look at how the program ends; an error means it could not be started.
  virtual Status StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                              const std::string& working_folder) = 0;
};

// Starts programs with posix_spawn in a session of their own; each started program is reaped when it
// ends so none lingers as a zombie. Text files open with `text_viewer` (xdg-open by default); a viewer
// that ends unsuccessfully within kViewerVerdictTime found no program for the file.
class PosixLauncher : public Launcher {
 public:
  static constexpr std::chrono::milliseconds kViewerVerdictTime{1500};

  explicit PosixLauncher(std::string text_viewer = "xdg-open") : text_viewer_(std::move(text_viewer)) {}

  Status OpenTextFile(const std::string& path) override;
  Status StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& working_folder) override;

 private:
  std::string text_viewer_;
};

// Runs a program and waits for it, with its output discarded. Returns its exit code, or an error when
// it could not be started (for example, not installed) or ended by a signal.
struct RunResult {
  bool started = false;
  int exit_code = -1;
  std::string message;
};
RunResult RunAndWait(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace vyr::editor
