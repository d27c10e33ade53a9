// Files dropped on a window from Explorer, the desktop or the Start menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace win32 {

// The full paths of a drop, in the order it gives them.
std::vector<std::wstring> droppedPaths(HDROP drop);

// Lets the messages of a drop reach `window` from a program of lower integrity, such as
// Explorer while the editor runs elevated. User Interface Privilege Isolation holds them back
// otherwise, and the drop silently does nothing. The shell hands the file list over with
// WM_COPYGLOBALDATA and WM_COPYDATA before it sends WM_DROPFILES, so all three must pass.
// False when the system refused one of them.
bool acceptDropsFromLowerIntegrity(HWND window);

}  // namespace win32
