#include "editor/gui/prefab_windows/prefab_windows.h"

#include <QComboBox>
#include <QDrag>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editor/gui/common/actor_controls.h"
#include "editor/gui/common/code_page_text.h"
#include "editor/gui/common/text_boxes.h"
#include "editor/gui/common/twips.h"
#include "editor/prefabs/prefab_drop.h"

namespace vyr::gui {

using editor::PrefabChange;
using editor::PrefabEvent;
using editor::PrefabMode;

namespace {

constexpr const char* kMessageTitle = "Prefab library";
constexpr const char* kFaceIcon = ":/icons/prefab/face.svg";
constexpr int kCollapsedHeightTwips = 3330;
constexpr int kExpandedHeightTwips = 3675;
constexpr int kTreeRole = Qt::UserRole;  // an actor node's index; -1 on the root ("MyROOT")

QPushButton* Button(const char* name, const QString& caption, const QString& tip, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  if (!tip.isEmpty()) button->setToolTip(tip);
  return button;
}

QString MemberName(const editor::PrefabLibrary& library, const editor::PrefabActorRef& ref) {
  const editor::ActorRecord* actor = library.Actor(ref);
  return actor != nullptr ? FromCodePage(actor->npc_name) : QString();
}

}  // namespace

// --- name dialog ---

frm_newprefab::frm_newprefab(const QString& caption, QWidget* parent) : QDialog(parent) {
  setObjectName("frm_newprefab");
  setWindowTitle(caption);
  Text1 = new QLineEdit(this);
  Text1->setObjectName("Text1");
  auto* hint = new QLabel(this);
  hint->setObjectName("text_hint");
  hint->setWordWrap(true);
  hint->hide();
  Text1->setMinimumWidth(260);
  GuardOneLine(
      *Text1,
      [this, hint](const QString& text) {
        hint->setText(text);
        hint->show();
        adjustSize();  // the dialog grows to show the whole hint
      },
      [hint] { hint->hide(); });
  QPushButton* ok = Button("Command1", "&Ok", {}, this);
  QPushButton* cancel = Button("Command2", "&Cancel", {}, this);
  ok->setDefault(true);
  auto* form = new QFormLayout;
  form->addRow("Name:", Text1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(hint);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, [this] {
    result_text_ = Text1->text();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, [this] {
    result_text_.clear();
    reject();
  });
}

QString frm_newprefab::Ask(const QString& caption, QWidget* parent) {
  frm_newprefab dialog(caption, parent);
  dialog.exec();
  return dialog.result_text();
}

// --- prefab actor window ---

frm_prefab_actor_props::frm_prefab_actor_props(editor::PrefabLibrary& library, QWidget* parent)
    : QWidget(parent, Qt::Window), library_(library) {
  setObjectName("frm_prefab_actor_props");
  setWindowTitle("Prefab");
  auto* body = new QWidget(this);
  hint_ = new QLabel(body);
  hint_->setObjectName("text_hint");
  hint_->setWordWrap(true);
  hint_->hide();
  controls_ = new ActorControls(*body, *hint_,
                                {[this] { return library_.Actor(ref_); },
                                 [this](editor::Field field, const editor::FieldValue& value, int element) {
                                   // Refusals (an empty name) and failed writes are told under the controls,
                                   // not in a box per key.
                                   const editor::Status status =
                                       library_.SetActorField(ref_, field, value, element);
                                   if (!status && !status.cancelled) {
                                     hint_->setText(FromMessage(status.message));
                                     hint_->show();
                                   }
                                 },
                                 {}},
                                AmmoText::kWholeNumber);
  QPushButton* back = Button("Command1", "&Return", {}, this);
  connect(back, &QPushButton::clicked, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(body, 1);
  layout->addWidget(back, 0, Qt::AlignRight);
}

void frm_prefab_actor_props::Open(const editor::PrefabActorRef& ref) {
  ref_ = ref;
  hint_->hide();
  controls_->Fill();
  show();
  raise();
}

// --- prefab team window ---

frm_prefab_team_props::frm_prefab_team_props(editor::PrefabLibrary& library,
                                             frm_prefab_actor_props& actor_window, QWidget* parent)
    : QWidget(parent, Qt::Window), library_(library), actor_window_(actor_window) {
  setObjectName("frm_prefab_team_props");
  setWindowTitle("Prefab");
  Tree = new QTreeWidget(this);
  Tree->setObjectName("Tree");
  Tree->setHeaderHidden(true);
  Tree->setToolTip("Click a member to view/edit its properties");
  QPushButton* back = Button("Command1", "&Return", {}, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Team members:", this));
  layout->addWidget(Tree, 1);
  layout->addWidget(back, 0, Qt::AlignRight);
  connect(back, &QPushButton::clicked, this, &QWidget::close);
  connect(Tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { Clicked(item); });
  connection_ = library_.changes().Connect([this](const PrefabEvent& event) { Renamed(event); });
}

void frm_prefab_team_props::Open(int group, int member) {
  group_ = group;
  member_ = member;
  Tree->clear();
  if (!library_.teams().ValidMember(group, member)) return;
  const editor::TeamRecord& team = library_.teams().member(group, member);
  auto* root = new QTreeWidgetItem(Tree, {FromCodePage(team.team_name)});
  root->setData(0, kTreeRole, -1);
  for (int i = 0; i < team.actor_count; ++i) {
    auto* node = new QTreeWidgetItem(root, {FromCodePage(team.actors[static_cast<std::size_t>(i)].npc_name)});
    node->setData(0, kTreeRole, i);
  }
  root->setExpanded(true);
  show();
  raise();
}

void frm_prefab_team_props::Clicked(QTreeWidgetItem* item) {
  if (item == nullptr || item->parent() == nullptr) return;
  actor_window_.Open(editor::PrefabActorRef::TeamMember(group_, member_, item->data(0, kTreeRole).toInt()));
}

void frm_prefab_team_props::Renamed(const PrefabEvent& event) {
  if (event.change != PrefabChange::kMember || event.team_actor < 0 || event.group != group_ ||
      event.member != member_ || Tree->topLevelItemCount() == 0)
    return;
  QTreeWidgetItem* node = Tree->topLevelItem(0)->child(event.team_actor);
  if (node != nullptr)
    node->setText(
        0, MemberName(library_, editor::PrefabActorRef::TeamMember(group_, member_, event.team_actor)));
}

// --- t_list ---

PrefabList::PrefabList(editor::PrefabLibrary& library, QWidget* parent)
    : QListWidget(parent), library_(library) {
  setObjectName("t_list");
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QListWidget::itemPressed, this,
          [this](QListWidgetItem* item) { library_.SetClickedMember(row(item)); });
}

void PrefabList::startDrag(Qt::DropActions) {
  int member = library_.clicked_member();
  if (member < 0) member = currentRow();
  if (member < 0 || member >= count()) return;
  PrefabDrag carried;
  carried.kind = library_.mode() == PrefabMode::kActors ? PrefabDrag::Kind::kActor : PrefabDrag::Kind::kTeam;
  carried.group = library_.current_group();
  carried.index = member;
  auto* drag = new QDrag(this);
  drag->setMimeData(MakePrefabMimeData(carried));
  drag->setPixmap(QIcon(kFaceIcon).pixmap(24, 24));
  drag->exec(Qt::CopyAction);
}

// --- library window ---

frm_template2::frm_template2(editor::PrefabLibrary& library, editor::MissionDocument& document,
                             editor::UserInterface& ui, QMenu& actor_menu, QMenu& team_menu, QWidget* parent)
    : QWidget(parent),
      library_(library),
      document_(document),
      ui_(ui),
      actor_menu_(actor_menu),
      team_menu_(team_menu) {
  setObjectName("frm_template2");
  setWindowTitle("Prefabs");
  c_combo = new QComboBox(this);
  c_combo->setObjectName("c_combo");
  c_combo->addItems({"Actors", "Teams"});
  Command1 = Button("Command1", "-", "Hide Prefab Controls", this);
  Command1->setFixedWidth(Command1->sizeHint().height());
  t_combo = new QComboBox(this);
  t_combo->setObjectName("t_combo");
  t1_combo = new QComboBox(this);
  t1_combo->setObjectName("t1_combo");
  t1_combo->hide();
  t_list = new PrefabList(library_, this);
  t_list->setIconSize(QSize(16, 16));

  controls_ = new QWidget(this);
  auto* buttons = new QHBoxLayout(controls_);
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->setSpacing(2);
  QPushButton* add = Button("Command2", "&Add", "Add new Prefab Group", controls_);
  QPushButton* rename = Button("Command6", "&Edit", "Rename Prefab Group", controls_);
  QPushButton* remove = Button("Command3", "&Delete", "Delete current Prefab Group", controls_);
  QPushButton* import = Button("Command4", "&Import", "Import Prefab Group", controls_);
  QPushButton* exporting = Button("Command5", "&Export", "Export current Prefab Group", controls_);
  for (QPushButton* button : {add, rename, remove, import, exporting}) {
    button->setMinimumWidth(0);
    buttons->addWidget(button);
  }

  auto* top = new QHBoxLayout;
  top->addWidget(c_combo, 1);
  top->addWidget(Command1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(3);
  layout->addLayout(top);
  layout->addWidget(t_combo);
  layout->addWidget(t1_combo);
  layout->addWidget(t_list, 1);
  layout->addWidget(controls_);

  actor_window_ = new frm_prefab_actor_props(library_, this);
  team_window_ = new frm_prefab_team_props(library_, *actor_window_, this);

  connect(c_combo, &QComboBox::activated, this, [this](int position) {
    library_.SetMode(position == 0 ? PrefabMode::kActors : PrefabMode::kTeams);
  });
  for (QComboBox* groups : {t_combo, t1_combo})
    connect(groups, &QComboBox::activated, this, [this](int group) { library_.SelectGroup(group); });
  connect(t_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
    PrepareMemberMenu(position).popup(t_list->viewport()->mapToGlobal(position));
  });
  connect(Command1, &QPushButton::clicked, this, &frm_template2::ToggleControls);
  connect(add, &QPushButton::clicked, this, [this] {
    const QString name = frm_newprefab::Ask("Add new prefab group", this);
    if (!name.isEmpty()) Report(library_.AddGroup(ToCodePage(name)));
  });
  connect(rename, &QPushButton::clicked, this, [this] {
    if (library_.current_group() < 0) return;
    const QString name = frm_newprefab::Ask("Rename prefab group", this);
    if (!name.isEmpty()) Report(library_.RenameGroup(ToCodePage(name)));
  });
  connect(remove, &QPushButton::clicked, this, [this] { Report(library_.DeleteGroup()); });
  connect(import, &QPushButton::clicked, this, [this] { Report(library_.Import(ui_)); });
  connect(exporting, &QPushButton::clicked, this, [this] { Report(library_.Export(ui_)); });

  connection_ = library_.changes().Connect([this](const PrefabEvent& event) { Changed(event); });
  Changed(PrefabEvent{PrefabChange::kLoaded});
}

frm_template2::~frm_template2() = default;

void frm_template2::LoadLibrary() {
  Report(library_.Load());
}

void frm_template2::Unload() {
  Report(library_.Save());
}

void frm_template2::Report(const editor::Status& status) {
  if (!status.ok && !status.cancelled)
    ui_.ShowMessage(kMessageTitle, status.message, editor::MessageIcon::kExclamation);
}

void frm_template2::Changed(const PrefabEvent& event) {
  switch (event.change) {
    case PrefabChange::kLoaded:
      actor_window_->close();
      team_window_->close();
      FillCombo(PrefabMode::kActors);
      FillCombo(PrefabMode::kTeams);
      ShowMode();
      break;
    case PrefabChange::kMode:
      ShowMode();
      break;
    case PrefabChange::kGroups:
      // Groups may have moved under an open prefab window: it would edit another prefab.
      actor_window_->close();
      team_window_->close();
      FillCombo(event.mode);
      if (event.mode == library_.mode()) ListGroup();
      break;
    case PrefabChange::kMembers:
      // Members may have moved up under an open prefab window of that group.
      if (event.mode == PrefabMode::kActors && actor_window_->ref().team_actor < 0 &&
          actor_window_->ref().group == event.group)
        actor_window_->close();
      if (event.mode == PrefabMode::kTeams && team_window_->group() == event.group) {
        team_window_->close();
        if (actor_window_->ref().team_actor >= 0) actor_window_->close();
      }
      if (event.mode == library_.mode() && event.group == library_.current_group()) ListGroup();
      break;
    case PrefabChange::kMember:
      if (event.mode == PrefabMode::kActors && event.team_actor < 0 &&
          library_.mode() == PrefabMode::kActors && event.group == library_.current_group()) {
        if (QListWidgetItem* item = t_list->item(event.member))
          item->setText(MemberName(library_, editor::PrefabActorRef::Library(event.group, event.member)));
      }
      break;
  }
}

void frm_template2::FillCombo(PrefabMode mode) {
  QComboBox* combo = mode == PrefabMode::kActors ? t_combo : t1_combo;
  const std::vector<std::string>& names =
      mode == PrefabMode::kActors ? library_.actors().group_names() : library_.teams().group_names();
  QSignalBlocker quiet(combo);
  combo->clear();
  for (const std::string& name : names)
    combo->addItem(FromCodePage(name));
  combo->setCurrentIndex(library_.current_group(mode));
}

void frm_template2::ShowMode() {
  const bool actors = library_.mode() == PrefabMode::kActors;
  {
    QSignalBlocker quiet(c_combo);
    c_combo->setCurrentIndex(actors ? 0 : 1);
  }
  t_combo->setVisible(actors);
  t1_combo->setVisible(!actors);
  ListGroup();
}

void frm_template2::ListGroup() {
  t_list->clear();
  const QIcon face(kFaceIcon);
  for (const std::string& name : library_.ListedMembers())
    t_list->addItem(new QListWidgetItem(face, FromCodePage(name)));
  QComboBox* combo = library_.mode() == PrefabMode::kActors ? t_combo : t1_combo;
  QSignalBlocker quiet(combo);
  combo->setCurrentIndex(library_.current_group());
}

void frm_template2::ToggleControls() {
  const bool collapse = Command1->text() == "-";
  controls_->setVisible(!collapse);
  Command1->setText(collapse ? "+" : "-");
  Command1->setToolTip(collapse ? "Show Prefab Controls" : "Hide Prefab Controls");
  QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget()) != nullptr ? parentWidget() : this;
  frame->resize(frame->width(), Pixels(collapse ? kCollapsedHeightTwips : kExpandedHeightTwips));
}

QMenu& frm_template2::PrepareMemberMenu(const QPoint& position) {
  const int member = t_list->row(t_list->itemAt(position));
  library_.SetMenuMember(member);
  const editor::PrefabMenuState state = library_.MenuState(document_);
  const bool actors = library_.mode() == PrefabMode::kActors;
  QMenu& menu = actors ? actor_menu_ : team_menu_;
  const QString stem = actors ? "mn_prefab_actor_" : "mn_prefab_team_";
  if (auto* item = menu.findChild<QAction*>(stem + "delete")) item->setEnabled(state.delete_enabled);
  if (auto* item = menu.findChild<QAction*>(stem + "paste")) item->setEnabled(state.paste_enabled);
  return menu;
}

void frm_template2::DeleteMember() {
  Report(library_.DeleteMember());
}

void frm_template2::PasteAsPrefab() {
  Report(library_.PasteAsPrefab(document_));
}

void frm_template2::EditActor() {
  if (library_.mode() != PrefabMode::kActors || library_.menu_member() < 0) return;
  actor_window_->Open(editor::PrefabActorRef::Library(library_.current_group(), library_.menu_member()));
}

void frm_template2::EditTeam() {
  if (library_.mode() != PrefabMode::kTeams || library_.menu_member() < 0) return;
  team_window_->Open(library_.current_group(), library_.menu_member());
}

void frm_template2::DropPrefab(const PrefabDrag& drag, editor::NodeId node) {
  const editor::PrefabDrag dropped{
      drag.kind == PrefabDrag::Kind::kActor ? PrefabMode::kActors : PrefabMode::kTeams, drag.group,
      drag.index};
  Report(editor::DropPrefab(document_, library_, node, dropped));
}

}  // namespace vyr::gui

#include "moc_prefab_windows.cpp"
