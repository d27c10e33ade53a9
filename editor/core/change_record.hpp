// "Change...": a record of the viewer given another time, run style or more days, in place of
// the old one.
#pragma once

#include <array>
#include <string>

#include "editor/core/day_list.hpp"
#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"

namespace editor {

// What the Change Record dialog shows and the user chooses: items of Main's lists (an empty
// one where the record's value is none of them) and the weekdays, index 0 Monday ... 6 Sunday.
struct RecordChoices {
    std::string hour;    // List2's "01" ... "12"
    std::string minute;  // List3's "00", "15", "30", "45"
    std::string half;    // List1's "AM", "PM"
    std::string style;   // List4's run-style words
    std::array<bool, 7> days{};
    friend bool operator==(const RecordChoices&, const RecordChoices&) = default;
};

// The dialog's choices at its opening: the record's time and run style in the lists' items,
// and its weekday `day` ticked.
RecordChoices choicesOf(const schedule::Record& record, int day);

// OK of the dialog, for the record `entry` of weekday `day` shows. The new pick files, one per
// ticked day, are written first, under the pick counter's next number (as a pick takes one);
// only then does the old pick file go to the Recycle Bin and copyfle.com rebuild the day files.
// Whatever fails on the way leaves the old record as it was, takes back the new files and
// says so. Choices that change nothing change nothing. True when the list must be shown anew.
bool changeRecord(int day, const DayEntry& entry, const RecordChoices& choices,
                  MainControls& counter, Uses<Messages, Programs, Folders, RecycleBin> services);

}  // namespace editor
