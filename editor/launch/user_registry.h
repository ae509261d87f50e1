// The association entries written into the user's registry file (the stand-in for HKEY_CLASSES_ROOT),
// and the two registration steps the editor runs: .cme at every start, both types on request.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "editor/launch/file_associations.h"
#include "platform/registry.h"

namespace vyr::editor {

// Writes each entry on its own, so a failed write leaves that entry as it was and the rest still go in.
// Only HKEY_CLASSES_ROOT is written to; the sub-key's leading backslash is dropped.
class UserRegistryWriter : public RegistryWriter {
 public:
  explicit UserRegistryWriter(platform::Registry registry) : registry_(std::move(registry)) {}

  void SetStringValue(std::uint32_t root, const std::string& sub_key, const std::string& value_name,
                      const std::string& text) override;
  void SetDwordValue(std::uint32_t root, const std::string& sub_key, const std::string& value_name,
                     std::uint32_t number) override;

  // What went wrong with writes so far, one line each (for a log; the user is not told).
  const std::vector<std::string>& failures() const { return failures_; }

 private:
  platform::Registry registry_;
  std::vector<std::string> failures_;
};

// Everything one registration needs: the registry table and its freedesktop form.
struct AssociationTargets {
  RegistryWriter& registry;
  std::string app_folder;  // the editor program's folder
  DesktopIntegration desktop;
  ToolRunner& tools;
};

// Start-up: the project file type always points at the copy of the editor that ran last.
Status RegisterProjectFileType(AssociationTargets& targets, std::vector<std::string>* notes = nullptr);
// The settings window's button: mission scripts, then mission projects.
Status RegisterMissionFileTypes(AssociationTargets& targets, std::vector<std::string>* notes = nullptr);

// The running program's full path (from /proc/self/exe), or "" when it cannot be found.
std::string CurrentProgramPath();

}  // namespace vyr::editor
