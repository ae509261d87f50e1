// Edit > Find: the menu item opens the box, typing lists matches that follow edits, and choosing one
// selects its node and opens its window.
#include "editor/shell/find_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using namespace editor::testing;

QStringList Rows(QTreeWidget* results) {
  QStringList rows;
  for (int i = 0; i < results->topLevelItemCount(); ++i)
    rows << results->topLevelItem(i)->text(0) + " " + results->topLevelItem(i)->text(1);
  return rows;
}

using FindWindowTest = MainWindowFixture;

TEST_F(FindWindowTest, ListsMatchesFollowsEditsAndOpensTheChosenRecord) {
  MakeWindow();
  MainWindow& window = *window_;
  editor::MissionDocument& document = document_;
  window.show();
  window.StartUp("");
  BuildWarehouse(document);

  window.findChild<QAction*>("mn_edit_find")->trigger();
  auto* box = window.findChild<QLineEdit*>("find_box");
  auto* results = window.findChild<QTreeWidget*>("find_results");
  ASSERT_TRUE(box && results);
  EXPECT_TRUE(window.find_window()->isVisible());
  QTest::keyClicks(box, "o");
  EXPECT_EQ(Rows(results),
            (QStringList{"Location tower", "Actor Blue / Alpha / Bot", "Outcome Success: Well done"}));

  // A rename elsewhere shows at once.
  ASSERT_TRUE(
      document.SetField(editor::RecordRef::Location(1), editor::Field::kLocName, std::string("gate")));
  EXPECT_EQ(Rows(results), (QStringList{"Actor Blue / Alpha / Bot", "Outcome Success: Well done"}));

  // Enter in the box opens the first match: its node selected, its window open.
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(document.tree().selected(), document.tree().ActorNode(0, 0, 1));
  EXPECT_EQ(window.property_windows()->open_count(), 1);
  EXPECT_EQ(document.tree().node(document.tree().ActorNode(0, 0, 1)).key[0], 'P');
}

}  // namespace
}  // namespace vyr::gui
