// The windows of the mission's general data: the mission itself, a location and an area.
#pragma once

#include "editor/gui/properties/property_window.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace vyr::gui {

// Mission properties: names, map and description, and the map's styles.
class frm_vyr_props : public PropertyWindow {
  Q_OBJECT

 public:
  frm_vyr_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent = nullptr);

  void Load() override;
  // Also restores the style selection from `map_styles`.
  void Activate() override;
  void Refresh() override;

 signals:
  // "&Edit map annotation" was pressed.
  void annotationRequested();

 private:
  void SelectStyles();
  QTabWidget* tab_vyr;
  QListWidget* list_map_style;
  QPushButton* Command1;
  bool loading_ = false;
};

class frm_loc_props : public PropertyWindow {
  Q_OBJECT

 public:
  frm_loc_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent = nullptr);

  // The location the window edits now.
  int LocalLocCounter() const { return address().index; }
  void Load() override;

 private:
  QLineEdit* loc_name;
};

class frm_area_props : public PropertyWindow {
  Q_OBJECT

 public:
  frm_area_props(editor::MissionDocument& document, editor::NodeId node, QWidget* parent = nullptr);

  // The area the window edits now.
  int LocalAreaCounter() const { return address().index; }
  void Load() override;
  // Refills both lists (the locations may have changed) and selects the area's entries; a list whose
  // last name lacks its "?" gets it stored back.
  void Activate() override;
  // Also follows the locations' names in its list, without storing anything back.
  void Refresh() override;

 protected:
  bool Follows(const editor::RecordEdit& edit) const override;
  bool Follows(editor::DocumentChange change) const override;

 private:
  // "&Go": opens the window of the location at the list's focus entry.
  void Go();
  void FillLists();
  QStringList LocationNames() const;

  QLineEdit* area_name;
  QListWidget* list_area_loc;
  QListWidget* list_area_style;
  QPushButton* Command1;
  bool loading_ = false;
};

}  // namespace vyr::gui
