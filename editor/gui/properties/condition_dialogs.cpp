#include "editor/gui/properties/condition_dialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/text_boxes.h"
#include "editor/script/vocabulary.h"

namespace vyr::gui {

namespace {

constexpr const char* kCaption = "Mission outcome properties";

QPushButton* OkButton(QDialog* dialog) {
  auto* ok = new QPushButton("&Ok", dialog);
  ok->setObjectName("Command1");
  ok->setDefault(true);
  return ok;
}

}  // namespace

frm_outcome_timeout::frm_outcome_timeout(QWidget* parent) : QDialog(parent) {
  setObjectName("frm_outcome_timeout");
  setWindowTitle(kCaption);

  auto* label = new QLabel("Time-out after seconds", this);
  label->setObjectName("Label1");
  label->setWordWrap(true);
  // Narrow enough that "seconds" wraps onto the second line, below "Time-out after".
  label->setFixedWidth(label->fontMetrics().horizontalAdvance("Time-out after") + 8);
  timeout_ = new QLineEdit(this);
  timeout_->setObjectName("timeout");
  label->setBuddy(timeout_);
  hint_ = new RefusalHint(this);
  GuardCodePage(*timeout_, *hint_);
  QPushButton* ok = OkButton(this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(label, 0, 0);
  layout->addWidget(timeout_, 0, 1);
  layout->addWidget(ok, 0, 2);
  layout->addWidget(hint_, 1, 0, 1, 3);

  connect(ok, &QPushButton::clicked, this, [this] {
    if (!timeout_->text().isEmpty()) condition_ = "timeout(" + ToCodePage(timeout_->text()) + ") ";
    accept();
  });
}

frm_outcome_eliminate::frm_outcome_eliminate(const editor::MissionDocument& document, QWidget* parent)
    : QDialog(parent), document_(document) {
  setObjectName("frm_outcome_eliminate");
  setWindowTitle(kCaption);

  el_type_ = new QComboBox(this);
  el_type_->setObjectName("el_type");
  el_who_ = new QComboBox(this);
  el_who_->setObjectName("el_who");
  el_who_->setMinimumWidth(160);
  auto* type_label = new QLabel("Eliminiation of", this);
  type_label->setBuddy(el_type_);
  auto* who_label = new QLabel("Choose from", this);
  who_label->setBuddy(el_who_);
  QPushButton* ok = OkButton(this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(type_label, 0, 0);
  layout->addWidget(el_type_, 0, 1);
  layout->addWidget(who_label, 1, 0);
  layout->addWidget(el_who_, 1, 1);
  layout->addWidget(ok, 2, 1, Qt::AlignRight);

  connect(el_type_, &QComboBox::currentIndexChanged, this, &frm_outcome_eliminate::FillNames);
  el_type_->addItems({"Forces", "Teams", "Actors"});  // selects "Forces", which fills el_who
  connect(ok, &QPushButton::clicked, this, [this] {
    condition_ = "eliminated(" + editor::Quoted(ToCodePage(el_who_->currentText())) + ") ";
    accept();
  });
}

void frm_outcome_eliminate::FillNames(int kind) {
  el_who_->clear();
  const editor::MissionDocument& doc = document_;
  for (int f = 0; f < doc.force_count(); ++f) {
    if (kind == 0) {
      el_who_->addItem(FromCodePage(doc.force(f).force_name));
      continue;
    }
    for (int t = 0; t < doc.team_count(f); ++t) {
      if (kind == 1) {
        el_who_->addItem(FromCodePage(doc.team(f, t).team_name));
        continue;
      }
      for (int a = 0; a < doc.actor_count(f, t); ++a)
        el_who_->addItem(FromCodePage(doc.actor(f, t, a).npc_name));
    }
  }
  if (el_who_->count() > 0) el_who_->setCurrentIndex(0);
}

}  // namespace vyr::gui
