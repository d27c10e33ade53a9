// The portable part of "Show List": copyfle.com rebuilds the day files before the viewer
// opens, and the user hears of anything that went wrong on the way.
#pragma once

#include "editor/core/services.hpp"
#include "editor/core/shared_schedule.hpp"

namespace editor {

// Runs copyfle.com and waits for it (kHelperDeadline at most), so that the viewer shows the
// whole new schedule rather than the old one or half of the new. Every outcome but a clean
// finish gets a message that names it; left-out pick files are named one by one. True when
// the viewer should open: always, except when copyfle.com could not be started at all. An
// editor that may only look leaves the day files as they are, which are what Brightwick reads
// at logon, and opens the viewer on them.
bool PrepareShowList(Uses<Messages, Programs, Folders> services,
                     ScheduleUse use = ScheduleUse::Change);

}  // namespace editor
