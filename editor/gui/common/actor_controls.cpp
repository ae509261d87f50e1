#include "editor/gui/common/actor_controls.h"

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
#include <cmath>

#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/number_text.h"
#include "editor/gui/common/text_boxes.h"

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
  connect(npc_skill, &QLineEdit::editingFinished, this, &ActorControls::Confirm);
  for (QLineEdit* box : ammo)
    connect(box, &QLineEdit::editingFinished, this, &ActorControls::Confirm);
  connect(Slider1, &QSlider::valueChanged, this, [this](int position) {
    if (syncing_) return;
    const QString text = QString::number(position);
    npc_skill->setText(text);
    SkillEdited(text);
    confirmed_skill_ = static_cast<editor::Single>(position);  // a slider move is a finished choice
  });
}

QLineEdit* ActorControls::AddTextBox(QWidget& page, const char* name, Field field) {
  auto* box = new QLineEdit(&page);
  box->setObjectName(name);
  GuardOneLine(
      *box,
      [this](const QString& hint) {
        hint_.setText(hint);
        hint_.show();
      },
      [this] { hint_.hide(); });
  connect(box, &QLineEdit::textEdited, this,
          [this, field](const QString& text) { access_.write(field, ToCodePage(text), 0); });
  return box;
}

void ActorControls::Fill() {
  Show(true);
}

void ActorControls::Refresh() {
  Show(false);
}

void ActorControls::Show(bool every_box) {
  const editor::ActorRecord* actor = access_.read();
  if (actor == nullptr) return;
  ShowText(*npc_name, FromCodePage(actor->npc_name));
  ShowText(*npc_skin, FromCodePage(actor->npc_skin));
  const std::optional<editor::Single> skill = ParseSingle(npc_skill->text().toStdString());
  if (every_box || (skill != actor->npc_skill && (skill || actor->npc_skill != confirmed_skill_))) {
    const QString text = QString::fromStdString(SingleText(actor->npc_skill));
    npc_skill->setText(text);
    MarkRejected(*npc_skill, {});
    confirmed_skill_ = actor->npc_skill;
    syncing_ = true;
    Slider1->setValue(RoundToInteger(LeadingNumber(text.toStdString())));
    syncing_ = false;
  }
  npc_player->setChecked(actor->npc_player);
  for (std::size_t i = 0; i < kWeapons.size(); ++i)
    Check[i]->setChecked(actor->weapon[i]);
  for (std::size_t i = 0; i < kAmmo.size(); ++i) {
    const std::optional<editor::Integer> shown = AmmoValue(ammo[i]->text());
    const bool agrees = shown == actor->ammo[i] || (!shown && actor->ammo[i] == confirmed_ammo_[i]);
    if (agrees && !every_box) continue;
    ammo[i]->setText(QString::number(actor->ammo[i]));
    MarkRejected(*ammo[i], {});
    confirmed_ammo_[i] = actor->ammo[i];
  }
  for (std::size_t i = 0; i < kItems.size(); ++i)
    itemcheck[i]->setChecked(actor->item[i]);
}

void ActorControls::ShowHint(const QString& text) {
  hint_.setText(text);
  hint_.show();
}

void ActorControls::NotTaken(QLineEdit& box, Field field, const editor::FieldValue& kept, int element,
                             bool restore, const QString& label, const QString& kept_text,
                             const QString& what) {
  // A partial number typed on the way (9999 of 99999) is no value the author chose.
  if (restore) access_.write(field, kept, element);
  const QString reason = NumberNotTakenHint(label, kept_text, what);
  MarkRejected(box, reason);
  ShowHint(reason);
}

void ActorControls::SkillEdited(const QString& text) {
  const std::optional<editor::Single> skill = ParseSingle(text.toStdString());
  if (!skill) {
    const editor::ActorRecord* actor = access_.read();
    const bool restore = actor != nullptr && actor->npc_skill != confirmed_skill_;
    if (restore) {
      syncing_ = true;
      Slider1->setValue(RoundToInteger(confirmed_skill_));
      syncing_ = false;
    }
    NotTaken(*npc_skill, Field::kNpcSkill, confirmed_skill_, 0, restore, QStringLiteral("Skill"),
             QString::fromStdString(SingleText(confirmed_skill_)), QStringLiteral("a number"));
    return;
  }
  MarkRejected(*npc_skill, {});
  hint_.hide();
  syncing_ = true;
  Slider1->setValue(RoundToInteger(*skill));
  syncing_ = false;
  access_.write(Field::kNpcSkill, *skill, 0);
}

void ActorControls::AmmoEdited(int index, const QString& text) {
  QLineEdit& box = *ammo[index];
  const auto at = static_cast<std::size_t>(index);
  const std::optional<editor::Integer> value = AmmoValue(text);
  if (value) {
    MarkRejected(box, {});
    hint_.hide();
    access_.write(Field::kAmmo, *value, index);
    return;
  }
  const editor::ActorRecord* actor = access_.read();
  const bool restore = actor != nullptr && actor->ammo[at] != confirmed_ammo_[at];
  NotTaken(box, Field::kAmmo, confirmed_ammo_[at], index, restore, QString::fromLatin1(kAmmo[at]),
           QString::number(confirmed_ammo_[at]),
           ammo_text_ == AmmoText::kLeadingNumber ? QStringLiteral("a count from -32768 to 32767")
                                                  : QStringLiteral("a whole number from -32768 to 32767"));
}

std::optional<editor::Integer> ActorControls::AmmoValue(const QString& text) const {
  if (ammo_text_ == AmmoText::kWholeNumber) return ParseInteger(text.toStdString());
  // The leading number counts ("12abc" is 12, nothing is 0), as long as a count can hold it.
  const double number = LeadingNumber(text.toStdString());
  if (RoundToInteger(number) != std::nearbyint(number)) return std::nullopt;
  return RoundToInteger(number);
}

void ActorControls::Confirm() {
  const editor::ActorRecord* actor = access_.read();
  if (actor == nullptr) return;
  auto* box = qobject_cast<QLineEdit*>(sender());
  if (box == npc_skill) {
    confirmed_skill_ = actor->npc_skill;
    if (!box->property("taken").toBool()) {
      box->setText(QString::fromStdString(SingleText(confirmed_skill_)));
      MarkRejected(*box, {});
    }
    return;
  }
  for (std::size_t i = 0; i < kAmmo.size(); ++i) {
    if (box != ammo[i]) continue;
    confirmed_ammo_[i] = actor->ammo[i];
    if (!box->property("taken").toBool()) {
      box->setText(QString::number(confirmed_ammo_[i]));
      MarkRejected(*box, {});
    }
  }
}

}  // namespace vyr::gui

#include "moc_actor_controls.cpp"
