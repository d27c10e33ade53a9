// Names for screen readers: a control whose caption does not say what it is (a weekday box
// only as large as its tick square, a one-row list, a list without a label) gets a name of its
// own, without a change to what the control shows.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// From now on the control's accessible object, as screen readers ask for it with
// WM_GETOBJECT, answers `name` for the control itself and everything else as the system's
// own object for the control does. Call it on the thread that made the control. False when
// the control is not this thread's or the system refused it a new window procedure.
bool setAccessibleName(HWND control, std::wstring name);

}  // namespace win32
