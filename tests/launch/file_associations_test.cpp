#include "editor/launch/file_associations.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/editor_test_support.h"
#include "tests/lib_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

struct Written {
  std::uint32_t root;
  std::string sub_key;
  std::string value_name;
  std::string value;  // text, or "dword:N"
  bool operator==(const Written&) const = default;
};

class RecordingRegistry : public RegistryWriter {
 public:
  void SetStringValue(std::uint32_t root, const std::string& sub_key, const std::string& value_name,
                      const std::string& text) override {
    writes.push_back({root, sub_key, value_name, text});
  }
  void SetDwordValue(std::uint32_t root, const std::string& sub_key, const std::string& value_name,
                     std::uint32_t number) override {
    writes.push_back({root, sub_key, value_name, "dword:" + std::to_string(number)});
  }
  std::vector<Written> writes;
};

TEST(FileAssociationEntries, BothTablesInOrder) {
  RecordingRegistry registry;
  RegisterVyrFiles(registry, "C:\\Program Files\\VYR\\");  // a trailing separator is dropped
  RegisterCmeFiles(registry, "C:\\Program Files\\VYR");
  const std::string icon = "C:\\Program Files\\VYR\\VYR-ME.ico";
  const std::string command = "C:\\Program Files\\VYR\\VYR Mission Editor.exe %1";
  const std::uint32_t r = 0x80000000;
  std::vector<Written> expected;
  for (const std::string ext : {"vyr", "cme"}) {  // the same nine rows for each extension
    const std::string dot = "\\." + ext, file = "\\" + ext + "file";
    expected.insert(expected.end(), {{r, dot, "", ext + "file"},
                                     {r, dot, "Content Type", "Application/VYR"},
                                     {r, file, "", "VYR Mission Script for AQ2"},
                                     {r, file, "EditFlags", "dword:0"},
                                     {r, file + "\\DefaultIcon", "", icon},
                                     {r, dot + "\\DefaultIcon", "", icon},
                                     {r, file + "\\Shell", "", ""},
                                     {r, file + "\\Shell\\Open", "", ""},
                                     {r, file + "\\Shell\\Open\\command", "", command}});
  }
  ASSERT_EQ(registry.writes.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(registry.writes[i], expected[i]) << "row " << i;
}

TEST(DesktopExecValue, QuotesAndEscapesThePath) {
  EXPECT_EQ(DesktopExecValue("/usr/bin/vyr-mission-editor"), "\"/usr/bin/vyr-mission-editor\" %f");
  EXPECT_EQ(DesktopExecValue("/opt/VYR Editor/run"), "\"/opt/VYR Editor/run\" %f");
  // $ " ` take a backslash inside quotes, every backslash is doubled again, and % is doubled.
  EXPECT_EQ(DesktopExecValue("/a$b\"c`d\\e%f"), R"("/a\\$b\\"c\\`d\\\\e%%f" %f)");
  EXPECT_EQ(DesktopExecValue("/bad\npath"), std::nullopt);
  EXPECT_EQ(DesktopExecValue("/bad\tpath"), std::nullopt);
}

class RecordingTools : public ToolRunner {
 public:
  RunResult Run(const std::string& program, const std::vector<std::string>& arguments) override {
    std::string line = program;
    for (const auto& argument : arguments)
      line += " " + argument;
    calls.push_back(line);
    if (program == missing) return {false, -1, "Cannot start " + program + ": No such file or directory"};
    return {true, 0, ""};
  }
  std::string missing;
  std::vector<std::string> calls;
};

bool Validates(const std::string& desktop_file, std::string* output) {
  if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) return true;
  std::string command = "desktop-file-validate '" + desktop_file + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return false;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe))
    *output += buffer;
  return pclose(pipe) == 0;
}

TEST(InstallFileAssociation, WritesPackagesAndEntryThenRunsTheTools) {
  ScratchFolder data;
  DesktopIntegration integration{data.str(), "/opt/VYR Mission Editor/bin/vyr-mission-editor",
                                 "/opt/VYR Mission Editor/share/VYR-ME.png"};
  RecordingTools tools;
  std::vector<std::string> notes;
  ASSERT_TRUE(InstallFileAssociation(AssociatedFile::kMissionProject, integration, tools, &notes));
  const std::string entry_path = data / "applications/vyr-mission-editor.desktop";
  EXPECT_NE(Slurp(entry_path).find("MimeType=application/x-vyr-mission-project;\n"), std::string::npos);
  EXPECT_NE(Slurp(entry_path).find("\nIcon=/opt/VYR Mission Editor/share/VYR-ME.png\n"), std::string::npos);
  EXPECT_NE(Slurp(data / "mime/packages/vyr-mission-editor-cme.xml").find("<glob pattern=\"*.cme\"/>"),
            std::string::npos);
  EXPECT_EQ(tools.calls, (std::vector<std::string>{
                             "update-mime-database " + data.str() + "/mime",
                             "update-desktop-database " + data.str() + "/applications",
                             "xdg-mime default vyr-mission-editor.desktop application/x-vyr-mission-project",
                         }));
  EXPECT_TRUE(notes.empty());

  // Registering .vyr later keeps .cme in the entry.
  ASSERT_TRUE(InstallFileAssociation(AssociatedFile::kMissionScript, integration, tools, &notes));
  EXPECT_NE(Slurp(entry_path)
                .find("MimeType=application/x-vyr-mission-script;application/x-vyr-mission-project;\n"),
            std::string::npos);
  std::string output;
  EXPECT_TRUE(Validates(entry_path, &output)) << output;
}

TEST(InstallFileAssociation, AMissingToolIsNotedAndAnUnwritableFolderIsAnError) {
  ScratchFolder data;
  RecordingTools tools;
  tools.missing = "update-desktop-database";
  std::vector<std::string> notes;
  DesktopIntegration integration{data.str(), "/usr/bin/vyr-mission-editor", ""};
  ASSERT_TRUE(InstallFileAssociation(AssociatedFile::kMissionScript, integration, tools, &notes));
  EXPECT_EQ(tools.calls.size(), 3u);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("update-desktop-database"), std::string::npos);

  tools.calls.clear();
  Spit(data / "file", "not a folder");
  integration.data_home = data / "file";
  const Status status = InstallFileAssociation(AssociatedFile::kMissionScript, integration, tools);
  EXPECT_NE(status.message.find(data / "file"), std::string::npos) << status.message;
  EXPECT_TRUE(tools.calls.empty());

  DesktopIntegration bad_program{data.str(), "/usr/bin/vyr\nx", ""};
  EXPECT_FALSE(InstallFileAssociation(AssociatedFile::kMissionScript, bad_program, tools));
}

TEST(InstallFileAssociation, RealToolsAcceptTheFiles) {
  if (std::system("command -v update-mime-database >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no shared-mime-info";
  ScratchFolder data;
  ScratchFolder config;
  // xdg-mime writes the default handler below the XDG config home: keep it away from the user's.
  const ::vyr::testing::ScopedEnv env("XDG_CONFIG_HOME", config.str());
  SystemToolRunner tools;
  DesktopIntegration integration{data.str(), "/usr/bin/vyr-mission-editor", ""};
  const Status status = InstallFileAssociation(AssociatedFile::kMissionScript, integration, tools);
  ASSERT_TRUE(status) << status.message;
  // The database update compiled our package into a type of its own.
  const std::string compiled = Slurp(data / "mime/application/x-vyr-mission-script.xml");
  EXPECT_NE(compiled.find("*.vyr"), std::string::npos) << compiled;
}

}  // namespace
}  // namespace vyr::editor
