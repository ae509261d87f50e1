// The prefab library's windows: the library window `frm_template2` beside the project tree, the name
// dialog, and the prefab team and actor windows. The library does the work; these only ask, show and
// enable, and tell the author what a command refused.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <QWidget>

#include "editor/document/mission_document.h"
#include "editor/document/user_interface.h"
#include "editor/gui/prefab_windows/prefab_drag.h"
#include "editor/prefabs/prefab_library.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vyr::gui {

class ActorControls;

// The name dialog: the typed name, or an empty string when the author cancels.
class frm_newprefab : public QDialog {
  Q_OBJECT

 public:
  frm_newprefab(const QString& caption, QWidget* parent = nullptr);
  QString result_text() const { return result_text_; }

  static QString Ask(const QString& caption, QWidget* parent);

 private:
  QLineEdit* Text1;
  QString result_text_;
};

// One actor of the library (library mode) or of a prefab team (team-member mode).
class frm_prefab_actor_props : public QWidget {
  Q_OBJECT

 public:
  explicit frm_prefab_actor_props(editor::PrefabLibrary& library, QWidget* parent = nullptr);
  void Open(const editor::PrefabActorRef& ref);
  const editor::PrefabActorRef& ref() const { return ref_; }

 private:
  editor::PrefabLibrary& library_;
  editor::PrefabActorRef ref_;
  QLabel* hint_;
  ActorControls* controls_;
};

// The actors of one prefab team as a tree; a click on an actor opens it in the actor window.
class frm_prefab_team_props : public QWidget {
  Q_OBJECT

 public:
  frm_prefab_team_props(editor::PrefabLibrary& library, frm_prefab_actor_props& actor_window,
                        QWidget* parent = nullptr);
  void Open(int group, int member);
  int group() const { return group_; }
  int member() const { return member_; }

 private:
  void Clicked(QTreeWidgetItem* item);
  void Renamed(const editor::PrefabEvent& event);

  editor::PrefabLibrary& library_;
  frm_prefab_actor_props& actor_window_;
  QTreeWidget* Tree;
  int group_ = -1;
  int member_ = -1;
  editor::Notifier<editor::PrefabEvent>::Connection connection_;
};

// t_list: its drags carry the clicked member of the current group.
class PrefabList : public QListWidget {
  Q_OBJECT

 public:
  PrefabList(editor::PrefabLibrary& library, QWidget* parent);

 protected:
  void startDrag(Qt::DropActions actions) override;

 private:
  editor::PrefabLibrary& library_;
};

class frm_template2 : public QWidget, public PrefabDropTarget {
  Q_OBJECT

 public:
  // `actor_menu` and `team_menu` are the main window's mn_prefab_actor and mn_prefab_team.
  frm_template2(editor::PrefabLibrary& library, editor::MissionDocument& document, editor::UserInterface& ui,
                QMenu& actor_menu, QMenu& team_menu, QWidget* parent = nullptr);
  ~frm_template2() override;

  // Reads the library files; a damaged file is named with its line.
  void LoadLibrary();
  // Writes what is still unwritten; a failed write is shown.
  void Unload();

  // The member context menu of the current mode, enabled for the item at `position` (t_list's viewport).
  QMenu& PrepareMemberMenu(const QPoint& position);
  void DeleteMember();
  void PasteAsPrefab();
  void EditActor();
  void EditTeam();

  void DropPrefab(const PrefabDrag& drag, editor::NodeId node) override;

  frm_prefab_actor_props* actor_window() const { return actor_window_; }
  frm_prefab_team_props* team_window() const { return team_window_; }

 private:
  void Changed(const editor::PrefabEvent& event);
  void FillCombo(editor::PrefabMode mode);
  void ShowMode();
  void ListGroup();
  void ToggleControls();
  void Report(const editor::Status& status);

  editor::PrefabLibrary& library_;
  editor::MissionDocument& document_;
  editor::UserInterface& ui_;
  QMenu& actor_menu_;
  QMenu& team_menu_;

  QComboBox* c_combo;
  QComboBox* t_combo;
  QComboBox* t1_combo;
  PrefabList* t_list;
  QPushButton* Command1;
  QWidget* controls_;  // Command2 to Command6, cut off by "+"
  frm_prefab_actor_props* actor_window_;
  frm_prefab_team_props* team_window_;
  editor::Notifier<editor::PrefabEvent>::Connection connection_;
};

}  // namespace vyr::gui
