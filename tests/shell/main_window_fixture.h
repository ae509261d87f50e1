// A main window over its own document, settings, launcher, tools and scripted dialogs, for tests of the
// windows that live in it. The window is made by MakeWindow, so a test can fill the document first.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <deque>
#include <memory>

#include "editor/shell/main_window.h"
#include "tests/launch/launch_test_support.h"

namespace vyr::gui {

// Scripted dialogs, and questions answered from `replies`; a question with no reply waiting fails the test.
class FixtureUi : public editor::testing::ScriptedUi {
 public:
  editor::Answer AskQuestion(const std::string& title, const std::string& text, bool with_cancel) override {
    if (replies.empty()) return ScriptedUi::AskQuestion(title, text, with_cancel);
    const editor::Answer reply = replies.front();
    replies.pop_front();
    return reply;
  }
  std::deque<editor::Answer> replies;
};

class MainWindowFixture : public ::testing::Test {
 protected:
  void MakeWindow() {
    window_ = std::make_unique<MainWindow>(MainWindowServices{document_, store_, launcher_, tools_.Parse(),
                                                              scratch_.str(), scratch_.str(), [] {}, [] {},
                                                              &ui_, false});
  }
  QAction* Action(const char* name) const { return window_->findChild<QAction*>(name); }

  editor::testing::ScratchFolder scratch_;
  editor::MissionDocument document_;
  editor::MemorySettingsStore store_;
  editor::testing::RecordingLauncher launcher_;
  editor::testing::FakeTools tools_;
  FixtureUi ui_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace vyr::gui
