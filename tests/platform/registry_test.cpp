#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "scratch_folder.h"
#include "tests/lib_test_support.h"

using namespace platform;

namespace {

using TempFolder = ScratchFolder;

TEST(RegistryTree, KeysAndValuesIgnoreCaseButKeepTheirSpelling) {
  RegistryTree tree;
  EXPECT_TRUE(tree.SetString("CLSID\\{ABC}\\InprocServer32", "", "/lib/x.so"));
  EXPECT_TRUE(tree.KeyExists("clsid\\{abc}"));
  EXPECT_EQ(tree.QueryString("clsid\\{ABC}\\inprocserver32", ""), "/lib/x.so");
  tree.SetString("Clsid\\{abc}", "Name", "first");
  tree.SetString("CLSID\\{ABC}", "NAME", "second");  // same value, replaced
  EXPECT_EQ(tree.ValueNames("CLSID\\{ABC}"), std::vector<std::string>{"Name"});
  EXPECT_EQ(tree.QueryString("CLSID\\{ABC}", "name"), "second");
  EXPECT_EQ(tree.SubKeyNames(""), std::vector<std::string>{"CLSID"});
  // A number is not a string and the other way round.
  tree.SetNumber("CLSID\\{ABC}", "Flags", 7);
  EXPECT_EQ(tree.QueryNumber("CLSID\\{ABC}", "Flags"), 7u);
  EXPECT_FALSE(tree.QueryString("CLSID\\{ABC}", "Flags").has_value());
  EXPECT_FALSE(tree.QueryNumber("CLSID\\{ABC}", "Name").has_value());
  EXPECT_FALSE(tree.QueryString("CLSID\\{ABC}", "missing").has_value());
}

TEST(RegistryTree, RejectsBadPaths) {
  RegistryTree tree;
  for (const char* bad : {"a\\\\b", "\\a", "a\\", "a]b", "a\nb"}) {
    EXPECT_FALSE(tree.CreateKey(bad)) << bad;
    EXPECT_FALSE(tree.SetString(bad, "", "x")) << bad;
  }
  EXPECT_TRUE(tree.CreateKey(""));  // the root always exists
  EXPECT_FALSE(tree.DeleteTree(""));
  EXPECT_EQ(tree, RegistryTree());
}

TEST(RegistryTree, DeleteTreeRemovesEverythingBelowAndKeepsTheParent) {
  RegistryTree tree;
  tree.SetString("CLSID\\{A}\\InprocServer32", "", "x");
  tree.CreateKey("CLSID\\{A}\\Programmable");
  tree.SetString("CLSID\\{B}", "", "other");
  EXPECT_TRUE(tree.DeleteTree("clsid\\{a}"));
  EXPECT_FALSE(tree.KeyExists("CLSID\\{A}\\Programmable"));
  EXPECT_TRUE(tree.KeyExists("CLSID"));
  EXPECT_EQ(tree.QueryString("CLSID\\{B}", ""), "other");
  EXPECT_FALSE(tree.DeleteTree("CLSID\\{A}"));
  EXPECT_FALSE(tree.DeleteTree("nothing\\here"));
  EXPECT_TRUE(tree.DeleteValue("CLSID\\{B}", ""));
  EXPECT_FALSE(tree.DeleteValue("CLSID\\{B}", ""));
}

TEST(RegistryTree, SerializesByteForByte) {
  RegistryTree tree;
  tree.SetString("b", "", "two");
  tree.SetString("A\\Sub", "", "C:\\path with \"quotes\"");
  tree.SetNumber("A\\Sub", "Flags", 0xABCDEF01u);
  tree.CreateKey("A\\Empty");
  EXPECT_EQ(tree.Serialize(),
            "Windows Registry Editor Version 5.00\n"
            "\n"
            "[HKEY_CLASSES_ROOT\\A]\n"
            "\n"
            "[HKEY_CLASSES_ROOT\\A\\Empty]\n"
            "\n"
            "[HKEY_CLASSES_ROOT\\A\\Sub]\n"
            "@=\"C:\\\\path with \\\"quotes\\\"\"\n"
            "\"Flags\"=dword:abcdef01\n"
            "\n"
            "[HKEY_CLASSES_ROOT\\b]\n"
            "@=\"two\"\n"
            "\n");
}

TEST(RegistryTree, RoundTripsAwkwardText) {
  RegistryTree tree;
  tree.SetString("k", "name with \"quote\" and \\", "line\nbreak\r and \xC3\xA9 and ] and =");
  tree.SetString("k", "", "");
  tree.SetNumber("k", "zero", 0);
  tree.SetNumber("k", "max", 0xFFFFFFFFu);
  tree.SetString("", "rootvalue", "r");
  std::string error;
  const auto back = RegistryTree::Parse(tree.Serialize(), &error);
  ASSERT_TRUE(back.has_value()) << error;
  EXPECT_EQ(*back, tree);
}

TEST(RegistryTree, ParseReportsTheLineOfTheFault) {
  const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";  // CR LF is accepted
  struct Case {
    std::string text;
    std::string error;
  } cases[] = {
      {"", "line 1: expected the header \"Windows Registry Editor Version 5.00\""},
      {"REGEDIT4\n", "line 1: expected the header \"Windows Registry Editor Version 5.00\""},
      {header + "@=\"x\"\n", "line 3: a value before any key"},
      {header + "[HKEY_CLASSES_ROOT\\a\n", "line 3: a key line must end with ']'"},
      {header + "[HKEY_CURRENT_USER\\a]\n",
       "line 3: key outside HKEY_CLASSES_ROOT: \"HKEY_CURRENT_USER\\a\""},
      {header + "[HKEY_CLASSES_ROOT\\a\\\\b]\n", "line 3: bad key name \"HKEY_CLASSES_ROOT\\a\\\\b\""},
      {header + "[HKEY_CLASSES_ROOT\\a]\n@=\"open\n", "line 4: unterminated string"},
      {header + "[HKEY_CLASSES_ROOT\\a]\n\n\"n\"=\"\\t\"\n", "line 5: unknown escape '\\t'"},
      {header + "[HKEY_CLASSES_ROOT\\a]\n\"n\"\"x\"\n", "line 4: expected '=' after the value name"},
      {header + "[HKEY_CLASSES_ROOT\\a]\n@=dword:123456789\n", "line 4: bad dword \"123456789\""},
      {header + "[HKEY_CLASSES_ROOT\\a]\n@=hex:00\n", "line 4: a value is a quoted string or dword:XXXXXXXX"},
      {header + "[HKEY_CLASSES_ROOT\\a]\n@=\"x\" trailing\n", "line 4: text after the value"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(RegistryTree::Parse(c.text, &error).has_value()) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
  std::string error;
  std::string with_bom = "\xEF\xBB\xBF";
  with_bom.append(header).append("; comment\n[HKEY_CLASSES_ROOT]\n@=\"root\"\n");
  const auto ok = RegistryTree::Parse(with_bom, &error);
  ASSERT_TRUE(ok.has_value()) << error;
  EXPECT_EQ(ok->QueryString("", ""), "root");
}

TEST_F(TempFolder, MissingFileReadsEmptyAndUpdateCreatesFolders) {
  Registry registry(At("deep/er/registry.reg"));
  RegistryTree tree;
  tree.SetString("x", "", "stale");
  ASSERT_TRUE(registry.Load(&tree));
  EXPECT_EQ(tree, RegistryTree());
  ASSERT_TRUE(registry.Update([](RegistryTree& t) { t.SetString("Key", "", "value"); }));
  ASSERT_TRUE(registry.Load(&tree));
  EXPECT_EQ(tree.QueryString("key", ""), "value");
  // Nothing but the data and the lock file is left behind: the temporary file was renamed.
  EXPECT_EQ(Entries(At("deep/er")), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST_F(TempFolder, AnUnreadableFileIsNeverOverwritten) {
  const std::string path = At("registry.reg");
  const std::string damaged = "Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\a]\n@=oops\n";
  Spit("registry.reg", damaged);
  Registry registry(path);
  bool edited = false;
  const Status status = registry.Update([&](RegistryTree&) { edited = true; });
  EXPECT_FALSE(status.ok);
  EXPECT_EQ(status.message, "registry file " + path +
                                ", line 4: a value is a quoted string or dword:XXXXXXXX; left unchanged");
  EXPECT_FALSE(edited);
  EXPECT_EQ(Slurp("registry.reg"), damaged);
  RegistryTree tree;
  const Status load = registry.Load(&tree);
  EXPECT_FALSE(load.ok);
  EXPECT_NE(load.message.find("line 4"), std::string::npos);

  // A huge damaged file is read up to its first bad line; its content is quoted shortly.
  Spit("registry.reg", "Windows Registry Editor Version 5.00\n[" + std::string(5000, 'k') + "]\n");
  std::filesystem::resize_file(path, std::uint64_t{1} << 30);
  const Status huge = registry.Load(&tree);
  EXPECT_NE(huge.message.find("line 2: key outside HKEY_CLASSES_ROOT: \"kkk"), std::string::npos)
      << huge.message;
  EXPECT_LT(huge.message.size(), 200u + path.size());
}

TEST_F(TempFolder, AnUnchangedTreeDoesNotRewriteTheFile) {
  const std::string path = At("registry.reg");
  Registry registry(path);
  ASSERT_TRUE(registry.Update([](RegistryTree& t) { t.SetString("a", "", "1"); }));
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  ASSERT_TRUE(registry.Update([](RegistryTree& t) { t.SetString("A", "", "1"); }));
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);  // a rewrite would have renamed a new file in
}

TEST_F(TempFolder, AFailedWriteKeepsTheOldFile) {
  const std::string path = At("registry.reg");
  Registry registry(path);
  ASSERT_TRUE(registry.Update([](RegistryTree& t) { t.SetString("a", "", "kept"); }));
  const std::string before = Slurp("registry.reg");
  const int status = InChild(false, [&] {
    LimitFileSize(200);  // the write of a bigger tree fails half way
    const Status status =
        registry.Update([](RegistryTree& t) { t.SetString("a", "", std::string(1000, 'x')); });
    return !status.ok && status.message.rfind(path + ": cannot write the file: ", 0) == 0;
  });
  EXPECT_TRUE(ExitedWell(status));
  EXPECT_EQ(Slurp("registry.reg"), before);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));  // no temporary
}

std::string WriterKey(int process, int write) {
  std::string key = "P";
  key.append(std::to_string(process)).append("\\K").append(std::to_string(write));
  return key;
}

TEST_F(TempFolder, ProcessesWritingAtOnceLoseNothing) {
  const std::string path = At("registry.reg");
  constexpr int kProcesses = 4;
  constexpr int kWrites = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Registry registry(path);
      for (int i = 0; i < kWrites; ++i) {
        const std::string key = WriterKey(p, i);
        if (!registry.Update(
                [&](RegistryTree& t) { t.SetNumber(key, "n", static_cast<std::uint32_t>(i)); })) {
          ::_exit(1);
        }
      }
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  RegistryTree tree;
  ASSERT_TRUE(Registry(path).Load(&tree));
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < kWrites; ++i) {
      EXPECT_EQ(tree.QueryNumber(WriterKey(p, i), "n"), static_cast<std::uint32_t>(i));
    }
  }
}

TEST(RegistryDefault, FollowsTheEnvironment) {
  ::vyr::testing::ScopedEnv env;
  env.Set("VYR_REGISTRY_FILE", "/some/where.reg");
  EXPECT_EQ(Registry::Default().Path(), "/some/where.reg");
  env.Set("VYR_REGISTRY_FILE", nullptr);
  env.Set("XDG_DATA_HOME", "/xdg");
  EXPECT_EQ(Registry::Default().Path(), "/xdg/vyr/registry.reg");
  env.Set("XDG_DATA_HOME", "relative");  // not absolute: ignored, as XDG asks
  env.Set("HOME", "/home/u");
  EXPECT_EQ(Registry::Default().Path(), "/home/u/.local/share/vyr/registry.reg");
}

}  // namespace
