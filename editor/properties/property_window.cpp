#include "editor/properties/property_window.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <variant>

#include "editor/properties/number_text.h"
#include "editor/shell/code_page_text.h"

namespace vyr::gui {

using editor::Field;
using editor::NodeImage;
using editor::RecordRef;

PropertyWindow::PropertyWindow(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : QWidget(parent), document_(document), node_(node), hint_(new QLabel(this)) {
  hint_->setObjectName("text_hint");
  hint_->setWordWrap(true);
  hint_->hide();
}

void PropertyWindow::Activate() {
  if (document_.tree().Contains(node_)) document_.MakeCurrent(node_);
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
  (void)document_.SetField(record(), field, value, element);
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
  box->setValidator(new CodePageValidator(box));
  form.addRow(label, box);
  connect(box, &QLineEdit::inputRejected, this, [this] { ShowHint(ForeignCharacterHint({})); });
  connect(box, &QLineEdit::textEdited, this, [this, field](const QString& text) {
    hint_->hide();
    Write(field, ToCodePage(text));
  });
  boxes_.push_back({box, field, 0});
  return box;
}

QLineEdit* PropertyWindow::AddNameBox(QFormLayout& form, const char* name, const QString& label, Field field,
                                      const QString& caption_prefix) {
  QLineEdit* box = AddTextBox(form, name, label, field);
  connect(box, &QLineEdit::textEdited, this,
          [this, caption_prefix](const QString& text) { setWindowTitle(caption_prefix + text); });
  return box;
}

QLineEdit* PropertyWindow::AddNumberBox(QFormLayout& form, const char* name, const QString& label,
                                        Field field, int element) {
  auto* box = new QLineEdit(this);
  box->setObjectName(name);
  form.addRow(label, box);
  connect(box, &QLineEdit::textEdited, this, [this, box, field, element](const QString& text) {
    if (const auto value = ParseInteger(text.toStdString())) {
      MarkRejected(*box, {});
      Write(field, *value, element);
      return;
    }
    const auto kept = document_.GetField(record(), field, element);
    const editor::Integer last = kept ? std::get<editor::Integer>(*kept) : 0;
    MarkRejected(
        *box, QStringLiteral("Not taken: a whole number from -32768 to 32767 is needed. The field keeps %1.")
                  .arg(last));
  });
  boxes_.push_back({box, field, element});
  return box;
}

void PropertyWindow::MarkRejected(QLineEdit& box, const QString& reason) {
  box.setProperty("taken", reason.isEmpty());
  box.setToolTip(reason);
  box.setStyleSheet(reason.isEmpty() ? QString()
                                     : QStringLiteral("QLineEdit { border: 2px solid #c00000; }"));
}

void PropertyWindow::LoadBoxes() {
  for (const Box& entry : boxes_) {
    const auto value = document_.GetField(record(), entry.field, entry.element);
    if (!value) continue;
    if (const auto* text = std::get_if<std::string>(&*value)) entry.box->setText(FromCodePage(*text));
    if (const auto* number = std::get_if<editor::Integer>(&*value))
      entry.box->setText(QString::number(*number));
    MarkRejected(*entry.box, {});
  }
}

void PropertyWindow::ShowHint(const QString& text) {
  hint_->setText(text);
  hint_->show();
}

}  // namespace vyr::gui

#include "moc_property_window.cpp"
