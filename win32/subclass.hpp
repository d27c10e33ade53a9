// Window procedures put in front of a control's own, each passing on what it leaves to the one
// it replaced. Not SetWindowSubclass: its procedure looks up its data as a window property at
// every message, which under Wine is a call to the server each time; filling a list of 20,000
// names through it took fifteen times the folder's enumeration. Here the procedure each one
// replaced is kept in a table of the thread, where every message of a control arrives.
#pragma once

#include <windows.h>

namespace win32 {

// Puts `procedure` in front of the control's window procedure. Call it on the thread that made
// the control; false when the control is not this thread's, already has `procedure`, or the
// system refused it a new procedure.
bool subclass(HWND control, WNDPROC procedure);

// What `procedure` passes a message on to: the window procedure it replaced on `control`. On
// WM_NCDESTROY, the last message, the record of it goes.
LRESULT callReplaced(WNDPROC procedure, HWND control, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32
