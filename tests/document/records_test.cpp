#include "editor/document/records.h"

#include <gtest/gtest.h>

namespace vyr::editor {

TEST(Records, NewAreaKeepsUnterminatedDefaults) {
  AreaRecord area;
  EXPECT_EQ(area.area_locations, "[none]");
  EXPECT_EQ(area.area_style, "open");
}

}  // namespace vyr::editor
