// The whole job of the two helper programs: copyfle.com combines the pick files of a folder
// into the seven day files, clrfle.com clears them.
#pragma once

#include <string>
#include <vector>

#include "schedule/folder.hpp"

namespace schedule {

// Exit statuses of copyfle.com and clrfle.com; the editor tells the user what they mean.
enum HelperStatus : int {
    kHelperDone = 0,
    // copyfle.com: a day file could not be written (each day file is then wholly old or wholly
    // new, never half). clrfle.com: something could not be removed or emptied.
    kHelperFailed = 1,
    // copyfle.com only: pick files that do not hold exactly one whole record were left out;
    // every valid record was still written.
    kHelperPicksLeftOut = 2,
};

struct HelperReport {
    int status = kHelperDone;
    std::vector<std::string> problems;  // "name: reason", one per file
};

// Rebuilds all seven day files from the pick files of `folder`: records go into their
// weekday's file in increasing pick number, each whole and with CR LF line ends; a day
// without picks gets an empty file. Pick files stay.
HelperReport combinePickFiles(Folder& folder);

// Removes every pick file and leaves the seven day files present and empty, so a launcher
// that is still deployed finds an empty day instead of a missing file. Other files stay.
HelperReport clearScheduleFiles(Folder& folder);

}  // namespace schedule
