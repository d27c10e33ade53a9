// Starting Norvell or its read-me for the user of the desktop, as the installer's last page
// offers: for all users that page belongs to the installer running with administrator
// rights, and a program it started would run with them on the user's desktop (a new process
// runs in the security context of the one that creates it). So the installer starts
// Norvell.exe with one of two fixed words, and Norvell.exe, when it runs elevated itself, has
// the desktop's shell start the program, which runs as the desktop's user.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/outcome.hpp"

namespace editor {

// Norvell.exe's switch, followed by kStartNorvell or kShowReadme and nothing else.
inline constexpr std::string_view kStartForDesktopUserSwitch = "/start-for-desktop-user";
inline constexpr std::string_view kStartNorvell = "norvell";
inline constexpr std::string_view kShowReadme = "readme";

// A program to start: its full path, never searched for, the rest of its command line, and
// its working folder.
struct DesktopProgram {
    std::string file;
    std::string parameters;
    std::string folder;
};

// Where the programs are, as the system names them to this process; none of it comes from the
// command line.
struct DesktopPlaces {
    std::string programFolder;  // Norvell.exe's own folder, which holds readme.1st too
    std::string systemFolder;   // System32, with the system's notepad.exe
    std::string workingFolder;  // this process's, which Norvell starts in
};

// What the decision needs of the platform.
class DesktopStarts {
  public:
    virtual ~DesktopStarts() = default;
    // Whether this process runs with an elevated token; none when the system cannot tell.
    virtual std::optional<bool> runsElevated() = 0;
    // Starts the program from this process, with this process's rights; never waits.
    virtual schedule::Outcome startDirect(const DesktopProgram& program) = 0;
    // Asks the desktop's shell (Explorer, running as the desktop's user) to start it.
    virtual schedule::Outcome startThroughDesktopShell(const DesktopProgram& program) = 0;
    // A message box titled "Norvell".
    virtual void message(std::string_view text) = 0;
};

// The switch's work, given the command line split as the system splits it (the program
// first). Its exit status: 0 once the program was handed over; kInvalidParameter for any other
// command line, with nothing started; otherwise the failure's code (kCannotComplete when it
// has none) after a message that says where to start it instead.
unsigned long startForDesktopUser(const std::vector<std::string>& arguments,
                                  const DesktopPlaces& places, DesktopStarts& starts);

}  // namespace editor
