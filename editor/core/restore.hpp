// "Restore Cleared Picks": brings back the picks that the last clear moved aside.
#pragma once

#include <string_view>

#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"

namespace editor {

inline constexpr std::string_view kNothingToRestore =
    "There are no cleared picks to restore. Reset/Clear List, and Cancel when you deploy, keep "
    "the picks of every clear, and Restore Cleared Picks brings them back, the latest clear "
    "first.";

// The menu item Schedule > Restore Cleared Picks: brings back the picks of the latest clear
// that holds any (the newest folder in the Cleared folder, and after all of them the pick
// files an earlier version kept right in it). Every pick number found there, in numeric
// order, gets the next value of the pick counter, as a pick would, and each of its files is
// written under that number with its day code kept; a number that another editor has taken
// meanwhile is passed as a pick passes it (writePickFiles). A file leaves its clear only once
// its copy is written, and the clear's folder goes once it is empty. copyfle.com then builds
// the day files again, as after a removal. One message says how many picks came back, naming
// their programs when there are a few, what, if anything, stopped the rest, whether the day
// files were built, whether a shortcut starts this schedule at logon or a deployment must, and
// how many earlier clears remain to be restored.
void restoreClearedPicks(MainControls& controls,
                         Uses<Messages, Programs, Folders, const Files, const Startup> services);

}  // namespace editor
