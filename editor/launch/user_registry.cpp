#include "editor/launch/user_registry.h"

#include <filesystem>
#include <system_error>

namespace vyr::editor {

namespace {

std::string_view WithoutLeadingBackslash(std::string_view sub_key) {
  if (!sub_key.empty() && sub_key.front() == '\\') sub_key.remove_prefix(1);
  return sub_key;
}

}  // namespace

void UserRegistryWriter::SetStringValue(std::uint32_t root, const std::string& sub_key,
                                        const std::string& value_name, const std::string& text) {
  if (root != kHkeyClassesRoot) return;
  bool written = false;
  platform::Status status = registry_.Update([&](platform::RegistryTree& tree) {
    written = tree.SetString(WithoutLeadingBackslash(sub_key), value_name, text);
  });
  if (!status) {
    failures_.push_back(status.message);
  } else if (!written) {
    failures_.push_back("Cannot write the value \"" + value_name + "\" of " + sub_key);
  }
}

void UserRegistryWriter::SetDwordValue(std::uint32_t root, const std::string& sub_key,
                                       const std::string& value_name, std::uint32_t number) {
  if (root != kHkeyClassesRoot) return;
  bool written = false;
  platform::Status status = registry_.Update([&](platform::RegistryTree& tree) {
    written = tree.SetNumber(WithoutLeadingBackslash(sub_key), value_name, number);
  });
  if (!status) {
    failures_.push_back(status.message);
  } else if (!written) {
    failures_.push_back("Cannot write the value \"" + value_name + "\" of " + sub_key);
  }
}

Status RegisterProjectFileType(AssociationTargets& targets, std::vector<std::string>* notes) {
  RegisterCmeFiles(targets.registry, targets.app_folder);
  return InstallFileAssociation(AssociatedFile::kMissionProject, targets.desktop, targets.tools, notes);
}

Status RegisterMissionFileTypes(AssociationTargets& targets, std::vector<std::string>* notes) {
  RegisterVyrFiles(targets.registry, targets.app_folder);
  RegisterCmeFiles(targets.registry, targets.app_folder);
  Status script =
      InstallFileAssociation(AssociatedFile::kMissionScript, targets.desktop, targets.tools, notes);
  if (!script) return script;
  return InstallFileAssociation(AssociatedFile::kMissionProject, targets.desktop, targets.tools, notes);
}

std::string CurrentProgramPath() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

}  // namespace vyr::editor
