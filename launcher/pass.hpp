// The launcher's one pass over today's day file, free of the platform: the clock, the folder
// and the program start are handed in, so every rule of the pass runs on the host in tests.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/start.hpp"
#include "schedule/folder.hpp"

namespace launcher {

// The show-window value of a record's run-style line: "Normal", "Max", "Hide" and "Min",
// each compared whole and case-sensitively. Every other text, the editor's list words
// "Minimize" and "Maximize" included, gives none.
std::optional<int> showWindowFor(std::string_view runStyleLine);

// How the launcher starts one program.
class ProgramStarter {
  public:
    // Starts the record's program line (bytes in the ANSI code page) with `showWindow` as the
    // program's nCmdShow, in the launcher's working folder, without waiting for it, and says
    // which way it went. A failed start carries the system's reason; the pass goes on either
    // way.
    virtual StartResult start(std::string_view programLine, int showWindow) = 0;

  protected:
    ~ProgramStarter() = default;
};

// A record that was due, and what became of it. Its lines are bytes as the day file holds them.
struct DueRecord {
    std::string programLine;
    std::string runStyle;
    std::optional<int> showWindow;  // none: an unknown run style, and the record passed over
    StartResult start;              // when it was handed to the starter
};

// What one pass did, for the logon history.
struct PassReport {
    int records = 0;    // whole records read
    int starts = 0;     // due records with a known run style, each handed to the starter
    int failed = 0;     // of those, starts that failed
    int notYetDue = 0;  // whole records whose time has not come yet
    // Fewer than four lines at the end, passed over: how many there were, 0 when none.
    int incompleteLines = 0;
    bool incompleteLastRecord = false;
    std::vector<DueRecord> due;  // in file order
};

// A day file judged part by part as it is read, so that a large one needs no buffer of its
// size: records as runRecords reads them, the due ones kept for startDue. Whatever the parts,
// the report is the one of the whole file.
class DayFileReader {
  public:
    explicit DayFileReader(int hourNow);
    // The next part of the file.
    void take(std::string_view part);
    // At the end of the file: the report, nothing started yet.
    PassReport finish();

  private:
    // Judges the whole records at the start of `bytes`; returns how many bytes they took.
    std::size_t judgeWhole(std::string_view bytes, bool atEnd);
    void judge(std::string_view time, std::string_view program, std::string_view style);

    int hourNow_;
    std::string pending_;  // the start of a record whose end has not come yet
    PassReport report_;
};

// Hands every due record with a known run style to `starter`, in file order, and counts the
// starts and the failures into the report.
void startDue(PassReport& report, ProgramStarter& starter);

// Reads a day file's bytes four lines at a time as records (time, program, run style, day),
// each line ended as schedule::LineReader ends one, and starts in file order every record that
// is due at `hourNow` (0 to 23) with its run style's show-window value. A failed start never
// keeps the following records from running. An incomplete last record is passed over rather
// than filled from the record before it, so a trailing blank line cannot start a program a
// second time.
PassReport runRecords(int hourNow, std::string_view bytes, ProgramStarter& starter);

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

}  // namespace launcher
