#include "editor/document/notifier.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace vyr::editor {
namespace {

TEST(Notifier, CallsInOrderAndStopsWhenTheConnectionGoes) {
  Notifier<int> notifier;
  std::vector<int> seen;
  auto first = notifier.Connect([&](int v) { seen.push_back(v); });
  {
    auto second = notifier.Connect([&](int v) { seen.push_back(v * 10); });
    notifier.Notify(1);
    EXPECT_EQ(notifier.connection_count(), 2u);
  }
  notifier.Notify(2);
  EXPECT_EQ(seen, (std::vector<int>{1, 10, 2}));

  Notifier<int>::Connection moved = std::move(first);
  EXPECT_FALSE(first.connected());
  EXPECT_TRUE(moved.connected());
  notifier.Notify(3);
  moved.Disconnect();
  notifier.Notify(4);
  EXPECT_EQ(seen, (std::vector<int>{1, 10, 2, 3}));
}

TEST(Notifier, CallbacksMayDisconnectAndConnectWhileNotified) {
  Notifier<int> notifier;
  std::vector<int> seen;
  std::optional<Notifier<int>::Connection> self;
  std::optional<Notifier<int>::Connection> later;
  Notifier<int>::Connection other;
  self = notifier.Connect([&](int v) {
    seen.push_back(v);
    self.reset();        // destroys the running callback's own connection
    other.Disconnect();  // and one that has not run yet
    later = notifier.Connect([&](int w) { seen.push_back(100 + w); });
  });
  other = notifier.Connect([&](int v) { seen.push_back(-v); });
  notifier.Notify(1);  // the callback connected during the call does not run yet
  notifier.Notify(2);
  EXPECT_EQ(seen, (std::vector<int>{1, 102}));
  EXPECT_EQ(notifier.connection_count(), 1u);
}

TEST(Notifier, ConnectionMayOutliveTheNotifier) {
  Notifier<int>::Connection connection;
  {
    auto notifier = std::make_unique<Notifier<int>>();
    connection = notifier->Connect([](int) {});
    EXPECT_TRUE(connection.connected());
  }
  EXPECT_FALSE(connection.connected());
  connection.Disconnect();  // harmless
}

}  // namespace
}  // namespace vyr::editor
