// Undo and redo of the document's edits. Each step has a label that says what it undoes ("Rename
// location"). Field edits are taken from the document's RecordEdit announcements and undone by writing
// the old value back; operations that add, delete or move records run through Perform(), which keeps a
// snapshot of the document before and after and restores it wholesale.
//
// The steps form one line of history: undoing restores exactly the state a step began from, so the
// record indices held by later steps stay right. A structural change made outside Perform() (loading a
// project, importing a script, a new project) cannot be undone and starts a new history.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/document/mission_document.h"

namespace vyr::editor {

class EditHistory {
 public:
  struct Limits {
    std::size_t max_steps = 100;
    std::size_t max_bytes = std::size_t{64} << 20;
  };

  explicit EditHistory(MissionDocument& document) : EditHistory(document, Limits{}) {}
  EditHistory(MissionDocument& document, Limits limits);
  ~EditHistory();
  EditHistory(const EditHistory&) = delete;
  EditHistory& operator=(const EditHistory&) = delete;

  // Runs `operation` (any number of document operations) as one step called `label`; an operation that
  // changed nothing leaves no step. A Perform inside another joins the outer step.
  void Perform(std::string_view label, const std::function<void()>& operation);

  // While a Group lives, field edits form one step called `label`, apart from the steps around it.
  class [[nodiscard]] Group {
   public:
    Group(EditHistory& history, std::string label);
    ~Group();
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;

   private:
    EditHistory& history_;
  };

  // Consecutive edits of one field of one record (typing in one box) merge into one step until this is
  // called: the author left the box or paused.
  void CloseMerge() { merge_open_ = false; }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // The label of the step Undo or Redo would take back or make again; empty when there is none.
  std::string UndoLabel() const { return undo_.empty() ? std::string() : undo_.back().label; }
  std::string RedoLabel() const { return redo_.empty() ? std::string() : redo_.back().label; }
  bool Undo();
  bool Redo();
  void Clear();

  std::size_t undo_count() const { return undo_.size(); }
  std::size_t redo_count() const { return redo_.size(); }
  std::size_t bytes() const { return bytes_; }  // what the kept steps hold, roughly
  const Limits& limits() const { return limits_; }

  // The steps, their labels or the ability to undo or redo changed.
  Notifier<>& changes() { return changes_; }

 private:
  using SnapshotPtr = std::shared_ptr<const MissionDocument::Snapshot>;
  struct Step {
    std::string label;
    std::vector<RecordEdit> edits;  // a field step: undone last to first
    SnapshotPtr before, after;      // a structural step
    bool mergeable = false;
    std::size_t bytes = 0;
  };

  void OnEdit(const RecordEdit& edit);
  void OnDocumentChange(DocumentChange change);
  void OnTreeEvent(const TreeEvent& event);
  void Push(Step step);
  void DropRedo();
  void Trim();
  void Apply(const RecordEdit& edit, bool forward);
  static std::size_t BytesOf(const RecordEdit& edit);

  MissionDocument& document_;
  Limits limits_;
  std::deque<Step> undo_, redo_;
  std::size_t bytes_ = 0;
  SnapshotPtr current_;     // a snapshot known to equal the document now, or null
  std::string annotation_;  // the annotation as last seen, for its edits' old value
  bool merge_open_ = false;
  int depth_ = 0;          // running Perform calls
  bool changed_ = false;   // the running Perform changed the document
  bool applying_ = false;  // an undo or redo is writing the document
  std::optional<std::string> group_label_;
  bool group_started_ = false;

  Notifier<> changes_;
  Notifier<RecordEdit>::Connection edit_connection_;
  Notifier<DocumentChange>::Connection change_connection_;
  Notifier<TreeEvent>::Connection tree_connection_;
};

// The label of a step that edits `field`: "Rename location", "Edit location x", "Edit plan"...
std::string_view EditLabel(Field field);

}  // namespace vyr::editor
