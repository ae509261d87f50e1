#include "vyrparser/core/parser.h"

#include <algorithm>
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

// The script file, read as the scanner asks for more.
class FileSource : public ByteSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  std::ptrdiff_t Read(char* dst, std::size_t n) override {
    const std::size_t got = std::fread(dst, 1, n, file_);
    if (got == 0 && std::ferror(file_)) return -1;
    return static_cast<std::ptrdiff_t>(got);
  }

 private:
  std::FILE* file_;
};

ParseResult ParseSource(ByteSource& source, ParsedMission& mission, std::ostream& errors) {
  try {
    ScriptParser parser(source, mission, errors);
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
  FileSource source(file.get());
  return ParseSource(source, mission, errors);
}

ParseResult ParseMissionFile(const std::filesystem::path& path, ParsedMission& mission) {
  return ParseMissionFile(path, mission, std::cerr);
}

ParseResult ParseMissionBuffer(std::string_view bytes, ParsedMission& mission, std::ostream& errors) {
  MemorySource source(bytes);
  return ParseSource(source, mission, errors);
}

ParseResult ParseMissionBuffer(std::string_view bytes, ParsedMission& mission) {
  return ParseMissionBuffer(bytes, mission, std::cerr);
}

}  // namespace vyr::parser
