// What Main does when it loads: the pick counter, the lists' first choices, showing the
// window, and the folder the pickers start at.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"

namespace editor {

// Dir1's first folder, written exactly so.
inline constexpr std::string_view kStartFolder = "C:\\PROGRAM FILES";

// Text4 at start-up: the highest pick number among the working folder's file names, so that
// a new pick never overwrites an earlier run's pick file; "1" when there is none.
std::string startingPickCounter(const std::vector<std::string>& fileNames);

// The folders Dir1 may start at, in order: kStartFolder, the system's Program Files folder,
// the working folder.
std::vector<std::string> startFolders(const Services& services);

// The loading of Main, in order: Text4, the hour, minute, half of the day and run style,
// then `show` shows the window, then Dir1 and File1 go to the first start folder that can be
// read. A working folder that cannot be read, or no start folder at all, is reported; the
// editor stays open either way.
void loadMain(MainControls& controls, Services& services, const std::function<void()>& show);

}  // namespace editor
