#include "editor/document/edit_history.h"

#include <array>
#include <utility>

namespace vyr::editor {

namespace {

constexpr std::array<std::string_view, 33> kEditLabels = {
    "Edit mission name",
    "Edit author",
    "Edit mission description",
    "Edit map name",
    "Edit map styles",
    "Edit annotation",
    "Rename location",
    "Edit location description",
    "Edit location x",
    "Edit location y",
    "Edit location z",
    "Rename area",
    "Edit area description",
    "Edit area locations",
    "Edit area style",
    "Edit area radius",
    "Rename force",
    "Edit force description",
    "Rename team",
    "Edit team description",
    "Edit plan",
    "Edit actor type",
    "Rename actor",
    "Edit actor skill",
    "Edit actor skin",
    "Edit actor weapons",
    "Edit actor ammunition",
    "Edit actor items",
    "Edit outcome type",
    "Edit outcome force",
    "Edit outcome message",
    "Edit outcome condition",
    "Edit next missions",
};
static_assert(kEditLabels.size() == static_cast<std::size_t>(Field::kNextMission) + 1);

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

}  // namespace

std::string_view EditLabel(Field field) {
  return kEditLabels[static_cast<std::size_t>(field)];
}

EditHistory::EditHistory(MissionDocument& document, Limits limits)
    : document_(document), limits_(limits), annotation_(document.info.annotation) {
  edit_connection_ = document_.edits().Connect([this](const RecordEdit& edit) { OnEdit(edit); });
  change_connection_ =
      document_.changes().Connect([this](DocumentChange change) { OnDocumentChange(change); });
  tree_connection_ =
      document_.tree().changes().Connect([this](const TreeEvent& event) { OnTreeEvent(event); });
}

EditHistory::~EditHistory() = default;

void EditHistory::Perform(std::string_view label, const std::function<void()>& operation) {
  if (depth_ > 0 || applying_) {
    operation();
    return;
  }
  CloseMerge();
  SnapshotPtr before = current_ ? current_ : document_.TakeSnapshot();
  changed_ = false;
  ++depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{depth_};
  operation();
  annotation_ = document_.info.annotation;
  if (!changed_) {
    current_.reset();  // the selection may have moved
    return;
  }
  Step step;
  step.label = std::string(label);
  step.after = document_.TakeSnapshot();
  step.bytes = step.label.size() + MissionDocument::SnapshotBytes(*step.after);
  if (undo_.empty() || undo_.back().after != before) step.bytes += MissionDocument::SnapshotBytes(*before);
  step.before = std::move(before);
  current_ = step.after;
  Push(std::move(step));
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
  if (depth_ > 0) {
    changed_ = true;
    return;
  }
  current_.reset();
  if (IsTerminatorUpkeep(edit)) return;

  if (group_label_ && group_started_ && !undo_.empty()) {
    undo_.back().edits.push_back(edit);
    undo_.back().bytes += BytesOf(edit);
    bytes_ += BytesOf(edit);
    Trim();
    return;
  }
  DropRedo();
  if (!group_label_ && merge_open_ && !undo_.empty() && undo_.back().mergeable &&
      SameField(undo_.back().edits.back(), edit)) {
    Step& last = undo_.back();
    RecordEdit& merged = last.edits.back();
    bytes_ -= BytesOf(merged);
    last.bytes -= BytesOf(merged);
    merged.new_value = edit.new_value;
    if (merged.new_value == merged.old_value) {  // typed back to where it began
      bytes_ -= last.bytes;
      undo_.pop_back();
    } else {
      bytes_ += BytesOf(merged);
      last.bytes += BytesOf(merged);
    }
    changes_.Notify();
    return;
  }
  Step step;
  step.label = group_label_ ? *group_label_ : std::string(EditLabel(edit.field));
  step.edits.push_back(edit);
  step.mergeable = !group_label_;
  step.bytes = step.label.size() + BytesOf(edit);
  group_started_ = group_label_.has_value();
  merge_open_ = true;
  Push(std::move(step));
}

void EditHistory::OnDocumentChange(DocumentChange change) {
  if (applying_) return;
  switch (change) {
    case DocumentChange::kNewProject:
      if (depth_ == 0) Clear();
      return;
    case DocumentChange::kClipboard:
      return;
    case DocumentChange::kFileNames:
      // A step's snapshots hold the section file names, so a later step may not start from an older one.
      current_.reset();
      if (depth_ > 0) changed_ = true;
      return;
    case DocumentChange::kMissionInfo:
      // The annotation window sets the annotation whole; record it as a field edit.
      if (document_.info.annotation != annotation_) {
        RecordEdit edit{RecordRef::Mission(), Field::kAnnotation, 0, annotation_, document_.info.annotation};
        annotation_ = document_.info.annotation;
        OnEdit(edit);
      }
      return;
    default:
      if (depth_ > 0) changed_ = true;
      return;
  }
}

void EditHistory::OnTreeEvent(const TreeEvent& event) {
  if (applying_ || depth_ > 0) return;
  current_.reset();
  switch (event.change) {
    case TreeChange::kAboutToAdd:
    case TreeChange::kAboutToRemove:
    case TreeChange::kAboutToReset:
      Clear();  // records came or went outside Perform: the steps' indices no longer hold
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
  while (undo_.size() > 1 && (undo_.size() > limits_.max_steps || bytes_ > limits_.max_bytes)) {
    Step& oldest = undo_.front();
    Step& next = undo_[1];
    // The next step shared the oldest one's after-snapshot as its before: that memory stays.
    if (next.before && next.before == oldest.after) {
      const std::size_t shared = MissionDocument::SnapshotBytes(*oldest.after);
      oldest.bytes -= shared;
      next.bytes += shared;
    }
    bytes_ -= oldest.bytes;
    undo_.pop_front();
  }
  if (undo_.size() > limits_.max_steps) {
    bytes_ = 0;
    undo_.clear();
  }
}

bool EditHistory::Undo() {
  if (undo_.empty()) return false;
  CloseMerge();
  Step step = std::move(undo_.back());
  undo_.pop_back();
  applying_ = true;
  if (step.before) {
    document_.RestoreSnapshot(*step.before);
    // A save since the step keeps its names: the snapshot then no longer equals the document.
    current_ = document_.RestoreSectionFiles(*step.after, *step.before) ? step.before : nullptr;
  } else {
    for (auto it = step.edits.rbegin(); it != step.edits.rend(); ++it)
      Apply(*it, false);
    current_.reset();
  }
  applying_ = false;
  annotation_ = document_.info.annotation;
  redo_.push_back(std::move(step));
  changes_.Notify();
  return true;
}

bool EditHistory::Redo() {
  if (redo_.empty()) return false;
  CloseMerge();
  Step step = std::move(redo_.back());
  redo_.pop_back();
  applying_ = true;
  if (step.after) {
    document_.RestoreSnapshot(*step.after);
    current_ = document_.RestoreSectionFiles(*step.before, *step.after) ? step.after : nullptr;
  } else {
    for (const RecordEdit& edit : step.edits)
      Apply(edit, true);
    current_.reset();
  }
  applying_ = false;
  annotation_ = document_.info.annotation;
  undo_.push_back(std::move(step));
  changes_.Notify();
  return true;
}

void EditHistory::Clear() {
  const bool had_steps = !undo_.empty() || !redo_.empty();
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
  current_.reset();
  merge_open_ = false;
  annotation_ = document_.info.annotation;
  if (had_steps) changes_.Notify();
}

void EditHistory::Apply(const RecordEdit& edit, bool forward) {
  const FieldValue& value = forward ? edit.new_value : edit.old_value;
  if (edit.field == Field::kAnnotation) {
    // Through SetAnnotation, which the annotation window follows.
    if (const auto* text = std::get_if<std::string>(&value)) document_.SetAnnotation(*text);
    return;
  }
  (void)document_.SetField(edit.record, edit.field, value, edit.element);
}

std::size_t EditHistory::BytesOf(const RecordEdit& edit) {
  std::size_t bytes = sizeof(edit);
  for (const FieldValue* value : {&edit.old_value, &edit.new_value}) {
    if (const auto* text = std::get_if<std::string>(value)) bytes += text->capacity();
  }
  return bytes;
}

}  // namespace vyr::editor
