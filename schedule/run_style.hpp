// Run styles: the words the editor's list offers, the words stored in a record, how the
// viewer spells them out and the window the launcher starts the program in.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "schedule/show_window.hpp"

namespace schedule {

struct RunStyle {
    std::string_view listWord;    // item of the editor's run-style list
    std::string_view storedWord;  // third line of a record
    std::string_view shownAs;     // how the day list viewer spells it out
    int showWindow;               // what the launcher hands to the program's start
};

// In the order of the editor's list. A new style is one more row here.
inline constexpr std::array<RunStyle, 4> kRunStyles{{
    {"Normal", "Normal", "Run Style - Normal", kShowNormal},
    {"Hide", "Hide", "Run Style - Hide", kShowHide},
    {"Minimize", "Min", "Run Style - Minimize", kShowMinimized},
    {"Maximize", "Max", "Run Style - Maximize", kShowMaximized},
}};

// Exact, case-sensitive look-ups; a word that matches nothing gives none.
std::optional<RunStyle> runStyleByListWord(std::string_view word);
std::optional<RunStyle> runStyleByStoredWord(std::string_view word);

}  // namespace schedule
