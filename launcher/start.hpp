// How a record's program line is started, free of the platform: which way the line goes to
// the system, how the command line is made for that way, and the second try with
// administrator rights. The launcher's pass and the editor's "Start Now" both start a line
// through this, so a record starts the same way from either.
#pragma once

#include <string>
#include <string_view>

#include "schedule/outcome.hpp"

namespace launcher {

enum class StartWay {
    program,      // an existing program file, started as exactly that file
    commandLine,  // any other line whose program part cannot be mistaken, quoted
    batchFile,    // an existing .bat or .cmd file, run by the command interpreter
    document,     // an existing file of any other type, opened through its file association
    elevated,     // a program that asked for administrator rights, started through the shell
};

// How the history names a way, after "Started" or "Not started": "as a program" ...
std::string_view startWayWording(StartWay way);

// What the start needs of the system. Text is UTF-8.
class StartSystem {
  public:
    // Whether `path` names an existing file, not a folder, however long its path.
    virtual bool isFile(std::string_view path) = 0;
    // CreateProcessW: `application` is the file to run (empty: the system finds it from the
    // command line), in the caller's working folder. Never waits for the program.
    virtual schedule::Outcome createProcess(std::string_view application,
                                            std::string_view commandLine, int showWindow) = 0;
    // ShellExecuteExW with `verb` (empty: the file's default verb) in the caller's working
    // folder, waiting only until the shell has handed the file over.
    virtual schedule::Outcome shellExecute(std::string_view verb, std::string_view file,
                                           std::string_view parameters, int showWindow) = 0;
    // The full path of cmd.exe in the system folder.
    virtual std::string commandInterpreter() = 0;

  protected:
    ~StartSystem() = default;
};

// Which way a line goes. Only a line that names an existing file as a whole is judged by its
// extension: .exe and .com are programs, .bat and .cmd batch files, any other file (a
// document, a shortcut, an internet shortcut) is opened as the Startup folder would open it.
StartWay startWayFor(std::string_view programLine, bool namesExistingFile);

// The Windows error of a program that CreateProcessW will not start without administrator
// rights (ERROR_ELEVATION_REQUIRED; not every SDK's headers define it).
inline constexpr unsigned long kElevationRequired = 740;

struct StartResult {
    schedule::Outcome outcome;
    StartWay way = StartWay::program;  // the way of the last try
};

// Starts a program line with `showWindow` as the program's show value, without waiting for
// it. A line that names no existing file goes as a command line only when its program part
// cannot be mistaken (schedule::unmistakableCommandLine), with that part quoted; otherwise it
// is not started, and the reason says the program was not found. A line that names an existing file
// by a path too long for Windows is refused with that reason, untried. A program that the system
// refuses for want of administrator rights is started again through the shell with the "runas"
// verb, so that Windows asks the user for consent.
StartResult startProgramLine(std::string_view programLine, int showWindow, StartSystem& system);

}  // namespace launcher
