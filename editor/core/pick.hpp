// "Pick Program": turns the main window's choices into one pick file per ticked weekday.
#pragma once

#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"

namespace editor {

inline constexpr std::string_view kNoFileSelected =
    "You didn't select any file, please make a selection";
inline constexpr std::string_view kProgramPicked = "Program Picked, Next one Please";

// Selects 12, 00, AM and Normal: the lists as a pick and a reset leave them.
void selectResetChoices(MainControls& controls);

// The click of Command1.
void pickProgram(MainControls& controls, Services& services);

}  // namespace editor
