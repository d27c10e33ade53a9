// What Main does when it loads: the pick counter, whether the working folder can be written,
// the lists' first choices, showing the window, and the folder the pickers start at.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"
#include "editor/core/shared_schedule.hpp"

namespace editor {

// Dir1's first folder, written exactly so.
inline constexpr std::string_view kStartFolder = "C:\\PROGRAM FILES";

// Text4 at start-up: the highest pick number among the working folder's file names, so that
// a new pick never overwrites an earlier run's pick file; "1" when there is none.
std::string startingPickCounter(const std::vector<std::string>& fileNames);

// The file that the start-up check writes and removes in the working folder: named for the
// editor's process, so that no other editor's check meets it, and unlike every name in
// `fileNames`, so that no file of the user's is touched.
std::string writeCheckName(unsigned long processId, const std::vector<std::string>& fileNames);

// Whether `folder` takes a new file: `name` is written and removed again, and whatever the
// write left behind, even part of a file, goes too.
schedule::Outcome checkWritable(schedule::Folder& folder, std::string_view name);

// The folders Dir1 may start at, in order: kStartFolder, the system's Program Files folder,
// the working folder.
std::vector<std::string> startFolders(Uses<const Folders> services);

// The loading of Main, in order: Text4, the hour, minute, half of the day and run style,
// then `show` shows the window, then Dir1 and File1 go to the first start folder that can be
// read. A working folder that cannot be read, or else cannot be written, and no start folder
// at all are reported, each once; the editor stays open either way. A shared schedule that
// cannot be written is offered to an instance with administrator rights instead
// (offerAdministratorRights): when one takes over, the pickers stay where they are.
ScheduleUse loadMain(MainControls& controls, Uses<Messages, Folders, const Files, Access> services,
                     const std::function<void()>& show);

}  // namespace editor
