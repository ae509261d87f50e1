// One call at a time into the library, whatever the calling threads: what the main single-threaded
// apartment gives the class on Windows, done here with one process-wide lock. The parsed mission is
// shared by every object, so nothing finer would do. Re-entrant: Invoke calls the operations it serves.
#pragma once

#include <mutex>
#include <new>

namespace vyr::automation {

// Never destroyed, so a thread still calling while the process exits finds it intact; in static storage
// rather than on the heap, so a library that is loaded and unloaded again (registration) leaks nothing.
inline std::recursive_mutex& LibraryLock() {
  alignas(std::recursive_mutex) static unsigned char storage[sizeof(std::recursive_mutex)];
  static std::recursive_mutex* const lock = new (storage) std::recursive_mutex;
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
