// Whether the programs of an installation are in use, for its uninstaller: asked before anything
// is deleted, so that a program that runs keeps nothing half-removed around it. Windows refuses
// to delete the file of a running program; the uninstaller must not find that out halfway.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

// Norvell.exe's switch for the uninstaller: the installation's folder, then the file that gets
// the programs in use, one line.
inline constexpr std::string_view kProgramsInUseSwitch = "/programs-in-use";

// The programs the installation ships; the uninstaller removes them first.
inline constexpr std::array<std::string_view, 4> kInstalledPrograms = {
    "Norvell.exe", "Brightwick.exe", "copyfle.com", "clrfle.com"};

struct RunningProcess {
    unsigned long id = 0;
    std::string name;   // as the system names it to the user
    std::string image;  // the full path of its program file; empty when it cannot be read
};

// What the system told of the processes. The Restart Manager names every process that holds one
// of the files, its image included; the images of the running processes name those whose
// program is one of the files, where the Restart Manager cannot (Wine lets a running program's
// file be opened for deletion, and has no Restart Manager to ask).
struct ProgramUse {
    bool restartManagerAnswered = false;
    std::vector<RunningProcess> holders;  // from the Restart Manager
    bool processesListed = false;
    std::vector<RunningProcess> processes;  // every running process that could be read
};

// The exit statuses of the switch.
enum class InUseStatus : unsigned long {
    None = 0,     // nothing holds a program: the uninstaller may go on
    Some = 1,     // the file names them
    Unknown = 2,  // neither way could tell: the uninstaller falls back on its own check
    BadCommandLine = 13,
};

// The processes besides `self` that hold a program of `folder` (with or without a backslash at
// its end), named "Brightwick.exe (process 1234)", each once; `samePath` compares paths as
// Windows does.
InUseStatus programsInUse(std::string_view folder, const ProgramUse& use, unsigned long self,
                          const std::function<bool(std::string_view, std::string_view)>& samePath,
                          std::vector<std::string>& inUse);

// The line for the uninstaller's message: "Norvell.exe (process 1234), Brightwick.exe (...)".
std::string inUseLine(const std::vector<std::string>& inUse);

}  // namespace editor
