#include "editor/document/edit_history.h"

#include <utility>

namespace vyr::editor {

namespace {

// Item lists get their missing final "?" the first time a window or the generator handles them. That
// is upkeep, not an edit of the author's, so it leaves no step.
bool IsTerminatorUpkeep(const RecordEdit& edit) {
  if (edit.field != Field::kAreaLocations && edit.field != Field::kAreaStyle) return false;
  const auto* before = std::get_if<std::string>(&edit.old_value);
  const auto* after = std::get_if<std::string>(&edit.new_value);
  return before != nullptr && after != nullptr && *after == *before + "?";
}

bool SameField(const RecordEdit& a, const RecordEdit& b) {
  return a.record == b.record && a.field == b.field && a.element == b.element;
}

// A saved span already holds what `span` would save: the same force, or a run of records that
// starts at or before it.
bool Covers(const MissionDocument::Span& saved, const MissionDocument::Span& span) {
  if (saved.section != span.section) return false;
  if (saved.single) return span.single && saved.first == span.first;
  return saved.first <= span.first;
}

std::size_t GlobalsBytes(const MissionDocument::Globals& globals) {
  std::size_t bytes = sizeof(globals) + FieldHeapBytes(globals.info);
  for (const FileNamePair& pair : globals.section_files)
    bytes += HeapBytes(pair.name) + HeapBytes(pair.directory);
  return bytes;
}

}  // namespace

EditHistory::EditHistory(MissionDocument& document, Limits limits)
    : document_(document), limits_(limits), annotation_(document.info.annotation) {
  edit_connection_ = document_.edits().Connect([this](const RecordEdit& edit) { OnEdit(edit); });
  change_connection_ =
      document_.changes().Connect([this](DocumentChange change) { OnDocumentChange(change); });
  tree_connection_ =
      document_.tree().changes().Connect([this](const TreeEvent& event) { OnTreeEvent(event); });
  document_.set_recorder(&recorder_);
}

EditHistory::~EditHistory() {
  document_.set_recorder(nullptr);  // one history per document
}

EditHistory::Transaction::Transaction(EditHistory& history, std::string label)
    : history_(history), label_(std::move(label)), outer_(!history.open_ && !history.applying_) {
  if (history_.applying_) {
    ended_ = true;  // an undo's own operations are not recorded
    return;
  }
  if (outer_) {
    history_.CloseMerge();
    history_.open_ = Step{};
    history_.open_wiped_ = false;
  }
  mark_ = history_.open_->changes.size();
  before_ = history_.document_.SaveGlobals();
}

EditHistory::Transaction::~Transaction() {
  if (ended_) return;
  history_.RollBack(mark_, before_);
  if (outer_) history_.open_.reset();
}

void EditHistory::Transaction::Commit() {
  if (ended_) return;
  ended_ = true;
  if (outer_) history_.Commit(std::move(label_), before_);
}

void EditHistory::Perform(std::string_view label, const std::function<void()>& operation) {
  Transaction transaction(*this, std::string(label));
  operation();
  transaction.Commit();
}

Status EditHistory::Attempt(std::string_view label, const std::function<Status()>& operation) {
  Transaction transaction(*this, std::string(label));
  Status status = operation();
  if (status) transaction.Commit();
  return status;
}

void EditHistory::Recorder::WillChange(const MissionDocument::Span& span) {
  history_.Record(span);
}

void EditHistory::Record(const MissionDocument::Span& span) {
  if (!open_ || applying_) return;
  for (const Change& change : open_->changes) {
    if (change.part && Covers(change.span, span)) return;
  }
  open_->changes.push_back({span, document_.SavePart(span), {}});
}

void EditHistory::Commit(std::string label, const MissionDocument::Globals& before) {
  Step step = std::move(*open_);
  open_.reset();
  annotation_ = document_.info.annotation;
  if (open_wiped_) {
    Clear();
    return;
  }
  auto after = std::make_unique<MissionDocument::Globals>(document_.SaveGlobals());
  if (step.changes.empty() && after->SameWork(before)) return;  // at most the selection moved
  step.label = std::move(label);
  step.before = std::make_unique<MissionDocument::Globals>(before);
  step.after = std::move(after);
  step.bytes = step.label.size() + GlobalsBytes(*step.before) + GlobalsBytes(*step.after);
  for (const Change& change : step.changes)
    step.bytes += BytesOf(change);
  Push(std::move(step));
}

void EditHistory::RollBack(std::size_t mark, const MissionDocument::Globals& before) {
  auto& changes = open_->changes;
  applying_ = true;
  while (changes.size() > mark) {
    Apply(changes.back(), false);
    changes.pop_back();
  }
  document_.RestoreGlobals(document_.SaveGlobals(), before);
  applying_ = false;
  annotation_ = document_.info.annotation;
}

EditHistory::Group::Group(EditHistory& history, std::string label) : history_(history) {
  history_.CloseMerge();
  history_.group_label_ = std::move(label);
  history_.group_started_ = false;
}

EditHistory::Group::~Group() {
  history_.group_label_.reset();
  history_.CloseMerge();
}

void EditHistory::OnEdit(const RecordEdit& edit) {
  if (applying_) return;
  if (edit.field == Field::kAnnotation) annotation_ = document_.info.annotation;
  if (open_) {
    open_->changes.push_back({{}, nullptr, edit});
    return;
  }
  if (IsTerminatorUpkeep(edit)) return;

  if (group_label_ && group_started_ && !undo_.empty()) {
    Step& step = undo_.back();
    step.changes.push_back({{}, nullptr, edit});
    step.bytes += BytesOf(step.changes.back());
    bytes_ += BytesOf(step.changes.back());
    Trim();
    return;
  }
  DropRedo();
  if (!group_label_ && merge_open_ && !undo_.empty() && undo_.back().mergeable &&
      SameField(undo_.back().changes.back().edit, edit)) {
    Step& last = undo_.back();
    RecordEdit& merged = last.changes.back().edit;
    bytes_ -= BytesOf(last.changes.back());
    last.bytes -= BytesOf(last.changes.back());
    merged.new_value = edit.new_value;
    if (merged.new_value == merged.old_value) {  // typed back to where it began
      bytes_ -= last.bytes;
      undo_.pop_back();
    } else {
      bytes_ += BytesOf(last.changes.back());
      last.bytes += BytesOf(last.changes.back());
    }
    changes_.Notify();
    return;
  }
  Step step;
  step.label = group_label_ ? *group_label_ : std::string(EditLabel(edit.field));
  step.changes.push_back({{}, nullptr, edit});
  step.mergeable = !group_label_;
  step.bytes = step.label.size() + BytesOf(step.changes.back());
  group_started_ = group_label_.has_value();
  merge_open_ = true;
  Push(std::move(step));
}

void EditHistory::OnDocumentChange(DocumentChange change) {
  if (applying_) return;
  switch (change) {
    case DocumentChange::kNewProject:
      if (open_)
        open_wiped_ = true;
      else
        Clear();
      return;
    case DocumentChange::kMissionInfo:
      // The annotation window sets the annotation whole; record it as a field edit.
      if (!open_ && document_.info.annotation != annotation_) {
        RecordEdit edit{RecordRef::Mission(), Field::kAnnotation, 0, annotation_, document_.info.annotation};
        annotation_ = document_.info.annotation;
        OnEdit(edit);
      }
      return;
    default:
      return;
  }
}

void EditHistory::OnTreeEvent(const TreeEvent& event) {
  if (applying_ || open_) return;
  switch (event.change) {
    case TreeChange::kAboutToAdd:
    case TreeChange::kAboutToRemove:
    case TreeChange::kAboutToReset:
      Clear();  // records came or went outside a transaction: the steps' indices no longer hold
      break;
    default:
      break;
  }
}

void EditHistory::Push(Step step) {
  DropRedo();
  bytes_ += step.bytes;
  undo_.push_back(std::move(step));
  Trim();
  changes_.Notify();
}

void EditHistory::DropRedo() {
  for (const Step& step : redo_)
    bytes_ -= step.bytes;
  redo_.clear();
}

// The oldest steps go first; the newest step stays even when it alone is over the memory bound.
void EditHistory::Trim() {
  while (!undo_.empty() &&
         (undo_.size() > limits_.max_steps || (undo_.size() > 1 && bytes_ > limits_.max_bytes))) {
    bytes_ -= undo_.front().bytes;
    undo_.pop_front();
    ++dropped_;
  }
}

std::vector<std::string> EditHistory::UndoLabels() const {
  std::vector<std::string> labels;
  labels.reserve(undo_.size());
  for (const Step& step : undo_)
    labels.push_back(step.label);
  return labels;
}

std::vector<std::string> EditHistory::RedoLabels() const {
  std::vector<std::string> labels;
  labels.reserve(redo_.size());
  for (auto step = redo_.rbegin(); step != redo_.rend(); ++step)
    labels.push_back(step->label);
  return labels;
}

bool EditHistory::Undo() {
  if (undo_.empty() || open_) return false;
  CloseMerge();
  Step step = std::move(undo_.back());
  undo_.pop_back();
  applying_ = true;
  for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it)
    Apply(*it, false);
  if (step.before) document_.RestoreGlobals(*step.after, *step.before);
  applying_ = false;
  annotation_ = document_.info.annotation;
  redo_.push_back(std::move(step));
  changes_.Notify();
  return true;
}

bool EditHistory::Redo() {
  if (redo_.empty() || open_) return false;
  CloseMerge();
  Step step = std::move(redo_.back());
  redo_.pop_back();
  applying_ = true;
  for (Change& change : step.changes)
    Apply(change, true);
  if (step.after) document_.RestoreGlobals(*step.before, *step.after);
  applying_ = false;
  annotation_ = document_.info.annotation;
  undo_.push_back(std::move(step));
  changes_.Notify();
  return true;
}

void EditHistory::Clear() {
  const bool had_steps = !undo_.empty() || !redo_.empty() || dropped_ > 0;
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
  dropped_ = 0;
  merge_open_ = false;
  annotation_ = document_.info.annotation;
  if (had_steps) changes_.Notify();
}

// A saved span is swapped with the document (so it then holds what the other direction needs); a
// field edit writes its old or new value.
void EditHistory::Apply(Change& change, bool forward) {
  if (change.part) {
    document_.SwapPart(*change.part);
    return;
  }
  const RecordEdit& edit = change.edit;
  const FieldValue& value = forward ? edit.new_value : edit.old_value;
  if (edit.field == Field::kAnnotation) {
    // Through SetAnnotation, which the annotation window follows.
    if (const auto* text = std::get_if<std::string>(&value)) document_.SetAnnotation(*text);
    return;
  }
  (void)document_.SetField(edit.record, edit.field, value, edit.element);
}

std::size_t EditHistory::BytesOf(const Change& change) {
  if (change.part) return sizeof(change) + MissionDocument::PartBytes(*change.part);
  return sizeof(change) + HeapBytes(change.edit.old_value) + HeapBytes(change.edit.new_value);
}

}  // namespace vyr::editor
