// What the viewer's record actions decide: starting a record's program now, as the launcher
// would at logon, and showing it in its folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/core/day_list.hpp"
#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"

namespace editor {

// "Start Now": the record's program with its run style's window, started exactly as Brightwick
// starts it at logon, so a user can try an entry. A record whose run style Brightwick does not
// know, or a start that fails, is told with the program's name and the reason.
void startNow(const DayEntry& entry, Uses<Messages, Programs> services);

// "Open File Location": Explorer, by its full path in the Windows folder, shows the program's
// folder with the program file selected; a program by a path too long for that, its folder
// alone. A program file that does not exist is told instead.
void openFileLocation(const DayEntry& entry, Uses<Messages, Programs, const Folders> services);

// "Remove from Schedule...": after a Yes to a question that names the program, its time and
// the day, the pick file that holds the record of weekday `day` (0 Monday ... 6 Sunday) goes
// to the Recycle Bin and copyfle.com rebuilds the day files; the pick's files of other days
// stay. Where the Recycle Bin does not keep the working folder's files, the question says
// that the pick file will be deleted for good. The
// record is found by its place in the day file, as copyfle.com made it from the day's pick
// files; a day file that no longer is what they make is rebuilt first, and the user chooses
// again from the list shown anew. True when the day's list must be shown anew.
bool removeFromSchedule(int day, const DayEntry& entry,
                        Uses<Messages, Programs, Folders, const Files, RecycleBin> services);

// The pick file that holds the record `entry` of weekday `day` shows, found by its place in
// the day file as copyfle.com made it from the day's pick files. None when it cannot be told;
// then the user has heard why and that nothing was `done` ("removed"), and `reshow` is set
// when the list must be shown anew: the day file was no longer what the picks make, and is
// rebuilt.
std::optional<std::string> pickOfEntry(int day, const DayEntry& entry,
                                       Uses<Messages, Programs, Folders> services,
                                       std::string_view done, bool& reshow);

// "Turn Off": the record's pick file moves into schedule::kTurnedOffFolder, under its own name
// or, where a turned-off pick has that name, the next free number there; copyfle.com then
// rebuilds the day files, so the next logon does not start it. Nothing is deleted. True when
// the day's list must be shown anew.
bool turnOff(int day, const DayEntry& entry, Uses<Messages, Programs, Folders> services);

// "Turn On": the turned-off record's pick file moves back, under its own name or, where that
// is taken, under the next number of the pick counter as a pick takes one; copyfle.com then
// rebuilds the day files. True when the day's list must be shown anew.
bool turnOn(const DayEntry& entry, MainControls& counter,
            Uses<Messages, Programs, Folders, const Files> services);

}  // namespace editor
