// Run styles: the words the editor's list offers and the words stored in a record.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace schedule {

struct RunStyle {
    std::string_view listWord;    // item of the editor's run-style list
    std::string_view storedWord;  // third line of a record
    std::string_view shownAs;     // how the day list viewer spells it out
};

// In the order of the editor's list.
inline constexpr std::array<RunStyle, 4> kRunStyles{{
    {"Normal", "Normal", "Run Style - Normal"},
    {"Hide", "Hide", "Run Style - Hide"},
    {"Minimize", "Min", "Run Style - Minimize"},
    {"Maximize", "Max", "Run Style - Maximize"},
}};

// Exact, case-sensitive look-ups; a word that matches nothing gives none.
std::optional<RunStyle> runStyleByListWord(std::string_view word);
std::optional<RunStyle> runStyleByStoredWord(std::string_view word);

}  // namespace schedule
