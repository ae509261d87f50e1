// One call at a time into the library, whatever the calling threads: what the main single-threaded
// apartment gives the class on Windows, done here with one process-wide lock. The parsed mission is
// shared by every object, so nothing finer would do. Re-entrant: Invoke calls the operations it serves.
#pragma once

#include <mutex>

namespace vyr::automation {

// Never destroyed, so a thread still calling while the process exits finds it intact.
inline std::recursive_mutex& LibraryLock() {
  static auto* const lock = new std::recursive_mutex;
  return *lock;
}

// Held for the whole of one call into an object or entry point of the library.
class SerialCall {
 public:
  SerialCall() : hold_(LibraryLock()) {}
  SerialCall(const SerialCall&) = delete;
  SerialCall& operator=(const SerialCall&) = delete;

 private:
  std::lock_guard<std::recursive_mutex> hold_;
};

}  // namespace vyr::automation
