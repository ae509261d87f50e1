// What the program does with the machine at start-up and on request: registering the mission script
// library and the editor's file types, each in the places the environment names.
#pragma once

#include <string>

namespace vyr::gui {

// The mission script library at the install layout's place relative to the program (for a Debian
// install <program folder>/../lib/<triplet>/vyr/libvyrparser.so); for a program in the build tree, the
// build's copy.
std::string LibraryBesideProgram(const std::string& program_folder);

// Starts "vyr-regsvr -s LIBRARY" from the program's folder without waiting for it; nothing checks how it
// ends.
void RegisterLibraryDetached(const std::string& program_folder);

// The project file type (every start) or both file types (the settings window's button), for the user:
// the registry rows and the freedesktop entries. The desktop tools run without being waited for.
void RegisterProjectFileType(const std::string& program_path);
void RegisterMissionFileTypes(const std::string& program_path);

}  // namespace vyr::gui
