// The controls of an actor window: the tabs `tab_npc` with name, skin, skill and slider, the player box
// and the equipment page. Shared by the mission's actor window and the prefab actor window; where the
// record lives and how it is written is the owner's business.
#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <optional>

#include "editor/document/record_edit.h"
#include "editor/document/records.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;
class QTabWidget;
class QWidget;

namespace vyr::gui {

struct ActorAccess {
  // The record the controls show now; nullptr once it is gone (edits are then refused).
  std::function<const editor::ActorRecord*()> read;
  std::function<void(editor::Field, const editor::FieldValue&, int element)> write;
  std::function<void(const QString& name)> renamed;  // the author typed a new name; may be empty
};

// How an ammunition box reads its text: the actor window takes the leading number ("12abc" is 12), the
// prefab window the whole text, refusing what is not a 16-bit Integer.
enum class AmmoText : std::uint8_t { kLeadingNumber, kWholeNumber };

class ActorControls : public QObject {
  Q_OBJECT

 public:
  // Builds the controls into `window` (which must have no layout yet), `hint` under the tabs.
  ActorControls(QWidget& window, QLabel& hint, ActorAccess access, AmmoText ammo_text);

  // Fills every control from the record; writes nothing back.
  void Fill();
  // Shows the record in the controls that show something else, so a caret in a box that agrees stays;
  // a number box whose text was not taken stays while the field keeps the value confirmed before it.
  void Refresh();

  QTabWidget* tab_npc;
  QLineEdit* npc_name;
  QLineEdit* npc_skin;
  QLineEdit* npc_skill;
  QSlider* Slider1;
  QCheckBox* npc_player;
  QCheckBox* Check[6];
  QLineEdit* ammo[5];
  QCheckBox* itemcheck[5];

 private:
  // Fill (every box) and Refresh (the boxes that show something else) in one.
  void Show(bool every_box);
  QLineEdit* AddTextBox(QWidget& page, const char* name, editor::Field field);
  // Writes the skill when the text is a number and moves the slider to its nearest whole position.
  void SkillEdited(const QString& text);
  void AmmoEdited(int index, const QString& text);
  // The count an ammunition box's text stands for; nothing when the text is not taken.
  std::optional<editor::Integer> AmmoValue(const QString& text) const;

  // Text that is not taken writes back the value confirmed before the edit and says why.
  void NotTaken(QLineEdit& box, editor::Field field, const editor::FieldValue& kept, int element,
                bool restore, const QString& label, const QString& kept_text, const QString& what);
  void ShowHint(const QString& text);
  // Leaving a box confirms the field's value; text that was not taken gives way to it.
  void Confirm();

  QLabel& hint_;
  ActorAccess access_;
  AmmoText ammo_text_;
  bool syncing_ = false;  // the slider is being set from the text
  editor::Single confirmed_skill_ = 0;
  std::array<editor::Integer, 5> confirmed_ammo_{};
};

}  // namespace vyr::gui
