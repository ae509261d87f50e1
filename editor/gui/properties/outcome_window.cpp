#include "editor/gui/properties/outcome_window.h"
#include "editor/gui/properties/plan_highlighter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/text_boxes.h"
#include "editor/gui/properties/condition_dialogs.h"

namespace vyr::gui {

namespace {

using editor::Field;

constexpr const char* kExampleCondition =
    "(\n"
    "  eliminated(\"Attackers\")\n"
    "  &&\n"
    "  (\n"
    "    timeout(300) && eliminated(\"Support\")\n"
    "  )\n"
    ")";

template <typename Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(name);
  return control;
}

QComboBox* EditableCombo(QWidget* parent, const char* name, RefusalHint& hint) {
  auto* combo = Named(new QComboBox(parent), name);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  GuardCodePage(*combo->lineEdit(), hint);
  return combo;
}

// Selects the first entry equal to `text`; with none, no entry is selected and the text stays shown.
void SelectExact(QComboBox& combo, const QString& text) {
  const int index = combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  combo.setCurrentIndex(index);
  if (index < 0) combo.setEditText(text);
}

// The names of an item list; a last name without its "?" is taken as a name all the same.
QStringList ItemNames(const QString& list) {
  if (list.isEmpty()) return {};
  QStringList names = list.split(u'?');
  if (list.endsWith(u'?')) names.removeLast();
  return names;
}

}  // namespace

frm_outcome_props::frm_outcome_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : PropertyWindow(document, node, parent) {
  setObjectName("frm_outcome_props");
  hint_ = new RefusalHint(this);

  outcome_type_ = EditableCombo(this, "outcome_type", *hint_);
  combo_outcome_force_ = EditableCombo(this, "combo_outcome_force", *hint_);
  outcome_message_ = Named(new QLineEdit(this), "outcome_message");
  GuardCodePage(*outcome_message_, *hint_);
  outcome_reason_ = Named(new QPlainTextEdit(this), "outcome_reason");
  new PlanHighlighter(*outcome_reason_);  // a condition is written in the same language as a plan
  outcome_reason_->setTabChangesFocus(true);
  outcome_reason_->setMinimumWidth(220);  // stays readable while the help beside it is shown
  GuardCodePage(*outcome_reason_, *hint_, /*one_line=*/true);  // a section file keeps the trigger on one line
  nextmission_ = Named(new QListWidget(this), "nextmission");
  outcome_next_ = Named(new QLineEdit(this), "outcome_next");
  GuardCodePage(*outcome_next_, *hint_);

  auto button = [this](const char* name, const QString& caption, const QString& tip = {}) {
    auto* b = Named(new QPushButton(caption, this), name);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
  };
  QPushButton* add = button("Command2", "&Add");
  QPushButton* remove = button("Command4", "&Remove");
  QPushButton* timeout = button("Command1", "&Timeout", "Outcome decided by timeout");
  QPushButton* elimination =
      button("Command3", "&Elimination", "Outcome decided by elimination of certain players");
  Check1_ = Named(new QCheckBox("&Instructions", this), "Check1");

  // The help beside the condition buttons: a caption, a line and the example, in one frame.
  instructions_ = Named(new QFrame(this), "instructions");
  instructions_->setFrameShape(QFrame::Box);
  auto* help_caption = Named(new QLabel("Example use of parentheses", instructions_), "help_caption");
  auto* help_line = Named(new QFrame(instructions_), "help_line");
  help_line->setFrameShape(QFrame::HLine);
  auto* example = Named(new QLabel(kExampleCondition, instructions_), "help_example");
  example->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  example->setTextFormat(Qt::PlainText);
  auto* help_layout = new QVBoxLayout(instructions_);
  help_layout->addWidget(help_caption);
  help_layout->addWidget(help_line);
  help_layout->addWidget(example);
  help_layout->addStretch();
  instructions_->hide();

  auto* condition_buttons = new QGridLayout;
  condition_buttons->addWidget(button("Command5", "&AND"), 0, 0);
  condition_buttons->addWidget(button("Command6", "&OR"), 0, 1);
  condition_buttons->addWidget(button("Command7", "&NOT"), 1, 0);
  condition_buttons->addWidget(button("Command8", "("), 2, 0);
  condition_buttons->addWidget(button("Command9", ")"), 2, 1);
  condition_buttons->addWidget(timeout, 3, 0, 1, 2);
  condition_buttons->addWidget(elimination, 4, 0, 1, 2);
  condition_buttons->addWidget(Check1_, 5, 0, 1, 2);
  condition_buttons->setRowStretch(6, 1);

  auto* trigger_row = new QHBoxLayout;
  trigger_row->addWidget(outcome_reason_, 1);
  trigger_row->addLayout(condition_buttons);
  trigger_row->addWidget(instructions_);

  auto* next_row = new QHBoxLayout;
  next_row->addWidget(outcome_next_, 1);
  next_row->addWidget(add);
  next_row->addWidget(remove);

  auto label = [this](const QString& caption, QWidget* buddy) {
    auto* l = new QLabel(caption, this);
    l->setBuddy(buddy);
    return l;
  };
  auto* layout = new QGridLayout(this);
  layout->addWidget(label("Type", outcome_type_), 0, 0);
  layout->addWidget(outcome_type_, 0, 1);
  layout->addWidget(label("Force", combo_outcome_force_), 0, 2);
  layout->addWidget(combo_outcome_force_, 0, 3);
  layout->addWidget(label("Message", outcome_message_), 1, 0);
  layout->addWidget(outcome_message_, 1, 1, 1, 3);
  layout->addWidget(label("Trigger", outcome_reason_), 2, 0, Qt::AlignTop);
  layout->addLayout(trigger_row, 2, 1, 1, 3);
  layout->addWidget(label("Next mission filenames", outcome_next_), 3, 0, 1, 4);
  layout->addLayout(next_row, 4, 0, 1, 4);
  layout->addWidget(nextmission_, 5, 0, 1, 4);
  layout->addWidget(hint_, 6, 0, 1, 4);
  layout->setColumnStretch(1, 1);
  layout->setColumnStretch(3, 1);
  layout->setRowStretch(2, 1);

  connect(outcome_type_, &QComboBox::currentTextChanged, this, &frm_outcome_props::TypeChanged);
  connect(combo_outcome_force_, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { Store(Field::kOutcomeForce, text); });
  connect(outcome_message_, &QLineEdit::textChanged, this,
          [this](const QString& text) { Store(Field::kOutcomeMessage, text); });
  connect(outcome_reason_, &QPlainTextEdit::textChanged, this,
          [this] { Store(Field::kOutcomeReason, outcome_reason_->toPlainText()); });
  connect(add, &QPushButton::clicked, this, [this] {
    if (outcome_next_->text().isEmpty()) return;  // an empty name would be a blank row and a stray "?"
    nextmission_->addItem(outcome_next_->text());
    RebuildNextMissions();
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    qDeleteAll(nextmission_->selectedItems());
    RebuildNextMissions();
  });
  const std::pair<const char*, const char*> inserts[] = {
      {"Command5", "&& "}, {"Command6", "|| "}, {"Command7", "! "}, {"Command8", "("}, {"Command9", ")"}};
  for (const auto& [name, text] : inserts) {
    connect(findChild<QPushButton*>(name), &QPushButton::clicked, this,
            [this, text = QString::fromLatin1(text)] { InsertAtCaret(text); });
  }
  connect(timeout, &QPushButton::clicked, this, &frm_outcome_props::ShowTimeout);
  connect(elimination, &QPushButton::clicked, this, &frm_outcome_props::ShowElimination);
  connect(Check1_, &QCheckBox::toggled, instructions_, &QWidget::setVisible);
  resize(560, 360);
}

std::optional<int> frm_outcome_props::OutcomeIndex() const {
  const editor::NodeAddress at = address();
  const bool outcome = at.image == editor::NodeImage::kPos || at.image == editor::NodeImage::kNeg;
  if (!outcome || at.index < 0 || at.index >= document_.outcome_count()) return std::nullopt;
  return at.index;
}

void frm_outcome_props::Load() {
  const std::optional<int> index = OutcomeIndex();
  if (!index) return;
  const editor::OutcomeRecord& outcome = std::as_const(document_).outcome(*index);
  loading_ = true;
  setWindowTitle("Outcome - " + FromCodePage(outcome.outcome_type));
  combo_outcome_force_->setEditText(FromCodePage(outcome.outcome_force));
  outcome_message_->setText(FromCodePage(outcome.outcome_message));
  outcome_reason_->setPlainText(FromCodePage(outcome.outcome_reason));
  nextmission_->clear();
  nextmission_->addItems(ItemNames(FromCodePage(outcome.nextmission)));
  loading_ = false;
  FillLists();
}

void frm_outcome_props::Activate() {
  PropertyWindow::Activate();
  FillLists();
}

void frm_outcome_props::FillLists() {
  const std::optional<int> index = OutcomeIndex();
  if (!index) return;
  const editor::MissionDocument& doc = document_;
  const editor::OutcomeRecord& outcome = doc.outcome(*index);
  loading_ = true;
  outcome_type_->clear();
  outcome_type_->addItems({"success", "failure"});
  SelectExact(*outcome_type_, FromCodePage(outcome.outcome_type));
  combo_outcome_force_->clear();
  for (int f = 0; f < doc.force_count(); ++f)
    combo_outcome_force_->addItem(FromCodePage(doc.force(f).force_name));
  SelectExact(*combo_outcome_force_, FromCodePage(outcome.outcome_force));
  loading_ = false;
}

void frm_outcome_props::Refresh() {
  const std::optional<int> index = OutcomeIndex();
  if (!index) return;
  const editor::MissionDocument& doc = document_;
  const editor::OutcomeRecord& outcome = doc.outcome(*index);
  loading_ = true;
  const QString type = FromCodePage(outcome.outcome_type);
  if (outcome_type_->currentText() != type) {
    SelectExact(*outcome_type_, type);
    setWindowTitle("Outcome - " + type);
  }
  QStringList forces;
  for (int f = 0; f < doc.force_count(); ++f)
    forces << FromCodePage(doc.force(f).force_name);
  QStringList listed;
  for (int row = 0; row < combo_outcome_force_->count(); ++row)
    listed << combo_outcome_force_->itemText(row);
  const QString force = FromCodePage(outcome.outcome_force);
  if (listed != forces) {
    combo_outcome_force_->clear();
    combo_outcome_force_->addItems(forces);
    SelectExact(*combo_outcome_force_, force);
  } else if (combo_outcome_force_->currentText() != force) {
    SelectExact(*combo_outcome_force_, force);
  }
  ShowText(*outcome_message_, FromCodePage(outcome.outcome_message));
  ShowText(*outcome_reason_, FromCodePage(outcome.outcome_reason));
  const QStringList next = ItemNames(FromCodePage(outcome.nextmission));
  QStringList shown;
  for (int row = 0; row < nextmission_->count(); ++row)
    shown << nextmission_->item(row)->text();
  if (shown != next) {
    nextmission_->clear();
    nextmission_->addItems(next);
  }
  loading_ = false;
}

bool frm_outcome_props::Follows(const editor::RecordEdit& edit) const {
  return edit.field == Field::kForceName;
}

bool frm_outcome_props::Follows(editor::DocumentChange change) const {
  return change == editor::DocumentChange::kForces || PropertyWindow::Follows(change);
}

void frm_outcome_props::InsertAtCaret(const QString& text) {
  vyr::gui::InsertAtCaret(*outcome_reason_, text);
}

void frm_outcome_props::Store(editor::Field field, const QString& text) {
  if (!loading_) Write(field, ToCodePage(text));
}

void frm_outcome_props::TypeChanged(const QString& text) {
  if (loading_) return;
  Store(Field::kOutcomeType, text);  // the document relabels the node "Success" or "Failure"
  setWindowTitle("Outcome - " + text);
}

void frm_outcome_props::RebuildNextMissions() {
  QString list;
  for (int row = 0; row < nextmission_->count(); ++row)
    list += nextmission_->item(row)->text() + u'?';
  Store(Field::kNextMission, list);
}

void frm_outcome_props::InsertCondition(const std::optional<std::string>& condition) {
  if (condition) InsertAtCaret(FromCodePage(*condition));
}

void frm_outcome_props::ShowTimeout() {
  frm_outcome_timeout dialog(this);
  dialog.exec();
  InsertCondition(dialog.Condition());
}

void frm_outcome_props::ShowElimination() {
  frm_outcome_eliminate dialog(document_, this);
  dialog.exec();
  InsertCondition(dialog.Condition());
}

}  // namespace vyr::gui
