// A main window over its own document, settings, launcher, tools and scripted dialogs, for tests of the
// windows that live in it. The window is made by MakeWindow, so a test can fill the document first.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QTest>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
#include "editor/shell/project_window.h"
#include "tests/launch/launch_test_support.h"

namespace vyr::gui {

// Scripted dialogs, and questions answered from `replies` (a question with no reply waiting fails the
// test) and the recovery choice from `choice`; `questions` records "title: text" of each.
class FixtureUi : public editor::testing::ScriptedUi {
 public:
  editor::Answer AskQuestion(const std::string& title, const std::string& text, bool with_cancel) override {
    questions.push_back(title + ": " + text);
    if (replies.empty()) return ScriptedUi::AskQuestion(title, text, with_cancel);
    const editor::Answer reply = replies.front();
    replies.pop_front();
    return reply;
  }
  std::optional<int> AskChoice(const std::string& title, const std::string&, const std::vector<std::string>&,
                               const std::string&) override {
    questions.push_back(title + ": recovery");
    return choice;
  }
  std::deque<editor::Answer> replies;
  std::vector<std::string> questions;
  std::optional<int> choice;
};

// A control of a window by object name; a missing one fails the test.
template <typename T>
T* Control(QWidget* window, const char* name) {
  T* control = window->findChild<T*>(name);
  EXPECT_NE(control, nullptr) << name;
  return control;
}

// Replaces a box's text as an author does: select all, delete, type letter by letter.
inline void Retype(QLineEdit* box, const QString& text) {
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClicks(box, text);
}

// Drags `data` over `at` in `view` and drops it there; whether the move and the drop were accepted.
inline std::pair<bool, bool> DragAndDrop(QAbstractScrollArea* view, const QMimeData* data, QPoint at) {
  QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(view->viewport(), &enter);
  QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(view->viewport(), &move);
  QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(view->viewport(), &drop);
  return {move.isAccepted(), drop.isAccepted()};
}

class MainWindowFixture : public ::testing::Test {
 protected:
  // `ui` stands in for the fixture's scripted dialogs when given; `qt_dialogs` puts Qt's own there.
  void MakeWindow(editor::UserInterface* ui = nullptr, bool qt_dialogs = false) {
    if (ui == nullptr && !qt_dialogs) ui = &ui_;
    window_ = std::make_unique<MainWindow>(
        MainWindowServices{document_, store_, launcher_, tools_.Parse(), scratch_.str(), scratch_.str(),
                           [this] { ++library_registrations_; }, [] {}, ui, false});
  }
  QAction* Action(const char* name) const {
    QAction* action = window_->findChild<QAction*>(name);
    EXPECT_NE(action, nullptr) << name;
    return action;
  }
  // Clicks the node in the project window, which opens its property window, and returns that window.
  PropertyWindow* OpenWindow(editor::NodeId node) {
    document_.MakeCurrent(node);
    emit window_->project_window()->nodeClicked(node);
    const editor::TreeNode& opened = document_.tree().node(node);
    return opened.key[0] == 'P' ? window_->property_windows()->WindowInSlot(std::stoi(opened.key.substr(1)))
                                : nullptr;
  }

  editor::testing::ScratchFolder scratch_;
  editor::MissionDocument document_;
  editor::MemorySettingsStore store_;
  editor::testing::RecordingLauncher launcher_;
  editor::testing::FakeTools tools_;
  FixtureUi ui_;
  int library_registrations_ = 0;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace vyr::gui
