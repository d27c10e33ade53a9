// The whole job of the two helper programs: copyfle.com combines the pick files of a folder
// into the seven day files, clrfle.com clears them and keeps the cleared picks aside.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

struct HelperReport {
    int status = kHelperDone;
    std::vector<std::string> problems;  // "name: reason", one per file
};

// The subfolder of the schedule's folder where a clear keeps the pick files it cleared, so
// that the editor can bring them back.
inline constexpr std::string_view kClearedFolder = "Cleared";
// Added to a pick file's name while a clear moves it into kClearedFolder; the clear takes it
// off once the earlier clear's files have gone.
inline constexpr std::string_view kStagedEnding = ".new";
// The subfolder of the schedule's folder that keeps the pick files of records a user turned
// off: copyfle.com does not see them there, so they start at no logon, and nothing is lost.
inline constexpr std::string_view kTurnedOffFolder = "Turned Off";

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
};

// Reads every pick file of `folder`, the one reading behind copyfle.com and behind the
// editor's naming of what copyfle.com left out: each day's records in increasing pick number
// (equal numbers by name), each whole and with CR LF line ends. Fails only when the folder
// cannot be listed.
Outcome readPickFiles(Folder& folder, CombinedPicks& combined);

// Rebuilds all seven day files from the pick files of `folder` (readPickFiles); a day
// without picks gets an empty file. Pick files stay.
HelperReport combinePickFiles(Folder& folder);

// Moves every pick file into kClearedFolder, and every turned-off one of kTurnedOffFolder into
// kClearedFolder's own kTurnedOffFolder, replacing what an earlier clear left there, and
// leaves the seven day files present and empty, so a launcher that is still deployed finds an
// empty day instead of a missing file. A clear that finds no pick file leaves kClearedFolder
// as it is. The earlier clear's files go only once the new ones are all moved in, so a clear
// that is cut off half-way loses nothing and the next clear finishes its work.
HelperReport clearScheduleFiles(Folder& folder);

// A pick file in kClearedFolder: its name there and what it reads as.
struct ClearedPick {
    std::string name;
    PickName pick;
    bool staged = false;  // still carries kStagedEnding: its clear was cut off
};

// The pick files among the names in kClearedFolder, staged ones too, in the order they are
// brought back: by number, a finished clear's before a staged one's, then by name.
std::vector<ClearedPick> clearedPicks(const std::vector<std::string>& names);

}  // namespace schedule
