#include "tools/vyr/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

namespace vyr::tool {

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

CheckedStandardOutput::CheckedStandardOutput() : buffer_(kBufferSize) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  previous_ = std::cout.rdbuf(this);
}

CheckedStandardOutput::~CheckedStandardOutput() {
  Drain();
  std::cout.rdbuf(previous_);
}

bool CheckedStandardOutput::Drain() {
  const char* next = pbase();
  const char* const end = pptr();
  // After a failure nothing more is written: the output is already incomplete.
  while (error_number_ == 0 && next < end) {
    const ssize_t n = ::write(STDOUT_FILENO, next, static_cast<std::size_t>(end - next));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_number_ = n < 0 ? errno : ENOSPC;
      break;
    }
    next += n;
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return error_number_ == 0;
}

CheckedStandardOutput::int_type CheckedStandardOutput::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int CheckedStandardOutput::sync() {
  return Drain() ? 0 : -1;
}

std::string CheckedStandardOutput::Finish() {
  std::cout.flush();
  Drain();
  return error_number_ == 0 ? std::string() : std::strerror(error_number_);
}

}  // namespace vyr::tool
