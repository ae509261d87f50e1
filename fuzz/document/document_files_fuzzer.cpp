// Reads arbitrary bytes as a section file of each kind, or as a project file. The first byte picks the
// kind (0-3 the sections, 4 a project). Whatever is read must write back, and the written file must read
// back to the same bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/document/section_files.h"
#include "editor/document/section_format.h"

namespace {

using namespace vyr::editor;

class NoRecent : public RecentFiles {
 public:
  void AddToRecent(const std::string&) override {}
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void FuzzSection(Section section, const std::string& bytes) {
  MissionDocument doc;
  DocumentSink sink(doc);
  ReadSectionBytes(section, "fuzz", bytes, sink);
  std::string written;
  Check(static_cast<bool>(FormatSection(doc, section, written)));
  MissionDocument again;
  DocumentSink again_sink(again);
  Check(!ReadSectionBytes(section, "again", written, again_sink).has_value());
  std::string rewritten;
  Check(static_cast<bool>(FormatSection(again, section, rewritten)));
  Check(written == rewritten);
}

// Project files are read from a private folder; inputs with a "/" are skipped so that the section names
// they hold stay inside that folder (or the working folder) and never reach devices or system files.
void FuzzProject(const std::string& bytes) {
  if (bytes.find('/') != std::string::npos) return;
  static const std::string folder = [] {
    const auto path = std::filesystem::temp_directory_path() / ("vyr-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    // Section files a project input can name as "[LOCAL]" and w.mlc ... w.moc.
    for (const char* name : {"w.mlc", "w.mar", "w.mfr", "w.moc"}) {
      std::ofstream(path / name, std::ios::binary) << "[VERSION 0.2]\r\n";
    }
    return path.string() + "/";
  }();
  const std::string path = folder + "p.cme";
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  MissionDocument doc;
  NoRecent recent;
  LoadProject(doc, recent, path);
  std::string written;
  FormatProject(doc, folder, written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t kind = data[0] % 5;
  if (kind < std::size(kAllSections)) {
    FuzzSection(kAllSections[kind], bytes);
  } else {
    FuzzProject(bytes);
  }
  return 0;
}
