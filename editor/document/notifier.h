// A small observer: a list of callbacks, each kept alive by the Connection its subscriber holds.
// Callbacks may disconnect themselves or others while a notification is running.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vyr::editor {

template <typename... Args>
class Notifier {
 private:
  struct Slot {
    std::uint64_t id;
    std::function<void(Args...)> callback;
    bool active;
  };
  struct State {
    std::vector<Slot> entries;
    std::uint64_t next_id = 1;
    int depth = 0;  // nesting of running notifications
    bool has_inactive = false;

    void Disconnect(std::uint64_t id) {
      for (Slot& slot : entries) {
        if (slot.id == id) slot.active = false;
      }
      has_inactive = true;
      Compact();
    }
    void Compact() {
      if (depth > 0 || !has_inactive) return;
      std::erase_if(entries, [](const Slot& slot) { return !slot.active; });
      has_inactive = false;
    }
  };

 public:
  // Disconnects on destruction; movable, not copyable. Outliving the Notifier is harmless.
  class [[nodiscard]] Connection {
   public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&& other) noexcept
        : state_(std::move(other.state_)), id_(std::exchange(other.id_, 0)) {}
    Connection& operator=(Connection&& other) noexcept {
      if (this != &other) {
        Disconnect();
        state_ = std::move(other.state_);
        id_ = std::exchange(other.id_, 0);
      }
      return *this;
    }
    ~Connection() { Disconnect(); }

    void Disconnect() {
      if (auto state = state_.lock(); state && id_ != 0) state->Disconnect(id_);
      state_.reset();
      id_ = 0;
    }
    bool connected() const { return id_ != 0 && !state_.expired(); }

   private:
    friend class Notifier;
    Connection(std::weak_ptr<State> state, std::uint64_t id) : state_(std::move(state)), id_(id) {}
    std::weak_ptr<State> state_;
    std::uint64_t id_ = 0;
  };

  Notifier() = default;
  Notifier(const Notifier&) = delete;
  Notifier& operator=(const Notifier&) = delete;

  Connection Connect(std::function<void(Args...)> callback) {
    const std::uint64_t id = state_->next_id++;
    state_->entries.push_back(Slot{id, std::move(callback), true});
    return Connection(state_, id);
  }

  // Calls every callback connected before the call began, in order of connection.
  void Notify(const Args&... args) {
    if (state_->entries.empty()) return;
    std::shared_ptr<State> state = state_;  // a callback may destroy the owner of this Notifier
    const std::size_t count = state->entries.size();
    ++state->depth;
    for (std::size_t i = 0; i < count; ++i) {
      if (!state->entries[i].active) continue;
      auto callback = state->entries[i].callback;  // the vector may grow while the callback runs
      callback(args...);
    }
    --state->depth;
    state->Compact();
  }

  std::size_t connection_count() const {
    std::size_t count = 0;
    for (const Slot& slot : state_->entries)
      count += slot.active ? 1 : 0;
    return count;
  }

 private:
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace vyr::editor
