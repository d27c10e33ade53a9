// copyfle.com: combines the pick files of the working folder into the seven day files.
// No window and no console; the exit status says how it went (schedule/helpers.hpp).
#include <windows.h>

#include "helpers/report.hpp"
#include "schedule/helpers.hpp"
#include "win32/dll_search.hpp"
#include "win32/folder.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::narrowDllSearch();
    win32::WorkingFolder folder;
    const schedule::HelperReport report = schedule::combinePickFiles(folder);
    helpers::tellProblems(report);
    return report.status;
}
