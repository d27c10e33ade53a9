// The launcher's one pass over today's day file, free of the platform: the clock, the folder
// and the program start are handed in, so every rule of the pass runs on the host in tests.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "schedule/folder.hpp"
#include "schedule/lines.hpp"

namespace launcher {

// The show-window value of a record's run-style line: "Normal", "Max", "Hide" and "Min",
// each compared whole and case-sensitively. Every other text, the editor's list words
// "Minimize" and "Maximize" included, gives none.
std::optional<int> showWindowFor(std::string_view runStyleLine);

// How the launcher starts one program.
class ProgramStarter {
  public:
    // Starts the record's program line (bytes in the ANSI code page) with `showWindow` as the
    // program's nCmdShow, in the launcher's working folder, without waiting for it. A failed
    // start carries the system's reason; the pass goes on either way.
    virtual schedule::Outcome start(std::string_view programLine, int showWindow) = 0;

  protected:
    ~ProgramStarter() = default;
};

// What one pass did; the program itself ignores it, tests and the benchmark read it.
struct PassReport {
    int records = 0;  // whole records read
    int starts = 0;   // due records with a known run style, each handed to the starter
    int failed = 0;   // of those, starts that failed
    bool incompleteLastRecord = false;  // fewer than four lines at the end: passed over
};

// Reads `lines` four at a time as records (time, program, run style, day) in file order and
// starts every record that is due at `hourNow` (0 to 23) with its run style's show-window
// value. A failed start never keeps the following records from running. An incomplete last
// record is passed over rather than filled from the record before it, so a trailing blank
// line cannot start a program a second time.
PassReport runRecords(int hourNow, schedule::LineSource& lines, ProgramStarter& starter);

// The day file of a weekday numbered Sunday 1 ... Saturday 7; none outside that range.
std::optional<std::string_view> dayFileFor(int weekday);

struct RunResult {
    std::string dayFile;  // the file the weekday asked for, empty for a weekday out of range
    bool opened = false;
    std::string reason;  // why the file could not be read, when it could not
    PassReport pass;
};

// How often and how long apart the day file is tried while another process holds it for a
// moment, say an editor replacing it just then: about half a second in all.
inline constexpr int kOpenAttempts = 10;
inline constexpr std::chrono::milliseconds kOpenPause{50};

// The whole run: today's day file, by the weekday number (Sunday 1) and the hour taken once
// by the caller, read from `folder` and handed to runRecords. The caller reports a file that
// could not be read; nothing has been started then.
RunResult run(int weekday, int hourNow, schedule::Folder& folder, ProgramStarter& starter);

// The text of the error message for a day file that could not be read: it names the file, the
// folder it was looked for in and the system's reason. UTF-8.
std::string cannotOpenMessage(std::string_view dayFile, std::string_view folder,
                              std::string_view reason);

// How to hand a program line to the system. A line that names an existing file as a whole is
// started as exactly that file: as the application and, quoted, as the command line, so a
// path with blanks can neither start a program at a shorter prefix ("C:\Program.exe" for
// "C:\Program Files\App\app.exe") nor reach the program split into several arguments. Any
// other line, a hand-written command line with arguments for one, goes to the system as it is.
struct StartPlan {
    std::optional<std::string> application;
    std::string commandLine;
};
StartPlan planStart(std::string_view programLine, bool namesExistingFile);

}  // namespace launcher
