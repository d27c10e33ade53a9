// "Pick Program": turns the main window's choices into one pick file per ticked weekday.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"
#include "schedule/folder.hpp"
#include "schedule/weekday.hpp"

namespace editor {

inline constexpr std::string_view kNoFileSelected =
    "You didn't select any file, please make a selection";
inline constexpr std::string_view kProgramPicked = "Program Picked, Next one Please";

// The items of one of Main's one-row lists, in order; the Change Record dialog offers the same.
std::vector<std::string> mainListItems(List list);

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
    // The names written, under the number that Text4 holds now: all of the pick's when
    // nothing stopped it, else those that could not be taken back.
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
// first file that cannot be written and removes those written before it, so that trying
// again cannot schedule a day twice; `names` then holds those that could not be removed.
WrittenPick writePickFiles(MainControls& controls, Uses<Folders> services,
                           const std::vector<PickFile>& files);

// Writes the pick file `bytes` into `folder` as `name` where that is free, else under the next
// number above every pick there, with the same day code; `written` gets the name used. Nothing
// there is replaced: the folders that keep picks aside (Turned Off) number them on their own.
schedule::Outcome writeUnderFreeName(schedule::Folder& folder, const std::string& name,
                                     std::string_view bytes, unsigned long writer,
                                     std::string& written);

// The click of Command1.
void pickProgram(
    MainControls& controls,
    Uses<Messages, const Programs, Folders, const Files, const Startup, const Access> services);

}  // namespace editor
