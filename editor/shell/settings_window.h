// The game settings window: the quick run's game options, the default project folder, the game folder,
// the file association button and the interval of recovery copies. Every value is saved the moment its
// control changes.
#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

#include "editor/document/user_interface.h"
#include "editor/launch/settings.h"

class frm_aq2settings : public QDialog {
  Q_OBJECT

 public:
  // `ui` answers the Browse dialog; `register_associations` runs when the association button is pressed.
  frm_aq2settings(vyr::editor::SettingsStore& store, vyr::editor::EditorSettings& settings,
                  vyr::editor::UserInterface& ui, std::function<void()> register_associations,
                  QWidget* parent = nullptr);
  ~frm_aq2settings() override;

 private:
  void Load();
  void Browse();

  vyr::editor::SettingsForm form_;
  vyr::editor::EditorSettings& settings_;
  vyr::editor::UserInterface& ui_;
  std::function<void()> register_associations_;
  QComboBox* bholelimit_;
  QComboBox* splatlimit_;
  QCheckBox* Check1_;
  QCheckBox* Check2_;
  QCheckBox* Check3_;
  QLineEdit* mcepath_;
  QLineEdit* txt_aq2path_;
  QSpinBox* autosave_interval_;
};
