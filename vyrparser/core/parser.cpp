#include "vyrparser/core/parser.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <ostream>
#include <system_error>

#include "vyrparser/core/script_parser.h"

namespace vyr::parser {

namespace {

ParseResult ParseOwnedBuffer(char* data, std::size_t size, ParsedMission& mission, std::ostream& errors) {
  data[size] = '\0';
  try {
    ScriptParser parser(std::string_view(data, size), mission, errors);
    return parser.Run() ? ParseResult::kSuccess : ParseResult::kParseProblem;
  } catch (const std::bad_alloc&) {
    errors << "ERROR in syntax found\nCAUSE out of memory\n";
    errors.flush();
    return ParseResult::kParseProblem;
  }
}

}  // namespace

ParseResult ParseMissionFile(const std::filesystem::path& path, ParsedMission& mission,
                             std::ostream& errors) {
  std::error_code ec;
  if (path.empty() || std::filesystem::is_directory(path, ec)) return ParseResult::kFileProblem;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return ParseResult::kFileProblem;

  // Read the whole file in one go into a buffer with room for the terminating NUL.
  const auto expected = std::filesystem::file_size(path, ec);
  std::size_t capacity = ec ? 64 * 1024 : static_cast<std::size_t>(expected) + 1;
  std::size_t size = 0;
  std::unique_ptr<char[]> data;
  try {
    data = std::make_unique_for_overwrite<char[]>(capacity);
    for (;;) {
      if (size + 1 == capacity) {
        // Full: at the end of the file we are done; else the file grew, or its size was unknown.
        char probe;
        if (std::fread(&probe, 1, 1, file.get()) == 0) break;
        auto bigger = std::make_unique_for_overwrite<char[]>(capacity * 2);
        std::memcpy(bigger.get(), data.get(), size);
        data = std::move(bigger);
        capacity *= 2;
        data[size++] = probe;
      }
      const std::size_t n = std::fread(data.get() + size, 1, capacity - 1 - size, file.get());
      size += n;
      if (n == 0) break;
    }
  } catch (const std::bad_alloc&) {
    errors << "input in flex scanner failed\n";
    return ParseResult::kParseProblem;
  }
  if (std::ferror(file.get())) {
    errors << "input in flex scanner failed\n";
    errors.flush();
    return ParseResult::kParseProblem;
  }
  file.reset();
  return ParseOwnedBuffer(data.get(), size, mission, errors);
}

ParseResult ParseMissionFile(const std::filesystem::path& path, ParsedMission& mission) {
  return ParseMissionFile(path, mission, std::cerr);
}

ParseResult ParseMissionBuffer(std::string_view bytes, ParsedMission& mission, std::ostream& errors) {
  std::unique_ptr<char[]> data;
  try {
    data = std::make_unique_for_overwrite<char[]>(bytes.size() + 1);
  } catch (const std::bad_alloc&) {
    errors << "input in flex scanner failed\n";
    return ParseResult::kParseProblem;
  }
  if (!bytes.empty()) std::memcpy(data.get(), bytes.data(), bytes.size());
  return ParseOwnedBuffer(data.get(), bytes.size(), mission, errors);
}

ParseResult ParseMissionBuffer(std::string_view bytes, ParsedMission& mission) {
  return ParseMissionBuffer(bytes, mission, std::cerr);
}

}  // namespace vyr::parser
