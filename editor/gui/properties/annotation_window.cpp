#include "editor/gui/properties/annotation_window.h"

#include <QAction>
#include <QFontDatabase>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/shell_resources.h"

namespace {

constexpr int kLargestSize = 9;
constexpr int kSmallestShrinkableSize = 5;

}  // namespace

frm_annotation::frm_annotation(vyr::editor::MissionDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
  vyr::gui::InitShellResources();
  setObjectName("frm_annotation");
  setWindowTitle("Mission annotation");

  tlb_ = new QToolBar(this);
  tlb_->setObjectName("tlb");
  tlb_->setIconSize(QSize(16, 16));
  QAction* size_up =
      tlb_->addAction(QIcon(":/icons/annotation/sizeup.svg"), "Font size up", this, &frm_annotation::SizeUp);
  size_up->setObjectName("sizeup");
  QAction* size_down = tlb_->addAction(QIcon(":/icons/annotation/sizedown.svg"), "Font size down", this,
                                       &frm_annotation::SizeDown);
  size_down->setObjectName("sizedown");

  hint_ = new QLabel(this);
  hint_->setObjectName("annotation_hint");
  hint_->setWordWrap(true);
  hint_->hide();

  Annotation_ = new QPlainTextEdit(this);
  Annotation_->setObjectName("Annotation");

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(tlb_);
  layout->addWidget(hint_);
  layout->addWidget(Annotation_, 1);
  resize(480, 320);

  ApplyFont();
  ShowDocumentText();
  connect(Annotation_, &QPlainTextEdit::textChanged, this, &frm_annotation::TextEdited);
  connection_ = document_.changes().Connect([this](vyr::editor::DocumentChange change) {
    if (change == vyr::editor::DocumentChange::kMissionInfo && !updating_) ShowDocumentText();
  });
}

frm_annotation::~frm_annotation() = default;

void frm_annotation::SizeUp() {
  if (font_size_ == kLargestSize) return;
  ++font_size_;
  if (font_size_ == kLargestSize) font_face_ = "fixedsys";
  ApplyFont();
}

void frm_annotation::SizeDown() {
  if (font_size_ < kSmallestShrinkableSize) return;
  --font_size_;
  font_face_ = "courier new";
  ApplyFont();
}

void frm_annotation::ApplyFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(font_size_);
  Annotation_->setFont(font);
}

void frm_annotation::ShowDocumentText() {
  if (vyr::gui::FromBoxLines(*Annotation_->document()) == document_.info.annotation) return;
  updating_ = true;
  Annotation_->setPlainText(vyr::gui::ToBoxLines(document_.info.annotation));
  updating_ = false;
}

void frm_annotation::TextEdited() {
  if (updating_) return;
  // Characters the code page cannot hold are taken out again, with a hint, rather than saved as '?'.
  updating_ = true;
  const QString refused = vyr::gui::TakeOutForeignCharacters(*Annotation_->document());
  updating_ = false;
  if (!refused.isEmpty()) {
    hint_->setText(vyr::gui::ForeignCharacterHint(refused));
    hint_->show();
  } else {
    hint_->hide();
  }
  updating_ = true;
  document_.SetAnnotation(vyr::gui::FromBoxLines(*Annotation_->document()));
  updating_ = false;
}

// Compiled here rather than in the library's shared moc unit, which only links once every header of the
// folder has its implementation.
#include "moc_annotation_window.cpp"
