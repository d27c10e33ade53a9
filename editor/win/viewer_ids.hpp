// Control identifiers of Form2, the day list viewer, named after its controls, and the names
// by which tests find it. Plain values only, so that any program can include it.
#pragma once

namespace editor::form2 {

enum Form2Id : int {
    // Below 100 are the dialog manager's own (IDOK for Enter, IDCANCEL for Escape).
    Command1 = 100,  // "Monday"; Command1 + index for the weekday index 0 ... 6
    Command2,        // "Tuesday"
    Command3,        // "Wednesday"
    Command4,        // "Thursday"
    Command5,        // "Friday"
    Command6,        // "Saturday"
    Command7,        // "Sunday"
    Command8,        // "Back to Main Menu"
    DayList = 110,   // the list of the day's records above the buttons
    // The context menu of a record.
    StartNow = 120,  // "&Start Now"
    OpenLocation,    // "Open File &Location"
    Remove,          // "&Remove from Schedule..."
    ChangeRecord,    // "&Change..."
    TurnOff,         // "Turn &Off"
    TurnOn,          // "Turn &On"
};

inline constexpr wchar_t kTitle[] = L"Program to be Run";
inline constexpr wchar_t kClassName[] = L"NorvellForm2";

}  // namespace editor::form2
