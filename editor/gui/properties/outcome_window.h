// The outcome property window: type, force, message, the trigger with its condition builder, and the
// missions that may follow. Every change goes to the record through the document at once.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "editor/gui/properties/property_window.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace vyr::gui {

class RefusalHint;

class frm_outcome_props : public PropertyWindow {
  Q_OBJECT

 public:
  frm_outcome_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent = nullptr);

  void Load() override;
  // Refills the type and force lists, one entry per force, and selects the record's values in them.
  void Activate() override;
  // Also follows the forces' names in its force list.
  void Refresh() override;

  // Puts `text` into the trigger at its caret (before any selection); the caret ends behind it.
  void InsertAtCaret(const QString& text);

 protected:
  bool Follows(const editor::RecordEdit& edit) const override;
  bool Follows(editor::DocumentChange change) const override;

 private:
  // The record's index now, or nothing when the node has gone.
  std::optional<int> OutcomeIndex() const;
  void FillLists();
  void Store(editor::Field field, const QString& text);
  void TypeChanged(const QString& text);
  void RebuildNextMissions();
  void InsertCondition(const std::optional<std::string>& condition);
  void ShowTimeout();
  void ShowElimination();

  QComboBox* outcome_type_;
  QComboBox* combo_outcome_force_;
  QLineEdit* outcome_message_;
  QPlainTextEdit* outcome_reason_;
  QListWidget* nextmission_;
  QLineEdit* outcome_next_;
  QCheckBox* Check1_;
  QFrame* instructions_;
  RefusalHint* hint_;
  bool loading_ = false;  // controls are being filled from the record: nothing is written back
};

}  // namespace vyr::gui
