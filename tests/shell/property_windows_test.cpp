// The property windows over a real document: opening, the slot stack, following and closing with the
// record, and each window's controls writing their fields as the author types and clicks.
#include "editor/gui/properties/property_windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "editor/gui/common/code_page_text.h"
#include "editor/gui/properties/annotation_window.h"
#include "editor/gui/properties/force_windows.h"
#include "editor/gui/properties/property_window.h"
#include "tests/editor_test_support.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using editor::Field;
using editor::RecordRef;
using namespace editor::testing;

class PropertyWindowsTest : public ::testing::Test {
 protected:
  PropertyWindowsTest() {
    area_.resize(1000, 700);
    area_.show();
    BuildWarehouse(document_);
  }

  // Opens the node's window as a click does and returns it.
  PropertyWindow* Open(editor::NodeId node) {
    document_.MakeCurrent(node);
    windows_.Open(node);
    const std::string& key = document_.tree().node(node).key;
    return key.starts_with("P") ? windows_.WindowInSlot(std::stoi(key.substr(1))) : nullptr;
  }
  // One keystroke of any character, as a keyboard layout that has it would send it.
  static void Type(QWidget* box, const QString& character) {
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, character, Qt::NoModifier);
  }
  static void CloseByAuthor(PropertyWindow* window) {
    window->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  template <typename T>
  T Get(const RecordRef& record, Field field, int element = 0) const {
    return std::get<T>(*document_.GetField(record, field, element));
  }
  const std::string& Label(editor::NodeId node) const { return document_.tree().node(node).text; }

  editor::MissionDocument document_;
  ScriptedUi ui_;
  QMdiArea area_;
  QMenu plan_menu_;
  PropertyWindows windows_{document_, area_, ui_, &plan_menu_};
};

TEST_F(PropertyWindowsTest, SlotsAreAStackAndThe52ndWindowIsRefusedWithAMessage) {
  for (int i = document_.location_count(); i < 60; ++i)
    ASSERT_TRUE(document_.AddLocation(Numbered("loc", i), "", 0, 0, 0));
  std::vector<PropertyWindow*> opened;
  for (int i = 0; i < 51; ++i)
    opened.push_back(Open(document_.tree().LocationNode(i)));
  EXPECT_EQ(windows_.open_count(), 51);
  EXPECT_EQ(opened[50]->slot(), 50);
  EXPECT_EQ(Open(document_.tree().LocationNode(3)), opened[3]) << "an open window is brought forward";
  EXPECT_EQ(area_.activeSubWindow(), opened[3]->parentWidget());

  EXPECT_EQ(Open(document_.tree().LocationNode(51)), nullptr);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].title, "Property windows");
  EXPECT_NE(ui_.messages[0].text.find("51"), std::string::npos) << ui_.messages[0].text;

  CloseByAuthor(opened[3]);
  CloseByAuthor(opened[7]);
  EXPECT_EQ(windows_.open_count(), 49);
  EXPECT_EQ(document_.tree().node(document_.tree().LocationNode(7)).key[0], 'U');
  EXPECT_EQ(Open(document_.tree().LocationNode(55))->slot(), 7) << "the slot freed last goes first";
  EXPECT_EQ(Open(document_.tree().LocationNode(56))->slot(), 3);
  EXPECT_EQ(ui_.messages.size(), 1u);
}

TEST_F(PropertyWindowsTest, AWindowFollowsItsRecordAndClosesWithIt) {
  ASSERT_TRUE(document_.AddLocation("cellar", "", 1, 2, 3));
  PropertyWindow* window = Open(document_.tree().LocationNode(2));
  const int slot = window->slot();
  Open(document_.tree().ActorNode(0, 0, 1));

  ASSERT_TRUE(document_.DeleteLocation(0));
  EXPECT_EQ(window->record(), RecordRef::Location(1));
  EXPECT_EQ(window->tag(), document_.tree().NodeIndex(window->node()));
  Retype(Control<QLineEdit>(window, "loc_desc"), "damp");
  EXPECT_EQ(document_.location(1).loc_desc, "damp");
  EXPECT_EQ(document_.location(0).loc_desc, "") << "the record that moved into the old index is untouched";

  ASSERT_TRUE(document_.DeleteLocation(1));
  EXPECT_EQ(windows_.WindowInSlot(slot), nullptr);
  EXPECT_EQ(windows_.open_count(), 1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(area_.subWindowList().size(), 1);

  document_.NewProject();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(windows_.open_count(), 0);
  EXPECT_TRUE(area_.subWindowList().isEmpty());
  EXPECT_EQ(document_.tree().window_slots().free_head(), 0);
}

TEST_F(PropertyWindowsTest, TypingANameUpdatesRecordLabelAndCaptionAtEveryKeystroke) {
  const editor::NodeId node = document_.tree().LocationNode(1);
  PropertyWindow* window = Open(node);
  EXPECT_EQ(window->windowTitle(), "Location - tower");
  auto* box = Control<QLineEdit>(window, "loc_name");
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  EXPECT_EQ(document_.location(1).loc_name, "");
  QString typed;
  for (const QChar c : QStringLiteral("Ost\u00e9")) {
    Type(box, c);
    typed += c;
    const std::string bytes = ToCodePage(typed);
    ASSERT_EQ(document_.location(1).loc_name, bytes);
    ASSERT_EQ(Label(node), bytes);
    ASSERT_EQ(window->windowTitle(), "Location - " + typed);
  }
  EXPECT_EQ(document_.location(1).loc_name, "Ost\xE9");

  EXPECT_FALSE(Control<QLabel>(window, "text_hint")->isVisible());
  Type(box, QStringLiteral("\u03A9"));  // not in the code page
  EXPECT_EQ(document_.location(1).loc_name, "Ost\xE9");
  EXPECT_TRUE(Control<QLabel>(window, "text_hint")->isVisible());

  PropertyWindow* force = Open(document_.tree().ForceNode(0));
  EXPECT_EQ(force->windowTitle(), "Force") << "until the name is edited";
  QTest::keyClicks(Control<QLineEdit>(force, "force_desc"), "x");
  EXPECT_EQ(force->windowTitle(), "Force");
  EXPECT_EQ(document_.force(0).force_desc, "x");
  QTest::keyClicks(Control<QLineEdit>(force, "force_name"), "2");
  EXPECT_EQ(force->windowTitle(), "Force - Blue2");
  EXPECT_EQ(Label(document_.tree().ForceNode(0)), "Blue2");
}

TEST_F(PropertyWindowsTest, NumberBoxesKeepTheLastValidValue) {
  PropertyWindow* window = Open(document_.tree().LocationNode(0));
  auto* x = Control<QLineEdit>(window, "loc_x");
  auto* hint = Control<QLabel>(window, "text_hint");
  EXPECT_EQ(x->text(), "100");
  for (const char* refused : {"", "-"}) {
    Retype(x, refused);
    EXPECT_EQ(document_.location(0).loc_x, 100) << refused;
    EXPECT_FALSE(x->property("taken").toBool()) << refused;
    EXPECT_TRUE(x->toolTip().contains("100")) << x->toolTip().toStdString();
  }
  Retype(x, "-32768");
  EXPECT_EQ(document_.location(0).loc_x, -32768);
  EXPECT_TRUE(x->property("taken").toBool());
  EXPECT_TRUE(x->toolTip().isEmpty());
  EXPECT_FALSE(hint->isVisible());

  // Out of range: the 4000 on the way is not stored, the confirmed value stays; the hint says so.
  auto* z = Control<QLineEdit>(window, "loc_z");
  QTest::keyClick(z, Qt::Key_Return);  // confirms the 0 the window showed
  Retype(z, "128");
  QTest::keyClick(z, Qt::Key_Return);
  Retype(z, "40000");
  EXPECT_EQ(document_.location(0).loc_z, 128);
  EXPECT_FALSE(z->property("taken").toBool());
  ASSERT_TRUE(hint->isVisible());
  EXPECT_EQ(hint->text(), "Not taken: Z needs a whole number from -32768 to 32767. It keeps 128.");
  QTest::keyClick(z, Qt::Key_Return);  // leaving the box shows what the field keeps
  EXPECT_EQ(z->text(), "128");
  EXPECT_TRUE(z->property("taken").toBool());

  PropertyWindow* area = Open(document_.tree().AreaNode(0));
  Retype(Control<QLineEdit>(area, "area_radius"), "7.5");
  EXPECT_EQ(document_.area(0).area_radius, 8) << "halves go to even";
}

TEST_F(PropertyWindowsTest, AreaListsAreRestoredOnEveryActivationAndStoredTerminated) {
  ASSERT_TRUE(document_.AddArea("pit", "", "tower", 0, "open"));
  PropertyWindow* yard = Open(document_.tree().AreaNode(0));
  PropertyWindow* pit = Open(document_.tree().AreaNode(1));
  EXPECT_EQ(pit->windowTitle(), "Area properties");
  EXPECT_EQ(document_.area(1).area_style, "open?");
  EXPECT_EQ(document_.area(1).area_locations, "tower?");

  const auto selected = [](QListWidget* list) {
    QStringList names;
    for (const QListWidgetItem* item : list->selectedItems())
      names << item->text();
    return names.join(',');
  };
  for (int round = 0; round < 2; ++round) {
    for (PropertyWindow* window : {yard, pit, yard}) {
      Open(window->node());
      EXPECT_EQ(Control<QListWidget>(window, "list_area_style")->count(), 3);
      EXPECT_EQ(Control<QListWidget>(window, "list_area_loc")->count(), 2);
    }
  }
  auto* locations = Control<QListWidget>(yard, "list_area_loc");
  EXPECT_EQ(selected(locations), "gate,tower");
  locations->item(0)->setSelected(false);
  EXPECT_EQ(document_.area(0).area_locations, "tower?");
  locations->item(1)->setSelected(false);
  EXPECT_EQ(document_.area(0).area_locations, "");
  Open(pit->node());
  EXPECT_EQ(selected(Control<QListWidget>(pit, "list_area_style")), "open");

  // "&Go" opens the location at the list's focus entry.
  Open(yard->node());
  locations->setCurrentRow(1, QItemSelectionModel::NoUpdate);
  Control<QPushButton>(yard, "Command1")->click();
  EXPECT_EQ(document_.tree().node(document_.tree().LocationNode(1)).key[0], 'P');
  EXPECT_EQ(document_.tree().selected(), document_.tree().LocationNode(1));
}

TEST_F(PropertyWindowsTest, MissionStylesSelectKnownNamesAndTheAnnotationOpens) {
  document_.info.map_styles = "open?bogus?urban";
  PropertyWindow* window = Open(document_.tree().root());
  auto* styles = Control<QListWidget>(window, "list_map_style");
  ASSERT_EQ(styles->count(), 5);
  EXPECT_TRUE(styles->item(1)->isSelected());  // urban, taken without its final "?"
  EXPECT_TRUE(styles->item(3)->isSelected());  // open
  EXPECT_EQ(styles->selectedItems().size(), 2);
  EXPECT_EQ(document_.info.map_styles, "open?bogus?urban") << "activation changes nothing";
  styles->item(0)->setSelected(true);
  EXPECT_EQ(document_.info.map_styles, "none?urban?open?");

  Control<QPushButton>(window, "Command1")->click();
  EXPECT_NE(area_.findChild<frm_annotation*>("frm_annotation"), nullptr);
}

TEST_F(PropertyWindowsTest, ActorControlsWriteTheirFieldsIndependently) {
  const RecordRef bot = RecordRef::Actor(0, 0, 1);
  PropertyWindow* window = Open(document_.tree().ActorNode(0, 0, 1));
  EXPECT_EQ(window->windowTitle(), "Actor - Bot");
  auto* skill = Control<QLineEdit>(window, "npc_skill");
  auto* slider = Control<QSlider>(window, "Slider1");
  EXPECT_EQ(skill->text(), "0.5");
  EXPECT_EQ(slider->minimum(), 1);
  EXPECT_EQ(slider->maximum(), 5);
  EXPECT_EQ(Get<float>(bot, Field::kNpcSkill), 0.5f) << "opening writes nothing back";

  slider->setValue(3);
  EXPECT_EQ(skill->text(), "3");
  EXPECT_EQ(Get<float>(bot, Field::kNpcSkill), 3.0f);
  Retype(skill, "2.5");
  EXPECT_EQ(Get<float>(bot, Field::kNpcSkill), 2.5f);
  EXPECT_EQ(skill->text(), "2.5");
  EXPECT_EQ(slider->value(), 2);
  Retype(skill, "3.5");
  EXPECT_EQ(skill->text(), "3.5");  // the slider follows the box, not the box the slider
  EXPECT_EQ(slider->value(), 4);
  QTest::keyClick(skill, Qt::Key_Return);  // confirmed
  Retype(skill, "-");
  EXPECT_EQ(Get<float>(bot, Field::kNpcSkill), 3.5f);
  EXPECT_EQ(slider->value(), 4);
  Retype(skill, "1e");  // the 1 on the way goes back to the confirmed value
  EXPECT_EQ(Get<float>(bot, Field::kNpcSkill), 3.5f);
  EXPECT_EQ(slider->value(), 4);

  // Each ammunition box writes its own count and nothing else; the box shows what was typed.
  for (int i = 0; i < 5; ++i) {
    editor::ActorRecord expected = document_.actor(0, 0, 1);
    expected.ammo[static_cast<std::size_t>(i)] = static_cast<editor::Integer>(40 + i);
    auto* box = Control<QLineEdit>(window, ("ammo" + std::to_string(i + 1)).c_str());
    Retype(box, QString::number(40 + i));
    EXPECT_EQ(document_.actor(0, 0, 1), expected) << "ammo" << i + 1;
    EXPECT_EQ(box->text(), QString::number(40 + i));
  }
  auto* ammo1 = Control<QLineEdit>(window, "ammo1");
  Retype(ammo1, "");
  EXPECT_EQ(Get<editor::Integer>(bot, Field::kAmmo, 0), 0);
  Retype(ammo1, "12abc");
  EXPECT_EQ(Get<editor::Integer>(bot, Field::kAmmo, 0), 12);
  QTest::keyClick(ammo1, Qt::Key_Return);
  Retype(ammo1, "99999");  // neither the 9999 on the way nor a silent 32767
  EXPECT_EQ(Get<editor::Integer>(bot, Field::kAmmo, 0), 12);
  EXPECT_EQ(Control<QLabel>(window, "text_hint")->text(),
            "Not taken: Pistol Clip needs a count from -32768 to 32767. It keeps 12.");
  Retype(ammo1, "40");
  EXPECT_EQ(Get<editor::Integer>(bot, Field::kAmmo, 0), 40);
  EXPECT_FALSE(Control<QLabel>(window, "text_hint")->isVisible());

  // Every check box flips its own flag and nothing else.
  const auto click = [&](const std::string& name, auto change) {
    editor::ActorRecord expected = document_.actor(0, 0, 1);
    change(expected);
    Control<QCheckBox>(window, name.c_str())->click();
    EXPECT_EQ(document_.actor(0, 0, 1), expected) << name;
  };
  for (std::size_t i = 0; i < 6; ++i)
    click("Check" + std::to_string(i + 1), [i](editor::ActorRecord& a) { a.weapon[i] = !a.weapon[i]; });
  for (std::size_t i = 0; i < 5; ++i)
    click("itemcheck" + std::to_string(i + 1), [i](editor::ActorRecord& a) { a.item[i] = !a.item[i]; });
  click("npc_player", [](editor::ActorRecord& a) { a.npc_player = !a.npc_player; });
  click("itemcheck2", [](editor::ActorRecord& a) { a.item[1] = !a.item[1]; });  // the items now differ

  // Opened again, the window shows what the record holds.
  const editor::ActorRecord before = document_.actor(0, 0, 1);
  CloseByAuthor(window);
  window = Open(document_.tree().ActorNode(0, 0, 1));
  EXPECT_EQ(Control<QLineEdit>(window, "npc_skill")->text(), "3.5");
  for (std::size_t i = 0; i < 6; ++i) {
    const std::string n = std::to_string(i + 1);
    EXPECT_EQ(Control<QCheckBox>(window, ("Check" + n).c_str())->isChecked(), before.weapon[i]) << n;
    if (i == 5) break;  // five ammunition boxes and items
    EXPECT_EQ(Control<QLineEdit>(window, ("ammo" + n).c_str())->text(), QString::number(before.ammo[i])) << n;
    EXPECT_EQ(Control<QCheckBox>(window, ("itemcheck" + n).c_str())->isChecked(), before.item[i]) << n;
  }
  EXPECT_EQ(document_.actor(0, 0, 1), before) << "opening writes nothing back";

  // A skill and a count of 0, where a box's confirmed value starts, are shown too.
  CloseByAuthor(window);
  ASSERT_TRUE(document_.SetField(bot, Field::kNpcSkill, editor::Single{0}));
  ASSERT_TRUE(document_.SetField(bot, Field::kAmmo, editor::Integer{0}, 4));
  window = Open(document_.tree().ActorNode(0, 0, 1));
  EXPECT_EQ(Control<QLineEdit>(window, "npc_skill")->text(), "0");
  EXPECT_EQ(Control<QLineEdit>(window, "ammo5")->text(), "0");
}

TEST_F(PropertyWindowsTest, ThePlanKeepsItsBytesAndTakesInsertionsAtTheCaret) {
  const std::string plan = "move\xA0gate\r\nwait\r5\r\n";
  ASSERT_TRUE(document_.SetField(RecordRef::Team(0, 0), Field::kPlan, plan));
  auto* window = dynamic_cast<frm_team_props*>(Open(document_.tree().TeamNode(0, 0)));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Team - Alpha");
  CloseByAuthor(window);
  EXPECT_TRUE(SameBytes(plan, document_.team(0, 0).plan));

  ASSERT_TRUE(document_.SetField(RecordRef::Team(0, 0), Field::kPlan, std::string("a\r\nb")));
  window = dynamic_cast<frm_team_props*>(Open(document_.tree().TeamNode(0, 0)));
  auto* rtfb = Control<QPlainTextEdit>(window, "rtfb");
  const auto caret_at = [rtfb](int position, int anchor) {
    QTextCursor caret = rtfb->textCursor();
    caret.setPosition(anchor);
    caret.setPosition(position, QTextCursor::KeepAnchor);
    rtfb->setTextCursor(caret);
  };
  caret_at(1, 1);
  window->InsertIntoPlan("X\r\nY");
  EXPECT_TRUE(SameBytes("aX\r\nY\r\nb", document_.team(0, 0).plan));
  EXPECT_EQ(rtfb->textCursor().position(), 4);
  caret_at(0, 0);
  window->InsertIntoPlan(QStringLiteral("\u00A0"));
  caret_at(7, 7);  // the end: a line break is one character in the box
  window->InsertIntoPlan("!");
  const std::string inserted =
      "\xA0"
      "aX\r\nY\r\nb!";
  EXPECT_TRUE(SameBytes(inserted, document_.team(0, 0).plan));
  window->InsertIntoPlan(QStringLiteral("\u2605"));
  EXPECT_TRUE(SameBytes(inserted, document_.team(0, 0).plan));
  EXPECT_TRUE(Control<QLabel>(window, "text_hint")->isVisible());

  // A selected line stays: the statement lands in front of it, the caret right behind the statement.
  ASSERT_TRUE(document_.SetField(RecordRef::Team(0, 0), Field::kPlan, std::string("one\r\ntwo\r\n")));
  caret_at(7, 4);  // "two"
  window->InsertIntoPlan("  abort;\r\n");
  EXPECT_TRUE(SameBytes("one\r\n  abort;\r\ntwo\r\n", document_.team(0, 0).plan));
  EXPECT_EQ(rtfb->textCursor().position(), 4 + 9);
  EXPECT_FALSE(rtfb->textCursor().hasSelection());

  QTest::keyClicks(Control<QLineEdit>(window, "team_desc"), "night");
  EXPECT_EQ(document_.team(0, 0).team_desc, "night");
  Control<QPushButton>(window, "Command2")->click();
  EXPECT_TRUE(plan_menu_.isVisible());
  plan_menu_.hide();
}

TEST_F(PropertyWindowsTest, PlainTypingSaysNothingAndAForeignCharacterIsNamed) {
  auto* window = Open(document_.tree().TeamNode(0, 0));
  auto* rtfb = Control<QPlainTextEdit>(window, "rtfb");
  auto* hint = Control<QLabel>(window, "text_hint");
  rtfb->moveCursor(QTextCursor::End);
  QTest::keyClicks(rtfb, "x");
  QTest::keyClick(rtfb, Qt::Key_Return);  // the box's own paragraph separator is no foreign character
  QTest::keyClicks(rtfb, "y");
  EXPECT_FALSE(hint->isVisible()) << hint->text().toStdString();
  EXPECT_TRUE(document_.team(0, 0).plan.ends_with("x\r\ny"));

  // A paste holding an emoji keeps the rest and names the emoji.
  QApplication::clipboard()->setText(QStringLiteral("a\U0001F600b"));
  QTest::keyClick(rtfb, Qt::Key_V, Qt::ControlModifier);
  EXPECT_TRUE(document_.team(0, 0).plan.ends_with("x\r\nyab"));
  ASSERT_TRUE(hint->isVisible());
  EXPECT_TRUE(hint->text().contains(QStringLiteral("\U0001F600"))) << hint->text().toStdString();
}

TEST_F(PropertyWindowsTest, OneLineBoxesLeaveOutPastedLineBreaksAndForeignCharacters) {
  PropertyWindow* window = Open(document_.tree().LocationNode(0));
  auto* name = Control<QLineEdit>(window, "loc_name");
  auto* hint = Control<QLabel>(window, "text_hint");
  name->selectAll();
  QApplication::clipboard()->setText("North\r\ngate\n");
  QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(document_.location(0).loc_name, "Northgate");
  EXPECT_EQ(name->text(), "Northgate");
  EXPECT_EQ(name->cursorPosition(), 9);
  ASSERT_TRUE(hint->isVisible());
  EXPECT_EQ(hint->text(), "This box holds one line; the line break was left out.");
  EXPECT_EQ(Label(document_.tree().LocationNode(0)), "Northgate");

  QTest::keyClicks(name, "s");
  EXPECT_FALSE(hint->isVisible()) << "plain typing takes the hint away";

  // A paste with an emoji keeps the rest, and the hint names what was left out.
  QApplication::clipboard()->setText(QStringLiteral(" \U0001F600 Caf\u00E9"));
  QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(document_.location(0).loc_name, "Northgates  Caf\xE9");
  ASSERT_TRUE(hint->isVisible());
  EXPECT_EQ(hint->text(),
            QStringLiteral("\u201C\U0001F600\u201D cannot be kept in a mission file and was left out."));

  // The actor window's boxes do the same.
  PropertyWindow* actor = Open(document_.tree().ActorNode(0, 0, 1));
  auto* skin = Control<QLineEdit>(actor, "npc_skin");
  skin->selectAll();
  QApplication::clipboard()->setText("terror/\nterror");
  QTest::keyClick(skin, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(document_.actor(0, 0, 1).npc_skin, "terror/terror");
  EXPECT_TRUE(Control<QLabel>(actor, "text_hint")->isVisible());
}

}  // namespace
}  // namespace vyr::gui
