#include "editor/gui/properties/property_window.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <map>
#include <variant>

#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/number_text.h"
#include "editor/gui/common/text_boxes.h"

namespace vyr::gui {

using editor::Field;
using editor::NodeImage;
using editor::RecordRef;

PropertyWindow::PropertyWindow(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : QWidget(parent),
      document_(document),
      node_(node),
      hint_(new QLabel(this)),
      check_timer_(new QTimer(this)) {
  hint_->setObjectName("text_hint");
  hint_->setWordWrap(true);
  hint_->hide();
  edits_ = document_.edits().Connect([this](const editor::RecordEdit& edit) {
    if (!writing_) RefreshWhen(edit.record == record() || Follows(edit));
  });
  changes_ =
      document_.changes().Connect([this](editor::DocumentChange change) { RefreshWhen(Follows(change)); });
  check_timer_->setSingleShot(true);
  check_timer_->setInterval(kCheckDelayMs);
  connect(check_timer_, &QTimer::timeout, this, &PropertyWindow::CheckNow);
  QTimer::singleShot(0, this, &PropertyWindow::CheckNow);  // once the window has loaded its record
}

// A window whose node has gone is closing: the host drops it when the tree says so.
void PropertyWindow::RefreshWhen(bool follows) {
  if (!follows || !document_.tree().Contains(node_)) return;
  Refresh();
  check_timer_->start();  // what it shows now may have other problems
}

bool PropertyWindow::Follows(const editor::RecordEdit&) const {
  return false;
}

bool PropertyWindow::Follows(editor::DocumentChange change) const {
  using editor::DocumentChange;
  using editor::RecordKind;
  if (change == DocumentChange::kNewProject) return true;
  switch (record().kind) {
    case RecordKind::kMission:
      return change == DocumentChange::kMissionInfo;
    case RecordKind::kLocation:
      return change == DocumentChange::kLocations;
    case RecordKind::kArea:
      return change == DocumentChange::kAreas;
    case RecordKind::kForce:
    case RecordKind::kTeam:
    case RecordKind::kActor:
      return change == DocumentChange::kForces;
    case RecordKind::kOutcome:
      return change == DocumentChange::kOutcomes;
  }
  return false;
}

void PropertyWindow::Activate() {
  if (document_.tree().Contains(node_)) document_.MakeCurrent(node_);
  check_timer_->start();  // other windows may have changed what this record's problems are
}

void PropertyWindow::CheckNow() {
  check_timer_->stop();
  for (const QPointer<QWidget>& control : marked_) {
    if (control.isNull()) continue;
    control->setStyleSheet(QString());
    control->setToolTip(QString());
  }
  marked_.clear();
  std::vector<editor::Problem> own;
  std::map<Field, QString> tips;
  for (editor::Problem& problem : editor::CheckRecord(document_, record())) {
    if (problem.field && *problem.field != Field::kPlan) {
      QString& tip = tips[*problem.field];
      if (!tip.isEmpty()) tip += "\n";
      tip += FromCodePage(problem.what);
    }
    own.push_back(std::move(problem));
  }
  for (const auto& [field, tip] : tips) {
    const char* name = ControlNameOf(field);
    QWidget* control = name != nullptr ? findChild<QWidget*>(name) : nullptr;
    if (control == nullptr) continue;
    control->setStyleSheet(
        QString("%1 { border: 2px solid #c00000; }").arg(control->metaObject()->className()));
    control->setToolTip(tip);
    marked_.emplace_back(control);
  }
  ShowProblems(own);
}

const char* ControlNameOf(Field field) {
  switch (field) {
    case Field::kMissionName:
      return "vyr_missionname";
    case Field::kAuthor:
      return "vyr_author";
    case Field::kMissionDescription:
      return "vyr_missiondescription";
    case Field::kMapName:
      return "vyr_mapname";
    case Field::kAnnotation:
      return "Annotation";
    case Field::kLocName:
      return "loc_name";
    case Field::kAreaName:
      return "area_name";
    case Field::kAreaLocations:
      return "list_area_loc";
    case Field::kAreaStyle:
      return "list_area_style";
    case Field::kAreaRadius:
      return "area_radius";
    case Field::kForceName:
      return "force_name";
    case Field::kTeamName:
      return "team_name";
    case Field::kPlan:
      return "rtfb";
    case Field::kNpcName:
      return "npc_name";
    case Field::kNpcSkin:
      return "npc_skin";
    case Field::kNpcSkill:
      return "npc_skill";
    case Field::kOutcomeType:
      return "outcome_type";
    case Field::kOutcomeForce:
      return "combo_outcome_force";
    case Field::kOutcomeMessage:
      return "outcome_message";
    case Field::kOutcomeReason:
      return "outcome_reason";
    case Field::kNextMission:
      return "nextmission";
    default:
      return nullptr;
  }
}

RecordRef PropertyWindow::record() const {
  const editor::NodeAddress at = address();
  switch (at.image) {
    case NodeImage::kRoot:
      return document_.tree().Contains(node_) ? RecordRef::Mission() : RecordRef::Location(-1);
    case NodeImage::kSubLocation:
      return RecordRef::Location(at.index);
    case NodeImage::kSubArea:
      return RecordRef::Area(at.index);
    case NodeImage::kSubForce:
      return RecordRef::Force(at.force);
    case NodeImage::kTeam:
      return RecordRef::Team(at.force, at.team);
    case NodeImage::kNpc:
      return RecordRef::Actor(at.force, at.team, at.index);
    case NodeImage::kPos:
    case NodeImage::kNeg:
      return RecordRef::Outcome(at.index);
    default:
      return RecordRef::Location(-1);  // no record
  }
}

void PropertyWindow::Write(Field field, const editor::FieldValue& value, int element) {
  const bool outer = writing_;
  writing_ = true;
  (void)document_.SetField(record(), field, value, element);
  writing_ = outer;
  check_timer_->start();
}

std::string PropertyWindow::TextField(Field field) const {
  const auto value = document_.GetField(record(), field);
  const std::string* text = value ? std::get_if<std::string>(&*value) : nullptr;
  return text != nullptr ? *text : std::string();
}

QLineEdit* PropertyWindow::AddTextBox(QFormLayout& form, const char* name, const QString& label,
                                      Field field) {
  auto* box = new QLineEdit(this);
  box->setObjectName(name);
  form.addRow(label, box);
  GuardOneLine(
      *box, [this](const QString& hint) { ShowHint(hint); }, [this] { hint_->hide(); });
  connect(box, &QLineEdit::textEdited, this,
          [this, field](const QString& text) { Write(field, ToCodePage(text)); });
  boxes_.push_back({box, field, 0, label, 0, {}});
  return box;
}

QLineEdit* PropertyWindow::AddNameBox(QFormLayout& form, const char* name, const QString& label, Field field,
                                      const QString& caption_prefix) {
  QLineEdit* box = AddTextBox(form, name, label, field);
  boxes_.back().caption_prefix = caption_prefix;
  connect(box, &QLineEdit::textEdited, this,
          [this, caption_prefix](const QString& text) { setWindowTitle(caption_prefix + text); });
  return box;
}

QLineEdit* PropertyWindow::AddNumberBox(QFormLayout& form, const char* name, const QString& label,
                                        Field field, int element) {
  auto* box = new QLineEdit(this);
  box->setObjectName(name);
  form.addRow(label, box);
  const std::size_t at = boxes_.size();
  boxes_.push_back({box, field, element, label, 0, {}});
  connect(box, &QLineEdit::textEdited, this, [this, at](const QString& text) {
    const Box& entry = boxes_[at];
    if (const auto value = ParseInteger(text.toStdString())) {
      MarkRejected(*entry.box, {});
      hint_->hide();
      Write(entry.field, *value, entry.element);
      return;
    }
    // A partial number typed on the way (4000 of 40000) is no value the author chose.
    if (IntegerField(entry) != entry.confirmed) Write(entry.field, entry.confirmed, entry.element);
    const QString reason = NumberNotTakenHint(entry.label, QString::number(entry.confirmed));
    MarkRejected(*entry.box, reason);
    ShowHint(reason);
  });
  // Leaving the box confirms what the field holds, and shows it when the text was not taken.
  connect(box, &QLineEdit::editingFinished, this, [this, at] {
    Box& entry = boxes_[at];
    entry.confirmed = IntegerField(entry);
    if (!ParseInteger(entry.box->text().toStdString())) {
      entry.box->setText(QString::number(entry.confirmed));
      MarkRejected(*entry.box, {});
    }
  });
  return box;
}

editor::Integer PropertyWindow::IntegerField(const Box& entry) const {
  const auto value = document_.GetField(record(), entry.field, entry.element);
  const auto* number = value ? std::get_if<editor::Integer>(&*value) : nullptr;
  return number != nullptr ? *number : 0;
}

void PropertyWindow::LoadBoxes() {
  for (Box& entry : boxes_) {
    const auto value = document_.GetField(record(), entry.field, entry.element);
    if (!value) continue;
    if (const auto* text = std::get_if<std::string>(&*value)) entry.box->setText(FromCodePage(*text));
    if (const auto* number = std::get_if<editor::Integer>(&*value)) {
      entry.box->setText(QString::number(*number));
      entry.confirmed = *number;
    }
    MarkRejected(*entry.box, {});
  }
}

void PropertyWindow::RefreshBoxes() {
  for (Box& entry : boxes_) {
    const auto value = document_.GetField(record(), entry.field, entry.element);
    if (!value) continue;
    if (const auto* text = std::get_if<std::string>(&*value)) {
      if (ShowText(*entry.box, FromCodePage(*text)) && !entry.caption_prefix.isEmpty())
        setWindowTitle(entry.caption_prefix + entry.box->text());
      continue;
    }
    const auto* number = std::get_if<editor::Integer>(&*value);
    if (number == nullptr) continue;
    const std::optional<editor::Integer> shown = ParseInteger(entry.box->text().toStdString());
    // Text the box did not take stays while the field still keeps the value confirmed before it.
    if (shown == *number || (!shown && *number == entry.confirmed)) continue;
    entry.box->setText(QString::number(*number));
    entry.confirmed = *number;
    MarkRejected(*entry.box, {});
  }
}

void PropertyWindow::ShowHint(const QString& text) {
  hint_->setText(text);
  hint_->show();
}

}  // namespace vyr::gui

#include "moc_property_window.cpp"
