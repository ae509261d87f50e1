#include "platform/read_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/registry.h"
#include "scratch_folder.h"

using platform::kPathExcerpt;
using platform::PathExcerpt;
using platform::ReadFault;
using platform::ReadFileBytes;
using platform::ReadResult;

namespace {

using ReadFile = ScratchFolder;

TEST_F(ReadFile, ReadsEveryByteUpToTheLimitAndNoMore) {
  const std::string ten("a\0b\r\n\xFF\x00xyz", 10);
  Spit("ten", ten);
  std::string bytes = "left over";
  ASSERT_TRUE(ReadFileBytes(At("ten"), bytes, 10));
  EXPECT_EQ(bytes, ten);

  const ReadResult over = ReadFileBytes(At("ten"), bytes, 9);
  EXPECT_EQ(over.fault, ReadFault::kTooLarge);
  EXPECT_EQ(over.reason, "cannot open the file: it is larger than 9 bytes");
  EXPECT_TRUE(bytes.empty()) << "nothing of a refused file is handed out";

  // A /proc file reports no size: the limit holds against what is read.
  EXPECT_EQ(ReadFileBytes("/proc/self/status", bytes, 16).fault, ReadFault::kTooLarge);
  ASSERT_TRUE(ReadFileBytes("/proc/self/status", bytes, 1 << 20));
  EXPECT_EQ(bytes.rfind("Name:", 0), 0u);

  Spit("empty", "");
  bytes = "left over";
  EXPECT_TRUE(ReadFileBytes(At("empty"), bytes, 0));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(ReadFile, SmallAndLargeReadsHandOutEveryByteOnceInOrder) {
  std::string content;
  for (int i = 0; content.size() < 300000; ++i)
    content += std::to_string(i) + (i % 7 ? " " : "\r\n");
  Spit("big", content);
  platform::FileReader reader;
  ASSERT_TRUE(reader.Open(At("big"), content.size()));
  std::string got;
  std::string buffer(200000, '\0');
  // Small reads fill the reader's own buffer; large ones start where the small ones stopped.
  for (const std::size_t size : {std::size_t{10}, std::size_t{100000}, std::size_t{3}, std::size_t{200000}}) {
    const std::ptrdiff_t n = reader.Read(buffer.data(), size);
    ASSERT_GT(n, 0);
    got.append(buffer.data(), static_cast<std::size_t>(n));
  }
  while (const std::ptrdiff_t n = reader.Read(buffer.data(), buffer.size())) {
    ASSERT_GT(n, 0);
    got.append(buffer.data(), static_cast<std::size_t>(n));
  }
  EXPECT_EQ(got, content);

  // Past the limit a large read hands out nothing and reports the fault.
  platform::FileReader limited;
  ASSERT_TRUE(limited.Open(At("big"), content.size()));
  Spit("big", content + "more");
  std::ptrdiff_t n = 0;
  while ((n = limited.Read(buffer.data(), buffer.size())) > 0) {
  }
  EXPECT_EQ(n, -1);
  EXPECT_EQ(limited.result().fault, ReadFault::kTooLarge);
}

TEST_F(ReadFile, TellsAMissingFileFromOneThatCannotBeRead) {
  std::string bytes;
  ReadResult read = ReadFileBytes(At("none"), bytes, 100);
  EXPECT_EQ(read.fault, ReadFault::kMissing);
  EXPECT_EQ(read.reason, "cannot open the file: No such file or directory");

  Spit("plain", "x");
  read = ReadFileBytes(At("plain/below"), bytes, 100);
  EXPECT_EQ(read.fault, ReadFault::kSystem) << "a path through a file is not a missing file";
  EXPECT_EQ(read.reason, "cannot open the file: Not a directory");

  read = ReadFileBytes(folder_, bytes, 100);
  EXPECT_EQ(read.fault, ReadFault::kFolder);
  EXPECT_EQ(read.reason, "cannot open the file: it is a folder");

  // Neither a named pipe without a writer nor an endless device may hang the reader.
  ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
  EXPECT_EQ(ReadFileBytes(At("pipe"), bytes, 100).fault, ReadFault::kNotRegularFile);
  read = ReadFileBytes("/dev/zero", bytes, 100);
  EXPECT_EQ(read.fault, ReadFault::kNotRegularFile);
  EXPECT_EQ(read.reason, "cannot open the file: it is not a regular file");
}

TEST_F(ReadFile, TheRegistryReportsAFileItCannotRead) {
  platform::RegistryTree tree;
  std::filesystem::create_directories(At("folder.reg"));
  const platform::Status status = platform::Registry(At("folder.reg")).Load(&tree);
  EXPECT_FALSE(status);
  EXPECT_EQ(status.message, At("folder.reg") + ": cannot open the file: it is a folder");
}

TEST(PathExcerpt, BytesThatAreNoUtf8CharacterShowAsEscapesAndALongNameIsCut) {
  EXPECT_EQ(PathExcerpt("/m/caf\xC3\xA9.cme"), "/m/caf\xC3\xA9.cme");
  EXPECT_EQ(PathExcerpt("/m/\xFF\xD8\x01x\xC3"), "/m/\\xFF\\xD8\\x01x\\xC3");
  EXPECT_EQ(PathExcerpt("/m/\xD7\x90\xFF"), "/m/\\xD7\\x90\\xFF") << "no text: no letters either";
  std::string binary;
  for (int i = 0; i < 3000; ++i)
    binary += static_cast<char>(0x80 + i % 0x40);
  const std::string quoted = PathExcerpt("/m/" + binary + ".mlc");
  EXPECT_LE(quoted.size(), kPathExcerpt);
  EXPECT_EQ(quoted.rfind("/m/\\x80\\x81", 0), 0u) << quoted;
  EXPECT_NE(quoted.find("..."), std::string::npos);
  EXPECT_TRUE(quoted.ends_with(".mlc")) << quoted;
  const std::string long_name = "/m/" + std::string(300, 'a') + "\xC3\xA9";
  EXPECT_TRUE(PathExcerpt(long_name).ends_with("a\xC3\xA9")) << "a character is never split";
}

}  // namespace
