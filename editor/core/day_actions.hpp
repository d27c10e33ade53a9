// What the viewer's record actions decide: starting a record's program now, as the launcher
// would at logon, and showing it in its folder.
#pragma once

#include "editor/core/day_list.hpp"
#include "editor/core/services.hpp"

namespace editor {

// "Start Now": the record's program with its run style's window, started exactly as Brightwick
// starts it at logon, so a user can try an entry. A record whose run style Brightwick does not
// know, or a start that fails, is told with the program's name and the reason.
void startNow(const DayEntry& entry, Services& services);

// "Open File Location": Explorer, by its full path in the Windows folder, shows the program's
// folder with the program file selected. A program file that does not exist is told instead.
void openFileLocation(const DayEntry& entry, Services& services);

}  // namespace editor
