// The logon history: what each run of the launcher did, one entry per run, newest last, for
// a user to read in Notepad and for the editor to report the last run. Free of the platform:
// the launcher hands in the clock, the folder and its pass, and writes the bytes itself.
//
// An entry, UTF-8 with CR LF; every line but the first is indented, so an entry starts at
// the one line that is not:
//
//   2025-03-10 08:15:02
//     Working folder: C:\Users\ann\Schedule
//     Day file: datmon.dat
//     Started as a program, Normal (show value 1): C:\Program Files\App\app.exe
//     Not started as a command line, Min (show value 6): C:\Tools\gone.exe
//       The system cannot find the file specified.
//     Passed over for its unknown run style "Minimise": C:\Tools\other.exe
//     Passed over: an incomplete last record of 2 lines
//     Not yet due: 3 records
//
// or, when the day file could not be read, "Day file not read: " and the system's reason
// after the day file's line. A blank line ends each entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "launcher/pass.hpp"
#include "schedule/date_time.hpp"

namespace launcher {

inline constexpr std::string_view kHistoryFolderName = "Norvell";
inline constexpr std::string_view kHistoryFileName = "logon-history.txt";
// Beside it: the entries of runs that could not add theirs, which the next run adds first.
inline constexpr std::string_view kMissedEntriesFileName = "logon-history.missed.txt";
inline constexpr int kHistoryEntries = 200;  // the newest runs kept
// Runs that add their entry at the end of the file before it is written anew with only the
// newest kHistoryEntries: a run at a logon appends a few hundred bytes instead of writing the
// whole history again, which costs a logon more than the rest of the launcher's work.
inline constexpr int kHistorySlack = 50;
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// An entry starts at a line that is exactly "YYYY-MM-DD HH:MM:SS".
inline constexpr std::size_t kEntryFirstLineLength = 19;

// When a run started, in the user's local time: what a user reads the history by.
using LocalTime = schedule::DateTime;

// Turns a day file's bytes (a program line, a run-style word) into UTF-8 for the history.
using TextOfBytes = std::string (*)(std::string_view bytes);

// The entry of one run: when it ran, in which working folder (UTF-8), and what `run` says.
std::string historyEntry(const LocalTime& when, std::string_view workingFolder,
                         const RunResult& run, TextOfBytes textOf);

// The history's new bytes: `history` (what the file held, empty when there was none) with
// `entry` added at the end, only the newest `keep` entries kept, behind a byte order mark.
// Only the entries kept are looked at, from the end; anything before the first entry goes.
std::string historyWithEntry(std::string_view history, std::string_view entry,
                             int keep = kHistoryEntries);

// What adding an entry needs to know of the history file, taken from its bytes as they are
// read, in parts of any size, so that a logon need not hold the whole history: whether it is
// empty, whether it ends a line, and how many entries it holds.
class HistoryTally {
  public:
    void add(std::string_view part);
    // No byte yet: any first byte either begins a byte order mark or shows there is none.
    bool empty() const { return markPending_ && markMatched_ == 0; }
    bool endsLine() const;
    long long entries() const;

  private:
    void scan(std::string_view text);
    void takeLineText(std::string_view text);
    void endLine();
    bool lineIsHeader() const;

    std::size_t markMatched_ = 0;  // of a byte order mark at the start, while it may be one
    bool markPending_ = true;
    bool anyText_ = false;  // after the byte order mark
    char last_ = '\0';
    char line_[kEntryFirstLineLength] = {};  // the start of the line being read
    std::size_t lineLength_ = 0;             // up to one past the length of an entry's first line
    long long entries_ = 0;
};

// `entry` as kept for the next run when this one could not add it to the history: with a line
// at its end that says so and why.
std::string missedEntry(std::string_view entry, std::string_view reason);

// The bytes that add `entry` at the end of the history `tally` was taken of, while it holds
// fewer than keep + slack entries: behind a byte order mark when the history is empty, on a
// line of its own when it ends without a line end (a write cut short). Earlier entries are
// never written again while an appendix will do, so a write cut short cannot take them with
// it. None once the history holds that many: then it is written anew with historyWithEntry.
std::optional<std::string> historyAppendix(const HistoryTally& tally, std::string_view entry,
                                           int keep = kHistoryEntries, int slack = kHistorySlack);

}  // namespace launcher
