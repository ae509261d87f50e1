#include "editor/gui/properties/force_windows.h"

#include <QCheckBox>
#include <QCursor>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <array>
#include <map>
#include <variant>

#include "editor/check/problems.h"
#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/number_text.h"
#include "editor/gui/common/text_boxes.h"
#include "editor/gui/properties/plan_completer.h"
#include "editor/gui/properties/plan_highlighter.h"

namespace vyr::gui {

using editor::Field;

namespace {

QTabWidget* MakeTabs(QWidget& window, const char* name, QLabel* hint) {
  auto* tabs = new QTabWidget(&window);
  tabs->setObjectName(name);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(tabs, 1);
  layout->addWidget(hint);
  return tabs;
}

QWidget* AddPage(QTabWidget& tabs, const QString& title) {
  auto* page = new QWidget(&tabs);
  tabs.addTab(page, title);
  return page;
}

}  // namespace

// --- force ---

frm_force_props::frm_force_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : PropertyWindow(document, node, parent) {
  setObjectName("frm_force_props");
  auto* frame = new QGroupBox("Force properties", this);
  auto* form = new QFormLayout(frame);
  AddNameBox(*form, "force_name", "Force name", Field::kForceName, "Force - ");
  AddTextBox(*form, "force_desc", "Description", Field::kForceDesc);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame, 1);
  layout->addWidget(hint());
}

void frm_force_props::Load() {
  setWindowTitle("Force");
  LoadBoxes();
}

// --- team ---

frm_team_props::frm_team_props(editor::MissionDocument& document, editor::NodeId node, QMenu* plan_menu,
                               QWidget* parent)
    : PropertyWindow(document, node, parent), plan_menu_(plan_menu) {
  setObjectName("frm_team_props");
  tab_team = MakeTabs(*this, "tab_team", hint());
  QWidget* page = AddPage(*tab_team, "Team");
  auto* form = new QFormLayout(page);
  team_name = AddNameBox(*form, "team_name", "Team name", Field::kTeamName, "Team - ");
  AddTextBox(*form, "team_desc", "Description", Field::kTeamDesc);

  rtfb = new QPlainTextEdit(page);
  rtfb->setObjectName("rtfb");
  rtfb->setLineWrapMode(QPlainTextEdit::NoWrap);
  Command2 = new QPushButton("&Create new command", page);
  Command2->setObjectName("Command2");
  auto* plan = new QVBoxLayout;
  plan->addWidget(rtfb, 1);
  plan->addWidget(Command2, 0, Qt::AlignLeft);
  form->addRow("Plan", plan);

  connect(rtfb, &QPlainTextEdit::textChanged, this, &frm_team_props::PlanEdited);
  highlighter_ = new PlanHighlighter(*rtfb);
  new PlanCompleter(*rtfb, [this] {
    PlanNames names;
    for (int i = 0; i < document_.location_count(); ++i)
      names.locations << FromCodePage(document_.location(i).loc_name);
    for (int i = 0; i < document_.area_count(); ++i)
      names.areas << FromCodePage(document_.area(i).area_name);
    for (int f = 0; f < document_.force_count(); ++f) {
      names.others << FromCodePage(document_.force(f).force_name);
      for (int t = 0; t < document_.team_count(f); ++t) {
        names.others << FromCodePage(document_.team(f, t).team_name);
        for (int a = 0; a < document_.actor_count(f, t); ++a)
          names.others << FromCodePage(document_.actor(f, t, a).npc_name);
      }
    }
    return names;
  });
  connect(Command2, &QPushButton::clicked, this, [this] {
    if (plan_menu_) plan_menu_->popup(QCursor::pos());
    rtfb->setFocus();  // where the focus returns once the menu has closed
  });
}

void frm_team_props::Load() {
  LoadBoxes();
  setWindowTitle("Team - " + team_name->text());
  loading_ = true;
  rtfb->setPlainText(ToBoxLines(TextField(Field::kPlan)));
  loading_ = false;
}

void frm_team_props::Refresh() {
  RefreshBoxes();
  const std::string plan = TextField(Field::kPlan);
  if (FromBoxLines(*rtfb->document()) == plan) return;
  loading_ = true;
  rtfb->setPlainText(ToBoxLines(plan));
  loading_ = false;
}

void frm_team_props::ShowProblems(const std::vector<editor::Problem>& mine) {
  std::map<int, QString> marks;
  for (const editor::Problem& problem : mine) {
    if (problem.field != Field::kPlan || problem.line <= 0) continue;
    QString& mark = marks[problem.line];
    if (!mark.isEmpty()) mark += "\n";
    mark += FromCodePage(problem.what);
  }
  highlighter_->SetProblems(std::move(marks));
}

void frm_team_props::InsertIntoPlan(const QString& text) {
  InsertAtCaret(*rtfb, text);  // a selected part of the plan stays: the statement lands before it
}

void frm_team_props::PlanEdited() {
  if (loading_) return;
  loading_ = true;
  const QString refused = TakeOutForeignCharacters(*rtfb->document());
  loading_ = false;
  if (refused.isEmpty()) {
    hint()->hide();
  } else {
    ShowHint(ForeignCharacterHint(refused));
  }
  Write(Field::kPlan, FromBoxLines(*rtfb->document()));
}

// --- actor ---

frm_npc_props::frm_npc_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent)
    : PropertyWindow(document, node, parent) {
  setObjectName("frm_npc_props");
  controls_ = new ActorControls(
      *this, *hint(),
      {[this] { return Actor(); },
       [this](Field field, const editor::FieldValue& value, int element) { Write(field, value, element); },
       [this](const QString& name) { setWindowTitle("Actor - " + name); }},
      AmmoText::kLeadingNumber);
}

const editor::ActorRecord* frm_npc_props::Actor() const {
  const editor::RecordRef at = record();
  if (!document_.GetField(at, Field::kNpcName)) return nullptr;
  return &document_.actor(at.force, at.team, at.index);
}

void frm_npc_props::Load() {
  controls_->Fill();
  setWindowTitle("Actor - " + controls_->npc_name->text());
}

void frm_npc_props::Refresh() {
  controls_->Refresh();
  setWindowTitle("Actor - " + controls_->npc_name->text());
}

}  // namespace vyr::gui

#include "moc_force_windows.cpp"
