// The file associations of mission scripts (.vyr) and mission projects (.cme): the Windows
// file-type entries, and their freedesktop form (a shared-mime-info package and a desktop entry).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/document/status.h"
#include "editor/launch/launcher.h"

namespace vyr::editor {

enum class AssociatedFile { kMissionScript, kMissionProject };  // .vyr, .cme

inline constexpr std::uint32_t kHkeyClassesRoot = 0x80000000;

struct RegistryEntry {
  enum class Kind { kString, kDword };
  std::string sub_key;     // below HKEY_CLASSES_ROOT, with its leading backslash
  std::string value_name;  // empty: the key's default value
  Kind kind = Kind::kString;
  std::string text;
  std::uint32_t number = 0;

  bool operator==(const RegistryEntry&) const = default;
};

// The nine entries of one file type, in the order they are written. `app_folder` is the folder of the
// editor's program (a trailing separator is dropped).
std::vector<RegistryEntry> FileAssociationEntries(AssociatedFile file, const std::string& app_folder);

// Where the entries go; failures are not reported, a failed write leaves that entry as it was.
class RegistryWriter {
 public:
  virtual ~RegistryWriter() = default;
  virtual void SetStringValue(std::uint32_t root, const std::string& sub_key, const std::string& value_name,
                              const std::string& text) = 0;
  virtual void SetDwordValue(std::uint32_t root, const std::string& sub_key, const std::string& value_name,
                             std::uint32_t number) = 0;
};

void RegisterVyrFiles(RegistryWriter& registry, const std::string& app_folder);
void RegisterCmeFiles(RegistryWriter& registry, const std::string& app_folder);

// ---- The freedesktop form, installed per user.

inline constexpr const char* kDesktopEntryName = "vyr-mission-editor.desktop";

struct DesktopIntegration {
  std::string data_home;  // the XDG data home; the files go below mime/packages and applications
  std::string program;    // the editor program's full path; the file to open follows it
  std::string icon;       // an icon name or full path; empty leaves the icon out
};

std::string MimeTypeOf(AssociatedFile file);
std::string MimePackageFileName(AssociatedFile file);
std::string MimePackageText(AssociatedFile file);

// The Exec value that starts `program` with the file, quoted and escaped for a desktop entry; nothing
// when the path holds characters a desktop entry cannot carry (control characters).
std::optional<std::string> DesktopExecValue(const std::string& program);
// The desktop entry announcing the editor as a handler of `files`.
std::optional<std::string> DesktopEntryText(const DesktopIntegration& integration,
                                            const std::vector<AssociatedFile>& files);

// Runs the freedesktop tools (and waits); the real one runs them from PATH.
class ToolRunner {
 public:
  virtual ~ToolRunner() = default;
  virtual RunResult Run(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

class SystemToolRunner : public ToolRunner {
 public:
  RunResult Run(const std::string& program, const std::vector<std::string>& arguments) override {
    return RunAndWait(program, arguments);
  }
};

// Writes the type's mime package and the desktop entry (which lists every type whose package is
// installed), then updates the mime and desktop databases and makes the editor the type's default
// handler. A missing or failing tool is no failure: it is noted in `notes` and the rest goes on.
// Only a file that cannot be written is an error.
Status InstallFileAssociation(AssociatedFile file, const DesktopIntegration& integration, ToolRunner& tools,
                              std::vector<std::string>* notes = nullptr);

}  // namespace vyr::editor
