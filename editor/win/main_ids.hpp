// Control and menu identifiers of Main, named after its controls, and the names by which tests
// find it. Plain values only, so that any program can include it.
#pragma once

namespace editor::main {

enum MainId : int {
    // Below 100 are the dialog manager's own (IDOK for Enter, IDCANCEL for Escape).
    Label1 = 100,    // "Mon"
    Label2,          // "Tue"
    Label3,          // "Wed"
    Label4,          // "Thu"
    Label5,          // "Fri"
    Label6,          // "Sat"
    Label7,          // "Sun"
    Label8,          // "Time (Will run after below time)"
    Label9,          // "Norvell", the title
    Label10,         // "Run Style"
    Program,         // "Program to be Run when starting up pc"
    Line1,           // the rule under the title
    Check1 = 120,    // Check1 + index: the weekday boxes, index 0 Monday ... 6 Sunday
    List1 = 130,     // "AM", "PM"
    List2,           // the hour, "01" ... "12"
    List3,           // the minute, "00", "15", "30", "45"
    List4,           // the run style
    Drive1 = 140,    // the drives
    Dir1,            // the folders
    File1,           // the files
    Command1 = 150,  // "Pick Program"
    Command2,        // "Show List"
    Command3,        // "Ready to Deploy..."
    Command4,        // "Exit"
    Command5,        // "Reset/Clear List"
    Text1 = 160,     // hidden: the program being scheduled
    Text3,           // hidden: the hour being written
    Text4,           // hidden: the pick counter
    // The Help menu.
    About = 200,  // "About"
    Readme,       // "Readme"
    Disc,         // "Disclaimer"
    // The Schedule menu.
    RestoreCleared = 210,  // "&Restore Cleared Picks"
    LogonHistory,          // "Logon &History"
    DeploymentStatus,      // "&Deployment Status..."
    BrowseForProgram,      // "&Browse for a Program...", Ctrl+O
};

inline constexpr wchar_t kClassName[] = L"NorvellMain";

}  // namespace editor::main
