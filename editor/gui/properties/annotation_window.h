// The annotation window: the mission's free-text annotation in a box that fills the window, with a
// toolbar to make the font larger or smaller. Every change goes to the document at once.
#pragma once

#include <QString>
#include <QWidget>

#include "editor/document/mission_document.h"

class QLabel;
class QPlainTextEdit;
class QToolBar;

class frm_annotation : public QWidget {
  Q_OBJECT

 public:
  frm_annotation(vyr::editor::MissionDocument& document, QWidget* parent = nullptr);
  ~frm_annotation() override;

  // "sizeup": nothing at 9; otherwise one point larger, and "fixedsys" once it reaches 9.
  void SizeUp();
  // "sizedown": from 5 up one point smaller and "courier new"; nothing below 5.
  void SizeDown();

  int font_size() const { return font_size_; }
  // The face the size rules chose ("fixedsys", "courier new"); both show as the system's fixed font.
  const QString& font_face() const { return font_face_; }

 private:
  void ApplyFont();
  void ShowDocumentText();
  void TextEdited();

  vyr::editor::MissionDocument& document_;
  vyr::editor::Notifier<vyr::editor::DocumentChange>::Connection connection_;
  QToolBar* tlb_;
  QLabel* hint_;
  QPlainTextEdit* Annotation_;
  int font_size_ = 8;
  QString font_face_ = "courier new";
  bool updating_ = false;
};
