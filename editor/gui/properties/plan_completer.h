// Completion in a plan box: Ctrl+Space, or two letters of a word typed, offers the statement words and
// the names that fit where the caret is (a location after "at", "towards", "to", "from" or "observe", an
// area inside "patrol (", else any word or name of the mission).
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QCompleter;
class QPlainTextEdit;
class QStringListModel;

namespace vyr::gui {

// The names a plan can use, read from the mission when completion is offered.
struct PlanNames {
  QStringList locations;
  QStringList areas;
  QStringList others;  // teams, forces, actors
};

class PlanCompleter : public QObject {
  Q_OBJECT

 public:
  PlanCompleter(QPlainTextEdit& box, std::function<PlanNames()> names);

  QCompleter* completer() const { return completer_; }
  // What fits where the caret is, before the typed prefix narrows it.
  QStringList Candidates() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString Prefix() const;
  void Offer(bool asked);
  void Insert(const QString& completion);

  QPlainTextEdit& box_;
  std::function<PlanNames()> names_;
  QCompleter* completer_;
  QStringListModel* model_;
  bool inserting_ = false;
};

}  // namespace vyr::gui
