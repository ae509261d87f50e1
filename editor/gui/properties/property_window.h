// What every property window shares: the node it was opened for, its slot in the window registry
// (`MyFree`), the node index it was last told (`Tag`), and the record it edits, always found through the
// node so that a record renumbered by a removal above it is followed. The window follows the document's
// announcements itself: whatever changes what it shows (an undo, a redo, an edit made elsewhere), it shows
// anew; edits made by its own controls it leaves alone, so the author's caret stays where it is.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "editor/check/problems.h"
#include "editor/document/mission_document.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QTimer;

namespace vyr::gui {

// The object name of the control that edits `field` in its property window; nullptr when none does.
const char* ControlNameOf(editor::Field field);

class PropertyWindow : public QWidget {
  Q_OBJECT

 public:
  PropertyWindow(editor::MissionDocument& document, editor::NodeId node, QWidget* parent = nullptr);

  editor::NodeId node() const { return node_; }
  int slot() const { return slot_; }
  void SetSlot(int slot) { slot_ = slot; }
  int tag() const { return tag_; }
  void SetTag(int node_index) { tag_ = node_index; }

  // Where the window's record lives now.
  editor::NodeAddress address() const { return document_.tree().AddressOf(node_); }
  // The record the window edits, read from its node now. Once the node is gone no record matches, so
  // the window's edits are refused rather than landing on another record.
  virtual editor::RecordRef record() const;

  // A moment after the window's own edit, and when it opens or becomes active again, the problem check
  // runs: the controls of fields with a problem get a red frame with the message as tooltip.
  static constexpr int kCheckDelayMs = 300;
  void CheckNow();

  // Fills the controls from the record; runs once, when the window opens.
  virtual void Load() = 0;
  // The window became the active child: its node is the selected node again, the record's indices are
  // read anew and list selections restored.
  virtual void Activate();
  // Shows what the record holds now, changing only the controls that show something else; unlike
  // Activate it leaves the selection alone and writes nothing back.
  virtual void Refresh() { RefreshBoxes(); }

 signals:
  // The window asks for a node's window to be opened or brought forward (the area window's "&Go").
  void highlightRequested(vyr::editor::NodeId node);

 protected:
  // The window's own problems after each check (the team window underlines its plan's lines).
  virtual void ShowProblems(const std::vector<editor::Problem>& /*mine*/) {}

  // Writes one field of the window's record; refused quietly when the record is gone.
  void Write(editor::Field field, const editor::FieldValue& value, int element = 0);
  std::string TextField(editor::Field field) const;

  // A box for a text field that refuses characters the code page cannot hold (saying so in hint())
  // and writes its whole text into the field on every edit by the author.
  QLineEdit* AddTextBox(QFormLayout& form, const char* name, const QString& label, editor::Field field);
  // A text box for a name: the node's label follows (the document does that), and so does the
  // caption, `caption_prefix` + the text.
  QLineEdit* AddNameBox(QFormLayout& form, const char* name, const QString& label, editor::Field field,
                        const QString& caption_prefix);
  // A box for a 16-bit Integer field. Text that is no such number is not taken: the field keeps the
  // value confirmed before this edit (shown when the window opened, or when the author last left the box),
  // the box shows a red frame and the hint line says why; leaving the box shows the kept value again.
  QLineEdit* AddNumberBox(QFormLayout& form, const char* name, const QString& label, editor::Field field,
                          int element = 0);
  // Fills every box made by the Add functions from the record.
  void LoadBoxes();
  // The boxes that show something other than the record now show the record; a name box's caption
  // follows. A number box whose text was not taken stays while the field still keeps its value.
  void RefreshBoxes();

  // Whether an edit of another record, or a change of the document's sections, may alter what the window
  // shows; edits of the window's own record always do.
  virtual bool Follows(const editor::RecordEdit& edit) const;
  virtual bool Follows(editor::DocumentChange change) const;

  // The line under a window's controls that tells why typed text was left out; hidden until then.
  QLabel* hint() const { return hint_; }
  void ShowHint(const QString& text);

  editor::MissionDocument& document_;

 private:
  struct Box {
    QLineEdit* box;
    editor::Field field;
    int element;
    QString label;
    editor::Integer confirmed = 0;  // number boxes: what the field keeps while the text is no number
    QString caption_prefix;         // name boxes: the caption is this followed by the name
  };

  editor::Integer IntegerField(const Box& entry) const;
  void RefreshWhen(bool follows);

  editor::NodeId node_;
  int slot_ = -1;
  int tag_ = 0;
  QLabel* hint_;
  std::vector<Box> boxes_;
  bool writing_ = false;  // one of the window's own controls is writing its field
  editor::Notifier<editor::RecordEdit>::Connection edits_;
  editor::Notifier<editor::DocumentChange>::Connection changes_;
  QTimer* check_timer_;
  std::vector<QPointer<QWidget>> marked_;  // controls framed by the last check
};

}  // namespace vyr::gui
