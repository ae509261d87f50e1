// What every property window shares: the node it was opened for, its slot in the window registry
// (`MyFree`), the node index it was last told (`Tag`), and the record it edits, always found through the
// node so that a record renumbered by a removal above it is followed.
#pragma once

#include <QWidget>

#include "editor/document/mission_document.h"

namespace vyr::gui {

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

  // Fills the controls from the record; runs once, when the window opens.
  virtual void Load() = 0;
  // The window became the active child: its node is the selected node again, the record's indices are
  // read anew and list selections restored.
  virtual void Activate();

 protected:
  editor::MissionDocument& document_;

 private:
  editor::NodeId node_;
  int slot_ = -1;
  int tag_ = 0;
};

}  // namespace vyr::gui
