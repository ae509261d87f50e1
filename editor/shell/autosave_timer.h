// The clock behind recovery copies: every interval, this run's recovery session copies the project when
// it holds unsaved work. The session's rules live in the core; this only keeps time and tells failures.
#pragma once

#include <QObject>
#include <QTimer>
#include <string>

#include "editor/document/mission_document.h"
#include "editor/launch/recovery.h"

namespace vyr::gui {

class AutosaveTimer : public QObject {
  Q_OBJECT

 public:
  AutosaveTimer(editor::MissionDocument& document, const std::string& editor_folder,
                QObject* parent = nullptr);

  // Copies every `seconds`; 0 stops.
  void Start(int seconds);
  // One copy step now, when the document announced a change since the last step.
  void Tick();

  // The running interval; 0 while stopped.
  int seconds() const { return timer_.isActive() ? timer_.interval() / 1000 : 0; }
  editor::RecoverySession& session() { return session_; }
  const std::string& recovery_folder() const { return recovery_folder_; }

 signals:
  // A copy could not be written: said at every failed copy, with its reason.
  void failed(const QString& message);
  // A copy was written (or none was needed) after one or more that failed.
  void recovered();

 private:
  editor::MissionDocument& document_;
  std::string recovery_folder_;
  editor::RecoverySession session_;
  QTimer timer_;
  bool failing_ = false;
  // Set by every change the document announces; a tick with nothing new skips comparing the whole
  // project with its files (tens of milliseconds on a full mission).
  bool changed_ = true;
  editor::Notifier<editor::DocumentChange>::Connection on_change_;
  editor::Notifier<editor::RecordEdit>::Connection on_edit_;
};

}  // namespace vyr::gui
