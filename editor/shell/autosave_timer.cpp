#include "editor/shell/autosave_timer.h"

#include "editor/document/paths.h"
#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

AutosaveTimer::AutosaveTimer(editor::MissionDocument& document, const std::string& editor_folder,
                             QObject* parent)
    : QObject(parent),
      document_(document),
      recovery_folder_(editor::JoinPath(editor_folder, editor::kRecoveryFolderName)),
      session_(recovery_folder_) {
  timer_.setObjectName("autosave_timer");
  connect(&timer_, &QTimer::timeout, this, &AutosaveTimer::Tick);
  on_change_ = document_.changes().Connect([this](editor::DocumentChange) { changed_ = true; });
  on_edit_ = document_.edits().Connect([this](const editor::RecordEdit&) { changed_ = true; });
}

void AutosaveTimer::Start(int seconds) {
  if (seconds <= 0) {
    timer_.stop();
    return;
  }
  timer_.start(seconds * 1000);
}

void AutosaveTimer::Tick() {
  if (!changed_ && !failing_) return;
  changed_ = false;
  const editor::Status status = session_.Autosave(document_);
  if (status) {
    if (failing_) {
      failing_ = false;
      emit recovered();
    }
  } else {
    failing_ = true;
    emit failed("No recovery copy could be written: " + FromMessage(status.message));
  }
}

}  // namespace vyr::gui
