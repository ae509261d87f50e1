// Undo and redo of the document's edits. Each step has a label that says what it undoes ("Rename
// location"). Field edits are taken from the document's RecordEdit announcements and undone by writing
// the old value back. Operations that add, delete or move records run inside a Transaction, which
// saves each span of records (a section from some record on, or one force) and its tree nodes just
// before an operation first changes it, so a step holds what it changed and no more.
//
// The steps form one line of history: undoing restores exactly the state a step began from, so the
// record indices held by later steps stay right. A structural change made outside a transaction
// (loading a project, importing a script, a new project) cannot be undone and starts a new history.
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

  // While a Transaction lives, the document's changes are recorded; Commit keeps them as one step
  // called `label` (none when nothing changed), and a transaction that ends uncommitted (an exception,
  // a refused operation) puts the document back as it found it. A transaction inside another joins it;
  // rolling the inner one back undoes only what it changed.
  class [[nodiscard]] Transaction {
   public:
    Transaction(EditHistory& history, std::string label);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

   private:
    EditHistory& history_;
    std::string label_;
    bool outer_;
    bool ended_ = false;
    std::size_t mark_ = 0;  // the first change of the step that is this transaction's
    MissionDocument::Globals before_;
  };

  // Runs `operation` (any number of document operations) in one transaction called `label`.
  void Perform(std::string_view label, const std::function<void()>& operation);
  // The same for an operation that can be refused: a refusal rolls back whatever it changed.
  Status Attempt(std::string_view label, const std::function<Status()>& operation);

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
  // Every kept step's label: those Undo would take back, oldest first, and those Redo would make again,
  // the next first.
  std::vector<std::string> UndoLabels() const;
  std::vector<std::string> RedoLabels() const;
  bool Undo();
  bool Redo();
  void Clear();

  std::size_t undo_count() const { return undo_.size(); }
  std::size_t redo_count() const { return redo_.size(); }
  std::size_t bytes() const { return bytes_; }  // what the kept steps hold, roughly
  const Limits& limits() const { return limits_; }
  // How many of the oldest steps the bounds have dropped since the history began or was cleared.
  std::size_t dropped_steps() const { return dropped_; }

  // The steps, their labels or the ability to undo or redo changed.
  Notifier<>& changes() { return changes_; }

 private:
  // One change of a step: a saved span of records, or a field edit.
  struct Change {
    MissionDocument::Span span;
    MissionDocument::PartPtr part;  // null for a field edit
    RecordEdit edit;
  };
  struct Step {
    std::string label;
    std::vector<Change> changes;                              // undone last to first
    std::unique_ptr<MissionDocument::Globals> before, after;  // a structural step's
    bool mergeable = false;
    std::size_t bytes = 0;
  };
  class Recorder : public MissionDocument::Recorder {
   public:
    explicit Recorder(EditHistory& history) : history_(history) {}
    void WillChange(const MissionDocument::Span& span) override;

   private:
    EditHistory& history_;
  };

  void OnEdit(const RecordEdit& edit);
  void OnDocumentChange(DocumentChange change);
  void OnTreeEvent(const TreeEvent& event);
  void Record(const MissionDocument::Span& span);
  void Commit(std::string label, const MissionDocument::Globals& before);
  void RollBack(std::size_t mark, const MissionDocument::Globals& before);
  void Push(Step step);
  void DropRedo();
  void Trim();
  void Apply(Change& change, bool forward);
  static std::size_t BytesOf(const Change& change);

  MissionDocument& document_;
  Limits limits_;
  std::deque<Step> undo_, redo_;
  std::size_t bytes_ = 0;
  std::size_t dropped_ = 0;
  std::string annotation_;  // the annotation as last seen, for its edits' old value
  bool merge_open_ = false;
  bool applying_ = false;     // an undo, redo or rollback is writing the document
  std::optional<Step> open_;  // the step the running transactions record
  bool open_wiped_ = false;   // a new project began inside them: nothing can be undone
  std::optional<std::string> group_label_;
  bool group_started_ = false;
  Recorder recorder_{*this};

  Notifier<> changes_;
  Notifier<RecordEdit>::Connection edit_connection_;
  Notifier<DocumentChange>::Connection change_connection_;
  Notifier<TreeEvent>::Connection tree_connection_;
};

}  // namespace vyr::editor
