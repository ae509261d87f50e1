// The windows of a fighting side: a force, one of its teams with the team's plan, one of a team's actors.
#pragma once

#include <QPointer>

#include "editor/gui/common/actor_controls.h"
#include "editor/gui/properties/property_window.h"

class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace vyr::gui {

class PlanHighlighter;

class frm_force_props : public PropertyWindow {
  Q_OBJECT

 public:
  frm_force_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent = nullptr);
  void Load() override;
};

class frm_team_props : public PropertyWindow {
  Q_OBJECT

 public:
  // `plan_menu` is the main window's `mn_plan`; may be null.
  frm_team_props(editor::MissionDocument& document, editor::NodeId node, QMenu* plan_menu,
                 QWidget* parent = nullptr);
  void Load() override;
  void Refresh() override;

  // Puts `text` (CR LF or Qt line breaks) into the plan at the start of the selection, replacing nothing,
  // and leaves the caret after it.
  void InsertIntoPlan(const QString& text);

 private:
  void PlanEdited();
  // Underlines the lines of the plan that have a problem.
  void ShowProblems(const std::vector<editor::Problem>& mine) override;

  QTabWidget* tab_team;
  QLineEdit* team_name;
  QPlainTextEdit* rtfb;
  QPushButton* Command2;
  QPointer<QMenu> plan_menu_;
  PlanHighlighter* highlighter_;
  bool loading_ = false;
};

class frm_npc_props : public PropertyWindow {
  Q_OBJECT

 public:
  frm_npc_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent = nullptr);
  void Load() override;
  void Refresh() override;

 private:
  const editor::ActorRecord* Actor() const;

  ActorControls* controls_;
};

}  // namespace vyr::gui
