// make_desktop_files DATA_ROOT: writes the installed desktop entry and the two shared-mime-info packages
// below DATA_ROOT (applications/, mime/packages/), from the same functions the per-user association uses.
#include <iostream>
#include <string>

#include "editor/document/paths.h"
#include "editor/launch/file_associations.h"
#include "platform/atomic_file.h"

namespace {

bool Write(const std::string& path, const std::string& text) {
  const platform::Status written = platform::WriteFileAtomically(path, text);
  if (!written) std::cerr << "make_desktop_files: " << written.message << '\n';
  return written.ok;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vyr::editor;
  if (argc != 2) {
    std::cerr << "usage: make_desktop_files DATA_ROOT\n";
    return 2;
  }
  const std::string root = argv[1];
  const std::string applications = JoinPath(root, "applications");
  const std::string packages = JoinPath(root, "mime/packages");
  for (const std::string& folder : {applications, packages}) {
    if (Status made = EnsureFolder(folder); !made) {
      std::cerr << "make_desktop_files: " << made.message << '\n';
      return 1;
    }
  }
  // Installed, the program is found on PATH and the icon in the icon theme, both by name.
  const DesktopIntegration integration{root, "vyr-mission-editor", "vyr-mission-editor"};
  const auto entry =
      DesktopEntryText(integration, {AssociatedFile::kMissionScript, AssociatedFile::kMissionProject});
  if (!entry || !Write(JoinPath(applications, kDesktopEntryName), *entry)) return 1;
  for (AssociatedFile file : {AssociatedFile::kMissionScript, AssociatedFile::kMissionProject}) {
    if (!Write(JoinPath(packages, MimePackageFileName(file)), MimePackageText(file))) return 1;
  }
  return 0;
}
