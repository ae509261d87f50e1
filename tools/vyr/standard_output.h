// Standard output that remembers why a write failed, so a command never reports success for output
// that did not arrive (a full disk, a closed descriptor).
#pragma once

#include <streambuf>
#include <string>
#include <vector>

namespace vyr::tool {

// While it lives, std::cout writes through it straight to descriptor 1.
class CheckedStandardOutput final : public std::streambuf {
 public:
  CheckedStandardOutput();
  ~CheckedStandardOutput() override;
  CheckedStandardOutput(const CheckedStandardOutput&) = delete;
  CheckedStandardOutput& operator=(const CheckedStandardOutput&) = delete;

  // Writes what is buffered; empty when everything written so far arrived, else the system's reason
  // for the first write that failed ("No space left on device").
  std::string Finish();

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool Drain();

  std::vector<char> buffer_;
  std::streambuf* previous_ = nullptr;
  int error_number_ = 0;
};

}  // namespace vyr::tool
