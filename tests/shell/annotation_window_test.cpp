#include "editor/gui/properties/annotation_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

namespace {

TEST(Annotation, FontSizeRulesAtTheirEdges) {
  vyr::editor::MissionDocument document;
  frm_annotation window(document);
  auto* up = window.findChild<QAction*>("sizeup");
  auto* down = window.findChild<QAction*>("sizedown");
  ASSERT_TRUE(up && down);
  auto* box = window.findChild<QPlainTextEdit*>("Annotation");

  while (window.font_size() < 9)
    up->trigger();
  EXPECT_EQ(window.font_face(), "fixedsys");
  EXPECT_EQ(box->font().pointSize(), 9);
  up->trigger();
  EXPECT_EQ(window.font_size(), 9);

  down->trigger();
  EXPECT_EQ(window.font_size(), 8);
  EXPECT_EQ(window.font_face(), "courier new");
  while (window.font_size() > 4)
    down->trigger();
  down->trigger();
  EXPECT_EQ(window.font_size(), 4);
  EXPECT_EQ(box->font().pointSize(), 4);
  up->trigger();  // 5 is not 9: the face stays
  EXPECT_EQ(window.font_face(), "courier new");
}

TEST(Annotation, TextGoesToTheDocumentWithCrLfAndCodePageBytes) {
  vyr::editor::MissionDocument document;
  document.info.annotation = "Night raid\r\ncaf\xE9";
  frm_annotation window(document);
  auto* box = window.findChild<QPlainTextEdit*>("Annotation");
  EXPECT_EQ(box->toPlainText(), QString::fromUtf8("Night raid\ncaf\u00E9"));

  box->moveCursor(QTextCursor::End);
  QTest::keyClick(box, Qt::Key_Return);  // the box's own paragraph separator is no foreign character
  EXPECT_TRUE(window.findChild<QLabel*>("annotation_hint")->isHidden());
  box->insertPlainText(QString::fromUtf8("\u20AC5"));
  EXPECT_EQ(document.info.annotation,
            "Night raid\r\ncaf\xE9\r\n\x80"
            "5");

  // A character outside the code page is refused with a hint instead of being stored as '?'.
  box->insertPlainText(QString::fromUtf8("\u4E2D\U0001F600!"));
  EXPECT_EQ(document.info.annotation,
            "Night raid\r\ncaf\xE9\r\n\x80"
            "5!");
  EXPECT_FALSE(window.findChild<QLabel*>("annotation_hint")->isHidden());

  document.SetAnnotation("from elsewhere");
  EXPECT_EQ(box->toPlainText(), "from elsewhere");
}

}  // namespace
