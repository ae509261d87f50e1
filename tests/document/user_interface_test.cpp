#include "editor/document/user_interface.h"

#include <gtest/gtest.h>

#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

TEST(SaveDialogs, TheFiltersExtensionIsAddedToANameWithoutOne) {
  EXPECT_EQ(FilterExtension("Mission locations (*.mlc)|*.mlc"), ".mlc");
  EXPECT_EQ(FilterExtension("PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg"), ".png");
  EXPECT_EQ(FilterExtension("Scripts|*.vyr;*.txt"), ".vyr");
  EXPECT_EQ(FilterExtension("gamex86.dll|gamex86.dll"), "");
  EXPECT_EQ(FilterExtension("All files|*.*"), "");
  EXPECT_EQ(FilterExtension("All files|*"), "");
  EXPECT_EQ(FilterExtension(""), "");

  EXPECT_EQ(WithDefaultExtension("/m/harbour", ".mlc"), "/m/harbour.mlc");
  EXPECT_EQ(WithDefaultExtension("harbour", ".mlc"), "harbour.mlc");
  EXPECT_EQ(WithDefaultExtension("/m/harbour.mlc", ".mlc"), "/m/harbour.mlc");
  EXPECT_EQ(WithDefaultExtension("/m/harbour.v2", ".mlc"), "/m/harbour.v2")
      << "an extension of its own stays";
  EXPECT_EQ(WithDefaultExtension("/m.d/harbour", ".mlc"), "/m.d/harbour.mlc")
      << "a dot in a folder is no extension";
  EXPECT_EQ(WithDefaultExtension("C:\\m.d\\harbour", ".mlc"), "C:\\m.d\\harbour.mlc");
  EXPECT_EQ(WithDefaultExtension("/m/", ".mlc"), "/m/") << "a folder gets no name";
  EXPECT_EQ(WithDefaultExtension("/m/harbour", ""), "/m/harbour");

  testing::ScriptedUi ui;
  ui.Answer("/m/harbour");
  ui.Answer(std::nullopt);
  const FileDialogRequest request{"Save areas as", "Mission Areas (*.mar)|*.mar", "/m/", "unnamed"};
  EXPECT_EQ(AskSaveFile(ui, request), "/m/harbour.mar");
  EXPECT_EQ(AskSaveFile(ui, request), std::nullopt);
}

}  // namespace
}  // namespace vyr::editor
