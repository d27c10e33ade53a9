// clrfle.com: removes the pick files of the working folder and empties the seven day files.
// No window and no console; the exit status says how it went (schedule/helpers.hpp).
#include <windows.h>

#include "schedule/helpers.hpp"
#include "win32/dll_search.hpp"
#include "win32/folder.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::narrowDllSearch();
    win32::WorkingFolder folder;
    return schedule::clearScheduleFiles(folder).status;
}
