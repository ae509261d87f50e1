#include "editor/launch/file_associations.h"

#include <filesystem>
#include <optional>

#include "editor/document/paths.h"
#include "platform/atomic_file.h"

namespace vyr::editor {

namespace {

constexpr const char* kDescription = "VYR Mission Script for AQ2";
constexpr const char* kContentType = "Application/VYR";

struct FileTypeNames {
  const char* extension_key;  // "\.vyr"
  const char* class_key;      // "\vyrfile"
  const char* class_name;     // "vyrfile"
  const char* pattern;        // "*.vyr"
};

FileTypeNames NamesOf(AssociatedFile file) {
  if (file == AssociatedFile::kMissionScript) return {"\\.vyr", "\\vyrfile", "vyrfile", "*.vyr"};
  return {"\\.cme", "\\cmefile", "cmefile", "*.cme"};
}

RegistryEntry Text(std::string sub_key, std::string value_name, std::string text) {
  return {std::move(sub_key), std::move(value_name), RegistryEntry::Kind::kString, std::move(text), 0};
}

void Write(RegistryWriter& registry, const std::vector<RegistryEntry>& entries) {
  for (const RegistryEntry& entry : entries) {
    if (entry.kind == RegistryEntry::Kind::kString) {
      registry.SetStringValue(kHkeyClassesRoot, entry.sub_key, entry.value_name, entry.text);
    } else {
      registry.SetDwordValue(kHkeyClassesRoot, entry.sub_key, entry.value_name, entry.number);
    }
  }
}

void Note(std::vector<std::string>* notes, std::string text) {
  if (notes) notes->push_back(std::move(text));
}

void RunTool(ToolRunner& tools, const std::string& program, const std::vector<std::string>& arguments,
             std::vector<std::string>* notes) {
  RunResult result = tools.Run(program, arguments);
  if (!result.started || result.exit_code != 0) Note(notes, result.message);
}

}  // namespace

std::vector<RegistryEntry> FileAssociationEntries(AssociatedFile file, const std::string& app_folder) {
  const FileTypeNames names = NamesOf(file);
  const std::string app = DropTrailingSeparator(app_folder);
  const std::string icon = app + "\\VYR-ME.ico";
  const std::string ext = names.extension_key;
  const std::string cls = names.class_key;
  return {
      Text(ext, "", names.class_name),
      Text(ext, "Content Type", kContentType),
      Text(cls, "", kDescription),
      {cls, "EditFlags", RegistryEntry::Kind::kDword, "", 0},
      Text(cls + "\\DefaultIcon", "", icon),
      Text(ext + "\\DefaultIcon", "", icon),
      Text(cls + "\\Shell", "", ""),
      Text(cls + "\\Shell\\Open", "", ""),
      Text(cls + "\\Shell\\Open\\command", "", app + "\\VYR Mission Editor.exe %1"),
  };
}

void RegisterVyrFiles(RegistryWriter& registry, const std::string& app_folder) {
  Write(registry, FileAssociationEntries(AssociatedFile::kMissionScript, app_folder));
}

void RegisterCmeFiles(RegistryWriter& registry, const std::string& app_folder) {
  Write(registry, FileAssociationEntries(AssociatedFile::kMissionProject, app_folder));
}

std::string MimeTypeOf(AssociatedFile file) {
  return file == AssociatedFile::kMissionScript ? "application/x-vyr-mission-script"
                                                : "application/x-vyr-mission-project";
}

std::string MimePackageFileName(AssociatedFile file) {
  return file == AssociatedFile::kMissionScript ? "vyr-mission-editor-vyr.xml" : "vyr-mission-editor-cme.xml";
}

std::string MimePackageText(AssociatedFile file) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  text += "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  text += "  <mime-type type=\"" + MimeTypeOf(file) + "\">\n";
  text += "    <comment>" + std::string(kDescription) + "</comment>\n";
  // Both are plain text files, so text editors are offered too.
  text += "    <sub-class-of type=\"text/plain\"/>\n";
  text += "    <glob pattern=\"" + std::string(NamesOf(file).pattern) + "\"/>\n";
  text += "  </mime-type>\n";
  text += "</mime-info>\n";
  return text;
}

std::optional<std::string> DesktopExecValue(const std::string& program) {
  // Quoted argument: ", `, $ and \ take a backslash; then the string-value escape doubles every
  // backslash, and % is a field code unless doubled.
  std::string value = "\"";
  for (char c : program) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) return std::nullopt;
    if (c == '"' || c == '`' || c == '$') {
      value += "\\\\";
      value += c;
    } else if (c == '\\') {
      value += "\\\\\\\\";
    } else if (c == '%') {
      value += "%%";
    } else {
      value += c;
    }
  }
  value += "\" %f";
  return value;
}

std::optional<std::string> DesktopEntryText(const DesktopIntegration& integration,
                                            const std::vector<AssociatedFile>& files) {
  auto exec = DesktopExecValue(integration.program);
  if (!exec) return std::nullopt;
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Version=1.0\n";
  text += "Name=VYR Mission Editor\n";
  text += "Comment=Edit bot missions for Action Quake 2\n";
  text += "Exec=" + *exec + "\n";
  if (!integration.icon.empty()) {
    for (char c : integration.icon) {
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
    }
    std::string icon;
    for (char c : integration.icon)
      icon += c == '\\' ? std::string("\\\\") : std::string(1, c);
    text += "Icon=" + icon + "\n";
  }
  text += "Terminal=false\n";
  text += "Categories=Game;\n";
  if (!files.empty()) {
    text += "MimeType=";
    for (AssociatedFile file : files)
      text += MimeTypeOf(file) + ";";
    text += "\n";
  }
  return text;
}

Status InstallFileAssociation(AssociatedFile file, const DesktopIntegration& integration, ToolRunner& tools,
                              std::vector<std::string>* notes) {
  const std::string mime_folder = JoinPath(integration.data_home, "mime");
  const std::string packages = JoinPath(mime_folder, "packages");
  const std::string applications = JoinPath(integration.data_home, "applications");
  if (Status made = EnsureFolder(packages); !made) return made;
  if (Status made = EnsureFolder(applications); !made) return made;

  if (Status written =
          platform::WriteFileAtomically(JoinPath(packages, MimePackageFileName(file)), MimePackageText(file));
      !written)
    return written;

  // The desktop entry names every type this user has associated so far, not only the new one.
  std::vector<AssociatedFile> installed;
  for (AssociatedFile each : {AssociatedFile::kMissionScript, AssociatedFile::kMissionProject}) {
    std::error_code error;
    if (std::filesystem::exists(JoinPath(packages, MimePackageFileName(each)), error))
      installed.push_back(each);
  }
  auto entry = DesktopEntryText(integration, installed);
  if (!entry)
    return Status::Error("The editor's path cannot be named in a desktop entry: " + integration.program);
  if (Status written = platform::WriteFileAtomically(JoinPath(applications, kDesktopEntryName), *entry);
      !written)
    return written;

  RunTool(tools, "update-mime-database", {mime_folder}, notes);
  RunTool(tools, "update-desktop-database", {applications}, notes);
  RunTool(tools, "xdg-mime", {"default", kDesktopEntryName, MimeTypeOf(file)}, notes);
  return Status::Ok();
}

}  // namespace vyr::editor
