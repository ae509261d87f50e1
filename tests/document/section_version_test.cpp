// The first line of a section file must be a version line; any version is read with today's layout.
#include <gtest/gtest.h>

#include "editor/document/section_files.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

TEST(SectionVersion, AFileNotBeginningWithAVersionLineIsRefusedWithItsNameAndLine) {
  ScratchFolder folder;
  for (Section section : kAllSections) {
    for (const std::string& first : {std::string("[V"), std::string(""), std::string("gate"),
                                     std::string("[VERSION ]"), std::string("[VERSION 0.2")}) {
      const std::string path = folder / ("cut" + std::string(TextsOf(section).extension));
      Spit(path, first + "\r\ngate\r\n\r\n 1 \r\n 2 \r\n 3 \r\n");
      MissionDocument doc;
      const Status read = ReadSection(doc, section, path);
      EXPECT_EQ(read.message, path +
                                  ":1: the first line is not a version line such as \"[VERSION 0.2]\"; "
                                  "the file was not read")
          << first;
      EXPECT_TRUE(doc.section_file(section).unnamed()) << first;
    }
  }
}

TEST(SectionVersion, AnyVersionIsReadWithTodaysLayout) {
  ScratchFolder folder;
  for (const std::string first : {"[VERSION 0.2]", "[VERSION 0.1]", "[VERSION 1.0 beta]"}) {
    Spit(folder / "l.mlc", first + "\r\ngate\r\n\r\n-64 \r\n 0 \r\n 128 \r\n");
    MissionDocument doc;
    ASSERT_TRUE(ReadSection(doc, Section::kLocations, folder / "l.mlc")) << first;
    ASSERT_EQ(doc.location_count(), 1) << first;
    EXPECT_EQ(doc.location(0).loc_x, -64);
  }
}

}  // namespace
}  // namespace vyr::editor
