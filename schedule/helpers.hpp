// The whole job of the two helper programs: copyfle.com combines the pick files of a folder
// into the seven day files, clrfle.com clears them and keeps the cleared picks aside.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/date_time.hpp"
#include "schedule/folder.hpp"
#include "schedule/pick_file.hpp"
#include "schedule/record.hpp"
#include "schedule/weekday.hpp"

namespace schedule {

// Exit statuses of copyfle.com and clrfle.com; the editor tells the user what they mean.
enum HelperStatus : int {
    kHelperDone = 0,
    // copyfle.com: a day file could not be written (each day file is then wholly old or wholly
    // new, never half). clrfle.com: a pick file could not be moved aside, or a day file could
    // not be emptied; whatever could not be moved stays where it was.
    kHelperFailed = 1,
    // copyfle.com only: pick files that do not hold exactly one whole record were left out;
    // every valid record was still written.
    kHelperPicksLeftOut = 2,
};

// A pick file that a clear moved aside: its name in the schedule's folder, and where it is
// kept now, as a path below that folder ("Cleared\2Mon.dat").
struct KeptPick {
    std::string name;
    std::string keptAs;
};

struct HelperReport {
    int status = kHelperDone;
    std::vector<std::string> problems;  // "name: reason", one per file
    std::vector<KeptPick> kept;         // a clear: every pick file it moved aside
};

// The subfolder of the schedule's folder where the clears keep the pick files they cleared,
// so that the editor can bring them back: one subfolder of it per clear, named by the clear's
// time (clearFolderName). Pick files right in it are an earlier version's one kept clear.
inline constexpr std::string_view kClearedFolder = "Cleared";
// Added to a pick file's name while an earlier version's clear moved it into kClearedFolder;
// such a file is still a cleared pick.
inline constexpr std::string_view kStagedEnding = ".new";
// The subfolder of the schedule's folder that keeps the pick files of records a user turned
// off: copyfle.com does not see them there, so they start at no logon, and nothing is lost.
inline constexpr std::string_view kTurnedOffFolder = "Turned Off";

// The moment of a clear, in UTC: a clear's folder name must sort after every earlier one's,
// and local time repeats an hour each autumn.
using ClearTime = DateTime;

// "2026-12-08 19-58-03 UTC": the subfolder of kClearedFolder that a clear at `time` keeps its
// picks in; "2026-12-08 19-58-03 UTC (2)" for `count` 2, a second clear in the same second.
std::string clearFolderName(const ClearTime& time, int count = 1);

// Where a clear's folder stands among the others: its name's time, then its count. None for a
// name that is not a clear's.
struct ClearOrder {
    std::string time;  // the name without its count: the form sorts as the time does
    int count = 1;
    friend auto operator<=>(const ClearOrder&, const ClearOrder&) = default;
};
std::optional<ClearOrder> clearOrder(std::string_view folderName);

// The clears' folders among `folderNames` (the subfolders of kClearedFolder), newest first.
std::vector<std::string> clearFoldersNewestFirst(const std::vector<std::string>& folderNames);

// The record that a pick file's bytes hold: one whole record, followed by nothing but empty
// lines. Otherwise none, and `reason` says what is wrong, worded to follow the file's name.
std::optional<Record> pickRecord(std::string_view bytes, std::string& reason);

struct LeftOutPick {
    std::string name;
    std::string reason;  // worded to follow the name: "it holds 3 lines instead of ..."
};

// What the pick files of a folder make of the day files.
struct CombinedPicks {
    std::array<std::string, kWeekdays.size()> days;  // each day file's bytes, by checkIndex
    // The pick files whose records each day file holds, in its order, by checkIndex.
    std::array<std::vector<std::string>, kWeekdays.size()> pickNames;
    std::vector<LeftOutPick> leftOut;  // weekday by weekday in pick order, then names that
                                       // are meant as picks but pass the number limit
    // Pick files combined whose record the launcher never starts (recordDamage), weekday by
    // weekday in pick order: combined all the same, as copyfle.com always combined them.
    std::vector<LeftOutPick> damaged;
};

// Reads every pick file of `folder`, the one reading behind copyfle.com and behind the
// editor's naming of what copyfle.com left out: each day's records in increasing pick number
// (equal numbers by name), each whole and with CR LF line ends. Fails only when the folder
// cannot be listed. `bytesRead`, when given, gets each pick file's bytes as they were read,
// by name: each file is read once, so these are the bytes that were judged.
Outcome readPickFiles(Folder& folder, CombinedPicks& combined,
                      std::map<std::string, std::string, std::less<>>* bytesRead = nullptr);

// Rebuilds all seven day files from the pick files of `folder` (readPickFiles); a day
// without picks gets an empty file. Pick files stay.
HelperReport combinePickFiles(Folder& folder);

// Moves every pick file into a new subfolder of kClearedFolder named by `time`
// (clearFolderName; a name taken gets the next count), the turned-off ones of kTurnedOffFolder
// into its own kTurnedOffFolder, and leaves the seven day files present
// and empty, so a launcher that is still deployed finds an empty day instead of a missing
// file. Nothing an earlier clear kept is touched, and a clear that finds no pick file makes no
// folder. A clear cut off half-way has each pick either where it was or in its folder.
HelperReport clearScheduleFiles(Folder& folder, const ClearTime& time);

// Moves the pick files `picks` of `from` (`fromPath` relative to the schedule's folder
// `root`, empty for the schedule's folder itself) into `toPath`, a folder under `root` made
// beforehand, each under its own name. What cannot be moved stays where it was and is told in
// `report`. One clear's picks, wherever they lie, go the same way.
void movePicks(Folder& root, std::string_view fromPath, const std::vector<std::string>& picks,
               std::string_view toPath, HelperReport& report);

// A pick file in a clear's folder: its name there and what it reads as.
struct ClearedPick {
    std::string name;
    PickName pick;
    bool staged = false;  // still carries kStagedEnding: an earlier version's clear was cut off
};

// The pick files among the names in a clear's folder, staged ones too, in the order they are
// brought back: by number, a finished clear's before a staged one's, then by name.
std::vector<ClearedPick> clearedPicks(const std::vector<std::string>& names);

}  // namespace schedule
