// The type library's registry entries where the system has no type library support: the keys that
// RegisterTypeLib writes on Windows, written from the compiled-in description.
#include <sys/stat.h>

#include <filesystem>
#include <mutex>

#include "platform/registry.h"
#include "vyrparser/automation/ivyrmission.h"
#include "vyrparser/automation/type_library.h"

namespace vyr::automation {
namespace {

// The registry's subkeys for the module of the type library: "<version>\<locale in hex>\<platform>".
constexpr const char* kTypeLibraryLocaleKey = "409";
constexpr const char* kTypeLibraryPlatformKey = "linux";

std::string TypeLibraryKey() {
  return "TypeLib\\" + platform::GuidToString(LIBID_VYRMISSIONLib);
}
std::string VersionKey() {
  return TypeLibraryKey() + "\\" + kTypeLibraryVersion;
}
std::string ModuleKey() {
  return VersionKey() + "\\" + kTypeLibraryLocaleKey + "\\" + kTypeLibraryPlatformKey;
}
std::string InterfaceKey(const platform::IID& iid = IID_IVYRMission) {
  return "Interface\\" + platform::GuidToString(iid);
}

void WriteTypeLibraryEntries(platform::RegistryTree& tree, const std::string& module_path) {
  const std::string help_dir = std::filesystem::path(module_path).parent_path().string();
  const std::string libid = platform::GuidToString(LIBID_VYRMISSIONLib);
  tree.SetString(VersionKey(), "", kTypeLibraryHelp);
  tree.SetString(ModuleKey(), "", module_path);
  tree.SetString(VersionKey() + "\\FLAGS", "", "0");
  tree.SetString(VersionKey() + "\\HELPDIR", "", help_dir);

  const std::string marshaler = platform::GuidToString(platform::CLSID_PSOAInterface);
  tree.SetString(InterfaceKey(), "", "IVYRMission");
  tree.SetString(InterfaceKey() + "\\ProxyStubClsid", "", marshaler);
  tree.SetString(InterfaceKey() + "\\ProxyStubClsid32", "", marshaler);
  tree.SetString(InterfaceKey() + "\\TypeLib", "", libid);
  tree.SetString(InterfaceKey() + "\\TypeLib", "Version", kTypeLibraryVersion);

  const std::string second = InterfaceKey(IID_IVYRMission2);
  tree.SetString(second, "", "IVYRMission2");
  tree.SetString(second + "\\ProxyStubClsid", "", marshaler);
  tree.SetString(second + "\\ProxyStubClsid32", "", marshaler);
  tree.SetString(second + "\\TypeLib", "", libid);
  tree.SetString(second + "\\TypeLib", "Version", kTypeLibraryVersion);
}

void RemoveTypeLibraryEntries(platform::RegistryTree& tree) {
  tree.DeleteTree(VersionKey());
  if (tree.KeyExists(TypeLibraryKey()) && tree.SubKeyNames(TypeLibraryKey()).empty()) {
    tree.DeleteTree(TypeLibraryKey());
  }
  tree.DeleteTree(InterfaceKey());
  tree.DeleteTree(InterfaceKey(IID_IVYRMission2));
}

}  // namespace

bool TypeLibraryRegistered() {
  // Every late-bound call asks; the answer is read again only when the registry file was replaced
  // (every write renames a new file into place) or changed.
  struct Seen {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    bool registered = false;
  };
  static std::mutex mutex;
  static Seen seen;
  const platform::Registry registry = platform::Registry::Default();
  struct stat info {};
  const bool exists = ::stat(registry.Path().c_str(), &info) == 0;
  std::lock_guard<std::mutex> lock(mutex);
  if (exists && seen.path == registry.Path() && seen.device == info.st_dev && seen.inode == info.st_ino &&
      seen.size == info.st_size && seen.modified.tv_sec == info.st_mtim.tv_sec &&
      seen.modified.tv_nsec == info.st_mtim.tv_nsec) {
    return seen.registered;
  }
  platform::RegistryTree tree;
  bool registered = false;
  if (registry.Load(&tree)) {
    const auto module = tree.QueryString(ModuleKey(), "");
    registered = module.has_value() && !module->empty();
  }
  if (exists) {
    seen = Seen{registry.Path(), info.st_dev, info.st_ino, info.st_size, info.st_mtim, registered};
  } else {
    seen = Seen{};
  }
  return registered;
}

platform::HRESULT RegisterTypeLibrary(const std::string& module_path) {
  platform::Registry registry = platform::Registry::Default();
  const platform::Status written =
      registry.Update([&](platform::RegistryTree& tree) { WriteTypeLibraryEntries(tree, module_path); });
  return written ? platform::S_OK : platform::SELFREG_E_TYPELIB;
}

platform::HRESULT UnregisterTypeLibrary() {
  platform::Registry registry = platform::Registry::Default();
  return registry.Update(RemoveTypeLibraryEntries) ? platform::S_OK : platform::SELFREG_E_TYPELIB;
}

}  // namespace vyr::automation
