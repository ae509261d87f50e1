#include "editor/document/project_file.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "editor/document/file_name_pair.h"
#include "editor/document/project_save.h"
#include "editor/document/section_files.h"
#include "editor/document/text_file.h"
#include "platform/atomic_file.h"

namespace vyr::editor {

namespace {

#ifdef _WIN32
// Upper-case to lower-case in Windows-1252: ASCII, the accented letters 0xC0-0xDE (but 0xD7, the
// multiplication sign), and the four pairs S/Z with caron, OE ligature and Y with diaeresis.
unsigned char FoldCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
      return static_cast<unsigned char>(c + 0x10);
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}
#endif

// Whether `directory` lies in `project_directory`, compared as the file system compares names:
// ignoring letter case on Windows, exactly where names are case-sensitive.
bool InProjectDirectory(std::string_view directory, std::string_view project_directory) {
#ifdef _WIN32
  if (project_directory.size() > directory.size()) return false;
  for (std::size_t i = 0; i < project_directory.size(); ++i) {
    if (FoldCase(static_cast<unsigned char>(directory[i])) !=
        FoldCase(static_cast<unsigned char>(project_directory[i]))) {
      return false;
    }
  }
  return true;
#else
  return directory.starts_with(project_directory);
#endif
}

Status CheckOneLine(std::string_view value, std::string_view what) {
  if (value.find('\n') == std::string_view::npos) return Status::Ok();  // a lone line feed ends a line too
  return Status::Error(std::string(what) + " holds a line break, which the project file cannot carry");
}

}  // namespace

std::string StoredDirectory(const std::string& section_directory, const std::string& project_directory) {
  if (!InProjectDirectory(section_directory, project_directory)) return section_directory;
  return std::string(kLocalMarker) + section_directory.substr(project_directory.size());
}

std::string ExpandedDirectory(const std::string& stored, const std::string& project_directory) {
  if (!stored.starts_with(kLocalMarker)) return stored;
  // A project saved on Windows stores a subfolder as "[LOCAL]Sub\".
  std::string rest = stored.substr(kLocalMarker.size());
#ifndef _WIN32
  std::replace(rest.begin(), rest.end(), '\\', '/');
#endif
  return project_directory + rest;
}

namespace {

using SectionFiles = std::array<FileNamePair, 4>;

// The section files the project names: a section that was not read keeps naming its file.
SectionFiles SectionFilesOf(const MissionDocument& document) {
  SectionFiles files;
  for (Section section : kAllSections) {
    const FileNamePair& pair = document.section_file(section);
    const auto& unread = document.unread_section(section);
    files[static_cast<std::size_t>(section)] = pair.unnamed() && unread ? unread->file : pair;
  }
  return files;
}

constexpr const char* kSectionWords[] = {"locations", "areas", "forces", "outcomes"};

const char* WordOf(Section section) {
  return kSectionWords[static_cast<int>(section)];
}

// Whether two paths name one file: the same after tidying, or one file reached two ways.
bool SameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  const fs::path left = fs::path(a).lexically_normal();
  const fs::path right = fs::path(b).lexically_normal();
  if (left == right) return true;
  std::error_code error;
  return fs::exists(left, error) && fs::exists(right, error) && fs::equivalent(left, right, error) && !error;
}

// Refuses a save whose files would overwrite one another: every file of the set needs a path of its own.
Status CheckDistinct(const std::string& project_path, const SectionFiles& sections) {
  std::vector<std::pair<std::string, std::string>> files{{"project file", project_path}};
  for (Section section : kAllSections)
    files.emplace_back(std::string(WordOf(section)) + " file",
                       sections[static_cast<std::size_t>(section)].path());
  for (std::size_t i = 0; i < files.size(); ++i) {
    for (std::size_t j = i + 1; j < files.size(); ++j) {
      if (!SameFile(files[i].second, files[j].second)) continue;
      return Status::Error("The " + files[i].first + " and the " + files[j].first +
                           " would both be written to " + files[j].second +
                           ". Give each file a name of its own; nothing was written.");
    }
  }
  return Status::Ok();
}

enum class UnreadChoice { kSaveAs, kKeep };

// A section that was not read completely and has changed since: write it to a file the author picks, or
// keep naming the old file and leave it as it is.
std::optional<UnreadChoice> AskAboutUnreadSection(UserInterface& ui, Section section,
                                                  const UnreadSection& unread) {
  const std::string word = WordOf(section);
  const std::string text = "The " + word + " file " + unread.file.path() +
                           " was not loaded completely when the project was opened, and the " + word +
                           " have changed since.\n\nSave the " + word +
                           " as they are now to a file you choose, or keep naming " + unread.file.name +
                           " and leave it as it is (the changes to the " + word + " are not saved)?";
  const std::optional<int> chosen =
      ui.AskChoice("Save Project", text, {"Save " + word + " as...", "Keep " + unread.file.name}, "Cancel");
  if (!chosen) return std::nullopt;
  return *chosen == 0 ? UnreadChoice::kSaveAs : UnreadChoice::kKeep;
}

// The project file naming `sections` as its section files.
Status FormatProjectWith(const MissionDocument& document, const SectionFiles& sections,
                         const std::string& project_directory, std::string& bytes) {
  const MissionInfo& info = document.info;
  for (const auto& [value, what] : {std::pair{&info.vyr_author, "vyr_author"},
                                    {&info.vyr_mapname, "vyr_mapname"},
                                    {&info.vyr_missiondescription, "vyr_missiondescription"},
                                    {&info.vyr_missionname, "vyr_missionname"},
                                    {&info.map_styles, "map_styles"}}) {
    if (Status s = CheckOneLine(*value, what); !s) return s;
  }
  // An annotation line equal to the stop marker would end the annotation early when read back.
  for (std::size_t start = 0;;) {
    const auto end = info.annotation.find(kLineEnd, start);
    if (std::string_view(info.annotation).substr(start, end - start) == kStopAnnotation) {
      return Status::Error("an annotation line reads \"" + std::string(kStopAnnotation) +
                           "\", which would end the annotation early");
    }
    if (end == std::string::npos) break;
    start = end + kLineEnd.size();
  }
  TextWriter out;
  out.Line(kProjectVersionLine);
  out.Line(info.vyr_author);
  out.Line(info.vyr_mapname);
  out.Line(info.vyr_missiondescription);
  out.Line(info.vyr_missionname);
  out.Line(info.map_styles);
  for (Section section : kAllSections) {
    const FileNamePair& pair = sections[static_cast<std::size_t>(section)];
    const std::string stored = StoredDirectory(pair.directory, project_directory);
    if (Status s = CheckOneLine(pair.name + stored, "a section file name"); !s) return s;
    out.Line(pair.name);
    out.Line(stored);
  }
  out.Line(kStartAnnotation);
  out.Line(info.annotation);
  out.Line(kStopAnnotation);
  const FileNamePair& script = document.mission_script_file();
  if (Status s = CheckOneLine(script.name + script.directory, "the mission script file name"); !s) return s;
  out.Line(script.name);
  out.Line(script.directory);
  bytes = out.bytes();
  return Status::Ok();
}

}  // namespace

Status FormatProject(const MissionDocument& document, const std::string& project_directory,
                     std::string& bytes) {
  return FormatProjectWith(document, SectionFilesOf(document), project_directory, bytes);
}

Status FormatProject(const MissionDocument& document, const std::array<FileNamePair, 4>& sections,
                     const std::string& project_directory, std::string& bytes) {
  return FormatProjectWith(document, sections, project_directory, bytes);
}

Status LoadProject(MissionDocument& document, RecentFiles& recent, const std::string& path) {
  if (Status finished = FinishInterruptedSave(path); !finished) return finished;
  // A file that cannot be opened leaves the project the author has open as it is.
  FileError error;
  std::optional<TextReader> opened = TextReader::Open(path, error);
  if (!opened) return error.ToStatus();
  ProjectTree::Batch batch(document.tree());  // the view reads the loaded tree once, at the end
  document.NewProject();
  // A load that stops part-way must not leave the previous project's information under this name.
  document.info = MissionInfo{};
  const FileNamePair project = SplitPath(path);
  document.SetProjectFile(project);

  // Whatever happens below, the tree is shown opened out with the root selected.
  struct ShowTree {
    ProjectTree& tree;
    ~ShowTree() {
      tree.ExpandAll();
      tree.Select(tree.root());
    }
  } show_tree{document.tree()};

  recent.AddToRecent(path);  // only a file that opened: one that cannot be read would push real ones off
  TextReader& in = *opened;
  const auto fault = [&in] { return in.error()->ToStatus(); };

  std::string line;
  if (!in.Line(line, "version line")) return FileError{path, 1, "the file is empty"}.ToStatus();
  MissionInfo& info = document.info;
  if (!in.Line(info.vyr_author, "vyr_author") || !in.Line(info.vyr_mapname, "vyr_mapname") ||
      !in.Line(info.vyr_missiondescription, "vyr_missiondescription") ||
      !in.Line(info.vyr_missionname, "vyr_missionname") || !in.Line(info.map_styles, "map_styles")) {
    return fault();
  }
  static constexpr const char* kWhat[][2] = {{"locations file name", "locations directory"},
                                             {"areas file name", "areas directory"},
                                             {"forces file name", "forces directory"},
                                             {"outcomes file name", "outcomes directory"}};
  // A section that cannot be read is told and kept named; the others and the annotation are still read.
  std::string not_loaded;
  const auto with_sections = [&not_loaded](Status status) {
    if (not_loaded.empty()) return status;
    std::string message = not_loaded;
    if (!status) message += "\n\n" + status.message;
    message += "\n\nSaving the project keeps naming each file that was not loaded, and leaves it as it is.";
    return Status::Error(std::move(message));
  };
  for (Section section : kAllSections) {
    const auto* what = kWhat[static_cast<int>(section)];
    std::string name, stored;
    if (!in.Line(name, what[0]) || !in.Line(stored, what[1])) return with_sections(fault());
    const std::string section_path = ExpandedDirectory(stored, project.directory) + name;
    if (Status read = ReadSection(document, section, section_path); !read) {
      document.SetUnreadSection(section,
                                UnreadSection{SplitPath(section_path), SectionDigest(document, section)});
      if (!not_loaded.empty()) not_loaded += "\n\n";
      not_loaded += read.message + "\n" +
                    (document.record_count(section) == 0
                         ? std::string("No ") + WordOf(section) + " were loaded."
                         : std::string("Only the ") + WordOf(section) + " before that line were loaded.");
    }
  }

  std::string annotation;
  if (!in.Line(line, kStartAnnotation) || !in.Line(line, "annotation")) return with_sections(fault());
  if (line != kStopAnnotation) {
    annotation = line;
    for (;;) {
      if (!in.Line(line, kStopAnnotation)) return with_sections(fault());
      if (line == kStopAnnotation) break;
      annotation += kLineEnd;
      annotation += line;
    }
  }
  info.annotation = std::move(annotation);

  if (!in.AtEnd()) {
    FileNamePair script;
    if (!in.Line(script.name, "mission script file name") ||
        !in.Line(script.directory, "mission script directory")) {
      return with_sections(fault());
    }
    document.SetMissionScriptFile(std::move(script));
  }
  return with_sections(Status::Ok());
}

Status WriteProject(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                    const std::string& path) {
  const FileNamePair project = SplitPath(path);
  std::string bytes;
  // Refuse before any section is asked for when the project file itself could not carry the information.
  if (Status s = FormatProject(document, project.directory, bytes); !s)
    return FileError{path, 0, s.message}.ToStatus();

  // Every section is asked for in turn; a cancelled dialog stops the save after the last one. A section
  // that was not read keeps naming its file and is not written, unless the author chooses otherwise.
  SectionFiles sections = SectionFilesOf(document);
  std::array<bool, 4> write{};
  bool cancelled = false;
  for (Section section : kAllSections) {
    const auto i = static_cast<std::size_t>(section);
    std::optional<std::string> section_path;
    const auto& unread = document.unread_section(section);
    if (document.section_file(section).unnamed() && unread) {
      if (SectionDigest(document, section) == unread->read_digest) continue;
      const std::optional<UnreadChoice> choice = AskAboutUnreadSection(ui, section, *unread);
      if (!choice) {
        cancelled = true;
        continue;
      }
      if (*choice == UnreadChoice::kKeep) continue;
      section_path =
          internal::AskSectionPath(ui, section, internal::SectionProposal(document, section, project));
    } else {
      section_path = internal::SectionSavePath(document, ui, section, project);
    }
    if (section_path) {
      sections[i] = SplitPath(*section_path);
      write[i] = true;
    } else {
      cancelled = true;
    }
  }
  if (cancelled) return Status::Cancelled();
  if (Status distinct = CheckDistinct(path, sections); !distinct) return distinct;

  // All five files are written before any is replaced, so a failure leaves the old project whole.
  platform::FileSetWriter files;
  RecordProjectSave(files, path);
  for (Section section : kAllSections) {
    const auto i = static_cast<std::size_t>(section);
    if (!write[i]) continue;
    const std::string section_path = sections[i].path();
    std::string section_bytes;
    if (Status formatted = FormatSection(document, section, section_bytes); !formatted)
      return FileError{section_path, 0, formatted.message}.ToStatus();
    if (Status staged = files.Add(section_path, section_bytes); !staged) return staged;
  }
  if (Status s = FormatProjectWith(document, sections, project.directory, bytes); !s)
    return FileError{path, 0, s.message}.ToStatus();
  if (Status staged = files.Add(path, bytes); !staged) return staged;
  if (Status written = files.Commit(); !written) return written;

  for (Section section : kAllSections) {
    const auto i = static_cast<std::size_t>(section);
    if (write[i]) document.SetSectionFile(section, sections[i]);
  }
  recent.AddToRecent(path);
  document.SetProjectFile(project);
  return Status::Ok();
}

Status OpenProject(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                   const std::string& project_directory) {
  const auto path =
      ui.AskOpenPath(FileDialogRequest{"Open", std::string(kProjectFilter), project_directory, ""});
  if (!path) return Status::Cancelled();
  return Told(ui, LoadProject(document, recent, *path), "The project could not be loaded completely.");
}

Status SaveProject(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                   const std::string& new_project_directory) {
  const FileNamePair& project = document.project_file();
  if (project.unnamed()) return SaveProjectAs(document, ui, recent, new_project_directory);
  return Told(ui, WriteProject(document, ui, recent, project.path()), "The project could not be saved.");
}

Status SaveProjectAs(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                     const std::string& new_project_directory) {
  const FileNamePair& project = document.project_file();
  std::string directory = project.directory;
  std::error_code error;
  if (project.unnamed() && !new_project_directory.empty() &&
      std::filesystem::is_directory(new_project_directory, error)) {
    directory = new_project_directory;
  }
  const auto path = AskSaveFile(ui, FileDialogRequest{std::string(kSaveProjectTitle),
                                                      std::string(kProjectFilter), directory, project.name});
  if (!path) return Status::Cancelled();
  return Told(ui, WriteProject(document, ui, recent, *path), "The project could not be saved.");
}

}  // namespace vyr::editor
