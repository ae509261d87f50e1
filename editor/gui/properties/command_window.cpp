#include "editor/gui/properties/command_window.h"

#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/text_boxes.h"

namespace vyr::gui {

namespace {

using editor::PlanPage;

}  // namespace

frm_command::frm_command(const editor::MissionDocument& document,
                         std::function<void(const QString&)> insert_into_plan, QWidget* parent)
    : QDialog(parent),
      builder_(editor::PlanCommandBuilder::FromDocument(document)),
      insert_into_plan_(std::move(insert_into_plan)) {
  setObjectName("frm_command");
  setWindowTitle("Command Wizard");
  hint_ = new RefusalHint(this);
  SSTab1_ = new QTabWidget(this);
  SSTab1_->setObjectName("SSTab1");
  SSTab1_->setUsesScrollButtons(true);
  for (int page = 0; page < editor::kPlanPageCount; ++page) {
    const std::string_view caption = editor::kPlanPageCaptions[static_cast<std::size_t>(page)];
    SSTab1_->addTab(MakePage(static_cast<PlanPage>(page)),
                    QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
  }

  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  QPushButton* preview = button("Command1", "&Preview code");
  QPushButton* copy = button("Command2", "&Copy code to Clipboard");
  QPushButton* insert = button("Command3", "&Insert code in plan");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(preview);
  buttons->addWidget(copy);
  buttons->addWidget(insert);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(SSTab1_, 1);
  layout->addWidget(hint_);
  layout->addLayout(buttons);

  resize(560, 320);  // wide enough for most of the 17 tabs

  connect(preview, &QPushButton::clicked, this, &frm_command::Preview);
  connect(copy, &QPushButton::clicked, this, &frm_command::CopyToClipboard);
  connect(insert, &QPushButton::clicked, this, &frm_command::InsertIntoPlan);
  ApplyWaitEnabling();
}

void frm_command::ShowPage(int page) {
  if (page >= 0 && page < editor::kPlanPageCount) SSTab1_->setCurrentIndex(page);
}

bool frm_command::BuildCommand() {
  ReadControls();
  builder_.page = static_cast<PlanPage>(SSTab1_->currentIndex());
  return builder_.BuildCommand();
}

QComboBox* frm_command::Choice(QWidget* page, const char* name, editor::ComboChoice& choice) {
  auto* combo = new QComboBox(page);
  combo->setObjectName(name);
  for (const std::string& entry : choice.entries)
    combo->addItem(FromCodePage(entry));
  combo->setCurrentIndex(choice.SelectedIndex());
  choices_.emplace_back(combo, &choice);
  return combo;
}

QLineEdit* frm_command::TextBox(QWidget* page, const char* name, std::string& value) {
  auto* box = new QLineEdit(FromCodePage(value), page);
  box->setObjectName(name);
  GuardCodePage(*box, *hint_);
  text_boxes_.emplace_back(box, &value);
  return box;
}

QWidget* frm_command::MakePage(PlanPage page) {
  auto* widget = new QWidget;
  auto* layout = new QVBoxLayout(widget);
  auto add = [widget, layout](const char* caption, QWidget* control) {
    auto* label = new QLabel(caption, widget);
    label->setBuddy(control);
    layout->addWidget(label);
    layout->addWidget(control);
  };
  auto location = [this, widget, &add](const char* caption, const char* name, editor::ComboChoice& choice) {
    add(caption, Choice(widget, name, choice));
  };
  auto formation = [this, widget, &add](int n) {
    const std::string name = "formation(" + std::to_string(n) + ")";
    add("Formation:", Choice(widget, name.c_str(), builder_.formation[static_cast<std::size_t>(n)]));
  };
  editor::PlanCommandBuilder& b = builder_;
  switch (page) {
    case PlanPage::kInsert:
      location("Select the location to insert the team:", "insert_location", b.insert_location);
      formation(0);
      break;
    case PlanPage::kPatrol:
      patrol_list_ = new QListWidget(widget);
      patrol_list_->setObjectName("patrol_list");
      patrol_list_->setSelectionMode(QAbstractItemView::MultiSelection);
      for (const std::string& area : b.patrol_list.entries)
        patrol_list_->addItem(FromCodePage(area));
      add("Select the areas to partol:", patrol_list_);
      break;
    case PlanPage::kSnipe:
      location("Snipe from:", "snipe_from", b.snipe_from);
      location("Towards:", "Snipe_to", b.Snipe_to);
      break;
    case PlanPage::kAttack:
      location("Select the location to attack:", "attack_location", b.attack_location);
      break;
    case PlanPage::kDefend:
      location("Select the location to defend:", "defend_location", b.defend_location);
      location("In case of pullback, go to:", "defend_pullback", b.defend_pullback);
      break;
    case PlanPage::kAdvance:
      location("Advance towards:", "advance_to", b.advance_to);
      formation(1);
      break;
    case PlanPage::kPullback:
      location("Pullback to:", "pullback_to", b.pullback_to);
      formation(2);
      break;
    case PlanPage::kMoveup:
      location("Moveup to:", "moveup_to", b.moveup_to);
      formation(3);
      break;
    case PlanPage::kSpread: {
      location("Spread towards:", "spread_to", b.spread_to);
      auto* row = new QHBoxLayout;
      QLineEdit* within = TextBox(widget, "spread_within", b.spread_within);
      auto* label = new QLabel("Spread within:", widget);
      label->setBuddy(within);
      row->addWidget(label);
      row->addWidget(within);
      row->addWidget(new QLabel("seconds", widget));
      row->addStretch();
      layout->addLayout(row);
      break;
    }
    case PlanPage::kAssemble:
      location("Assemble at:", "assemble_at", b.assemble_at);
      formation(4);
      break;
    case PlanPage::kRadio:
      add("Radio message:", TextBox(widget, "radio_message", b.radio_message));
      break;
    case PlanPage::kSignalCode:
      add("Code color:", Choice(widget, "code_color", b.code_color));
      break;
    case PlanPage::kWait: {
      QComboBox* wait_type = Choice(widget, "wait_type", b.wait_type);
      add("Wait type:", wait_type);
      connect(wait_type, &QComboBox::currentIndexChanged, this, &frm_command::ApplyWaitEnabling);

      auto* delay = new QGroupBox("Time delay", widget);
      delay->setObjectName("time_delay");
      // The delay box sits in the gap the blanks of the label's caption leave.
      auto* label = new QLabel("Wait" + QString(18, u' ') + "seconds", delay);
      label->setObjectName("Label23");
      QLineEdit* box = TextBox(label, "txt_timedelay", b.txt_timedelay);
      const QFontMetrics metrics = label->fontMetrics();
      const int gap_start = metrics.horizontalAdvance("Wait ");
      const int gap_width = metrics.horizontalAdvance(QString(16, u' '));
      label->setMinimumSize(metrics.horizontalAdvance(label->text()) + 2, box->sizeHint().height());
      box->setGeometry(gap_start, 0, gap_width, box->sizeHint().height());
      (new QVBoxLayout(delay))->addWidget(label);
      layout->addWidget(delay);

      auto* code = new QGroupBox("Wait until go code", widget);
      code->setObjectName("wait_code");
      (new QVBoxLayout(code))->addWidget(Choice(code, "wait_color", b.wait_color));
      layout->addWidget(code);
      break;
    }
    case PlanPage::kOn:
      add("Trigger event:", Choice(widget, "oncodecolor", b.oncodecolor));
      break;
    case PlanPage::kAbort:
      layout->addWidget(new QLabel("Abort;", widget));
      layout->addWidget(new QLabel("abort;", widget));
      break;
    case PlanPage::kPhase:
      add("Phase name:", TextBox(widget, "phasename", b.phasename));
      break;
    case PlanPage::kContinue:
      add("Continue with phase:", TextBox(widget, "contname", b.contname));
      break;
  }
  layout->addStretch();
  return widget;
}

void frm_command::ReadControls() {
  for (auto& [combo, choice] : choices_)
    choice->text = ToCodePage(combo->currentText());
  for (auto& [box, value] : text_boxes_)
    *value = ToCodePage(box->text());
  if (patrol_list_ != nullptr) {
    for (int row = 0; row < patrol_list_->count(); ++row)
      builder_.patrol_list.SetSelected(static_cast<std::size_t>(row), patrol_list_->item(row)->isSelected());
  }
}

void frm_command::ApplyWaitEnabling() {
  ReadControls();
  const editor::WaitPageEnabling on = builder_.WaitEnabling();
  const std::pair<const char*, bool> controls[] = {{"time_delay", on.time_delay},
                                                   {"Label23", on.Label23},
                                                   {"txt_timedelay", on.txt_timedelay},
                                                   {"wait_code", on.wait_code},
                                                   {"wait_color", on.wait_color}};
  for (const auto& [name, enabled] : controls) {
    if (auto* control = findChild<QWidget*>(name)) control->setEnabled(enabled);
  }
}

void frm_command::Preview() {
  BuildCommand();
  frm_codegen preview(FromCodePage(builder_.CommandText), this);
  preview.exec();
}

void frm_command::CopyToClipboard() {
  BuildCommand();
  QGuiApplication::clipboard()->setText(FromCodePage(builder_.CommandText));
  close();
}

void frm_command::InsertIntoPlan() {
  BuildCommand();
  if (insert_into_plan_) insert_into_plan_(FromCodePage(builder_.CommandText));
  close();
}

frm_codegen::frm_codegen(const QString& command_text, QWidget* parent) : QDialog(parent) {
  setObjectName("frm_codegen");
  setWindowTitle("Generated code");
  auto* text = new QPlainTextEdit(this);
  text->setObjectName("Text1");
  text->setReadOnly(true);
  QString shown = command_text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text->setPlainText(shown);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // Shown as "Copy & paste this code:"; the doubled ampersand keeps the "&" from becoming a mnemonic.
  auto* label = new QLabel("Copy && paste this code:", this);
  label->setObjectName("Label1");
  label->setBuddy(text);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(text, 1);
  resize(420, 220);
}

}  // namespace vyr::gui
