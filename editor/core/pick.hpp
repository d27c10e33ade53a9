// "Pick Program": turns the main window's choices into one pick file per ticked weekday.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"
#include "schedule/weekday.hpp"

namespace editor {

inline constexpr std::string_view kNoFileSelected =
    "You didn't select any file, please make a selection";
inline constexpr std::string_view kProgramPicked = "Program Picked, Next one Please";

// Selects 12, 00, AM and Normal: the lists as a pick and a reset leave them.
void selectResetChoices(MainControls& controls);

// Adds `steps` to the pick counter in Text4. When that would take it past the highest pick
// number, Text4 stays as it is and the answer is a sentence that names the limit.
std::optional<std::string> advancePickCounter(MainControls& controls, unsigned long long steps);

// One pick file to write: its weekday and the bytes of its record.
struct PickFile {
    schedule::Weekday day;
    std::string bytes;
};

// How writing one pick's files ended.
struct WrittenPick {
    // The names written, under the number that Text4 holds now: the first files of the pick,
    // all of them when nothing stopped it.
    std::vector<std::string> names;
    std::string failure;       // what stopped it, as a sentence; empty when all were written
    bool counterFull = false;  // the failure is the counter's limit, and nothing was written
    bool denied = false;       // the folder refused the file: this user may not write there
};

// Writes one pick's files, all under the number in Text4, each only where its name is free:
// a name that another editor, or anyone, has taken is never replaced. When one is taken, the
// files this pick wrote so far are removed again, Text4 moves past the taken number (to the
// highest pick number in the folder, as at start-up, and on by one) and the whole pick is
// written under that number, so that one pick's files keep sharing a number. It stops at the
// first file that cannot be written, keeping those written before it.
WrittenPick writePickFiles(MainControls& controls, Services& services,
                           const std::vector<PickFile>& files);

// The click of Command1.
void pickProgram(MainControls& controls, Services& services);

}  // namespace editor
