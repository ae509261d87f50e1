#include "editor/properties/force_windows.h"

#include <QCheckBox>
#include <QCursor>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTextCursor>
#include <QVBoxLayout>
#include <array>
#include <variant>

#include "editor/properties/number_text.h"
#include "editor/shell/code_page_text.h"

namespace vyr::gui {

using editor::Field;

namespace {

constexpr std::array<const char*, 6> kWeapons = {"Dual MK23 Pistols", "MP5/10 Submachinegun",
                                                 "M4 Assault Rifle",  "M3 Super 90 Assault Shotgun",
                                                 "Handcannon",        "Sniper Rifle"};
constexpr std::array<const char*, 5> kAmmo = {"Pistol Clip", "Machinegun Magazine", "M4 Clip",
                                              "12 Gauge Shells", "AP Sniper Ammo"};
constexpr std::array<const char*, 5> kItems = {"Bandolier", "Kevlar Vest", "Lasersight", "Silencer",
                                               "Stealth Slippers"};
constexpr int kLowestSkill = 1;  // the mission script library clamps skills to 1 to 5
constexpr int kHighestSkill = 5;

QString Numbered(const char* stem, std::size_t index) {
  return QString::fromLatin1(stem) + QString::number(index + 1);
}

QTabWidget* MakeTabs(QWidget& window, const char* name, QLabel* hint) {
  auto* tabs = new QTabWidget(&window);
  tabs->setObjectName(name);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(tabs, 1);
  layout->addWidget(hint);
  return tabs;
}

QWidget* AddPage(QTabWidget& tabs, const QString& title) {
  auto* page = new QWidget(&tabs);
  tabs.addTab(page, title);
  return page;
}

}  // namespace

// --- force ---

frm_force_props::frm_force_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : PropertyWindow(document, node, parent) {
  setObjectName("frm_force_props");
  auto* frame = new QGroupBox("Force properties", this);
  auto* form = new QFormLayout(frame);
  AddNameBox(*form, "force_name", "Force name", Field::kForceName, "Force - ");
  AddTextBox(*form, "force_desc", "Description", Field::kForceDesc);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame, 1);
  layout->addWidget(hint());
}

void frm_force_props::Load() {
  setWindowTitle("Force");
  LoadBoxes();
}

// --- team ---

frm_team_props::frm_team_props(editor::MissionDocument& document, editor::NodeId node, QMenu* plan_menu,
                               QWidget* parent)
    : PropertyWindow(document, node, parent), plan_menu_(plan_menu) {
  setObjectName("frm_team_props");
  tab_team = MakeTabs(*this, "tab_team", hint());
  QWidget* page = AddPage(*tab_team, "Team");
  auto* form = new QFormLayout(page);
  team_name = AddNameBox(*form, "team_name", "Team name", Field::kTeamName, "Team - ");
  AddTextBox(*form, "team_desc", "Description", Field::kTeamDesc);

  rtfb = new QPlainTextEdit(page);
  rtfb->setObjectName("rtfb");
  rtfb->setLineWrapMode(QPlainTextEdit::NoWrap);
  Command2 = new QPushButton("&Create new command", page);
  Command2->setObjectName("Command2");
  auto* plan = new QVBoxLayout;
  plan->addWidget(rtfb, 1);
  plan->addWidget(Command2, 0, Qt::AlignLeft);
  form->addRow("Plan", plan);

  connect(rtfb, &QPlainTextEdit::textChanged, this, &frm_team_props::PlanEdited);
  connect(Command2, &QPushButton::clicked, this, [this] {
    if (plan_menu_) plan_menu_->popup(QCursor::pos());
    rtfb->setFocus();  // where the focus returns once the menu has closed
  });
}

void frm_team_props::Load() {
  LoadBoxes();
  setWindowTitle("Team - " + team_name->text());
  loading_ = true;
  rtfb->setPlainText(ToBoxLines(TextField(Field::kPlan)));
  loading_ = false;
}

void frm_team_props::InsertIntoPlan(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QTextCursor caret = rtfb->textCursor();
  caret.insertText(lines);
  rtfb->setTextCursor(caret);
}

void frm_team_props::PlanEdited() {
  if (loading_) return;
  loading_ = true;
  const QString refused = TakeOutForeignCharacters(*rtfb->document());
  loading_ = false;
  if (refused.isEmpty()) {
    hint()->hide();
  } else {
    ShowHint(ForeignCharacterHint(refused));
  }
  Write(Field::kPlan, FromBoxLines(*rtfb->document()));
}

// --- actor ---

frm_npc_props::frm_npc_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : PropertyWindow(document, node, parent) {
  setObjectName("frm_npc_props");
  tab_npc = MakeTabs(*this, "tab_npc", hint());

  QWidget* general = AddPage(*tab_npc, "Actor");
  auto* form = new QFormLayout(general);
  npc_name = AddNameBox(*form, "npc_name", "Actor name", Field::kNpcName, "Actor - ");
  AddTextBox(*form, "npc_skin", "Model/skin", Field::kNpcSkin);
  npc_skill = new QLineEdit(general);
  npc_skill->setObjectName("npc_skill");
  Slider1 = new QSlider(Qt::Horizontal, general);
  Slider1->setObjectName("Slider1");
  Slider1->setRange(kLowestSkill, kHighestSkill);
  Slider1->setTickPosition(QSlider::TicksBelow);
  Slider1->setTickInterval(1);
  Slider1->setPageStep(1);
  auto* skill = new QHBoxLayout;
  skill->addWidget(npc_skill);
  skill->addWidget(Slider1, 1);
  form->addRow("Skill", skill);
  npc_player = new QCheckBox("Actor is Player", general);
  npc_player->setObjectName("npc_player");
  form->addRow(QString(), npc_player);

  QWidget* equipment = AddPage(*tab_npc, "Equipment");
  auto* columns = new QHBoxLayout(equipment);
  auto* weapons = new QGroupBox("Enter the game with the following weapons", equipment);
  auto* weapon_list = new QVBoxLayout(weapons);
  auto* items = new QGroupBox("Enter the game with the following items", equipment);
  auto* item_list = new QVBoxLayout(items);
  auto* ammunition = new QGroupBox("Enter the game with the following ammo", equipment);
  auto* ammo_form = new QFormLayout(ammunition);
  auto* left = new QVBoxLayout;
  left->addWidget(weapons);
  left->addWidget(items);
  columns->addLayout(left, 1);
  columns->addWidget(ammunition, 1, Qt::AlignTop);

  // Each check box writes its flag, each ammunition box its count; none touches another.
  const auto flag = [this](QCheckBox* box, Field field, int element) {
    connect(box, &QCheckBox::clicked, this,
            [this, field, element](bool checked) { Write(field, checked, element); });
  };
  flag(npc_player, Field::kNpcPlayer, 0);
  for (std::size_t i = 0; i < kWeapons.size(); ++i) {
    Check[i] = new QCheckBox(kWeapons[i], weapons);
    Check[i]->setObjectName(Numbered("Check", i));
    weapon_list->addWidget(Check[i]);
    flag(Check[i], Field::kWeapon, static_cast<int>(i));
  }
  for (std::size_t i = 0; i < kItems.size(); ++i) {
    itemcheck[i] = new QCheckBox(kItems[i], items);
    itemcheck[i]->setObjectName(Numbered("itemcheck", i));
    item_list->addWidget(itemcheck[i]);
    flag(itemcheck[i], Field::kItem, static_cast<int>(i));
  }
  for (std::size_t i = 0; i < kAmmo.size(); ++i) {
    ammo[i] = new QLineEdit(ammunition);
    ammo[i]->setObjectName(Numbered("ammo", i));
    ammo_form->addRow(kAmmo[i], ammo[i]);
    // The leading number of the text counts ("12abc" is 12, an empty box 0).
    connect(ammo[i], &QLineEdit::textEdited, this, [this, i](const QString& text) {
      Write(Field::kAmmo, RoundToInteger(LeadingNumber(text.toStdString())), static_cast<int>(i));
    });
  }

  connect(npc_skill, &QLineEdit::textEdited, this, &frm_npc_props::SkillEdited);
  connect(Slider1, &QSlider::valueChanged, this, [this](int position) {
    if (syncing_) return;
    const QString text = QString::number(position);
    npc_skill->setText(text);
    SkillEdited(text);
  });
}

void frm_npc_props::Load() {
  LoadBoxes();
  setWindowTitle("Actor - " + npc_name->text());
  const editor::ActorRecord* actor = nullptr;
  if (const editor::RecordRef at = record(); document_.GetField(at, Field::kNpcName))
    actor = &document_.actor(at.force, at.team, at.index);
  if (actor == nullptr) return;
  const QString skill = QString::fromStdString(SingleText(actor->npc_skill));
  npc_skill->setText(skill);
  syncing_ = true;
  Slider1->setValue(RoundToInteger(LeadingNumber(skill.toStdString())));
  syncing_ = false;
  npc_player->setChecked(actor->npc_player);
  for (std::size_t i = 0; i < kWeapons.size(); ++i)
    Check[i]->setChecked(actor->weapon[i]);
  for (std::size_t i = 0; i < kAmmo.size(); ++i)
    ammo[i]->setText(QString::number(actor->ammo[i]));
  for (std::size_t i = 0; i < kItems.size(); ++i)
    itemcheck[i]->setChecked(actor->item[i]);
}

void frm_npc_props::SkillEdited(const QString& text) {
  const std::optional<editor::Single> skill = ParseSingle(text.toStdString());
  if (!skill) {
    const auto kept = document_.GetField(record(), Field::kNpcSkill);
    const editor::Single last = kept ? std::get<editor::Single>(*kept) : 0;
    MarkRejected(*npc_skill, QStringLiteral("Not taken: the skill must be a number. The field keeps %1.")
                                 .arg(QString::fromStdString(SingleText(last))));
    return;
  }
  MarkRejected(*npc_skill, {});
  Write(Field::kNpcSkill, *skill);
  syncing_ = true;
  Slider1->setValue(RoundToInteger(LeadingNumber(text.toStdString())));
  syncing_ = false;
}

}  // namespace vyr::gui

#include "moc_force_windows.cpp"
