// Control and menu identifiers of Main, named after the controls; the end-to-end tests find
// the controls by these. Plain numbers only, so that any program can include it.
#pragma once

namespace editor {

enum MainId : int {
    // Below 100 are the dialog manager's own (IDOK for Enter, IDCANCEL for Escape).
    Label1 = 100,  // "Mon" ... Label7 "Sun" follow in order
    Label2,
    Label3,
    Label4,
    Label5,
    Label6,
    Label7,
    Label8,
    Label9,
    Label10,
    Program,
    Line1,
    Check1 = 120,  // Check1 + index, index 0 Monday ... 6 Sunday
    List1 = 130,
    List2,
    List3,
    List4,
    Drive1 = 140,
    Dir1,
    File1,
    Command1 = 150,
    Command2,
    Command3,
    Command4,
    Command5,
    Text1 = 160,
    Text3,
    Text4,
    // The Help menu.
    About = 200,
    Readme,
    Disc,
};

}  // namespace editor
