// The two modal condition dialogs of the outcome window. Each composes one term of an outcome's
// trigger; the term is there only when the dialog was closed with "&Ok".
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "editor/document/mission_document.h"

class QComboBox;
class QLineEdit;

namespace vyr::gui {

class RefusalHint;

// "timeout(<seconds>) ", the seconds as typed.
class frm_outcome_timeout : public QDialog {
  Q_OBJECT

 public:
  explicit frm_outcome_timeout(QWidget* parent = nullptr);

  // Nothing unless "&Ok" closed the dialog with something typed: an empty term would only break the trigger.
  const std::optional<std::string>& Condition() const { return condition_; }

 private:
  QLineEdit* timeout_;
  RefusalHint* hint_;
  std::optional<std::string> condition_;
};

// eliminated("<name>") for a force, team or actor of the document.
class frm_outcome_eliminate : public QDialog {
  Q_OBJECT

 public:
  explicit frm_outcome_eliminate(const editor::MissionDocument& document, QWidget* parent = nullptr);

  // Nothing unless "&Ok" closed the dialog; with no names at all the term names "".
  const std::optional<std::string>& Condition() const { return condition_; }

 private:
  void FillNames(int kind);

  const editor::MissionDocument& document_;
  QComboBox* el_type_;
  QComboBox* el_who_;
  std::optional<std::string> condition_;
};

}  // namespace vyr::gui
