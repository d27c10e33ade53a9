// "Restore Cleared Picks": brings back the picks that the last clear moved aside.
#pragma once

#include <string_view>

#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"

namespace editor {

inline constexpr std::string_view kNothingToRestore =
    "There are no cleared picks to restore. Reset/Clear List, and Cancel when you deploy, keep "
    "the picks they clear until the next clear.";

// The menu item Schedule > Restore Cleared Picks. Every pick number found in the Cleared
// folder, in numeric order, gets the next value of the pick counter, as a pick would, and
// each of its files is written under that number with its day code kept; a number that
// another editor has taken meanwhile is passed as a pick passes it (writePickFiles). A file
// leaves the Cleared folder only once its copy is written. One message then says how many
// picks came back under which numbers, and what, if anything, stopped the rest.
void restoreClearedPicks(MainControls& controls, Services& services);

}  // namespace editor
