// The plan command builder ("Command Wizard"): one page per plan statement, filled from the mission's
// own locations and areas. The statement texts come from the core's PlanCommandBuilder; this window only
// binds its controls to the builder's fields.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "editor/document/mission_document.h"
#include "editor/script/plan_builder.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace vyr::gui {

class RefusalHint;

class frm_command : public QDialog {
  Q_OBJECT

 public:
  // `insert_into_plan` receives the statement (CR LF line ends) for the team window's plan at its caret;
  // it does nothing when no team window is there to take it.
  frm_command(const editor::MissionDocument& document, std::function<void(const QString&)> insert_into_plan,
              QWidget* parent = nullptr);

  // Shows page `page` (0 to 16) of SSTab1; other numbers are ignored.
  void ShowPage(int page);

  // Builds the statement of the showing page into CommandText; a build that produces nothing (a wait
  // page with no wait type) leaves CommandText as it was and returns false.
  bool BuildCommand();
  const std::string& CommandText() const { return builder_.CommandText; }

 private:
  QWidget* MakePage(editor::PlanPage page);
  QComboBox* Choice(QWidget* page, const char* name, editor::ComboChoice& choice);
  QLineEdit* TextBox(QWidget* page, const char* name, std::string& value);
  // Copies every control into the builder's fields.
  void ReadControls();
  void ApplyWaitEnabling();
  void Preview();
  void CopyToClipboard();
  void InsertIntoPlan();

  editor::PlanCommandBuilder builder_;
  std::function<void(const QString&)> insert_into_plan_;
  QTabWidget* SSTab1_;
  QListWidget* patrol_list_ = nullptr;
  RefusalHint* hint_;
  std::vector<std::pair<QComboBox*, editor::ComboChoice*>> choices_;
  std::vector<std::pair<QLineEdit*, std::string*>> text_boxes_;
};

// The preview of a built statement, ready to be copied.
class frm_codegen : public QDialog {
  Q_OBJECT

 public:
  explicit frm_codegen(const QString& command_text, QWidget* parent = nullptr);
};

}  // namespace vyr::gui
