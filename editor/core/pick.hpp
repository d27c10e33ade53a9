// "Pick Program": turns the main window's choices into one pick file per ticked weekday.
#pragma once

#include <optional>
#include <string>

#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"

namespace editor {

inline constexpr std::string_view kNoFileSelected =
    "You didn't select any file, please make a selection";
inline constexpr std::string_view kProgramPicked = "Program Picked, Next one Please";

// Selects 12, 00, AM and Normal: the lists as a pick and a reset leave them.
void selectResetChoices(MainControls& controls);

// Adds `steps` to the pick counter in Text4. When that would take it past the highest pick
// number, Text4 stays as it is and the answer is a sentence that names the limit.
std::optional<std::string> advancePickCounter(MainControls& controls, unsigned long long steps);

// The click of Command1.
void pickProgram(MainControls& controls, Services& services);

}  // namespace editor
