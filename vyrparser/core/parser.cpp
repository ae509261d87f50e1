#include "vyrparser/core/parser.h"

#include <cstdint>
#include <iostream>
#include <limits>
#include <new>
#include <ostream>

#include "platform/read_file.h"
#include "vyrparser/core/script_parser.h"

namespace vyr::parser {

namespace {

// The script file, read as the scanner asks for more.
class FileSource : public ByteSource {
 public:
  explicit FileSource(platform::FileReader& file) : file_(file) {}
  std::ptrdiff_t Read(char* dst, std::size_t n) override { return file_.Read(dst, n); }

 private:
  platform::FileReader& file_;
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

ParseResult ParseMissionFile(const std::filesystem::path& path, ParsedMission& mission, std::ostream& errors,
                             std::string* why_unreadable) {
  platform::FileReader file;
  const platform::ReadResult opened =
      path.empty() ? platform::ReadResult{platform::ReadFault::kMissing, "the file name is empty"}
                   : file.Open(path.string(), std::numeric_limits<std::uint64_t>::max());
  if (!opened) {
    if (why_unreadable != nullptr) *why_unreadable = opened.reason;
    return ParseResult::kFileProblem;
  }
  FileSource source(file);
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
