#include "editor/properties/actor_controls.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <array>

#include "editor/properties/number_text.h"
#include "editor/properties/property_window.h"
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

}  // namespace

ActorControls::ActorControls(QWidget& window, QLabel& hint, ActorAccess access, AmmoText ammo_text)
    : QObject(&window), hint_(hint), access_(std::move(access)), ammo_text_(ammo_text) {
  tab_npc = new QTabWidget(&window);
  tab_npc->setObjectName("tab_npc");
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(tab_npc, 1);
  layout->addWidget(&hint);

  auto* general = new QWidget(tab_npc);
  tab_npc->addTab(general, "Actor");
  auto* form = new QFormLayout(general);
  npc_name = AddTextBox(*general, "npc_name", Field::kNpcName);
  form->addRow("Actor name", npc_name);
  connect(npc_name, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (access_.renamed) access_.renamed(text);
  });
  npc_skin = AddTextBox(*general, "npc_skin", Field::kNpcSkin);
  form->addRow("Model/skin", npc_skin);
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

  auto* equipment = new QWidget(tab_npc);
  tab_npc->addTab(equipment, "Equipment");
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
            [this, field, element](bool checked) { access_.write(field, checked, element); });
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
    connect(ammo[i], &QLineEdit::textEdited, this,
            [this, i](const QString& text) { AmmoEdited(static_cast<int>(i), text); });
  }

  connect(npc_skill, &QLineEdit::textEdited, this, &ActorControls::SkillEdited);
  connect(Slider1, &QSlider::valueChanged, this, [this](int position) {
    if (syncing_) return;
    const QString text = QString::number(position);
    npc_skill->setText(text);
    SkillEdited(text);
  });
}

QLineEdit* ActorControls::AddTextBox(QWidget& page, const char* name, Field field) {
  auto* box = new QLineEdit(&page);
  box->setObjectName(name);
  box->setValidator(new CodePageValidator(box));
  connect(box, &QLineEdit::inputRejected, this, [this] {
    hint_.setText(ForeignCharacterHint({}));
    hint_.show();
  });
  connect(box, &QLineEdit::textEdited, this, [this, field](const QString& text) {
    hint_.hide();
    access_.write(field, ToCodePage(text), 0);
  });
  return box;
}

void ActorControls::Fill() {
  const editor::ActorRecord* actor = access_.read();
  if (actor == nullptr) return;
  npc_name->setText(FromCodePage(actor->npc_name));
  npc_skin->setText(FromCodePage(actor->npc_skin));
  const QString skill = QString::fromStdString(SingleText(actor->npc_skill));
  npc_skill->setText(skill);
  PropertyWindow::MarkRejected(*npc_skill, {});
  syncing_ = true;
  Slider1->setValue(RoundToInteger(LeadingNumber(skill.toStdString())));
  syncing_ = false;
  npc_player->setChecked(actor->npc_player);
  for (std::size_t i = 0; i < kWeapons.size(); ++i)
    Check[i]->setChecked(actor->weapon[i]);
  for (std::size_t i = 0; i < kAmmo.size(); ++i) {
    ammo[i]->setText(QString::number(actor->ammo[i]));
    PropertyWindow::MarkRejected(*ammo[i], {});
  }
  for (std::size_t i = 0; i < kItems.size(); ++i)
    itemcheck[i]->setChecked(actor->item[i]);
}

void ActorControls::SkillEdited(const QString& text) {
  const std::optional<editor::Single> skill = ParseSingle(text.toStdString());
  if (!skill) {
    const editor::ActorRecord* actor = access_.read();
    const editor::Single last = actor != nullptr ? actor->npc_skill : 0;
    PropertyWindow::MarkRejected(*npc_skill,
                                 QStringLiteral("Not taken: the skill must be a number. The field keeps %1.")
                                     .arg(QString::fromStdString(SingleText(last))));
    return;
  }
  PropertyWindow::MarkRejected(*npc_skill, {});
  syncing_ = true;
  Slider1->setValue(RoundToInteger(*skill));
  syncing_ = false;
  access_.write(Field::kNpcSkill, *skill, 0);
}

void ActorControls::AmmoEdited(int index, const QString& text) {
  QLineEdit& box = *ammo[index];
  if (ammo_text_ == AmmoText::kLeadingNumber) {
    access_.write(Field::kAmmo, RoundToInteger(LeadingNumber(text.toStdString())), index);
    return;
  }
  if (const auto value = ParseInteger(text.toStdString())) {
    PropertyWindow::MarkRejected(box, {});
    access_.write(Field::kAmmo, *value, index);
    return;
  }
  const editor::ActorRecord* actor = access_.read();
  const editor::Integer last = actor != nullptr ? actor->ammo[static_cast<std::size_t>(index)] : 0;
  PropertyWindow::MarkRejected(
      box, QStringLiteral("Not taken: a whole number from -32768 to 32767 is needed. The field keeps %1.")
               .arg(last));
}

}  // namespace vyr::gui

#include "moc_actor_controls.cpp"
